#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "orbcmn/zenum.h"

namespace {

std::string Text(const ZString& s) {
  const char* p = s;
  return p == nullptr ? std::string() : std::string(p, s.GetLength());
}

using Enum = std::unique_ptr<ZEnum>;

Enum Make(unsigned short size, unsigned short op,
          std::initializer_list<std::pair<const char*, unsigned long>> items) {
  Enum e(new ZEnum(size, op));
  for (const auto& item : items) e->AddItem(ZString(item.first), item.second);
  return e;
}

class ZEnumTest : public testing::Test {
 protected:
  Enum flags = Make(1, ZEnum::eBitFlags, {{"a", 1}, {"c", 4}});
  Enum single = Make(4, ZEnum::eSingleValue, {{"red", 1}, {"green", 2}, {"lime", 2}});
  // Mask in the high half, pattern in the low half.
  Enum fields =
      Make(2, ZEnum::eBitFields, {{"left", 0x30000}, {"centre", 0x30001}, {"bold", 0x40004}});
  Enum other = Make(4, 7, {{"red", 1}});  // an operation that names nothing
};

TEST(ZEnum, Items) {
  ZEnum e(2, ZEnum::eSingleValue);
  EXPECT_EQ(e.GetItem(0), nullptr);
  e.AddItem(ZString("GR\xC4"), 0x1FFFFFFFFul);  // only 32 bits are kept
  e.AddItem(ZString("x"), 3);
  EXPECT_EQ(Text(e.GetItem(0)->GetName()), "gr\xC4");  // high bytes kept
  EXPECT_EQ(e.GetItem(0)->GetValue(), 0xFFFFFFFFul);
  EXPECT_EQ(e.GetItem(2), nullptr);
  EXPECT_EQ(e.GetItem(-1), nullptr);
}

TEST_F(ZEnumTest, ValueToText) {
  // Only items of exactly one bit name a bit.
  Enum wide = Make(4, ZEnum::eBitFlags, {{"both", 3}, {"two", 2}});
  Enum zero = Make(0, ZEnum::eBitFlags, {{"a", 1}});
  const struct {
    const Enum& e;
    unsigned long value;
    const char* text;
  } cases[] = {
      {flags, 5, "a | c"},
      {flags, 7, "a | 2 | c"},
      {flags, 0x105, "a | c"},  // bit 8 is beyond size * 8
      {flags, 0, "0"},
      {wide, 3, "1 | two"},
      {wide, 0x80000002ul, "two | -2147483648"},
      {zero, 1, ""},
      {single, 2, "green"},
      {single, 9, "9"},
      {single, 0xFFFFFFFFul, "-1"},
      {fields, 5, "centre | bold"},
      {fields, 4, "left | bold"},
      {fields, 16, "left | 16"},
      {other, 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Text(c.e->Lookup(c.value)), c.text) << c.value;
  flags->AddItem(ZString("none"), 0);
  EXPECT_EQ(Text(flags->Lookup(0)), "none");
}

TEST_F(ZEnumTest, TextToValue) {
  // Tokens keep their blanks, so a multi-piece text does not parse back.
  const std::string shown = Text(flags->Lookup(5));
  const struct {
    const Enum& e;
    const char* text;
    unsigned long value;
    bool ok;
  } cases[] = {
      {flags, "a|c", 5, true},        {flags, "a|8", 9, true},     {flags, shown.c_str(), 0, false},
      {flags, "A", 0, false},         {flags, "", 0, false},       {flags, "a|", 0, false},
      {flags, "|a", 0, false},        {flags, "a||c", 0, false},   {flags, "010", 8, true},
      {flags, "1fx", 31, true},       {flags, "0x10|a", 17, true}, {flags, "-1", 0, false},
      {single, "green|red", 2, true},  // a single value takes the first piece
      {single, "red|", 1, true},      {single, "|red", 0, false},  {fields, "centre|bold", 5, true},
      {fields, "0x30001", 1, true},  // only the low 16 bits count
      {fields, "bold|", 0, false},    {other, "red", 0, false},
  };
  for (const auto& c : cases) {
    bool ok = !c.ok;  // make sure Lookup writes it
    EXPECT_EQ(c.e->Lookup(ZString(c.text), &ok), c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }
  EXPECT_EQ(single->Lookup(ZString("red"), nullptr), 1u);
}

TEST(ZMulti, DoesNotOwnItsEnumeration) {
  Enum e = Make(1, ZEnum::eBitFlags, {{"a", 1}});
  delete new ZMulti(5, e.get());
  EXPECT_EQ(Text(e->GetItem(0)->GetName()), "a");  // still alive
}

}  // namespace
