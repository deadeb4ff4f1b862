// Long strings in profile files: a length key and a value key.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "hostkit/hostkit.h"
#include "orbcmn/util.h"
#include "platform/win32.h"

namespace {

class LongStringTest : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/orblongXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(name));
    dir_ = name;
    file_ = dir_ + "/tool.ini";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Value(const char* key) {
    char buffer[64];
    GetPrivateProfileStringA("Data", key, "<none>", buffer, sizeof buffer, file_.c_str());
    return buffer;
  }

  std::string dir_;
  std::string file_;
};

std::string Pattern(size_t length) {
  std::string text;
  for (size_t i = 0; i < length; i++) text += char('a' + i % 26);
  return text;
}

TEST_F(LongStringTest, RoundTripsIntoABlockOfLengthPlusOne) {
  for (size_t length : {size_t(300), size_t(60000)}) {
    std::string text = Pattern(length);
    ASSERT_NE(0, WritePrivateProfileLongString(file_.c_str(), "Data", "Len", "Text", text.c_str()));
    EXPECT_EQ(std::to_string(length), Value("Len"));
    const long before = HostKit_LiveBlocks("ORB003");
    char* block = nullptr;
    EXPECT_EQ(int(length),
              GetPrivateProfileLongString(file_.c_str(), "Data", "Len", "Text", &block));
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(before + 1, HostKit_LiveBlocks("ORB003"));
    EXPECT_EQ(length + 1, HostKit_BlockSize(block));
    EXPECT_EQ(text, block);
    HostKit_Free("test", block);
  }
}

TEST_F(LongStringTest, MissingOrZeroLengthGivesNothing) {
  char dummy;
  char* block = &dummy;
  EXPECT_EQ(0, GetPrivateProfileLongString(file_.c_str(), "Data", "Len", "Text", &block));
  EXPECT_EQ(nullptr, block);

  ASSERT_NE(0, WritePrivateProfileLongString(file_.c_str(), "Data", "Len", "Text", ""));
  EXPECT_EQ("0", Value("Len"));
  block = &dummy;
  EXPECT_EQ(0, GetPrivateProfileLongString(file_.c_str(), "Data", "Len", "Text", &block));
  EXPECT_EQ(nullptr, block);
  EXPECT_EQ(0, GetPrivateProfileLongString(file_.c_str(), "Data", "Len", "Text", nullptr));

  // A damaged length key never yields a block too small for its text.
  for (const char* length : {"-1", "-2", "0x80000000"}) {
    ASSERT_TRUE(WritePrivateProfileStringA("Data", "Len", length, file_.c_str()));
    block = &dummy;
    EXPECT_EQ(0, GetPrivateProfileLongString(file_.c_str(), "Data", "Len", "Text", &block));
    EXPECT_EQ(nullptr, block);
  }
}

TEST_F(LongStringTest, ValueShorterOrLongerThanItsLength) {
  // The length key rules: a longer value is cut, a missing one reads empty
  // while the block still goes to the caller.
  ASSERT_TRUE(WritePrivateProfileStringA("Data", "Len", "4", file_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Data", "Text", "abcdefgh", file_.c_str()));
  char* block = nullptr;
  EXPECT_EQ(4, GetPrivateProfileLongString(file_.c_str(), "Data", "Len", "Text", &block));
  EXPECT_STREQ("abcd", block);
  HostKit_Free("test", block);

  block = nullptr;
  EXPECT_EQ(0, GetPrivateProfileLongString(file_.c_str(), "Data", "Len", "Other", &block));
  ASSERT_NE(nullptr, block);
  EXPECT_STREQ("", block);
  HostKit_Free("test", block);
}

TEST_F(LongStringTest, NothingWrittenWhenTheFileCannotBe) {
  std::string missing = dir_ + "/no/such.ini";
  EXPECT_EQ(0, WritePrivateProfileLongString(missing.c_str(), "Data", "Len", "Text", "abc"));
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
