// Action table files: the records of the six classes, loading that
// appends, damaged and cut-off files, refusals and shared elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

class ActionFile : public testing::Test {
 protected:
  static void SetUpTestSuite() { ZMetaClass::Attach(); }

  // Runs body over a streamer on the scratch file, saving or loading.
  void Stream(bool saving, const std::function<void(ZStreamer&)>& body) {
    ZFile file;
    ASSERT_TRUE(file.Open(path_.c_str(), saving ? ZFile::eWrite : ZFile::eRead, ZFile::eBinary));
    body(*std::make_unique<ZStreamer>(&file, saving));  // gone before the file closes
  }

  // The bytes that body writes; body run over a streamer reading bytes.
  Bytes Save(const std::function<void(ZStreamer&)>& body) {
    Stream(true, body);
    return ReadBytes(path_);
  }
  void Load(const Bytes& bytes, const std::function<void(ZStreamer&)>& body) {
    ASSERT_TRUE(WriteBytes(path_, bytes));
    Stream(false, body);
  }

  // Loads one description from bytes, which must fail, and hands what was
  // loaded to check.
  void LoadFails(const Bytes& bytes, std::function<void(ZActionDescription*)> check = nullptr) {
    Load(bytes, [&](ZStreamer& s) {
      ZActionDescription* p = nullptr;
      EXPECT_FALSE(ZActionDescription::Load(s, p));
      if (check) check(p);
      delete p;
    });
  }

  TempDir dir_;
  std::string path_ = dir_.File("actions.bin");
};

// Bytes written as text: hex pairs, a class name for the class tag (FF EA
// and the class id), #n for the object identifier n, 'text' for its bytes.
Bytes B(const std::string& hex) {
  Bytes b;
  std::istringstream in(hex);
  for (std::string t; in >> t;) {
    if (t[0] == 'Z') {
      unsigned long id = static_cast<unsigned long>(ZMetaClass::ClassId(t.c_str()));
      for (unsigned long byte : {0xFFul, 0xEAul, id >> 24, id >> 16, id >> 8, id}) {
        b.push_back(static_cast<unsigned char>(byte));
      }
    } else if (t[0] == '#') {
      b.insert(b.end(), {0xFF, 0xEB, 0, 0, 0, static_cast<unsigned char>(std::stoi(t.substr(1)))});
    } else if (t[0] == '\'') {
      b.insert(b.end(), t.begin() + 1, t.end() - 1);
    } else {
      b.push_back(static_cast<unsigned char>(std::stoul(t, nullptr, 16)));
    }
  }
  return b;
}

// Offset of the n-th (0-based) class tag of the named class in bytes.
long Nth(const Bytes& bytes, const char* name, int n) {
  const Bytes tag = B(name);
  auto at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
  while (n-- > 0) at = std::search(at + 1, bytes.end(), tag.begin(), tag.end());
  return at - bytes.begin();
}

// One description using every field, with negative and 32-bit values.
void Fill(ZActionTable& table) {
  ZString go("go"), n("n");
  ZActionDescription* d = table.AddDescription(go, 0x8024);
  d->SetServerName(ZString("sv"));
  d->SetAccessRight(0xFFFFFFFEul);
  d->AddArgument(1, ZActionArgument::EType(-3), n, 2, -3);
  ZActionCode* code = d->AddCode(2);
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
  code->AddFragment(ZActionFragment::EType(-32768), -2);
  code->AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::ECombine(-5), -7L);
}

