// String and memory utilities: trimming, digits, number text and the
// caller-owned blocks with their allocation tags.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/util.h"
#include "support/alloclog.h"

namespace {

using Strings = std::vector<std::string>;

TEST(UtilString, AllDigits) {
  const std::pair<const char*, int> cases[] = {
      {nullptr, 1}, {"", 1}, {"0123456789", 1}, {"12a", 0}, {"1\xE9", 0},  // a Windows-1252 letter
      {"1\xB2", 1},  // Windows counts superscript two as a digit
  };
  for (const auto& c : cases) EXPECT_EQ(c.second, AllDigits(c.first)) << c.first;
}

TEST(UtilString, TrimmingRemovesOnlySpaces) {
  struct {
    char* (*trim)(char*);
    const char* in;
    const char* out;
  } cases[] = {
      {lstrrtrim, "   ", ""},     {lstrrtrim, "\t a\r\n ", "\t a\r\n"},
      {lstrrtrim, "", ""},        {lstrltrim, "  a ", "a "},
      {lstrltrim, " \ta", "\ta"}, {lstrtrim, "   x y   ", "x y"},
  };
  for (const auto& c : cases) {
    std::string s = c.in;
    EXPECT_EQ(&s[0], c.trim(&s[0]));
    EXPECT_STREQ(c.out, s.c_str()) << "'" << c.in << "'";
  }
  for (auto trim : {lstrrtrim, lstrltrim, lstrtrim}) EXPECT_EQ(nullptr, trim(nullptr));
}

TEST(UtilString, LengthsCountIn16Bits) {
  // 65540 characters: the count wraps to 4, so trimming starts there.
  std::string text = "ab  " + std::string(65536, 'x');
  lstrrtrim(&text[0]);
  EXPECT_STREQ("ab", text.c_str());

  // 65539 characters copy as 3.
  char* p = UtilAllocAndCopyString((std::string(65536, 'y') + "abc").c_str(), nullptr);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(4u, HostKit_BlockSize(p));
  EXPECT_STREQ("yyy", p);
  HostKit_Free("test", p);
}

TEST(UtilString, FltoaSharesOneBuffer) {
  char* first = fltoa(-5);
  EXPECT_STREQ("-5", first);
  EXPECT_EQ(first, fltoa(0));
  EXPECT_STREQ("0", first);  // the first text is gone
  EXPECT_STREQ("-2147483648", fltoa(-2147483647L - 1));
  EXPECT_STREQ("-1", fltoa(static_cast<long>(0xFFFFFFFFul))) << "only the 32-bit value counts";
}

// Copying onto an old block frees it first, but after the copy when the
// source is that block itself; an empty or missing source gives no block.
TEST(UtilMemory, AllocAndCopyStringTagsAndFreesTheOldBlockAfterTheCopy) {
  AllocLog log;
  char* hello = UtilAllocAndCopyString("hello", nullptr);
  char* bye = UtilAllocAndCopyString("bye", hello);
  char* same = UtilAllocAndCopyString(bye, bye);
  EXPECT_STREQ("bye", same);
  void* mem = UtilAllocAndCopyMem(same, 4, same);
  EXPECT_STREQ("bye", static_cast<char*>(mem));
  EXPECT_EQ(nullptr, UtilAllocAndCopyString("", static_cast<char*>(mem)));
  EXPECT_EQ(nullptr, UtilAllocAndCopyString(nullptr, nullptr));
  EXPECT_EQ((Strings{"106 ORB000 6", "108 06109D 0", "106 ORB000 4", "106 ORB000 4", "108 06109D 0",
                     "106 ORB000 4", "108 06109E 0", "108 06109D 0"}),
            log.calls);
  EXPECT_EQ((std::vector<void*>{hello, hello, bye, same, bye, mem, same, mem}), log.blocks);
}

TEST(UtilMemory, AllocAndCopyMemAndReplace) {
  AllocLog log;
  const char bytes[] = {'a', '\0', 'b', '\0', 'c'};
  void* p = UtilAllocAndCopyMem(bytes, sizeof bytes, nullptr);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(0, std::memcmp(bytes, p, sizeof bytes));
  EXPECT_EQ(nullptr, UtilAllocAndCopyMem(nullptr, 10, p));  // frees the old block

  void* slot = nullptr;
  void* a = UtilAllocAndCopyMem("a", 1, nullptr);
  void* b = UtilAllocAndCopyMem("b", 1, nullptr);
  Util_ReplaceMem(&slot, a);  // nothing to free
  Util_ReplaceMem(&slot, a);  // same block: kept
  Util_ReplaceMem(&slot, b);
  Util_ReplaceMem(&slot, nullptr);
  EXPECT_EQ(nullptr, slot);
  Util_ReplaceMem(nullptr, nullptr);
  EXPECT_EQ((Strings{"106 ORB000 5", "108 06109E 0", "106 ORB000 1", "106 ORB000 1", "108 06109F 0",
                     "108 06109F 0"}),
            log.calls);
  EXPECT_EQ((std::vector<void*>{p, p, a, b, a, b}), log.blocks);
}

TEST(UtilMemory, Replace7FsIntoANewOrGrownBlock) {
  AllocLog log;
  const char source[] = {'a', 0x7F, 'b', 0x0A, 'c', 0x0D, 0x0A, 0};
  char* p = OrbHost_Replace7FsAndCopyStr(nullptr, source);
  EXPECT_STREQ("a\r\nb\r\nc\r\n", p);
  HostKit_Free("test", p);
  char* x = UtilAllocAndCopyString("x", nullptr);
  p = OrbHost_Replace7FsAndCopyStr(x, "\177b\n");
  EXPECT_STREQ("x\r\nb\r\n", p);
  EXPECT_EQ((Strings{"106 mip034 10", "108 test 0", "106 ORB000 2", "107 mip033 7"}), log.calls);
  p = OrbHost_Replace7FsAndCopyStr(p, "\n");  // a line feed first in the source
  EXPECT_STREQ("x\r\nb\r\n\r\n", p);
  HostKit_Free("test", p);
  // A text cut short in a larger block: what follows its end is no terminator.
  p = static_cast<char*>(HostKit_Alloc("test", 10, 0));
  std::memcpy(p, "abcdefghi", 10);
  p[3] = '\0';
  p = OrbHost_Replace7FsAndCopyStr(p, "xy");
  EXPECT_STREQ("abcxy", p);
  HostKit_Free("test", p);

  for (auto c : {std::make_pair("\nx\n\n", "\r\nx\r\n\r\n"), std::make_pair("\r\n\r", "\r\n\r"),
                 std::make_pair<const char*, const char*>(nullptr, "")}) {
    p = OrbHost_Replace7FsAndCopyStr(nullptr, c.first);
    EXPECT_STREQ(c.second, p);
    HostKit_Free("test", p);
  }
}

}  // namespace
