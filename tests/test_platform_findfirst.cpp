// The runtime's directory search with Windows wildcards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "support/tempfiles.h"

namespace {

// The names `pattern` finds in directory `dir`, in order.
std::string Find(const TempDir& dir, const std::string& pattern) {
  std::string names;
  struct _finddata_t data;
  intptr_t handle = _findfirst((dir.path() + "\\" + pattern).c_str(), &data);
  if (handle == -1) return names;
  for (int more = 0; more == 0; more = _findnext(handle, &data)) {
    names += std::string(names.empty() ? "" : " ") + data.name;
  }
  EXPECT_EQ(0, _findclose(handle));
  return names;
}

// As the library searches: every name ("*.*" matching names without an
// extension too), the first of none, and without regard to case, also of
// Windows-1252 letters beyond ASCII.
TEST(FindTest, WildcardsAsOnWindows) {
  TempDir dir;
  for (const char* file : {"b.txt", "A.TXT", "readme", "c.tx", "abc.d.txt"}) {
    ASSERT_TRUE(WriteText(dir.File(file), "x"));
  }
  std::filesystem::create_directory(dir.File("Sub"));
  EXPECT_EQ(". .. A.TXT abc.d.txt b.txt c.tx readme Sub", Find(dir, "*.*"));
  EXPECT_EQ("", Find(dir, "*.doc"));
  EXPECT_EQ("A.TXT b.txt", Find(dir, "?.TxT"));
  EXPECT_EQ("c.tx", Find(dir, "*.tx"));
  EXPECT_EQ("A.TXT abc.d.txt", Find(dir, "a*t"));
  ASSERT_TRUE(WriteText(dir.File("\xC9t\xE9.\x9A"), "x"));
  EXPECT_EQ("\xC9t\xE9.\x9A", Find(dir, "\xE9T\xC9.\x8A"));
}

}  // namespace
