// Profile (INI) files as Windows reads and writes them.
//
// A file is a sequence of lines. "[name]" starts a section (text after the
// "]" is ignored); "name=value" inside a section is a key; a line whose
// first non-blank character is ";" is a comment; other lines (blank or not
// understood) belong to no key. Section and key names are matched without
// regard to case (Windows-1252 letters included) and with surrounding
// blanks removed; values are read with surrounding blanks removed and, when
// they are enclosed in a pair of the same quote character (" or '), without
// the quotes. Lines before the first section belong to no section. When a
// name occurs more than once, the first occurrence counts.
//
// Paths: "\" and "/" both separate directories; a name without a directory
// is taken relative to the current directory. A null file name reads as an
// empty file and cannot be written.
#ifndef ORBWIN_WIN32_PROFILE_H_
#define ORBWIN_WIN32_PROFILE_H_

#include "win32_types.h"

// Reads into `buffer` (`size` bytes, terminator included) and returns the
// characters stored, not counting the terminator:
// - section and key given: the key's value; when the section or key is
//   missing (or the file is), `defaultValue` without its trailing spaces
//   (null: empty). Text too long is cut to size - 1 characters and size - 1
//   is returned.
// - section null: the names of all sections; key null: the names of the
//   section's keys (when the section is missing or has no keys, the default
//   as above). Each name ends with a NUL and the list with a second NUL.
//   When the list with its final NUL does not fit in size - 1 bytes, the
//   buffer holds the first size - 2 characters of the list followed by two
//   NULs and size - 2 is returned (size 1: one NUL, 0 returned).
// A null buffer or a size of 0 stores nothing and returns 0.
ORBWIN_C DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                               LPSTR buffer, DWORD size, LPCSTR fileName);

// The key's value read as a number: optional sign, then decimal digits, or
// "0x" hexadecimal, "0o" octal, "0b" binary digits, up to the first other
// character, wrapping at 32 bits ("-1" gives 0xFFFFFFFF, "12ab" gives 12,
// "abc" gives 0). `defaultValue` when the key is missing or its value is
// empty.
ORBWIN_C UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue,
                                           LPCSTR fileName);

// Changes the file:
// - section, key and value given: sets the key. An existing key keeps its
//   line position and spelling and gets "name=value"; a new key goes after
//   the section's last key (after its header when it has none); a new
//   section goes at the end of the file as "[section]" and "key=value". The
//   file is created when missing.
// - value null: deletes the key's line. Key null: deletes the section, from
//   its header to the next section header, comments included. Deleting
//   something missing succeeds without touching the file.
// Every other line is kept as it was; lines are written with CR LF. The new
// content goes to a temporary file beside the old one, which is then
// renamed over it, so the file holds the old or the new content, never a
// mixture. FALSE when section is null (the cache flush form with all three
// null also gives FALSE) or the file cannot be read or written.
ORBWIN_C BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value,
                                                LPCSTR fileName);

#endif  // ORBWIN_WIN32_PROFILE_H_
