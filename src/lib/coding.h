// The byte forms shared by the library, the plug-in and the tool: numbers
// most significant byte first, the few fields stored least significant
// byte first, and the atom header with its length field. Written with
// shifts, so the machine's byte order never matters. docs/formats.md
// describes the formats these pieces make up.
#ifndef ORBCMN_LIB_CODING_H_
#define ORBCMN_LIB_CODING_H_

#include <stddef.h>
#include <stdint.h>

namespace orb {

// Writes the low n bytes (1 to 8) of v at out, most significant first.
inline void PutBig(unsigned char* out, uint64_t v, size_t n) {
  for (size_t i = 0; i < n; i++) out[i] = static_cast<unsigned char>(v >> (8 * (n - 1 - i)));
}

// The n bytes (0 to 8) at p as an unsigned number, most significant first.
inline uint64_t GetBig(const unsigned char* p, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; i++) v = (v << 8) | p[i];
  return v;
}

inline void PutBig16(unsigned char* out, uint16_t v) { PutBig(out, v, 2); }
inline void PutBig32(unsigned char* out, uint32_t v) { PutBig(out, v, 4); }
inline uint16_t GetBig16(const unsigned char* p) { return static_cast<uint16_t>(GetBig(p, 2)); }
inline uint32_t GetBig32(const unsigned char* p) { return static_cast<uint32_t>(GetBig(p, 4)); }

