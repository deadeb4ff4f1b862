// Profile files: reads, truncation counts and enumerations as Windows gives
// them, and rewrites that keep everything they do not change.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32.h"

namespace {

class ProfileTest : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/orbprofileXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(name));
    dir_ = name;
    file_ = dir_ + "/test.ini";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Put(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
  std::string Bytes() const {
    std::ifstream in(file_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Get(const char* section, const char* key, const char* def = "", DWORD size = 256,
                  DWORD* count = nullptr) {
    char buffer[256];
    DWORD n = GetPrivateProfileStringA(section, key, def, buffer, size, file_.c_str());
    if (count != nullptr) *count = n;
    return std::string(buffer, n);
  }
  size_t FilesInDir() const {
    return size_t(std::distance(std::filesystem::directory_iterator(dir_), {}));
  }

  std::string dir_;
  std::string file_;
};

// Written as a person edits such a file on Windows.
const char kHandWritten[] =
    "; Settings of the tool\r\n"
    "\r\n"
    "[General]\r\n"
    "Name = First Value \r\n"
    "count=3\r\n"
    "; end of General\r\n"
    "\r\n"
    "[Paths]\r\n"
    "Home=C:\\HOME\r\n"
    "quoted=\"  spaced  \"\r\n"
    "a line without equals\r\n"
    "\r\n"
    "[Empty]\r\n";

TEST_F(ProfileTest, ReadsValuesWithoutRegardToCase) {
  Put(kHandWritten);
  DWORD n = 0;
  EXPECT_EQ("First Value", Get("general", "NAME", "", 256, &n));
  EXPECT_EQ(11u, n);
  EXPECT_EQ("C:\\HOME", Get("PATHS", "home"));
  EXPECT_EQ("  spaced  ", Get("Paths", "quoted"));
  // Missing key, missing section, comment and unknown lines: the default,
  // without its trailing spaces.
  EXPECT_EQ("dflt", Get("General", "missing", "dflt  ", 256, &n));
  EXPECT_EQ(4u, n);
  EXPECT_EQ("  x", Get("Nowhere", "Name", "  x  "));
  EXPECT_EQ("", Get("Paths", "a line without equals", nullptr));
  EXPECT_EQ("", Get("General", "; end of General"));
  EXPECT_EQ(3u, GetPrivateProfileIntA("GENERAL", "COUNT", 7, file_.c_str()));
  EXPECT_EQ(7u, GetPrivateProfileIntA("General", "none", 7, file_.c_str()));
  // A missing file reads as empty.
  char buffer[8] = "zzzzzzz";
  EXPECT_EQ(1u, GetPrivateProfileStringA("a", "b", "d", buffer, 8, (dir_ + "/no.ini").c_str()));
  EXPECT_STREQ("d", buffer);
}

TEST_F(ProfileTest, TruncatesValuesToSizeMinusOne) {
  Put(kHandWritten);
  char buffer[16];
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(5u, GetPrivateProfileStringA("General", "Name", "", buffer, 6, file_.c_str()));
  EXPECT_STREQ("First", buffer);
  EXPECT_EQ('z', buffer[6]);  // nothing past the limit
  // Exactly fitting: the same count as a cut value.
  EXPECT_EQ(11u, GetPrivateProfileStringA("General", "Name", "", buffer, 12, file_.c_str()));
  EXPECT_STREQ("First Value", buffer);
  EXPECT_EQ(0u, GetPrivateProfileStringA("General", "Name", "", buffer, 1, file_.c_str()));
  EXPECT_EQ('\0', buffer[0]);
  buffer[0] = 'q';
  EXPECT_EQ(0u, GetPrivateProfileStringA("General", "Name", "", buffer, 0, file_.c_str()));
  EXPECT_EQ('q', buffer[0]);
  EXPECT_EQ(2u, GetPrivateProfileStringA("General", "none", "defa", buffer, 3, file_.c_str()));
  EXPECT_STREQ("de", buffer);
}

TEST_F(ProfileTest, EnumeratesSectionAndKeyNames) {
  Put(kHandWritten);
  DWORD n = 0;
  EXPECT_EQ(std::string("General\0Paths\0Empty\0", 20), Get(nullptr, nullptr, "", 256, &n));
  EXPECT_EQ(20u, n);
  EXPECT_EQ(std::string("Home\0quoted\0", 12), Get("paths", nullptr, "", 256, &n));
  // A section without keys, or none at all, gives the default.
  EXPECT_EQ("none", Get("Empty", nullptr, "none"));
  EXPECT_EQ("none", Get("Nowhere", nullptr, "none"));

  // Cut lists: the first size - 2 characters and two NULs, size - 2 returned.
  char buffer[32];
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(10u, GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 12, file_.c_str()));
  EXPECT_EQ(0, std::memcmp("General\0Pa\0\0z", buffer, 13));
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(9u, GetPrivateProfileStringA("Paths", nullptr, "", buffer, 11, file_.c_str()));
  EXPECT_EQ(0, std::memcmp("Home\0quot\0\0z", buffer, 12));
  // A list that fits only without room to spare counts as cut.
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(11u, GetPrivateProfileStringA("Paths", nullptr, "", buffer, 13, file_.c_str()));
  EXPECT_EQ(0, std::memcmp("Home\0quoted\0\0z", buffer, 14));
  EXPECT_EQ(12u, GetPrivateProfileStringA("Paths", nullptr, "", buffer, 14, file_.c_str()));
  EXPECT_EQ(0u, GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 2, file_.c_str()));
  EXPECT_EQ(0, std::memcmp("\0\0", buffer, 2));
  EXPECT_EQ(0u, GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 1, file_.c_str()));
  // No sections: an empty list.
  Put("");
  buffer[0] = 'z';
  EXPECT_EQ(0u, GetPrivateProfileStringA(nullptr, nullptr, "d", buffer, 8, file_.c_str()));
  EXPECT_EQ('\0', buffer[0]);
}

