// The ZBuffer and ZString records and their protocol functions.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>

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

  bool OpenLoad(ZFile& file, const Bytes& bytes) {
    return WriteBytes(path_, bytes) && file.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary);
  }

  TempDir dir_;
  std::string path_ = dir_.File("rec.bin");
};

// A string's record is its buffer's: Class() gives it as a buffer record.
static_assert(
    std::is_same<decltype(std::declval<ZString&>().Class()), ZBuffer::ZMetaZBuffer*>::value,
    "ZString::Class returns a ZBuffer record pointer");

const Bytes kStringTag = {0xFF, 0xEA, 0x18, 0xF5, 0x7F, 0x00};
const Bytes kBufferTag = {0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD};

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(RecordsTest, StringObjectBytes) {
  ZString ab("ab");
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZBuffer::Save(s, &ab)); });
  Bytes expected =
      Cat({{0x00, 0x01},
           kStringTag,
           {0xFF, 0xEB, 0, 0, 0, 1, 0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 0x61, 0x62}});
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(ZBuffer::c_ZBuffer.GetId(), 0x143BACDD);

  // Stored through a ZBuffer pointer, it loads as a ZString (after Attach).
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, bytes));
  ZStreamer s(&file, false);
  ZBuffer* p = nullptr;
  ASSERT_TRUE(ZBuffer::Load(s, p));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Class(), &ZString::c_ZString);
  EXPECT_EQ(*static_cast<ZString*>(p), "ab");
  delete p;
}

TEST_F(RecordsTest, BufferRecordRoundTrip) {
  ZBuffer empty;
  ZBuffer bytes3("\x00\xFF\n", 3);
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, bytes3));
    EXPECT_TRUE(ZBuffer::Save(s, empty));
    EXPECT_TRUE(ZBuffer::Save(s, static_cast<ZBuffer*>(nullptr)));
  });
  Bytes expected =
      Cat({{0x00, 0x01},
           kBufferTag,
           {0xFF, 0xEB, 0, 0, 0, 1, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x03, 0x00, 0xFF, 0x0A},
           kBufferTag,
           {0xFF, 0xEB, 0, 0, 0, 2, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x00},
           {0xFF, 0xEA, 0, 0, 0, 0}});
  EXPECT_EQ(bytes, expected);
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, bytes));
  ZStreamer s(&file, false);
  ZBuffer a, b("kept", 4);
  EXPECT_TRUE(ZBuffer::Load(s, a));
  EXPECT_TRUE(a == bytes3);
  EXPECT_TRUE(ZBuffer::Load(s, b));  // length 0: unchanged
  EXPECT_TRUE(b == ZBuffer("kept", 4));
  ZBuffer dummy;
  ZBuffer* p = &dummy;
  EXPECT_TRUE(ZBuffer::Load(s, p));
  EXPECT_EQ(p, nullptr);
  EXPECT_FALSE(s.Error());
}

TEST_F(RecordsTest, RecordsAppendAndRejectWrongHeaders) {
  // A record of cd loads into a string holding ab as abcd.
  Bytes cd = {0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 0x63, 0x64};
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, cd));
  {
    ZStreamer s(&file, false);
    ZString str("ab");
    EXPECT_TRUE(str.File(s));
    EXPECT_EQ(str, "abcd");
  }
  file.Close();
  // A string record whose first schema value is 2.
  ASSERT_TRUE(OpenLoad(file, {0x00, 0x01, 0x00, 0x02, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x01, 0x63}));
  {
    ZStreamer s(&file, false);
    ZString str("ab");
    EXPECT_FALSE(str.File(s));
    EXPECT_EQ(str, "ab");
  }
  file.Close();
  // A buffer record tagged FF EB.
  ASSERT_TRUE(OpenLoad(file, {0x00, 0x01, 0x00, 0x01, 0xFF, 0xEB, 0x00, 0x01, 0x63}));
  {
    ZStreamer s(&file, false);
    ZBuffer buf("ab", 2);
    EXPECT_FALSE(buf.File(s));
    EXPECT_TRUE(buf == ZBuffer("ab", 2));
    EXPECT_FALSE(s.Error());
  }
  file.Close();
  // A length beyond the end of the stream: a short read, the buffer keeps
  // its content.
  ASSERT_TRUE(OpenLoad(file, {0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0xFF, 0xFF, 0x63}));
  ZStreamer s(&file, false);
  ZBuffer buf("ab", 2);
  EXPECT_FALSE(buf.File(s));
  EXPECT_TRUE(buf == ZBuffer("ab", 2));
  EXPECT_TRUE(s.Error());
}

