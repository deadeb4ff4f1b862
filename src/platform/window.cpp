// Window activation and Z order.
#include "win32_user.h"

namespace {
HWND g_active = nullptr;
HWND g_top = nullptr;
}  // namespace

HWND WINAPI GetActiveWindow(void) { return g_active; }

HWND WINAPI SetActiveWindow(HWND window) {
  HWND previous = g_active;
  g_active = window;
  return previous;
}

BOOL WINAPI BringWindowToTop(HWND window) {
  if (window == nullptr) return FALSE;
  g_top = window;
  return TRUE;
}

HWND OrbWin_TopWindow(void) { return g_top; }
