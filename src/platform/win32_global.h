// Global memory. Fixed blocks are their own handles; a movable block is
// reached through its handle with GlobalLock, which counts locks.
#ifndef ORBWIN_WIN32_GLOBAL_H_
#define ORBWIN_WIN32_GLOBAL_H_

#include <stddef.h>

#include "win32_types.h"

typedef size_t SIZE_T;
typedef HANDLE HGLOBAL;

#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// Allocates `bytes` (GMEM_ZEROINIT zero-fills). A fixed block's handle is
// its address; a movable block's handle is not. Null on failure.
ORBWIN_C HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
// The address of the block; for a movable block it adds a lock. Null for a
// handle this module did not give.
ORBWIN_C LPVOID WINAPI GlobalLock(HGLOBAL memory);
// Removes a lock of a movable block; TRUE while locks remain. FALSE for a
// fixed block or an unknown handle.
ORBWIN_C BOOL WINAPI GlobalUnlock(HGLOBAL memory);
// Frees the block, locked or not. Null on success, the handle on failure.
ORBWIN_C HGLOBAL WINAPI GlobalFree(HGLOBAL memory);
// The size asked for at allocation; 0 for an unknown handle.
ORBWIN_C SIZE_T WINAPI GlobalSize(HGLOBAL memory);

// Stand-in only, for leak checks: the number of blocks not yet freed.
ORBWIN_C long OrbWin_LiveGlobalBlocks(void);

#endif  // ORBWIN_WIN32_GLOBAL_H_
