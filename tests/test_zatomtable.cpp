#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "orbcmn/zatomtable.h"

namespace {

std::string Text(const ZString& s) {
  const char* p = s;
  return p == nullptr ? std::string() : std::string(p, s.GetLength());
}

static_assert(!std::is_copy_constructible<ZAtomTable>::value, "tables own their tree");
static_assert(!std::is_copy_assignable<ZAtom>::value, "atoms own their lists");
static_assert(!std::is_copy_constructible<ZEnum>::value, "enumerations own their items");

TEST(ZAtomTable, EmptyTable) {
  ZAtomTable t;
  EXPECT_EQ(t.GetFirstClass(), nullptr);
  EXPECT_EQ(t.GetAtom(1, 2, 3), nullptr);
  EXPECT_EQ(t.GetAtom(ZString("x")), nullptr);
  EXPECT_EQ(t.GetAtom(ZString("")), nullptr);
  EXPECT_TRUE(t.GetName(1, 2, 3).IsEmpty());
  EXPECT_EQ(t.GetType(1, 2, 3), 0);
}

TEST(ZAtomTable, FindOrCreateKeepsInsertionOrder) {
  ZAtomTable t;
  ZAtom* foo = t.AddAtomA(1, 2, 3, ZString("Foo"));
  ASSERT_NE(foo, nullptr);
  EXPECT_EQ(Text(foo->GetName()), "foo");
  EXPECT_EQ(foo->GetProtocol(), 0);
  EXPECT_EQ(t.AddAtomA(1, 2, 3, ZString("Other")), foo);
  EXPECT_EQ(Text(foo->GetName()), "foo");
  ZAtom* four = t.AddAtomA(1, 2, 4, ZString("four"));
  ZAtom* five = t.AddAtomA(1, 5, 1, ZString("five"));
  ZAtom* other = t.AddAtomA(9, 2, 3, ZString("nine"));
  ASSERT_NE(four, nullptr);
  ASSERT_NE(five, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, foo);

  ZClass* c = t.GetFirstClass();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetClass(), 1);
  ZProtocol* p = c->GetFirstProtocol();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetProtocol(), 2);
  EXPECT_EQ(p->GetFirstAtom(), foo);
  EXPECT_EQ(foo->Next(), four);
  EXPECT_EQ(four->Next(), nullptr);
  ASSERT_NE(p->Next(), nullptr);
  EXPECT_EQ(p->Next()->GetProtocol(), 5);
  EXPECT_EQ(p->Next()->GetFirstAtom(), five);
  EXPECT_EQ(p->Next()->Next(), nullptr);
  ASSERT_NE(c->Next(), nullptr);
  EXPECT_EQ(c->Next()->GetClass(), 9);
  EXPECT_EQ(c->Next()->GetFirstProtocol()->GetFirstAtom(), other);
  EXPECT_EQ(c->Next()->Next(), nullptr);

  // Names: the bytes A-Z are lowered, every other byte kept.
  ZAtom* mixed = t.AddAtomA(1, 2, 6, ZString("Ab_Z9\xC9x"));
  EXPECT_EQ(Text(mixed->GetName()), "ab_z9\xC9x");
}

TEST(ZAtomTable, LookupsRecordTheProtocol) {
  ZAtomTable t;
  ZAtom* a = t.AddAtomA(1, 7, 3, ZString("Foo"));
  a->AddType(12, nullptr);
  EXPECT_EQ(a->GetProtocol(), 0);
  EXPECT_EQ(t.GetAtom(1, 7, 3), a);
  EXPECT_EQ(a->GetProtocol(), 7);
  EXPECT_EQ(t.GetAtom(1, 7, 4), nullptr);
  EXPECT_EQ(t.GetAtom(1, 8, 3), nullptr);
  EXPECT_EQ(t.GetAtom(2, 7, 3), nullptr);
  EXPECT_EQ(Text(t.GetName(1, 7, 3)), "foo");
  EXPECT_TRUE(t.GetName(1, 7, 9).IsEmpty());
  EXPECT_EQ(t.GetType(1, 7, 3), 12);
  EXPECT_EQ(t.GetType(1, 7, 9), 0);

  // The same atom number under another protocol; each lookup writes the
  // protocol of the atom it finds.
  ZAtom* b = t.AddAtomA(1, 9, 3, ZString("foo"));
  EXPECT_EQ(t.GetName(1, 9, 3), b->GetName());
  EXPECT_EQ(b->GetProtocol(), 9);
  EXPECT_EQ(t.GetType(1, 9, 3), 0);

  // Name lookup is exact and returns the first in class, protocol, atom order.
  ZAtom* later = t.AddAtomA(0, 1, 1, ZString("foo"));
  EXPECT_EQ(t.GetAtom(ZString("Foo")), nullptr);
  EXPECT_EQ(t.GetAtom(ZString("fo")), nullptr);
  EXPECT_EQ(t.GetAtom(ZString("fooo")), nullptr);
  a->AddFlag(0);  // no lookup since: protocol still 7
  t.GetAtom(1, 7, 3);
  EXPECT_EQ(t.GetAtom(ZString("foo")), a);  // class 1 comes before class 0
  EXPECT_EQ(a->GetProtocol(), 7);
  t.AddAtomA(1, 7, 2, ZString("foo"));
  const ZAtom* first = t.GetAtom(ZString("foo"));
  EXPECT_EQ(first, a);  // atom 3 was added to protocol 7 before atom 2
  EXPECT_NE(later, nullptr);

  ZAtomTable u;
  ZAtom* x = u.AddAtomA(4, 2, 1, ZString("x"));
  ZAtom* y = u.AddAtomA(4, 7, 1, ZString("y"));
  ZAtom* x2 = u.AddAtomA(4, 7, 2, ZString("x"));
  EXPECT_EQ(u.GetAtom(ZString("y")), y);
  EXPECT_EQ(y->GetProtocol(), 7);
  EXPECT_EQ(u.GetAtom(ZString("x")), x);
  EXPECT_EQ(x->GetProtocol(), 2);
  EXPECT_EQ(x2->GetProtocol(), 0);
}

