// The runtime's directory search with Windows wildcards.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32.h"
#include "support/tempfiles.h"
#include "support/wine.h"

namespace {

class FindTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"b.txt", "A.TXT", "readme", "c.tx", "abc.d.txt"}) {
      std::ofstream(dir_ + "/" + file) << "12345";
    }
    std::filesystem::create_directory(dir_ + "/Sub");
  }

  // The names `pattern` finds in the directory, in order, directories
  // marked with "/"; every file holds 5 bytes.
  std::string Find(const std::string& pattern) {
    std::string names;
    struct _finddata_t data;
    intptr_t handle = _findfirst((dir_ + "\\" + pattern).c_str(), &data);
    if (handle == -1) return names;
    for (int more = 0; more == 0; more = _findnext(handle, &data)) {
      bool directory = (data.attrib & _A_SUBDIR) != 0;
      names += std::string(names.empty() ? "" : " ") + data.name + (directory ? "/" : "");
      EXPECT_TRUE(directory || data.size == 5u) << data.name;
      EXPECT_NE(0, data.time_write);
    }
    EXPECT_EQ(-1, _findnext(handle, &data)) << "stays at the end";
    EXPECT_EQ(0, _findclose(handle));
    return names;
  }

  TempDir temp_;
  std::string dir_ = temp_.path();
};

TEST_F(FindTest, WildcardsAsOnWindows) {
  EXPECT_EQ("./ ../ A.TXT abc.d.txt b.txt c.tx readme Sub/", Find("*.*"));
  EXPECT_EQ("A.TXT abc.d.txt b.txt", Find("*.txt"));
  EXPECT_EQ("A.TXT b.txt", Find("?.TxT"));
  EXPECT_EQ("c.tx", Find("*.tx"));
  EXPECT_EQ("readme", Find("READ*.*"));  // ".*" also matches no extension
  EXPECT_EQ("A.TXT abc.d.txt", Find("a*t"));
  // Windows-1252 letters beyond ASCII match without case too, in both interfaces.
  std::ofstream(dir_ + "/\xC9t\xE9.\x9A") << "12345";
  EXPECT_EQ("\xC9t\xE9.\x9A", Find("\xE9T\xC9.\x8A"));
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir_ + "\\\xE9t?.*").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  EXPECT_STREQ("\xC9t\xE9.\x9A", data.cFileName);
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_TRUE(FindClose(find));
}

TEST_F(FindTest, Failures) {
  struct _finddata_t data;
  intptr_t handle = _findfirst((dir_ + "/b.txt").c_str(), &data);
  ASSERT_NE(-1, handle);
  EXPECT_EQ(0, _findclose(handle));
  // Wine accepts a handle closed before and faults on a made-up one;
  // Windows refuses both.
  EXPECT_TRUE(UnderWine() || _findclose(handle) == -1) << "already closed";
  errno = 0;
  EXPECT_EQ(-1, _findfirst((dir_ + "/*.doc").c_str(), &data));
  EXPECT_EQ(ENOENT, errno);
  EXPECT_EQ(-1, _findfirst(nullptr, &data));
  EXPECT_TRUE(UnderWine() || _findnext(12345, &data) == -1);
}

}  // namespace
