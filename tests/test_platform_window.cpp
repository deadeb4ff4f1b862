// The window system, message queue and dialogs of the platform layer, as
// far as the library relies on them.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"

namespace {

std::vector<UINT> g_idle_script;  // posted to a modal dialog as its owner idles

LRESULT CALLBACK IdleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && !g_idle_script.empty()) {
    PostMessageA(reinterpret_cast<HWND>(lParam), g_idle_script.front(), 0, 0);
    g_idle_script.erase(g_idle_script.begin());
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = IdleProc;
    cls.lpszClassName = "Recorder";
    ASSERT_NE(0, RegisterClassA(&cls));
  }
  void TearDown() override { EXPECT_TRUE(UnregisterClassA("Recorder", nullptr)); }
  HWND Top() {
    return CreateWindowExA(0, "recorder", "top", WS_POPUP, 100, 50, 300, 200, nullptr, nullptr,
                           nullptr, nullptr);
  }
};

// Posted messages come in order; a destroyed window takes its children
// and its queued messages with it. Handles fit the client's 32-bit words.
// (Where children are placed is shown by the centring tests, control texts
// cut to the buffer and missing controls by the trimmed-field tests, both
// through the library.)
TEST_F(WindowTest, PostedMessagesInOrderWithoutThoseOfDestroyedWindows) {
  HWND a = Top();
  HWND b = Top();
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(0u, uint64_t{reinterpret_cast<uintptr_t>(a)} >> 32);
  HWND child =
      CreateWindowExA(0, "BUTTON", "OK", WS_CHILD, 10, 20, 80, 30, b, nullptr, nullptr, nullptr);
  PostMessageA(a, WM_USER, 1, 0);
  PostMessageA(b, WM_USER, 9, 0);
  PostMessageA(a, WM_USER, 3, 0);
  DestroyWindow(b);
  EXPECT_FALSE(IsWindow(child));
  MSG msg;
  std::vector<WPARAM> got;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) got.push_back(msg.wParam);
  EXPECT_EQ((std::vector<WPARAM>{1, 3}), got);
  DestroyWindow(a);
}

INT_PTR CALLBACK TestDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
  if (message == WM_USER + 1) DestroyWindow(dialog);
  return message == WM_INITDIALOG || message == WM_COMMAND;
}

// Modal loops end on close, quit or destruction, and refuse to start when nothing could drive them.
TEST_F(WindowTest, DialogsEndOnCloseQuitOrFailure) {
#if !defined(_WIN32)
  // A Windows program carries the template as a resource (support/windows.rc).
  const ORBWIN_DLGITEM items[] = {{"EDIT", "", 100, 0, 10, 10, 100, 20}};
  const ORBWIN_DLGTEMPLATE form = {WS_POPUP, "Test", 0, 0, 200, 100, 1, items};
  ASSERT_TRUE(OrbWin_RegisterDialogTemplate(nullptr, "TESTDLG", &form));
  // Without an owner nothing could drive the loop: the stand-in refuses to
  // start it where Windows would wait for input.
  EXPECT_EQ(-1, DialogBoxParamA(nullptr, "TestDlg", nullptr, TestDlgProc, 0));
#endif
  HWND owner = Top();
  HWND bogus = reinterpret_cast<HWND>(uintptr_t{0x7FFFFFF0});
  EXPECT_EQ(0, DialogBoxParamA(nullptr, "TestDlg", bogus, TestDlgProc, 0));
  g_idle_script = {WM_CLOSE};  // becomes IDCANCEL
  EXPECT_EQ(IDCANCEL, DialogBoxParamA(nullptr, "TestDlg", owner, TestDlgProc, 0));
  g_idle_script = {WM_USER + 1};  // destroyed without EndDialog
  EXPECT_EQ(0, DialogBoxParamA(nullptr, "TestDlg", owner, TestDlgProc, 0));
  // WM_QUIT ends the loop with the result a dialog has before EndDialog
  // and is posted again.
  PostQuitMessage(3);
  EXPECT_EQ(IDOK, DialogBoxParamA(nullptr, "TestDlg", owner, TestDlgProc, 0));
  MSG msg;
  ASSERT_EQ(0, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(3u, msg.wParam);
  DestroyWindow(owner);
#if !defined(_WIN32)
  EXPECT_TRUE(OrbWin_UnregisterDialogTemplate(nullptr, "testdlg"));
#endif
}

}  // namespace
