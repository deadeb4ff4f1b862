// Action table files: the records of the six classes, loading that
// appends, damaged and cut-off files, refusals and shared elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

// The whole tree as text, every field shown.
std::string Describe(ZActionDescription const& d) {
  std::string text = "D " + std::to_string(d.GetFlags()) + " " + Str(d.GetName()) + " " +
                     std::to_string(d.GetCodeVariants()) + " " + Str(d.GetServerName()) + " " +
                     std::to_string(d.GetAccessRight()) + "\n";
  for (ZActionArgument* a : d.GetArguments()) {
    text += " A " + std::to_string(a->GetType()) + " " + std::to_string(a->GetSize()) + " " +
            std::to_string(a->GetShift()) + " " + Str(a->GetName()) + "\n";
  }
  for (ZActionCode* c : d.GetCodes()) {
    text += " C " + std::to_string(c->GetVariant()) + "\n";
    for (ZActionFragment* f : c->GetFragments()) {
      text += "  F " + std::to_string(f->GetType()) + " " + std::to_string(f->GetIndex()) + " [" +
              ToHex(f->GetBytes()) + "]\n";
    }
    for (ZActionCondition* k : c->GetConditions()) {
      text += "  K " + std::to_string(k->GetArgNumber()) + " " + std::to_string(k->GetOperation()) +
              " " + std::to_string(k->GetCombine()) + " " + std::to_string(k->GetNumber()) + " " +
              Str(k->GetText()) + "\n";
    }
  }
  return text;
}

std::string Describe(ZActionTable const& table) {
  std::string text;
  for (ZActionDescription* d : table.GetDescriptions()) text += Describe(*d);
  return text;
}

// A table that uses every field, with negative and extreme values.
void Fill(ZActionTable& table) {
  ZString first("Pay"), second("Quit"), a("amount"), b("who");
  ZActionDescription* d = table.AddDescription(first, 0xFF2C);
  d->SetServerName(ZString("srv"));
  d->SetAccessRight(0xFFFFFFFEul);
  d->AddArgument(1, ZActionArgument::Number, a, 0xFFFF, -7);
  d->AddArgument(2, ZActionArgument::EType(-3), b, 0, 32767);
  ZActionCode* code = d->AddCode(3);
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 05 00 FF"));
  code->AddFragment(ZActionFragment::ArgumentSlot, -2);
  code->AddFragment(ZActionFragment::EType(-32768), 32767);
  code->AddFragment(ZActionFragment::DataBytes, ZBuffer());
  code->AddCondition(-1, ZActionCondition::SameInitial, ZActionCondition::Or, ZString("MiXed"));
  code->AddCondition(2, ZActionCondition::EOperation(32767), ZActionCondition::ECombine(-5),
                     -2147483647L - 1);
  d->AddCode(0x8001);
  table.AddDescription(second, 0);
}

class ActionFile : public testing::Test {
 protected:
  static void SetUpTestSuite() { ZMetaClass::Attach(); }

  // The bytes that body writes through a saving streamer.
  Bytes Save(std::function<void(ZStreamer&)> body) {
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), ZFile::eWrite, ZFile::eBinary));
    {
      ZStreamer s(&file, true);
      body(s);
    }
    file.Close();
    return ReadBytes(path_);
  }

  // Runs body over a loading streamer reading bytes.
  void Load(Bytes const& bytes, std::function<void(ZStreamer&)> body) {
    ASSERT_TRUE(WriteBytes(path_, bytes));
    ZFile file;
    ASSERT_TRUE(file.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary));
    {
      ZStreamer s(&file, false);
      body(s);
    }
    file.Close();
  }

  TempDir dir_;
  std::string path_ = dir_.File("actions.bin");
};

