// String and memory utilities: trimming, digits, number text and the
// caller-owned blocks with their allocation tags.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/util.h"
#include "support/alloclog.h"

namespace {

TEST(UtilString, DigitsTrimmingOfSpacesOnlyAndNumberText) {
  const std::pair<const char*, int> digits[] = {
      {nullptr, 1}, {"", 1}, {"0123456789", 1}, {"12a", 0}, {"1\xE9", 0},  // a Windows-1252 letter
      {"1\xB2", 1},  // Windows counts superscript two as a digit
  };
  for (const auto& c : digits) EXPECT_EQ(c.second, AllDigits(c.first)) << c.first;

  const std::tuple<char* (*)(char*), const char*, const char*> trims[] = {
      {lstrrtrim, "   ", ""},     {lstrrtrim, "\t a\r\n ", "\t a\r\n"},
      {lstrrtrim, "", ""},        {lstrltrim, "  a ", "a "},
      {lstrltrim, " \ta", "\ta"}, {lstrtrim, "   x y   ", "x y"},
  };
  for (const auto& [trim, in, out] : trims) {
    std::string s = in;
    EXPECT_EQ(&s[0], trim(&s[0]));
    EXPECT_STREQ(out, s.c_str()) << "'" << in << "'";
    EXPECT_EQ(nullptr, trim(nullptr));
  }
  // 65540 characters: the count wraps to 4, so trimming starts there.
  std::string text = "ab  " + std::string(65536, 'x');
  lstrrtrim(&text[0]);
  EXPECT_STREQ("ab", text.c_str());

  // Number texts share one buffer; only the 32-bit value counts.
  char* first = fltoa(-5);
  EXPECT_STREQ("-5", first);
  EXPECT_EQ(first, fltoa(static_cast<long>(0xFFFFFFFFul)));
  EXPECT_STREQ("-1", first);
  EXPECT_STREQ("-2147483648", fltoa(-2147483647L - 1));
}

// Copying onto an old block frees it, but after the copy when the source is
// that block itself; an empty or missing source gives no block. Each
// function frees under its own tag. Lengths count in 16 bits: 65541
// characters copy as 5.
TEST(UtilMemory, AllocAndCopyTagsAndFreesTheOldBlockAfterTheCopy) {
  AllocLog log;
  char* hello = UtilAllocAndCopyString((std::string(65536, 'y') + "hello").c_str(), nullptr);
  EXPECT_STREQ("yyyyy", hello);
  char* bye = UtilAllocAndCopyString("bye", hello);
  char* same = UtilAllocAndCopyString(bye, bye);
  void* mem = UtilAllocAndCopyMem(same, 4, same);
  EXPECT_STREQ("bye", static_cast<char*>(mem));
  void* zeros = UtilAllocAndCopyMem("a\0b", 3, nullptr);
  EXPECT_EQ(0, std::memcmp("a\0b", zeros, 3));
  EXPECT_EQ(nullptr, UtilAllocAndCopyString("", static_cast<char*>(mem)));
  EXPECT_EQ(nullptr, UtilAllocAndCopyMem(nullptr, 10, zeros));
  EXPECT_EQ(nullptr, UtilAllocAndCopyString(nullptr, nullptr));
  EXPECT_EQ((std::vector<void*>{hello, hello, bye, same, bye, mem, same, zeros, mem, zeros}),
            log.blocks);
  EXPECT_EQ(
      "106 ORB000 6, 108 06109D 0, 106 ORB000 4, 106 ORB000 4, 108 06109D 0, 106 ORB000 4, "
      "108 06109E 0, 106 ORB000 3, 108 06109D 0, 108 06109E 0",
      log.Take());

  // A slot frees what it held unless it is given the same block again.
  void* slot = nullptr;
  void* a = UtilAllocAndCopyMem("a", 1, nullptr);
  void* b = UtilAllocAndCopyMem("b", 1, nullptr);
  for (void* block : {a, a, b, static_cast<void*>(nullptr)}) Util_ReplaceMem(&slot, block);
  EXPECT_EQ(nullptr, slot);
  Util_ReplaceMem(nullptr, nullptr);
  EXPECT_EQ((std::vector<void*>{a, b, a, b}), log.blocks);
  EXPECT_EQ("106 ORB000 1, 106 ORB000 1, 108 06109F 0, 108 06109F 0", log.Take());

  // Line feeds and 0x7F become CR LF, into a grown block or a new one.
  char* p = OrbHost_Replace7FsAndCopyStr(UtilAllocAndCopyString("x", nullptr), "\177b\n");
  p = OrbHost_Replace7FsAndCopyStr(p, "\n");  // a line feed first in the source
  EXPECT_STREQ("x\r\nb\r\n\r\n", p);
  HostKit_Free("test", p);
  EXPECT_EQ("106 ORB000 2, 107 mip033 7, 107 mip033 9, 108 test 0", log.Take());
  // A text cut short in a larger block: what follows its end is no terminator.
  p = static_cast<char*>(HostKit_Alloc("test", 10, 0));
  std::memcpy(p, "abc\0efghi", 10);
  p = OrbHost_Replace7FsAndCopyStr(p, "xy");
  EXPECT_STREQ("abcxy", p);
  HostKit_Free("test", p);
  for (const char* source : {"a\177b\nc\r\n\r", static_cast<const char*>(nullptr)}) {
    log.Take();
    p = OrbHost_Replace7FsAndCopyStr(nullptr, source);
    const std::string made = source != nullptr ? "a\r\nb\r\nc\r\n\r" : "";
    EXPECT_EQ(made, p);
    EXPECT_EQ("106 mip034 " + std::to_string(made.size() + 1), log.calls[0]);
    HostKit_Free("test", p);
  }
}

}  // namespace
