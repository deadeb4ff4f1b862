// ZEnum: items, value-to-text and text-to-value for each operation.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "orbcmn/zenum.h"
#include "support/text.h"

namespace {

using Enum = std::unique_ptr<ZEnum>;

Enum Make(unsigned short size, unsigned short op,
          std::initializer_list<std::pair<const char*, unsigned long>> items) {
  Enum e(new ZEnum(size, op));
  for (const auto& item : items) e->AddItem(ZString(item.first), item.second);
  return e;
}

TEST(ZEnum, ValueToTextAndBack) {
  Enum flags = Make(1, ZEnum::eBitFlags, {{"a", 1}, {"c", 4}});
  Enum single = Make(4, ZEnum::eSingleValue, {{"red", 1}, {"green", 2}, {"lime", 2}});
  // Mask in the high half, pattern in the low half.
  Enum fields =
      Make(2, ZEnum::eBitFields, {{"left", 0x30000}, {"centre", 0x30001}, {"bold", 0x40004}});
  // An operation that names nothing; names are lowered (high bytes kept),
  // values keep 32 bits.
  Enum other = Make(4, 7, {{"red", 1}, {"GR\xC4", static_cast<unsigned long>(0x1FFFFFFFFull)}});
  const ZEnumItem* item = other->GetItem(1);
  EXPECT_EQ(Text(item->GetName()) + " " + std::to_string(item->GetValue()), "gr\xC4 4294967295");
  EXPECT_TRUE(other->GetItem(2) == nullptr && other->GetItem(-1) == nullptr);
  delete new ZMulti(5, other.get());  // which does not own its enumeration
  // Only items of exactly one bit name a bit; flags stop at size * 8 bits.
  Enum wide = Make(4, ZEnum::eBitFlags, {{"both", 3}, {"two", 2}});
  Enum zero = Make(0, ZEnum::eBitFlags, {{"a", 1}});
  auto shown = [](const Enum& e, std::initializer_list<unsigned long> values) {
    std::string out;
    for (unsigned long v : values) out += "/" + Text(e->Lookup(v));
    return out;
  };
  EXPECT_EQ(shown(flags, {7, 0x105, 0}), "/a | 2 | c/a | c/0");
  EXPECT_EQ(shown(wide, {3, 0x80000002ul}), "/1 | two/two | -2147483648");
  EXPECT_EQ(shown(zero, {1}) + shown(other, {1}), "//");
  EXPECT_EQ(shown(single, {2, 0xFFFFFFFFul}), "/green/-1");
  EXPECT_EQ(shown(fields, {5, 16}), "/centre | bold/left | 16");

  // Each value, marked "!" when Lookup reports failure (and "?" when it
  // leaves the flag as it was).
  auto parsed = [](const Enum& e, std::initializer_list<const char*> texts) {
    std::string out;
    for (const char* t : texts) {
      bool fromTrue = true, fromFalse = false;
      out += " " + std::to_string(e->Lookup(ZString(t), &fromTrue));
      e->Lookup(ZString(t), &fromFalse);
      out += fromTrue && fromFalse ? "" : fromTrue || fromFalse ? "?" : "!";
    }
    return out;
  };
  EXPECT_EQ(parsed(flags, {"a|c", "a|8", "010", "0x10|a"}), " 5 9 8 17");
  // Tokens keep their blanks, so a multi-piece text as shown does not parse.
  EXPECT_EQ(parsed(flags, {"a | c", "A", "", "a|", "a||c", "-1"}), " 0! 0! 0! 0! 0! 0!");
  EXPECT_EQ(parsed(single, {"green|red", "red|", "|red"}), " 2 1 0!");  // the first piece counts
  EXPECT_EQ(parsed(fields, {"centre|bold", "0x30001", "bold|"}), " 5 1 0!");  // low 16 bits
  EXPECT_EQ(parsed(other, {"red"}), " 0!");
  EXPECT_EQ(single->Lookup(ZString("red"), nullptr), 1u);
  flags->AddItem(ZString("none"), 0);
  EXPECT_EQ(Text(flags->Lookup(0)), "none");
}

}  // namespace
