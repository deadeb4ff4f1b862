// Action table files: the records of the six classes, loading that
// appends, damaged and cut-off files, refusals and shared elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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
  void Stream(bool saving, std::function<void(ZStreamer&)> const& body) {
    ZFile file;
    ASSERT_TRUE(file.Open(path_.c_str(), saving ? ZFile::eWrite : ZFile::eRead, ZFile::eBinary));
    {
      ZStreamer s(&file, saving);
      body(s);
    }
    file.Close();
  }

  // The bytes that body writes; body run over a streamer reading bytes.
  Bytes Save(std::function<void(ZStreamer&)> const& body) {
    Stream(true, body);
    return ReadBytes(path_);
  }
  void Load(Bytes const& bytes, std::function<void(ZStreamer&)> const& body) {
    ASSERT_TRUE(WriteBytes(path_, bytes));
    Stream(false, body);
  }

  // Loads one description from bytes, which must fail, and hands what was
  // loaded to check.
  void LoadFails(Bytes const& bytes, std::function<void(ZActionDescription*)> check = nullptr) {
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
Bytes B(std::string const& hex) {
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

// Offset of the n-th (0-based) occurrence of part in bytes; npos if none.
size_t Nth(Bytes const& bytes, Bytes const& part, int n) {
  auto at = bytes.begin();
  for (;;) {
    at = std::search(at, bytes.end(), part.begin(), part.end());
    if (at == bytes.end()) return std::string::npos;
    if (n-- == 0) return static_cast<size_t>(at - bytes.begin());
    ++at;
  }
}

// One description using every field, with negative values and values
// whose sign a 64-bit long could lose.
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

// Every record item by item, in file order, built by hand; loading it back
// restores the values and saves the same bytes again.
TEST_F(ActionFile, RecordBytes) {
  ZActionTable empty, table;
  EXPECT_EQ(Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, &empty)); }),
            B("00 01 ZActionTable #1 00 01 FF ED 00 00"));
  Fill(table);
  Bytes const expected = B(
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
}

TEST_F(ActionFile, LoadingAppendsAndOverwrites) {
  ZActionTable source;
  Fill(source);
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, source)); });
  ZActionTable target;
  ZString old("Old");
  target.AddDescription(old, 1);
  Load(bytes, [&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Load(s, target)); });
  ASSERT_EQ(target.GetDescriptions().size(), 2);
  EXPECT_EQ(Str((*target.GetDescriptions().rbegin())->GetName()), "go");

  // A description loaded into an existing one: strings and numbers are
  // replaced, arguments and codes appended, code variants as saved.
  ZActionDescription* go = source.Find(ZString("go"));
  bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Save(s, go)); });
  ZString name("Before"), x("x");
  ZActionDescription into(name, 0x10);
  into.AddArgument(1, ZActionArgument::Text, x, 0, 0);
  into.AddCode(1);
  Load(bytes, [&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Load(s, into)); });
  EXPECT_EQ(Str(into.GetName()), "go");
  EXPECT_EQ(Str(into.GetServerName()), "sv");
  EXPECT_EQ(into.GetCodeVariants(), 2);
  EXPECT_EQ(Str(into.GetArgName(0)), "x");
  EXPECT_EQ(into.GetNumArgs(), 2);
  EXPECT_EQ(into.GetCodes().size(), 2);
}

TEST_F(ActionFile, DamagedRecordsFail) {
  ZString name("d");
  ZActionDescription d(name, 0);
  d.AddCode(1)->AddFragment(ZActionFragment::StreamBytes, Hex("01 02"));
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Save(s, &d)); });
  // Header (2), class tag (6), identifier (6), then the schema value 2.
  ASSERT_EQ(bytes[15], 0x02);
  Bytes schema = bytes;
  schema[15] = 0x01;
  LoadFails(schema);

  // The code's variant item with the short tag instead of unsigned short.
  size_t code = Nth(bytes, B("ZActionCode"), 0);
  Bytes tag = bytes;
  ASSERT_EQ(tag[code + 15], 0xED);
  tag[code + 15] = 0xEC;
  LoadFails(tag, [](ZActionDescription* p) {
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetCodes().size(), 0);
  });

  // A null reference where a code is due.
  Bytes null(bytes.begin(), bytes.begin() + static_cast<long>(code));
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
  Bytes codeTag = B("ZActionCode");
  for (size_t cut = Nth(whole, codeTag, 3) + 1; cut < Nth(whole, codeTag, 4); cut += 5) {
    Bytes part(whole.begin(), whole.begin() + static_cast<long>(cut));
    // Loading the description alone keeps it, with its first two codes.
    Bytes alone(part.begin(), part.begin() + 2);
    size_t at = Nth(part, B("ZActionDescription"), 1);
    alone.insert(alone.end(), part.begin() + static_cast<long>(at), part.end());
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
    Save([&](ZStreamer& s) {
      EXPECT_FALSE(ZActionCode::Save(s, code));
      EXPECT_TRUE(s.Error());
    });
  }
  Save([&](ZStreamer& s) {
    EXPECT_FALSE(ZActionArgument::Save(s, &argument));
    EXPECT_TRUE(s.Error());
  });
}

TEST_F(ActionFile, SharedElementsLoadShared) {
  // A copy shares its source's codes: saved after it, they are
  // back-references, and load as the very same codes.
  ZString name("d");
  ZActionDescription d(name, 0);
  d.AddCode(0)->AddFragment(ZActionFragment::StreamBytes, Hex("01 02"));
  d.AddCode(1);
  ZActionDescription copy(d);
  Bytes bytes = Save([&](ZStreamer& s) {
    EXPECT_TRUE(ZActionDescription::Save(s, &d));
    EXPECT_TRUE(ZActionDescription::Save(s, &copy));
  });
  Load(bytes, [](ZStreamer& s) {
    ZActionDescription *first = nullptr, *second = nullptr;
    ASSERT_TRUE(ZActionDescription::Load(s, first));
    ASSERT_TRUE(ZActionDescription::Load(s, second));
    EXPECT_EQ(*second->GetCodes().begin(), *first->GetCodes().begin());
    delete first;  // second keeps the codes alive
    EXPECT_EQ((*second->GetCodes().begin())->GetFragments().size(), 1);
    delete second;
  });

  // A file naming one code twice in one description.
  Bytes one = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Save(s, &d)); });
  Bytes codeTag = B("ZActionCode");
  size_t firstCode = Nth(one, codeTag, 0);
  Bytes twice(one.begin(), one.begin() + static_cast<long>(Nth(one, codeTag, 1)));
  twice.insert(twice.end(), one.begin() + static_cast<long>(firstCode),
               one.begin() + static_cast<long>(firstCode) + 12);
  Load(twice, [](ZStreamer& s) {
    ZActionDescription* p = nullptr;
    ASSERT_TRUE(ZActionDescription::Load(s, p));
    ASSERT_EQ(p->GetCodes().size(), 2);
    EXPECT_EQ(*p->GetCodes().begin(), *p->GetCodes().rbegin());
    delete p;
  });
}

}  // namespace
