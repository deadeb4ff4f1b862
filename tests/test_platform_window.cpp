// Modal dialogs of the platform layer, as far as the library relies on them.
#include <gtest/gtest.h>

#include <utility>

#include "platform/win32.h"

namespace {

UINT g_idle_message = 0;  // posted once to a modal dialog as its owner idles

LRESULT CALLBACK IdleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && g_idle_message != 0) {
    PostMessageA(reinterpret_cast<HWND>(lParam), std::exchange(g_idle_message, 0), 0, 0);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK TestDlgProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_USER + 1) DestroyWindow(dialog);
  return message == WM_INITDIALOG;
}

// Modal loops end on destruction or quit, and refuse to start when nothing
// could drive them. (Closing one is shown through the library's about box.)
TEST(WindowTest, DialogsEndOnQuitOrFailure) {
#if !defined(_WIN32)
  // A Windows program carries the template as a resource (support/windows.rc).
  const ORBWIN_DLGITEM items[] = {{"EDIT", "", 100, 0, 10, 10, 100, 20}};
  const ORBWIN_DLGTEMPLATE form = {WS_POPUP, "Test", 0, 0, 200, 100, 1, items};
  ASSERT_TRUE(OrbWin_RegisterDialogTemplate(nullptr, "TESTDLG", &form));
  // Without an owner nothing could drive the loop: the stand-in refuses to
  // start it where Windows would wait for input.
  EXPECT_EQ(-1, DialogBoxParamA(nullptr, "TestDlg", nullptr, TestDlgProc, 0));
#endif
  WNDCLASSA cls = {};
  cls.lpfnWndProc = IdleProc;
  cls.lpszClassName = "Owner";
  ASSERT_NE(0, RegisterClassA(&cls));
  HWND owner =
      CreateWindowExA(0, "owner", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  // Handles fit the client's 32-bit words.
  EXPECT_EQ(0u, uint64_t{reinterpret_cast<uintptr_t>(owner)} >> 32);
  HWND bogus = reinterpret_cast<HWND>(uintptr_t{0x7FFFFFF0});
  EXPECT_EQ(0, DialogBoxParamA(nullptr, "TestDlg", bogus, TestDlgProc, 0));
  g_idle_message = WM_USER + 1;  // destroyed without EndDialog
  EXPECT_EQ(0, DialogBoxParamA(nullptr, "TestDlg", owner, TestDlgProc, 0));
  // WM_QUIT ends the loop with the result a dialog has before EndDialog
  // and is posted again.
  PostQuitMessage(3);
  EXPECT_EQ(IDOK, DialogBoxParamA(nullptr, "TestDlg", owner, TestDlgProc, 0));
  MSG msg;
  ASSERT_EQ(0, GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(3u, msg.wParam);
  DestroyWindow(owner);
  EXPECT_TRUE(UnregisterClassA("Owner", nullptr));
#if !defined(_WIN32)
  EXPECT_TRUE(OrbWin_UnregisterDialogTemplate(nullptr, "testdlg"));
#endif
}

}  // namespace
