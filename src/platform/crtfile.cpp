// Runtime file calls with Windows paths.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "win32_crtfile.h"

namespace {
std::string OsPath(const char* path) {
  std::string os(path);
  std::replace(os.begin(), os.end(), '\\', '/');
  return os;
}
}  // namespace

FILE* OrbWin_fopen(const char* path, const char* mode) {
  if (path == nullptr || mode == nullptr || std::strchr(mode, 'b') == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  return std::fopen(OsPath(path).c_str(), mode);
}

int OrbWin_remove(const char* path) {
  if (path == nullptr) {
    errno = EINVAL;
    return -1;
  }
  // unlink refuses directories (EISDIR on Linux); Windows reports EACCES.
  if (unlink(OsPath(path).c_str()) == 0) return 0;
  if (errno == EISDIR || errno == EPERM) errno = EACCES;
  return -1;
}
