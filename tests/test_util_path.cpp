// Path and file utilities: directory parts, appending files, emptying a
// directory, and the host's directory check with its messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"
#include "lib/diag.h"
#include "orbcmn/utilpath.h"
#include "platform/win32.h"
#include "support/tempfiles.h"

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

TEST(UtilPath, PathFromFileName) {
  // clang-format off
  const char* cases[][2] = {{"D:\\DIR\\FILE.TXT", "D:\\DIR"}, {"D:\\DIR\\", "D:\\DIR"}, {"", ""},
                            {"FILE.TXT", ""}, {"\\FILE.TXT", ""}, {"/tmp/dir/file", "/tmp/dir"}};
  // clang-format on
  for (const auto& c : cases) {
    char out[300] = "sentinel";
    GetPathFromFileName(c[0], out);
    EXPECT_STREQ(c[1], out) << c[0];
  }
  char same[] = "A\\B\\C";
  GetPathFromFileName(same, same);
  GetPathFromFileName(nullptr, same);  // leaves the buffer alone
  EXPECT_STREQ("A\\B", same);
}

TEST(UtilPath, InstancePathIsTheModulesDirectory) {
  char out[MAX_PATH + 1];
  GetInstancePath(nullptr, out);  // the program itself
  EXPECT_EQ(fs::canonical(std::string(ORB_BINARY_DIR) + "/bin"), fs::canonical(out));
  HMODULE library = LoadLibraryA(ORB_TEST_LIBRARY);
  GetInstancePath(library, out);
  EXPECT_EQ(fs::canonical(fs::path(ORB_TEST_LIBRARY).parent_path()), fs::canonical(out));
  FreeLibrary(library);
}

TEST(UtilPath, AppendFileAndDeleteAllFiles) {
  TempDir dir;
  FILE* out = std::fopen(dir.File("out.bin").c_str(), "wb");
  ASSERT_NE(nullptr, out);
  EXPECT_EQ(0, AppendFile(out, dir.File("missing").c_str()));
  ASSERT_TRUE(WriteBytes(dir.File("empty"), {}));
  EXPECT_EQ(1, AppendFile(out, dir.File("empty").c_str()));
  Bytes big(5000);  // three pieces
  for (size_t i = 0; i < big.size(); i++) big[i] = static_cast<unsigned char>(i * 7);
  ASSERT_TRUE(WriteBytes(dir.File("big"), big));
  std::string windowsPath = dir.path() + "\\big";
  EXPECT_EQ(1, AppendFile(out, windowsPath.c_str()));
  EXPECT_EQ(0, AppendFile(nullptr, windowsPath.c_str()));
  std::fclose(out);
  EXPECT_EQ(big, ReadBytes(dir.File("out.bin")));

  // Plain files go; subdirectories, even empty ones, stay and are not entered.
  fs::create_directories(dir.File("sub.dir"));
  fs::create_directories(dir.File("empty.dir"));
  ASSERT_TRUE(WriteBytes(dir.File("sub.dir/inner"), {'3'}));
  DeleteAllFiles(dir.path().c_str());
  EXPECT_EQ(2, std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
  EXPECT_TRUE(fs::is_directory(dir.File("empty.dir")));
  EXPECT_TRUE(fs::exists(dir.File("sub.dir/inner")));
  DeleteAllFiles(std::string(300, 'x').c_str());  // over-long: does nothing
  DeleteAllFiles(nullptr);
}

// The user at message boxes and the client at the directory check, logged in order.
Strings g_log;
int g_answers[2];

int Host(const char* what, const char* path, int which) {
  g_log.push_back(what + std::string(path));
  return g_answers[which];
}

class CheckPathTest : public testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    g_answers[0] = g_answers[1] = 1;
    DiagSetMessageBoxHook(
        [](void*, HWND, LPCSTR text, LPCSTR caption, UINT type) {
          g_log.push_back(std::string(caption) + ": " + text + " " + std::to_string(type));
          return IDOK;
        },
        nullptr);
    HostKit_SetPathHandlers([](void*, const char* path) { return Host("check ", path, 0); },
                            [](void*, const char* path) { return Host("make ", path, 1); },
                            nullptr);
  }
  void TearDown() override {
    DiagSetMessageBoxHook(nullptr, nullptr);
    HostKit_SetPathHandlers(nullptr, nullptr, nullptr);
  }
};

// The first form refuses spaces itself and says why, cutting the label;
// the second leaves spaces to the host and shows nothing.
TEST_F(CheckPathTest, MessagesAndHostCallsInOrder) {
  EXPECT_EQ(0, CheckAndMakePath("Tool", "download", "D:\\MY DIR", 1));
  EXPECT_EQ(0, CheckAndMakePath("Tool", "download", "D:\\MY DIR", 0));
  EXPECT_EQ(1, CheckAndMakePath("Tool", "download", "D:\\DIR", 1));
  g_answers[0] = 0;
  EXPECT_EQ(0, CheckAndMakePath("Tool", "download area, long name", "D:\\DL", 1));
  g_answers[0] = 1;
  g_answers[1] = 0;
  EXPECT_EQ(0, CheckAndMakePath("Cap", "x", "D:\\DL", 1));
  EXPECT_EQ(0, CheckAndMakePath("Cap", "x", "D:\\DL", 0));
  EXPECT_EQ(
      (Strings{"Tool: Directory names cannot contain spaces 16", "check D:\\DIR", "make D:\\DIR",
               "check D:\\DL", "Tool: Could not create download area, long  directory D:\\DL 16",
               "check D:\\DL", "make D:\\DL", "Cap: Could not create x directory D:\\DL 16",
               "check D:\\DL", "make D:\\DL"}),
      g_log);

  // A path too long for the message buffer is cut at 311 characters.
  g_log.clear();
  EXPECT_EQ(0, CheckAndMakePath("Cap", nullptr, std::string(400, 'p').c_str(), 1));
  ASSERT_EQ(3u, g_log.size());
  EXPECT_EQ("Cap: Could not create  directory " + std::string(311 - 28, 'p') + " 16", g_log[2]);

  g_log.clear();
  g_answers[0] = g_answers[1] = 1;
  EXPECT_EQ(2, CheckAndMakePath2("D:\\A B"));
  g_answers[1] = 0;
  EXPECT_EQ(1, CheckAndMakePath2("D:\\A"));
  g_answers[0] = 0;
  EXPECT_EQ(1, CheckAndMakePath2("D:\\C"));
  EXPECT_EQ((Strings{"check D:\\A B", "make D:\\A B", "check D:\\A", "make D:\\A", "check D:\\C"}),
            g_log);
}

// Without a client the host makes directories with their parents, "\\"
// separating them too, and refuses names with spaces.
TEST(UtilPathHost, DefaultHostMakesTheDirectory) {
  TempDir dir;
  EXPECT_EQ(1, CheckAndMakePath("Tool", "work", (dir.path() + "\\a\\b").c_str(), 1));
  EXPECT_TRUE(fs::is_directory(dir.File("a/b")));
  EXPECT_EQ(2, CheckAndMakePath2(dir.File("a/b").c_str()));
  EXPECT_EQ(1, CheckAndMakePath2(dir.File("c d").c_str()));
  EXPECT_FALSE(fs::exists(dir.File("c d")));
}

}  // namespace
