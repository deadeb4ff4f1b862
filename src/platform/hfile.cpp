// OpenFile and the handle calls over POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "win32_hfile.h"

namespace {

std::string PosixPath(LPCSTR file) {
  std::string path(file);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

WORD ErrorCode(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

HFILE Fail(LPOFSTRUCT info, int error) {
  if (info != nullptr) info->nErrCode = ErrorCode(error);
  return HFILE_ERROR;
}

// Counts are 32-bit values.
long Count32(long count) { return static_cast<int32_t>(count); }

}  // namespace

HFILE WINAPI OpenFile(LPCSTR file, LPOFSTRUCT info, UINT style) {
  if (info != nullptr) {
    std::memset(info, 0, sizeof *info);
    info->cBytes = static_cast<BYTE>(sizeof *info);
    info->fFixedDisk = 1;
    if (file != nullptr) std::strncpy(info->szPathName, file, OFS_MAXPATHNAME - 1);
  }
  if (file == nullptr || *file == '\0') return Fail(info, ENOENT);
  std::string path = PosixPath(file);
  if (style & OF_DELETE) return ::unlink(path.c_str()) == 0 ? 1 : Fail(info, errno);

  int flags;
  switch (style & 3u) {
    case OF_WRITE:
      flags = O_WRONLY;
      break;
    case OF_READWRITE:
      flags = O_RDWR;
      break;
    default:
      flags = (style & OF_CREATE) ? O_WRONLY : O_RDONLY;
      break;
  }
  if (style & OF_CREATE) flags |= O_CREAT | O_TRUNC;
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(info, errno);
  // A directory is not a file to Windows: opening one is refused.
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return Fail(info, EACCES);
  }
  if (style & OF_EXIST) {
    ::close(fd);
    return 1;
  }
  return fd;
}

long WINAPI _hread(HFILE file, LPVOID buffer, long count) {
  count = Count32(count);
  if (count < 0 || (buffer == nullptr && count > 0)) return HFILE_ERROR;
  char* p = static_cast<char*>(buffer);
  long done = 0;
  while (done < count) {
    ssize_t n = ::read(file, p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return HFILE_ERROR;
    if (n == 0) break;
    done += n;
  }
  return done;
}

long WINAPI _hwrite(HFILE file, LPCCH buffer, long count) {
  count = Count32(count);
  if (count < 0 || (buffer == nullptr && count > 0)) return HFILE_ERROR;
  long done = 0;
  while (done < count) {
    ssize_t n = ::write(file, buffer + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return HFILE_ERROR;
    done += n;
  }
  return done;
}

HFILE WINAPI _lclose(HFILE file) { return ::close(file) == 0 ? 0 : HFILE_ERROR; }
