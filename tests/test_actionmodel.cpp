// The action model: building, queries, shared elements of copies, and the
// argument text sequence.
#include <gtest/gtest.h>

#include <memory>

#include "actions/support.h"
#include "hostkit/hostkit.h"
#include "orbcmn/orbcmn.h"

namespace {

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
  EXPECT_EQ(Can(*d) + Can(*e) + Can(**table.GetDescriptions().rbegin()), "pw--p-------");
  e->AddCode(0);
  EXPECT_EQ(Can(*e), "p---");
  e->AddCode(1);
  EXPECT_EQ(Can(*e), "p-m-");
  EXPECT_EQ(e->AddCode(0x10002)->GetVariant(), 2);
  EXPECT_EQ(e->GetCodeVariants(), 3);

  EXPECT_EQ(table.Find(ZString("Pay")), d);
  EXPECT_EQ(table.Find(ZString("pay")), nullptr);
  ZListString names;
  names.push_back(ZString("stale"));  // replaced
  EXPECT_TRUE(table.GetActionNames(names));
  EXPECT_EQ(Join(names), "[Pay][Close][Pay]");
  EXPECT_TRUE(ZActionTable().GetActionNames(names) && names.size() == 0);

  EXPECT_FALSE(d->AddArgument(0, ZActionArgument::Text, x, 0, 0));
  EXPECT_TRUE(d->AddArgument(1, ZActionArgument::Number, x, 0x10002, -0x10003));
  EXPECT_FALSE(d->AddArgument(1, ZActionArgument::Text, y, 0, 0));
  EXPECT_TRUE(d->AddArgument(3, ZActionArgument::Text, y, 0, 0));  // goes to index 1
  EXPECT_FALSE(d->AddArgument(2, ZActionArgument::Text, y, 0, 0));
  ASSERT_EQ(d->GetNumArgs(), 2);
  EXPECT_EQ(Str(d->GetArgName(1)) + Str(d->GetArgName(-1)) + Str(d->GetArgName(2)),
            "yUnknownUnknown");
  EXPECT_EQ(d->GetArgument(0)->GetSize(), 2);  // both cut to 16 bits
  EXPECT_EQ(d->GetArgument(0)->GetShift(), -3);
}

// A description with one argument and one code with a fragment and a condition.
ZActionDescription* AddSample(ZActionTable& table, const char* text) {
  ZString name(text), arg("arg");
  ZActionDescription* d = table.AddDescription(name, 0);
  d->AddArgument(1, ZActionArgument::Text, arg, 0, 0);
  AddCode(*d, 0, {"01 05"})
      ->AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::Replace, 1L);
  return d;
}

// Copies and assignments share the elements, which live while any holder
// does (their content is compared in the file tests).
TEST(ActionModel, CopiesShareElementsAndFreeThemOnce) {
  auto source = std::make_unique<ZActionTable>();
  ZActionDescription* first = AddSample(*source, "first");
  ZActionTable copy(*source), assigned;
  AddSample(assigned, "a1");
  assigned = *source;  // lets go of a1
  assigned = assigned;
  AddSample(*source, "second");  // not added to the copies
  source.reset();
  EXPECT_TRUE(copy.GetDescriptions().size() == 1 && assigned.GetDescriptions().size() == 1);
  ASSERT_TRUE(copy.Find(ZString("first")) == first && assigned.Find(ZString("first")) == first);

  ZActionCode* code = *first->GetCodes().begin();
  ZActionCode codeCopy(*code);
  ZActionDescription descriptionCopy(*first);
  EXPECT_EQ(*codeCopy.GetFragments().begin(), *code->GetFragments().begin());
  EXPECT_EQ(descriptionCopy.GetArgument(0), first->GetArgument(0));
  copy = ZActionTable();
  assigned = copy;  // the code lives on in descriptionCopy and codeCopy
  EXPECT_EQ(ToHex((*code->GetFragments().begin())->GetBytes()), "01 05");
  EXPECT_EQ(Str(descriptionCopy.GetArgName(0)), "arg");
  codeCopy = ZActionCode();
  EXPECT_EQ(codeCopy.GetFragments().size(), 0);
  descriptionCopy = descriptionCopy;
  EXPECT_EQ(descriptionCopy.GetCodes().size(), 1);
}

TEST(ActionModel, VectorStringHoldsCopies) {
  // Grown 4 -> 8 -> 16 and full: appending one of its own strings must not
  // lose the source while the storage moves to room for 32.
  static std::string grown;  // the storage requests, in strings
  HostKit_SetAllocObserver(
      [](void*, int entry, const char*, void*, unsigned size) {
        if (entry == 106 && size >= 4 * sizeof(ZString) && size % sizeof(ZString) == 0) {
          grown += std::to_string(size / sizeof(ZString)) + " ";
        }
      },
      nullptr);
  ZVectorString v;
  v.push_back(ZString("t0"));
  while (v.size() < 16) v.push_back(ZString("x"));
  v.push_back(v[0]);
  HostKit_SetAllocObserver(nullptr, nullptr);
  EXPECT_EQ(grown, "4 8 16 32 ");
  ASSERT_EQ(v.size(), 17);
  EXPECT_EQ(Str(v[16]), "t0");

  ZVectorString copy(v), small;
  v[0] = "changed";
  EXPECT_EQ(Str(copy[0]), "t0");
  small.push_back(ZString("only"));
  copy = small;
  std::unique_ptr<ZVectorString> heap(new ZVectorString(copy));
  EXPECT_EQ(Join(*heap), "[only]");  // assigned, then copied
  *heap = ZVectorString();
  EXPECT_EQ(heap->size(), 0);
  delete[] new ZVectorString[2];

  // Outside the sequence: an empty string, nothing read out of bounds.
  const ZVectorString& constant = v;
  EXPECT_TRUE(constant[-1].IsEmpty() && constant[17].IsEmpty());
  v.clear();
  EXPECT_TRUE(constant[0].IsEmpty());
}

}  // namespace
