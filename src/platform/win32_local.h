// Local memory: fixed blocks from the process heap.
#ifndef ORBWIN_WIN32_LOCAL_H_
#define ORBWIN_WIN32_LOCAL_H_

#include <stddef.h>

#include "win32_types.h"

typedef size_t SIZE_T;
typedef HANDLE HLOCAL;

#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// Allocates `bytes` bytes (zero-filled with LMEM_ZEROINIT). Every block is
// fixed: the handle is the block's address, also for LMEM_MOVEABLE. Null
// on failure. A request for 0 bytes still gives a distinct block.
ORBWIN_C HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes);
// Frees a block from LocalAlloc; null on success (also for null), as on
// Windows.
ORBWIN_C HLOCAL WINAPI LocalFree(HLOCAL block);

// Stand-in only, for leak checks: the number of blocks not yet freed.
ORBWIN_C long OrbWin_LiveLocalBlocks(void);

// Stand-in only, for allocation-failure tests: while a handler is set,
// every LocalAlloc and GlobalAlloc first calls fail(user) and returns null
// without allocating when it answers nonzero. Null removes the handler.
typedef int (*ORBWIN_FAILPROC)(void* user);
ORBWIN_C void OrbWin_SetAllocFailHandler(ORBWIN_FAILPROC fail, void* user);

#endif  // ORBWIN_WIN32_LOCAL_H_
