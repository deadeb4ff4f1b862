// Atom tables on file: the bytes of each record, loading back, and what a
// damaged or hostile file does.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "orbcmn/zatomtable.h"
#include "orbcmn/zfile.h"
#include "orbcmn/zstreamer.h"

namespace {

// Class ids of the registered names.
constexpr uint32_t kTable = 52044730;
constexpr uint32_t kClass = 939673202;
constexpr uint32_t kProtocol = 400042522;
constexpr uint32_t kAtom = 35487628;
constexpr uint32_t kEnum = 954622280;
constexpr uint32_t kItem = 61330235;
constexpr uint32_t kMulti = 922356236;
constexpr uint32_t kString = 418742016;

// Builds the bytes of a stream item by item.
class Bytes {
 public:
  Bytes() { Schema(); }  // the stream header

  Bytes& Big16(uint32_t v) {
    const char b[2] = {static_cast<char>(v >> 8), static_cast<char>(v)};
    s_.append(b, 2);
    return *this;
  }
  Bytes& Big32(uint32_t v) { return Big16(v >> 16).Big16(v & 0xFFFF); }
  Bytes& Schema(int v = 1) { return Big16(v); }
  Bytes& U16(uint32_t v) { return Big16(0xFFED).Big16(v); }
  Bytes& U32(uint32_t v) { return Big16(0xFFEB).Big32(v); }
  Bytes& Object(uint32_t classId, uint32_t uid) { return Big16(0xFFEA).Big32(classId).U32(uid); }
  Bytes& Null() { return Big16(0xFFEA).Big32(0); }
  Bytes& Name(uint32_t uid, const std::string& text) {
    Object(kString, uid).Schema().Schema().U16(static_cast<uint32_t>(text.size()));
    s_ += text;
    return *this;
  }
  size_t size() const { return s_.size(); }
  void reserve(size_t n) { s_.reserve(n); }
  const std::string& str() const { return s_; }

 private:
  std::string s_;
};

class AtomFile : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/atomfileXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    for (const std::string& path : files_) std::remove(path.c_str());
    rmdir(dir_.c_str());
  }

  std::string Path(const char* name) {
    std::string path = dir_ + "/" + name;
    files_.push_back(path);
    return path;
  }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    return bytes;
  }

  static void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  // Saves the table through a fresh streamer; the file's bytes, or "" with
  // *ok false when the save failed.
  std::string Save(ZAtomTable& table, bool* ok = nullptr) {
    std::string path = Path("save.bin");
    ZFile file;
    EXPECT_TRUE(file.Open(path.c_str(), ZFile::eWrite, ZFile::eBinary));
    bool saved;
    {
      ZStreamer s(&file, true);
      saved = ZAtomTable::Save(s, table);
    }
    file.Close();
    if (ok != nullptr) {
      *ok = saved;
    } else {
      EXPECT_TRUE(saved);
    }
    return ReadAll(path);
  }

  // Loads a table from the bytes; the result of ZAtomTable::Load.
  bool Load(const std::string& bytes, ZAtomTable*& table) {
    std::string path = Path("load.bin");
    WriteAll(path, bytes);
    ZFile file;
    EXPECT_TRUE(file.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
    table = nullptr;
    bool loaded;
    {
      ZStreamer s(&file, false);
      loaded = ZAtomTable::Load(s, table);
    }
    file.Close();
    return loaded;
  }

  std::string dir_;
  std::vector<std::string> files_;
};

std::string Text(const ZString& s) {
  const char* p = s;
  return p == nullptr ? std::string() : std::string(p, s.GetLength());
}

// The atom (1, 2, 3) named ab with argument 0 type 5.
Bytes ExampleTable() {
  Bytes b;
  b.Object(kTable, 1).Schema();
  b.Object(kClass, 2).Schema().U16(1);
  b.Object(kProtocol, 3).Schema().U16(2);
  b.Object(kAtom, 4).Schema().U16(3).U16(5).U16(0).Name(5, "ab");
  b.Null().Null();  // enumerations, argument records
  b.Null();         // next atom
  b.Null();         // next protocol
  b.Null();         // next class
  return b;
}

