// The runtime library's directory search: _findfirst, _findnext and
// _findclose with their find record.
#ifndef ORBWIN_WIN32_FINDFIRST_H_
#define ORBWIN_WIN32_FINDFIRST_H_

#include <time.h>

#include "win32_types.h"

typedef uint32_t _fsize_t;

#define _A_NORMAL 0x00u
#define _A_RDONLY 0x01u
#define _A_HIDDEN 0x02u
#define _A_SYSTEM 0x04u
#define _A_SUBDIR 0x10u
#define _A_ARCH 0x20u

// One entry found: attributes (_A_SUBDIR for directories, _A_ARCH for
// files, with _A_RDONLY when the owner may not write), times, the size cut
// to 32 bits and the bare name.
struct _finddata_t {
  unsigned attrib;
  time_t time_create;
  time_t time_access;
  time_t time_write;
  _fsize_t size;
  char name[260];
};

// Starts a search for `filespec`, a directory part ("\" or "/" separated; none
// means the current directory) and a name pattern. The pattern matches as on
// Windows: "*" any run of characters, "?" one character, letters (those of
// Windows-1252 included) without regard to case, and a trailing ".*" also
// matches names without a dot (so "*.*" matches every name, "." and ".."
// included). Entries come sorted by name without regard to case. Fills
// `fileinfo` with the first match and returns a handle for
// _findnext/_findclose; -1 when the directory cannot be read or nothing matches
// (errno ENOENT).
ORBWIN_C intptr_t _findfirst(const char* filespec, struct _finddata_t* fileinfo);
// Fills `fileinfo` with the next match: 0, or -1 when there is none or the
// handle is not an open search (errno ENOENT or EINVAL).
ORBWIN_C int _findnext(intptr_t handle, struct _finddata_t* fileinfo);
// Ends a search: 0, or -1 for a handle that is not an open search.
ORBWIN_C int _findclose(intptr_t handle);

#endif  // ORBWIN_WIN32_FINDFIRST_H_
