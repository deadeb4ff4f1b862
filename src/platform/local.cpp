// Local memory over the C heap, with a count of the live blocks.
#include <cstdlib>

#include "refusal.h"
#include "win32_local.h"

namespace {
long g_live = 0;
ORBWIN_FAILPROC g_fail = nullptr;
void* g_failUser = nullptr;
}  // namespace

void OrbWin_SetAllocFailHandler(ORBWIN_FAILPROC fail, void* user) {
  g_fail = fail;
  g_failUser = user;
}

bool OrbWin_AllocRefused() { return g_fail != nullptr && g_fail(g_failUser) != 0; }

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) {
  if (OrbWin_AllocRefused()) return nullptr;
  if (bytes == 0) bytes = 1;
  void* block = (flags & LMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
  if (block != nullptr) ++g_live;
  return block;
}

HLOCAL WINAPI LocalFree(HLOCAL block) {
  if (block != nullptr) --g_live;
  std::free(block);
  return nullptr;
}

long OrbWin_LiveLocalBlocks(void) { return g_live; }
