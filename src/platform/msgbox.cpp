// Message boxes on a host without a desktop: shown on stderr, or answered
// by the application's hook.
#include <cstdio>

#include "win32_user.h"

namespace {
OrbWinMessageBoxHook g_hook = nullptr;
void* g_hook_user = nullptr;
}  // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (g_hook != nullptr) return g_hook(g_hook_user, owner, text, caption, type);
  std::fprintf(stderr, "[%s] %s\n", caption ? caption : "Error", text ? text : "");
  return IDOK;
}

void OrbWin_SetMessageBoxHook(OrbWinMessageBoxHook hook, void* user) {
  g_hook = hook;
  g_hook_user = user;
}
