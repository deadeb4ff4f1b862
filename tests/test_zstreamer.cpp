// The binary streamer: tagged big-endian values, the header, the sticky
// error flag and object identities.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

class StreamerTest : public testing::Test {
 protected:
  // Opens path for writing and returns the saving streamer's bytes after
  // `body` ran on it.
  template <typename Body>
  Bytes Save(Body body) {
    std::string path = dir_.File("save.bin");
    ZFile file;
    EXPECT_TRUE(file.Open(path.c_str(), ZFile::eWrite, ZFile::eBinary));
    {
      ZStreamer s(&file, true);
      body(s);
    }
    file.Close();
    return ReadBytes(path);
  }

  // Opens a loading streamer over bytes.
  bool OpenLoad(const Bytes& bytes) {
    std::string path = dir_.File("load.bin");
    return WriteBytes(path, bytes) && file_.Open(path.c_str(), ZFile::eRead, ZFile::eBinary);
  }

  TempDir dir_;
  ZFile file_;
};

TEST_F(StreamerTest, TypedValuesAreTaggedAndBigEndian) {
  Bytes bytes = Save([](ZStreamer& s) {
    EXPECT_TRUE(s.Saving());
    EXPECT_TRUE(s.Write(static_cast<unsigned short>(0x1234)));
    EXPECT_TRUE(s.Write(-1L));
    EXPECT_TRUE(s.Write(static_cast<long>(INT32_MIN)));  // the low 32 bits only
    EXPECT_TRUE(s.Write(1.0));
    EXPECT_TRUE(s.Write(static_cast<unsigned char>(0xAB)));
    EXPECT_TRUE(s.Write(static_cast<signed char>(-2)));
    EXPECT_TRUE(s.Write(static_cast<short>(-3)));
    EXPECT_TRUE(s.Write(0x89ABCDEFul));
    EXPECT_TRUE(s.Write(1.5f));
    EXPECT_TRUE(s.Null());
    EXPECT_TRUE(s.Write(0L));
    EXPECT_TRUE(s.Schema(static_cast<short>(0x0102)));
    EXPECT_FALSE(s.Error());
  });
  Bytes expected = {0x00, 0x01,                                                  // header
                    0xFF, 0xED, 0x12, 0x34,                                      // unsigned short
                    0xFF, 0xEA, 0xFF, 0xFF, 0xFF, 0xFF,                          // long -1
                    0xFF, 0xEA, 0x80, 0x00, 0x00, 0x00,                          // INT32_MIN
                    0xFF, 0xF0, 0x3F, 0xF0, 0,    0,    0,    0,    0, 0,        // double 1.0
                    0xFF, 0xEF, 0xAB,                                            // unsigned char
                    0xFF, 0xEE, 0xFE,                                            // signed char
                    0xFF, 0xEC, 0xFF, 0xFD,                                      // short
                    0xFF, 0xEB, 0x89, 0xAB, 0xCD, 0xEF,                          // unsigned long
                    0xFF, 0xE9, 0x3F, 0xC0, 0x00, 0x00,                          // float 1.5
                    0xFF, 0xEA, 0,    0,    0,    0,    0xFF, 0xEA, 0, 0, 0, 0,  // Null, long 0
                    0x01, 0x02};                                                 // schema value
  EXPECT_EQ(bytes, expected);

  ASSERT_TRUE(OpenLoad(bytes));
  ZStreamer s(&file_, false);
  EXPECT_FALSE(s.Saving());
  unsigned short us = 0;
  long l = 0;
  double d = 0;
  unsigned char uc = 0;
  signed char sc = 0;
  short sh = 0;
  unsigned long ul = 0;
  float f = 0;
  long low = 0;
  EXPECT_TRUE(s.Read(us));
  EXPECT_TRUE(s.Read(l));
  EXPECT_TRUE(s.Read(low));
  EXPECT_TRUE(s.Read(d));
  EXPECT_TRUE(s.Read(uc));
  EXPECT_TRUE(s.Read(sc));
  EXPECT_TRUE(s.Read(sh));
  EXPECT_TRUE(s.Read(ul));
  EXPECT_TRUE(s.Read(f));
  EXPECT_EQ(us, 0x1234);
  EXPECT_EQ(l, -1L);  // widened with its sign
  EXPECT_EQ(low, static_cast<long>(INT32_MIN));
  EXPECT_EQ(d, 1.0);
  EXPECT_EQ(uc, 0xAB);
  EXPECT_EQ(sc, -2);
  EXPECT_EQ(sh, -3);
  EXPECT_EQ(ul, 0x89ABCDEFul);
  EXPECT_EQ(f, 1.5f);
  EXPECT_TRUE(s.Read(l));
  EXPECT_EQ(l, 0);
  EXPECT_TRUE(s.Read(l));
  EXPECT_EQ(s.Schema(), 0x0102);
  EXPECT_FALSE(s.Error());
}