// Every record item by item; loaded back, the table saves the same bytes.
TEST_F(ActionFile, RecordBytesAndLoadingThatAppends) {
  ZActionTable empty, table;
  EXPECT_EQ(Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, &empty)); }),
            B("00 01 ZActionTable #1 00 01 FF ED 00 00"));
  Fill(table);
  const Bytes expected = B(
      "00 01 ZActionTable #1 00 01 FF ED 00 01 "
      "ZActionDescription #2 00 02 FF ED 80 24 ZString #3 00 01 00 01 FF ED 00 02 'go' "
      "FF ED 00 02 ZString #4 00 01 00 01 FF ED 00 02 'sv' FF EB FF FF FF FE FF ED 00 01 "
      "ZActionArgument #5 00 02 FF EC FF FD FF ED 00 02 FF EC FF FD "
      "ZString #6 00 01 00 01 FF ED 00 01 'n' FF ED 00 01 "
      "ZActionCode #7 00 01 FF ED 00 02 FF ED 00 02 "
      "ZActionFragment #8 00 01 FF EC 00 00 FF EC 00 00 ZBuffer #9 00 01 FF ED 00 02 01 05 "
      "ZActionFragment #10 00 01 FF EC 80 00 FF EC FF FE ZBuffer #11 00 01 FF ED 00 00 FF ED 00 01 "
      "ZActionCondition #12 00 01 FF EC 00 01 FF EC 00 03 FF EC FF FB FF EA FF FF FF F9 "
      "ZString #13 00 01 00 01 FF ED 00 00");
  EXPECT_EQ(Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, table)); }), expected);

  ZActionTable loaded;
  Load(expected, [&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Load(s, loaded)); });
  ZActionDescription* d = loaded.Find(ZString("go"));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->GetAccessRight(), 0xFFFFFFFEul);
  EXPECT_EQ(d->GetArgument(0)->GetType(), -3);
  ZActionCode* code = *d->GetCodes().begin();
  EXPECT_EQ((*code->GetFragments().rbegin())->GetType(), -32768);
  EXPECT_EQ((*code->GetConditions().begin())->GetCombine(), -5);
  EXPECT_EQ((*code->GetConditions().begin())->GetNumber(), -7);
  EXPECT_EQ(Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, loaded)); }), expected);
  for (size_t cut = 0; cut < expected.size(); ++cut) {  // cut anywhere, it fails to load
    Load(Bytes(expected.begin(), expected.begin() + cut), [&](ZStreamer& s) {
      ZActionTable part;
      EXPECT_FALSE(ZActionTable::Load(s, part)) << cut;
    });
  }

  // Loaded again, the table appends a second description. A description
  // loaded into an existing one: strings and numbers are replaced, arguments
  // and codes appended, code variants as saved.
  Load(expected, [&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Load(s, loaded)); });
  EXPECT_EQ(loaded.GetDescriptions().size(), 2);
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Save(s, d)); });
  ZString name("Before"), x("x");
  ZActionDescription into(name, 0x10);
  into.AddArgument(1, ZActionArgument::Text, x, 0, 0);
  into.AddCode(1);
  Load(bytes, [&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Load(s, into)); });
  EXPECT_EQ(Str(into.GetName()), "go");
  EXPECT_EQ(Str(into.GetServerName()), "sv");
  EXPECT_EQ(into.GetCodeVariants(), 2);
  EXPECT_EQ(into.GetNumArgs(), 2);
  EXPECT_EQ(into.GetCodes().size(), 2);
}

// Copied, or assigned over a distinct element of other content, every
// element saves as its source does: no field stays behind.
TEST_F(ActionFile, CopiesAndAssignmentCopyEveryField) {
  ZActionTable table;
  Fill(table);
  ZActionDescription& d = **table.GetDescriptions().begin();
  ZActionCode& code = **d.GetCodes().begin();
  ZActionFragment& bytes = **code.GetFragments().begin();
  ZActionFragment& index = **code.GetFragments().rbegin();
  auto assigned = [&](auto& source, auto target) {
    using T = decltype(target);
    target = source;
    T copy(source);
    Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(T::Save(s, source)); });
    EXPECT_EQ(Save([&](ZStreamer& s) { EXPECT_TRUE(T::Save(s, target)); }), bytes);
    EXPECT_EQ(Save([&](ZStreamer& s) { EXPECT_TRUE(T::Save(s, copy)); }), bytes);
  };
  ZString other("other");
  ZActionDescription different(other, 0x11);
  different.SetServerName(other);
  different.SetAccessRight(5);
  different.AddArgument(1, ZActionArgument::Text, other, 0, 0);
  different.AddCode(1);
  assigned(d, different);
  assigned(**d.GetArguments().begin(), ZActionArgument(ZActionArgument::Text, other, 7, 7));
  assigned(code, ZActionCode(5));
  assigned(bytes, ZActionFragment(index));
  assigned(index, ZActionFragment(bytes));
  assigned(**code.GetConditions().begin(),
           ZActionCondition(2, ZActionCondition::AtMost, ZActionCondition::Or, other));
}

#if !defined(_WIN32)
// A full disk: the save fails at whichever write first finds the 8 KiB
// stage full, moved through every field of the records by a long name in
// front of them, and reports it.
TEST_F(ActionFile, SavesToAFullDiskFailAtEveryField) {
  for (int pad = 0; pad < 260; ++pad) {
    ZActionTable table;
    ZString name(std::string(7900 + pad, 'p').c_str());
    table.AddDescription(name, 0);
    Fill(table);
    ZFile full;
    ASSERT_TRUE(full.Open("/dev/full", ZFile::eWrite, ZFile::eBinary));
    ZStreamer s(&full, true);
    EXPECT_TRUE(!ZActionTable::Save(s, table) && s.Error()) << pad;
  }
}
#endif

