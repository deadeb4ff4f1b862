// The window system, message queue, dialogs, version blocks, file handles
// and global memory of the platform layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

// Messages seen by the recording class, in order.
struct Seen {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> g_seen;
void* g_create_param = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_seen.push_back({window, message, wParam, lParam});
  if (message == WM_CREATE) {
    g_create_param = reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams;
  }
  if (message == WM_USER + 1) return 42;
  return DefWindowProcA(window, message, wParam, lParam);
}

// Registers the recording class for the life of a test.
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
  HWND Top(int x, int y, int cx, int cy, HWND owner = nullptr) {
    return CreateWindowExA(0, "recorder", "top", WS_POPUP, x, y, cx, cy, owner, nullptr, nullptr,
                           nullptr);
  }
};

RECT Rect(HWND window) {
  RECT r = {-1, -1, -1, -1};
  GetWindowRect(window, &r);
  return r;
}

TEST_F(WindowTest, ChildrenLiveInParentCoordinatesAndMoveWithIt) {
  HWND top = Top(100, 50, 300, 200);
  ASSERT_NE(nullptr, top);
  EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(top) >> 32) << "handles carry 32 bits";
  HWND child = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD, 10, 20, 80, 30, top,
                               reinterpret_cast<HMENU>(7), nullptr, nullptr);
  ASSERT_NE(nullptr, child);
  RECT r = Rect(child);
  EXPECT_EQ(110, r.left);
  EXPECT_EQ(70, r.top);
  EXPECT_EQ(190, r.right);
  EXPECT_EQ(100, r.bottom);
  EXPECT_EQ(top, GetParent(child));
  EXPECT_EQ(7, GetWindowLongA(child, GWL_ID));
  EXPECT_EQ(child, GetDlgItem(top, 7));

  // A child is positioned in its parent's client coordinates.
  ASSERT_TRUE(SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  EXPECT_EQ(100, Rect(child).left);
  EXPECT_EQ(80, Rect(child).right - Rect(child).left) << "SWP_NOSIZE keeps the size";
  // Moving the parent takes the child along; size changes alone do not move.
  ASSERT_TRUE(SetWindowPos(top, nullptr, -20, 5, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE));
  EXPECT_EQ(-20, Rect(child).left);
  EXPECT_EQ(5, Rect(child).top);
  ASSERT_TRUE(SetWindowPos(top, nullptr, 999, 999, 40, 30, SWP_NOMOVE | SWP_NOACTIVATE));
  EXPECT_EQ(-20, Rect(top).left);
  EXPECT_EQ(20, Rect(top).right);
  EXPECT_EQ(35, Rect(top).bottom);

  POINT p = {0, 0};
  ASSERT_TRUE(ScreenToClient(top, &p));
  EXPECT_EQ(20, p.x);
  EXPECT_EQ(-5, p.y);
  ASSERT_TRUE(ClientToScreen(top, &p));
  EXPECT_EQ(0, p.x);

  // Destroying the parent destroys the child, with WM_DESTROY to both.
  g_seen.clear();
  ASSERT_TRUE(DestroyWindow(top));
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(child));
  ASSERT_EQ(1u, g_seen.size());
  EXPECT_EQ(static_cast<UINT>(WM_DESTROY), g_seen[0].message);
  EXPECT_FALSE(DestroyWindow(top));
  EXPECT_FALSE(GetWindowRect(top, &r));
}

