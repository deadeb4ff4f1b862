// Review of files, the streamer, the registry and the buffer records from
// the caller's side: exact bytes on file and the documented failure rules.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }

class ReviewPersist : public testing::Test {
 protected:
  static void SetUpTestSuite() { ZMetaClass::Attach(); }

  // The bytes a saving streamer wrote while body ran on it.
  template <typename Body>
  Bytes Saved(Body body) {
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), 1, 0));
    {
      ZStreamer s(&file, true);
      body(s);
    }
    file.Close();
    return ReadBytes(path_);
  }

  // Runs body on a loading streamer over bytes.
  template <typename Body>
  void Loaded(const Bytes& bytes, Body body) {
    ASSERT_TRUE(WriteBytes(path_, bytes));
    ZFile file;
    ASSERT_TRUE(file.Open(path_.c_str(), 0, 0));
    ZStreamer s(&file, false);
    body(s);
  }

  TempDir dir_;
  std::string path_ = dir_.File("review.bin");
};

// A file owns its stream; a copy would close it a second time.
static_assert(!std::is_copy_constructible<ZFile>::value && !std::is_copy_assignable<ZFile>::value,
              "ZFile must not be copyable");

const Bytes kHeader = {0x00, 0x01};
const Bytes kStringTag = {0xFF, 0xEA, 0x18, 0xF5, 0x7F, 0x00};
const Bytes kBufferTag = {0xFF, 0xEA, 0x14, 0x3B, 0xAC, 0xDD};
const Bytes kNull = {0xFF, 0xEA, 0x00, 0x00, 0x00, 0x00};
Bytes Uid(unsigned char n) { return {0xFF, 0xEB, 0x00, 0x00, 0x00, n}; }

TEST_F(ReviewPersist, OpenModesFromNumbers) {
  ZFile file;
  ASSERT_TRUE(file.Open(path_.c_str(), 1, 0));  // wb
  EXPECT_EQ(file.Write("a\nb", 3), 3u);
  file.Close();
  ASSERT_TRUE(file.Open(path_.c_str(), 7, 0));  // ab
  EXPECT_EQ(file.Write("\r\nc", 3), 3u);
  file.Close();
  EXPECT_EQ(ReadBytes(path_), Of("a\nb\r\nc"));

  ASSERT_TRUE(file.Open(path_.c_str(), 0, 1));  // rt: CR LF reads as LF
  char got[8] = {};
  EXPECT_EQ(file.Read(got, sizeof got), 5u);
  EXPECT_EQ(std::string(got, 5), "a\nb\nc");
  file.Close();

  ASSERT_TRUE(file.Open(path_.c_str(), 1, 1));  // wt: LF writes as CR LF
  EXPECT_EQ(file.Write("x\n", 2), 2u);
  file.Close();
  EXPECT_EQ(ReadBytes(path_), Of("x\r\n"));

  EXPECT_TRUE(ZFile::Exists(path_.c_str()));
  EXPECT_TRUE(ZFile::Delete(path_.c_str()));
  EXPECT_FALSE(ZFile::Exists(path_.c_str()));
  EXPECT_FALSE(ZFile::Delete(path_.c_str()));
  EXPECT_FALSE(file.Open(path_.c_str(), 0, 0));
}

TEST_F(ReviewPersist, WholeFileReadStopsAt65000) {
  ZBuffer b("old", 3);
  ZFile file;
  ASSERT_TRUE(WriteBytes(path_, Bytes(64999, 'q')));
  ASSERT_TRUE(file.Open(path_.c_str(), 0, 0));
  EXPECT_EQ(file.GetLength(), 64999);
  EXPECT_TRUE(file.Read(b));
  EXPECT_EQ(b.GetLength(), 64999u);
  EXPECT_EQ(b.GetBytePtr()[64998], 'q');
  file.Close();

  ASSERT_TRUE(WriteBytes(path_, Bytes(65000, 'q')));
  ASSERT_TRUE(file.Open(path_.c_str(), 0, 0));
  EXPECT_FALSE(file.Read(b));
  file.Close();

  ASSERT_TRUE(WriteBytes(path_, Bytes()));
  ASSERT_TRUE(file.Open(path_.c_str(), 0, 0));
  EXPECT_TRUE(file.Read(b));
  EXPECT_TRUE(b.IsEmpty());
}

