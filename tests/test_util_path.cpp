// Path and file utilities: directory parts, appending files, emptying a
// directory, and the host's directory check with its messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <tuple>

#include "hostkit/hostkit.h"
#include "lib/diag.h"
#include "orbcmn/utilpath.h"
#include "platform/win32.h"
#include "support/tempfiles.h"

namespace fs = std::filesystem;

namespace {

TEST(UtilPath, PathFromFileNameAndInstancePath) {
  // clang-format off
  const char* cases[][2] = {{"D:\\DIR\\FILE.TXT", "D:\\DIR"}, {"D:\\DIR\\", "D:\\DIR"}, {"", ""},
                            {"FILE.TXT", ""}, {"\\FILE.TXT", ""}, {"/tmp/dir/file", "/tmp/dir"},
                            {nullptr, "sentinel"}};  // null leaves the buffer alone
  // clang-format on
  for (const auto& c : cases) {
    char out[300] = "sentinel";
    GetPathFromFileName(c[0], out);
    EXPECT_STREQ(c[1], out) << &c - cases;
  }
  char same[] = "A\\B\\C";
  GetPathFromFileName(same, same);
  EXPECT_STREQ("A\\B", same);

  // A module's path is its directory: here the program's.
  char out[MAX_PATH + 1];
  GetInstancePath(nullptr, out);
  EXPECT_EQ(fs::canonical(std::string(ORB_BINARY_DIR) + "/bin"), fs::canonical(out));
}

TEST(UtilPath, AppendFileAndDeleteAllFiles) {
  TempDir dir;
  FILE* out = std::fopen(dir.File("out.bin").c_str(), "wb");
  EXPECT_EQ(0, AppendFile(out, dir.File("missing").c_str()));
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
  EXPECT_TRUE(fs::exists(dir.File("sub.dir/inner")));
  DeleteAllFiles(std::string(300, 'x').c_str());  // over-long: does nothing
  DeleteAllFiles(nullptr);
}

// The user at message boxes and the client at the directory check, logged
// in order; the client answers as told.
std::string g_log;
int g_answers[2];

void Log(const std::string& entry) { g_log += (g_log.empty() ? "" : ", ") + entry; }

int Host(const char* what, const char* path, int which) {
  Log(what + std::string(path));
  return g_answers[which];
}

// The first form refuses spaces itself and says why, cutting the label;
// the second (show -1) leaves spaces to the host and shows nothing. Each
// case: the check's and make's answers, label, path, show, result and log.
TEST(UtilPath, CheckAndMakePathMessagesAndHostCallsInOrder) {
  DiagSetMessageBoxHook(
      [](void*, HWND, LPCSTR text, LPCSTR caption, UINT type) {
        Log(std::string(caption) + ": " + text + " " + std::to_string(type));
        return IDOK;
      },
      nullptr);
  HostKit_SetPathHandlers([](void*, const char* path) { return Host("check ", path, 0); },
                          [](void*, const char* path) { return Host("make ", path, 1); }, nullptr);
  const std::string longPath(400, 'p');
  const std::tuple<int, int, const char*, const char*, int, int, std::string> cases[] = {
      {1, 1, "download", "D:\\MY DIR", 1, 0, "Tool: Directory names cannot contain spaces 16"},
      {1, 1, "download", "D:\\MY DIR", 0, 0, ""},
      {1, 1, "download", "D:\\DIR", 1, 1, "check D:\\DIR, make D:\\DIR"},
      {0, 1, "download area, long name", "D:\\DL", 1, 0,
       "check D:\\DL, Tool: Could not create download area, long  directory D:\\DL 16"},
      {1, 0, "x", "D:\\DL", 1, 0,
       "check D:\\DL, make D:\\DL, Tool: Could not create x directory D:\\DL 16"},
      {1, 0, "x", "D:\\DL", 0, 0, "check D:\\DL, make D:\\DL"},
      // A path too long for the message buffer is cut at 311 characters.
      {1, 0, nullptr, longPath.c_str(), 1, 0,
       "check " + longPath + ", make " + longPath + ", Tool: Could not create  directory " +
           std::string(311 - 28, 'p') + " 16"},
      {1, 1, nullptr, "D:\\A B", -1, 2, "check D:\\A B, make D:\\A B"},
      {1, 0, nullptr, "D:\\A", -1, 1, "check D:\\A, make D:\\A"},
      {0, 1, nullptr, "D:\\C", -1, 1, "check D:\\C"},
  };
  for (const auto& [check, make, label, path, show, result, log] : cases) {
    g_log.clear();
    g_answers[0] = check;
    g_answers[1] = make;
    EXPECT_EQ(result,
              show < 0 ? CheckAndMakePath2(path) : CheckAndMakePath("Tool", label, path, show));
    EXPECT_EQ(log, g_log) << path;
  }
  DiagSetMessageBoxHook(nullptr, nullptr);
  HostKit_SetPathHandlers(nullptr, nullptr, nullptr);

  // Without a client the host makes directories with their parents, "\\"
  // separating them too, and refuses names with spaces.
  TempDir dir;
  EXPECT_EQ(1, CheckAndMakePath("Tool", "work", (dir.path() + "\\a\\b").c_str(), 1));
  EXPECT_TRUE(fs::is_directory(dir.File("a/b")));
  EXPECT_EQ(2, CheckAndMakePath2(dir.File("a/b").c_str()));
  EXPECT_EQ(1, CheckAndMakePath2(dir.File("c d").c_str()));
  EXPECT_FALSE(fs::exists(dir.File("c d")));
}

}  // namespace
