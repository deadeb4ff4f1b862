// The shared byte forms: the length field, and every row of the atom header
// format with what the strict and the lenient reader each take.
#include <gtest/gtest.h>

#include <vector>

#include "lib/coding.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The length field on its own: no bytes, or a long form cut short, read
// nothing and leave the length alone.
TEST(Coding, LengthFieldLenient) {
  size_t length = 99;
  const unsigned char cut[] = {0x81};
  EXPECT_TRUE(orb::ReadLengthFieldLenient(cut, 0, &length) == 0u &&
              orb::ReadLengthFieldLenient(cut, 1, &length) == 0u && length == 99u);
}

// Each row: bytes, what the strict and the lenient reader make of them, and
// the header read (also where the strict reader refuses a long-form length).
// The builder writes exactly the bytes the strict reader takes.
TEST(Coding, AtomHeaderRows) {
  using F = orb::HeaderFault;
  const struct {
    Bytes bytes;
    F strict, lenient;
    unsigned protocol, atom;
    size_t length;
  } rows[] = {
      // One per form the builder writes: protocol bytes, atom, length field.
      {{0x00, 0x02, 0x00}, F::kNone, F::kNone, 0, 2, 0},
      {{0x1F, 0xFF, 0x01}, F::kNone, F::kNone, 31, 255, 1},
      {{0xE8, 0x00, 0x03, 0x7F}, F::kNone, F::kNone, 32, 3, 127},
      {{0xE8, 0x1F, 0x03, 0x00}, F::kNone, F::kNone, 63, 3, 0},
      {{0xF0, 0x00, 0x03, 0x00}, F::kNone, F::kNone, 64, 3, 0},
      {{0xF8, 0x00, 0x03, 0x00}, F::kNone, F::kNone, 96, 3, 0},
      {{0xF8, 0x1F, 0x03, 0x80, 0x80}, F::kNone, F::kNone, 127, 3, 128},
      {{0x01, 0x05, 0xFF, 0xFF}, F::kNone, F::kNone, 1, 5, 32767},
      {{0x0E, 0x22, 0x80, 0xC8}, F::kNone, F::kNone, 14, 0x22, 200},
      // Long forms of short values, which only the lenient reader takes.
      {{0xE0, 0x05, 0x02, 0x00}, F::kFirstByte, F::kNone, 5, 2, 0},
      {{0x01, 0x02, 0x80, 0x7F}, F::kLongFormLength, F::kNone, 1, 2, 127},
      // Refused by both.
      {{}, F::kEndsInHeader, F::kEndsInHeader, 0, 0, 0},
      {{0x20, 1, 0}, F::kFirstByte, F::kFirstByte, 0, 0, 0},  // 001ppppp
      {{0xC0, 1, 0}, F::kFirstByte, F::kFirstByte, 0, 0, 0},  // 110ppppp
      {{0xE4, 0, 1, 0}, F::kFirstByte, F::kFirstByte, 0, 0, 0},
      {{0xE9, 0, 1, 0}, F::kFirstByte, F::kFirstByte, 0, 0, 0},
      {{0xE8, 0x20, 1, 0}, F::kSecondByte, F::kSecondByte, 0, 0, 0},
      {{0xE8, 0x01}, F::kEndsInHeader, F::kEndsInHeader, 0, 0, 0},
      {{0x01, 0x02}, F::kEndsBeforeLength, F::kEndsBeforeLength, 0, 0, 0},
      {{0x01, 0x02, 0x80}, F::kEndsInLength, F::kEndsInLength, 0, 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(&r - rows);
    for (auto read : {orb::ReadAtomHeaderStrict, orb::ReadAtomHeaderLenient}) {
      orb::AtomHeader h = {};
      size_t size = 0;
      const F fault = read(r.bytes.data(), r.bytes.size(), &h, &size);
      EXPECT_EQ(fault, read == orb::ReadAtomHeaderStrict ? r.strict : r.lenient);
      if (fault != F::kNone && fault != F::kLongFormLength) continue;
      EXPECT_TRUE(h.protocol == r.protocol && h.atom == r.atom && h.length == r.length &&
                  size == r.bytes.size());
    }
    if (r.strict != F::kNone) continue;
    unsigned char out[orb::kMaxAtomHeaderSize];
    const orb::AtomHeader h = {r.protocol, r.atom, r.length};
    const size_t n = orb::PutAtomHeader(out, h);
    EXPECT_TRUE(Bytes(out, out + n) == r.bytes && orb::AtomHeaderSize(h) == n);
  }
}

}  // namespace
