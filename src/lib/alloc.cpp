// The module's own global allocation operators. They are kept local to the
// library by its link map, so a process that loads the library keeps its
// own allocator. They return null rather than throw; the library is built
// with -fcheck-new so that a null result skips the constructor.
#include "lib/alloc.h"

#include <new>

#include "hostkit/hostkit.h"

namespace {
const char kTag[] = "newop";
unsigned long g_refusals = 0;  // the library runs on one thread at a time
}  // namespace

namespace orb {

unsigned long Refusals() noexcept { return g_refusals; }

void NoteRefusal() noexcept { g_refusals++; }

// The host allocator takes 32-bit sizes: a larger request fails here
// rather than reaching it cut short.
void* Alloc(std::size_t size) noexcept {
  void* block = size > 0xFFFFFFFFu ? nullptr : HostKit_Alloc(kTag, static_cast<unsigned>(size), 0);
  if (block == nullptr) NoteRefusal();
  return block;
}

void* AllocZeroed(std::size_t size) noexcept {
  void* block = size > 0xFFFFFFFFu ? nullptr : HostKit_Alloc(kTag, static_cast<unsigned>(size), 1);
  if (block == nullptr) NoteRefusal();
  return block;
}

void* Realloc(void* block, std::size_t size) noexcept {
  void* moved =
      size > 0xFFFFFFFFu ? nullptr : HostKit_Realloc(kTag, block, static_cast<unsigned>(size), 0);
  if (moved == nullptr) NoteRefusal();
  return moved;
}

void Free(void* block) noexcept {
  if (block != nullptr) HostKit_Free(kTag, block);
}

}  // namespace orb

void* operator new(std::size_t size) { return orb::Alloc(size); }
void* operator new[](std::size_t size) { return orb::Alloc(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return orb::Alloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return orb::Alloc(size); }
void operator delete(void* block) noexcept { orb::Free(block); }
void operator delete[](void* block) noexcept { orb::Free(block); }
void operator delete(void* block, std::size_t) noexcept { orb::Free(block); }
void operator delete[](void* block, std::size_t) noexcept { orb::Free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { orb::Free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { orb::Free(block); }
