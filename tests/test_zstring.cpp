// ZString: comparison, searching with its zero-byte and case rules,
// classification, 32-bit conversions, editing and formatting.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>

#include "orbcmn/zstring.h"
#include "support/text.h"

namespace {

// A string whose first bytes were dropped: its data start past the front
// of its block, where every reader and editor must look for them.
struct Dropped : ZString {
  using ZString::operator=;
  explicit Dropped(const char* text, unsigned n = 0) : ZString("...") {
    Append(text, n ? n : static_cast<unsigned>(std::strlen(text)));
    Remove(1, 3);
  }
};

// The string left by Strip, which must still be terminated.
std::string Stripped(const char* text, int type, const char* set) {
  Dropped s(text);
  s.Strip(static_cast<ZString::EStripType>(type), ZString(set));
  EXPECT_TRUE(s.IsEmpty() || static_cast<const char*>(s)[s.GetLength()] == 0) << text;
  return Text(s);
}

TEST(ZString, AssignmentAndComparison) {
  ZString none, reserved(50u);
  EXPECT_TRUE(reserved == none && none == "");
  EXPECT_FALSE(none == static_cast<const char*>(nullptr) || ZString("a\0b", 3) == "a");  // length

  // Texts and strings taken from the string itself.
  Dropped s("second");
  s = static_cast<const char*>(s);  // its own text, moved to the block start
  s = static_cast<const char*>(s) + 3;
  s += "-x";
  s += static_cast<unsigned char>(0xE9);
  s += s;
  s += static_cast<const char*>(s) + 6;
  EXPECT_EQ(Text(s), "ond-x\xE9ond-x\xE9ond-x\xE9");
  s = static_cast<const char*>(nullptr);  // no text: empty
  EXPECT_TRUE(s.IsEmpty());
}

TEST(ZString, Searching) {
  // Find counts from the current first byte and stops at the first zero.
  ZString s("xxabcabc");
  --s;
  --s;
  EXPECT_TRUE(s.Find('b', 3) == 5u && s.Find('\0', 1) == 7u);  // the terminator too
  EXPECT_TRUE(ZString("").Find('\0', 1) == 0u && ZString("ab\0cd", 5).Find('c', 1) == 0u);

  const ZString::EDirection fwd = ZString::eForward, back = ZString::eBackward;
  auto find = [](const char* text, const char* sub, ZString::EDirection dir, unsigned start,
                 bool caseSensitive) {
    return Dropped(text).FindSubstring(Dropped(sub), dir, start, caseSensitive);
  };
  EXPECT_EQ(find("ab", "abc", fwd, 1, true), 0u);
  EXPECT_EQ(find("abc", "", fwd, 2, true), 2u);
  EXPECT_EQ(find("xabcx", "ABC", fwd, 1, false), 2u);
  EXPECT_EQ(find("[", "{", fwd, 1, false), 0u);  // only ASCII letters fold
  EXPECT_EQ(find("abcabc", "bc", back, 5, true), 5u);
  EXPECT_EQ(find("abcabc", "bc", back, 6, true), 0u);  // only the start is checked against the end
  EXPECT_EQ(find("abcabc", "ca", back, 4, true), 3u);  // steps back past a near miss
  EXPECT_EQ(find("abcabc", "cb", back, 5, true), 0u);  // down to the first byte
  EXPECT_EQ(find("abc", "b", static_cast<ZString::EDirection>(2), 1, true), 0u);
  EXPECT_EQ(find("abc", "", fwd, 0, true), 0u);
  // Near misses: candidates of the first byte that fail late, or overlap.
  EXPECT_EQ(find("aaaaaaaaab", "aab", fwd, 1, true), 8u);
  EXPECT_EQ(find("xxabxabcxabcd", "abc", fwd, 7, true), 10u);
  // The text is searched past a zero byte; comparison stops at a zero byte
  // in both texts.
  EXPECT_EQ(Dropped("a\0ab\0abc", 8).FindSubstring(ZString("abc"), fwd, 1, true), 6u);
  EXPECT_EQ(Dropped("a\0x", 3).FindSubstring(Dropped("a\0y", 3), fwd, 1, true), 1u);

  // Set membership folds ASCII letters only; any inclusion other than 0
  // means "not in the set".
  EXPECT_TRUE(Dropped("aBc").IsCharInString('A') && !ZString("\xE9").IsCharInString('\xC9') &&
              !ZString().IsCharInString('a'));
  const Dropped blanks(" \t");
  EXPECT_EQ(Dropped(" \t \t").FindChar(ZString::eNotInSet, blanks, fwd, 1), 0u);
  EXPECT_EQ(Dropped("ab  ").FindChar(ZString::eNotInSet, blanks, back, 4), 2u);
  EXPECT_EQ(Dropped("  ab").FindChar(static_cast<ZString::EInclusive>(7), blanks, fwd, 1), 3u);
}

// One letter a text: y when it is numeric (or alphabetic), n when not.
TEST(ZString, Classification) {
  std::string numeric, alphabetic;
  for (const char* text :
       {"0X1f", "1FX", "12", "0x", "abcdefx", "1G", "-5", "x", "", " 1", "0x1G", "12a", "\xB2"}) {
    numeric += Dropped(text).IsNumeric() ? 'y' : 'n';
  }
  EXPECT_EQ(numeric, "yyyyynnnnnnnn");
  EXPECT_FALSE(ZString("1\0", 2).IsNumeric());
  for (const char* text : {"azAZ", "", "ab1", "ab\xE9", "a[", "a@", "a`", "a{"}) {
    alphabetic += Dropped(text).IsAlphabetic() ? 'y' : 'n';
  }
  EXPECT_EQ(alphabetic, "ynnnnnnn");
}

// Base from a trailing X or a prefix, strtol rules, and clamping at the
// 32-bit limits.
TEST(ZString, ConversionsUseThirtyTwoBitRules) {
  // Pairs of text and value.
  const char* longs[] = {
      "1Fx",        "31",         "0x1F",        "31",          "010",       "8",
      "",           "0",          "  -42z",      "-42",         "09",        "0",
      "-ffX",       "-255",       "x",           "0",           "12x3",      "12",
      "2147483648", "2147483647", "-2147483649", "-2147483648", "FFFFFFFFx", "2147483647",
      "4294967296", "2147483647", "0x1Fx",       "31"};
  for (size_t i = 0; i < std::size(longs); i += 2) {
    EXPECT_EQ(std::to_string(long(Dropped(longs[i]))), longs[i + 1]) << longs[i];
  }
  const char* ulongs[] = {"4294967296", "4294967295",  "-1",         "4294967295", "123456789ABx",
                          "4294967295", "-4294967296", "4294967295", "ffX",        "255",
                          "42",         "42",          "-2",         "4294967294"};
  for (size_t i = 0; i < std::size(ulongs); i += 2) {
    EXPECT_EQ(std::to_string((unsigned long)(Dropped(ulongs[i]))), ulongs[i + 1]) << ulongs[i];
  }
  EXPECT_TRUE(long(ZString()) == 0 && (unsigned long)(ZString()) == 0);
}

TEST(ZString, EditingCaseStripAndLines) {
  Dropped s("aZ09[`{@\xE9\xC9");
  EXPECT_EQ(Text(s.MakeUpper()), "AZ09[`{@\xE9\xC9");
  EXPECT_EQ(Text(s.MakeLower()), "az09[`{@\xE9\xC9");

  // Insert and Replace on a string with bytes dropped from its front.
  Dropped t("abc");
  EXPECT_EQ(Text(t.Insert(ZString("<"), 1).Insert(ZString(">"), 5).Insert(ZString("!"), 99)),
            "<abc>!");
  EXPECT_EQ(Text(t.Replace(3, 1, ZString("BB"))), "<aBBc>!");
  EXPECT_EQ(Text(t.Insert(t, 2)), "<<aBBc>!aBBc>!");

  EXPECT_EQ(Stripped("  ab ", ZString::eBoth, " "), "ab");
  EXPECT_EQ(Stripped("abX", ZString::eTrailing, "x"), "ab");  // membership ignores case
  EXPECT_EQ(Stripped(" a b ", 9, " "), "a b");                // above eAll: as eBoth
  EXPECT_EQ(Stripped("AbxaBAyb", ZString::eAll, "aB"), "xy");
  EXPECT_EQ(Stripped("xxx", ZString::eLeading, "X"), "");
  ZString itself("abc");
  EXPECT_TRUE(itself.Strip(ZString::eBoth, itself).IsEmpty());

  Dropped lines("ab\r\n\r\n\nb\rc\nd");
  std::string got;
  for (int i = 0; i < 5; i++) got += Text(lines.ExtractLine()) + "|";
  EXPECT_EQ(got, "ab|b|c|d||");
  ZString zero("a\n\0b", 4);
  EXPECT_TRUE(Text(zero.ExtractLine()) == "a" && Text(zero) == std::string("\0b", 2));
}

TEST(ZString, FormatIntoTheWorkAreaWithThirtyTwoBitLongs) {
  ZString s("old");
  s.Format("%d-%s", 42, "x").FormatAdd("+%03u", 7u);
  EXPECT_EQ(Text(s.Format("[%s]", static_cast<const char*>(s))), "[42-x+007]");  // itself

  // 1023 characters fill the work area; longer results are cut there, also
  // inside a conversion.
  const std::string longer(3000, 'b');
  EXPECT_EQ(Text(ZString("ab").FormatAdd("%s", longer.c_str())), "ab" + longer.substr(0, 1023));
  EXPECT_EQ(Text(s.Format("%s%d", longer.substr(0, 1020).c_str(), 123456)),
            longer.substr(0, 1020) + "123");

  // Longs print as 32-bit values; other sizes as they are.
  s.Format("%ld|%lu|%lx|%li|%lo", static_cast<long>(0xFFFFFFFFUL), -1L,
           static_cast<long>(0x1234567890L), static_cast<long>(0x180000000L), -1L);
  EXPECT_EQ(Text(s), "-1|4294967295|34567890|-2147483648|37777777777");
  s.Format("%lld|%llu|%zu|%hd|%hhu", 0x123456789LL, 18446744073709551615ULL, std::size_t{7},
           static_cast<short>(-3), static_cast<unsigned char>(200));
  EXPECT_EQ(Text(s), "4886718345|18446744073709551615|7|-3|200");
  s.Format("[%*d|%-*d|%.*s|%.*d|%05.1f|%c|%%|%5%|%Lg]", 4, 7, 3, 8, 2, "abc", -1, 5, 2.25, 'z',
           static_cast<long double>(1.5));
  EXPECT_EQ(Text(s), "[   7|8  |ab|5|002.2|z|%|%|1.5]");
  EXPECT_EQ(Text(s.Format("%-8ld|%+ld|%08lX", 42L, 5L, 255L)), "42      |+5|000000FF");
  EXPECT_EQ(Text(s.Format("%y-%")), "%y-%");  // no conversion: kept as written
  int count = 5;
  s.Format("%lc|%ls|%n|%jd", static_cast<std::wint_t>(L'w'), L"ide", &count, std::intmax_t{-9});
  EXPECT_TRUE(Text(s) == "w|ide||-9" && count == 5);  // %n stores nothing
}

}  // namespace
