// Atom tables on file, read back byte by byte: a table with several
// classes, protocols, atoms, enumerations of every operation and argument
// records is saved, and the file is walked item by item against the record
// layout (schema, typed numbers, names as ZString objects, chains ended by
// the null reference, argument enumerations as back-references).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>

#include "orbcmn/zatomtable.h"
#include "orbcmn/zfile.h"
#include "orbcmn/zstreamer.h"

namespace {

constexpr uint32_t kTable = 52044730;
constexpr uint32_t kClass = 939673202;
constexpr uint32_t kProtocol = 400042522;
constexpr uint32_t kAtom = 35487628;
constexpr uint32_t kEnum = 954622280;
constexpr uint32_t kItem = 61330235;
constexpr uint32_t kMulti = 922356236;
constexpr uint32_t kString = 418742016;

std::string Text(const ZString& s) {
  const char* p = s;
  return p == nullptr ? std::string() : std::string(p, s.GetLength());
}

// Reads a saved stream item by item, failing the test at the first item
// that is not the one expected. New objects must carry the identifiers
// 1, 2, 3 ... in order of first appearance.
class Decoder {
 public:
  // bytes must outlive the decoder.
  explicit Decoder(const std::string& bytes) : bytes_(bytes) {}

  uint32_t Big(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; i++) {
      if (at_ >= bytes_.size()) {
        ADD_FAILURE() << "stream ends at " << at_;
        return 0;
      }
      v = v << 8 | static_cast<unsigned char>(bytes_[at_++]);
    }
    return v;
  }
  void Schema() { EXPECT_EQ(Big(2), 1u) << "schema before " << at_; }
  void U16(uint32_t v) {
    EXPECT_EQ(Big(2), 0xFFEDu) << "unsigned short tag before " << at_;
    EXPECT_EQ(Big(2), v) << "unsigned short before " << at_;
  }
  void U32(uint32_t v) {
    EXPECT_EQ(Big(2), 0xFFEBu) << "unsigned long tag before " << at_;
    EXPECT_EQ(Big(4), v) << "unsigned long before " << at_;
  }
  void ClassTag(uint32_t id) {
    EXPECT_EQ(Big(2), 0xFFEAu) << "class tag before " << at_;
    EXPECT_EQ(Big(4), id) << "class id before " << at_;
  }
  // A first appearance: class tag and the next identifier; its number.
  uint32_t New(uint32_t cls) {
    ClassTag(cls);
    U32(++last_);
    return last_;
  }
  void BackReference(uint32_t cls, uint32_t uid) {
    ClassTag(cls);
    U32(uid);
  }
  void Null() { ClassTag(0); }
  // A name: a ZString object with its record.
  void Name(const std::string& text) {
    New(kString);
    Schema();
    Schema();
    U16(static_cast<uint32_t>(text.size()));
    EXPECT_EQ(bytes_.substr(at_, text.size()), text) << "name at " << at_;
    at_ += text.size();
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  const std::string& bytes_;
  size_t at_ = 0;
  uint32_t last_ = 0;
};

class ReviewAtomFile : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/reviewatomsXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    path_ = dir_ + "/table.bin";
  }
  void TearDown() override {
    std::remove(path_.c_str());
    rmdir(dir_.c_str());
  }

  std::string Save(ZAtomTable& table) {
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), ZFile::eWrite, ZFile::eBinary));
    {
      ZStreamer s(&file, true);
      EXPECT_TRUE(ZAtomTable::Save(s, table));
      EXPECT_FALSE(s.Error());
    }
    file.Close();
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Loads the given bytes; the table Load returned (kept on failure too),
  // and its result in *ok.
  ZAtomTable* LoadBytes(const std::string& bytes, bool* ok) {
    {
      std::ofstream out(path_, std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary));
    ZAtomTable* table = nullptr;
    {
      ZStreamer s(&file, false);
      *ok = ZAtomTable::Load(s, table);
    }
    file.Close();
    return table;
  }

  // Loads the file last saved; null when the load failed.
  ZAtomTable* Load() {
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary));
    ZAtomTable* table = nullptr;
    bool ok;
    {
      ZStreamer s(&file, false);
      ok = ZAtomTable::Load(s, table);
    }
    file.Close();
    if (!ok) {
      delete table;
      return nullptr;
    }
    return table;
  }

  std::string dir_;
  std::string path_;
};

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

