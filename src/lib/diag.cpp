#include "lib/diag.h"

#include <cstring>

#include "host/toolcall.h"
#include "hostkit/hostkit.h"
#include "platform/win32.h"

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
  int answer = MessageBoxA(owner, text, caption, style);
  if (active != nullptr) BringWindowToTop(active);
  OrbToolCall(35, 9, {1});
  return answer;
}