TEST_F(WindowTest, CreationFailuresAndWindowData) {
  EXPECT_EQ(nullptr, CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                     nullptr));
  EXPECT_EQ(nullptr, CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr))
      << "a child needs a parent";
  HWND bogus = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFFFFF0));
  EXPECT_EQ(nullptr,
            CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, bogus, nullptr, nullptr, nullptr));
  EXPECT_FALSE(UnregisterClassA("BUTTON", nullptr)) << "built-in classes stay";

  int marker = 0;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(&marker);
  HWND w = CreateWindowExA(0x20, "Recorder", "caption", WS_POPUP | WS_VISIBLE, 1, 2, 3, 4, nullptr,
                           nullptr, instance, &marker);
  ASSERT_NE(nullptr, w);
  ASSERT_FALSE(g_seen.empty());
  EXPECT_EQ(static_cast<UINT>(WM_CREATE), g_seen[0].message);
  EXPECT_EQ(&marker, g_create_param);
  EXPECT_FALSE(UnregisterClassA("Recorder", nullptr)) << "class still has a window";
  EXPECT_EQ(instance, reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(w, GWLP_HINSTANCE)));
  EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE), GetWindowLongA(w, GWL_STYLE));
  EXPECT_EQ(0x20, GetWindowLongA(w, GWL_EXSTYLE));
  EXPECT_EQ(0, SetWindowLongPtrA(w, GWLP_USERDATA, 1234));
  EXPECT_EQ(1234, GetWindowLongPtrA(w, GWLP_USERDATA));

  // Text goes through the window procedure.
  g_seen.clear();
  ASSERT_TRUE(SetWindowTextA(w, "hello world"));
  ASSERT_EQ(1u, g_seen.size());
  EXPECT_EQ(static_cast<UINT>(WM_SETTEXT), g_seen[0].message);
  char buffer[6];
  EXPECT_EQ(5, GetWindowTextA(w, buffer, sizeof buffer));
  EXPECT_STREQ("hello", buffer);
  EXPECT_EQ(11, GetWindowTextLengthA(w));
  EXPECT_TRUE(DestroyWindow(w));
  EXPECT_EQ(0, GetWindowTextA(w, buffer, sizeof buffer));
  EXPECT_STREQ("", buffer);
}

