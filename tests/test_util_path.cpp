// Path and file utilities: directory parts, appending files, emptying a
// directory, and the host's directory check with its messages.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"
#include "orbcmn/utilpath.h"
#include "platform/win32.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
 public:
  TempDir() {
    char name[] = "/tmp/orbpathXXXXXX";
    if (mkdtemp(name) != nullptr) path_ = name;
  }
  ~TempDir() {
    if (!path_.empty()) fs::remove_all(path_);
  }
  const std::string& path() const { return path_; }
  std::string Put(const std::string& name, const std::string& bytes) const {
    std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

 private:
  std::string path_;
};

std::string ReadAll(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string DirOf(const char* full) {
  char out[300];
  std::strcpy(out, "sentinel");
  GetPathFromFileName(full, out);
  return out;
}

TEST(UtilPath, PathFromFileName) {
  EXPECT_EQ("D:\\DIR", DirOf("D:\\DIR\\FILE.TXT"));
  EXPECT_EQ("D:\\DIR", DirOf("D:\\DIR\\"));
  EXPECT_EQ("D:", DirOf("D:\\FILE.TXT"));
  EXPECT_EQ("", DirOf(""));
  EXPECT_EQ("", DirOf("FILE.TXT"));
  EXPECT_EQ("", DirOf("\\FILE.TXT"));
  EXPECT_EQ("/tmp/dir", DirOf("/tmp/dir/file"));
  char same[] = "A\\B\\C";
  GetPathFromFileName(same, same);
  EXPECT_STREQ("A\\B", same);
  GetPathFromFileName(nullptr, same);
  EXPECT_STREQ("A\\B", same);
}

TEST(UtilPath, InstancePathIsTheModulesDirectory) {
  char out[MAX_PATH + 1];
  GetInstancePath(nullptr, out);  // the program itself
  EXPECT_EQ(fs::canonical(std::string(ORB_BINARY_DIR) + "/bin"), fs::canonical(out));

  HMODULE library = LoadLibraryA(ORB_BINARY_DIR "/lib/liborbcmn32.so");
  ASSERT_NE(nullptr, library);
  GetInstancePath(library, out);
  EXPECT_EQ(fs::canonical(std::string(ORB_BINARY_DIR) + "/lib"), fs::canonical(out));
  FreeLibrary(library);
}

TEST(UtilPath, AppendFile) {
  TempDir dir;
  ASSERT_FALSE(dir.path().empty());
  std::string target = dir.path() + "/out.bin";
  FILE* out = std::fopen(target.c_str(), "wb");
  ASSERT_NE(nullptr, out);
  std::fputs("head:", out);

  EXPECT_EQ(0, AppendFile(out, (dir.path() + "/missing").c_str()));
  EXPECT_EQ(1, AppendFile(out, dir.Put("empty", "").c_str()));
  std::string big;
  for (int i = 0; i < 5000; i++) big += char(i * 7);  // more than two pieces, with NULs
  std::string windowsPath = dir.Put("big", big);
  windowsPath[dir.path().size()] = '\\';
  EXPECT_EQ(1, AppendFile(out, windowsPath.c_str()));
  EXPECT_EQ(0, AppendFile(nullptr, windowsPath.c_str()));
  std::fclose(out);
  EXPECT_EQ("head:" + big, ReadAll(target));
}

TEST(UtilPath, DeleteAllFilesLeavesSubdirectories) {
  TempDir dir;
  ASSERT_FALSE(dir.path().empty());
  dir.Put("one.txt", "1");
  dir.Put("TWO", "2");
  fs::create_directory(dir.path() + "/sub");
  fs::create_directory(dir.path() + "/empty.dir");
  dir.Put("sub/inner.txt", "3");
  DeleteAllFiles(dir.path().c_str());
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    left.push_back(entry.path().filename());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ((std::vector<std::string>{"empty.dir", "sub"}), left);
  EXPECT_TRUE(fs::exists(dir.path() + "/sub/inner.txt"));

  // Missing and over-long directories do nothing.
  DeleteAllFiles((dir.path() + "/none").c_str());
  DeleteAllFiles(std::string(300, 'x').c_str());
  DeleteAllFiles(nullptr);
  EXPECT_TRUE(fs::exists(dir.path() + "/sub"));
}

// Plays the user at message boxes and the client at the directory check.
class CheckPathTest : public testing::Test {
 protected:
  struct Box {
    std::string text, caption;
    UINT type;
  };
  void SetUp() override {
    OrbWin_SetMessageBoxHook(&CheckPathTest::OnBox, this);
    HostKit_SetPathHandlers(&CheckPathTest::OnCheck, &CheckPathTest::OnMake, this);
  }
  void TearDown() override {
    OrbWin_SetMessageBoxHook(nullptr, nullptr);
    HostKit_SetPathHandlers(nullptr, nullptr, nullptr);
  }
  static int OnBox(void* user, HWND, LPCSTR text, LPCSTR caption, UINT type) {
    static_cast<CheckPathTest*>(user)->boxes.push_back({text, caption ? caption : "", type});
    return IDOK;
  }
  static int OnCheck(void* user, const char* path) {
    auto* self = static_cast<CheckPathTest*>(user);
    self->calls.push_back(std::string("check ") + path);
    return self->checkResult;
  }
  static int OnMake(void* user, const char* path) {
    auto* self = static_cast<CheckPathTest*>(user);
    self->calls.push_back(std::string("make ") + path);
    return self->makeResult;
  }

  std::vector<Box> boxes;
  std::vector<std::string> calls;
  int checkResult = 1;
  int makeResult = 1;
};

TEST_F(CheckPathTest, SpacesAreRefusedBeforeTheHostIsAsked) {
  EXPECT_EQ(0, CheckAndMakePath("Tool", "download", "D:\\MY DIR", 1));
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Directory names cannot contain spaces", boxes[0].text);
  EXPECT_EQ("Tool", boxes[0].caption);
  EXPECT_EQ(MB_ICONHAND, boxes[0].type);
  EXPECT_EQ(0, CheckAndMakePath("Tool", "download", "D:\\MY DIR", 0));
  EXPECT_EQ(1u, boxes.size());
  EXPECT_TRUE(calls.empty());
}

TEST_F(CheckPathTest, UsablePathShowsNothing) {
  EXPECT_EQ(1, CheckAndMakePath("Tool", "download", "D:\\DIR", 1));
  EXPECT_EQ((std::vector<std::string>{"check D:\\DIR", "make D:\\DIR"}), calls);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CheckPathTest, FailureMessageCutsTheLabel) {
  checkResult = 0;
  EXPECT_EQ(0, CheckAndMakePath("Tool", "download area, long name", "D:\\DL", 1));
  EXPECT_EQ((std::vector<std::string>{"check D:\\DL"}), calls);  // no make after a refusal
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Could not create download area, long  directory D:\\DL", boxes[0].text);
  EXPECT_EQ(MB_ICONHAND, boxes[0].type);

  checkResult = 1;
  makeResult = 0;
  calls.clear();
  EXPECT_EQ(0, CheckAndMakePath("Cap", "x", "D:\\DL", 1));
  EXPECT_EQ((std::vector<std::string>{"check D:\\DL", "make D:\\DL"}), calls);
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Could not create x directory D:\\DL", boxes[1].text);
  EXPECT_EQ("Cap", boxes[1].caption);
  EXPECT_EQ(0, CheckAndMakePath("Cap", "x", "D:\\DL", 0));
  EXPECT_EQ(2u, boxes.size());

  // A path too long for the message buffer is cut, not overrun.
  std::string path(400, 'p');
  EXPECT_EQ(0, CheckAndMakePath("Cap", nullptr, path.c_str(), 1));
  ASSERT_EQ(3u, boxes.size());
  EXPECT_EQ(311u, boxes[2].text.size());
  EXPECT_EQ(0u, boxes[2].text.find("Could not create  directory ppp"));
}

TEST_F(CheckPathTest, SecondFormShowsNothing) {
  EXPECT_EQ(2, CheckAndMakePath2("D:\\A B"));  // the host alone decides
  makeResult = 0;
  EXPECT_EQ(1, CheckAndMakePath2("D:\\A"));
  checkResult = 0;
  EXPECT_EQ(1, CheckAndMakePath2("D:\\C"));
  EXPECT_EQ((std::vector<std::string>{"check D:\\A B", "make D:\\A B", "check D:\\A", "make D:\\A",
                                      "check D:\\C"}),
            calls);
  EXPECT_TRUE(boxes.empty());
}

TEST(UtilPathHost, DefaultHostMakesTheDirectory) {
  TempDir dir;
  ASSERT_FALSE(dir.path().empty());
  std::string nested = dir.path() + "/a/b";
  EXPECT_EQ(1, CheckAndMakePath("Tool", "work", nested.c_str(), 1));
  EXPECT_TRUE(fs::is_directory(nested));
  EXPECT_EQ(2, CheckAndMakePath2(nested.c_str()));
}

}  // namespace
