// Review of the action table from the caller's side: the model's building
// rules, the exact bytes of a saved table, and recognition and generation
// through the public operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

ZVectorString Texts(std::vector<std::string> const& texts) {
  ZVectorString v;
  for (std::string const& t : texts) v.push_back(ZString(t.c_str()));
  return v;
}

ZActionDescription* RecognizeHex(ZActionTable& table, char const* hex, unsigned int* options,
                                 ZVectorString& args) {
  ZBuffer bytes = Hex(hex);
  return table.Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                         static_cast<int>(bytes.GetLength()), options, args);
}

TEST(ReviewActions, ModelBuildingRules) {
  ZActionTable table;
  ZString go("Go"), other("go"), a("a"), b("b");
  ZActionDescription* first = table.AddDescription(go, 0x24);
  ZActionDescription* second = table.AddDescription(go, 0x10008);
  EXPECT_EQ(table.Find(ZString("Go")), first);
  EXPECT_EQ(table.Find(other), nullptr);
  ZListString names;
  names.push_back(ZString("stale"));
  EXPECT_TRUE(table.GetActionNames(names));
  ASSERT_EQ(names.size(), 2);
  for (ZString const& n : names) EXPECT_EQ(Str(n), "Go");

  EXPECT_TRUE(first->CanHavePayFree());
  EXPECT_TRUE(first->CanHaveWaitOn());
  EXPECT_EQ(second->GetFlags(), 0x0008);  // low 16 bits
  EXPECT_TRUE(second->CanHavePayFree());
  EXPECT_FALSE(second->CanHaveWaitOn());

  EXPECT_TRUE(first->AddArgument(1, ZActionArgument::Text, a, 0, 0));
  EXPECT_FALSE(first->AddArgument(1, ZActionArgument::Text, b, 0, 0));
  EXPECT_TRUE(first->AddArgument(3, ZActionArgument::TwoBytes, b, 0x10002, -1));
  EXPECT_EQ(first->GetNumArgs(), 2);
  EXPECT_EQ(Str(first->GetArgName(1)), "b");
  EXPECT_EQ(first->GetArgument(1)->GetSize(), 2);
  EXPECT_EQ(first->GetArgument(1)->GetShift(), -1);
  EXPECT_EQ(Str(first->GetArgName(-1)), "Unknown");
  EXPECT_EQ(Str(first->GetArgName(first->GetNumArgs())), "Unknown");
  EXPECT_EQ(first->GetArgument(2), nullptr);

  EXPECT_FALSE(first->CanHaveMagic());
  first->AddCode(0);
  EXPECT_FALSE(first->CanHaveMagic());
  EXPECT_FALSE(first->CanHavePop());
  first->AddCode(1);
  first->AddCode(0x10002);
  EXPECT_TRUE(first->CanHaveMagic());
  EXPECT_TRUE(first->CanHavePop());
  EXPECT_EQ(first->GetCodeVariants(), 3);

  ZActionCondition upper(2, ZActionCondition::SameInitial, ZActionCondition::Replace,
                         ZString("Yes"));
  EXPECT_EQ(Str(upper.GetText()), "yes");
  EXPECT_TRUE(upper.CheckCondition(2, ZString("YAK"), false));
  EXPECT_TRUE(upper.CheckCondition(2, ZString("yak"), false));
  EXPECT_FALSE(upper.CheckCondition(2, ZString(" yes"), true));
  EXPECT_FALSE(upper.CheckCondition(2, ZString(""), true));
  EXPECT_TRUE(upper.CheckCondition(1, ZString("no"), true));  // other argument: passed on
  ZActionCondition atLeast(1, ZActionCondition::AtLeast, ZActionCondition::And, 10);
  EXPECT_TRUE(atLeast.CheckCondition(1, ZString("0x10"), true));
  EXPECT_FALSE(atLeast.CheckCondition(1, ZString("0x10"), false));
  EXPECT_FALSE(atLeast.CheckCondition(1, ZString("9"), true));
  ZActionCondition orAtMost(1, ZActionCondition::AtMost, ZActionCondition::Or, -5L);
  EXPECT_TRUE(orAtMost.CheckCondition(1, ZString("7"), true));
  EXPECT_FALSE(orAtMost.CheckCondition(1, ZString("7"), false));
  EXPECT_TRUE(orAtMost.CheckCondition(1, ZString("-5"), false));
  for (int op : {0, 1, 2, 4, 7}) {
    ZActionCondition never(1, ZActionCondition::EOperation(op), ZActionCondition::ECombine(9), 0L);
    EXPECT_FALSE(never.CheckCondition(1, ZString("0"), true));
  }
}