TEST_F(RecordsTest, ClassChecksOnLoad) {
  ZBuffer buffer("x", 1);
  ZString str("y");
  Bytes bytes = Save([&](ZStreamer& s) {
    ZBuffer::Save(s, &buffer);
    ZString::Save(s, str);
  });
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, bytes));
  ZStreamer s(&file, false);
  // A stored ZBuffer is not a ZString.
  ZString* p = nullptr;
  EXPECT_FALSE(ZString::Load(s, p));
  EXPECT_EQ(p, nullptr);
  file.Close();
  ASSERT_TRUE(file.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary));
  ZStreamer t(&file, false);
  // By value the class tag must be exactly the object's.
  ZString wrong;
  EXPECT_FALSE(ZBuffer::Load(t, wrong));
}

TEST_F(RecordsTest, SharedStringsLoadOnce) {
  ZString shared("s");
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZString::Save(s, &shared));
    EXPECT_TRUE(ZString::Save(s, &shared));
    EXPECT_FALSE(ZString::Save(s, shared));  // by value: written before
  });
  // The record once (tag, identifier, 2 + 2 + 4 + 1 bytes), then tag and
  // identifier twice.
  EXPECT_EQ(bytes.size(), 2u + 12 + 9 + 12 + 12);
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, bytes));
  ZStreamer s(&file, false);
  ZString* first = nullptr;
  ZString* second = nullptr;
  ASSERT_TRUE(ZString::Load(s, first));
  ASSERT_TRUE(ZString::Load(s, second));
  EXPECT_EQ(first, second);
  EXPECT_EQ(*first, "s");
  delete first;
  file.Close();

  // By value the record appends; the back-reference after it is refused.
  ASSERT_TRUE(file.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary));
  ZStreamer t(&file, false);
  ZString into("x"), again;
  EXPECT_TRUE(ZString::Load(t, into));
  EXPECT_EQ(into, "xs");
  EXPECT_FALSE(ZString::Load(t, again));
}

TEST_F(RecordsTest, AtomBufferAndRegExpTravelAsTheirBases) {
  ZAtomBuffer atoms("\x01\x02", 2);
  // A compiled expression's string holds the text of its first atom.
  ZRegExp regexp("ab");
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, static_cast<ZBuffer*>(&atoms)));
    EXPECT_TRUE(ZString::Save(s, regexp));
    EXPECT_TRUE(s.Null());
  });
  EXPECT_EQ(bytes, Cat({{0x00, 0x01},
                        kBufferTag,
                        {0xFF, 0xEB, 0, 0, 0, 1, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 1, 2},
                        kStringTag,
                        {0xFF, 0xEB, 0, 0, 0, 2, 0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02},
                        {'a', 'b', 0xFF, 0xEA, 0, 0, 0, 0}}));
  ZFile file;
  ASSERT_TRUE(OpenLoad(file, bytes));
  ZStreamer s(&file, false);
  ZAtomBuffer intoAtoms;
  ZRegExp intoRegExp;
  EXPECT_TRUE(ZBuffer::Load(s, intoAtoms));
  EXPECT_TRUE(intoAtoms == atoms);
  EXPECT_TRUE(ZString::Load(s, intoRegExp));
  EXPECT_EQ(std::string(intoRegExp), "ab");
  // A list of only the null reference.
  ZBuffer stale;
  ZBuffer* head = &stale;
  EXPECT_TRUE(ZBuffer::LoadList(s, &head, 0));
  EXPECT_EQ(head, nullptr);
  EXPECT_FALSE(s.Error());
}

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
  // Header, then the record that fits, then only the tag and identifier of
  // the one that does not.
  EXPECT_EQ(bytes.size(), 2u + 12 + 6 + 65535 + 12);
}

}  // namespace