TEST_F(ReviewPersist, TextFileLinesAndPushBack) {
  ZTextFile text;
  ZString line;
  ASSERT_TRUE(WriteBytes(path_, Of("a\nb")));
  ASSERT_TRUE(text.Open(path_.c_str(), 0, 0));
  EXPECT_TRUE(text.ReadLine(line));
  EXPECT_EQ(std::string(line), "a");
  EXPECT_TRUE(text.UnreadLine(ZString("x")));
  EXPECT_TRUE(text.UnreadLine(ZString("y")));
  EXPECT_TRUE(text.ReadLine(line));
  EXPECT_EQ(std::string(line), "y");
  EXPECT_TRUE(text.ReadLine(line));
  EXPECT_EQ(std::string(line), "x");
  EXPECT_TRUE(text.ReadLine(line));
  EXPECT_EQ(std::string(line), "b");
  EXPECT_FALSE(text.ReadLine(line));
  EXPECT_TRUE(line.IsEmpty());
  EXPECT_FALSE(text.WriteLine(ZString("z")));
  text.Close();
  EXPECT_EQ(ReadBytes(path_), Of("a\nb"));

  // Binary mode keeps the CR; a line longer than the read buffer is whole.
  std::string longLine(20000, 'L');
  ASSERT_TRUE(WriteBytes(path_, Of("p\r\n" + longLine + "\r\n")));
  ZTextFile binary;
  ASSERT_TRUE(binary.Open(path_.c_str(), 0, 0));
  EXPECT_TRUE(binary.ReadLine(line));
  EXPECT_EQ(std::string(line), "p\r");
  EXPECT_TRUE(binary.ReadLine(line));
  EXPECT_EQ(std::string(line), longLine + "\r");
  EXPECT_FALSE(binary.ReadLine(line));
}

TEST_F(ReviewPersist, FileFindDirectoryOnlyBeforeABackslash) {
  ASSERT_TRUE(WriteBytes(dir_.File("one.txt"), Of("1")));
  std::string pattern = dir_.path() + "\\*.txt";
  ZFileFind find(pattern.c_str());
  ASSERT_TRUE(find.Next());
  EXPECT_EQ(std::string(find.GetPathName()), dir_.path() + "\\one.txt");
  EXPECT_FALSE(find.Next());

  // A slash does not make a directory part: names come back bare.
  std::string slashed = dir_.path() + "/*.txt";
  ZFileFind bare(slashed.c_str());
  ASSERT_TRUE(bare.Next());
  EXPECT_EQ(std::string(bare.GetPathName()), "one.txt");

  // A first Next that failed is tried afresh.
  std::string later = dir_.path() + "\\*.dat";
  ZFileFind retry(later.c_str());
  EXPECT_FALSE(retry.Next());
  ASSERT_TRUE(WriteBytes(dir_.File("two.dat"), Of("2")));
  ASSERT_TRUE(retry.Next());
  EXPECT_EQ(std::string(retry.GetPathName()), dir_.path() + "\\two.dat");
  EXPECT_TRUE(retry.Reset());
  EXPECT_TRUE(retry.Next());
}

TEST_F(ReviewPersist, StreamerTypedValueBytes) {
  Bytes bytes = Saved([](ZStreamer& s) {
    EXPECT_TRUE(s.Saving());
    EXPECT_TRUE(s.Write(static_cast<unsigned short>(0x1234)));
    EXPECT_TRUE(s.Write(-1L));
    EXPECT_TRUE(s.Write(1.0));
    EXPECT_TRUE(s.Null());
    EXPECT_TRUE(s.Write(0L));
    EXPECT_TRUE(s.Write(static_cast<unsigned char>(0x80)));
    EXPECT_TRUE(s.Write(static_cast<signed char>(-2)));
    EXPECT_TRUE(s.Write(static_cast<short>(-2)));
    EXPECT_TRUE(s.Write(0xFFFFFFFFul));
    EXPECT_TRUE(s.Write(1.0f));
    EXPECT_TRUE(s.Schema(static_cast<short>(0x0203)));
    EXPECT_FALSE(s.Error());
  });
  Bytes expected = Cat({kHeader,
                        {0xFF, 0xED, 0x12, 0x34},
                        {0xFF, 0xEA, 0xFF, 0xFF, 0xFF, 0xFF},
                        {0xFF, 0xF0, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0},
                        kNull,
                        kNull,
                        {0xFF, 0xEF, 0x80},
                        {0xFF, 0xEE, 0xFE},
                        {0xFF, 0xEC, 0xFF, 0xFE},
                        {0xFF, 0xEB, 0xFF, 0xFF, 0xFF, 0xFF},
                        {0xFF, 0xE9, 0x3F, 0x80, 0x00, 0x00},
                        {0x02, 0x03}});
  EXPECT_EQ(bytes, expected);

  Loaded(bytes, [](ZStreamer& s) {
    EXPECT_FALSE(s.Saving());
    EXPECT_FALSE(s.Error());
    short wrong = 7;
    EXPECT_FALSE(s.Read(wrong));  // the tag is FF ED: consumed, no error
    EXPECT_EQ(wrong, 7);
    EXPECT_FALSE(s.Error());
    unsigned char low = 0;
    EXPECT_FALSE(s.Read(low));  // reads 12 34 as a tag
    long l = 0;
    EXPECT_TRUE(s.Read(l));
    EXPECT_EQ(l, -1);
    double d = 0;
    EXPECT_TRUE(s.Read(d));
    EXPECT_EQ(d, 1.0);
  });
}

