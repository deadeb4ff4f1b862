// Local memory over the C heap.
#include <cstdlib>

#include "win32_local.h"

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) {
  if (bytes == 0) bytes = 1;
  return (flags & LMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
}

HLOCAL WINAPI LocalFree(HLOCAL block) {
  std::free(block);
  return nullptr;
}