// Writes the low n bytes (1 to 8) of v at out, least significant first.
inline void PutLittle(unsigned char* out, uint64_t v, size_t n) {
  for (size_t i = 0; i < n; i++) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

// The n bytes (0 to 8) at p as an unsigned number, least significant first.
inline uint64_t GetLittle(const unsigned char* p, size_t n) {
  uint64_t v = 0;
  for (size_t i = n; i > 0; i--) v = (v << 8) | p[i - 1];
  return v;
}

// v with the order of its low n bytes (1 to 8) reversed; higher bytes are
// dropped.
inline uint64_t ReverseBytes(uint64_t v, size_t n) {
  unsigned char bytes[8];
  PutLittle(bytes, v, n);
  return GetBig(bytes, n);
}

// The atom header: the protocol in one byte (000ppppp, protocols 0 to 31)
// or two (111pp000 000ppppp, protocols 32 to 127), the atom number in one
// byte, then the length field: one byte for 0 to 127, or two for 128 to
// 32,767, the first with bit 7 set and the length's bits 14-8, the second
// its bits 7-0.
struct AtomHeader {
  unsigned protocol;  // 0 to 127
  unsigned atom;      // 0 to 255
  size_t length;      // data bytes that follow, 0 to 32,767
};

constexpr unsigned kMaxShortProtocol = 31;
constexpr unsigned kMaxProtocol = 127;
constexpr unsigned kMaxAtom = 255;
constexpr size_t kMaxShortLength = 127;
constexpr size_t kMaxAtomLength = 32767;
constexpr size_t kMaxAtomHeaderSize = 5;

// Size of the length field for length: 1 or 2.
inline size_t LengthFieldSize(size_t length) { return length <= kMaxShortLength ? 1 : 2; }

// Writes the length field for length (at most 32,767) at out, in the
// shortest form; returns its size.
inline size_t PutLengthField(unsigned char* out, size_t length) {
  if (length <= kMaxShortLength) {
    out[0] = static_cast<unsigned char>(length);
    return 1;
  }
  PutBig(out, length | 0x8000, 2);
  return 2;
}

// Size of h's header as PutAtomHeader writes it: 3 to 5.
inline size_t AtomHeaderSize(const AtomHeader& h) {
  return (h.protocol <= kMaxShortProtocol ? 1 : 2) + 1 + LengthFieldSize(h.length);
}

// Writes h's header at out (room for 5 bytes) in the builder's form: the
// shortest protocol form and length field. Only the low 7 bits of a
// protocol above 31 and the low 8 bits of the atom reach the bytes.
// Returns the bytes written.
inline size_t PutAtomHeader(unsigned char* out, const AtomHeader& h) {
  size_t at = 0;
  if (h.protocol <= kMaxShortProtocol) {
    out[at++] = static_cast<unsigned char>(h.protocol);
  } else {
    out[at++] = static_cast<unsigned char>(((h.protocol >> 2) & 0xF8) | 0xE0);
    out[at++] = static_cast<unsigned char>(h.protocol & 0x1F);
  }
  out[at++] = static_cast<unsigned char>(h.atom);
  return at + PutLengthField(out + at, h.length);
}

// Reads a length field at the front of the n bytes at p into *length.
// Lenient: the two-byte form may also hold a length under 128. Returns the
// bytes it takes, or 0 (leaving *length alone) when n is 0 or the bytes end
// inside the two-byte form.
inline size_t ReadLengthFieldLenient(const unsigned char* p, size_t n, size_t* length) {
  if (n == 0) return 0;
  if ((p[0] & 0x80) == 0) {
    *length = p[0];
    return 1;
  }
  if (n < 2) return 0;
  *length = GetBig(p, 2) & 0x7FFF;
  return 2;
}

// Why a header could not be read.
enum class HeaderFault {
  kNone,
  kFirstByte,         // the first byte begins neither protocol form
  kSecondByte,        // the second protocol byte has a bit of 7-5 set
  kEndsInHeader,      // the bytes end inside the protocol or atom number
  kEndsBeforeLength,  // the bytes end before the length field
  kEndsInLength,      // the bytes end inside the two-byte length field
  kLongFormLength,    // strict only: a two-byte field holding under 128
};

namespace coding_internal {

inline HeaderFault ReadAtomHeader(const unsigned char* p, size_t n, bool strict, AtomHeader* h,
                                  size_t* size) {
  if (n == 0) return HeaderFault::kEndsInHeader;
  size_t at = 1;
  if ((p[0] & 0xE0) == 0) {
    h->protocol = p[0];
  } else if ((p[0] & 0xE7) == 0xE0 && !(strict && p[0] == 0xE0)) {
    if (n < 2) return HeaderFault::kEndsInHeader;
    if ((p[1] & 0xE0) != 0) return HeaderFault::kSecondByte;
    h->protocol = ((p[0] >> 3) & 0x03) << 5 | p[1];
    at = 2;
  } else {
    return HeaderFault::kFirstByte;
  }
  if (n == at) return HeaderFault::kEndsInHeader;
  h->atom = p[at++];
  if (n == at) return HeaderFault::kEndsBeforeLength;
  size_t field = ReadLengthFieldLenient(p + at, n - at, &h->length);
  if (field == 0) return HeaderFault::kEndsInLength;
  *size = at + field;
  if (strict && field == 2 && h->length <= kMaxShortLength) return HeaderFault::kLongFormLength;
  return HeaderFault::kNone;
}

}  // namespace coding_internal

// Reads the atom header at the front of the n bytes at p into *h and its
// size into *size, accepting exactly what PutAtomHeader writes: it refuses
// the two-byte protocol form of a protocol under 32 (first byte E0) and a
// two-byte length field holding under 128. On kLongFormLength, *h holds
// the header as read. The data is not checked.
inline HeaderFault ReadAtomHeaderStrict(const unsigned char* p, size_t n, AtomHeader* h,
                                        size_t* size) {
  return coding_internal::ReadAtomHeader(p, n, true, h, size);
}

// As ReadAtomHeaderStrict, but lenient: it also takes the two-byte
// protocol form of a protocol under 32 and a two-byte length field of any
// length, which streams from elsewhere may use.
inline HeaderFault ReadAtomHeaderLenient(const unsigned char* p, size_t n, AtomHeader* h,
                                         size_t* size) {
  return coding_internal::ReadAtomHeader(p, n, false, h, size);
}

}  // namespace orb

#endif  // ORBCMN_LIB_CODING_H_