TEST_F(StreamerTest, WrongTagConsumesTheTagOnly) {
  ASSERT_TRUE(OpenLoad({0x00, 0x01, 0xFF, 0xED, 0x12, 0x34}));
  ZStreamer s(&file_, false);
  short value = 5;
  EXPECT_FALSE(s.Read(value));
  EXPECT_EQ(value, 5);
  EXPECT_FALSE(s.Error());
  // The two tag bytes are gone: what follows is the value.
  unsigned char raw[2] = {0, 0};
  EXPECT_TRUE(s.Read(raw, 2, false));
  EXPECT_EQ(raw[0], 0x12);
  EXPECT_EQ(raw[1], 0x34);
}

TEST_F(StreamerTest, ErrorsAreSticky) {
  // A wrong header, a short read, an empty stream and a missing file fail
  // the streamer and everything after it.
  ASSERT_TRUE(OpenLoad({0x00, 0x02, 0xFF, 0xEA, 0, 0, 0, 1}));
  {
    ZStreamer s(&file_, false);
    EXPECT_TRUE(s.Error());
    long l = 7;
    EXPECT_FALSE(s.Read(l));
    EXPECT_EQ(l, 7);
    EXPECT_EQ(s.Schema(), -1);
    char raw[2];
    EXPECT_FALSE(s.Read(raw, 2, false));
  }
  file_.Close();
  ASSERT_TRUE(OpenLoad({0x00, 0x01, 0xFF, 0xEA, 0x00, 0x00}));
  {
    ZStreamer s(&file_, false);
    EXPECT_FALSE(s.Error());
    long l = 0;
    EXPECT_FALSE(s.Read(l));
    EXPECT_TRUE(s.Error());
    EXPECT_EQ(s.Schema(), -1);
  }
  file_.Close();
  ASSERT_TRUE(OpenLoad({}));
  ZStreamer t(&file_, false);
  EXPECT_TRUE(t.Error());
  ZStreamer u(nullptr, true);
  EXPECT_TRUE(u.Error());
  EXPECT_FALSE(u.Write(1L));

  // A stream opened for reading refuses the header: every later write fails.
  std::string path = dir_.File("ro.bin");
  ASSERT_TRUE(WriteBytes(path, {0x41}));
  ZFile file;
  ASSERT_TRUE(file.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  {
    ZStreamer s(&file, true);
    EXPECT_TRUE(s.Error());
    EXPECT_FALSE(s.Write(1L));
    EXPECT_FALSE(s.Schema(1));
    EXPECT_FALSE(s.Null());
  }
  file.Close();
  EXPECT_EQ(ReadBytes(path), Bytes({0x41}));

  // Fail marks a healthy stream failed.
  Bytes bytes = Save([](ZStreamer& s) {
    s.Fail();
    EXPECT_TRUE(s.Error());
    EXPECT_FALSE(s.Write(1L));
  });
  EXPECT_EQ(bytes, Bytes({0x00, 0x01}));
}

TEST_F(StreamerTest, SwappedItemsAboveEightBytesAreRefused) {
  unsigned char nine[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_FALSE(s.Write(nine, 9, true));
    EXPECT_FALSE(s.Error());
    EXPECT_TRUE(s.Write(nine, 9, false));
    EXPECT_TRUE(s.Write(nine, 3, true));
  });
  EXPECT_EQ(bytes, Bytes({0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 3, 2, 1}));
  EXPECT_EQ(nine[0], 1);  // the caller's bytes are not reversed

  ASSERT_TRUE(OpenLoad(bytes));
  ZStreamer s(&file_, false);
  unsigned char in[9] = {};
  EXPECT_FALSE(s.Read(in, 9, true));
  EXPECT_FALSE(s.Error());
  EXPECT_TRUE(s.Read(in, 9, false));
  EXPECT_EQ(in[8], 9);
  EXPECT_TRUE(s.Read(in, 3, true));
  EXPECT_EQ(in[0], 1);
  EXPECT_EQ(in[2], 3);
}

