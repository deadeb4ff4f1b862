// The action model: building, queries, shared elements of copies, and the
// argument text sequence.
#include <gtest/gtest.h>

#include <vector>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"

namespace {

TEST(ActionModel, FindAndNamesKeepOrderAndRepeats) {
  ZActionTable table;
  ZString open("Open"), close("Close");
  ZActionDescription* first = table.AddDescription(open, 0);
  ZActionDescription* second = table.AddDescription(close, 0);
  ZActionDescription* repeat = table.AddDescription(open, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(repeat, first);
  EXPECT_EQ(table.Find(ZString("Open")), first);
  EXPECT_EQ(table.Find(ZString("Close")), second);
  EXPECT_EQ(table.Find(ZString("open")), nullptr);
  EXPECT_EQ(table.Find(ZString("Ope")), nullptr);
  EXPECT_EQ(table.Find(ZString("")), nullptr);

  ZListString names;
  names.push_back(ZString("stale"));
  names.push_back(ZString("entries"));
  EXPECT_TRUE(table.GetActionNames(names));
  ASSERT_EQ(names.size(), 3);
  ZListString::ZIterator it = names.begin();
  EXPECT_EQ(Str(*it++), "Open");
  EXPECT_EQ(Str(*it++), "Close");
  EXPECT_EQ(Str(*it++), "Open");

  ZActionTable empty;
  EXPECT_TRUE(empty.GetActionNames(names));
  EXPECT_EQ(names.size(), 0);
}

TEST(ActionModel, FlagsAndCodeVariants) {
  ZActionTable table;
  ZString name("Pay");
  ZActionDescription* d = table.AddDescription(name, 0x12324);
  name = "changed";  // the description keeps its own copy
  EXPECT_EQ(Str(d->GetName()), "Pay");
  EXPECT_EQ(d->GetFlags(), 0x2324);
  EXPECT_EQ(d->GetCodeVariants(), 0);
  EXPECT_EQ(Str(d->GetServerName()), "");
  EXPECT_EQ(d->GetAccessRight(), 0u);

  // Pay/free and wait-on come from the flags, magic and pop from the codes.
  struct {
    unsigned int flags;
    std::vector<unsigned int> variants;
    bool payFree, waitOn, magic, pop;
  } const cases[] = {
      {0x12324, {}, true, true, false, false},
      {OptionMarker21, {0}, true, false, false, false},
      {0x13, {1}, false, false, true, false},
      {0, {1, 0x10002}, false, false, true, true},
  };
  for (auto const& c : cases) {
    ZActionDescription* e = table.AddDescription(name, c.flags);
    ZActionCode* last = nullptr;
    for (unsigned int v : c.variants) last = e->AddCode(v);
    EXPECT_EQ(e->CanHavePayFree(), c.payFree) << c.flags;
    EXPECT_EQ(e->CanHaveWaitOn(), c.waitOn) << c.flags;
    EXPECT_EQ(e->CanHaveMagic(), c.magic) << c.flags;
    EXPECT_EQ(e->CanHavePop(), c.pop) << c.flags;
    ASSERT_EQ(e->GetCodes().size(), static_cast<int>(c.variants.size()));
    if (last != nullptr) {
      EXPECT_EQ(*e->GetCodes().rbegin(), last);
    }
  }
  ZActionCode* code = d->AddCode(0x10002);
  EXPECT_EQ(code->GetVariant(), 2);
  d->AddCode(1);
  EXPECT_EQ(d->GetCodeVariants(), 3);
}

TEST(ActionModel, ArgumentNumbering) {
  ZString name("a"), x("x"), y("y"), z("z");
  ZActionDescription d(name, 0);
  EXPECT_EQ(d.GetNumArgs(), 0);
  EXPECT_FALSE(d.AddArgument(0, ZActionArgument::Text, x, 0, 0));
  EXPECT_TRUE(d.AddArgument(1, ZActionArgument::Number, x, 0x10002, -0x10003));
  EXPECT_FALSE(d.AddArgument(1, ZActionArgument::Text, y, 0, 0));
  EXPECT_TRUE(d.AddArgument(3, ZActionArgument::Text, y, 0, 0));
  EXPECT_FALSE(d.AddArgument(2, ZActionArgument::Text, z, 0, 0));
  ASSERT_EQ(d.GetNumArgs(), 2);
  EXPECT_EQ(Str(d.GetArgName(0)), "x");
  EXPECT_EQ(Str(d.GetArgName(1)), "y");
  EXPECT_EQ(Str(d.GetArgName(-1)), "Unknown");
  EXPECT_EQ(Str(d.GetArgName(2)), "Unknown");
  EXPECT_EQ(d.GetArgument(-1), nullptr);
  EXPECT_EQ(d.GetArgument(2), nullptr);
  ZActionArgument* number = d.GetArgument(0);
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->GetType(), ZActionArgument::Number);
  EXPECT_EQ(number->GetSize(), 2);
  EXPECT_EQ(number->GetShift(), -3);
}

TEST(ActionModel, FragmentsAndConditionsKeepTheirFields) {
  ZActionCode code(7);
  EXPECT_EQ(code.GetVariant(), 7);
  ZBuffer bytes = Hex("01 05");
  EXPECT_TRUE(code.AddFragment(ZActionFragment::StreamBytes, bytes));
  EXPECT_TRUE(code.AddFragment(ZActionFragment::ArgumentSlot, 0x1FFFF));
  EXPECT_TRUE(code.AddCondition(2, ZActionCondition::SameInitial, ZActionCondition::Or,
                                ZString("YES Sir")));
  EXPECT_TRUE(code.AddCondition(0x10001, ZActionCondition::AtMost, ZActionCondition::And, -5L));

  ASSERT_EQ(code.GetFragments().size(), 2);
  ZActionFragment* fixed = *code.GetFragments().begin();
  ZActionFragment* slot = *code.GetFragments().rbegin();
  EXPECT_EQ(fixed->GetType(), ZActionFragment::StreamBytes);
  EXPECT_EQ(fixed->GetIndex(), 0);
  EXPECT_EQ(ToHex(fixed->GetBytes()), "01 05");
  EXPECT_EQ(slot->GetType(), ZActionFragment::ArgumentSlot);
  EXPECT_EQ(slot->GetIndex(), -1);
  EXPECT_TRUE(slot->GetBytes().IsEmpty());

  ASSERT_EQ(code.GetConditions().size(), 2);
  ZActionCondition* text = *code.GetConditions().begin();
  ZActionCondition* number = *code.GetConditions().rbegin();
  EXPECT_EQ(text->GetArgNumber(), 2);
  EXPECT_EQ(Str(text->GetText()), "yes sir");
  EXPECT_EQ(text->GetNumber(), 0);
  EXPECT_EQ(number->GetArgNumber(), 1);
  EXPECT_EQ(number->GetNumber(), -5);
  EXPECT_TRUE(number->GetText().IsEmpty());
}

// Builds a description with one argument and one code holding a fragment
// and a condition.
ZActionDescription* AddSample(ZActionTable& table, char const* text) {
  ZString name(text), arg("arg");
  ZActionDescription* d = table.AddDescription(name, 0);
  d->AddArgument(1, ZActionArgument::Text, arg, 0, 0);
  ZActionCode* code = d->AddCode(0);
  code->AddFragment(ZActionFragment::StreamBytes, Hex("01 05"));
  code->AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::Replace, 1L);
  return d;
}

