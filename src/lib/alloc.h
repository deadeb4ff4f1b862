// The library's allocation: every object comes from the host allocator
// under the tag "newop".
#ifndef ORBCMN_LIB_ALLOC_H_
#define ORBCMN_LIB_ALLOC_H_

#include <cstddef>

namespace orb {

// Host allocation of `size` bytes, tag "newop", flags 0; null on failure
// and for sizes beyond 32 bits, which make no host call.
void* Alloc(std::size_t size) noexcept;
// Alloc with the bytes zero-filled (flags 1): large blocks come zeroed
// from the system without a pass over them.
void* AllocZeroed(std::size_t size) noexcept;
// Host resize of block (null allocates) to `size` bytes, tag "newop",
// keeping its contents; null on failure, the old block then stays valid.
void* Realloc(void* block, std::size_t size) noexcept;
// Host release with tag "newop"; a null block makes no host call.
void Free(void* block) noexcept;

// Number of allocations refused so far (by Alloc and by buffer growth).
// An operation that builds a result from many small steps compares it
// before and after, and fails as a whole when memory ran out on the way.
unsigned long Refusals() noexcept;
// Counts one refused allocation.
void NoteRefusal() noexcept;

// A new T made from args; null when memory ran out making it or anything
// it holds (a name that could not be copied, for one).
template <class T, class... Args>
T* MakeWhole(Args&&... args) {
  unsigned long refusals = Refusals();
  T* made = new T(static_cast<Args&&>(args)...);
  if (made != nullptr && Refusals() != refusals) {
    delete made;
    made = nullptr;
  }
  return made;
}

}  // namespace orb

// Defines the class operators declared by ORBCMN_DECLARE_ALLOC.
#define ORBCMN_DEFINE_ALLOC(Class)                                                    \
  void* Class::operator new(std::size_t size) noexcept { return orb::Alloc(size); }   \
  void* Class::operator new[](std::size_t size) noexcept { return orb::Alloc(size); } \
  void Class::operator delete(void* block) noexcept { orb::Free(block); }             \
  void Class::operator delete[](void* block) noexcept { orb::Free(block); }

#endif  // ORBCMN_LIB_ALLOC_H_
