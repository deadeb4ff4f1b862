// Local memory over the C heap, with a count of the live blocks.
#include <cstdlib>

#include "win32_local.h"

namespace {
long g_live = 0;
}  // namespace

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) {
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
