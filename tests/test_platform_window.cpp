// The window system, message queue, dialogs, version blocks, file handles
// and global memory of the platform layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

std::vector<UINT> g_seen;         // messages of the recording class, in order
std::vector<UINT> g_idle_script;  // posted to a modal dialog as its owner idles

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_seen.push_back(message);
  if (message == WM_USER + 1) return 42;
  if (message == WM_ENTERIDLE && !g_idle_script.empty()) {
    PostMessageA(reinterpret_cast<HWND>(lParam), g_idle_script.front(), 0, 0);
    g_idle_script.erase(g_idle_script.begin());
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

const HWND kBogus = reinterpret_cast<HWND>(uintptr_t{0x7FFFFFF0});

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    g_seen.clear();
    WNDCLASSA cls = {};
    cls.lpfnWndProc = RecordingProc;
    cls.lpszClassName = "Recorder";
    ASSERT_NE(0, RegisterClassA(&cls));
  }
  void TearDown() override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_TRUE(UnregisterClassA("Recorder", nullptr));
  }
  HWND Top(int x, int y, int cx, int cy) {
    return CreateWindowExA(0, "recorder", "top", WS_POPUP, x, y, cx, cy, nullptr, nullptr, nullptr,
                           nullptr);
  }
};

RECT Rect(HWND window) {
  RECT r = {-1, -1, -1, -1};
  GetWindowRect(window, &r);
  return r;
}

// The library only reads, moves and labels windows; what it relies on.
TEST_F(WindowTest, TextIsCutAndChildrenFollowTheirParent) {
  HWND w = Top(100, 50, 300, 200);
  ASSERT_NE(nullptr, w);
  EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(w) >> 32) << "handles carry 32 bits";
  // Text goes through the window procedure and is cut to the buffer.
  ASSERT_TRUE(SetWindowTextA(w, "hello world"));
  EXPECT_EQ(static_cast<UINT>(WM_SETTEXT), g_seen.back());
  char buffer[6];
  EXPECT_EQ(5, GetWindowTextA(w, buffer, sizeof buffer));
  EXPECT_STREQ("hello", buffer);
  std::strcpy(buffer, "x");
  EXPECT_EQ(0u, GetDlgItemTextA(w, 999, buffer, sizeof buffer)) << "no such control";
  EXPECT_STREQ("", buffer);

  HWND child = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD, 10, 20, 80, 30, w,
                               reinterpret_cast<HMENU>(7), nullptr, nullptr);
  ASSERT_EQ(child, GetDlgItem(w, 7));
  EXPECT_EQ(110, Rect(child).left);
  ASSERT_TRUE(SetWindowPos(w, nullptr, -20, 5, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE));
  EXPECT_EQ(-10, Rect(child).left);
  EXPECT_EQ(25, Rect(child).top);
  // Destroying the parent destroys the child; a destroyed window is gone.
  ASSERT_TRUE(DestroyWindow(w));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(static_cast<UINT>(WM_DESTROY), g_seen.back());
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_EQ(0, GetWindowTextA(w, buffer, sizeof buffer));
}

TEST_F(WindowTest, QueueOrderFiltersAndQuit) {
  HWND a = Top(0, 0, 10, 10);
  HWND b = Top(0, 0, 10, 10);
  MSG msg;
  EXPECT_EQ(-1, GetMessageA(&msg, nullptr, 0, 0)) << "an empty queue cannot fill any more";
  EXPECT_FALSE(PostMessageA(kBogus, WM_USER, 0, 0));
  ASSERT_TRUE(PostMessageA(a, WM_USER, 1, 0));
  ASSERT_TRUE(PostMessageA(b, WM_USER + 1, 2, 0));
  ASSERT_TRUE(PostMessageA(a, WM_USER + 2, 3, 0));

  // NOREMOVE looks without taking; a window filter skips the others.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(1u, msg.wParam);
  ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(42, DispatchMessageA(&msg)) << "dispatch returns the procedure's result";

  // Messages of a destroyed window are dropped.
  PostMessageA(b, WM_USER, 9, 0);
  DestroyWindow(b);
  PostQuitMessage(5);
  ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(1u, msg.wParam);
  ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(3u, msg.wParam);
  EXPECT_EQ(0, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(5u, msg.wParam);
  EXPECT_EQ(0, DispatchMessageA(&msg)) << "thread messages go to no window";
  DestroyWindow(a);
}

INT_PTR CALLBACK TestDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
  return message == WM_INITDIALOG || message == WM_COMMAND;
}

