// Windows, dialogs and the thread message queue: a small window system of
// our own, without a display. Windows keep a rectangle in screen
// coordinates, a style, a parent (or owner), a text, a control identifier
// and the instance they belong to; their window procedures get the same
// messages, in the same order, as on Windows for the calls made here.
//
// Differences from a desktop, by design:
// - A window has no frame: its client area is its whole rectangle, so the
//   client origin is the window's top-left corner.
// - Dialog templates are registered by the application (name and
//   instance), with coordinates in pixels rather than dialog units.
// - Nothing but the application itself puts messages in the queue; where a
//   thread would wait for input forever, GetMessageA fails instead (-1).
// - The window system serves one thread, like the library that uses it.
//
// Handles carry 32 significant bits, as on Windows; a handle is looked up
// by its low 32 bits.
#ifndef ORBWIN_WIN32_WINDOW_H_
#define ORBWIN_WIN32_WINDOW_H_

#include "win32_types.h"

typedef intptr_t LONG_PTR;
typedef WORD ATOM;
typedef struct HMENU__* HMENU;
typedef struct HICON__* HICON;
typedef struct HICON__* HCURSOR;
typedef struct HBRUSH__* HBRUSH;

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;

typedef struct tagPOINT {
  LONG x;
  LONG y;
} POINT, *LPPOINT;

typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
} MSG, *LPMSG;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
} WNDCLASSA;

typedef struct tagCREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
} CREATESTRUCTA;

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))
#define IS_INTRESOURCE(r) ((((uintptr_t)(r)) >> 16) == 0)
#define MAKEINTRESOURCEA(i) ((LPSTR)((uintptr_t)((WORD)(i))))

// Window styles.
#define WS_OVERLAPPED 0x00000000u
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CAPTION 0x00C00000u
#define WS_BORDER 0x00800000u
#define WS_SYSMENU 0x00080000u
#define DS_MODALFRAME 0x00000080u
#define BS_PUSHBUTTON 0x00000000u
#define BS_DEFPUSHBUTTON 0x00000001u
#define BS_CHECKBOX 0x00000002u
#define CW_USEDEFAULT ((int)0x80000000)

// Window data indexes.
#define GWL_WNDPROC (-4)
#define GWLP_WNDPROC (-4)
#define GWL_HINSTANCE (-6)
#define GWLP_HINSTANCE (-6)
#define GWL_HWNDPARENT (-8)
#define GWLP_HWNDPARENT (-8)
#define GWL_ID (-12)
#define GWLP_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GWLP_USERDATA (-21)

// SetWindowPos flags.
#define SWP_NOSIZE 0x0001u
#define SWP_NOMOVE 0x0002u
#define SWP_NOZORDER 0x0004u
#define SWP_NOACTIVATE 0x0010u

// Messages.
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_ENTERIDLE 0x0121
#define WM_USER 0x0400
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BN_CLICKED 0
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define MSGF_DIALOGBOX 0

// PeekMessageA removal.
#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u

// ---- Window classes ----

// Registers an application class; names are compared without regard to
// case. Built in, for every instance: "BUTTON" (BM_CLICK sends WM_COMMAND
// with BN_CLICKED to the parent; BM_GETCHECK/BM_SETCHECK keep a check
// state), "STATIC", "EDIT" and the dialog class "#32770". Returns a
// non-zero atom, 0 when the class exists or the arguments are bad.
ORBWIN_C ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass);
// Removes an application class; FALSE when it is unknown or still has
// windows.
ORBWIN_C BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance);

// ---- Windows ----

// Creates a window of `className`. A WS_CHILD window needs a parent and
// takes (x, y) relative to the parent's client origin; any other window
// takes screen coordinates and `parent` as its owner. For a child, `menu`
// is the control identifier. CW_USEDEFAULT gives 0. The window procedure
// receives WM_CREATE with a CREATESTRUCTA; -1 from it destroys the window
// and gives null. Null for an unknown class, a child without a valid
// parent, or an invalid owner.
ORBWIN_C HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName,
                                     DWORD style, int x, int y, int width, int height, HWND parent,
                                     HMENU menu, HINSTANCE instance, LPVOID param);
// Sends WM_DESTROY to the window, then destroys its children and owned
// windows the same way, and drops the messages posted to it. A destroyed
// window stops being active or on top. FALSE for an invalid window.
ORBWIN_C BOOL WINAPI DestroyWindow(HWND window);
// TRUE while `window` names a live window.
ORBWIN_C BOOL WINAPI IsWindow(HWND window);
// The window's rectangle in screen coordinates. FALSE for an invalid window
// or a null rectangle.
ORBWIN_C BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
// The client rectangle: (0, 0, width, height).
ORBWIN_C BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
// Moves and sizes the window; (x, y) are client coordinates of the parent
// for a child, screen coordinates otherwise. SWP_NOMOVE and SWP_NOSIZE keep
// position or size; children move with their parent. There is no Z order
// among windows here: SWP_NOZORDER changes nothing, and without
// SWP_NOACTIVATE a top-level window becomes the active window.
ORBWIN_C BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width,
                                  int height, UINT flags);
// SetWindowPos without the Z order and activation; `repaint` is ignored.
ORBWIN_C BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// Converts a point between screen and `window`'s client coordinates.
ORBWIN_C BOOL WINAPI ScreenToClient(HWND window, LPPOINT point);
ORBWIN_C BOOL WINAPI ClientToScreen(HWND window, LPPOINT point);
// The parent of a child window, the owner of any other; null when none.
ORBWIN_C HWND WINAPI GetParent(HWND window);

