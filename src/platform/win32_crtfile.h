// The runtime's file calls whose names the C library of a POSIX host also
// uses. Here they carry the prefix OrbWin_ and take Windows paths: "\"
// separates directories as "/" does.
#ifndef ORBWIN_WIN32_CRTFILE_H_
#define ORBWIN_WIN32_CRTFILE_H_

#include <stdio.h>

#include "win32_types.h"

// fopen in a binary mode ("rb", "wb", "ab", "r+b", ...). A mode without "b"
// would ask for text-mode translation, which this call does not do: it
// fails with EINVAL. Null on failure.
ORBWIN_C FILE* OrbWin_fopen(const char* path, const char* mode);
// Removes the file `path`: 0, or -1 (errno set) when it cannot be removed.
// As on Windows, a directory is never removed (EACCES), even when empty.
ORBWIN_C int OrbWin_remove(const char* path);

#endif  // ORBWIN_WIN32_CRTFILE_H_
