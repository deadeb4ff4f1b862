// Character classes of Windows-1252 and single-byte character stepping.
#include <gtest/gtest.h>

#include "platform/win32.h"

TEST(PlatformChar, LettersOfWindows1252AndSteppingWithinTheEnds) {
  const unsigned char extra[] = {0x83, 0x88, 0x8A, 0x8C, 0x8E, 0x9A,
                                 0x9C, 0x9E, 0x9F, 0xAA, 0xB5, 0xBA};
  for (int c = 0; c < 256; c++) {
    CHAR ch = static_cast<CHAR>(c);
    bool ascii = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    bool high = c >= 0xC0 && c != 0xD7 && c != 0xF7;
    bool listed = false;
    for (unsigned char e : extra) listed = listed || e == c;
    bool digit = (c >= '0' && c <= '9') || c == 0xB2 || c == 0xB3 || c == 0xB9;
    EXPECT_EQ(ascii || high || listed, IsCharAlphaA(ch) != FALSE) << "char " << c;
    EXPECT_EQ(ascii || high || listed || digit, IsCharAlphaNumericA(ch) != FALSE) << "char " << c;
  }
  const char text[] = "ab";
  EXPECT_EQ(text + 2, CharNextA(text + 1));
  EXPECT_EQ(text, CharPrevA(text, text + 1));
  EXPECT_EQ(text, CharPrevA(text, text));  // never before the start
}
