// orbtool's file calls on Windows. The durable write: a new file made with
// _O_EXCL, _commit (FlushFileBuffers), then MoveFileExA replacing the
// target and returning only when the move is on the disk.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "files.h"

namespace orbtool {

namespace {

// The errno value closest to a failed MoveFileExA.
int MoveError(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

}  // namespace

int ReplaceFileWith(const std::string& path, const std::string& data) {
  std::string temp = path + ".XXXXXX";
  if (_mktemp_s(&temp[0], temp.size() + 1) != 0) return errno;
  int fd = _open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return errno;
  size_t done = 0;
  errno = 0;
  while (done < data.size()) {
    size_t chunk = data.size() - done < INT_MAX / 2 ? data.size() - done : INT_MAX / 2;
    int n = _write(fd, data.data() + done, static_cast<unsigned>(chunk));
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  int error = done < data.size() ? (errno != 0 ? errno : ENOSPC) : 0;
  if (error == 0 && _commit(fd) != 0) error = errno;
  if (_close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && !MoveFileExA(temp.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = MoveError(GetLastError());
  }
  if (error != 0) _unlink(temp.c_str());
  return error;
}

bool MakeTempFile(std::string* path) {
  char dir[MAX_PATH + 1];
  char name[MAX_PATH];
  DWORD n = GetTempPathA(sizeof dir, dir);
  if (n == 0 || n > sizeof dir || GetTempFileNameA(dir, "orb", 0, name) == 0) return false;
  *path = name;
  return true;
}

void SetBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

}  // namespace orbtool
