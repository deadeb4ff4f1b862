// Long strings in profile files: a length key and a value key.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <filesystem>
#include <string>

#include "hostkit/hostkit.h"
#include "orbcmn/util.h"
#include "platform/win32.h"
#include "support/tempfiles.h"
#include "support/wine.h"

namespace {

// Reads the long string of section Data, keys Len and `valueKey`.
int Get(const std::string& file, char** block, const char* valueKey = "Text") {
  return GetPrivateProfileLongString(file.c_str(), "Data", "Len", valueKey, block);
}

TEST(LongString, RoundTripsIntoABlockOfLengthPlusOne) {
  TempDir dir;
  std::string file = dir.File("tool.ini");
  for (size_t length : {size_t(300), size_t(60000)}) {
    // Wine cuts long profile values short; Windows reads them whole.
    if (length > 300 && UnderWine()) break;
    std::string text;
    for (size_t i = 0; i < length; i++) text += static_cast<char>('a' + i % 26);
    ASSERT_NE(0, WritePrivateProfileLongString(file.c_str(), "Data", "Len", "Text", text.c_str()));
    const long before = HostKit_LiveBlocks("ORB003");
    char* block = nullptr;
    EXPECT_EQ(static_cast<int>(length), Get(file, &block));
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(before + 1, HostKit_LiveBlocks("ORB003"));
    EXPECT_EQ(length + 1, HostKit_BlockSize(block));
    EXPECT_EQ(text, block);
    HostKit_Free("test", block);
  }
}

TEST(LongString, TheLengthKeyRules) {
  TempDir dir;
  std::string file = dir.File("tool.ini");
  char dummy;
  char* block = &dummy;
  EXPECT_EQ(0, Get(file, &block)) << "missing";
  EXPECT_EQ(nullptr, block);
  ASSERT_NE(0, WritePrivateProfileLongString(file.c_str(), "Data", "Len", "Text", ""));
  char length[4] = "";
  GetPrivateProfileStringA("Data", "Len", "", length, sizeof length, file.c_str());
  EXPECT_STREQ("0", length) << "an empty text still writes its length";
  EXPECT_EQ(0, Get(file, nullptr));
  // A zero or damaged length never yields a block too small for its text.
  for (const char* damaged : {"0", "-1", "0x80000000"}) {
    ASSERT_TRUE(WritePrivateProfileStringA("Data", "Len", damaged, file.c_str()));
    block = &dummy;
    EXPECT_EQ(0, Get(file, &block)) << damaged;
    EXPECT_EQ(nullptr, block);
  }

  // A longer value is cut; a missing one reads empty, the block still
  // going to the caller.
  ASSERT_TRUE(WritePrivateProfileStringA("Data", "Len", "4", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Data", "Text", "abcdefgh", file.c_str()));
  EXPECT_EQ(4, Get(file, &block));
  EXPECT_STREQ("abcd", block);
  HostKit_Free("test", block);
  EXPECT_EQ(0, Get(file, &block, "Other"));
  ASSERT_NE(nullptr, block);
  EXPECT_STREQ("", block);
  HostKit_Free("test", block);

  std::string missing = dir.File("no/such.ini");
  EXPECT_EQ(0, WritePrivateProfileLongString(missing.c_str(), "Data", "Len", "Text", "abc"));
  EXPECT_FALSE(std::filesystem::exists(missing));
}

#ifndef _WIN32
// A file that may not grow past 100 bytes (a full disk): the length key
// fits, the 300-character value does not, and the pair stays as it was,
// a missing pair too.
TEST(LongString, AValueThatCannotBeWrittenLeavesThePairAsItWas) {
  TempDir dir;
  std::string file = dir.File("full.ini");
  ASSERT_NE(0, WritePrivateProfileLongString(file.c_str(), "Data", "Len", "Text", "old value"));
  std::string other = dir.File("none.ini");
  const Bytes before = ReadBytes(file);
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 100;
  void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  std::string text(300, 'x');
  int wrote = WritePrivateProfileLongString(file.c_str(), "Data", "Len", "Text", text.c_str());
  int wroteOther =
      WritePrivateProfileLongString(other.c_str(), "Data", "Len", "Text", text.c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, handler);
  EXPECT_EQ(0, wrote);
  EXPECT_EQ(before, ReadBytes(file));
  EXPECT_EQ(0, wroteOther);
  char* block = nullptr;
  EXPECT_EQ(0, Get(other, &block));
  EXPECT_EQ(nullptr, block) << "no length key left behind";
  HostKit_Free("test", block);
}
#endif

}  // namespace
