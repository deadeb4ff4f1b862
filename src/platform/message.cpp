// The thread message queue: posting, peeking, getting, dispatching and
// sending.
#include <deque>

#include "win32_module.h"
#include "win32_window.h"
#include "window_table.h"

namespace {

std::deque<MSG>& Queue() {
  static std::deque<MSG> queue;
  return queue;
}

bool Matches(const MSG& msg, HWND window, UINT first, UINT last) {
  if (window != nullptr && !OrbWinIsWithin(msg.hwnd, window)) return false;
  if (first == 0 && last == 0) return true;
  return msg.message >= first && msg.message <= last;
}

}  // namespace

void OrbWinDropMessages(HWND window) {
  std::deque<MSG>& queue = Queue();
  for (auto it = queue.begin(); it != queue.end();) {
    if (it->hwnd == window) {
      it = queue.erase(it);
    } else {
      ++it;
    }
  }
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr) return 0;
  return CallWindowProcA(w->proc, w->handle, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND target = nullptr;
  if (window != nullptr) {
    OrbWindow* w = OrbWinFind(window);
    if (w == nullptr) return FALSE;
    target = w->handle;
  }
  Queue().push_back(MSG{target, message, wParam, lParam, GetTickCount(), POINT{0, 0}});
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  Queue().push_back(
      MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, GetTickCount(), POINT{0, 0}});
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove) {
  if (msg == nullptr) return FALSE;
  std::deque<MSG>& queue = Queue();
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    if (!Matches(*it, window, first, last)) continue;
    *msg = *it;
    if (remove & PM_REMOVE) queue.erase(it);
    return TRUE;
  }
  return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT first, UINT last) {
  if (msg == nullptr) return -1;
  if (!PeekMessageA(msg, window, first, last, PM_REMOVE)) {
    *msg = MSG{nullptr, WM_NULL, 0, 0, 0, POINT{0, 0}};
    return -1;
  }
  return msg->message == WM_QUIT ? 0 : 1;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
