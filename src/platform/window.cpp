// Windows: classes, creation and destruction, rectangles, window data and
// text, activation.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "nothrow.h"
#include "win32_window.h"
#include "window_table.h"

namespace {

struct WindowClass {
  WNDPROC proc;
  HINSTANCE instance;
  ATOM atom;
  bool builtIn;
};

std::string Lower(LPCSTR text) {
  std::string s(text);
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr) return 0;
  switch (message) {
    case BM_CLICK:
      return SendMessageA(GetParent(window), WM_COMMAND,
                          MAKEWPARAM(static_cast<WORD>(w->id), BN_CLICKED),
                          reinterpret_cast<LPARAM>(window));
    case BM_GETCHECK:
      return w->check;
    case BM_SETCHECK:
      w->check = static_cast<LONG>(wParam);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

std::map<std::string, WindowClass>& Classes() {
  static std::map<std::string, WindowClass> classes = {
      {"button", {ButtonProc, nullptr, 0xC001, true}},
      {"static", {DefWindowProcA, nullptr, 0xC002, true}},
      {"edit", {DefWindowProcA, nullptr, 0xC003, true}},
      {"#32770", {OrbWinDialogWndProc, nullptr, 0x8002, true}},
  };
  return classes;
}

// Live windows by the low 32 bits of their handles. Handles only grow, so
// the order of the map is the order of creation.
std::map<uint32_t, std::unique_ptr<OrbWindow>>& Windows() {
  static std::map<uint32_t, std::unique_ptr<OrbWindow>> windows;
  return windows;
}

uint32_t g_next_handle = 0x00010010;
ATOM g_next_atom = 0xC010;
HWND g_active = nullptr;
HWND g_top = nullptr;

uint32_t Key(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }

HWND NewHandle() {
  while (g_next_handle == 0 || Windows().count(g_next_handle) != 0) g_next_handle += 4;
  HWND handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(g_next_handle));
  g_next_handle += 4;
  return handle;
}

// Moves `window` and all its children by (dx, dy).
void Offset(HWND window, LONG dx, LONG dy) {
  OrbWindow* w = OrbWinFind(window);
  w->rect.left += dx;
  w->rect.right += dx;
  w->rect.top += dy;
  w->rect.bottom += dy;
  for (HWND child : OrbWinChildren(window)) {
    if (OrbWinFind(child)->style & WS_CHILD) Offset(child, dx, dy);
  }
}

bool IsChildStyle(const OrbWindow* w) { return (w->style & WS_CHILD) != 0; }

}  // namespace

OrbWindow* OrbWinFind(HWND window) {
  if (window == nullptr) return nullptr;
  auto it = Windows().find(Key(window));
  return it == Windows().end() ? nullptr : it->second.get();
}

std::vector<HWND> OrbWinChildren(HWND window) {
  std::vector<HWND> children;
  for (const auto& entry : Windows()) {
    if (entry.second->parent != nullptr && Key(entry.second->parent) == Key(window)) {
      children.push_back(entry.second->handle);
    }
  }
  return children;
}

bool OrbWinIsWithin(HWND window, HWND ancestor) {
  for (OrbWindow* w = OrbWinFind(window); w != nullptr; w = OrbWinFind(w->parent)) {
    if (Key(w->handle) == Key(ancestor)) return true;
    if (!IsChildStyle(w)) break;
  }
  return false;
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
  if (wndClass == nullptr || wndClass->lpfnWndProc == nullptr ||
      wndClass->lpszClassName == nullptr || IS_INTRESOURCE(wndClass->lpszClassName)) {
    return 0;
  }
  std::string name = Lower(wndClass->lpszClassName);
  if (name.empty() || Classes().count(name) != 0) return 0;
  ATOM atom = g_next_atom++;
  Classes()[name] = WindowClass{wndClass->lpfnWndProc, wndClass->hInstance, atom, false};
  return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (className == nullptr || IS_INTRESOURCE(className)) return FALSE;
  std::string name = Lower(className);
  auto it = Classes().find(name);
  if (it == Classes().end() || it->second.builtIn) return FALSE;
  for (const auto& entry : Windows()) {
    if (entry.second->className == name) return FALSE;
  }
  Classes().erase(it);
  return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
  if (className == nullptr || IS_INTRESOURCE(className)) return nullptr;
  auto cls = Classes().find(Lower(className));
  if (cls == Classes().end()) return nullptr;
  OrbWindow* owner = OrbWinFind(parent);
  if (parent != nullptr && owner == nullptr) return nullptr;
  if ((style & WS_CHILD) && owner == nullptr) return nullptr;
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = height = 0;

  auto w = std::make_unique<OrbWindow>();
  w->handle = NewHandle();
  w->className = cls->first;
  w->proc = cls->second.proc;
  w->instance = instance;
  w->style = style;
  w->exStyle = exStyle;
  LONG left = x, top = y;
  if (style & WS_CHILD) {
    left += owner->rect.left;
    top += owner->rect.top;
    w->id = reinterpret_cast<LONG_PTR>(menu);
  }
  w->rect = RECT{left, top, left + width, top + height};
  w->parent = owner ? owner->handle : nullptr;
  w->text = windowName && !IS_INTRESOURCE(windowName) ? windowName : "";
  HWND handle = w->handle;
  Windows()[Key(handle)] = std::move(w);

  CREATESTRUCTA create = {
      param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
      windowName, className, exStyle};
  if (SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  return IsWindow(handle) ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND window) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr) return FALSE;
  if (w->destroying) return TRUE;
  w->destroying = true;
  HWND handle = w->handle;
  SendMessageA(handle, WM_DESTROY, 0, 0);
  for (HWND child : OrbWinChildren(handle)) DestroyWindow(child);
  Windows().erase(Key(handle));
  OrbWinDropMessages(handle);
  if (g_active != nullptr && Key(g_active) == Key(handle)) g_active = nullptr;
  if (g_top != nullptr && Key(g_top) == Key(handle)) g_top = nullptr;
  return TRUE;
}

