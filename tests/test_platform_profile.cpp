// Profile files: reads and truncation counts as Windows gives them, and
// rewrites that keep everything they do not change.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>

#include "platform/win32.h"
#include "support/tempfiles.h"
#include "support/wine.h"

namespace {

class ProfileTest : public testing::Test {
 protected:
  void Put(const std::string& bytes) { WriteText(file_, bytes); }
  // The value read into a buffer of `size` bytes, checked to end in a
  // zero with nothing written past the buffer.
  std::string Get(const char* section, const char* key, const char* def = "", DWORD size = 64) {
    char buffer[65];
    std::memset(buffer, 'z', sizeof buffer);
    DWORD n = GetPrivateProfileStringA(section, key, def, buffer, size, file_.c_str());
    EXPECT_EQ('\0', buffer[n]);
    EXPECT_EQ('z', buffer[size]);
    return std::string(buffer, n);
  }
  bool Write(const char* section, const char* key, const char* value) {
    return WritePrivateProfileStringA(section, key, value, file_.c_str());
  }

  TempDir dir_;
  std::string file_ = dir_.File("test.ini");
};

// Written as a person edits such a file on Windows.
const char kHandWritten[] =
    "; Settings of the tool\r\n\r\n"
    "[General]\r\nName = First Value \r\ncount=3\r\n; end of General\r\n\r\n"
    "[Paths]\r\nHome=C:\\HOME\r\nquoted=\"  spaced  \"\r\na line without equals\r\n\r\n"
    "[Empty]\r\n";

TEST_F(ProfileTest, ReadsWithoutRegardToCaseTruncatesAndReadsNumbersAsWindows) {
  Put(kHandWritten);
  EXPECT_EQ("First Value", Get("general", "NAME"));
  EXPECT_EQ("  spaced  ", Get("Paths", "quoted"));
  // Missing key, missing section: the default.
  EXPECT_EQ("dflt", Get("General", "missing", "dflt"));
  EXPECT_EQ("x", Get("Nowhere", "Name", "x"));

  // Values: size - 1 characters and a NUL, nothing past the limit.
  EXPECT_EQ("First", Get("General", "Name", "", 6));
  EXPECT_EQ("First Value", Get("General", "Name", "", 12));  // exactly fitting

  Put("[n]\nneg=-1\nhex=0x1F\nlead=12ab\nword=abc\nempty=\nbig=4294967297\n");
  // Numbers in the value, else 0; the default only for an empty or missing value.
  const std::pair<const char*, UINT> cases[] = {
      {"neg", 0xFFFFFFFFu}, {"hex", 31u}, {"lead", 12u},     {"word", 0u},
      {"empty", UINT(-3)},  {"big", 1u},  {"none", UINT(-3)}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.second, GetPrivateProfileIntA("n", c.first, -3, file_.c_str())) << c.first;
  }
}

TEST_F(ProfileTest, RewritesKeepEverythingElse) {
  Put(kHandWritten);
  EXPECT_TRUE(Write("paths", "HOME", "D:\\NEW"));
  EXPECT_TRUE(Write("Paths", "Added", "x"));
  EXPECT_TRUE(Write("General", "Fresh", "1"));
  EXPECT_TRUE(Write("New", "k", "v"));
  EXPECT_TRUE(Write("General", "COUNT", nullptr));
  EXPECT_EQ("x", Get("Paths", "Added"));
  // Wine writes the whole file anew in a layout of its own (no blank lines,
  // no spaces around "=", new keys after a section's comments); Windows
  // changes only the lines written.
  if (UnderWine()) return;
  EXPECT_EQ(
      "; Settings of the tool\r\n\r\n"
      "[General]\r\nName = First Value \r\nFresh=1\r\n; end of General\r\n\r\n"
      "[Paths]\r\nHome=D:\\NEW\r\nquoted=\"  spaced  \"\r\nAdded=x\r\na line without equals\r\n\r\n"
      "[Empty]\r\n[New]\r\nk=v\r\n",
      ReadText(file_));
}

// Only the first of repeated sections and keys counts; names before any
// section cannot be reached. Deleting what is missing leaves the file alone,
// LF ends included.
TEST_F(ProfileTest, FirstOccurrenceCountsAndDeletingWhatIsMissingChangesNothing) {
  const char* text = "top=0\n[A]\nk=1\nK=2\n[a]\nk=3\nother=4\n";
  Put(text);
  EXPECT_EQ("1", Get("a", "k"));
  // Wine reads names before any section as the section ""; Windows cannot
  // reach them.
  EXPECT_TRUE(UnderWine() || Get("", "top").empty());
  EXPECT_TRUE(Write("a", "y", nullptr));
  EXPECT_TRUE(UnderWine() || ReadText(file_) == text) << ReadText(file_);
  EXPECT_TRUE(Write("a", "k", "9"));
  EXPECT_EQ("9", Get("A", "k")) << "written into the first section";
}

TEST_F(ProfileTest, CreatesFilesAndFailsWithoutLosingThem) {
  std::string created = dir_.path() + "\\new.ini";  // "\" separates directories too
  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", created.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("T", "k", "w", created.c_str()));
  EXPECT_EQ("[S]\r\nk=v\r\n[T]\r\nk=w\r\n", ReadText(dir_.File("new.ini")));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", dir_.File("no/such/dir.ini").c_str()));

  // A file that cannot be read is not replaced.
  std::string unreadable = dir_.File("dir.ini");
  ASSERT_TRUE(std::filesystem::create_directory(unreadable));
  EXPECT_FALSE(WritePrivateProfileStringA("a", "x", "2", unreadable.c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(unreadable));
  Put("[a]\r\nx=1\r\n");
  EXPECT_TRUE(Write("a", "x", "3"));
  EXPECT_EQ(3, std::distance(std::filesystem::directory_iterator(dir_.path()), {}))
      << "no temporary file left behind";
}

}  // namespace
