// The binary streamer: tagged big-endian values, the header, the sticky
// error flag and object identities.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "orbcmn/orbcmn.h"
#include "support/streamfile.h"
#include "support/wine.h"

namespace {

class StreamerTest : public StreamFileTest {};

TEST_F(StreamerTest, TypedValuesAreTaggedAndBigEndian) {
  using Values = std::tuple<unsigned short, long, long, double, unsigned char, signed char, short,
                            unsigned long, float>;
  const Values values{0x1234, -1L, INT32_MIN, 1.0, 0xAB, -2, -3, 0x89ABCDEFul, 1.5f};
  // Swaps go through an 8-byte scratch area: nine swapped bytes are refused
  // without failing the stream.
  unsigned char nine[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(std::apply([&](auto... x) { return (s.Write(x) && ...); }, values) && s.Null() &&
                s.Schema(static_cast<short>(0x0102)));
    EXPECT_TRUE(!s.Write(nine, 9, true) && s.Write(nine, 9, false) && s.Write(nine, 3, true));
  });
  EXPECT_EQ(bytes, (Bytes{0x00, 0x01,                                      // header
                          0xFF, 0xED, 0x12, 0x34,                          // unsigned short
                          0xFF, 0xEA, 0xFF, 0xFF, 0xFF, 0xFF,              // long -1
                          0xFF, 0xEA, 0x80, 0x00, 0x00, 0x00,              // INT32_MIN
                          0xFF, 0xF0, 0x3F, 0xF0, 0,    0,    0, 0, 0, 0,  // double 1.0
                          0xFF, 0xEF, 0xAB,                                // unsigned char
                          0xFF, 0xEE, 0xFE,                                // signed char
                          0xFF, 0xEC, 0xFF, 0xFD,                          // short
                          0xFF, 0xEB, 0x89, 0xAB, 0xCD, 0xEF,              // unsigned long
                          0xFF, 0xE9, 0x3F, 0xC0, 0x00, 0x00,              // float 1.5
                          0xFF, 0xEA, 0,    0,    0,    0,                 // Null
                          0x01, 0x02,                                      // schema value
                          1,    2,    3,    4,    5,    6,    7, 8, 9, 3, 2, 1}));
  EXPECT_EQ(nine[0], 1);  // the caller's bytes are not reversed

  // Read back, longs widened with their sign; Null reads as the long 0.
  ZStreamer& s = Loader(bytes);
  Values back;
  long null = 1;
  EXPECT_TRUE(std::apply([&](auto&... x) { return (s.Read(x) && ...); }, back) && s.Read(null));
  EXPECT_EQ(back, values);
  EXPECT_TRUE(null == 0 && s.Schema() == 0x0102);
  unsigned char in[9] = {};
  EXPECT_TRUE(!s.Read(in, 9, true) && s.Read(in, 9, false) && s.Read(in, 3, true));
  EXPECT_TRUE(in[0] == 1 && in[2] == 3);
}

// A wrong tag fails the read only, consuming the tag; a short read, a wrong
// header or an empty stream fail the streamer and everything after.
TEST_F(StreamerTest, FailedReadsAndTheStickyErrorFlag) {
  ZStreamer& s = Loader({0x00, 0x01, 0xFF, 0xED, 0x12, 0x34, 0xFF, 0xEA, 0x00, 0x00});
  short value = 5;
  EXPECT_TRUE(!s.Read(value) && value == 5 && !s.Error());
  unsigned char raw[2] = {0, 0};  // what follows the tag is the value
  EXPECT_TRUE(s.Read(raw, 2, false) && raw[1] == 0x34);
  long l = 7;
  EXPECT_TRUE(!s.Read(l) && s.Error() && s.Schema() == -1);
  ZStreamer& t = Loader({0x00, 0x02, 0xFF, 0xEA, 0, 0, 0, 1});
  EXPECT_TRUE(t.Error() && !t.Read(l) && l == 7);
  EXPECT_TRUE(Loader({}).Error());
  // A write the disk refuses outside a record (too large to stage) fails.
  if (const char* device = FullDisk()) {
    ZFile full;
    ASSERT_TRUE(full.Open(device, ZFile::eWrite, ZFile::eBinary));
    ZStreamer f(&full, true);
    const Bytes big(65536);
    EXPECT_TRUE(!f.Write(big.data(), big.size(), false) && f.Error());
  }
}

// Objects are numbered 1, 2, 3 ... in order of first appearance; adjacent
// addresses (embedded objects) never share a number; saving again repeats.
TEST_F(StreamerTest, IdentifiersNumberObjectsInOrderOfFirstAppearance) {
  static char block[4096];
  auto body = [](ZStreamer& s) {
    for (int i = 0; i < 4096; i++) EXPECT_TRUE(s.WriteUID(block + i));
    for (int i = 4095; i >= 0; i -= 7) EXPECT_FALSE(s.WriteUID(block + i));
  };
  Bytes bytes = Save(body);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 14),
            (Bytes{0x00, 0x01, 0xFF, 0xEB, 0, 0, 0, 1, 0xFF, 0xEB, 0, 0, 0, 2}));
  EXPECT_EQ(Save(body), bytes);
  // Read back, a new identifier registers the object given, a repeated one
  // gives the object registered.
  ZStreamer& s = Loader(bytes);
  for (int i = 0; i < 4096; i++) ASSERT_EQ(s.ReadUID(block + i), nullptr);
  for (int i = 4095; i >= 0; i -= 7) ASSERT_EQ(s.ReadUID(nullptr), block + i);
  EXPECT_TRUE(s.ReadUID(block) == nullptr && s.Error());  // past the end
}

}  // namespace
