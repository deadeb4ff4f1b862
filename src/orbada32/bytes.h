// Atoms of an atom stream as the plug-in reads and rewrites them. The
// header forms and big-endian numbers come from lib/coding.h.
#ifndef ORBADA32_BYTES_H_
#define ORBADA32_BYTES_H_

#include <stddef.h>
#include <stdint.h>

#include "lib/coding.h"

namespace ada {

// One atom, its data pointing into the stream it was read from.
struct Atom {
  orb::AtomHeader header;
  const unsigned char* data;
};

// Reads the atom at the front of the `n` bytes at `p`, leniently (the
// long forms of short values are taken too). Returns the number of bytes
// it takes, or 0 when they do not begin with a whole atom (a protocol byte
// of neither form, or a stream that ends inside the header, the length
// field or the data).
size_t ReadAtom(const unsigned char* p, size_t n, Atom* atom);

// Size of `atom` in canonical form: shortest protocol and length field.
size_t CanonicalSize(const Atom& atom);

// Writes `atom` in canonical form at `out`, which has room for
// CanonicalSize(atom) bytes; `out` may lie before or on the atom's data in
// the same area. Returns the bytes written.
size_t WriteAtom(const Atom& atom, unsigned char* out);

}  // namespace ada

#endif  // ORBADA32_BYTES_H_