// The bytes of a saved table, built by hand from the record layouts.
class ReviewActionFile : public testing::Test {
 protected:
  static Bytes Tag(char const* name) {
    unsigned long id = static_cast<unsigned long>(ZMetaClass::ClassId(name));
    return {0xFF,
            0xEA,
            static_cast<unsigned char>(id >> 24),
            static_cast<unsigned char>(id >> 16),
            static_cast<unsigned char>(id >> 8),
            static_cast<unsigned char>(id)};
  }
  static Bytes Uid(unsigned char n) { return {0xFF, 0xEB, 0, 0, 0, n}; }
  static Bytes Str16(std::string const& text, unsigned char uid, char const* cls) {
    Bytes b = Cat({Tag(cls), Uid(uid)});
    if (std::string(cls) == "ZString") b.insert(b.end(), {0x00, 0x01});
    b.insert(b.end(), {0x00, 0x01, 0xFF, 0xED, 0x00, static_cast<unsigned char>(text.size())});
    b.insert(b.end(), text.begin(), text.end());
    return b;
  }
  static Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (Bytes const& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }

  Bytes Save(ZActionTable& table) {
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), 1, 0));
    {
      ZStreamer s(&file, true);
      EXPECT_TRUE(ZActionTable::Save(s, &table));
      EXPECT_FALSE(s.Error());
    }
    file.Close();
    return ReadBytes(path_);
  }

  // Loads bytes into a new table; false when the load failed.
  bool Load(Bytes const& bytes, ZActionTable*& table) {
    table = nullptr;
    ZFile file;
    if (!WriteBytes(path_, bytes) || !file.Open(path_.c_str(), 0, 0)) return false;
    ZStreamer s(&file, false);
    return ZActionTable::Load(s, table);
  }

  TempDir dir_;
  std::string path_ = dir_.File("actions.bin");
};

TEST_F(ReviewActionFile, RecordsItemByItem) {
  ZActionTable empty;
  Bytes head = {0x00, 0x01};
  EXPECT_EQ(Save(empty), Cat({head, Tag("ZActionTable"), Uid(1), {0x00, 0x01, 0xFF, 0xED, 0, 0}}));

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
      head,
      Tag("ZActionTable"),
      Uid(1),
      {0x00, 0x01, 0xFF, 0xED, 0x00, 0x01},
      Tag("ZActionDescription"),
      Uid(2),
      {0x00, 0x02, 0xFF, 0xED, 0x80, 0x24},
      Str16("go", 3, "ZString"),
      {0xFF, 0xED, 0x00, 0x02},
      Str16("sv", 4, "ZString"),
      {0xFF, 0xEB, 0x01, 0x02, 0x03, 0x04},
      {0xFF, 0xED, 0x00, 0x01},
      Tag("ZActionArgument"),
      Uid(5),
      {0x00, 0x02, 0xFF, 0xEC, 0x00, 0x02, 0xFF, 0xED, 0x00, 0x02, 0xFF, 0xEC, 0xFF, 0xFD},
      Str16("n", 6, "ZString"),
      {0xFF, 0xED, 0x00, 0x01},
      Tag("ZActionCode"),
      Uid(7),
      {0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 0xFF, 0xED, 0x00, 0x02},
      Tag("ZActionFragment"),
      Uid(8),
      {0x00, 0x01, 0xFF, 0xEC, 0x00, 0x00, 0xFF, 0xEC, 0x00, 0x00},
      Str16("\x01\x05", 9, "ZBuffer"),
      Tag("ZActionFragment"),
      Uid(10),
      {0x00, 0x01, 0xFF, 0xEC, 0x00, 0x01, 0xFF, 0xEC, 0xFF, 0xFE},
      Str16("", 11, "ZBuffer"),
      {0xFF, 0xED, 0x00, 0x01},
      Tag("ZActionCondition"),
      Uid(12),
      {0x00, 0x01, 0xFF, 0xEC, 0x00, 0x01, 0xFF, 0xEC, 0x00, 0x03, 0xFF, 0xEC, 0x00, 0x01},
      {0xFF, 0xEA, 0xFF, 0xFF, 0xFF, 0xF9},
      Str16("", 13, "ZString"),
  });
  Bytes saved = Save(table);
  EXPECT_EQ(saved, expected);

  ZActionTable* loaded = nullptr;
  ASSERT_TRUE(Load(saved, loaded));
  ASSERT_NE(loaded, nullptr);
  ZActionDescription* back = loaded->Find(go);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetFlags(), 0x8024);
  EXPECT_EQ(Str(back->GetServerName()), "sv");
  EXPECT_EQ(back->GetAccessRight(), 0x01020304ul);
  EXPECT_EQ(back->GetCodeVariants(), 2);
  EXPECT_EQ(back->GetArgument(0)->GetShift(), -3);
  ZActionCode* c = *back->GetCodes().begin();
  ZListActionFragmentP::ZIterator f = c->GetFragments().begin();
  ++f;
  EXPECT_EQ((*f)->GetIndex(), -2);
  EXPECT_EQ((*c->GetConditions().begin())->GetNumber(), -7);
  delete loaded;
}