TEST_F(StreamerTest, IdentifiersNumberObjectsInOrderOfFirstAppearance) {
  int a = 0, b = 0;
  auto body = [&](ZStreamer& s) {
    EXPECT_TRUE(s.WriteUID(&a));
    EXPECT_TRUE(s.WriteUID(&b));
    EXPECT_FALSE(s.WriteUID(&a));
    EXPECT_FALSE(s.WriteUID(&b));
  };
  Bytes bytes = Save(body);
  Bytes expected = {0x00, 0x01,                                      // header
                    0xFF, 0xEB, 0, 0, 0, 1, 0xFF, 0xEB, 0, 0, 0, 2,  // first appearances
                    0xFF, 0xEB, 0, 0, 0, 1, 0xFF, 0xEB, 0, 0, 0, 2};
  EXPECT_EQ(bytes, expected);
  // Saving the same objects again gives the same bytes.
  EXPECT_EQ(Save(body), bytes);
}

TEST_F(StreamerTest, ManyObjectsKeepDistinctIdentifiers) {
  // Adjacent addresses (embedded objects sit a few bytes apart) must not
  // share an identifier.
  static char block[4096];
  Bytes bytes = Save([](ZStreamer& s) {
    for (int i = 0; i < 4096; i++) EXPECT_TRUE(s.WriteUID(block + i));
    for (int i = 4095; i >= 0; i -= 7) EXPECT_FALSE(s.WriteUID(block + i));
  });
  ASSERT_TRUE(OpenLoad(bytes));
  ZStreamer s(&file_, false);
  for (unsigned long i = 1; i <= 4096; i++) {
    unsigned long id = 0;
    ASSERT_TRUE(s.Read(id));
    ASSERT_EQ(id, i);
  }
  for (int i = 4095; i >= 0; i -= 7) {
    unsigned long id = 0;
    ASSERT_TRUE(s.Read(id));
    ASSERT_EQ(id, static_cast<unsigned long>(i + 1));
  }
}

TEST_F(StreamerTest, ReadUIDRegistersBeforeTheRecord) {
  ASSERT_TRUE(OpenLoad({0x00, 0x01, 0xFF, 0xEB, 0, 0, 0, 7,    0xFF, 0xEB, 0, 0, 0,
                        9,    0xFF, 0xEB, 0,    0, 0, 7, 0xFF, 0xEA, 0,    0, 0, 7}));
  ZStreamer s(&file_, false);
  int a = 0, b = 0, c = 0;
  EXPECT_EQ(s.ReadUID(&a), nullptr);  // new: the caller reads a's record
  EXPECT_EQ(s.ReadUID(&b), nullptr);
  EXPECT_EQ(s.ReadUID(&c), &a);  // a back-reference
  EXPECT_FALSE(s.Error());
  // Not an identifier: the stream is out of step and marked failed.
  EXPECT_EQ(s.ReadUID(&c), nullptr);
  EXPECT_TRUE(s.Error());
}

TEST_F(StreamerTest, ReadUIDRefusesAnObjectOfAnotherKind) {
  ASSERT_TRUE(OpenLoad(
      {0x00, 0x01, 0xFF, 0xEB, 0, 0, 0, 3, 0xFF, 0xEB, 0, 0, 0, 3, 0xFF, 0xEB, 0, 0, 0, 3}));
  ZStreamer s(&file_, false);
  int a = 0, b = 0;
  int kindA = 0, kindB = 0;
  EXPECT_EQ(s.ReadUID(&a, &kindA), nullptr);
  EXPECT_EQ(s.ReadUID(&b, &kindA), &a);
  EXPECT_FALSE(s.Error());
  EXPECT_EQ(s.ReadUID(&b, &kindB), nullptr);
  EXPECT_TRUE(s.Error());
}

}  // namespace
