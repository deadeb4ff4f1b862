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
#include "support/alloclog.h"
#include "support/tempfiles.h"

namespace {

// Reads the long string of section Data, keys Len and `valueKey`.
int Get(const std::string& file, char** block, const char* valueKey = "Text") {
  return GetPrivateProfileLongString(file.c_str(), "Data", "Len", valueKey, block);
}

int Put(const std::string& file, const char* text) {
  return WritePrivateProfileLongString(file.c_str(), "Data", "Len", "Text", text);
}

// A text reads back into a block of its length plus one; the length key
// decides what is read.
TEST(LongString, RoundTripAndTheLengthKeyRules) {
  TempDir dir;
  const std::string file = dir.File("tool.ini");
  std::string text(300, 'a');
  for (size_t i = 0; i < text.size(); i++) text[i] = static_cast<char>('a' + i % 26);
  ASSERT_NE(0, Put(file, text.c_str()));
  AllocLog log;
  char* block = nullptr;
  EXPECT_EQ(300, Get(file, &block));
  EXPECT_EQ("106 ORB003 301", log.Take());
  EXPECT_EQ(text, block != nullptr ? block : "");
  HostKit_Free("test", block);

  ASSERT_NE(0, Put(file, ""));
  char length[4] = "";
  GetPrivateProfileStringA("Data", "Len", "", length, sizeof length, file.c_str());
  EXPECT_STREQ("0", length) << "an empty text still writes its length";
  EXPECT_EQ(0, Get(file, nullptr));
  // A missing, zero or damaged length never yields a block too small for
  // its text; an earlier pointer in the slot is dropped.
  char dummy;
  for (const char* damaged : {static_cast<const char*>(nullptr), "0", "-1", "0x80000000"}) {
    ASSERT_TRUE(WritePrivateProfileStringA("Data", "Len", damaged, file.c_str()));
    block = &dummy;
    EXPECT_EQ(0, Get(file, &block)) << (damaged ? damaged : "missing");
    EXPECT_EQ(nullptr, block);
  }

  // A longer value is cut; a missing one reads empty, the block still
  // going to the caller.
  ASSERT_TRUE(WritePrivateProfileStringA("Data", "Len", "4", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Data", "Text", "abcdefgh", file.c_str()));
  char* cut[2] = {};
  EXPECT_EQ(4, Get(file, &cut[0]));
  EXPECT_EQ(0, Get(file, &cut[1], "Other"));
  EXPECT_STREQ("abcd", cut[0]);
  EXPECT_STREQ("", cut[1]);
  for (char* b : cut) HostKit_Free("test", b);

  const std::string missing = dir.File("no/such.ini");
  EXPECT_EQ(0, Put(missing, "abc"));
  EXPECT_FALSE(std::filesystem::exists(missing));
}

#ifndef _WIN32
// A file that may not grow past 100 bytes (a full disk): the length key
// fits, the 300-character value does not, and the pair stays as it was,
// a missing pair too.
TEST(LongString, AValueThatCannotBeWrittenLeavesThePairAsItWas) {
  TempDir dir;
  const std::string file = dir.File("full.ini"), other = dir.File("none.ini");
  ASSERT_NE(0, Put(file, "old value"));
  const Bytes before = ReadBytes(file);
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  const struct rlimit small = {100, saved.rlim_max};
  void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const std::string text(300, 'x');
  const int wrote = Put(file, text.c_str()), wroteOther = Put(other, text.c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, handler);
  EXPECT_EQ(0, wrote);
  EXPECT_EQ(before, ReadBytes(file));
  EXPECT_EQ(0, wroteOther);
  char* block = nullptr;
  EXPECT_EQ(0, Get(other, &block));
  EXPECT_EQ(nullptr, block) << "no length key left behind";
}
#endif

}  // namespace
