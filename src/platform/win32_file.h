// The runtime library's file functions that POSIX lacks or spells
// differently: opening streams with the Windows text mode, file numbers,
// lengths, access checks, removal and renaming. Paths may use "\" or "/";
// "\" is turned into "/" before the path reaches the OS.
#ifndef ORBWIN_WIN32_FILE_H_
#define ORBWIN_WIN32_FILE_H_

#include <stdio.h>

#include "win32_types.h"

// Sharing flag of _fsopen: no sharing restriction (the only one honoured).
#define _SH_DENYNO 0x40

// Opens `filename` as fopen does on Windows. `mode` is r, w or a, optionally
// followed by + and then b (binary) or t (text); without b the stream is a
// text stream. Text streams turn CR LF into LF when reading (a lone CR
// stays) and LF into CR LF when writing; they cannot be opened with + and
// do not seek. The result is an ordinary stream for fread, fwrite and
// fclose; null on failure (errno set). `shflag` is ignored.
ORBWIN_C FILE* _fsopen(const char* filename, const char* mode, int shflag);
// File number of `stream`, also for text streams; -1 for a null stream.
ORBWIN_C int _fileno(FILE* stream);
// Length in bytes of the file open as `fd` (bytes on disk, whatever the
// stream's mode); -1 when fd is not open or the length passes 32 bits.
ORBWIN_C long _filelength(int fd);
// Puts the data of the file open as `fd` on disk: 0, or -1.
ORBWIN_C int _commit(int fd);
// 0 when `path` exists and allows `mode` (0 existence, 2 write, 4 read,
// 6 both); -1 otherwise.
ORBWIN_C int _access(const char* path, int mode);
// Removes the file `path`: 0, or -1 (a directory is not removed).
ORBWIN_C int _unlink(const char* path);

// The kernel's MoveFileExA for files: renames `from` as `to`. With
// MOVEFILE_REPLACE_EXISTING a file named `to` is replaced in one step (a
// reader finds the old file or the new, never neither); without it an
// existing `to` fails. MOVEFILE_WRITE_THROUGH is accepted (the rename is
// as durable as the system's). FALSE on failure.
#define MOVEFILE_REPLACE_EXISTING 0x1
#define MOVEFILE_WRITE_THROUGH 0x8
ORBWIN_C BOOL WINAPI MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);

#endif  // ORBWIN_WIN32_FILE_H_
