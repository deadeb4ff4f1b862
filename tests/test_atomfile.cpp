// Atom tables on file: the bytes of each record, loading back, and what a
// damaged or hostile file does.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <type_traits>
#include <vector>

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

// The smallest whole table: the atom (1, 2, 3) named ab, argument 0 type 5.
TEST_F(AtomFile, OneAtomExample) {
  ZAtomTable table;
  table.AddAtomA(1, 2, 3, ZString("AB"))->AddType(5, nullptr);
  Bytes b;
  b.Object(kTable, 1).Schema();
  b.Object(kClass, 2).Schema().U16(1);
  b.Object(kProtocol, 3).Schema().U16(2);
  b.Object(kAtom, 4).Schema().U16(3).U16(5).U16(0).Name(5, "ab");
  b.Null().Null();         // enumerations, argument records
  b.Null().Null().Null();  // next atom, protocol, class
  ASSERT_EQ(Save(table), b.str());

  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(b.str(), loaded));
  const ZAtom* a = loaded->GetFirstClass()->GetFirstProtocol()->GetFirstAtom();
  EXPECT_EQ(a->GetProtocol(), 0);  // not stored
  EXPECT_EQ(loaded->GetAtom(ZString("ab")), a);
  EXPECT_EQ(Save(*loaded), b.str());
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

// Two classes; class 1 has protocols 2 and 9. Atom "Move" has three
// enumerations (bit flags, single value, bit fields) and four argument
// records, two of them sharing one enumeration and one with none.
void BuildTable(ZAtomTable& t) {
  ZAtom* move = t.AddAtomA(1, 2, 3, ZString("Move"));
  move->AddFlag(0x8001);
  ZEnum* flags = move->AddEnum(4, ZEnum::eBitFlags);
  flags->AddItem(ZString("Left"), 1);
  flags->AddItem(ZString("Right"), 2);
  ZEnum* single = move->AddEnum(2, ZEnum::eSingleValue);
  single->AddItem(ZString("off"), 0);
  single->AddItem(ZString("all"), 0xFFFFFFFFul);
  ZEnum* fields = move->AddEnum(4, ZEnum::eBitFields);
  fields->AddItem(ZString("lo"), 0x000F0001ul);
  move->AddType(5, flags);  // argument 0: the enumeration is not recorded
  move->AddType(6, single);
  move->AddType(7, nullptr);
  move->AddType(8, fields);
  move->AddType(9, flags);
  t.AddAtomA(1, 2, 4, ZString("Stop"));
  ZAtom* go = t.AddAtomA(1, 9, 1, ZString("Go"));
  go->AddType(2, nullptr);
  go->AddType(3, nullptr);
  t.GetAtom(1, 9, 1);  // a lookup sets the protocol number, which is not saved
  t.AddAtomA(2, 1, 0x1234, ZString("Z"))->AddFlag(0xFFFF);
}