TEST_F(ActionFile, DamagedRecordsFail) {
  ZString name("d");
  ZActionDescription d(name, 0);
  d.AddCode(1)->AddFragment(ZActionFragment::StreamBytes, Hex("01 02"));
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Save(s, &d)); });
  Bytes schema = bytes;  // header, class tag, identifier, then the schema value 2
  ASSERT_EQ(schema[15], 0x02);
  schema[15] = 0x01;
  LoadFails(schema);

  // The code's variant item with the short tag instead of unsigned short.
  long code = Nth(bytes, "ZActionCode", 0);
  Bytes tag = bytes;
  ASSERT_EQ(tag[code + 15], 0xED);
  tag[code + 15] = 0xEC;
  LoadFails(tag, [](ZActionDescription* p) {
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetCodes().size(), 0);
  });

  // A null reference where a code is due.
  Bytes null(bytes.begin(), bytes.begin() + code);
  null.insert(null.end(), {0xFF, 0xEA, 0, 0, 0, 0});
  LoadFails(null);
}

TEST_F(ActionFile, CutInsideTheThirdCode) {
  ZActionTable table;
  ZString first("first"), second("second");
  table.AddDescription(first, 0)->AddCode(0);
  ZActionDescription* d = table.AddDescription(second, 0);
  for (int i = 0; i < 4; ++i) {
    ZActionCode* code = d->AddCode(0);
    code->AddFragment(ZActionFragment::StreamBytes, Hex("01 0A"));
    code->AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::Replace, long(i));
  }
  Bytes whole = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, table)); });
  // The second description's third code is the fourth code record.
  for (long cut = Nth(whole, "ZActionCode", 3) + 1; cut < Nth(whole, "ZActionCode", 4); cut += 5) {
    Bytes part(whole.begin(), whole.begin() + cut);
    // Loading the description alone keeps it, with its first two codes.
    Bytes alone(part.begin(), part.begin() + 2);
    alone.insert(alone.end(), part.begin() + Nth(part, "ZActionDescription", 1), part.end());
    LoadFails(alone, [&](ZActionDescription* p) {
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->GetCodes().size(), 2) << cut;
    });
    // Loading the table keeps the whole first description only.
    Load(part, [&](ZStreamer& s) {
      ZActionTable loaded;
      EXPECT_FALSE(ZActionTable::Load(s, loaded));
      ASSERT_EQ(loaded.GetDescriptions().size(), 1);
      EXPECT_EQ(Str((*loaded.GetDescriptions().begin())->GetName()), "first");
    });
  }
}

TEST_F(ActionFile, RefusesWhatTheFormatCannotHold) {
  ZActionCode wide(0), op(0), combine(0), many(0);
  wide.AddFragment(ZActionFragment::EType(32768), 0);
  op.AddCondition(1, ZActionCondition::EOperation(-32769), ZActionCondition::Replace, 0L);
  combine.AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::ECombine(65536), 0L);
  for (int i = 0; i < 65536; ++i) many.AddFragment(ZActionFragment::DataBytes, 0);
  ZActionArgument argument(ZActionArgument::EType(0x10000), ZString("a"), 0, 0);
  for (ZActionCode* code : {&wide, &op, &combine, &many}) {
    Save([&](ZStreamer& s) { EXPECT_TRUE(!ZActionCode::Save(s, code) && s.Error()); });
  }
  Save([&](ZStreamer& s) { EXPECT_TRUE(!ZActionArgument::Save(s, &argument) && s.Error()); });
}

TEST_F(ActionFile, SharedElementsLoadShared) {
  // A copy shares its source's codes: saved after it, they are references
  // that load as the very same codes.
  ZString name("d");
  ZActionDescription d(name, 0);
  d.AddCode(0)->AddFragment(ZActionFragment::StreamBytes, Hex("01 02"));
  d.AddCode(1);
  ZActionDescription copy(d);
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZActionDescription::Save(s, &d) && ZActionDescription::Save(s, &copy));
  });
  Load(bytes, [](ZStreamer& s) {
    ZActionDescription *first = nullptr, *second = nullptr;
    ASSERT_TRUE(ZActionDescription::Load(s, first) && ZActionDescription::Load(s, second));
    EXPECT_EQ(*second->GetCodes().begin(), *first->GetCodes().begin());
    delete first;  // second keeps the codes alive
    EXPECT_EQ((*second->GetCodes().begin())->GetFragments().size(), 1);
    delete second;
  });

  // A file naming one code twice in one description: d's record up to its
  // second code, then the first code's class tag and identifier again.
  auto firstCode = bytes.begin() + Nth(bytes, "ZActionCode", 0);
  Bytes twice(bytes.begin(), bytes.begin() + Nth(bytes, "ZActionCode", 1));
  twice.insert(twice.end(), firstCode, firstCode + 12);
  Load(twice, [](ZStreamer& s) {
    ZActionDescription* p = nullptr;
    ASSERT_TRUE(ZActionDescription::Load(s, p));
    ASSERT_EQ(p->GetCodes().size(), 2);
    EXPECT_EQ(*p->GetCodes().begin(), *p->GetCodes().rbegin());
    delete p;
  });
}

}  // namespace
