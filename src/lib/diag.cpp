#include "lib/diag.h"

#include <cstring>

#include "host/toolcall.h"
#include "hostkit/hostkit.h"
#include "platform/win32.h"

namespace {

DiagMessageBoxHook g_hook = nullptr;
void* g_hook_user = nullptr;

int ShowBox(HWND owner, const char* text, const char* caption, unsigned style) {
  if (g_hook != nullptr) return g_hook(g_hook_user, owner, text, caption, style);
  return MessageBoxA(owner, text, caption, style);
}

}  // namespace

void DiagSetMessageBoxHook(DiagMessageBoxHook hook, void* user) {
  g_hook = hook;
  g_hook_user = user;
}

int DiagMessageBox(const char* text, const char* caption, unsigned style) {
  HWND owner = nullptr;
  const intptr_t* context = HostKit_Context();
  if (context[1] != 0) {
    uint32_t word;
    std::memcpy(&word, reinterpret_cast<const char*>(context[1]) + 32, sizeof word);
    owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(word));
  }
  OrbToolCall(35, 9, {0});
  OrbToolCall(0, 2);
  HWND active = GetActiveWindow();
  int answer = ShowBox(owner, text, caption, style);
  if (active != nullptr) BringWindowToTop(active);
  OrbToolCall(35, 9, {1});
  return answer;
}