TEST_F(AtomFile, EmptyTable) {
  ZAtomTable empty;
  Bytes expected;
  expected.Object(kTable, 1).Schema().Null();
  ASSERT_EQ(Save(empty), expected.str());

  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(expected.str(), loaded));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetFirstClass(), nullptr);
  delete loaded;
}

TEST_F(AtomFile, OneAtomExample) {
  ZAtomTable table;
  table.AddAtomA(1, 2, 3, ZString("AB"))->AddType(5, nullptr);
  ASSERT_EQ(Save(table), ExampleTable().str());

  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(ExampleTable().str(), loaded));
  ASSERT_NE(loaded, nullptr);
  ZClass* c = loaded->GetFirstClass();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetClass(), 1);
  EXPECT_EQ(c->Next(), nullptr);
  ZProtocol* p = c->GetFirstProtocol();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetProtocol(), 2);
  EXPECT_EQ(p->Next(), nullptr);
  ZAtom* a = p->GetFirstAtom();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetAtom(), 3);
  EXPECT_EQ(Text(a->GetName()), "ab");
  EXPECT_EQ(a->GetType(0), 5);
  EXPECT_EQ(a->GetFlags(), 0);
  EXPECT_EQ(a->GetProtocol(), 0);  // not stored
  EXPECT_EQ(a->GetEnum(0), nullptr);
  EXPECT_EQ(a->Next(), nullptr);
  EXPECT_EQ(loaded->GetAtom(ZString("ab")), a);
  delete loaded;
}

TEST_F(AtomFile, NamesLoadAsStored) {
  // A name is not lowered again on loading.
  Bytes b;
  b.Object(kTable, 1).Schema();
  b.Object(kClass, 2).Schema().U16(1);
  b.Object(kProtocol, 3).Schema().U16(2);
  b.Object(kAtom, 4).Schema().U16(3).U16(5).U16(0).Name(5, "AB");
  b.Null().Null().Null().Null().Null();
  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(b.str(), loaded));
  EXPECT_EQ(Text(loaded->GetName(1, 2, 3)), "AB");
  delete loaded;
}

TEST_F(AtomFile, ArgumentEnumerationIsABackReference) {
  ZAtomTable table;
  ZAtom* a = table.AddAtomA(1, 1, 1, ZString("x"));
  a->AddType(2, nullptr);
  ZEnum* e = a->AddEnum(1, ZEnum::eSingleValue);
  e->AddItem(ZString("On"), 0x80000001ul);
  a->AddType(7, e);

  Bytes expected;
  expected.Object(kTable, 1).Schema();
  expected.Object(kClass, 2).Schema().U16(1);
  expected.Object(kProtocol, 3).Schema().U16(1);
  expected.Object(kAtom, 4).Schema().U16(1).U16(2).U16(0).Name(5, "x");
  expected.Object(kEnum, 6).Schema().U16(1).U16(2);
  expected.Object(kItem, 7).Schema().U32(0x80000001ul).Name(8, "on").Null();  // item chain
  expected.Null();                                                            // next enum
  expected.Object(kMulti, 9).Schema().U16(7);
  expected.Object(kEnum, 6);  // the enumeration again: tag and identifier only
  expected.Null();            // next argument record
  expected.Null().Null().Null();
  ASSERT_EQ(Save(table), expected.str());

  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(expected.str(), loaded));
  const ZAtom* la = loaded->GetAtom(1, 1, 1);
  ASSERT_NE(la, nullptr);
  ASSERT_NE(la->GetEnum(0), nullptr);
  EXPECT_EQ(la->GetEnum(1), la->GetEnum(0));
  EXPECT_EQ(la->GetType(1), 7);
  ZEnum* le = la->GetEnum(1);
  EXPECT_EQ(le->GetSize(), 1);
  EXPECT_EQ(le->GetOperation(), ZEnum::eSingleValue);
  ASSERT_NE(le->GetItem(0), nullptr);
  EXPECT_EQ(le->GetItem(0)->GetValue(), 0x80000001ul);
  EXPECT_EQ(Text(le->GetItem(0)->GetName()), "on");
  EXPECT_EQ(le->GetItem(1), nullptr);
  delete loaded;
}

