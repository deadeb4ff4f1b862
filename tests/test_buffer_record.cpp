// The ZBuffer and ZString records and their protocol functions.
#include <gtest/gtest.h>

#include <string>

#include "orbcmn/orbcmn.h"
#include "support/streamfile.h"

namespace {

class RecordsTest : public StreamFileTest {
 protected:
  static void SetUpTestSuite() { ZMetaClass::Attach(); }
};

// The class tag of a ZString ('S') or a ZBuffer, then an identifier.
Bytes Ref(char cls, unsigned char id) {
  return cls == 'S' ? Bytes{0xFF, 0xEA, 0x18, 0xF5, 0x7F, 0x00, 0xFF, 0xEB, 0, 0, 0, id}
                    : Bytes{0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD, 0xFF, 0xEB, 0, 0, 0, id};
}

// The stream header, then the parts.
Bytes Stream(std::initializer_list<Bytes> parts) {
  Bytes out = {0x00, 0x01};
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// An atom buffer and a compiled expression travel as a ZBuffer and a ZString.
TEST_F(RecordsTest, BufferRecordRoundTrip) {
  ZAtomBuffer atoms("\x00\xFF\n", 3);
  ZBuffer empty;
  ZRegExp regexp("ab");
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, atoms) && ZBuffer::Save(s, empty) && ZString::Save(s, regexp) &&
                ZBuffer::Save(s, static_cast<ZBuffer*>(nullptr)));
  });
  EXPECT_EQ(bytes, Stream({Ref('B', 1),
                           {0x00, 0x01, 0xFF, 0xED, 0x00, 0x03, 0x00, 0xFF, 0x0A},
                           Ref('B', 2),
                           {0x00, 0x01, 0xFF, 0xED, 0x00, 0x00},
                           Ref('S', 3),
                           {0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'a', 'b'},
                           {0xFF, 0xEA, 0, 0, 0, 0}}));  // null
  {
    // The record is handed to the file when its save ends.
    ZFile file;
    ASSERT_TRUE(file.Open(path_.c_str(), ZFile::eWrite, ZFile::eBinary));
    ZStreamer s(&file, true);
    EXPECT_TRUE(ZBuffer::Save(s, atoms) && file.Flush());
    EXPECT_EQ(file.GetLength(), 2 + 21);
  }
  ZStreamer& s = Loader(bytes);
  ZAtomBuffer a;
  ZBuffer b("kept", 4), *p = &a;
  ZString c;
  EXPECT_TRUE(ZBuffer::Load(s, a) && ZBuffer::Load(s, b) && ZString::Load(s, c) &&
              ZBuffer::Load(s, p));
  // Length 0 leaves a buffer unchanged.
  EXPECT_TRUE(a == atoms && b == ZBuffer("kept", 4) && c == "ab" && p == nullptr);
}

// A list ends at the null reference. A record of another class, or one cut
// short, fails and leaves the head as it was; what was made for it is gone.
// A failed element and unknown classes leave the stream usable.
TEST_F(RecordsTest, ListsOfBuffersAndStringsAndFailedElements) {
  const Bytes null = {0xFF, 0xEA, 0, 0, 0, 0};
  ZString marker;
  ZString* strings = &marker;
  ZBuffer* buffers = &marker;
  EXPECT_TRUE(ZString::LoadList(Loader(Stream({null})), &strings, 0));
  EXPECT_TRUE(ZBuffer::LoadList(Loader(Stream({null})), &buffers, 0));
  EXPECT_TRUE(strings == nullptr && buffers == nullptr);
  strings = &marker;
  EXPECT_FALSE(ZString::LoadList(
      Loader(Stream({Ref('B', 1), {0x00, 0x01, 0xFF, 0xED, 0x00, 0x01, 'x'}, null})), &strings, 0));
  EXPECT_FALSE(ZString::LoadList(
      Loader(Stream({Ref('S', 1), {0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'a'}})),
      &strings, 0));
  EXPECT_EQ(&marker, strings);

  // An element whose record fails is destroyed without failing the stream:
  // its identifier is forgotten, so a later reference to it reads as a new
  // object instead of handing out the destroyed one.
  const Bytes record = {0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x01};
  ZStreamer& s = Loader(
      Stream({Ref('S', 1), record, {'a'}, Ref('S', 2), {0x00, 0x02}, Ref('S', 2), record, {'b'}}));
  ZString *head = nullptr, *later = nullptr;
  EXPECT_TRUE(!ZString::LoadList(s, &head, 0) && !s.Error() && *head == "a");
  EXPECT_TRUE(ZString::Load(s, later) && *later == "b");
  delete head;
  delete later;
  // A class tag of no registered class, or an item that is no class tag,
  // reads as null.
  for (const Bytes& unknown :
       {Bytes{0x00, 0x01, 0xFF, 0xEA, 0, 0, 0x30, 0x39, 0xFF, 0xEB, 0, 0, 0, 1},
        Bytes{0x00, 0x01, 0xFF, 0xEB, 0x18, 0xF5, 0x7F, 0x00}}) {
    EXPECT_TRUE(ZString::Load(Loader(unknown), later) && later == nullptr && !loader_->Error());
  }
}