// The class tag of a record: FF EA and the class id.
Bytes Tag(ZMetaClass const& record) {
  unsigned long id = static_cast<unsigned long>(record.GetId());
  return {0xFF,
          0xEA,
          static_cast<unsigned char>(id >> 24),
          static_cast<unsigned char>(id >> 16),
          static_cast<unsigned char>(id >> 8),
          static_cast<unsigned char>(id)};
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

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (Bytes const& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes Uid(unsigned char n) { return {0xFF, 0xEB, 0, 0, 0, n}; }

// An embedded string or buffer record of a short text with identifier uid.
Bytes Embedded(std::string const& text, unsigned char uid, ZMetaClass const& record) {
  Bytes b = Cat({Tag(record), Uid(uid)});
  if (&record == &ZString::c_ZString) b.insert(b.end(), {0x00, 0x01});
  b.insert(b.end(), {0x00, 0x01, 0xFF, 0xED, 0x00, static_cast<unsigned char>(text.size())});
  b.insert(b.end(), text.begin(), text.end());
  return b;
}

// Every record item by item, in file order, built by hand.
TEST_F(ActionFile, RecordBytes) {
  ZActionTable empty;
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, &empty)); });
  EXPECT_EQ(bytes, Cat({{0x00, 0x01},
                        Tag(ZActionTable::c_ZActionTable),
                        Uid(1),
                        {0x00, 0x01, 0xFF, 0xED, 0x00, 0x00}}));
  EXPECT_EQ(ZActionTable::c_ZActionTable.GetId(), ZMetaClass::ClassId("ZActionTable"));
  Load(bytes, [](ZStreamer& s) {
    ZActionTable* loaded = nullptr;
    EXPECT_TRUE(ZActionTable::Load(s, loaded));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetDescriptions().size(), 0);
    delete loaded;
  });

  ZActionTable table;
  ZString go("go"), n("n");
  ZActionDescription* d = table.AddDescription(go, 0x8024);
  d->SetServerName(ZString("sv"));
  d->SetAccessRight(0x01020304);
  d->AddArgument(1, ZActionArgument::Number, n, 2, -3);
  ZActionCode* code = d->AddCode(2);
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
  code->AddFragment(ZActionFragment::ArgumentSlot, -2);
  code->AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::Or, -7L);
  Bytes expected = Cat({
      {0x00, 0x01},
      Tag(ZActionTable::c_ZActionTable),
      Uid(1),
      {0x00, 0x01, 0xFF, 0xED, 0x00, 0x01},
      Tag(ZActionDescription::c_ZActionDescription),
      Uid(2),
      {0x00, 0x02, 0xFF, 0xED, 0x80, 0x24},
      Embedded("go", 3, ZString::c_ZString),
      {0xFF, 0xED, 0x00, 0x02},
      Embedded("sv", 4, ZString::c_ZString),
      {0xFF, 0xEB, 0x01, 0x02, 0x03, 0x04, 0xFF, 0xED, 0x00, 0x01},
      Tag(ZActionArgument::c_ZActionArgument),
      Uid(5),
      {0x00, 0x02, 0xFF, 0xEC, 0x00, 0x02, 0xFF, 0xED, 0x00, 0x02, 0xFF, 0xEC, 0xFF, 0xFD},
      Embedded("n", 6, ZString::c_ZString),
      {0xFF, 0xED, 0x00, 0x01},
      Tag(ZActionCode::c_ZActionCode),
      Uid(7),
      {0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 0xFF, 0xED, 0x00, 0x02},
      Tag(ZActionFragment::c_ZActionFragment),
      Uid(8),
      {0x00, 0x01, 0xFF, 0xEC, 0x00, 0x00, 0xFF, 0xEC, 0x00, 0x00},
      Embedded("\x01\x05", 9, ZBuffer::c_ZBuffer),
      Tag(ZActionFragment::c_ZActionFragment),
      Uid(10),
      {0x00, 0x01, 0xFF, 0xEC, 0x00, 0x01, 0xFF, 0xEC, 0xFF, 0xFE},
      Embedded("", 11, ZBuffer::c_ZBuffer),
      {0xFF, 0xED, 0x00, 0x01},
      Tag(ZActionCondition::c_ZActionCondition),
      Uid(12),
      {0x00, 0x01, 0xFF, 0xEC, 0x00, 0x01, 0xFF, 0xEC, 0x00, 0x03, 0xFF, 0xEC, 0x00, 0x01},
      {0xFF, 0xEA, 0xFF, 0xFF, 0xFF, 0xF9},
      Embedded("", 13, ZString::c_ZString),
  });
  EXPECT_EQ(Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, &table)); }), expected);
}

TEST_F(ActionFile, RoundTripRestoresEveryField) {
  ZActionTable table;
  Fill(table);
  std::string expected = Describe(table);
  EXPECT_NE(expected.find("K -1 6 1 0 mixed"), std::string::npos);
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, table)); });

  ZActionTable* loaded = nullptr;
  Load(bytes, [&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Load(s, loaded)); });
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Describe(*loaded), expected);
  // Saving what was loaded gives the same bytes.
  EXPECT_EQ(Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, *loaded)); }), bytes);
  delete loaded;

  // The saved text of a condition comes back as it was, not lower-cased.
  Bytes upper = bytes;
  size_t at = Nth(upper, {'m', 'i', 'x', 'e', 'd'}, 0);
  ASSERT_NE(at, std::string::npos);
  upper[at] = 'M';
  Load(upper, [&](ZStreamer& s) {
    ZActionTable again;
    EXPECT_TRUE(ZActionTable::Load(s, again));
    EXPECT_NE(Describe(again).find("K -1 6 1 0 Mixed"), std::string::npos);
  });
}