TEST_F(ReviewActionFile, WrongSchemaOrTagFails) {
  ZActionTable table;
  ZString go("go");
  table.AddDescription(go, 0)->AddCode(1);
  Bytes saved = Save(table);
  // The description's schema value follows its class tag and identifier.
  Bytes desc = Tag("ZActionDescription");
  auto at = std::search(saved.begin(), saved.end(), desc.begin(), desc.end());
  ASSERT_NE(at, saved.end());
  Bytes schema1 = saved;
  schema1[(at - saved.begin()) + 13] = 0x01;
  ZActionTable* loaded = nullptr;
  EXPECT_FALSE(Load(schema1, loaded));
  delete loaded;

  Bytes codeTag = Tag("ZActionCode");
  at = std::search(saved.begin(), saved.end(), codeTag.begin(), codeTag.end());
  ASSERT_NE(at, saved.end());
  Bytes variantShort = saved;
  variantShort[(at - saved.begin()) + 15] = 0xEC;  // FF ED becomes FF EC
  EXPECT_FALSE(Load(variantShort, loaded));
  delete loaded;
  EXPECT_TRUE(Load(saved, loaded));
  delete loaded;
}

class ReviewRecognize : public testing::Test {
 protected:
  void SetUp() override {
    ZString first("first"), second("second"), a("a");
    ZActionDescription* d = table_.AddDescription(first, 0);
    d->AddArgument(1, ZActionArgument::TwoBytes, a, 0, 0);
    ZActionCode* strict = d->AddCode(1);
    strict->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
    strict->AddFragment(ZActionFragment::ArgumentSlot, 0);
    strict->AddCondition(1, ZActionCondition::SameInitial, ZActionCondition::Replace, ZString("Q"));
    ZActionDescription* s = table_.AddDescription(second, 0);
    s->AddArgument(1, ZActionArgument::TwoBytes, a, 0, 0);
    ZActionCode* loose = s->AddCode(1);
    loose->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
    loose->AddFragment(ZActionFragment::ArgumentSlot, 0);
  }

  PluginScope plugin_{nullptr};
  ZActionTable table_;
};

TEST_F(ReviewRecognize, OptionsOrderAndConditions) {
  unsigned int options = 0x55;
  ZVectorString args = Texts({"old", "older"});
  EXPECT_EQ(RecognizeHex(table_, "00 11 00 0E 21 00 01 05 02 71 72 00 02 00", &options, args),
            *table_.GetDescriptions().begin());
  EXPECT_EQ(options, 0x29u);
  ASSERT_EQ(args.size(), 1);
  EXPECT_EQ(Str(args[0]), "qr");

  // The first description's condition fails: the second one is found.
  options = 0x55;
  ZActionDescription* found =
      RecognizeHex(table_, "00 01 00 0E 22 00 01 05 02 61 62 00 02 00", &options, args);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(Str(found->GetName()), "second");
  EXPECT_EQ(options, 0x05u);
  EXPECT_EQ(Str(args[0]), "ab");

  // Nothing matches: null, options cleared, texts kept.
  options = 0x55;
  EXPECT_EQ(RecognizeHex(table_, "00 01 00 01 06 02 61 62", &options, args), nullptr);
  EXPECT_EQ(options, 0u);
  EXPECT_EQ(Str(args[0]), "ab");
}