TEST_F(ProfileTest, NumbersAsWindowsReadsThem) {
  Put("[n]\nneg=-1\nhex=0x1F\nbin=0b101\noct=0o17\nlead=12ab\nword=abc\nempty=\nplus=+42\n"
      "big=4294967297\n");
  const char* f = file_.c_str();
  EXPECT_EQ(0xFFFFFFFFu, GetPrivateProfileIntA("n", "neg", 5, f));
  EXPECT_EQ(31u, GetPrivateProfileIntA("n", "hex", 5, f));
  EXPECT_EQ(5u, GetPrivateProfileIntA("n", "bin", 0, f));
  EXPECT_EQ(15u, GetPrivateProfileIntA("n", "oct", 0, f));
  EXPECT_EQ(12u, GetPrivateProfileIntA("n", "lead", 5, f));
  EXPECT_EQ(0u, GetPrivateProfileIntA("n", "word", 5, f));
  EXPECT_EQ(5u, GetPrivateProfileIntA("n", "empty", 5, f));
  EXPECT_EQ(42u, GetPrivateProfileIntA("n", "plus", 5, f));
  EXPECT_EQ(1u, GetPrivateProfileIntA("n", "big", 5, f));
  EXPECT_EQ(static_cast<UINT>(-9), GetPrivateProfileIntA("n", "none", -9, f));
}

