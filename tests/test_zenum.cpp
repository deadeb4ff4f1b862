#include <gtest/gtest.h>

#include <string>

#include "orbcmn/zenum.h"

namespace {

std::string Text(const ZString& s) {
  const char* p = s;
  return p == nullptr ? std::string() : std::string(p, s.GetLength());
}

std::string Show(const ZEnum& e, unsigned long value) { return Text(e.Lookup(value)); }

TEST(ZEnum, ItemsAndAccessors) {
  ZEnum e(2, ZEnum::eSingleValue);
  EXPECT_EQ(e.GetSize(), 2);
  EXPECT_EQ(e.GetOperation(), 2);
  EXPECT_EQ(e.GetItem(0), nullptr);

  e.AddItem(ZString("Red"), 1);
  e.AddItem(ZString("GR\xC4"
                    "EN"),
            0x1FFFFFFFFul);  // only 32 bits are kept
  e.AddItem(ZString("red"), 3);
  ASSERT_NE(e.GetItem(0), nullptr);
  EXPECT_EQ(Text(e.GetItem(0)->GetName()), "red");
  EXPECT_EQ(e.GetItem(0)->GetValue(), 1u);
  EXPECT_EQ(Text(e.GetItem(1)->GetName()),
            "gr\xC4"
            "en");  // high bytes kept
  EXPECT_EQ(e.GetItem(1)->GetValue(), 0xFFFFFFFFul);
  EXPECT_EQ(e.GetItem(2)->GetValue(), 3u);  // repeated names are allowed
  EXPECT_EQ(e.GetItem(3), nullptr);
  EXPECT_EQ(e.GetItem(-1), nullptr);

  ZEnum empty;
  EXPECT_EQ(empty.GetSize(), 0);
  EXPECT_EQ(empty.GetOperation(), 0);
  ZEnumItem blank;
  EXPECT_EQ(blank.GetValue(), 0u);
  EXPECT_TRUE(blank.GetName().IsEmpty());
}

TEST(ZEnum, BitFlagsToText) {
  ZEnum e(1, ZEnum::eBitFlags);
  e.AddItem(ZString("a"), 1);
  e.AddItem(ZString("c"), 4);
  EXPECT_EQ(Show(e, 5), "a | c");
  EXPECT_EQ(Show(e, 7), "a | 2 | c");
  EXPECT_EQ(Show(e, 0x105), "a | c");  // bit 8 is beyond size * 8
  EXPECT_EQ(Show(e, 0x100), "");
  EXPECT_EQ(Show(e, 0), "0");
  e.AddItem(ZString("none"), 0);
  EXPECT_EQ(Show(e, 0), "none");

  // Only items of exactly one bit name a bit.
  ZEnum wide(4, ZEnum::eBitFlags);
  wide.AddItem(ZString("both"), 3);
  wide.AddItem(ZString("two"), 2);
  EXPECT_EQ(Show(wide, 3), "1 | two");
  EXPECT_EQ(Show(wide, 0x80000002ul), "two | -2147483648");

  ZEnum zero(0, ZEnum::eBitFlags);
  zero.AddItem(ZString("a"), 1);
  EXPECT_EQ(Show(zero, 1), "");
}

TEST(ZEnum, SingleValueAndOtherOperationsToText) {
  ZEnum e(4, ZEnum::eSingleValue);
  e.AddItem(ZString("red"), 1);
  e.AddItem(ZString("green"), 2);
  e.AddItem(ZString("lime"), 2);
  EXPECT_EQ(Show(e, 2), "green");
  EXPECT_EQ(Show(e, 9), "9");
  EXPECT_EQ(Show(e, 0xFFFFFFFFul), "-1");

  ZEnum other(4, 7);
  other.AddItem(ZString("red"), 1);
  EXPECT_EQ(Show(other, 1), "");
  ZEnum unset;
  EXPECT_EQ(Show(unset, 0), "");
}

TEST(ZEnum, BitFieldsToText) {
  ZEnum e(2, ZEnum::eBitFields);
  e.AddItem(ZString("left"), 3ul * 65536 + 0);
  e.AddItem(ZString("centre"), 3ul * 65536 + 1);
  e.AddItem(ZString("bold"), 4ul * 65536 + 4);
  EXPECT_EQ(Show(e, 5), "centre | bold");
  EXPECT_EQ(Show(e, 4), "left | bold");
  EXPECT_EQ(Show(e, 16), "left | 16");
  EXPECT_EQ(Show(e, 0), "left");
  EXPECT_EQ(Show(e, 0x80000003ul), "-2147483645");

  ZEnum none(2, ZEnum::eBitFields);
  EXPECT_EQ(Show(none, 0), "");
  EXPECT_EQ(Show(none, 6), "6");
}

TEST(ZEnum, TextToValue) {
  ZEnum flags(1, ZEnum::eBitFlags);
  flags.AddItem(ZString("a"), 1);
  flags.AddItem(ZString("c"), 4);
  ZEnum single(4, ZEnum::eSingleValue);
  single.AddItem(ZString("red"), 1);
  single.AddItem(ZString("green"), 2);
  ZEnum fields(2, ZEnum::eBitFields);
  fields.AddItem(ZString("left"), 3ul * 65536 + 0);
  fields.AddItem(ZString("centre"), 3ul * 65536 + 1);
  fields.AddItem(ZString("bold"), 4ul * 65536 + 4);
  ZEnum other(4, 9);
  other.AddItem(ZString("red"), 1);
  // Tokens keep their blanks, so a multi-piece text does not parse back.
  const std::string shown = Text(flags.Lookup(5));
  const struct {
    const ZEnum& e;
    const char* text;
    unsigned long value;
    bool ok;
  } cases[] = {
      {flags, "a|c", 5, true},
      {flags, "a|8", 9, true},
      {flags, "c", 4, true},
      {flags, shown.c_str(), 0, false},
      {flags, "A", 0, false},
      {flags, "", 0, false},
      {flags, "a|", 0, false},
      {flags, "|a", 0, false},
      {flags, "a||c", 0, false},
      {flags, "a|zz", 0, false},
      // Number forms.
      {flags, "010", 8, true},
      {flags, "1fx", 31, true},
      {flags, "0x10|a", 17, true},
      {flags, "-1", 0, false},
      {flags, "1.5", 0, false},
      // A single value takes the first piece.
      {single, "green|red", 2, true},
      {single, "red|", 1, true},
      {single, "red|bogus", 1, true},
      {single, "12", 12, true},
      {single, "|red", 0, false},
      {single, "Green", 0, false},
      {fields, "centre|bold", 5, true},
      {fields, "0x30001", 1, true},  // only the low 16 bits count
      {fields, "bold|", 0, false},
      {other, "red", 0, false},
  };
  for (const auto& c : cases) {
    bool ok = !c.ok;  // make sure Lookup writes it
    EXPECT_EQ(c.e.Lookup(ZString(c.text), &ok), c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }
  EXPECT_EQ(other.Lookup(ZString("red"), nullptr), 0u);
  EXPECT_EQ(single.Lookup(ZString("red"), nullptr), 1u);
}

TEST(ZMulti, DoesNotOwnItsEnumeration) {
  ZEnum* e = new ZEnum(1, ZEnum::eBitFlags);
  ASSERT_NE(e, nullptr);
  e->AddItem(ZString("a"), 1);
  ZMulti* m = new ZMulti(5, e);
  ASSERT_NE(m, nullptr);
  delete m;
  EXPECT_EQ(Text(e->GetItem(0)->GetName()), "a");  // still alive
  delete e;
}

}  // namespace
