// User services: message boxes and the active window.
#ifndef ORBWIN_WIN32_USER_H_
#define ORBWIN_WIN32_USER_H_

#include "win32_types.h"

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

typedef int (*OrbWinMessageBoxHook)(void* user, HWND owner, LPCSTR text, LPCSTR caption,
                                    UINT type);
// Installs (or, with null, removes) the hook that plays the user at boxes.
ORBWIN_C void OrbWin_SetMessageBoxHook(OrbWinMessageBoxHook hook, void* user);

// The calling thread's active window; null when there is none.
ORBWIN_C HWND WINAPI GetActiveWindow(void);
// Makes `window` active; returns the window active before.
ORBWIN_C HWND WINAPI SetActiveWindow(HWND window);
// Brings `window` to the top of the Z order. FALSE for a null window.
ORBWIN_C BOOL WINAPI BringWindowToTop(HWND window);
// The window most recently brought to the top; null when none was.
ORBWIN_C HWND OrbWin_TopWindow(void);

#endif  // ORBWIN_WIN32_USER_H_