// A table with several of everything, in a known order.
void FillRich(ZAtomTable& t) {
  for (unsigned short c = 3; c > 0; --c) {
    for (unsigned short p = 1; p <= 3; ++p) {
      for (unsigned short n = 10; n < 13; ++n) {
        const std::string name = "Atom" + std::string(1, static_cast<char>('a' + n - 10));
        ZAtom* a = t.AddAtomA(c, p * 10, n, ZString(name.c_str()));
        a->AddFlag(static_cast<unsigned short>(c * 0x1001 + n));
        ZEnum* e0 = a->AddEnum(2, ZEnum::eBitFlags);
        e0->AddItem(ZString("bit0"), 1);
        e0->AddItem(ZString("bit1"), 2);
        a->AddType(static_cast<unsigned short>(n + 100), e0);
        a->AddType(4, nullptr);
        ZEnum* e2 = a->AddEnum(4, ZEnum::eBitFields);
        e2->AddItem(ZString("Low"), 0x00030001ul);
        e2->AddItem(ZString("high"), 0xFFFF0000ul);
        e2->AddItem(ZString("more"), 0xFFFFFFFFul);
        a->AddType(6, e2);
        a->AddType(0xFFFF, e0);
      }
    }
  }
  t.AddAtomA(7, 0, 0, ZString(""));  // an atom with nothing else
}

TEST_F(AtomFile, RoundTripRestoresEverything) {
  ZAtomTable table;
  FillRich(table);
  const std::string first = Save(table);

  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(first, loaded));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Save(*loaded), first);

  // Equal bytes on the second save mean every number, name and list order
  // came back; spot-check values and the shared enumerations.
  const ZAtom* a = loaded->GetAtom(2, 30, 11);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(Text(a->GetName()), "atomb");
  EXPECT_EQ(a->GetFlags(), 2 * 0x1001 + 11);
  EXPECT_EQ(a->GetType(0), 111);
  EXPECT_EQ(a->GetType(3), 0xFFFF);
  ASSERT_NE(a->GetEnum(2), nullptr);
  EXPECT_EQ(a->GetEnum(2)->GetItem(2)->GetValue(), 0xFFFFFFFFul);
  EXPECT_EQ(Text(a->GetEnum(2)->GetItem(0)->GetName()), "low");
  EXPECT_EQ(a->GetEnum(1), nullptr);
  EXPECT_EQ(a->GetEnum(3), a->GetEnum(0));
  EXPECT_NE(a->GetEnum(2), a->GetEnum(0));
  EXPECT_EQ(Text(loaded->GetFirstClass()->GetFirstProtocol()->GetFirstAtom()->GetName()), "atoma");
  EXPECT_EQ(loaded->GetFirstClass()->GetClass(), 3);
  delete loaded;
}

// Two classes; the second's first protocol holds three atoms. Returns the
// bytes and, in *cut, an offset inside the record of that third atom.
std::string TwoClasses(size_t* cut) {
  Bytes b;
  uint32_t uid = 1;
  b.Object(kTable, uid++).Schema();
  for (unsigned c = 1; c <= 2; ++c) {
    b.Object(kClass, uid++).Schema().U16(c);
    for (unsigned p = 1; p <= 2; ++p) {
      b.Object(kProtocol, uid++).Schema().U16(p);
      for (unsigned a = 1; a <= 3; ++a) {
        if (c == 2 && p == 1 && a == 3) *cut = b.size() + 17;
        b.Object(kAtom, uid).Schema().U16(a).U16(0).U16(0);
        b.Name(uid + 1, "n");
        uid += 2;
        b.Null().Null();
      }
      b.Null();  // end of atoms
    }
    b.Null();  // end of protocols
  }
  b.Null();  // end of classes
  return b.str();
}

