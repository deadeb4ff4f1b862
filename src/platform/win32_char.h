// Character stepping and classes over the single-byte Windows-1252 code
// page, whatever the process locale.
#ifndef ORBWIN_WIN32_CHAR_H_
#define ORBWIN_WIN32_CHAR_H_

#include "win32_types.h"

// The character after `current`; `current` itself when it points at the
// terminator. Null for a null pointer.
ORBWIN_C LPSTR WINAPI CharNextA(LPCSTR current);
// The character before `current` within the string starting at `start`;
// `start` when `current` is at or before it. Null when `start` is null.
ORBWIN_C LPSTR WINAPI CharPrevA(LPCSTR start, LPCSTR current);
// TRUE for the letters of Windows-1252: A-Z, a-z, 0x83, 0x8A, 0x8C, 0x8E, 0x9A,
// 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA and 0xC0-0xFF except 0xD7 and 0xF7.
ORBWIN_C BOOL WINAPI IsCharAlphaA(CHAR ch);
// TRUE for the letters above, the digits 0-9 and the superscript digits
// 0xB2, 0xB3 and 0xB9, as Windows classes them.
ORBWIN_C BOOL WINAPI IsCharAlphaNumericA(CHAR ch);

#endif  // ORBWIN_WIN32_CHAR_H_
