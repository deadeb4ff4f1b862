// Windows-1252 character classes and single-byte character stepping.
#include "win32_char.h"

LPSTR WINAPI CharNextA(LPCSTR current) {
  if (current == nullptr) return nullptr;
  return const_cast<LPSTR>(*current == '\0' ? current : current + 1);
}

LPSTR WINAPI CharPrevA(LPCSTR start, LPCSTR current) {
  if (start == nullptr) return nullptr;
  if (current == nullptr || current <= start) return const_cast<LPSTR>(start);
  return const_cast<LPSTR>(current - 1);
}

BOOL WINAPI IsCharAlphaA(CHAR ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return TRUE;
  if (c >= 0xC0) return c != 0xD7 && c != 0xF7;
  switch (c) {
    case 0x83:
    case 0x88:  // modifier letter circumflex, a letter to Windows
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
      return TRUE;
    default:
      return FALSE;
  }
}

// Windows counts the superscripts 1, 2 and 3 among the digits.
BOOL WINAPI IsCharAlphaNumericA(CHAR ch) {
  unsigned char c = static_cast<unsigned char>(ch);
  if ((c >= '0' && c <= '9') || c == 0xB2 || c == 0xB3 || c == 0xB9) return TRUE;
  return IsCharAlphaA(ch);
}