TEST_F(AtomFile, TruncatedFileKeepsCompleteElementsOnly) {
  size_t cut = 0;
  const std::string whole = TwoClasses(&cut);
  ZAtomTable built;
  for (unsigned short c = 1; c <= 2; ++c) {
    for (unsigned short p = 1; p <= 2; ++p) {
      for (unsigned short a = 1; a <= 3; ++a) built.AddAtomA(c, p, a, ZString("N"));
    }
  }
  ASSERT_EQ(Save(built), whole);  // chains of several elements, element by element

  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(whole, loaded));
  ASSERT_NE(loaded->GetFirstClass()->Next(), nullptr);
  delete loaded;

  EXPECT_FALSE(Load(whole.substr(0, cut), loaded));
  ASSERT_NE(loaded, nullptr);  // the table itself is kept
  ZClass* first = loaded->GetFirstClass();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetClass(), 1);
  EXPECT_EQ(first->Next(), nullptr);
  ASSERT_NE(first->GetFirstProtocol(), nullptr);
  ASSERT_NE(first->GetFirstProtocol()->Next(), nullptr);
  ZAtom* a = first->GetFirstProtocol()->Next()->GetFirstAtom();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(a->Next(), nullptr);
  ASSERT_NE(a->Next()->Next(), nullptr);
  EXPECT_EQ(a->Next()->Next()->GetAtom(), 3);
  delete loaded;

  // Every shorter prefix fails cleanly too (leaks are checked by the test
  // main, memory errors by the sanitizer build).
  for (size_t n = 2; n < whole.size(); n += 3) {
    loaded = nullptr;
    EXPECT_FALSE(Load(whole.substr(0, n), loaded)) << n;
    delete loaded;
  }
}

TEST_F(AtomFile, DamagedRecordsFail) {
  ZAtomTable* loaded = nullptr;
  auto expectFails = [&](const Bytes& b) {
    EXPECT_FALSE(Load(b.str(), loaded));
    ASSERT_NE(loaded, nullptr);  // the table itself is kept
    EXPECT_EQ(loaded->GetFirstClass(), nullptr);
    delete loaded;
  };

  {  // a class record with schema 2
    Bytes b;
    b.Object(kTable, 1).Schema().Object(kClass, 2).Schema(2).U16(1).Null().Null().Null();
    expectFails(b);
  }
  {  // an item value tagged as unsigned short
    Bytes b;
    b.Object(kTable, 1).Schema().Object(kClass, 2).Schema().U16(1);
    b.Object(kProtocol, 3).Schema().U16(1);
    b.Object(kAtom, 4).Schema().U16(1).U16(0).U16(0).Name(5, "a");
    b.Object(kEnum, 6).Schema().U16(1).U16(1);
    b.Object(kItem, 7).Schema().U16(1).Name(8, "i").Null();
    b.Null().Null().Null().Null().Null();
    expectFails(b);
  }
  {  // a protocol where a class is expected
    Bytes b;
    b.Object(kTable, 1).Schema().Object(kProtocol, 2).Schema().U16(1).Null().Null().Null();
    expectFails(b);
  }
  {  // a name that is not a string
    Bytes b;
    b.Object(kTable, 1).Schema().Object(kClass, 2).Schema().U16(1);
    b.Object(kProtocol, 3).Schema().U16(1);
    b.Object(kAtom, 4).Schema().U16(1).U16(0).U16(0).Object(kAtom, 5);
    b.Null().Null().Null().Null().Null();
    expectFails(b);
  }
  {  // a name whose identifier is already known
    Bytes b;
    b.Object(kTable, 1).Schema().Object(kClass, 2).Schema().U16(1);
    b.Object(kProtocol, 3).Schema().U16(1);
    b.Object(kAtom, 4).Schema().U16(1).U16(0).U16(0).Name(3, "a");
    b.Null().Null().Null().Null().Null();
    expectFails(b);
  }
}

TEST_F(AtomFile, UnregisteredClassEndsTheChain) {
  // An unknown class id reads as the null reference: the class chain ends
  // there and the table holds the classes before it.
  Bytes b;
  b.Object(kTable, 1).Schema();
  b.Object(kClass, 2).Schema().U16(1).Null();
  b.Object(12345, 3).Schema().U16(2).Null().Null();
  ZAtomTable* loaded = nullptr;
  EXPECT_TRUE(Load(b.str(), loaded));
  ASSERT_NE(loaded, nullptr);
  ASSERT_NE(loaded->GetFirstClass(), nullptr);
  EXPECT_EQ(loaded->GetFirstClass()->GetClass(), 1);
  EXPECT_EQ(loaded->GetFirstClass()->Next(), nullptr);
  delete loaded;
}

