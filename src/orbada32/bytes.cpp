#include "orbada32/bytes.h"

#include <string.h>

namespace ada {

size_t ReadAtom(const unsigned char* p, size_t n, Atom* atom) {
  size_t size = 0;
  if (orb::ReadAtomHeaderLenient(p, n, &atom->header, &size) != orb::HeaderFault::kNone) return 0;
  if (n - size < atom->header.length) return 0;
  atom->data = p + size;
  return size + atom->header.length;
}

size_t CanonicalSize(const Atom& atom) {
  return orb::AtomHeaderSize(atom.header) + atom.header.length;
}

size_t WriteAtom(const Atom& atom, unsigned char* out) {
  size_t at = orb::PutAtomHeader(out, atom.header);
  // The canonical header is never longer than the one read, so when
  // normalising in place the data has not been overwritten yet.
  if (atom.header.length > 0) memmove(out + at, atom.data, atom.header.length);
  return at + atom.header.length;
}

}  // namespace ada
