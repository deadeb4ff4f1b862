// The library's message-box routine.
#ifndef ORBCMN_LIB_DIAG_H_
#define ORBCMN_LIB_DIAG_H_

#include "orbcmn/export.h"

// Shows a message box owned by the client's window (the 32-bit word at byte
// offset 32 of the host record named by the tool-call context's second
// word; no owner while that word is 0), bracketed by tool calls 35/9 (0),
// 0/2 and 35/9 (1) so that the client knows a box is up; the window active
// before is brought back to the top. Returns the box's answer.
ORBCMN_API int DiagMessageBox(const char* text, const char* caption, unsigned style);

typedef struct HWND__* HWND;
// Answers the library's message boxes in place of MessageBoxA, with the
// same arguments and result, for an application (or a test) that shows no
// boxes. Null: boxes are shown again.
typedef int (*DiagMessageBoxHook)(void* user, HWND owner, const char* text, const char* caption,
                                  unsigned style);
ORBCMN_API void DiagSetMessageBoxHook(DiagMessageBoxHook hook, void* user);

#endif  // ORBCMN_LIB_DIAG_H_
