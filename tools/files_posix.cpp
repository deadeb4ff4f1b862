// orbtool's file calls on POSIX. The durable write: mkstemp, write, fchmod
// to what a new file would get, fsync, rename.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "files.h"

namespace orbtool {

int ReplaceFileWith(const std::string& path, const std::string& data) {
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0) return errno;
  size_t done = 0;
  errno = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  int error = done < data.size() ? (errno != 0 ? errno : ENOSPC) : 0;
  mode_t mask = umask(0);
  umask(mask);
  if (error == 0 && (fchmod(fd, 0666 & ~mask) != 0 || fsync(fd) != 0)) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) unlink(temp.c_str());
  return error;
}

bool MakeTempFile(std::string* path) {
  const char* dir = std::getenv("TMPDIR");
  *path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/orbtool-XXXXXX";
  int fd = mkstemp(&(*path)[0]);
  if (fd < 0) return false;
  close(fd);
  return true;
}

void SetBinaryMode(std::FILE*) {}

}  // namespace orbtool
