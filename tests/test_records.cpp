// The ZBuffer and ZString records and their protocol functions.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

class RecordsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ZMetaClass::Attach(); }

  template <typename Body>
  Bytes Save(Body body) {
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), ZFile::eWrite, ZFile::eBinary));
    {
      ZStreamer s(&file, true);
      body(s);
    }
    file.Close();
    return ReadBytes(path_);
  }

  // A loading streamer over bytes; it replaces the one before.
  ZStreamer& Loader(const Bytes& bytes) {
    loader_.reset();
    file_.Close();
    EXPECT_TRUE(WriteBytes(path_, bytes));
    EXPECT_TRUE(file_.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary));
    loader_.reset(new ZStreamer(&file_, false));
    return *loader_;
  }

  TempDir dir_;
  std::string path_ = dir_.File("rec.bin");
  ZFile file_;
  std::unique_ptr<ZStreamer> loader_;
};

TEST_F(RecordsTest, StringObjectBytes) {
  ZString ab("ab");
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZBuffer::Save(s, &ab)); });
  EXPECT_EQ(bytes, (Bytes{0x00, 0x01, 0xFF, 0xEA, 0x18, 0xF5, 0x7F, 0x00, 0xFF, 0xEB, 0,    0,
                          0,    1,    0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 0x61, 0x62}));

  // Stored through a ZBuffer pointer, it loads as a ZString (after Attach).
  ZBuffer* p = nullptr;
  ASSERT_TRUE(ZBuffer::Load(Loader(bytes), p));
  EXPECT_EQ(p->Class(), &ZString::c_ZString);
  EXPECT_EQ(*static_cast<ZString*>(p), "ab");
  delete p;
  // A stored ZString is not a ZBuffer by value: the class tag must be exactly
  // the object's.
  ZBuffer wrong;
  EXPECT_FALSE(ZBuffer::Load(Loader(bytes), wrong));

  // A stored ZBuffer is not a ZString.
  ZBuffer buffer("x", 1);
  ZString* q = nullptr;
  EXPECT_FALSE(ZString::Load(Loader(Save([&](ZStreamer& s) { ZBuffer::Save(s, &buffer); })), q));
  EXPECT_EQ(q, nullptr);
}

// An atom buffer and a compiled expression (whose string holds the text of
// its first atom) travel as a ZBuffer and a ZString.
TEST_F(RecordsTest, BufferRecordRoundTrip) {
  ZAtomBuffer atoms("\x00\xFF\n", 3);
  ZBuffer empty;
  ZRegExp regexp("ab");
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, atoms));
    EXPECT_TRUE(ZBuffer::Save(s, empty));
    EXPECT_TRUE(ZString::Save(s, regexp));
    EXPECT_TRUE(ZBuffer::Save(s, static_cast<ZBuffer*>(nullptr)));
  });
  EXPECT_EQ(bytes,
            (Bytes{0x00, 0x01,                                                       //
                   0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD, 0xFF, 0xEB, 0,    0,   0, 1,  // ZBuffer 1
                   0x00, 0x01, 0xFF, 0xED, 0x00, 0x03, 0x00, 0xFF, 0x0A,             //
                   0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD, 0xFF, 0xEB, 0,    0,   0, 2,  // ZBuffer 2
                   0x00, 0x01, 0xFF, 0xED, 0x00, 0x00,                               //
                   0xFF, 0xEA, 0x18, 0xF5, 0x7F, 0x00, 0xFF, 0xEB, 0,    0,   0, 3,  // ZString 3
                   0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'a',  'b',        //
                   0xFF, 0xEA, 0,    0,    0,    0}));                               // null
  ZStreamer& s = Loader(bytes);
  ZAtomBuffer a;
  ZBuffer b("kept", 4);
  ZString c;
  EXPECT_TRUE(ZBuffer::Load(s, a));
  EXPECT_TRUE(a == atoms);
  EXPECT_TRUE(ZBuffer::Load(s, b));  // length 0: unchanged
  EXPECT_TRUE(b == ZBuffer("kept", 4));
  EXPECT_TRUE(ZString::Load(s, c));
  EXPECT_EQ(c, "ab");
  ZBuffer* p = &a;
  EXPECT_TRUE(ZBuffer::Load(s, p));
  EXPECT_EQ(p, nullptr);
  EXPECT_FALSE(s.Error());
}

TEST_F(RecordsTest, RecordsAppendAndRejectWrongHeaders) {
  // A record of cd loads into a string holding ab as abcd.
  ZString str("ab");
  EXPECT_TRUE(str.File(Loader({0, 1, 0, 1, 0, 1, 0xFF, 0xED, 0, 2, 0x63, 0x64})));
  EXPECT_EQ(str, "abcd");
  // A string record whose first schema value is 2; a buffer record tagged FF
  // EB; a length beyond the end of the stream. Each keeps the content.
  EXPECT_FALSE(str.File(Loader({0, 1, 0, 2, 0, 1, 0xFF, 0xED, 0, 1, 0x63})));
  ZBuffer buf("ab", 2);
  EXPECT_FALSE(buf.File(Loader({0, 1, 0, 1, 0xFF, 0xEB, 0, 1, 0x63})));
  EXPECT_FALSE(loader_->Error());
  EXPECT_FALSE(buf.File(Loader({0, 1, 0, 1, 0xFF, 0xED, 0xFF, 0xFF, 0x63})));
  EXPECT_TRUE(loader_->Error());
  EXPECT_EQ(str, "abcd");
  EXPECT_TRUE(buf == ZBuffer("ab", 2));
}

TEST_F(RecordsTest, ObjectHeldByValueAppearsOnce) {
  ZString shared("s");
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZString::Save(s, &shared));
    EXPECT_TRUE(ZString::Save(s, &shared));
    EXPECT_FALSE(ZString::Save(s, shared));  // by value: written before
  });
  // The record once (tag, identifier, 2 + 2 + 4 + 1 bytes), then tag and
  // identifier twice.
  EXPECT_EQ(bytes.size(), 2u + 12 + 9 + 12 + 12);
  // By value the record appends; the back-reference after it is refused.
  ZStreamer& t = Loader(bytes);
  ZString into("x"), again;
  EXPECT_TRUE(ZString::Load(t, into));
  EXPECT_EQ(into, "xs");
  EXPECT_FALSE(ZString::Load(t, again));
}

// The length field has 16 bits: 65535 bytes fit, 65536 are refused after the
// tag and identifier.
TEST_F(RecordsTest, LongBuffersAreRefused) {
  std::string text(65536, 'x');
  ZBuffer large(text.data(), 65536);
  ZBuffer fits(text.data(), 65535);
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, fits));
    EXPECT_FALSE(s.Error());
    EXPECT_FALSE(ZBuffer::Save(s, large));
    EXPECT_TRUE(s.Error());
  });
  EXPECT_EQ(bytes.size(), 2u + 12 + 6 + 65535 + 12);
}

}  // namespace
