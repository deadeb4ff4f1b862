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

// Shows a message box. Without a hook it prints the caption and text on
// stderr and answers IDOK; with a hook the hook's answer is returned.
ORBWIN_C int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

typedef int (*OrbWinMessageBoxHook)(void* user, HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Installs (or, with null, removes) the hook that plays the user at boxes.
ORBWIN_C void OrbWin_SetMessageBoxHook(OrbWinMessageBoxHook hook, void* user);

#endif  // ORBWIN_WIN32_USER_H_