TEST(ZAtom, FlagsAndTypes) {
  ZAtom a(3, ZString("A"));
  EXPECT_EQ(a.GetAtom(), 3);
  EXPECT_EQ(a.GetFlags(), 0);
  a.AddFlag(0x0101);
  a.AddFlag(0x8001);
  EXPECT_EQ(a.GetFlags(), 0x8101);

  // A type of 0 leaves argument 0 open for the next call.
  EXPECT_EQ(a.GetType(0), 0);
  a.AddType(0, nullptr);
  EXPECT_EQ(a.GetType(0), 0);
  EXPECT_EQ(a.GetType(1), 0);
  a.AddType(5, nullptr);
  a.AddType(6, nullptr);
  a.AddType(0, nullptr);
  EXPECT_EQ(a.GetType(0), 5);
  EXPECT_EQ(a.GetType(1), 6);
  EXPECT_EQ(a.GetType(2), 0);  // a record of type 0
  EXPECT_EQ(a.GetType(3), 0);  // no third record
  EXPECT_EQ(a.GetType(-1), 0);

  ZAtom blank;
  EXPECT_EQ(blank.GetAtom(), 0);
  EXPECT_TRUE(blank.GetName().IsEmpty());
  EXPECT_EQ(blank.GetEnum(0), nullptr);
  EXPECT_EQ(blank.GetEnum(1), nullptr);
  EXPECT_EQ(blank.Next(), nullptr);
}

TEST(ZAtom, EnumerationsPerArgument) {
  // Filled in the documented order: argument 0's enumeration first.
  ZAtom a(1, ZString("a"));
  ZEnum* e0 = a.AddEnum(1, ZEnum::eBitFlags);
  ASSERT_NE(e0, nullptr);
  EXPECT_EQ(e0->GetSize(), 1);
  EXPECT_EQ(e0->GetOperation(), 1);
  a.AddType(4, e0);
  ZEnum* e1 = a.AddEnum(2, ZEnum::eSingleValue);
  a.AddType(7, e1);
  a.AddType(8, nullptr);
  EXPECT_EQ(a.GetEnum(0), e0);
  EXPECT_EQ(a.GetEnum(1), e1);
  EXPECT_EQ(a.GetEnum(2), nullptr);
  EXPECT_EQ(a.GetEnum(3), nullptr);
  EXPECT_EQ(a.GetEnum(-1), nullptr);
  EXPECT_EQ(a.GetType(2), 8);

  // Argument 0 without an enumeration: index 0 still gives the head of the
  // list, which belongs to argument 1.
  ZAtom b(2, ZString("b"));
  b.AddType(4, nullptr);
  ZEnum* f1 = b.AddEnum(4, ZEnum::eBitFields);
  b.AddType(9, f1);
  EXPECT_EQ(b.GetEnum(0), f1);
  EXPECT_EQ(b.GetEnum(1), f1);
  EXPECT_EQ(b.GetType(1), 9);
}

// Deleting the table frees every node of the tree (the test main counts
// the host allocator's live blocks).
TEST(ZAtomTable, OwnsItsWholeTree) {
  ZAtomTable* t = new ZAtomTable;
  ASSERT_NE(t, nullptr);
  for (unsigned short i = 0; i < 2000; ++i) {
    ZAtom* a = t->AddAtomA(1, 1, i, ZString("n"));
    ZEnum* e = a->AddEnum(1, ZEnum::eSingleValue);
    e->AddItem(ZString("v"), i);
    a->AddType(1, nullptr);
    a->AddType(2, e);
  }
  EXPECT_EQ(t->GetAtom(1, 1, 1999)->GetEnum(1)->GetItem(0)->GetValue(), 1999u);
  delete t;
}

}  // namespace
