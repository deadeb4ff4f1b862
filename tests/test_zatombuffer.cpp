#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orbcmn/zatombuffer.h"

namespace {

using Bytes = std::vector<unsigned char>;
using uc = unsigned char;
using us = unsigned short;

Bytes Content(const ZBuffer& b) {
  const unsigned char* p = b.GetBytePtr();
  return p == nullptr ? Bytes() : Bytes(p, p + b.GetLength());
}

// Runs one append on a fresh buffer and returns what it appended.
template <typename F>
Bytes Built(F append) {
  ZAtomBuffer b;
  append(b);
  return Content(b);
}

// Expects the bytes that one append call makes on a fresh buffer.
#define EXPECT_ATOM(call, ...) \
  EXPECT_EQ(Built([](ZAtomBuffer& b) { b.call; }), (Bytes{__VA_ARGS__}))

Bytes Join(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

// The one, two and four byte forms switch at fixed thresholds; the signed
// ones are one short of the type's range on both sides.
TEST(ZAtomBuffer, IntegerNarrowingThresholds) {
  EXPECT_ATOM(AppendAtom(1, 5, us(255)), 0x01, 0x05, 0x01, 0xFF);
  EXPECT_ATOM(AppendAtom(1, 5, 256ul), 0x01, 0x05, 0x02, 0x01, 0x00);
  EXPECT_ATOM(AppendAtom(1, 5, 65535ul), 0x01, 0x05, 0x02, 0xFF, 0xFF);
  EXPECT_ATOM(AppendAtom(1, 5, 65536ul), 0x01, 0x05, 0x04, 0x00, 0x01, 0x00, 0x00);
  // Only the low 32 bits of an unsigned long count.
  EXPECT_ATOM(AppendAtom(1, 5, 0xFFFFFFFFul), 0x01, 0x05, 0x04, 0xFF, 0xFF, 0xFF, 0xFF);

  EXPECT_ATOM(AppendAtom(1, 5, 126l), 0x01, 0x05, 0x01, 0x7E);
  EXPECT_ATOM(AppendAtom(1, 5, -127l), 0x01, 0x05, 0x01, 0x81);
  EXPECT_ATOM(AppendAtom(1, 5, 127l), 0x01, 0x05, 0x02, 0x00, 0x7F);
  EXPECT_ATOM(AppendAtom(1, 5, -128l), 0x01, 0x05, 0x02, 0xFF, 0x80);
  EXPECT_ATOM(AppendAtom(1, 5, 32766l), 0x01, 0x05, 0x02, 0x7F, 0xFE);
  EXPECT_ATOM(AppendAtom(1, 5, -32767l), 0x01, 0x05, 0x02, 0x80, 0x01);
  EXPECT_ATOM(AppendAtom(1, 5, 32767l), 0x01, 0x05, 0x04, 0x00, 0x00, 0x7F, 0xFF);
  EXPECT_ATOM(AppendAtom(1, 5, -32768l), 0x01, 0x05, 0x04, 0xFF, 0xFF, 0x80, 0x00);
  // A long is a 32-bit value: all 32 bits set is -1.
  EXPECT_ATOM(AppendAtom(1, 5, (long)0xFFFFFFFFl), 0x01, 0x05, 0x01, 0xFF);

  EXPECT_ATOM(AppendAtom(1, 5, (short)126), 0x01, 0x05, 0x01, 0x7E);
}

struct Swapper : ZAtomBuffer {
  template <typename T>
  static T Swapped(T v) {
    Swap(v);
    return v;
  }
};

TEST(ZAtomBuffer, SwapReversesThirtyTwoAndSixteenBitValues) {
  EXPECT_EQ(Swapper::Swapped(0x01020304ul), 0x04030201ul);
  // The sign comes from the new top byte.
  EXPECT_EQ(Swapper::Swapped(0x01020380l), static_cast<long>(INT32_MIN) + 0x00030201l);
  EXPECT_EQ(Swapper::Swapped(us(0x0102)), 0x0201);
  EXPECT_EQ(Swapper::Swapped(short(0x0180)), static_cast<short>(0x8001));
}

// The header forms are those of the shared atom header (see test_coding).
TEST(ZAtomBuffer, FixedAndCombinedForms) {
  EXPECT_ATOM(AppendAtom(0, 0x11, char(0)), 0x00, 0x11, 0x01, 0x00);
  EXPECT_ATOM(AppendAtom(127, 255), 0xF8, 0x1F, 0xFF, 0x00);
  EXPECT_ATOM(AppendAtom(1, 2, uc(1), uc(2)), 0x01, 0x02, 0x02, 0x01, 0x02);
  EXPECT_ATOM(AppendAtom(1, 2, uc(1), uc(2), uc(3)), 0x01, 0x02, 0x03, 0x01, 0x02, 0x03);
  EXPECT_ATOM(AppendAtom(1, 2, uc(1), uc(2), us(0x0304)), 0x01, 0x02, 0x04, 0x01, 0x02, 0x03, 0x04);
  EXPECT_ATOM(AppendAtom(1, 2, us(0x0102), us(0x0304)), 0x01, 0x02, 0x04, 0x01, 0x02, 0x03, 0x04);
  EXPECT_ATOM(AppendAtom(1, 2, us(1), us(0x0203), us(0xFFFF)), 0x01, 0x02, 0x06, 0x00, 0x01, 0x02,
              0x03, 0xFF, 0xFF);
  EXPECT_ATOM(AppendAtom(1, 2, 0x01020304ul, 0x05060708ul), 0x01, 0x02, 0x08, 0x01, 0x02, 0x03,
              0x04, 0x05, 0x06, 0x07, 0x08);
  EXPECT_ATOM(AppendAtom(1, 2, (const unsigned char*)"\xff", 1), 0x01, 0x02, 0x01, 0xFF);
  EXPECT_ATOM(AppendAtom(1, 2, char(0x78), "ab", 2), 0x01, 0x02, 0x03, 0x78, 0x61, 0x62);
  EXPECT_ATOM(AppendAtom(1, 2, 0x01020304ul, "ab", 2), 0x01, 0x02, 0x06, 0x01, 0x02, 0x03, 0x04,
              0x61, 0x62);
  EXPECT_ATOM(AppendAtom(1, 2, "ab", 2, 0x01020304ul), 0x01, 0x02, 0x06, 0x61, 0x62, 0x01, 0x02,
              0x03, 0x04);
  // Red, green, blue from the low byte up; the fourth byte does not count.
  EXPECT_ATOM(AppendAtomColor(3, 1, 0xAA0080FFul), 0x03, 0x01, 0x03, 0xFF, 0x80, 0x00);
  // The combined forms count the leading value in the length: 128 takes
  // the two-byte length field. 32767 bytes are the most an atom holds.
  const std::string data(32767, 'd');
  EXPECT_EQ(Built([&](ZAtomBuffer& b) { b.AppendAtom(2, 9, 'c', data.data(), 127); }),
            Join({0x02, 0x09, 0x80, 0x80, 'c'}, Bytes(data.begin(), data.begin() + 127)));
  EXPECT_EQ(Built([&](ZAtomBuffer& b) { b.AppendAtom(2, 9, data.data(), 32767); }),
            Join({0x02, 0x09, 0xFF, 0xFF}, Bytes(data.begin(), data.end())));
}

TEST(ZAtomBuffer, BufferArguments) {
  EXPECT_ATOM(AppendAtom(40, 6, ZBuffer()), 0xE8, 0x08, 0x06, 0x00);

  ZAtomBuffer inner;
  inner.AppendAtom(1, 2, char('a'));
  inner.AppendAtom(3, 4);
  ZAtomBuffer outer;
  outer.AppendAtom(5, 6, inner);
  outer.AppendAtom(7, 8, ZBuffer("xyz", 3));
  EXPECT_EQ(Content(outer), (Bytes{0x05, 0x06, 0x07, 0x01, 0x02, 0x01, 'a', 0x03, 0x04, 0x00, 0x07,
                                   0x08, 0x03, 'x', 'y', 'z'}));
  inner = outer;
  EXPECT_EQ(Content(inner), Content(outer));

  // A buffer nested into itself takes its content before the header goes in,
  // even when the block has to grow for it.
  ZAtomBuffer self;
  self.AppendAtom(1, 1, "0123456789abc", 13);
  Bytes before = Content(self);
  self.AppendAtom(2, 2, self);
  EXPECT_EQ(Content(self), Join(before, Join({0x02, 0x02, 16}, before)));
  // Or compact: 6 bytes behind 7 dropped ones in a block of 16 move to its
  // start, and the header lands where they were.
  ZAtomBuffer moved;
  moved.AppendAtom(1, 1, "0123456789", 10);
  moved.Remove(1, 7);
  moved.AppendAtom(2, 2, moved);
  EXPECT_EQ(Content(moved),
            (Bytes{'4', '5', '6', '7', '8', '9', 2, 2, 6, '4', '5', '6', '7', '8', '9'}));
}

TEST(ZAtomBuffer, OutOfLimitsIsRefused) {
  std::string big(32768, 'x');
  ZAtomBuffer b;
  b.AppendAtom(128, 1);
  b.AppendAtom(-1, 1);
  b.AppendAtom(1, 256);
  b.AppendAtom(1, 1, big.data(), 32768);
  b.AppendAtom(1, 1, big.data(), -1);
  b.AppendAtom(1, 1, static_cast<const char*>(nullptr), 1);
  b.AppendAtom(1, 1, 'c', nullptr, 1);
  b.AppendAtom(1, 1, 'c', big.data(), 32767);
  b.AppendAtom(1, 1, 7ul, big.data(), 32764);
  b.AppendAtom(1, 1, big.data(), 32764, 7ul);
  b.AppendAtom(1, 1, 'c', big.data(), 0x7FFFFFFF);
  b.AppendAtom(1, 1, ZBuffer(big.data(), 32768));
  EXPECT_EQ(Content(b), Bytes());

  // A null pointer with no bytes is an empty atom.
  b.AppendAtom(1, 2, static_cast<const char*>(nullptr), 0);
  EXPECT_EQ(Content(b), (Bytes{0x01, 0x02, 0x00}));
}

}  // namespace