// Window data by index (GWL_STYLE, GWL_EXSTYLE, GWL_ID, GWL_USERDATA,
// GWLP_HINSTANCE, GWLP_WNDPROC, GWLP_HWNDPARENT). The Long forms carry the
// low 32 bits of the value, as on 64-bit Windows; the LongPtr forms the
// whole value. 0 for an invalid window or index. Set returns the previous
// value; GWLP_HINSTANCE and GWLP_HWNDPARENT are read-only here.
ORBWIN_C LONG WINAPI GetWindowLongA(HWND window, int index);
ORBWIN_C LONG WINAPI SetWindowLongA(HWND window, int index, LONG value);
ORBWIN_C LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index);
ORBWIN_C LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

// Window text, through WM_SETTEXT and WM_GETTEXT to the window procedure.
// GetWindowTextA copies at most size - 1 characters and a terminator and
// returns the characters copied (0 and an empty buffer for an invalid
// window).
ORBWIN_C BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
ORBWIN_C int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size);
ORBWIN_C int WINAPI GetWindowTextLengthA(HWND window);

// The default window procedure: keeps the text (WM_SETTEXT, WM_GETTEXT,
// WM_GETTEXTLENGTH), destroys the window on WM_CLOSE; 0 for the rest.
ORBWIN_C LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
ORBWIN_C LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam);

// The calling thread's active window; null when there is none.
ORBWIN_C HWND WINAPI GetActiveWindow(void);
// Makes `window` active; returns the window active before. A handle this
// window system does not hold is recorded as it is.
ORBWIN_C HWND WINAPI SetActiveWindow(HWND window);
// Brings `window` to the top of the Z order. FALSE for a null window.
ORBWIN_C BOOL WINAPI BringWindowToTop(HWND window);
// The window most recently brought to the top; null when none was.
ORBWIN_C HWND OrbWin_TopWindow(void);

// ---- Messages ----

// Calls the window procedure at once and returns its result; 0 for an
// invalid window.
ORBWIN_C LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Puts a message at the end of the thread's queue. A null window posts a
// thread message. FALSE for an invalid window.
ORBWIN_C BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Posts WM_QUIT with `exitCode`.
ORBWIN_C void WINAPI PostQuitMessage(int exitCode);
// Looks for the first queued message for `window` (or one of its
// descendants; null: any message) with a number from `first` to `last`
// (0, 0: any), copies it and, with PM_REMOVE, takes it off the queue.
// FALSE when none is queued.
ORBWIN_C BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove);
// Takes the next matching message: 0 for WM_QUIT, otherwise non-zero. With
// nothing queued nothing can arrive any more, so it fails with -1 instead
// of waiting.
ORBWIN_C BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT first, UINT last);
// There is no keyboard here: nothing to translate; FALSE.
ORBWIN_C BOOL WINAPI TranslateMessage(const MSG* msg);
// Calls the procedure of the message's window and returns its result; 0 for
// a thread message or an invalid window.
ORBWIN_C LRESULT WINAPI DispatchMessageA(const MSG* msg);

// ---- Dialogs ----

// A control of a dialog template: class, text, identifier, style and its
// rectangle in pixels relative to the dialog's client origin.
typedef struct {
  LPCSTR className;
  LPCSTR text;
  WORD id;
  DWORD style;
  int x;
  int y;
  int cx;
  int cy;
} ORBWIN_DLGITEM;

// A dialog template: the dialog's style, caption and rectangle (relative
// to the owner's client origin, or to the screen without owner), and its
// controls in creation order.
typedef struct {
  DWORD style;
  LPCSTR caption;
  int x;
  int y;
  int cx;
  int cy;
  UINT itemCount;
  const ORBWIN_DLGITEM* items;
} ORBWIN_DLGTEMPLATE;

// Registers (or replaces) the template `name` of `instance`; a name is a
// string compared without regard to case or an integer from
// MAKEINTRESOURCEA. The template is copied. FALSE for bad arguments.
ORBWIN_C BOOL OrbWin_RegisterDialogTemplate(HINSTANCE instance, LPCSTR name,
                                            const ORBWIN_DLGTEMPLATE* dialog);
// Forgets a template; FALSE when it is not registered.
ORBWIN_C BOOL OrbWin_UnregisterDialogTemplate(HINSTANCE instance, LPCSTR name);

// Creates the dialog of template `name` (class "#32770", the template's
// controls as children), sends WM_INITDIALOG to `dialogProc` with the
// handle of the first control and `initParam`, and returns it without a
// loop of its own. Null for an unknown template.
ORBWIN_C HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent,
                                        DLGPROC dialogProc, LPARAM initParam);
// Creates the dialog as CreateDialogParamA does, then runs the thread's
// message loop until EndDialog is called for it, destroys it and returns
// the EndDialog result. Whenever the queue is empty, WM_ENTERIDLE
// (MSGF_DIALOGBOX, dialog handle) goes to the owner first. -1 when the
// template is unknown or the queue stays empty (nothing could ever end the
// dialog); 0 when the owner is not a window or the dialog was destroyed
// without EndDialog; on WM_QUIT the quit message is posted again and IDOK
// is returned (a dialog's result until EndDialog sets another).
ORBWIN_C INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent,
                                        DLGPROC dialogProc, LPARAM initParam);
// Marks the dialog ended with `result`; a modal loop then returns it. FALSE
// for a window that is not a dialog.
ORBWIN_C BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
// The first child of `dialog` with identifier `id`; null when none.
ORBWIN_C HWND WINAPI GetDlgItem(HWND dialog, int id);
ORBWIN_C int WINAPI GetDlgCtrlID(HWND window);
// Text of a control, as GetWindowTextA / SetWindowTextA; a missing control
// gives 0 and an empty buffer, or FALSE.
ORBWIN_C UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
ORBWIN_C BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
ORBWIN_C LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                            LPARAM lParam);

#endif  // ORBWIN_WIN32_WINDOW_H_
