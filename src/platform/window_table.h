// The window system's own records, shared by its windows, message queue
// and dialogs. Not part of the Win32 interface.
#ifndef ORBWIN_WINDOW_TABLE_H_
#define ORBWIN_WINDOW_TABLE_H_

#include <string>
#include <vector>

#include "win32_window.h"

struct OrbWindow {
  HWND handle = nullptr;
  std::string className;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect = {0, 0, 0, 0};  // screen coordinates
  HWND parent = nullptr;     // parent of a child, owner of any other
  std::string text;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  LONG check = BST_UNCHECKED;  // buttons
  bool destroying = false;
  // Dialogs.
  bool isDialog = false;
  DLGPROC dialogProc = nullptr;
  bool ended = false;
  INT_PTR endResult = 0;
};

// The live window named by the low 32 bits of `window`; null when none.
OrbWindow* OrbWinFind(HWND window);
// The live windows whose parent (or owner) is `window`, in creation order.
std::vector<HWND> OrbWinChildren(HWND window);
// The window procedure of the dialog class "#32770".
LRESULT CALLBACK OrbWinDialogWndProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Drops the queued messages posted to `window` (after it was destroyed).
void OrbWinDropMessages(HWND window);
// TRUE when `window` is `ancestor` or a descendant of it.
bool OrbWinIsWithin(HWND window, HWND ancestor);

#endif  // ORBWIN_WINDOW_TABLE_H_
