// The atom table model: find-or-create order, lookups, per-argument types.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "orbcmn/zatomtable.h"

namespace {

// A member-wise copy would free the owned lists twice.
static_assert(!std::is_copy_constructible<ZAtomTable>::value &&
                  !std::is_copy_assignable<ZAtom>::value,
              "tables and atoms own their lists");

TEST(ZAtomTable, FindOrCreateKeepsInsertionOrder) {
  ZAtomTable t;
  EXPECT_EQ(t.GetAtom(1, 2, 3), nullptr);
  EXPECT_EQ(t.GetAtom(ZString("")), nullptr);
  EXPECT_TRUE(t.GetName(1, 2, 3).IsEmpty());
  EXPECT_EQ(t.GetType(1, 2, 3), 0);

  ZAtom* foo = t.AddAtomA(1, 2, 3, ZString("Fo_Z9\xC9"));
  EXPECT_EQ(t.AddAtomA(1, 2, 3, ZString("Other")), foo);
  EXPECT_EQ(std::string(foo->GetName()), "fo_z9\xC9");  // only the bytes A-Z are lowered
  ZAtom* four = t.AddAtomA(1, 2, 4, ZString("four"));
  ZAtom* five = t.AddAtomA(1, 5, 1, ZString("five"));
  ZAtom* other = t.AddAtomA(9, 2, 3, ZString("nine"));
  ZClass* c = t.GetFirstClass();
  ZProtocol* p = c->GetFirstProtocol();
  EXPECT_EQ(p->GetFirstAtom(), foo);
  EXPECT_EQ(foo->Next(), four);
  EXPECT_EQ(p->Next()->GetFirstAtom(), five);
  EXPECT_EQ(p->Next()->Next(), nullptr);
  EXPECT_EQ(c->Next()->GetClass(), 9);
  EXPECT_EQ(c->Next()->GetFirstProtocol()->GetFirstAtom(), other);
  EXPECT_EQ(c->Next()->Next(), nullptr);
}

TEST(ZAtomTable, LookupsRecordTheProtocol) {
  ZAtomTable t;
  ZAtom* a = t.AddAtomA(1, 7, 3, ZString("Foo"));
  a->AddType(12, nullptr);
  EXPECT_EQ(a->GetProtocol(), 0);
  EXPECT_EQ(t.GetAtom(1, 7, 3), a);
  EXPECT_EQ(a->GetProtocol(), 7);
  EXPECT_EQ(t.GetAtom(1, 8, 3), nullptr);
  EXPECT_EQ(t.GetType(1, 7, 3), 12);

  // The same atom number under another protocol: GetName records it too.
  ZAtom* b = t.AddAtomA(1, 9, 3, ZString("foo"));
  EXPECT_EQ(t.GetName(1, 9, 3), b->GetName());
  EXPECT_EQ(b->GetProtocol(), 9);

  // Name lookup is exact and returns the first in class, protocol, atom
  // order: class 1 before class 0, atom 3 added to protocol 7 before atom 2.
  t.AddAtomA(0, 1, 1, ZString("foo"));
  t.AddAtomA(1, 7, 2, ZString("foo"));
  EXPECT_EQ(t.GetAtom(ZString("Foo")), nullptr);
  EXPECT_EQ(t.GetAtom(ZString("foo")), a);

  ZAtom* y = t.AddAtomA(4, 5, 1, ZString("y"));
  EXPECT_EQ(t.GetAtom(ZString("y")), y);
  EXPECT_EQ(y->GetProtocol(), 5);
}

TEST(ZAtom, TypesAndEnumerationsPerArgument) {
  // A type of 0 leaves argument 0 open for the next call.
  ZAtom a(3, ZString("A"));
  a.AddType(0, nullptr);
  ZEnum* e1 = a.AddEnum(2, ZEnum::eSingleValue);
  a.AddType(5, nullptr);
  a.AddType(6, e1);
  a.AddType(0, nullptr);
  EXPECT_EQ(a.GetType(0), 5);
  EXPECT_EQ(a.GetType(1), 6);
  EXPECT_EQ(a.GetType(2), 0);  // a record of type 0
  EXPECT_EQ(a.GetType(3), 0);  // no third record
  EXPECT_EQ(a.GetType(-1), 0);
  // Argument 0 has no enumeration: index 0 still gives the head of the
  // list, which belongs to argument 1.
  EXPECT_EQ(a.GetEnum(0), e1);
  EXPECT_EQ(a.GetEnum(1), e1);
  EXPECT_EQ(a.GetEnum(2), nullptr);
  EXPECT_EQ(a.GetEnum(-1), nullptr);
  a.AddFlag(0x0101);
  a.AddFlag(0x8001);
  EXPECT_EQ(a.GetFlags(), 0x8101);
}

}  // namespace
