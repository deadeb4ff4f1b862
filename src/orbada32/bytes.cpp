#include "orbada32/bytes.h"

#include <string.h>

namespace ada {

namespace {

// Protocol byte forms: 000ppppp, or 111pp000 followed by 000ppppp.
bool IsShortProtocol(unsigned char b) { return (b & 0xE0) == 0x00; }
bool IsLongProtocol(unsigned char b) { return (b & 0xE7) == 0xE0; }

}  // namespace

size_t ReadAtom(const unsigned char* p, size_t n, Atom* atom) {
  size_t at = 0;
  if (n < 1) return 0;
  if (IsShortProtocol(p[0])) {
    atom->protocol = p[0];
    at = 1;
  } else if (IsLongProtocol(p[0])) {
    if (n < 2 || (p[1] & 0xE0) != 0) return 0;
    atom->protocol = (((p[0] >> 3) & 0x03) << 5) | p[1];
    at = 2;
  } else {
    return 0;
  }
  if (n - at < 2) return 0;  // atom number and at least one length byte
  atom->number = p[at++];
  size_t length = p[at++];
  if (length & 0x80) {
    if (n - at < 1) return 0;
    length = ((length & 0x7F) << 8) | p[at++];
  }
  if (n - at < length) return 0;
  atom->length = length;
  atom->data = p + at;
  return at + length;
}

size_t CanonicalSize(const Atom& atom) {
  return (atom.protocol < 32 ? 1 : 2) + 1 + (atom.length < 128 ? 1 : 2) + atom.length;
}

size_t WriteAtom(const Atom& atom, unsigned char* out) {
  size_t at = 0;
  if (atom.protocol < 32) {
    out[at++] = static_cast<unsigned char>(atom.protocol);
  } else {
    out[at++] = static_cast<unsigned char>(((atom.protocol >> 2) & 0xF8) | 0xE0);
    out[at++] = static_cast<unsigned char>(atom.protocol & 0x1F);
  }
  out[at++] = static_cast<unsigned char>(atom.number);
  if (atom.length < 128) {
    out[at++] = static_cast<unsigned char>(atom.length);
  } else {
    out[at++] = static_cast<unsigned char>((atom.length >> 8) | 0x80);
    out[at++] = static_cast<unsigned char>(atom.length & 0xFF);
  }
  // The canonical header is never longer than the one read, so when
  // normalising in place the data has not been overwritten yet.
  if (atom.length > 0) memmove(out + at, atom.data, atom.length);
  return at + atom.length;
}

uint64_t ReadBigEndian(const unsigned char* p, size_t n) {
  uint64_t value = 0;
  for (size_t i = 0; i < n; i++) value = (value << 8) | p[i];
  return value;
}

void WriteBigEndian(uint32_t value, unsigned char* out, size_t n) {
  for (size_t i = 0; i < n; i++) out[i] = static_cast<unsigned char>(value >> (8 * (n - 1 - i)));
}

}  // namespace ada