TEST_F(AtomFile, HostileReferencesAreRefused) {
  ZAtomTable* loaded = nullptr;
  auto expectFails = [&](const Bytes& b) {
    EXPECT_FALSE(Load(b.str(), loaded));
    delete loaded;
  };
  auto atomHead = [](Bytes& b) {
    b.Object(kTable, 1).Schema().Object(kClass, 2).Schema().U16(1);
    b.Object(kProtocol, 3).Schema().U16(1);
    b.Object(kAtom, 4).Schema().U16(1).U16(0).U16(0).Name(5, "a");
  };

  {  // a chain that refers back to one of its own elements
    Bytes b;
    atomHead(b);
    b.Null().Null();
    b.Object(kAtom, 4);  // "next atom" is the atom itself
    b.Null().Null();
    expectFails(b);
  }
  {  // an argument record whose enumeration is a full new object
    Bytes b;
    atomHead(b);
    b.Null();
    b.Object(kMulti, 6).Schema().U16(1).Object(kEnum, 7).Schema().U16(1).U16(2).Null().Null();
    b.Null().Null().Null().Null();
    expectFails(b);
  }
  {  // an argument record whose "enumeration" is the atom's name
    Bytes b;
    atomHead(b);
    b.Null();
    b.Object(kMulti, 6).Schema().U16(1).Object(kEnum, 5).Null();
    b.Null().Null().Null().Null();
    expectFails(b);
  }
  {  // an argument record referring to another atom's enumeration
    Bytes b;
    b.Object(kTable, 1).Schema().Object(kClass, 2).Schema().U16(1);
    b.Object(kProtocol, 3).Schema().U16(1);
    b.Object(kAtom, 4).Schema().U16(1).U16(0).U16(0).Name(5, "a");
    b.Object(kEnum, 6).Schema().U16(1).U16(2).Null().Null();
    b.Null();
    b.Object(kAtom, 7).Schema().U16(2).U16(0).U16(0).Name(8, "b");
    b.Null();
    b.Object(kMulti, 9).Schema().U16(1).Object(kEnum, 6).Null();
    b.Null().Null().Null().Null();
    expectFails(b);
  }
}

TEST_F(AtomFile, SaveRefusesForeignEnumerations) {
  ZAtomTable table;
  ZAtom* a = table.AddAtomA(1, 1, 1, ZString("a"));
  ZAtom* b = table.AddAtomA(1, 1, 2, ZString("b"));
  ZEnum* e = a->AddEnum(1, ZEnum::eSingleValue);
  b->AddType(1, nullptr);
  b->AddType(2, e);  // refers to a's enumeration
  bool ok = true;
  Save(table, &ok);
  EXPECT_FALSE(ok);

  ZEnum loose(1, ZEnum::eSingleValue);
  ZAtomTable other;
  ZAtom* c = other.AddAtomA(1, 1, 1, ZString("c"));
  c->AddType(1, nullptr);
  c->AddType(2, &loose);  // refers to an enumeration outside the table
  ok = true;
  Save(other, &ok);
  EXPECT_FALSE(ok);
}

// Sanitized allocation costs several times more; a quarter of a million
// elements is still far deeper than any stack would allow by recursion.
#if defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kLongChain = 250000;
#else
constexpr uint32_t kLongChain = 1000000;
#endif

TEST_F(AtomFile, MillionAtomChain) {
  constexpr uint32_t kCount = kLongChain;
  Bytes b;
  b.reserve(64 * size_t{kCount} + 64);
  b.Object(kTable, 1).Schema();
  b.Object(kClass, 2).Schema().U16(1);
  b.Object(kProtocol, 3).Schema().U16(1);
  uint32_t uid = 4;
  for (uint32_t i = 0; i < kCount; ++i) {
    // Atom numbers repeat: the loader does not ask for unique numbers.
    b.Object(kAtom, uid).Schema().U16(i & 0xFFFF).U16(1).U16(0).Name(uid + 1, "");
    uid += 2;
    b.Null().Null();
  }
  b.Null().Null().Null();

  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(b.str(), loaded));
  ASSERT_NE(loaded, nullptr);
  ZAtom* last = loaded->GetFirstClass()->GetFirstProtocol()->GetFirstAtom();
  uint32_t n = 1;
  while (last->Next() != nullptr) {
    last = last->Next();
    ++n;
  }
  EXPECT_EQ(n, kCount);
  EXPECT_EQ(last->GetAtom(), (kCount - 1) & 0xFFFF);
  EXPECT_TRUE(Save(*loaded) == b.str());
  delete loaded;
}

}  // namespace
