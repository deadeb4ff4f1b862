// User services: message boxes (windows and activation are in
// win32_window.h).
#ifndef ORBWIN_WIN32_USER_H_
#define ORBWIN_WIN32_USER_H_

#include "win32_types.h"
#include "win32_window.h"

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNO 0x00000004u
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u

#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

// Shows a message box: there is no desktop, so the caption and text go to
// stderr and the answer is IDOK.
ORBWIN_C int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

#endif  // ORBWIN_WIN32_USER_H_