TEST_F(ActionFile, LoadingAppendsAndOverwrites) {
  ZActionTable source;
  Fill(source);
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Save(s, source)); });
  ZActionTable target;
  ZString old("Old");
  target.AddDescription(old, 1);
  Load(bytes, [&](ZStreamer& s) { EXPECT_TRUE(ZActionTable::Load(s, target)); });
  EXPECT_EQ(Describe(target), "D 1 Old 0  0\n" + Describe(source));

  // A description loaded into an existing one: strings and numbers are
  // replaced, arguments and codes appended, code variants as saved.
  ZActionDescription* pay = source.Find(ZString("Pay"));
  bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Save(s, pay)); });
  ZString name("Before");
  ZActionDescription into(name, 0x10);
  into.SetServerName(ZString("a long server name"));
  ZString x("x");
  into.AddArgument(1, ZActionArgument::Text, x, 0, 0);
  into.AddCode(0);
  Load(bytes, [&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Load(s, into)); });
  EXPECT_EQ(Str(into.GetName()), "Pay");
  EXPECT_EQ(Str(into.GetServerName()), "srv");
  EXPECT_EQ(into.GetCodeVariants(), pay->GetCodeVariants());
  EXPECT_EQ(into.GetNumArgs(), 3);
  EXPECT_EQ(Str(into.GetArgName(0)), "x");
  EXPECT_EQ(into.GetCodes().size(), 3);
}

TEST_F(ActionFile, DamagedRecordsFail) {
  ZString name("d");
  ZActionDescription d(name, 0);
  d.AddCode(1)->AddFragment(ZActionFragment::StreamBytes, Hex("01 02"));
  Bytes bytes = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Save(s, &d)); });
  // Header (2), class tag (6), identifier (6), then the schema value.
  ASSERT_EQ(bytes[14], 0x00);
  ASSERT_EQ(bytes[15], 0x02);

  Bytes schema = bytes;
  schema[15] = 0x01;
  Load(schema, [](ZStreamer& s) {
    ZActionDescription* p = nullptr;
    EXPECT_FALSE(ZActionDescription::Load(s, p));
    delete p;
  });

  // The code's variant item with the short tag instead of unsigned short.
  size_t code = Nth(bytes, Tag(ZActionCode::c_ZActionCode), 0);
  ASSERT_NE(code, std::string::npos);
  Bytes tag = bytes;
  ASSERT_EQ(tag[code + 14], 0xFF);
  ASSERT_EQ(tag[code + 15], 0xED);
  tag[code + 15] = 0xEC;
  Load(tag, [](ZStreamer& s) {
    ZActionDescription* p = nullptr;
    EXPECT_FALSE(ZActionDescription::Load(s, p));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetCodes().size(), 0);
    delete p;
  });

  // A null reference where a code is due.
  Bytes null(bytes.begin(), bytes.begin() + static_cast<long>(code));
  null.insert(null.end(), {0xFF, 0xEA, 0, 0, 0, 0});
  Load(null, [](ZStreamer& s) {
    ZActionDescription* p = nullptr;
    EXPECT_FALSE(ZActionDescription::Load(s, p));
    delete p;
  });
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
  size_t third = Nth(whole, Tag(ZActionCode::c_ZActionCode), 3);
  ASSERT_NE(third, std::string::npos);
  for (size_t cut = third + 1; cut < Nth(whole, Tag(ZActionCode::c_ZActionCode), 4); cut += 5) {
    Bytes part(whole.begin(), whole.begin() + static_cast<long>(cut));
    // Loading the description alone keeps it, with its first two codes.
    Bytes alone(part.begin(), part.begin() + 2);
    size_t at = Nth(part, Tag(ZActionDescription::c_ZActionDescription), 1);
    alone.insert(alone.end(), part.begin() + static_cast<long>(at), part.end());
    Load(alone, [&](ZStreamer& s) {
      ZActionDescription* p = nullptr;
      EXPECT_FALSE(ZActionDescription::Load(s, p));
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->GetCodes().size(), 2) << cut;
      EXPECT_EQ(Str(p->GetName()), "second");
      delete p;
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
  ZActionCode wide(0);
  wide.AddFragment(ZActionFragment::EType(32768), 0);
  ZActionCode op(0);
  op.AddCondition(1, ZActionCondition::EOperation(-32769), ZActionCondition::Replace, 0L);
  ZActionCode combine(0);
  combine.AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::ECombine(65536), 0L);
  ZActionArgument argument(ZActionArgument::EType(0x10000), ZString("a"), 0, 0);
  ZActionCode many(0);
  for (int i = 0; i < 65536; ++i) many.AddFragment(ZActionFragment::DataBytes, 0);
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
    ZActionDescription* first = nullptr;
    ZActionDescription* second = nullptr;
    ASSERT_TRUE(ZActionDescription::Load(s, first));
    ASSERT_TRUE(ZActionDescription::Load(s, second));
    ASSERT_EQ(second->GetCodes().size(), 2);
    EXPECT_EQ(*second->GetCodes().begin(), *first->GetCodes().begin());
    delete first;  // second keeps the codes alive
    EXPECT_EQ((*second->GetCodes().begin())->GetFragments().size(), 1);
    delete second;
  });

  // A file naming one code twice in one description.
  Bytes one = Save([&](ZStreamer& s) { EXPECT_TRUE(ZActionDescription::Save(s, &d)); });
  Bytes codeTag = Tag(ZActionCode::c_ZActionCode);
  size_t firstCode = Nth(one, codeTag, 0);
  size_t secondCode = Nth(one, codeTag, 1);
  Bytes twice(one.begin(), one.begin() + static_cast<long>(secondCode));
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
