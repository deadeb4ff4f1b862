#include "lib/diag.h"

#include <cstring>

#include "host/toolcall.h"
#include "host/tools.h"
#include "hostkit/hostkit.h"
#include "platform/win32.h"

namespace {

// Selectors around a message box: tool 35 with 0 before and 1 after, and
// tool 0 before it is shown.
const int kModalState = 9;
const int kPrepareMessageBox = 2;

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
  const intptr_t* context = OrbToolContext();
  if (context[1] != 0) {
    uint32_t word;
    std::memcpy(&word, reinterpret_cast<const char*>(context[1]) + 32, sizeof word);
    owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(word));
  }
  OrbToolCall(orb::kToolModal, kModalState, {0});
  OrbToolCall(orb::kToolPrepare, kPrepareMessageBox);
  HWND active = GetActiveWindow();
  int answer = ShowBox(owner, text, caption, style);
  if (active != nullptr) BringWindowToTop(active);
  OrbToolCall(orb::kToolModal, kModalState, {1});
  return answer;
}
