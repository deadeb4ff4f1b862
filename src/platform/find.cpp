// The Win32 find functions over the shared directory search.
#include <algorithm>
#include <cstring>
#include <string>

#include "dirsearch.h"
#include "nothrow.h"
#include "win32_find.h"

namespace {

FILETIME ToFileTime(time_t t) {
  // 100 ns units since 1601-01-01.
  uint64_t units = (static_cast<uint64_t>(t) + 11644473600ull) * 10000000ull;
  return FILETIME{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)};
}

BOOL Fill(DirSearch* search, LPWIN32_FIND_DATAA data) {
  std::string name;
  DirEntry entry;
  if (!search->Next(&name, &entry)) return FALSE;
  std::memset(data, 0, sizeof *data);
  std::memcpy(data->cFileName, name.data(), std::min(name.size(), sizeof data->cFileName - 1));
  if (!entry.known) return TRUE;
  data->dwFileAttributes = entry.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (entry.readOnly) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  data->ftCreationTime = ToFileTime(entry.created);
  data->ftLastAccessTime = ToFileTime(entry.accessed);
  data->ftLastWriteTime = ToFileTime(entry.written);
  data->nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(entry.size);
  return TRUE;
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA data) {
  return NoThrow<HANDLE>(INVALID_HANDLE_VALUE, [&]() -> HANDLE {
    if (fileName == nullptr || data == nullptr) return INVALID_HANDLE_VALUE;
    DirSearch* search = DirSearch::Start(fileName);
    if (search == nullptr) return INVALID_HANDLE_VALUE;
    Fill(search, data);
    return search;
  });
}

BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) {
  return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
    DirSearch* search = DirSearch::FromHandle(find);
    if (search == nullptr || data == nullptr) return FALSE;
    return Fill(search, data);
  });
}

BOOL WINAPI FindClose(HANDLE find) { return DirSearch::Close(find) ? TRUE : FALSE; }