TEST_F(AtomFile, RichTableLayoutAndRoundTrip) {
  ZAtomTable table;
  BuildTable(table);
  Bytes b;
  b.Object(kTable, 1).Schema();
  b.Object(kClass, 2).Schema().U16(1).Object(kProtocol, 3).Schema().U16(2);
  // atom 3: number, argument 0 type, flags, name, then its enumerations
  b.Object(kAtom, 4).Schema().U16(3).U16(5).U16(0x8001).Name(5, "move");
  b.Object(kEnum, 6).Schema().U16(4).U16(1);  // bit flags
  b.Object(kItem, 7).Schema().U32(1).Name(8, "left");
  b.Object(kItem, 9).Schema().U32(2).Name(10, "right").Null();
  b.Object(kEnum, 11).Schema().U16(2).U16(2);  // single value
  b.Object(kItem, 12).Schema().U32(0).Name(13, "off");
  b.Object(kItem, 14).Schema().U32(0xFFFFFFFFu).Name(15, "all").Null();
  b.Object(kEnum, 16).Schema().U16(4).U16(3);  // bit fields
  b.Object(kItem, 17).Schema().U32(0x000F0001u).Name(18, "lo").Null();
  b.Null();  // end of enumerations
  // argument records 1 to 4: enumerations by back-reference (tag and
  // identifier) only
  b.Object(kMulti, 19).Schema().U16(6).Object(kEnum, 11);
  b.Object(kMulti, 20).Schema().U16(7).Null();
  b.Object(kMulti, 21).Schema().U16(8).Object(kEnum, 16);
  b.Object(kMulti, 22).Schema().U16(9).Object(kEnum, 6).Null();
  // atom 4: numbers and name only; then the end of protocol 2's atoms
  b.Object(kAtom, 23).Schema().U16(4).U16(0).U16(0).Name(24, "stop").Null().Null().Null();
  // protocol 9, atom 1 with one argument record; end of class 1
  b.Object(kProtocol, 25).Schema().U16(9);
  b.Object(kAtom, 26).Schema().U16(1).U16(2).U16(0).Name(27, "go").Null();
  b.Object(kMulti, 28).Schema().U16(3).Null().Null().Null().Null();
  // class 2, protocol 1, atom 0x1234
  b.Object(kClass, 29).Schema().U16(2).Object(kProtocol, 30).Schema().U16(1);
  b.Object(kAtom, 31).Schema().U16(0x1234).U16(0).U16(0xFFFF).Name(32, "z");
  b.Null().Null().Null().Null().Null();
  const std::string bytes = Save(table);
  ASSERT_EQ(bytes, b.str());

  ZAtomTable* loaded = nullptr;
  ASSERT_TRUE(Load(bytes, loaded));
  const ZAtom* move = loaded->GetAtom(1, 2, 3);
  ASSERT_NE(move, nullptr);
  EXPECT_EQ(move->GetFlags(), 0x8001);
  EXPECT_EQ(move->GetType(0), 5);
  EXPECT_EQ(move->GetNumArgRecords(), 4);
  ZEnum* flags = move->GetEnum(0);
  ASSERT_NE(flags, nullptr);
  ZEnum* single = flags->Next();
  ASSERT_NE(single, nullptr);
  ZEnum* fields = single->Next();
  ASSERT_NE(fields, nullptr);
  EXPECT_EQ(fields->Next(), nullptr);
  EXPECT_EQ(move->GetEnum(1), single);
  EXPECT_EQ(move->GetEnum(2), nullptr);
  EXPECT_EQ(move->GetEnum(3), fields);
  EXPECT_EQ(move->GetEnum(4), flags);
  EXPECT_EQ(move->GetType(4), 9);
  // The loaded enumerations answer as the saved ones do.
  EXPECT_EQ(Text(flags->Lookup(3)), "left | right");
  EXPECT_EQ(Text(single->Lookup(0xFFFFFFFFul)), "all");
  EXPECT_EQ(Text(fields->Lookup(0x11)), "lo | 16");
  bool ok = false;
  EXPECT_EQ(fields->Lookup(ZString("lo"), &ok), 1ul);
  EXPECT_TRUE(ok);

  const ZAtom* go = loaded->GetAtom(ZString("go"));
  ASSERT_NE(go, nullptr);
  EXPECT_EQ(go->GetProtocol(), 9);  // set by this lookup, not by the file
  EXPECT_EQ(go->GetType(1), 3);
  EXPECT_EQ(Text(loaded->GetName(2, 1, 0x1234)), "z");
  EXPECT_NE(loaded->GetAtom(1, 2, 4), nullptr);
  EXPECT_EQ(Save(*loaded), bytes);  // every number, name and order came back
  delete loaded;
}

int Count(const ZEnum* e) {
  int n = 0;
  for (; e != nullptr; e = e->Next()) n++;
  return n;
}

int Count(const ZAtom* a) {
  int n = 0;
  for (; a != nullptr; a = a->Next()) n++;
  return n;
}

int Count(const ZProtocol* p) {
  int n = 0;
  for (; p != nullptr; p = p->Next()) n++;
  return n;
}

// Every element of partial is whole: each class, protocol and atom it
// holds has all the children and fields that the same one of whole has.
void ExpectWholeElements(const ZAtomTable& partial, const ZAtomTable& whole) {
  for (const ZClass* c = partial.GetFirstClass(); c != nullptr; c = c->Next()) {
    const ZClass* wc = whole.GetFirstClass();
    while (wc != nullptr && wc->GetClass() != c->GetClass()) wc = wc->Next();
    ASSERT_NE(wc, nullptr);
    EXPECT_EQ(Count(c->GetFirstProtocol()), Count(wc->GetFirstProtocol()));
    for (const ZProtocol* p = c->GetFirstProtocol(); p != nullptr; p = p->Next()) {
      const ZProtocol* wp = wc->GetFirstProtocol();
      while (wp != nullptr && wp->GetProtocol() != p->GetProtocol()) wp = wp->Next();
      ASSERT_NE(wp, nullptr);
      EXPECT_EQ(Count(p->GetFirstAtom()), Count(wp->GetFirstAtom()));
      for (const ZAtom* a = p->GetFirstAtom(); a != nullptr; a = a->Next()) {
        const ZAtom* wa = whole.GetAtom(c->GetClass(), p->GetProtocol(), a->GetAtom());
        ASSERT_NE(wa, nullptr);
        EXPECT_EQ(Text(a->GetName()), Text(wa->GetName()));
        EXPECT_EQ(a->GetFlags(), wa->GetFlags());
        EXPECT_EQ(a->GetNumArgRecords(), wa->GetNumArgRecords());
        EXPECT_EQ(Count(a->GetEnum(0)), Count(wa->GetEnum(0)));
      }
    }
  }
}