// The modal loop as the library's about box does not drive it: closing,
// quitting, and owners that cannot drive it at all.
TEST_F(WindowTest, DialogsEndOnCloseQuitOrFailure) {
  const ORBWIN_DLGITEM items[] = {{"EDIT", "", 100, 0, 10, 10, 100, 20}};
  const ORBWIN_DLGTEMPLATE form = {WS_POPUP, "Test", 0, 0, 200, 100, 1, items};
  ASSERT_TRUE(OrbWin_RegisterDialogTemplate(nullptr, "TESTDLG", &form));
  HWND owner = Top(500, 300, 400, 300);
  EXPECT_EQ(0, DialogBoxParamA(nullptr, "TestDlg", kBogus, TestDlgProc, 0));

  EXPECT_FALSE(EndDialog(owner, 1)) << "not a dialog";
  // WM_CLOSE becomes IDCANCEL for a modal dialog.
  g_idle_script = {WM_CLOSE};
  EXPECT_EQ(IDCANCEL, DialogBoxParamA(nullptr, "TestDlg", owner, TestDlgProc, 0));
  // Without an owner nothing can drive the dialog: it fails instead of hanging.
  EXPECT_EQ(-1, DialogBoxParamA(nullptr, "TestDlg", nullptr, TestDlgProc, 0));
  // WM_QUIT ends the loop and is posted again.
  PostQuitMessage(3);
  EXPECT_EQ(0, DialogBoxParamA(nullptr, "TestDlg", owner, TestDlgProc, 0));
  MSG msg;
  ASSERT_EQ(0, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(3u, msg.wParam);
  DestroyWindow(owner);
  EXPECT_TRUE(OrbWin_UnregisterDialogTemplate(nullptr, "testdlg"));
}

std::string TempPath(const char* name) {
  return std::string(::testing::TempDir()) + "orbwin_" + std::to_string(getpid()) + "_" + name;
}

TEST(PlatformFiles, OpenReadWriteAndErrors) {
  std::string path = TempPath("hfile.bin");
  OFSTRUCT info;
  HFILE f = OpenFile(path.c_str(), &info, OF_CREATE | OF_WRITE);
  ASSERT_NE(HFILE_ERROR, f);
  EXPECT_EQ(5, _hwrite(f, "hello", 5));
  EXPECT_EQ(0, _lclose(f));
  EXPECT_EQ(HFILE_ERROR, _lclose(f)) << "closed twice";

  f = OpenFile(path.c_str(), &info, OF_READ);
  char buffer[16] = {};
  EXPECT_EQ(5, _hread(f, buffer, sizeof buffer)) << "short at the end of the file";
  EXPECT_EQ(0, _hread(f, buffer, sizeof buffer));
  EXPECT_EQ(HFILE_ERROR, _hread(f, buffer, -1));
  _lclose(f);
  // OF_CREATE empties an existing file.
  _lclose(OpenFile(path.c_str(), &info, OF_CREATE | OF_WRITE));
  f = OpenFile(path.c_str(), &info, OF_READ);
  EXPECT_EQ(0, _hread(f, buffer, sizeof buffer));
  _lclose(f);

  EXPECT_NE(HFILE_ERROR, OpenFile(path.c_str(), &info, OF_DELETE));
  EXPECT_EQ(HFILE_ERROR, OpenFile(path.c_str(), &info, OF_READ));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, info.nErrCode);
  // A directory is refused up front, not at the first read.
  std::string dir = ::testing::TempDir();
  EXPECT_EQ(HFILE_ERROR, OpenFile(dir.c_str(), &info, OF_READ));
  EXPECT_EQ(ERROR_ACCESS_DENIED, info.nErrCode);
  EXPECT_EQ(HFILE_ERROR, OpenFile(dir.c_str(), &info, OF_EXIST));
}

TEST(PlatformGlobal, MovableBlocksAreLockedThroughTheirHandle) {
  HGLOBAL movable = GlobalAlloc(GHND, 64);
  ASSERT_NE(nullptr, movable);
  unsigned char* p = static_cast<unsigned char*>(GlobalLock(movable));
  ASSERT_NE(nullptr, p);
  EXPECT_NE(static_cast<void*>(p), movable);
  for (int i = 0; i < 64; i++) ASSERT_EQ(0, p[i]);
  EXPECT_EQ(p, GlobalLock(movable));
  EXPECT_TRUE(GlobalUnlock(movable)) << "one lock left";
  EXPECT_FALSE(GlobalUnlock(movable));
  EXPECT_FALSE(GlobalUnlock(movable)) << "not locked any more";
  EXPECT_EQ(nullptr, GlobalFree(movable));
  EXPECT_EQ(movable, GlobalFree(movable)) << "second free refused";
}

TEST(PlatformVersion, RegisteredBlocksInTheSingleByteLayout) {
  std::string file = TempPath("module.so");
  EXPECT_EQ(0u, GetFileVersionInfoSizeA(file.c_str(), nullptr));
  VS_FIXEDFILEINFO info = {};
  info.dwFileVersionMS = 0x0004000C;
  info.dwFileVersionLS = 0x00020003;
  ASSERT_TRUE(OrbWin_RegisterVersionInfo(file.c_str(), &info));
  DWORD handle = 99;
  DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  EXPECT_EQ(0u, handle);
  ASSERT_EQ(72u, size);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, block.data()));
  const unsigned char head[] = {72, 0, 52, 0};
  EXPECT_EQ(0, std::memcmp(block.data(), head, 4));
  EXPECT_STREQ("VS_VERSION_INFO", reinterpret_cast<const char*>(&block[4]));
  const unsigned char signature[] = {0xBD, 0x04, 0xEF, 0xFE};
  EXPECT_EQ(0, std::memcmp(&block[20], signature, 4));
  const unsigned char version[] = {0x0C, 0x00, 0x04, 0x00, 0x03, 0x00, 0x02, 0x00};
  EXPECT_EQ(0, std::memcmp(&block[28], version, 8));
  VS_FIXEDFILEINFO* found = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&found), &length));
  EXPECT_EQ(52u, length);
  EXPECT_EQ(0x0004000Cu, found->dwFileVersionMS);

  EXPECT_TRUE(OrbWin_UnregisterVersionInfo(file.c_str()));
  EXPECT_FALSE(GetFileVersionInfoA(file.c_str(), 0, size, block.data()));
}

}  // namespace