TEST_F(ReviewPersist, StreamerHeaderAndStickyErrors) {
  Loaded({0x00, 0x02, 0xFF, 0xEA, 0, 0, 0, 1}, [](ZStreamer& s) {
    EXPECT_TRUE(s.Error());
    long l = 5;
    EXPECT_FALSE(s.Read(l));
    EXPECT_EQ(s.Schema(), -1);
  });
  Loaded({0x00, 0x01, 0xFF, 0xEA, 0x00}, [](ZStreamer& s) {
    EXPECT_FALSE(s.Error());
    long l = 5;
    EXPECT_FALSE(s.Read(l));
    EXPECT_TRUE(s.Error());
    EXPECT_EQ(s.Schema(), -1);
  });
}

TEST_F(ReviewPersist, StreamerIdentities) {
  int a = 0, b = 0;
  Bytes bytes = Saved([&](ZStreamer& s) {
    EXPECT_TRUE(s.WriteUID(&a));
    EXPECT_TRUE(s.WriteUID(&b));
    EXPECT_FALSE(s.WriteUID(&a));
  });
  ASSERT_EQ(bytes.size(), 20u);
  EXPECT_EQ(Bytes(bytes.begin() + 2, bytes.begin() + 8), Bytes(bytes.begin() + 14, bytes.end()));
  EXPECT_NE(Bytes(bytes.begin() + 2, bytes.begin() + 8),
            Bytes(bytes.begin() + 8, bytes.begin() + 14));

  Loaded(bytes, [&](ZStreamer& s) {
    int x = 0, y = 0, z = 0;
    EXPECT_EQ(s.ReadUID(&x), nullptr);
    EXPECT_EQ(s.ReadUID(&y), nullptr);
    EXPECT_EQ(s.ReadUID(&z), &x);
  });
}

TEST_F(ReviewPersist, ClassIdsAndSubclassChecks) {
  EXPECT_EQ(ZBuffer::c_ZBuffer.GetId(), 339455197);
  EXPECT_EQ(ZString::c_ZString.GetId(), 418742016);
  EXPECT_EQ(ZAtomTable::c_ZAtomTable.GetId(), 52044730);
  EXPECT_TRUE(ZString::c_ZString.IsSubClass(ZBuffer::n_ZBuffer));
  EXPECT_TRUE(ZString::c_ZString.IsSubClass(ZString::n_ZString));
  EXPECT_FALSE(ZBuffer::c_ZBuffer.IsSubClass(ZString::n_ZString));
  std::string copy = "ZBuffer";
  EXPECT_FALSE(ZString::c_ZString.IsSubClass(copy.c_str()));
  ZBuffer::ZMetaZBuffer* asBuffer = ZString().Class();
  EXPECT_EQ(asBuffer, &ZString::c_ZString);
}

TEST_F(ReviewPersist, SubclassThroughBasePointerAndSharedObjects) {
  ZString ab("ab");
  ZBuffer plain("p", 1);
  Bytes bytes = Saved([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, static_cast<ZBuffer*>(&ab)));
    EXPECT_TRUE(ZBuffer::Save(s, static_cast<ZBuffer*>(&ab)));
    EXPECT_TRUE(ZBuffer::Save(s, &plain));
    EXPECT_TRUE(ZBuffer::Save(s, static_cast<ZBuffer*>(nullptr)));
  });
  Bytes record = {0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'a', 'b'};
  Bytes expected = Cat({kHeader,
                        kStringTag,
                        Uid(1),
                        record,
                        kStringTag,
                        Uid(1),
                        kBufferTag,
                        Uid(2),
                        {0x00, 0x01, 0xFF, 0xED, 0x00, 0x01, 'p'},
                        kNull});
  EXPECT_EQ(bytes, expected);

  Loaded(bytes, [](ZStreamer& s) {
    ZBuffer* first = nullptr;
    ZBuffer* second = nullptr;
    ZString* notString = nullptr;
    ASSERT_TRUE(ZBuffer::Load(s, first));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Class(), &ZString::c_ZString);
    EXPECT_EQ(std::string(*static_cast<ZString*>(first)), "ab");
    EXPECT_TRUE(ZBuffer::Load(s, second));
    EXPECT_EQ(second, first);
    // A stored ZBuffer is not a ZString: refused, pointer unchanged.
    EXPECT_FALSE(ZString::Load(s, notString));
    EXPECT_EQ(notString, nullptr);
    delete first;
  });
}