TEST_F(ReviewAtomFile, RichTableFollowsTheRecordLayout) {
  ZAtomTable table;
  BuildTable(table);
  const std::string bytes = Save(table);
  Decoder d(bytes);

  EXPECT_EQ(d.Big(2), 1u);  // stream header
  d.New(kTable);
  d.Schema();

  // class 1, protocol 2
  d.New(kClass);
  d.Schema();
  d.U16(1);
  d.New(kProtocol);
  d.Schema();
  d.U16(2);

  // atom 3 "move": number, argument 0 type, flags, name
  d.New(kAtom);
  d.Schema();
  d.U16(3);
  d.U16(5);
  d.U16(0x8001);
  d.Name("move");
  // its enumeration chain: bit flags with two items
  const uint32_t flagsId = d.New(kEnum);
  d.Schema();
  d.U16(4);
  d.U16(1);
  d.New(kItem);
  d.Schema();
  d.U32(1);
  d.Name("left");
  d.New(kItem);
  d.Schema();
  d.U32(2);
  d.Name("right");
  d.Null();  // end of items
  // single value, two items
  const uint32_t singleId = d.New(kEnum);
  d.Schema();
  d.U16(2);
  d.U16(2);
  d.New(kItem);
  d.Schema();
  d.U32(0);
  d.Name("off");
  d.New(kItem);
  d.Schema();
  d.U32(0xFFFFFFFFu);
  d.Name("all");
  d.Null();
  // bit fields, one item
  const uint32_t fieldsId = d.New(kEnum);
  d.Schema();
  d.U16(4);
  d.U16(3);
  d.New(kItem);
  d.Schema();
  d.U32(0x000F0001u);
  d.Name("lo");
  d.Null();
  d.Null();  // end of enumerations
  // argument records 1 to 4: enumerations by back-reference only
  d.New(kMulti);
  d.Schema();
  d.U16(6);
  d.BackReference(kEnum, singleId);
  d.New(kMulti);
  d.Schema();
  d.U16(7);
  d.Null();
  d.New(kMulti);
  d.Schema();
  d.U16(8);
  d.BackReference(kEnum, fieldsId);
  d.New(kMulti);
  d.Schema();
  d.U16(9);
  d.BackReference(kEnum, flagsId);
  d.Null();  // end of argument records

  // atom 4 "stop": nothing but its numbers and name
  d.New(kAtom);
  d.Schema();
  d.U16(4);
  d.U16(0);
  d.U16(0);
  d.Name("stop");
  d.Null();
  d.Null();
  d.Null();  // end of the atoms of protocol 2

  // protocol 9, atom 1 "go" with one argument record
  d.New(kProtocol);
  d.Schema();
  d.U16(9);
  d.New(kAtom);
  d.Schema();
  d.U16(1);
  d.U16(2);
  d.U16(0);
  d.Name("go");
  d.Null();
  d.New(kMulti);
  d.Schema();
  d.U16(3);
  d.Null();
  d.Null();  // end of argument records
  d.Null();  // end of atoms
  d.Null();  // end of the protocols of class 1

  // class 2, protocol 1, atom 0x1234 "z"
  d.New(kClass);
  d.Schema();
  d.U16(2);
  d.New(kProtocol);
  d.Schema();
  d.U16(1);
  d.New(kAtom);
  d.Schema();
  d.U16(0x1234);
  d.U16(0);
  d.U16(0xFFFF);
  d.Name("z");
  d.Null();
  d.Null();
  d.Null();  // atoms
  d.Null();  // protocols
  d.Null();  // classes
  EXPECT_TRUE(d.AtEnd());
}

TEST_F(ReviewAtomFile, RichTableLoadsBackWhole) {
  ZAtomTable table;
  BuildTable(table);
  const std::string bytes = Save(table);
  ZAtomTable* loaded = Load();
  ASSERT_NE(loaded, nullptr);

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
  EXPECT_EQ(loaded->GetType(1, 2, 4), 0);
  EXPECT_NE(loaded->GetAtom(1, 2, 4), nullptr);

  // Saved again, the loaded table gives the same bytes.
  EXPECT_EQ(Save(*loaded), bytes);
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

TEST_F(ReviewAtomFile, RichTableCutAnywhereFailsKeepingWholeElements) {
  ZAtomTable table;
  BuildTable(table);
  const std::string bytes = Save(table);
  bool sawPartialClass = false;
  // Every fifth cut: at least two inside each 12-byte back-reference.
  for (size_t n = 2; n < bytes.size(); n += 5) {
    SCOPED_TRACE(n);
    bool ok = true;
    ZAtomTable* loaded = LoadBytes(bytes.substr(0, n), &ok);
    EXPECT_FALSE(ok);
    if (loaded != nullptr) {
      ExpectWholeElements(*loaded, table);
      sawPartialClass = sawPartialClass || loaded->GetFirstClass() != nullptr;
    }
    delete loaded;
  }
  EXPECT_TRUE(sawPartialClass);  // cuts inside class 2 keep class 1
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

TEST(ReviewAtomClasses, PersistenceMembersAndClassIds) {
  EXPECT_ATOM_CLASS(ZAtomTable, 52044730);
  EXPECT_ATOM_CLASS(ZClass, 939673202);
  EXPECT_ATOM_CLASS(ZProtocol, 400042522);
  EXPECT_ATOM_CLASS(ZAtom, 35487628);
  EXPECT_ATOM_CLASS(ZEnum, 954622280);
  EXPECT_ATOM_CLASS(ZEnumItem, 61330235);
  EXPECT_ATOM_CLASS(ZMulti, 922356236);
}

}  // namespace
