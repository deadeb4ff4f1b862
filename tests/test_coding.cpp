// The shared byte forms: the length field, and every row of the atom header
// format with what the strict and the lenient reader each take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lib/coding.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string Hex(const unsigned char* p, size_t n) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  for (size_t i = 0; i < n; i++)
    s += std::string(i ? " " : "") + digits[p[i] >> 4] + digits[p[i] & 15];
  return s;
}

// The length field on its own: no bytes, or a long form cut short, read
// nothing and leave the length alone.
TEST(Coding, LengthFieldLenient) {
  size_t length = 99;
  const unsigned char cut[] = {0x81};
  EXPECT_TRUE(orb::ReadLengthFieldLenient(cut, 0, &length) == 0u &&
              orb::ReadLengthFieldLenient(cut, 1, &length) == 0u && length == 99u);
}

// One row per form the builder writes: protocol bytes, atom, length field.
TEST(Coding, HeaderRowsWrittenAndReadBack) {
  const struct {
    unsigned protocol, atom;
    size_t length;
    const char* hex;
  } rows[] = {
      {0, 2, 0, "00 02 00"},           {31, 255, 1, "1F FF 01"},     {32, 3, 127, "E8 00 03 7F"},
      {63, 3, 0, "E8 1F 03 00"},       {64, 3, 0, "F0 00 03 00"},    {96, 3, 0, "F8 00 03 00"},
      {127, 3, 128, "F8 1F 03 80 80"}, {1, 5, 32767, "01 05 FF FF"}, {14, 0x22, 200, "0E 22 80 C8"},
  };
  for (const auto& r : rows) {
    const orb::AtomHeader h = {r.protocol, r.atom, r.length};
    unsigned char out[orb::kMaxAtomHeaderSize];
    size_t n = orb::PutAtomHeader(out, h);
    EXPECT_TRUE(Hex(out, n) == r.hex && orb::AtomHeaderSize(h) == n) << r.hex;
    for (auto read : {orb::ReadAtomHeaderStrict, orb::ReadAtomHeaderLenient}) {
      orb::AtomHeader back = {};
      size_t size = 0;
      EXPECT_TRUE(read(out, n, &back, &size) == orb::HeaderFault::kNone && size == n &&
                  back.protocol == r.protocol && back.atom == r.atom && back.length == r.length)
          << r.hex;
    }
  }
}

// What each reader refuses (kNone where a reader takes the bytes), and the
// header it reads: the lenient reader takes the long forms of short values,
// the strict one names the length it refuses.
TEST(Coding, HeaderRefusals) {
  using F = orb::HeaderFault;
  const struct {
    Bytes bytes;
    F strict, lenient;
    unsigned protocol, length;
  } cases[] = {
      {{}, F::kEndsInHeader, F::kEndsInHeader, 0, 0},
      {{0x20, 1, 0}, F::kFirstByte, F::kFirstByte, 0, 0},  // 001ppppp
      {{0xC0, 1, 0}, F::kFirstByte, F::kFirstByte, 0, 0},  // 110ppppp
      {{0xE4, 0, 1, 0}, F::kFirstByte, F::kFirstByte, 0, 0},
      {{0xE9, 0, 1, 0}, F::kFirstByte, F::kFirstByte, 0, 0},
      {{0xE8, 0x20, 1, 0}, F::kSecondByte, F::kSecondByte, 0, 0},
      {{0xE8, 0x01}, F::kEndsInHeader, F::kEndsInHeader, 0, 0},
      {{0x01, 0x02}, F::kEndsBeforeLength, F::kEndsBeforeLength, 0, 0},
      {{0x01, 0x02, 0x80}, F::kEndsInLength, F::kEndsInLength, 0, 0},
      {{0xE0, 0x05, 0x02, 0x00}, F::kFirstByte, F::kNone, 5, 0},
      {{0x01, 0x02, 0x80, 0x7F}, F::kLongFormLength, F::kNone, 1, 127},
  };
  for (const auto& c : cases) {
    const std::string hex = Hex(c.bytes.data(), c.bytes.size());
    orb::AtomHeader h = {};
    size_t size = 0;
    auto read = [&](auto reader) { return reader(c.bytes.data(), c.bytes.size(), &h, &size); };
    EXPECT_EQ(read(orb::ReadAtomHeaderStrict), c.strict) << hex;
    EXPECT_TRUE(c.strict != F::kLongFormLength || h.length == c.length) << hex;
    EXPECT_EQ(read(orb::ReadAtomHeaderLenient), c.lenient) << hex;
    EXPECT_TRUE(c.lenient != F::kNone ||
                (h.protocol == c.protocol && h.atom == 2 && h.length == c.length && size == 4))
        << hex;
  }
}

}  // namespace