TEST(ActionModel, CopiesShareElementsAndFreeThemOnce) {
  ZActionTable* source = new ZActionTable;
  ZActionDescription* first = AddSample(*source, "first");
  ZActionTable* copy = new ZActionTable(*source);
  ASSERT_EQ(copy->GetDescriptions().size(), 1);
  EXPECT_EQ(*copy->GetDescriptions().begin(), first);
  // Adding to one does not add to the other.
  AddSample(*source, "second");
  EXPECT_EQ(copy->GetDescriptions().size(), 1);
  EXPECT_EQ(source->GetDescriptions().size(), 2);

  // The source goes first: the copy's element is still alive and whole.
  delete source;
  ZActionDescription* kept = copy->Find(ZString("first"));
  ASSERT_EQ(kept, first);
  EXPECT_EQ(Str(kept->GetArgName(0)), "arg");
  ASSERT_EQ(kept->GetCodes().size(), 1);

  // Codes and descriptions copy the same way, by value and by assignment.
  ZActionCode* code = *kept->GetCodes().begin();
  ZActionCode codeCopy(*code);
  EXPECT_EQ(*codeCopy.GetFragments().begin(), *code->GetFragments().begin());
  EXPECT_EQ(*codeCopy.GetConditions().begin(), *code->GetConditions().begin());
  ZActionDescription descriptionCopy(*kept);
  EXPECT_EQ(*descriptionCopy.GetCodes().begin(), code);
  EXPECT_EQ(descriptionCopy.GetArgument(0), kept->GetArgument(0));
  delete copy;  // the code lives on in descriptionCopy and codeCopy
  EXPECT_EQ(code->GetVariant(), 0);
  EXPECT_EQ(ToHex((*code->GetFragments().begin())->GetBytes()), "01 05");

  ZActionTable a, b;
  AddSample(a, "a1");
  AddSample(b, "b1");
  AddSample(b, "b2");
  a = b;  // a lets go of a1, shares b1 and b2
  a = a;
  EXPECT_EQ(a.GetDescriptions().size(), 2);
  EXPECT_EQ(*a.GetDescriptions().begin(), *b.GetDescriptions().begin());
  ZActionCode emptyCode;
  codeCopy = emptyCode;
  EXPECT_EQ(codeCopy.GetFragments().size(), 0);
  descriptionCopy = descriptionCopy;
  EXPECT_EQ(descriptionCopy.GetCodes().size(), 1);
}

TEST(ActionModel, VectorStringHoldsCopies) {
  ZVectorString v;
  EXPECT_EQ(v.size(), 0);
  for (int i = 0; i < 9; ++i) {
    ZString text;
    text.Format("t%d", i);
    v.push_back(text);
  }
  // Nine strings grew the storage 4 -> 8 -> 16. Fill it, then append one
  // of its own strings while it is full: growing must not lose the source.
  while (v.size() < 16) v.push_back(ZString("x"));
  v.push_back(v[0]);
  ASSERT_EQ(v.size(), 17);
  EXPECT_EQ(Str(v[16]), "t0");
  EXPECT_EQ(Str(v[8]), "t8");

  ZVectorString copy(v);
  v[0] = "changed";
  EXPECT_EQ(Str(copy[0]), "t0");
  ZVectorString small;
  small.push_back(ZString("only"));
  copy = small;
  ASSERT_EQ(copy.size(), 1);
  EXPECT_EQ(Str(copy[0]), "only");
  small = v;
  EXPECT_EQ(small.size(), 17);
  EXPECT_EQ(Str(small[0]), "changed");

  // Outside the sequence: an empty string, nothing read out of bounds.
  ZVectorString const& constant = v;
  EXPECT_TRUE(constant[-1].IsEmpty());
  EXPECT_TRUE(constant[17].IsEmpty());
  v.clear();
  EXPECT_EQ(v.size(), 0);
  EXPECT_TRUE(constant[0].IsEmpty());
  v.push_back(ZString("again"));
  EXPECT_EQ(Str(v[0]), "again");
}

}  // namespace