TEST_F(ProfileTest, RewritesKeepEverythingElse) {
  Put(kHandWritten);
  const char* f = file_.c_str();
  EXPECT_TRUE(WritePrivateProfileStringA("paths", "HOME", "D:\\NEW", f));
  EXPECT_TRUE(WritePrivateProfileStringA("Paths", "Added", "x", f));
  EXPECT_TRUE(WritePrivateProfileStringA("General", "Fresh", "1", f));
  EXPECT_TRUE(WritePrivateProfileStringA("New", "k", "v", f));
  EXPECT_TRUE(WritePrivateProfileStringA("General", "COUNT", nullptr, f));
  EXPECT_TRUE(WritePrivateProfileStringA("empty", nullptr, nullptr, f));
  EXPECT_TRUE(WritePrivateProfileStringA("Empty", "added", "after the section went", f));
  EXPECT_EQ(
      "; Settings of the tool\r\n"
      "\r\n"
      "[General]\r\n"
      "Name = First Value \r\n"
      "Fresh=1\r\n"
      "; end of General\r\n"
      "\r\n"
      "[Paths]\r\n"
      "Home=D:\\NEW\r\n"
      "quoted=\"  spaced  \"\r\n"
      "Added=x\r\n"
      "a line without equals\r\n"
      "\r\n"
      "[New]\r\n"
      "k=v\r\n"
      "[Empty]\r\n"
      "added=after the section went\r\n",
      Bytes());
  EXPECT_EQ("D:\\NEW", Get("PATHS", "home"));
  EXPECT_EQ(std::string("General\0Paths\0New\0Empty\0", 24), Get(nullptr, nullptr));
  EXPECT_EQ(1u, FilesInDir());  // no temporary file left behind
}

TEST_F(ProfileTest, DeletingWhatIsMissingLeavesTheFileAlone) {
  Put("[a]\nx=1\n");  // LF ends stay while the file is not rewritten
  const char* f = file_.c_str();
  EXPECT_TRUE(WritePrivateProfileStringA("a", "y", nullptr, f));
  EXPECT_TRUE(WritePrivateProfileStringA("b", "x", nullptr, f));
  EXPECT_TRUE(WritePrivateProfileStringA("b", nullptr, nullptr, f));
  EXPECT_EQ("[a]\nx=1\n", Bytes());
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "x", "1", f));
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, f));
  EXPECT_EQ("[a]\nx=1\n", Bytes());
  // The first rewrite turns every line end into CR LF.
  EXPECT_TRUE(WritePrivateProfileStringA("a", "x", "2", f));
  EXPECT_EQ("[a]\r\nx=2\r\n", Bytes());
}

TEST_F(ProfileTest, CreatesFilesAndFailsWithoutLosingThem) {
  std::string nested = dir_ + "\\new.ini";  // "\" separates directories too
  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", nested.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("T", "k", "w", nested.c_str()));
  std::ifstream in(dir_ + "/new.ini", std::ios::binary);
  EXPECT_EQ("[S]\r\nk=v\r\n[T]\r\nk=w\r\n", std::string(std::istreambuf_iterator<char>(in), {}));

  std::string missing = dir_ + "/no/such/dir.ini";
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", missing.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", nullptr));

  // A file that cannot be read is not replaced.
  std::string unreadable = dir_ + "/dir.ini";
  ASSERT_EQ(0, mkdir(unreadable.c_str(), 0755));
  EXPECT_FALSE(WritePrivateProfileStringA("a", "x", "2", unreadable.c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(unreadable));
  Put("[a]\r\nx=1\r\n");
  // A rewrite keeps the file's permissions.
  chmod(file_.c_str(), 0640);
  EXPECT_TRUE(WritePrivateProfileStringA("a", "x", "3", file_.c_str()));
  struct stat st;
  ASSERT_EQ(0, stat(file_.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 0777);
  EXPECT_EQ(3u, FilesInDir());
}

TEST_F(ProfileTest, FirstOccurrenceCountsAndNamesOutsideSectionsAreUnreachable) {
  Put("top=0\r\n[A]\r\nk=1\r\nK=2\r\n[a]\r\nk=3\r\nother=4\r\n");
  EXPECT_EQ("1", Get("a", "k"));
  EXPECT_EQ("", Get("a", "other"));
  EXPECT_EQ("", Get("", "top"));
  EXPECT_TRUE(WritePrivateProfileStringA("a", "k", "9", file_.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("A", nullptr, nullptr, file_.c_str()));
  EXPECT_EQ("top=0\r\n[a]\r\nk=3\r\nother=4\r\n", Bytes());
  EXPECT_EQ("4", Get("A", "OTHER"));
}

}  // namespace
