// The atom table model: find-or-create order, lookups, per-argument types.
#include <gtest/gtest.h>

#include <string>

#include "orbcmn/zatomtable.h"

namespace {

TEST(ZAtomTable, FindOrCreateKeepsInsertionOrderAndLookupsRecordTheProtocol) {
  ZAtomTable t;
  EXPECT_TRUE(t.GetAtom(1, 2, 3) == nullptr && t.GetAtom(ZString("")) == nullptr &&
              t.GetName(1, 2, 3).IsEmpty() && t.GetType(1, 2, 3) == 0);

  ZAtom* foo = t.AddAtomA(1, 2, 3, ZString("Fo_Z9\xC9"));
  EXPECT_EQ(t.AddAtomA(1, 2, 3, ZString("Other")), foo);
  EXPECT_EQ(std::string(foo->GetName()), "fo_z9\xC9");  // only the bytes A-Z are lowered
  ZAtom* four = t.AddAtomA(1, 2, 4, ZString("dup"));
  ZAtom* five = t.AddAtomA(1, 5, 1, ZString("f"));
  ZAtom* nine = t.AddAtomA(9, 2, 3, ZString("dup"));
  t.AddAtomA(0, 2, 1, ZString("dup"));
  ZClass* c = t.GetFirstClass();
  ZProtocol* p = c->GetFirstProtocol();
  EXPECT_TRUE(p->GetFirstAtom() == foo && foo->Next() == four &&
              p->Next()->GetFirstAtom() == five && p->Next()->Next() == nullptr);
  EXPECT_TRUE(c->Next()->GetFirstProtocol()->GetFirstAtom() == nine &&
              c->Next()->Next()->GetClass() == 0 && c->Next()->Next()->Next() == nullptr);

  // Every lookup that finds an atom records the protocol it was found under.
  foo->AddType(12, nullptr);
  EXPECT_EQ(foo->GetProtocol(), 0);
  EXPECT_EQ(t.GetAtom(1, 8, 3), nullptr);
  EXPECT_EQ(t.GetType(1, 2, 3), 12);
  EXPECT_EQ(foo->GetProtocol(), 2);
  EXPECT_EQ(t.GetName(9, 2, 3), nine->GetName());
  EXPECT_EQ(nine->GetProtocol(), 2);
  // Name lookup is exact and returns the first in class, protocol, atom
  // order.
  EXPECT_EQ(t.GetAtom(ZString("F")), nullptr);
  EXPECT_EQ(t.GetAtom(ZString("f")), five);
  EXPECT_EQ(five->GetProtocol(), 5);
  EXPECT_EQ(t.GetAtom(ZString("dup")), four);
}

TEST(ZAtom, TypesAndEnumerationsPerArgument) {
  // A type of 0 leaves argument 0 open for the next call.
  ZAtom a(3, ZString("A"));
  EXPECT_TRUE(a.AddType(0, nullptr));
  ZEnum* e1 = a.AddEnum(2, ZEnum::eSingleValue);
  EXPECT_TRUE(a.AddType(5, nullptr) && a.AddType(6, e1) && a.AddType(0, nullptr));
  EXPECT_EQ(a.GetNumArgRecords(), 2);
  // Each index -1 to 3: its type and whether it gives e1. Argument 0 has no
  // enumeration, yet index 0 gives the head of the list, argument 1's; index
  // 2 is a record of type 0, index 3 no record.
  std::string seen;
  for (int i = -1; i <= 3; ++i) {
    seen += std::to_string(a.GetType(i)) + (a.GetEnum(i) == e1 ? "e " : a.GetEnum(i) ? "? " : " ");
  }
  EXPECT_EQ(seen, "0 5e 6e 0 0 ");
  a.AddFlag(0x0101);
  a.AddFlag(0x8001);
  EXPECT_EQ(a.GetFlags(), 0x8101);
}

}  // namespace
