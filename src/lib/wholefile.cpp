// Whole-file saves: write beside the target, sync, rename over it.
#include "lib/wholefile.h"

#include <cstdio>
#include <cstring>

#include "platform/win32.h"

namespace orb {

namespace {

// Writes the bytes whole to `out`, flushes and syncs them and closes it.
bool WriteSynced(FILE* out, const void* data, std::size_t n) {
  bool ok = n == 0 || std::fwrite(data, 1, n, out) == n;
  ok = ok && std::fflush(out) == 0 && _commit(_fileno(out)) == 0;
  return std::fclose(out) == 0 && ok;
}

}  // namespace

int ReplaceWholeFile(const char* path, const void* data, std::size_t n) {
  static const char kSuffix[] = ".orbnew";
  char temp[MAX_PATH + sizeof kSuffix];
  if (path == nullptr || (data == nullptr && n > 0)) return 0;
  std::size_t length = std::strlen(path);
  if (length >= MAX_PATH) return 0;
  std::memcpy(temp, path, length);
  std::memcpy(temp + length, kSuffix, sizeof kSuffix);
  FILE* out = _fsopen(temp, "wb", _SH_DENYNO);
  if (out == nullptr) return 0;
  if (WriteSynced(out, data, n) &&
      MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return 1;
  }
  _unlink(temp);
  return -1;
}

}  // namespace orb
