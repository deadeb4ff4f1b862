// Window and dialog helpers: the version text of a window's module, the
// about box, centring a window over another, and reading a trimmed dialog
// field.
#ifndef ORBCMN_UTILVERSION_H_
#define ORBCMN_UTILVERSION_H_

#include <stdint.h>

#include "orbcmn/export.h"

typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;

// Sets the text of `window` to "Version major.m" for the module that owns
// the window (its instance): major is the high word of the most
// significant file-version word of the module's version block, m the first
// digit of its low word (file version 4.12 gives "Version 4.1"). The text
// stays unchanged when the module has no version block, the block cannot
// be read or its memory cannot be allocated.
ORBCMN_C void UtilSetVersion(HWND window);
// Runs the modal dialog `dialogTemplate` of `instance` over `parent` with
// AboutDlgProc; `versionId` names the control that receives the version
// text (0: none). Returns the dialog's end code (as DialogBoxParamA).
ORBCMN_C intptr_t UtilAboutBox(HINSTANCE instance, HWND parent, const char* dialogTemplate,
                               unsigned short versionId);
// The about dialog's procedure. On WM_INITDIALOG it centres the dialog over
// its parent and, when the low 16 bits of lParam name a control, puts the
// version text there (the control is left as it is when the module has no
// version block or its memory cannot be allocated); WM_COMMAND from IDOK or
// IDCANCEL ends the dialog with the whole wParam. Always 0.
ORBCMN_C intptr_t ORBCMN_CALLBACK AboutDlgProc(HWND dialog, unsigned message, uintptr_t wParam,
                                               OrbLParam lParam);
// Moves `window` (size, Z order and activation unchanged) so that it is
// centred over `reference`: x = left + (reference width - width) / 2, the
// same for y, truncating toward zero and not kept on the screen. A child
// window is placed in its parent's client coordinates.
ORBCMN_C void UtilCenterWnd(HWND reference, HWND window);
// Reads the text of control `id` of `dialog` into `buffer` (at most `size`
// bytes with the terminator), removes leading and trailing spaces (only
// 0x20) and returns `buffer`. A null `buffer` reads nothing and gives null.
ORBCMN_C char* UtilGetAndTrimField(HWND dialog, unsigned short id, char* buffer,
                                   unsigned short size);

#endif  // ORBCMN_UTILVERSION_H_
