// Character classes of Windows-1252 and single-byte character stepping.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"

TEST(PlatformChar, LettersOfWindows1252) {
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
}

TEST(PlatformChar, SteppingStopsAtTheEnds) {
  const char text[] = "ab";
  EXPECT_EQ(text + 2, CharNextA(text + 1));
  EXPECT_EQ(text + 2, CharNextA(text + 2));  // stays on the terminator
  EXPECT_EQ(text, CharPrevA(text, text + 1));
  EXPECT_EQ(text, CharPrevA(text, text));  // never before the start
}

TEST(PlatformLocal, FixedBlocks) {
  unsigned char* zero = static_cast<unsigned char*>(LocalAlloc(LPTR, 100));
  ASSERT_NE(nullptr, zero);
  EXPECT_EQ(std::vector<unsigned char>(100, 0), std::vector<unsigned char>(zero, zero + 100));
  HLOCAL empty = LocalAlloc(LMEM_FIXED, 0);
  EXPECT_NE(nullptr, empty) << "a block of size 0 is still a block";
  EXPECT_EQ(nullptr, LocalFree(zero));
  EXPECT_EQ(nullptr, LocalFree(empty));
  EXPECT_EQ(nullptr, LocalFree(nullptr));
}
