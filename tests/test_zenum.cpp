#include <gtest/gtest.h>

#include <string>

#include "orbcmn/zenum.h"

namespace {

std::string Text(const ZString& s) {
  const char* p = s;
  return p == nullptr ? std::string() : std::string(p, s.GetLength());
}

std::string Show(const ZEnum& e, unsigned long value) { return Text(e.Lookup(value)); }

// Parses text; returns the value, with ok reported through *okOut.
unsigned long Parse(const ZEnum& e, const char* text, bool* okOut) {
  bool ok = !*okOut;  // make sure Lookup writes it
  unsigned long v = e.Lookup(ZString(text), &ok);
  *okOut = ok;
  return v;
}

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
  bool ok = false;
  ZEnum flags(1, ZEnum::eBitFlags);
  flags.AddItem(ZString("a"), 1);
  flags.AddItem(ZString("c"), 4);
  EXPECT_EQ(Parse(flags, "a|c", &ok), 5u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(flags, "a|8", &ok), 9u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(flags, "c", &ok), 4u);
  EXPECT_TRUE(ok);
  // Tokens keep their blanks, so a multi-piece text does not parse back.
  EXPECT_EQ(Parse(flags, Text(flags.Lookup(5)).c_str(), &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Parse(flags, "A", &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Parse(flags, "", &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Parse(flags, "a|", &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Parse(flags, "|a", &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Parse(flags, "a||c", &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Parse(flags, "a|zz", &ok), 0u);
  EXPECT_FALSE(ok);

  // Number forms.
  EXPECT_EQ(Parse(flags, "010", &ok), 8u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(flags, "1fx", &ok), 31u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(flags, "0x10|a", &ok), 17u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(flags, "-1", &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Parse(flags, "1.5", &ok), 0u);
  EXPECT_FALSE(ok);

  ZEnum single(4, ZEnum::eSingleValue);
  single.AddItem(ZString("red"), 1);
  single.AddItem(ZString("green"), 2);
  EXPECT_EQ(Parse(single, "green|red", &ok), 2u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(single, "red|", &ok), 1u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(single, "red|bogus", &ok), 1u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(single, "12", &ok), 12u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(single, "|red", &ok), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Parse(single, "Green", &ok), 0u);
  EXPECT_FALSE(ok);

  ZEnum fields(2, ZEnum::eBitFields);
  fields.AddItem(ZString("left"), 3ul * 65536 + 0);
  fields.AddItem(ZString("centre"), 3ul * 65536 + 1);
  fields.AddItem(ZString("bold"), 4ul * 65536 + 4);
  EXPECT_EQ(Parse(fields, "centre|bold", &ok), 5u);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(fields, "0x30001", &ok), 1u);  // only the low 16 bits count
  EXPECT_TRUE(ok);
  EXPECT_EQ(Parse(fields, "bold|", &ok), 0u);
  EXPECT_FALSE(ok);

  ZEnum other(4, 9);
  other.AddItem(ZString("red"), 1);
  EXPECT_EQ(Parse(other, "red", &ok), 0u);
  EXPECT_FALSE(ok);
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