TEST_F(ReviewPersist, ByValueSavesOnceAndLoadsExactClass) {
  ZString ab("ab");
  Bytes bytes = Saved([&](ZStreamer& s) {
    EXPECT_TRUE(ZString::Save(s, ab));
    EXPECT_FALSE(ZString::Save(s, ab));
  });
  EXPECT_EQ(bytes, Cat({kHeader,
                        kStringTag,
                        Uid(1),
                        {0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'a', 'b'},
                        kStringTag,
                        Uid(1)}));
  Loaded(bytes, [](ZStreamer& s) {
    ZString into("x");
    EXPECT_TRUE(ZString::Load(s, into));
    EXPECT_EQ(std::string(into), "xab");  // the record appends
    ZString again;
    EXPECT_FALSE(ZString::Load(s, again));  // an identifier already loaded
  });
  // A by-value load wants exactly the object's own class.
  Loaded(bytes, [](ZStreamer& s) {
    ZBuffer buffer;
    EXPECT_FALSE(ZBuffer::Load(s, buffer));
  });
}

TEST_F(ReviewPersist, AtomBufferAndRegExpTravelAsTheirBases) {
  ZAtomBuffer atoms("\x01\x02", 2);
  // A compiled expression's string holds the text of its first atom.
  ZRegExp regexp("ab");
  Bytes bytes = Saved([&](ZStreamer& s) {
    EXPECT_TRUE(ZBuffer::Save(s, static_cast<ZBuffer*>(&atoms)));
    EXPECT_TRUE(ZString::Save(s, regexp));
  });
  EXPECT_EQ(bytes, Cat({kHeader,
                        kBufferTag,
                        Uid(1),
                        {0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 1, 2},
                        kStringTag,
                        Uid(2),
                        {0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'a', 'b'}}));
  Loaded(bytes, [](ZStreamer& s) {
    ZAtomBuffer intoAtoms;
    ZRegExp intoRegExp;
    EXPECT_TRUE(ZBuffer::Load(s, intoAtoms));
    EXPECT_EQ(intoAtoms.GetLength(), 2u);
    EXPECT_TRUE(ZString::Load(s, intoRegExp));
    EXPECT_EQ(std::string(intoRegExp), "ab");
  });
}

TEST_F(ReviewPersist, LoadListOfOnlyTheNullReference) {
  Loaded(Cat({kHeader, kNull}), [](ZStreamer& s) {
    ZBuffer stale;
    ZBuffer* head = &stale;
    EXPECT_TRUE(ZBuffer::LoadList(s, &head, 0));
    EXPECT_EQ(head, nullptr);
    EXPECT_FALSE(s.Error());
  });
}

TEST_F(ReviewPersist, BufferRecordsAppendAndCheckHeaders) {
  Bytes cd = Cat({kHeader, kBufferTag, Uid(1), {0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'c', 'd'}});
  Loaded(cd, [](ZStreamer& s) {
    ZBuffer ab("ab", 2);
    EXPECT_TRUE(ZBuffer::Load(s, ab));
    EXPECT_EQ(std::string(static_cast<char const*>(ab), ab.GetLength()), "abcd");
  });
  Bytes empty = Cat({kHeader, kBufferTag, Uid(1), {0x00, 0x01, 0xFF, 0xED, 0x00, 0x00}});
  Loaded(empty, [](ZStreamer& s) {
    ZBuffer ab("ab", 2);
    EXPECT_TRUE(ZBuffer::Load(s, ab));
    EXPECT_EQ(ab.GetLength(), 2u);
  });
  Bytes wrongTag = Cat({kHeader, kBufferTag, Uid(1), {0x00, 0x01, 0xFF, 0xEB, 0x00, 0x01, 'c'}});
  Loaded(wrongTag, [](ZStreamer& s) {
    ZBuffer ab("ab", 2);
    EXPECT_FALSE(ZBuffer::Load(s, ab));
    EXPECT_EQ(ab.GetLength(), 2u);
  });
  Bytes stringSchema2 =
      Cat({kHeader, kStringTag, Uid(1), {0x00, 0x02, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x01, 'c'}});
  Loaded(stringSchema2, [](ZStreamer& s) {
    ZString ab("ab");
    EXPECT_FALSE(ZString::Load(s, ab));
    EXPECT_EQ(std::string(ab), "ab");
  });
}

}  // namespace
