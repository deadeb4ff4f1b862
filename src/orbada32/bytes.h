// Byte forms of the plug-in: atoms of an atom stream and big-endian
// numbers. Every byte the plug-in parses or encodes goes through here.
#ifndef ORBADA32_BYTES_H_
#define ORBADA32_BYTES_H_

#include <stddef.h>
#include <stdint.h>

namespace ada {

// One atom, its data pointing into the stream it was read from.
struct Atom {
  unsigned protocol;  // 0 to 127
  unsigned number;    // 0 to 255
  size_t length;      // 0 to 32,767
  const unsigned char* data;
};

// Reads the atom at the front of the `n` bytes at `p`. Returns the number
// of bytes it takes, or 0 when they do not begin with a whole atom (a
// protocol byte of neither form, or a stream that ends inside the header,
// the length field or the data).
size_t ReadAtom(const unsigned char* p, size_t n, Atom* atom);

// Size of `atom` in canonical form: shortest protocol and length field.
size_t CanonicalSize(const Atom& atom);

// Writes `atom` in canonical form at `out`, which has room for
// CanonicalSize(atom) bytes; `out` may lie before or on the atom's data in
// the same area. Returns the bytes written.
size_t WriteAtom(const Atom& atom, unsigned char* out);

// The `n` bytes at `p`, n at most 8, as a big-endian unsigned number.
uint64_t ReadBigEndian(const unsigned char* p, size_t n);

// Writes the low `n` bytes of `value`, most significant first.
void WriteBigEndian(uint32_t value, unsigned char* out, size_t n);

}  // namespace ada

#endif  // ORBADA32_BYTES_H_
