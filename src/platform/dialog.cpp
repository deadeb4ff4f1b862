// Dialogs: registered templates, creation, the modal loop and dialog items.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "nothrow.h"
#include "win32_user.h"
#include "win32_window.h"
#include "window_table.h"

namespace {

struct Item {
  std::string className;
  std::string text;
  WORD id;
  DWORD style;
  int x, y, cx, cy;
};

struct Template {
  DWORD style;
  std::string caption;
  int x, y, cx, cy;
  std::vector<Item> items;
};

// A template's key: its instance and its name (lower case) or "#id".
using Key = std::pair<HINSTANCE, std::string>;

bool MakeKey(HINSTANCE instance, LPCSTR name, Key* key) {
  if (name == nullptr) return false;
  std::string text;
  if (IS_INTRESOURCE(name)) {
    text = "#" + std::to_string(static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)));
  } else {
    for (const char* p = name; *p != '\0'; p++) {
      text += (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
    }
    if (text.empty()) return false;
  }
  *key = Key(instance, text);
  return true;
}

std::map<Key, Template>& Templates() {
  static std::map<Key, Template> templates;
  return templates;
}

}  // namespace

LRESULT CALLBACK OrbWinDialogWndProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  OrbWindow* w = OrbWinFind(dialog);
  if (w == nullptr) return 0;
  if (w->dialogProc != nullptr) {
    INT_PTR handled = w->dialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) return handled;
    if (handled != 0) return 0;
  }
  if (message == WM_CLOSE) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

BOOL OrbWin_RegisterDialogTemplate(HINSTANCE instance, LPCSTR name,
                                   const ORBWIN_DLGTEMPLATE* dialog) {
  Key key;
  if (dialog == nullptr || !MakeKey(instance, name, &key)) return FALSE;
  if (dialog->itemCount != 0 && dialog->items == nullptr) return FALSE;
  Template t{dialog->style,
             dialog->caption ? dialog->caption : "",
             dialog->x,
             dialog->y,
             dialog->cx,
             dialog->cy,
             {}};
  for (UINT i = 0; i < dialog->itemCount; i++) {
    const ORBWIN_DLGITEM& item = dialog->items[i];
    if (item.className == nullptr || IS_INTRESOURCE(item.className)) return FALSE;
    t.items.push_back(Item{item.className, item.text ? item.text : "", item.id, item.style, item.x,
                           item.y, item.cx, item.cy});
  }
  Templates()[key] = std::move(t);
  return TRUE;
}

BOOL OrbWin_UnregisterDialogTemplate(HINSTANCE instance, LPCSTR name) {
  Key key;
  if (!MakeKey(instance, name, &key)) return FALSE;
  return Templates().erase(key) != 0 ? TRUE : FALSE;
}

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC dialogProc,
                               LPARAM initParam) {
  Key key;
  if (!MakeKey(instance, name, &key)) return nullptr;
  auto found = Templates().find(key);
  if (found == Templates().end()) return nullptr;
  const Template t = found->second;  // a copy: the dialog procedure may re-register

  RECT origin = {0, 0, 0, 0};
  if (parent != nullptr && !(t.style & WS_CHILD) && !GetWindowRect(parent, &origin)) {
    return nullptr;
  }
  HWND dialog = CreateWindowExA(0, "#32770", t.caption.c_str(), t.style, origin.left + t.x,
                                origin.top + t.y, t.cx, t.cy, parent, nullptr, instance, nullptr);
  if (dialog == nullptr) return nullptr;
  HWND first = nullptr;
  for (const Item& item : t.items) {
    HWND control = CreateWindowExA(0, item.className.c_str(), item.text.c_str(),
                                   item.style | WS_CHILD, item.x, item.y, item.cx, item.cy, dialog,
                                   reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id)),
                                   instance, nullptr);
    if (control == nullptr) {
      DestroyWindow(dialog);
      return nullptr;
    }
    if (first == nullptr) first = control;
  }
  OrbWindow* w = OrbWinFind(dialog);
  w->isDialog = true;
  w->dialogProc = dialogProc;
  SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
  return IsWindow(dialog) ? dialog : nullptr;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC dialogProc,
                               LPARAM initParam) {
  return NoThrow<INT_PTR>(-1, [&]() -> INT_PTR {
    if (parent != nullptr && !IsWindow(parent)) return 0;
    HWND dialog = CreateDialogParamA(instance, name, parent, dialogProc, initParam);
    if (dialog == nullptr) return -1;
    // A dialog destroyed without EndDialog gives 0; a loop ended by WM_QUIT
    // gives IDOK, the result a dialog has until EndDialog sets another.
    INT_PTR result = 0;
    for (;;) {
      OrbWindow* w = OrbWinFind(dialog);
      if (w == nullptr) break;
      if (w->ended) {
        result = w->endResult;
        break;
      }
      MSG msg;
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && parent != nullptr) {
        SendMessageA(parent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
        w = OrbWinFind(dialog);
        if (w == nullptr) break;
        if (w->ended) {
          result = w->endResult;
          break;
        }
      }
      BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == -1) {
        result = -1;
        break;
      }
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        result = IDOK;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DestroyWindow(dialog);
    return result;
  });
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
  OrbWindow* w = OrbWinFind(dialog);
  if (w == nullptr || !w->isDialog) return FALSE;
  w->ended = true;
  w->endResult = result;
  return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
  if (!IsWindow(dialog)) return nullptr;
  for (HWND child : OrbWinChildren(dialog)) {
    OrbWindow* c = OrbWinFind(child);
    if ((c->style & WS_CHILD) && static_cast<int>(c->id) == id) return child;
  }
  return nullptr;
}

int WINAPI GetDlgCtrlID(HWND window) {
  OrbWindow* w = OrbWinFind(window);
  return w != nullptr && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  return NoThrow<UINT>(0, [&]() -> UINT {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    HWND item = GetDlgItem(dialog, id);
    if (item == nullptr) return 0;
    return static_cast<UINT>(GetWindowTextA(item, buffer, size));
  });
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  return NoThrow<BOOL>(FALSE, [&]() -> BOOL {
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr ? SetWindowTextA(item, text) : FALSE;
  });
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item != nullptr ? SendMessageA(item, message, wParam, lParam) : 0;
}
