// Files by handle: OpenFile and the _h/_l calls. Paths take "\" as well as
// "/" as separator. A handle is a POSIX file descriptor.
#ifndef ORBWIN_WIN32_HFILE_H_
#define ORBWIN_WIN32_HFILE_H_

#include "win32_types.h"

typedef int HFILE;
typedef const char* LPCCH;
#define HFILE_ERROR ((HFILE)-1)
#define OFS_MAXPATHNAME 128

typedef struct _OFSTRUCT {
  BYTE cBytes;
  BYTE fFixedDisk;
  WORD nErrCode;
  WORD Reserved1;
  WORD Reserved2;
  CHAR szPathName[OFS_MAXPATHNAME];
} OFSTRUCT, *LPOFSTRUCT;

#define OF_READ 0x00000000u
#define OF_WRITE 0x00000001u
#define OF_READWRITE 0x00000002u
#define OF_SHARE_COMPAT 0x00000000u
#define OF_SHARE_EXCLUSIVE 0x00000010u
#define OF_SHARE_DENY_WRITE 0x00000020u
#define OF_SHARE_DENY_READ 0x00000030u
#define OF_SHARE_DENY_NONE 0x00000040u
#define OF_DELETE 0x00000200u
#define OF_CREATE 0x00001000u
#define OF_EXIST 0x00004000u

#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_ACCESS_DENIED 5

// Opens `file` for reading, writing or both (OF_READ, OF_WRITE,
// OF_READWRITE); OF_CREATE creates it or empties an existing one (for
// writing unless OF_READWRITE is given). OF_EXIST only checks that it
// opens and closes it again; OF_DELETE removes it. Share modes are
// accepted and ignored. A directory cannot be opened (access denied).
// `info` (may be null) receives its own size, the path as given (cut to
// 127 characters) and, on failure, the Windows error code. Returns the handle, a non-negative value
// for OF_EXIST and OF_DELETE, or HFILE_ERROR.
ORBWIN_C HFILE WINAPI OpenFile(LPCSTR file, LPOFSTRUCT info, UINT style);
// Reads up to `count` bytes, stopping only at the end of the file; returns
// the bytes read or HFILE_ERROR (also for a negative count).
ORBWIN_C long WINAPI _hread(HFILE file, LPVOID buffer, long count);
// Writes `count` bytes; returns the bytes written or HFILE_ERROR.
ORBWIN_C long WINAPI _hwrite(HFILE file, LPCCH buffer, long count);
// Closes the handle: 0, or HFILE_ERROR for a handle that is not open.
ORBWIN_C HFILE WINAPI _lclose(HFILE file);

#endif  // ORBWIN_WIN32_HFILE_H_