// Saved through a ZBuffer pointer a string keeps its class tag; saved again
// it is a back-reference, and by value it is refused. Loaded, it is an object
// of its own class.
TEST_F(RecordsTest, StoredClassAndIdentityOnLoad) {
  ZString shared("s");
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, &shared) && ZString::Save(s, &shared) &&
                !ZString::Save(s, shared));
  });
  // The record once, then two references.
  EXPECT_EQ(bytes, Stream({Ref('S', 1),
                           {0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x01, 's'},
                           Ref('S', 1),
                           Ref('S', 1)}));

  ZBuffer* p = nullptr;
  ASSERT_TRUE(ZBuffer::Load(Loader(bytes), p));
  EXPECT_TRUE(p->Class() == &ZString::c_ZString && *static_cast<ZString*>(p) == "s");
  delete p;
  ZBuffer wrong;  // by value the class tag must be exactly the object's
  EXPECT_FALSE(ZBuffer::Load(Loader(bytes), wrong));
  // By value the record appends; the back-reference after it is refused.
  ZStreamer& t = Loader(bytes);
  ZString into("x"), again;
  EXPECT_TRUE(ZString::Load(t, into) && into == "xs" && !ZString::Load(t, again));
  // A reference gives the object loaded before whatever class it names, as
  // long as the object is of the class asked for or derived from it; else it
  // is refused, and the stream goes on.
  ZStreamer& r = Loader(
      Stream({Ref('B', 1), {0x00, 0x01, 0xFF, 0xED, 0x00, 0x01, 'b'}, Ref('S', 1), Ref('S', 1)}));
  ZBuffer *plain = nullptr, *same = nullptr;
  ZString* named = nullptr;  // named a ZString, but it is a plain ZBuffer
  ASSERT_TRUE(ZBuffer::Load(r, plain));
  EXPECT_TRUE(!ZString::Load(r, named) && named == nullptr && !r.Error());
  EXPECT_TRUE(ZBuffer::Load(r, same) && same == plain);
  delete plain;
  // Schema value 2, a length tagged FF EB or past the end: content kept.
  for (const Bytes& bad : {Bytes{0, 1, 0, 2, 0, 1, 0xFF, 0xED, 0, 1, 0x63},
                           Bytes{0, 1, 0, 1, 0, 1, 0xFF, 0xEB, 0, 1, 0x63},
                           Bytes{0, 1, 0, 1, 0, 1, 0xFF, 0xED, 0xFF, 0xFF, 0x63}}) {
    EXPECT_TRUE(!into.File(Loader(bad)) && into == "xs");
  }
}

// The 16-bit length field: 65535 bytes fit, 65536 are refused after the tag
// and identifier, and fail the stream: nothing more is written.
TEST_F(RecordsTest, LongBuffersAreRefused) {
  std::string text(65536, 'x');
  ZBuffer large(text.data(), 65536), fits(text.data(), 65535);
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, fits) && !ZBuffer::Save(s, large) && s.Error() && !s.Write(1L));
  });
  EXPECT_EQ(bytes.size(), 2u + 12 + 6 + 65535 + 12);
}

}  // namespace