TEST_F(ReviewRecognize, LongSequencesRegrowTheNormalisedArea) {
  ZString big("big"), t("t");
  ZActionDescription* d = table_.AddDescription(big, 0);
  d->AddArgument(1, ZActionArgument::Text, t, 0, 0);
  ZActionCode* code = d->AddCode(0);
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 07"));
  code->AddFragment(ZActionFragment::ArgumentSlot, 0);
  std::string text(6000, 'z');
  ZVectorString args = Texts({text});
  ZBuffer bytes;
  ASSERT_EQ(d->Generate(0, args, bytes), 0);
  ASSERT_GT(bytes.GetLength(), 4096u);
  unsigned int options = 0x55;
  ZVectorString got;
  EXPECT_EQ(table_.Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                             static_cast<int>(bytes.GetLength()), &options, got),
            d);
  EXPECT_EQ(options, 0u);
  ASSERT_EQ(got.size(), 1);
  EXPECT_EQ(Str(got[0]), text);
}

TEST(ReviewRecognizeNoPlugin, NothingTouched) {
  PluginScope plugin("empty");
  ZActionTable table;
  ZString name("x");
  table.AddDescription(name, 0)->AddCode(0);
  unsigned int options = 0x55;
  ZVectorString args = Texts({"keep"});
  EXPECT_EQ(RecognizeHex(table, "00 01 00 00 02 00", &options, args), nullptr);
  EXPECT_EQ(options, 0x55u);
  EXPECT_EQ(Str(args[0]), "keep");
}

TEST(ReviewGenerate, CodesOptionsAndConditions) {
  PluginScope plugin("empty");
  ZString name("g"), a("a"), b("b");
  ZActionDescription d(name, 0);
  d.AddArgument(1, ZActionArgument::Text, a, 0, 0);
  ZActionCode* plain = d.AddCode(0);
  plain->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));

  ZBuffer out = Hex("EE");
  ZVectorString none;
  EXPECT_EQ(d.Generate(0, none, out), 0);
  EXPECT_EQ(ToHex(out), "00 01 00 01 05 00 02 00");
  EXPECT_EQ(d.Generate(0x0C, none, out), 0);
  EXPECT_EQ(ToHex(out), "00 01 00 0E 21 00 01 05 00 02 00");
  EXPECT_EQ(d.Generate(0x24, none, out), 0);
  EXPECT_EQ(ToHex(out), "00 11 01 00 0E 22 00 01 05 00 02 00");
  EXPECT_EQ(d.Generate(0x01, none, out), -1);
  EXPECT_EQ(ToHex(out), "00 11 01 00 0E 22 00 01 05 00 02 00");

  // A SameInitial y does not fit " yes", though trimming would remove the
  // blank; a condition on argument 2 is not applied to one text.
  ZActionDescription c(name, 0);
  c.AddArgument(1, ZActionArgument::Text, a, 0, 0);
  c.AddArgument(2, ZActionArgument::Text, b, 0, 0);
  ZActionCode* yes = c.AddCode(2);
  yes->AddFragment(ZActionFragment::StreamBytes, Hex("07"));
  yes->AddFragment(ZActionFragment::ArgumentSlot, 0);
  yes->AddCondition(1, ZActionCondition::SameInitial, ZActionCondition::Replace, ZString("Y"));
  yes->AddCondition(2, ZActionCondition::AtLeast, ZActionCondition::Replace, 100L);
  ZVectorString args = Texts({" yes"});
  EXPECT_EQ(c.Generate(2, args, out), -1);
  args = Texts({"Yes "});
  EXPECT_EQ(c.Generate(2, args, out), 0);
  EXPECT_EQ(ToHex(out), "00 01 00 07 03 59 65 73 00 02 00");
  EXPECT_EQ(Str(args[0]), "Yes ");  // the caller's texts are not trimmed

  // GetDefaultDescription: the first description, one empty text per
  // argument, options 0.
  ZActionTable table;
  ZString three("three"), x("x");
  ZActionDescription* first = table.AddDescription(three, 0);
  for (unsigned int i = 1; i <= 3; ++i) first->AddArgument(i, ZActionArgument::Text, x, 0, 0);
  unsigned int options = 0x77;
  args = Texts({"p", "q", "r", "s", "t"});
  EXPECT_EQ(table.GetDefaultDescription(&options, args), first);
  EXPECT_EQ(options, 0u);
  ASSERT_EQ(args.size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(args[i].IsEmpty());
}

}  // namespace
