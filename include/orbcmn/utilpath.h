// Utility functions on paths, directories and files. "\" separates
// directories; on POSIX "/" does too.
#ifndef ORBCMN_UTILPATH_H_
#define ORBCMN_UTILPATH_H_

#include <stdio.h>

#include "orbcmn/export.h"

// Removes every plain file of the directory `dir` (given without a trailing
// separator); subdirectories are neither removed nor entered, and entries
// that cannot be removed stay. Works in static buffers of the library (a
// 264-byte path): two calls must not overlap, and a directory or entry path
// that does not fit is passed over.
ORBCMN_C void DeleteAllFiles(const char* dir);

// Copies the whole file `path` to the end of the open stream `out`, in
// pieces of up to 2048 bytes. 1 when the file was opened and copied (an
// empty file writes nothing), 0 when it cannot be opened or the buffer
// cannot be allocated. Write errors on `out` are not looked at.
ORBCMN_C int AppendFile(FILE* out, const char* path);

// Copies the directory part of the file name `full` into `out` (which must
// hold strlen(full) + 1 bytes): everything before the last separator, so
// "D:\DIR\FILE.TXT" and "D:\DIR\" both give "D:\DIR". A name without a
// separator gives "". Null arguments do nothing.
ORBCMN_C void GetPathFromFileName(const char* full, char* out);

// Puts the directory of the module `instance` (null: the program) into
// `out`, which holds at least 261 bytes, without its trailing separator.
// When the module's file name cannot be found `out` is left as it was.
ORBCMN_C void GetInstancePath(void* instance, char* out);

// Checks that `path` is usable as a directory and makes it. A path holding
// a space gives 0 without asking the host, after showing "Directory names
// cannot contain spaces" when `showErrors` is non-zero. Otherwise 1 when
// the host's directory check accepts the path and the host then makes (or
// finds) it; else 0, after showing "Could not create <label> directory
// <path>" (at most 20 characters of the label, the message cut at 311
// characters) when `showErrors` is non-zero. Boxes carry `caption` and the
// hand icon. Null label or path count as empty.
ORBCMN_C int CheckAndMakePath(const char* caption, const char* label, const char* path,
                              int showErrors);
// As CheckAndMakePath without messages and without the space rule: 2 when
// the host's check accepts `path` and the host then makes (or finds) it, 1
// otherwise (the host is not asked to make a path its check refused).
ORBCMN_C int CheckAndMakePath2(const char* path);

#endif  // ORBCMN_UTILPATH_H_
