// Global memory over the C allocator, with a table of live blocks so that
// a wrong handle is refused instead of corrupting memory.
#include <cstdlib>
#include <map>

#include "nothrow.h"
#include "refusal.h"
#include "win32_global.h"

namespace {

struct Block {
  void* data;
  SIZE_T size;
  bool movable;
  unsigned locks;
};

// Live blocks by handle.
std::map<HGLOBAL, Block>& Blocks() {
  static std::map<HGLOBAL, Block> blocks;
  return blocks;
}

Block* Find(HGLOBAL memory) {
  auto it = Blocks().find(memory);
  return it == Blocks().end() ? nullptr : &it->second;
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (OrbWin_AllocRefused()) return nullptr;
  void* data =
      (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  if (data == nullptr) return nullptr;
  bool movable = (flags & GMEM_MOVEABLE) != 0;
  HGLOBAL handle = data;
  if (movable) {
    // The handle of a movable block is a separate small record.
    handle = std::malloc(1);
    if (handle == nullptr) {
      std::free(data);
      return nullptr;
    }
  }
  bool recorded = NoThrow(false, [&] {
    Blocks()[handle] = Block{data, bytes, movable, 0};
    return true;
  });
  if (!recorded) {
    if (movable) std::free(handle);
    std::free(data);
    return nullptr;
  }
  return handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
  Block* block = Find(memory);
  if (block == nullptr) return nullptr;
  if (block->movable) block->locks++;
  return block->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
  Block* block = Find(memory);
  if (block == nullptr || !block->movable || block->locks == 0) return FALSE;
  block->locks--;
  return block->locks != 0 ? TRUE : FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
  Block* block = Find(memory);
  if (block == nullptr) return memory;
  std::free(block->data);
  if (block->movable) std::free(memory);
  Blocks().erase(memory);
  return nullptr;
}

long OrbWin_LiveGlobalBlocks(void) { return static_cast<long>(Blocks().size()); }

SIZE_T WINAPI GlobalSize(HGLOBAL memory) {
  Block* block = Find(memory);
  return block ? block->size : 0;
}
