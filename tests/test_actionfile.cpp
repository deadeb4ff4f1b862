// The action model and its files: building and queries, copies that share
// elements, the records of the six classes, loading that appends, damaged
// and cut-off files, refusals; and the argument text sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>

#include "actions/support.h"
#include "hostkit/hostkit.h"
#include "orbcmn/orbcmn.h"
#include "support/streamfile.h"

namespace {

class ActionFile : public StreamFileTest {
 protected:
  static void SetUpTestSuite() { ZMetaClass::Attach(); }

  // The bytes T::Save writes for what (an object or a pointer).
  template <class T, class V>
  Bytes Saved(V&& what) {
    return Save([&](ZStreamer& s) { EXPECT_TRUE(T::Save(s, what)); });
  }

  // Loads one description from bytes, which must fail: the number of codes
  // of what was loaded, -1 for nothing.
  int LoadFails(const Bytes& bytes) {
    ZActionDescription* p = nullptr;
    EXPECT_FALSE(ZActionDescription::Load(Loader(bytes), p));
    std::unique_ptr<ZActionDescription> loaded(p);
    return p == nullptr ? -1 : p->GetCodes().size();
  }
};

// Bytes written as text: hex pairs, a class name for the class tag (FF EA
// and the class id), #n for the object identifier n, 'text' for its bytes.
Bytes B(const std::string& hex) {
  Bytes b;
  std::istringstream in(hex);
  for (std::string t; in >> t;) {
    if (t[0] == 'Z' || t[0] == '#') {
      bool tag = t[0] == 'Z';
      unsigned long id = tag ? static_cast<unsigned long>(ZMetaClass::ClassId(t.c_str()))
                             : std::stoul(t.substr(1));
      for (unsigned long byte : {0xFFul, tag ? 0xEAul : 0xEBul, id >> 24, id >> 16, id >> 8, id})
        b.push_back(static_cast<unsigned char>(byte));
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

// Every record item by item; loaded back, the table saves the same bytes;
// cut anywhere, it fails to load and adds nothing.
TEST_F(ActionFile, RecordBytesAndLoadingThatAppends) {
  ZActionTable empty, table;
  EXPECT_EQ(Saved<ZActionTable>(&empty), B("00 01 ZActionTable #1 00 01 FF ED 00 00"));
  EXPECT_EQ(Saved<ZActionArgument>(ZActionArgument()),
            B("00 01 ZActionArgument #1 00 02 FF EC 00 00 FF ED 00 00 FF EC 00 00 "
              "ZString #2 00 01 00 01 FF ED 00 00"));
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
  EXPECT_EQ(Saved<ZActionTable>(table), expected);

  ZActionTable loaded;
  EXPECT_TRUE(ZActionTable::Load(Loader(expected), loaded));
  EXPECT_EQ(Saved<ZActionTable>(loaded), expected);
  for (size_t cut = 0; cut < expected.size(); ++cut) {
    ZActionTable part;  // keeps whole descriptions only
    EXPECT_FALSE(ZActionTable::Load(Loader(Bytes(expected.begin(), expected.begin() + cut)), part));
    EXPECT_EQ(part.GetDescriptions().size(), 0) << cut;
  }

  // Loaded again, the table appends a second description. A description
  // loaded into an existing one: strings and numbers are replaced, arguments
  // and codes appended, code variants as saved.
  EXPECT_TRUE(ZActionTable::Load(Loader(expected), loaded));
  EXPECT_EQ(loaded.GetDescriptions().size(), 2);
  ZActionTable other;
  ZActionDescription& into = *AddEveryKind(other);  // six arguments, one code of variant 3
  EXPECT_TRUE(ZActionDescription::Load(
      Loader(Saved<ZActionDescription>(*loaded.GetDescriptions().begin())), into));
  EXPECT_EQ(Str(into.GetName()) + Str(into.GetServerName()), "gosv");
  EXPECT_TRUE(into.GetCodeVariants() == 2 && into.GetNumArgs() == 7 && into.GetCodes().size() == 2);
}

// Copied, or assigned over a distinct element of other content, every
// element saves as its source does: no field stays behind. Copies share the
// elements, which live while any holder does.
TEST_F(ActionFile, CopiesAndAssignmentCopyEveryField) {
  auto table = std::make_unique<ZActionTable>();
  Fill(*table);
  ZActionDescription& d = **table->GetDescriptions().begin();
  ZActionCode& code = **d.GetCodes().begin();
  ZActionFragment& bytes = **code.GetFragments().begin();
  ZActionFragment& index = **code.GetFragments().rbegin();
  auto assigned = [&](auto& source, auto target) {
    using T = decltype(target);
    target = source;
    T copy(source);
    EXPECT_EQ(Saved<T>(target), Saved<T>(source));
    EXPECT_EQ(Saved<T>(copy), Saved<T>(source));
  };
  ZString other("other");
  ZActionTable different;
  ZActionDescription* e = AddEveryKind(different);
  assigned(*table, different);
  assigned(d, *e);
  assigned(**d.GetArguments().begin(), ZActionArgument(ZActionArgument::Text, other, 7, 7));
  assigned(code, ZActionCode(5));
  assigned(bytes, ZActionFragment(index));
  assigned(index, ZActionFragment(bytes));
  assigned(**code.GetConditions().begin(),
           ZActionCondition(2, ZActionCondition::AtMost, ZActionCondition::Or, other));

  ZActionTable copy(*table);
  ZActionDescription descriptionCopy(d);
  ZActionCode codeCopy(code);
  EXPECT_TRUE(*copy.GetDescriptions().begin() == &d && *codeCopy.GetFragments().begin() == &bytes &&
              descriptionCopy.GetArgument(0) == d.GetArgument(0));
  const Bytes saved = Saved<ZActionDescription>(d);
  table->AddDescription(other, 0);  // not added to the copy
  table.reset();
  copy = copy;
  EXPECT_EQ(copy.GetDescriptions().size(), 1);
  copy = ZActionTable();  // the code lives on in descriptionCopy and codeCopy
  descriptionCopy = descriptionCopy;
  EXPECT_EQ(Saved<ZActionDescription>(descriptionCopy), saved);
  EXPECT_EQ(ToHex((*codeCopy.GetFragments().begin())->GetBytes()), "01 05");
}

// Saves fail, and report it, when a value does not fit its item, and when
// the disk is full: at whichever write first finds the 8 KiB stage full,
// moved through every field of the records by a long name in front of them.
TEST_F(ActionFile, SavesThatCannotBeWholeFail) {
  ZActionCode wide(0), op(0), combine(0), many(0);
  wide.AddFragment(ZActionFragment::EType(32768), 0);
  op.AddCondition(1, ZActionCondition::EOperation(-32769), ZActionCondition::Replace, 0L);
  combine.AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::ECombine(65536), 0L);
  for (int i = 0; i < 65536; ++i) many.AddFragment(ZActionFragment::DataBytes, 0);
  ZActionArgument argument(ZActionArgument::EType(0x10000), ZString("a"), 0, 0);
  for (ZActionCode* code : {&wide, &op, &combine, &many})
    Save([&](ZStreamer& s) { EXPECT_TRUE(!ZActionCode::Save(s, code) && s.Error()); });
  Save([&](ZStreamer& s) { EXPECT_TRUE(!ZActionArgument::Save(s, &argument) && s.Error()); });
#if !defined(_WIN32)
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
#endif
}

// Damaged: a file naming one code twice in one description (which loads,
// the code shared), a wrong schema, the code's variant item with the short
// tag instead of unsigned short, a null reference where a code is due.
TEST_F(ActionFile, DamagedRecords) {
  ZString name("d");
  ZActionDescription d(name, 0);
  d.AddCode(0)->AddFragment(ZActionFragment::StreamBytes, Hex("01 02"));
  d.AddCode(1);
  Bytes bytes = Saved<ZActionDescription>(&d);
  // d's record up to its second code, then the first code's class tag and
  // identifier again.
  long code = Nth(bytes, "ZActionCode", 0);
  Bytes twice(bytes.begin(), bytes.begin() + Nth(bytes, "ZActionCode", 1));
  twice.insert(twice.end(), bytes.begin() + code, bytes.begin() + code + 12);
  ZActionDescription* p = nullptr;
  ASSERT_TRUE(ZActionDescription::Load(Loader(twice), p));
  std::unique_ptr<ZActionDescription> loaded(p);
  EXPECT_TRUE(p->GetCodes().size() == 2 && *p->GetCodes().begin() == *p->GetCodes().rbegin());

  Bytes schema = bytes, tag = bytes, null(bytes.begin(), bytes.begin() + code);
  ASSERT_TRUE(schema[15] == 0x02 && tag[code + 15] == 0xED);
  schema[15] = 0x01;  // after the header, class tag and identifier
  tag[code + 15] = 0xEC;
  null.insert(null.end(), {0xFF, 0xEA, 0, 0, 0, 0});
  LoadFails(schema);
  EXPECT_EQ(LoadFails(tag), 0);
  LoadFails(null);
}

// What a description can have: pay/free, wait-on, magic and pop as "pwmP",
// a '-' for each it cannot.
std::string Can(ZActionDescription& d) {
  return std::string(d.CanHavePayFree() ? "p" : "-") + (d.CanHaveWaitOn() ? "w" : "-") +
         (d.CanHaveMagic() ? "m" : "-") + (d.CanHavePop() ? "P" : "-");
}

// Pay/free and wait-on come from the flags (cut to 16 bits), magic and pop
// from the variants of the codes added (cut to 16 bits). Arguments are
// numbered from 1, each above the last.
TEST(ActionModel, FlagsCodeVariantsAndArguments) {
  ZActionTable table;
  ZString name("Pay"), close("Close"), x("x"), y("y");
  ZActionDescription* d = table.AddDescription(name, 0x12324);
  ZActionDescription* e = table.AddDescription(close, OptionMarker21 | 0x13);
  EXPECT_NE(table.AddDescription(name, 0x13), d);
  EXPECT_EQ(d->GetFlags(), 0x2324);
  std::string can = Can(*d) + Can(*e) + Can(**table.GetDescriptions().rbegin());
  e->AddCode(0);
  can += Can(*e);
  e->AddCode(1);
  EXPECT_EQ(can + Can(*e), "pw--p-------p---p-m-");
  EXPECT_TRUE(e->AddCode(0x10002)->GetVariant() == 2 && e->GetCodeVariants() == 3);

  EXPECT_TRUE(table.Find(ZString("Pay")) == d && table.Find(ZString("pay")) == nullptr);
  ZListString names;
  names.push_back(ZString("stale"));  // replaced
  EXPECT_TRUE(table.GetActionNames(names));
  EXPECT_EQ(Join(names), "[Pay][Close][Pay]");
  EXPECT_TRUE(ZActionTable().GetActionNames(names) && names.size() == 0);

  // Index 3 goes to index 1; 0, a repeat and a lower index are refused.
  std::string added;
  for (int index : {0, 1, 1, 3, 2})
    added += d->AddArgument(index, ZActionArgument::Text, y, 2, 0) ? "+" : "-";
  EXPECT_EQ(added, "-+-+-");
  EXPECT_TRUE(d->AddArgument(4, ZActionArgument::Number, x, 0x10002, -0x10003));
  ASSERT_EQ(d->GetNumArgs(), 3);
  EXPECT_EQ(Str(d->GetArgName(2)) + Str(d->GetArgName(-1)) + Str(d->GetArgName(3)),
            "xUnknownUnknown");
  // Size and shift cut to 16 bits.
  EXPECT_TRUE(d->GetArgument(2)->GetSize() == 2 && d->GetArgument(2)->GetShift() == -3);
}

TEST(ActionModel, VectorStringHoldsCopies) {
  // Grown 4 -> 8 -> 16 and full: appending one of its own strings must not
  // lose the source while the storage moves to room for 32.
  static std::string grown;  // the storage requests, in strings
  HostKit_SetAllocObserver(
      [](void*, int entry, const char*, void*, unsigned size) {
        if (entry == 106 && size >= 4 * sizeof(ZString) && size % sizeof(ZString) == 0)
          grown += std::to_string(size / sizeof(ZString)) + " ";
      },
      nullptr);
  ZVectorString v;
  v.push_back(ZString("t0"));
  while (v.size() < 16) v.push_back(ZString("x"));
  v.push_back(v[0]);
  v = v;  // nothing to allocate
  HostKit_SetAllocObserver(nullptr, nullptr);
  EXPECT_EQ(grown, "4 8 16 32 ");
  EXPECT_TRUE(v.size() == 17 && Str(v[16]) == "t0");
  delete[] new ZVectorString[2];

  // Outside the sequence: an empty string, nothing read out of bounds.
  const ZVectorString& constant = v;
  EXPECT_TRUE(constant[-1].IsEmpty() && constant[17].IsEmpty());
  v.clear();
  EXPECT_TRUE(constant[0].IsEmpty());
}

}  // namespace
