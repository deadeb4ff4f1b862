// The stream's byte order in one place: numbers are stored most
// significant byte first, whatever the byte order of the machine.
#ifndef ORBCMN_PERSIST_CODING_H_
#define ORBCMN_PERSIST_CODING_H_

#include <cstddef>

// Copies the n bytes of a native number at src to dst in stream order, or
// back (the operation is its own inverse). src and dst must not overlap.
inline void NativeToStreamOrder(void* dst, void const* src, std::size_t n) {
  unsigned char* d = static_cast<unsigned char*>(dst);
  unsigned char const* s = static_cast<unsigned char const*>(src);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  for (std::size_t i = 0; i < n; i++) d[i] = s[i];
#else
  for (std::size_t i = 0; i < n; i++) d[i] = s[n - 1 - i];
#endif
}

#endif  // ORBCMN_PERSIST_CODING_H_