// Cut anywhere, the rich table fails to load and keeps whole classes,
// protocols and atoms only; every fifth cut puts at least two inside each
// 12-byte back-reference.
TEST_F(AtomFile, RichTableCutAnywhereKeepsWholeElements) {
  ZAtomTable table;
  BuildTable(table);
  const std::string bytes = Save(table);
  bool sawPartialClass = false;
  for (size_t n = 2; n < bytes.size(); n += 5) {
    SCOPED_TRACE(n);
    ZAtomTable* loaded = nullptr;
    EXPECT_FALSE(Load(bytes.substr(0, n), loaded));
    if (loaded != nullptr) {
      ExpectWholeElements(*loaded, table);
      sawPartialClass = sawPartialClass || loaded->GetFirstClass() != nullptr;
    }
    delete loaded;
  }
  EXPECT_TRUE(sawPartialClass);  // cuts inside class 2 keep class 1
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

TEST_F(AtomFile, ChainElementWrittenBeforeIsABackReference) {
  // Class 2 saved on its own first: the table's class chain then ends with a
  // back-reference to it, with no null reference after it.
  ZAtomTable table;
  table.AddAtomA(1, 1, 1, ZString("a"));
  table.AddAtomA(2, 1, 1, ZString("b"));
  const std::string path = Path("shared.bin");
  ZFile file;
  ASSERT_TRUE(file.Open(path.c_str(), ZFile::eWrite, ZFile::eBinary));
  {
    ZStreamer s(&file, true);
    EXPECT_TRUE(ZClass::Save(s, table.GetFirstClass()->Next()));
    EXPECT_TRUE(ZAtomTable::Save(s, table));
    EXPECT_FALSE(s.Error());
  }
  file.Close();
  Bytes b;
  b.Object(kClass, 1).Schema().U16(2).Object(kProtocol, 2).Schema().U16(1);
  b.Object(kAtom, 3).Schema().U16(1).U16(0).U16(0).Name(4, "b").Null().Null().Null().Null().Null();
  b.Object(kTable, 5).Schema().Object(kClass, 6).Schema().U16(1);
  b.Object(kProtocol, 7).Schema().U16(1);
  b.Object(kAtom, 8).Schema().U16(1).U16(0).U16(0).Name(9, "a").Null().Null().Null().Null();
  b.Big16(0xFFEA).Big32(kClass).U32(1);
  EXPECT_EQ(ReadAll(path), b.str());
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

// The persistence members of atom class X, with the exact types that tools
// link against, its name constant n_X, its record c_X of the nested
// meta-class ZMetaZX and the class id on file.
#define EXPECT_ATOM_CLASS(X, id)                                                                  \
  do {                                                                                            \
    static_assert(std::is_same<decltype(static_cast<bool (*)(ZStreamer&, X&)>(&X::Save)),         \
                               bool (*)(ZStreamer&, X&)>::value,                                  \
                  #X "::Save by value");                                                          \
    static_assert(std::is_same<decltype(static_cast<bool (*)(ZStreamer&, X*)>(&X::Save)),         \
                               bool (*)(ZStreamer&, X*)>::value,                                  \
                  #X "::Save by pointer");                                                        \
    static_assert(std::is_same<decltype(static_cast<bool (*)(ZStreamer&, X&)>(&X::Load)),         \
                               bool (*)(ZStreamer&, X&)>::value,                                  \
                  #X "::Load by value");                                                          \
    static_assert(std::is_same<decltype(static_cast<bool (*)(ZStreamer&, X*&)>(&X::Load)),        \
                               bool (*)(ZStreamer&, X*&)>::value,                                 \
                  #X "::Load by pointer");                                                        \
    static_assert(std::is_same<decltype(&X::LoadList), bool (*)(ZStreamer&, X**, int)>::value,    \
                  #X "::LoadList");                                                               \
    static_assert(std::is_same<decltype(&X::File), bool (X::*)(ZStreamer&)>::value, #X "::File"); \
    static_assert(std::is_same<decltype(&X::Class), X::ZMeta##X* (X::*)()>::value, #X "::Class"); \
    static_assert(std::is_base_of<ZMetaClass, X::ZMeta##X>::value, #X " meta-class");             \
    static_assert(std::is_same<decltype(X::n_##X), char const* const>::value, "n_" #X);           \
    static_assert(std::is_same<decltype(X::c_##X), X::ZMeta##X>::value, "c_" #X);                 \
    static_assert(std::is_polymorphic<X>::value && !std::has_virtual_destructor<X>::value,        \
                  #X " has virtual File and Class only");                                         \
    X object;                                                                                     \
    EXPECT_EQ(object.Class(), &X::c_##X);                                                         \
    EXPECT_STREQ(X::n_##X, #X);                                                                   \
    EXPECT_EQ(X::c_##X.GetName(), X::n_##X);                                                      \
    EXPECT_EQ(X::c_##X.GetId(), id);                                                              \
    void* made = X::c_##X.Make();                                                                 \
    ASSERT_NE(made, nullptr);                                                                     \
    delete static_cast<X*>(made);                                                                 \
  } while (0)

TEST(AtomClasses, PersistenceMembersAndClassIds) {
  EXPECT_ATOM_CLASS(ZAtomTable, kTable);
  EXPECT_ATOM_CLASS(ZClass, kClass);
  EXPECT_ATOM_CLASS(ZProtocol, kProtocol);
  EXPECT_ATOM_CLASS(ZAtom, kAtom);
  EXPECT_ATOM_CLASS(ZEnum, kEnum);
  EXPECT_ATOM_CLASS(ZEnumItem, kItem);
  EXPECT_ATOM_CLASS(ZMulti, kMulti);
}

}  // namespace
