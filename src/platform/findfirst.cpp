// The runtime's _findfirst family over the shared directory search.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "dirsearch.h"
#include "nothrow.h"
#include "win32_findfirst.h"

namespace {

bool Fill(DirSearch* search, struct _finddata_t* info) {
  std::string name;
  DirEntry entry;
  if (!search->Next(&name, &entry)) return false;
  std::memset(info, 0, sizeof *info);
  std::memcpy(info->name, name.data(), std::min(name.size(), sizeof info->name - 1));
  if (!entry.known) return true;
  info->attrib = entry.directory ? _A_SUBDIR : _A_ARCH;
  if (entry.readOnly) info->attrib |= _A_RDONLY;
  info->size = static_cast<_fsize_t>(entry.size);
  info->time_create = entry.created;
  info->time_access = entry.accessed;
  info->time_write = entry.written;
  return true;
}

}  // namespace

intptr_t _findfirst(const char* filespec, struct _finddata_t* fileinfo) {
  return NoThrow<intptr_t>(-1, [&]() -> intptr_t {
    if (filespec == nullptr || fileinfo == nullptr) {
      errno = EINVAL;
      return -1;
    }
    DirSearch* search = DirSearch::Start(filespec);
    if (search == nullptr) {
      errno = ENOENT;
      return -1;
    }
    Fill(search, fileinfo);
    return reinterpret_cast<intptr_t>(search);
  });
}

int _findnext(intptr_t handle, struct _finddata_t* fileinfo) {
  return NoThrow<int>(-1, [&]() -> int {
    DirSearch* search = DirSearch::FromHandle(reinterpret_cast<const void*>(handle));
    if (search == nullptr || fileinfo == nullptr) {
      errno = EINVAL;
      return -1;
    }
    if (!Fill(search, fileinfo)) {
      errno = ENOENT;
      return -1;
    }
    return 0;
  });
}

int _findclose(intptr_t handle) {
  if (!DirSearch::Close(reinterpret_cast<const void*>(handle))) {
    errno = EINVAL;
    return -1;
  }
  return 0;
}
