// The library's allocation: every object comes from the host allocator
// under the tag "newop".
#ifndef ORBCMN_LIB_ALLOC_H_
#define ORBCMN_LIB_ALLOC_H_

#include <cstddef>

// Host allocation of `size` bytes, tag "newop", flags 0; null on failure
// and for sizes beyond 32 bits, which make no host call.
void* OrbAlloc(std::size_t size) noexcept;
// Host release with tag "newop"; a null block makes no host call.
void OrbFree(void* block) noexcept;

// Defines the class operators declared by ORBCMN_DECLARE_ALLOC.
#define ORBCMN_DEFINE_ALLOC(Class)                                                  \
  void* Class::operator new(std::size_t size) noexcept { return OrbAlloc(size); }   \
  void* Class::operator new[](std::size_t size) noexcept { return OrbAlloc(size); } \
  void Class::operator delete(void* block) noexcept { OrbFree(block); }             \
  void Class::operator delete[](void* block) noexcept { OrbFree(block); }

#endif  // ORBCMN_LIB_ALLOC_H_
