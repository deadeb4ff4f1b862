// String and memory utilities: trimming, digits, number text and the
// caller-owned blocks with their allocation tags.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/util.h"

namespace {

struct Call {
  int entry;
  std::string tag;
  void* block;
  unsigned size;
};

// Records every allocator request made while it lives.
class AllocLog {
 public:
  AllocLog() { HostKit_SetAllocObserver(&AllocLog::Observe, this); }
  ~AllocLog() { HostKit_SetAllocObserver(nullptr, nullptr); }
  std::vector<Call> calls;

 private:
  static void Observe(void* user, int entry, const char* tag, void* block, unsigned size) {
    static_cast<AllocLog*>(user)->calls.push_back({entry, tag ? tag : "", block, size});
  }
};

TEST(UtilString, AllDigits) {
  EXPECT_EQ(1, AllDigits(nullptr));
  EXPECT_EQ(1, AllDigits(""));
  EXPECT_EQ(1, AllDigits("0123456789"));
  EXPECT_EQ(0, AllDigits("12a"));
  EXPECT_EQ(0, AllDigits(" 12"));
  EXPECT_EQ(0, AllDigits("1-2"));
  EXPECT_EQ(0, AllDigits("1\xE9"));  // a Windows-1252 letter
  EXPECT_EQ(1, AllDigits("1\xB2"));  // Windows counts superscript two as a digit
}

TEST(UtilString, TrimmingRemovesOnlySpaces) {
  char a[] = "   ";
  EXPECT_EQ(a, lstrrtrim(a));
  EXPECT_STREQ("", a);
  char b[] = "a b  ";
  EXPECT_STREQ("a b", lstrrtrim(b));
  char c[] = "  a ";
  EXPECT_EQ(c, lstrltrim(c));
  EXPECT_STREQ("a ", c);
  char d[] = "\t a\r\n ";
  EXPECT_STREQ("\t a\r\n", lstrrtrim(d));
  char e[] = " \ta";
  EXPECT_STREQ("\ta", lstrltrim(e));
  char f[] = "   x y   ";
  EXPECT_EQ(f, lstrtrim(f));
  EXPECT_STREQ("x y", f);
  char g[] = "    ";
  EXPECT_STREQ("", lstrtrim(g));
  char h[] = "";
  EXPECT_STREQ("", lstrrtrim(h));
  EXPECT_STREQ("", lstrltrim(h));
  EXPECT_EQ(nullptr, lstrrtrim(nullptr));
  EXPECT_EQ(nullptr, lstrltrim(nullptr));
  EXPECT_EQ(nullptr, lstrtrim(nullptr));
}

TEST(UtilString, TrailingTrimCountsLengthIn16Bits) {
  // 65540 characters: the count wraps to 4, so trimming starts there.
  std::string text = "ab  " + std::string(65536, 'x');
  lstrrtrim(&text[0]);
  EXPECT_STREQ("ab", text.c_str());
}

TEST(UtilString, FltoaSharesOneBuffer) {
  char* first = fltoa(-5);
  EXPECT_STREQ("-5", first);
  char* second = fltoa(0);
  EXPECT_EQ(first, second);
  EXPECT_STREQ("0", first);  // the first text is gone
  EXPECT_STREQ("-2147483648", fltoa(-2147483647L - 1));
  EXPECT_STREQ("2147483647", fltoa(2147483647L));
  // Only the 32-bit value counts.
  EXPECT_STREQ("-1", fltoa(static_cast<long>(0xFFFFFFFFul)));
}

TEST(UtilMemory, AllocAndCopyStringTags) {
  AllocLog log;
  char* p = UtilAllocAndCopyString("hello", nullptr);
  ASSERT_NE(nullptr, p);
  EXPECT_STREQ("hello", p);
  p = UtilAllocAndCopyString("bye", p);
  ASSERT_NE(nullptr, p);
  EXPECT_STREQ("bye", p);
  char* old = p;
  EXPECT_EQ(nullptr, UtilAllocAndCopyString("", p));  // frees the old block
  EXPECT_EQ(nullptr, UtilAllocAndCopyString(nullptr, nullptr));
  ASSERT_EQ(4u, log.calls.size());
  EXPECT_EQ(106, log.calls[0].entry);
  EXPECT_EQ("ORB000", log.calls[0].tag);
  EXPECT_EQ(6u, log.calls[0].size);
  EXPECT_EQ(108, log.calls[1].entry);
  EXPECT_EQ("06109D", log.calls[1].tag);
  EXPECT_EQ(4u, log.calls[2].size);
  EXPECT_EQ(108, log.calls[3].entry);
  EXPECT_EQ("06109D", log.calls[3].tag);
  EXPECT_EQ(static_cast<void*>(old), log.calls[3].block);
}

TEST(UtilMemory, CopyingTheOldBlockItself) {
  AllocLog log;
  char* p = UtilAllocAndCopyString("same", nullptr);
  char* q = UtilAllocAndCopyString(p, p);
  ASSERT_NE(nullptr, q);
  EXPECT_STREQ("same", q);
  ASSERT_EQ(3u, log.calls.size());
  EXPECT_EQ(108, log.calls[2].entry);  // freed only after the copy
  EXPECT_EQ(static_cast<void*>(p), log.calls[2].block);
  void* m = UtilAllocAndCopyMem(q, 5, q);
  ASSERT_NE(nullptr, m);
  EXPECT_STREQ("same", static_cast<char*>(m));
  EXPECT_EQ("06109E", log.calls.back().tag);
  EXPECT_EQ(static_cast<void*>(q), log.calls.back().block);
  HostKit_Free("test", m);
}

TEST(UtilMemory, AllocAndCopyStringCountsLengthIn16Bits) {
  std::string text = std::string(65536, 'y') + "abc";
  char* p = UtilAllocAndCopyString(text.c_str(), nullptr);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(4u, HostKit_BlockSize(p));
  EXPECT_STREQ("yyy", p);
  HostKit_Free("test", p);
}

TEST(UtilMemory, AllocAndCopyMemAndReplace) {
  AllocLog log;
  const char bytes[] = {'a', '\0', 'b', '\0', 'c'};
  void* p = UtilAllocAndCopyMem(bytes, sizeof bytes, nullptr);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(0, std::memcmp(bytes, p, sizeof bytes));
  EXPECT_EQ(sizeof bytes, HostKit_BlockSize(p));
  EXPECT_EQ(nullptr, UtilAllocAndCopyMem(nullptr, 10, p));
  ASSERT_EQ(2u, log.calls.size());
  EXPECT_EQ("ORB000", log.calls[0].tag);
  EXPECT_EQ("06109E", log.calls[1].tag);
  EXPECT_EQ(p, log.calls[1].block);
  log.calls.clear();

  void* slot = nullptr;
  void* a = UtilAllocAndCopyMem("a", 1, nullptr);
  void* b = UtilAllocAndCopyMem("b", 1, nullptr);
  Util_ReplaceMem(&slot, a);  // nothing to free
  EXPECT_EQ(a, slot);
  Util_ReplaceMem(&slot, a);  // same block: kept
  EXPECT_EQ(a, slot);
  Util_ReplaceMem(&slot, b);
  EXPECT_EQ(b, slot);
  Util_ReplaceMem(&slot, nullptr);
  EXPECT_EQ(nullptr, slot);
  Util_ReplaceMem(nullptr, nullptr);
  ASSERT_EQ(4u, log.calls.size());
  EXPECT_EQ(108, log.calls[2].entry);
  EXPECT_EQ("06109F", log.calls[2].tag);
  EXPECT_EQ(a, log.calls[2].block);
  EXPECT_EQ("06109F", log.calls[3].tag);
  EXPECT_EQ(b, log.calls[3].block);
}

TEST(UtilMemory, Replace7FsIntoANewBlock) {
  AllocLog log;
  const char source[] = {'a', 0x7F, 'b', 0x0A, 'c', 0x0D, 0x0A, 0};
  char* p = OrbHost_Replace7FsAndCopyStr(nullptr, source);
  ASSERT_NE(nullptr, p);
  EXPECT_STREQ("a\r\nb\r\nc\r\n", p);
  ASSERT_EQ(1u, log.calls.size());
  EXPECT_EQ("mip034", log.calls[0].tag);
  EXPECT_EQ(2u + 7u + 1u, log.calls[0].size);
  HostKit_Free("test", p);

  p = OrbHost_Replace7FsAndCopyStr(nullptr, "\nx\n\n");
  EXPECT_STREQ("\r\nx\r\n\r\n", p);
  HostKit_Free("test", p);
  p = OrbHost_Replace7FsAndCopyStr(nullptr, "\r\n\r");
  EXPECT_STREQ("\r\n\r", p);
  HostKit_Free("test", p);
  p = OrbHost_Replace7FsAndCopyStr(nullptr, nullptr);
  ASSERT_NE(nullptr, p);
  EXPECT_STREQ("", p);
  HostKit_Free("test", p);
}

TEST(UtilMemory, Replace7FsAppendsToAGrownBlock) {
  char* dest = UtilAllocAndCopyString("x", nullptr);
  ASSERT_NE(nullptr, dest);
  AllocLog log;
  char* p = OrbHost_Replace7FsAndCopyStr(dest,
                                         "\x7F"
                                         "b\n");
  ASSERT_NE(nullptr, p);
  EXPECT_STREQ("x\r\nb\r\n", p);
  ASSERT_EQ(1u, log.calls.size());
  EXPECT_EQ(107, log.calls[0].entry);
  EXPECT_EQ("mip033", log.calls[0].tag);
  EXPECT_EQ(1u + 2u + 3u + 1u, log.calls[0].size);
  p = OrbHost_Replace7FsAndCopyStr(p, "\n");  // a line feed first in the source
  EXPECT_STREQ("x\r\nb\r\n\r\n", p);
  HostKit_Free("test", p);
}

}  // namespace