BOOL WINAPI IsWindow(HWND window) { return OrbWinFind(window) != nullptr ? TRUE : FALSE; }

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr || rect == nullptr) return FALSE;
  *rect = w->rect;
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr || rect == nullptr) return FALSE;
  *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr) return FALSE;
  if (!(flags & SWP_NOMOVE)) {
    LONG left = x, top = y;
    if (IsChildStyle(w)) {
      const OrbWindow* parent = OrbWinFind(w->parent);
      left += parent->rect.left;
      top += parent->rect.top;
    }
    Offset(w->handle, left - w->rect.left, top - w->rect.top);
  }
  if (!(flags & SWP_NOSIZE)) {
    w->rect.right = w->rect.left + width;
    w->rect.bottom = w->rect.top + height;
  }
  if (!(flags & SWP_NOACTIVATE) && !IsChildStyle(w)) g_active = w->handle;
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr || point == nullptr) return FALSE;
  point->x -= w->rect.left;
  point->y -= w->rect.top;
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr || point == nullptr) return FALSE;
  point->x += w->rect.left;
  point->y += w->rect.top;
  return TRUE;
}

HWND WINAPI GetParent(HWND window) {
  OrbWindow* w = OrbWinFind(window);
  return w ? w->parent : nullptr;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr) return 0;
  switch (index) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(w->parent);
    case GWLP_ID:
      return w->id;
    case GWL_STYLE:
      return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA:
      return w->userData;
    default:
      return 0;
  }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr) return 0;
  LONG_PTR previous = GetWindowLongPtrA(window, index);
  switch (index) {
    case GWLP_WNDPROC:
      if (value == 0) return 0;
      w->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_ID:
      w->id = value;
      break;
    case GWL_STYLE:
      w->style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      w->exStyle = static_cast<DWORD>(value);
      break;
    case GWLP_USERDATA:
      w->userData = value;
      break;
    default:
      return 0;
  }
  return previous;
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
  return static_cast<LONG>(static_cast<uint32_t>(GetWindowLongPtrA(window, index)));
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
  // A 32-bit value cannot hold a procedure address here.
  if (index == GWL_WNDPROC) return 0;
  return static_cast<LONG>(static_cast<uint32_t>(SetWindowLongPtrA(window, index, value)));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
    if (!IsWindow(window)) return FALSE;
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0 ? TRUE : FALSE;
  });
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (!IsWindow(window)) return 0;
  return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size),
                                       reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
  return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  OrbWindow* w = OrbWinFind(window);
  if (w == nullptr) return 0;
  switch (message) {
    case WM_SETTEXT: {
      LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
      w->text = text ? text : "";
      return TRUE;
    }
    case WM_GETTEXT: {
      LPSTR buffer = reinterpret_cast<LPSTR>(lParam);
      if (buffer == nullptr || wParam == 0) return 0;
      size_t n = std::min(w->text.size(), static_cast<size_t>(wParam) - 1);
      std::memcpy(buffer, w->text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    default:
      return 0;
  }
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  if (proc == nullptr) return 0;
  return proc(window, message, wParam, lParam);
}

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
