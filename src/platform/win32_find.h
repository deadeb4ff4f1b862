// The Win32 find functions: enumerating the directory entries that match a
// wildcard pattern.
#ifndef ORBWIN_WIN32_FIND_H_
#define ORBWIN_WIN32_FIND_H_

#include "win32_types.h"

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u

typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME;

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

// Starts a search for `fileName`: a directory part ("\" or "/" separated; none
// means the current directory) and a name pattern matched as Windows does: "*"
// any run of characters, "?" one character, letters (those of Windows-1252
// included) without regard to case, and a trailing ".*" also matching names
// without a dot (so "*.*" matches every name, "." and ".." included). Entries
// come sorted by name without regard to case. Fills `data` with the first match
// (times as 100 ns units since 1601, attributes FILE_ATTRIBUTE_DIRECTORY or
// _ARCHIVE, with _READONLY when the owner may not write) and returns the search
// handle; INVALID_HANDLE_VALUE when the directory cannot be read or nothing
// matches.
ORBWIN_C HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA data);
// Fills `data` with the next match; FALSE when there is none or the handle
// is not an open search.
ORBWIN_C BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
// Ends a search; FALSE for a handle that is not an open search.
ORBWIN_C BOOL WINAPI FindClose(HANDLE find);

#endif  // ORBWIN_WIN32_FIND_H_