TEST_F(WindowTest, QueueOrderFiltersAndQuit) {
  HWND a = Top(0, 0, 10, 10);
  HWND b = Top(0, 0, 10, 10);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(-1, GetMessageA(&msg, nullptr, 0, 0)) << "an empty queue cannot fill any more";
  EXPECT_FALSE(
      PostMessageA(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFFFFF0)), WM_USER, 0, 0));
  ASSERT_TRUE(PostMessageA(a, WM_USER, 1, 0));
  ASSERT_TRUE(PostMessageA(b, WM_USER + 1, 2, 0));
  ASSERT_TRUE(PostMessageA(a, WM_USER + 2, 3, 0));

  // NOREMOVE looks without taking; filters by window and by range.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(1u, msg.wParam);
  ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(2u, msg.wParam);
  EXPECT_EQ(42, DispatchMessageA(&msg)) << "dispatch returns the procedure's result";
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 5, PM_REMOVE));
  EXPECT_EQ(3u, msg.wParam);
  EXPECT_FALSE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE));

  // Messages of a destroyed window are dropped.
  PostMessageA(b, WM_USER, 9, 0);
  DestroyWindow(b);
  PostQuitMessage(5);
  ASSERT_EQ(1, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(a, msg.hwnd);
  EXPECT_EQ(1u, msg.wParam);
  EXPECT_EQ(0, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
  EXPECT_EQ(5u, msg.wParam);
  EXPECT_EQ(0, DispatchMessageA(&msg)) << "thread messages go to no window";
  DestroyWindow(a);
}

// The dialog driver: on WM_ENTERIDLE the owner posts the next scripted
// message to the dialog.
std::vector<MSG> g_script;
HWND g_idle_dialog = nullptr;
int g_idle_count = 0;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE) {
    g_idle_count++;
    g_idle_dialog = reinterpret_cast<HWND>(lParam);
    EXPECT_EQ(static_cast<WPARAM>(MSGF_DIALOGBOX), wParam);
    if (!g_script.empty()) {
      MSG next = g_script.front();
      g_script.erase(g_script.begin());
      HWND target = next.hwnd ? GetDlgItem(g_idle_dialog,
                                           static_cast<int>(reinterpret_cast<uintptr_t>(next.hwnd)))
                              : g_idle_dialog;
      PostMessageA(target, next.message, next.wParam, next.lParam);
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<UINT> g_dialog_seen;
LPARAM g_init_param = 0;
WPARAM g_init_focus = 0;

INT_PTR CALLBACK TestDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  g_dialog_seen.push_back(message);
  if (message == WM_INITDIALOG) {
    g_init_param = lParam;
    g_init_focus = wParam;
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    char text[32];
    GetDlgItemTextA(dialog, 100, text, sizeof text);
    EndDialog(dialog, std::strcmp(text, "typed") == 0 ? 77 : 66);
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

const ORBWIN_DLGITEM kItems[] = {
    {"EDIT", "", 100, 0, 10, 10, 100, 20},
    {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON, 10, 40, 50, 20},
};
const ORBWIN_DLGTEMPLATE kDialog = {WS_POPUP | WS_CAPTION, "Test", 30, 40, 200, 100, 2, kItems};

class DialogTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    WNDCLASSA cls = {};
    cls.lpfnWndProc = OwnerProc;
    cls.lpszClassName = "Owner";
    ASSERT_NE(0, RegisterClassA(&cls));
    ASSERT_TRUE(OrbWin_RegisterDialogTemplate(nullptr, "TESTDLG", &kDialog));
    owner_ = CreateWindowExA(0, "Owner", "", WS_POPUP, 500, 300, 400, 300, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(nullptr, owner_);
    g_script.clear();
    g_dialog_seen.clear();
    g_idle_count = 0;
  }
  void TearDown() override {
    DestroyWindow(owner_);
    EXPECT_TRUE(UnregisterClassA("Owner", nullptr));
    EXPECT_TRUE(OrbWin_UnregisterDialogTemplate(nullptr, "testdlg"));
    WindowTest::TearDown();
  }
  HWND owner_ = nullptr;
};

MSG Post(int item, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return MSG{reinterpret_cast<HWND>(static_cast<uintptr_t>(item)),
             message,
             wParam,
             lParam,
             0,
             POINT{0, 0}};
}

TEST_F(DialogTest, ModalLoopRunsUntilEndDialog) {
  g_script = {Post(100, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed")), Post(0, WM_USER + 3),
              Post(IDOK, BM_CLICK)};
  INT_PTR result = DialogBoxParamA(nullptr, "TestDlg", owner_, TestDlgProc, 1234);
  EXPECT_EQ(77, result);
  EXPECT_EQ(1234, g_init_param);
  ASSERT_FALSE(g_dialog_seen.empty());
  EXPECT_EQ(static_cast<UINT>(WM_INITDIALOG), g_dialog_seen.front());
  EXPECT_EQ(3, g_idle_count) << "idle once before each scripted message";
  EXPECT_FALSE(IsWindow(g_idle_dialog)) << "the dialog is destroyed when it ends";
  // The posted message reached the dialog procedure, the click its command.
  int user = 0, command = 0;
  for (UINT m : g_dialog_seen) {
    user += m == WM_USER + 3;
    command += m == WM_COMMAND;
  }
  EXPECT_EQ(1, user);
  EXPECT_EQ(1, command);
}

TEST_F(DialogTest, DialogPlacementCloseAndFailures) {
  HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(0), owner_, TestDlgProc, 5);
  EXPECT_EQ(nullptr, dialog) << "unknown template";
  EXPECT_EQ(-1, DialogBoxParamA(nullptr, "missing", owner_, TestDlgProc, 0));
  EXPECT_EQ(0, DialogBoxParamA(nullptr, "TestDlg",
                               reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFFFFF0)),
                               TestDlgProc, 0));

  dialog = CreateDialogParamA(nullptr, "testdlg", owner_, TestDlgProc, 5);
  ASSERT_NE(nullptr, dialog);
  // Placed relative to the owner; the controls relative to the dialog.
  EXPECT_EQ(530, Rect(dialog).left);
  EXPECT_EQ(340, Rect(dialog).top);
  EXPECT_EQ(540, Rect(GetDlgItem(dialog, 100)).left);
  EXPECT_EQ(GetDlgItem(dialog, 100), reinterpret_cast<HWND>(g_init_focus));
  EXPECT_EQ(IDOK, GetDlgCtrlID(GetDlgItem(dialog, IDOK)));
  char caption[16];
  GetWindowTextA(dialog, caption, sizeof caption);
  EXPECT_STREQ("Test", caption);
  EXPECT_TRUE(SetDlgItemTextA(dialog, 100, "abc"));
  EXPECT_FALSE(SetDlgItemTextA(dialog, 999, "abc"));
  char text[8] = "x";
  EXPECT_EQ(0u, GetDlgItemTextA(dialog, 999, text, sizeof text));
  EXPECT_STREQ("", text);
  EXPECT_EQ(BST_UNCHECKED, SendDlgItemMessageA(dialog, IDOK, BM_GETCHECK, 0, 0));
  SendDlgItemMessageA(dialog, IDOK, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(BST_CHECKED, SendDlgItemMessageA(dialog, IDOK, BM_GETCHECK, 0, 0));
  EXPECT_FALSE(EndDialog(owner_, 1)) << "not a dialog";
  DestroyWindow(dialog);

  // WM_CLOSE becomes IDCANCEL for a modal dialog.
  g_script = {Post(0, WM_CLOSE)};
  EXPECT_EQ(IDCANCEL, DialogBoxParamA(nullptr, "TestDlg", owner_, TestDlgProc, 0));
  // Without an owner nothing can drive the dialog: it fails instead of hanging.
  EXPECT_EQ(-1, DialogBoxParamA(nullptr, "TestDlg", nullptr, TestDlgProc, 0));
  // WM_QUIT ends the loop and is posted again.
  PostQuitMessage(3);
  EXPECT_EQ(0, DialogBoxParamA(nullptr, "TestDlg", owner_, TestDlgProc, 0));
  MSG msg;
  ASSERT_EQ(0, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(3u, msg.wParam);
}

std::string TempPath(const char* name) {
  return std::string(::testing::TempDir()) + "orbwin_" + std::to_string(getpid()) + "_" + name;
}

TEST(PlatformFiles, OpenReadWriteAndErrors) {
  std::string path = TempPath("hfile.bin");
  OFSTRUCT info;
  HFILE f = OpenFile(path.c_str(), &info, OF_CREATE | OF_WRITE);
  ASSERT_NE(HFILE_ERROR, f);
  EXPECT_EQ(sizeof(OFSTRUCT), info.cBytes);
  EXPECT_EQ(5, _hwrite(f, "hello", 5));
  EXPECT_EQ(0, _lclose(f));
  EXPECT_EQ(HFILE_ERROR, _lclose(f));

  f = OpenFile(path.c_str(), &info, OF_READ);
  ASSERT_NE(HFILE_ERROR, f);
  char buffer[16] = {};
  EXPECT_EQ(5, _hread(f, buffer, sizeof buffer)) << "short at the end of the file";
  EXPECT_STREQ("hello", buffer);
  EXPECT_EQ(0, _hread(f, buffer, sizeof buffer));
  EXPECT_EQ(HFILE_ERROR, _hread(f, buffer, -1));
  _lclose(f);

  // OF_CREATE empties an existing file.
  f = OpenFile(path.c_str(), &info, OF_CREATE | OF_WRITE);
  _lclose(f);
  EXPECT_NE(HFILE_ERROR, OpenFile(path.c_str(), &info, OF_EXIST));
  f = OpenFile(path.c_str(), &info, OF_READ);
  EXPECT_EQ(0, _hread(f, buffer, sizeof buffer));
  _lclose(f);

  EXPECT_NE(HFILE_ERROR, OpenFile(path.c_str(), &info, OF_DELETE));
  EXPECT_EQ(HFILE_ERROR, OpenFile(path.c_str(), &info, OF_READ));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, info.nErrCode);

  // A directory is refused for reading as for writing.
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
  EXPECT_EQ(64u, GlobalSize(movable));
  EXPECT_EQ(nullptr, GlobalFree(movable));
  EXPECT_EQ(movable, GlobalFree(movable)) << "second free refused";

  HGLOBAL fixed = GlobalAlloc(GPTR, 8);
  EXPECT_EQ(fixed, GlobalLock(fixed));
  EXPECT_FALSE(GlobalUnlock(fixed));
  EXPECT_EQ(nullptr, GlobalFree(fixed));
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
  EXPECT_EQ(72, block[0] | (block[1] << 8));
  EXPECT_EQ(52, block[2] | (block[3] << 8));
  EXPECT_STREQ("VS_VERSION_INFO", reinterpret_cast<const char*>(&block[4]));
  const unsigned char signature[] = {0xBD, 0x04, 0xEF, 0xFE};
  EXPECT_EQ(0, std::memcmp(&block[20], signature, 4));
  const unsigned char version[] = {0x0C, 0x00, 0x04, 0x00, 0x03, 0x00, 0x02, 0x00};
  EXPECT_EQ(0, std::memcmp(&block[28], version, 8));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length));
  EXPECT_EQ(52u, length);
  EXPECT_EQ(0x0004000Cu, fixed->dwFileVersionMS);

  // "\" and "/" name the same file.
  std::string backslashed = file;
  for (char& c : backslashed) c = c == '/' ? '\\' : c;
  EXPECT_EQ(72u, GetFileVersionInfoSizeA(backslashed.c_str(), nullptr));
  EXPECT_TRUE(OrbWin_UnregisterVersionInfo(file.c_str()));
  EXPECT_FALSE(OrbWin_UnregisterVersionInfo(file.c_str()));
  EXPECT_FALSE(GetFileVersionInfoA(file.c_str(), 0, size, block.data()));
}

}  // namespace
