#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "orbcmn/zstring.h"

namespace {

std::string Text(const ZString& s) {
  return s.GetLength() == 0 ? std::string() : std::string(s, s.GetLength());
}

long Long(const ZString& s) { return static_cast<long>(s); }
unsigned long ULong(const ZString& s) { return static_cast<unsigned long>(s); }

TEST(ZString, ConstructionAssignmentAndComparison) {
  ZString none;
  EXPECT_EQ(static_cast<const char*>(none), nullptr);
  EXPECT_TRUE(ZString('q') == "q");
  EXPECT_TRUE(ZString("abc") == "abc");
  EXPECT_TRUE(ZString("abcdef", 3) == "abc");
  ZString reserved(50u);
  EXPECT_TRUE(reserved.IsEmpty());
  EXPECT_TRUE(reserved == none);
  EXPECT_TRUE(none == "");
  EXPECT_FALSE(none == static_cast<const char*>(nullptr));
  EXPECT_TRUE(none != static_cast<const char*>(nullptr));
  EXPECT_FALSE(ZString("ab") == "abc");
  EXPECT_FALSE(ZString("abc") == "ab");
  EXPECT_TRUE(ZString("abc") != ZString("abC"));
  EXPECT_FALSE(ZString("a\0b", 3) == "a");  // the length counts, not the text

  ZString s("first");
  s = "second";
  EXPECT_EQ(Text(s), "second");
  s = static_cast<const char*>(s) + 3;  // a text inside the string itself
  EXPECT_EQ(Text(s), "ond");
  s += "-x";
  s += '!';
  s += static_cast<unsigned char>(0xE9);
  EXPECT_EQ(Text(s), "ond-x!\xE9");
  s += s;
  EXPECT_EQ(Text(s), "ond-x!\xE9ond-x!\xE9");
  s += static_cast<const char*>(s) + 7;
  EXPECT_EQ(Text(s), "ond-x!\xE9ond-x!\xE9ond-x!\xE9");
  ZString t(s);
  EXPECT_TRUE(t == s);
  t = t;
  EXPECT_TRUE(t == s);
}

TEST(ZString, FindCountsFromTheCurrentFirstCharacter) {
  ZString s("abcabc");
  EXPECT_EQ(s.Find('a', 1), 1u);
  EXPECT_EQ(s.Find('a', 2), 4u);
  EXPECT_EQ(s.Find('c', 6), 6u);
  EXPECT_EQ(s.Find('c', 7), 0u);  // start beyond the length
  EXPECT_EQ(s.Find('a', 0), 0u);
  EXPECT_EQ(s.Find('z', 1), 0u);
  EXPECT_EQ(s.Find('\0', 1), 7u);  // the terminator
  --s;
  --s;
  EXPECT_EQ(s.Find('a', 1), 2u);
  EXPECT_EQ(s.Find('c', 1), 1u);
  EXPECT_EQ(ZString().Find('a', 1), 0u);
  EXPECT_EQ(ZString("").Find('\0', 1), 0u);
  ZString zero("ab\0cd", 5);
  EXPECT_EQ(zero.Find('c', 1), 0u);  // stops at the first zero byte
  EXPECT_EQ(zero.Find('\0', 1), 3u);
  EXPECT_EQ(zero.Find('d', 4), 5u);
}

TEST(ZString, FindSubstringBothDirections) {
  ZString s("xabcxabcx");
  ZString abc("abc");
  EXPECT_EQ(s.FindSubstring(abc, ZString::eForward, 1, true), 2u);
  EXPECT_EQ(s.FindSubstring(abc, ZString::eForward, 3, true), 6u);
  EXPECT_EQ(s.FindSubstring(abc, ZString::eForward, 7, true), 0u);
  EXPECT_EQ(s.FindSubstring(abc, ZString::eBackward, 7, true), 6u);
  EXPECT_EQ(s.FindSubstring(abc, ZString::eBackward, 5, true), 2u);
  EXPECT_EQ(s.FindSubstring(abc, ZString::eBackward, 1, true), 0u);
  // Backward from a start where sub does not fit finds nothing, even though
  // it would fit earlier.
  EXPECT_EQ(s.FindSubstring(abc, ZString::eBackward, 8, true), 0u);
  EXPECT_EQ(s.FindSubstring(ZString("xab"), ZString::eBackward, 1, true), 1u);
  EXPECT_EQ(s.FindSubstring(ZString("xab"), ZString::eBackward, 4, true), 1u);  // walks down to 1
  EXPECT_EQ(s.FindSubstring(ZString("bcx"), ZString::eForward, 7, true), 7u);   // ends at the end
  EXPECT_EQ(s.FindSubstring(abc, ZString::eForward, 0, true), 0u);
  EXPECT_EQ(s.FindSubstring(abc, static_cast<ZString::EDirection>(2), 1, true), 0u);

  EXPECT_EQ(ZString("ab").FindSubstring(abc, ZString::eForward, 1, true), 0u);
  EXPECT_EQ(ZString("ab").FindSubstring(abc, ZString::eBackward, 1, true), 0u);

  ZString empty;
  EXPECT_EQ(s.FindSubstring(empty, ZString::eForward, 4, true), 4u);
  EXPECT_EQ(s.FindSubstring(empty, ZString::eBackward, 4, true), 4u);
  EXPECT_EQ(s.FindSubstring(empty, ZString::eForward, 10, true), 10u);
  EXPECT_EQ(s.FindSubstring(empty, ZString::eForward, 11, true), 0u);

  ZString mixed("xabcx");
  EXPECT_EQ(mixed.FindSubstring(ZString("ABC"), ZString::eForward, 1, false), 2u);
  EXPECT_EQ(mixed.FindSubstring(ZString("ABC"), ZString::eForward, 1, true), 0u);
  EXPECT_EQ(mixed.FindSubstring(ZString("BcX"), ZString::eBackward, 3, false), 3u);
  EXPECT_EQ(ZString("XABCX").FindSubstring(ZString("abc"), ZString::eForward, 1, false), 2u);
  // Only ASCII letters fold: 0xC9 and 0xE9 are different bytes.
  EXPECT_EQ(ZString("\xE9").FindSubstring(ZString("\xC9"), ZString::eForward, 1, false), 0u);
  EXPECT_EQ(ZString("[").FindSubstring(ZString("{"), ZString::eForward, 1, false), 0u);
  // Comparison stops at a zero byte in both texts.
  ZString zeros("a\0x", 3);
  EXPECT_EQ(zeros.FindSubstring(ZString("a\0y", 3), ZString::eForward, 1, true), 1u);

  // Dropped front bytes are not searched.
  ZString dropped("abcabc");
  --dropped;
  EXPECT_EQ(dropped.FindSubstring(ZString("ab"), ZString::eForward, 1, true), 3u);
}

// Forward case-sensitive search and stripping of inner set characters on
// texts full of near misses, against the plainest loops over std::string.
TEST(ZString, SearchAndStripAgreeWithPlainLoops) {
  const std::string texts[] = {"aaaaaaaaab",    "abababababc",
                               "xxabxabcxabcd", std::string("a\0ab\0abc", 8),
                               "cbacbacba",     "abc"};
  const std::string subs[] = {"ab", "abc", "aab", "b", "abcd", std::string("b\0a", 3), "c"};
  for (const std::string& t : texts) {
    ZString text(t.data(), static_cast<unsigned>(t.size()));
    for (const std::string& u : subs) {
      ZString sub(u.data(), static_cast<unsigned>(u.size()));
      for (unsigned start = 1; start <= t.size() + 1; ++start) {
        // strncmp rules: a zero byte in both texts ends the comparison.
        unsigned expected = 0;
        for (size_t i = start - 1; expected == 0 && i + u.size() <= t.size(); ++i) {
          if (std::strncmp(t.data() + i, u.data(), u.size()) == 0) expected = unsigned(i + 1);
        }
        ASSERT_EQ(text.FindSubstring(sub, ZString::eForward, start, true), expected)
            << t << " / " << u << " from " << start;
      }
    }
    ZString stripped(text);
    stripped.Strip(ZString::eAll, ZString("Ab"));
    std::string model = t;
    size_t first = model.find_first_not_of("aAbB");
    model = first == std::string::npos ? "" : model.substr(first);
    std::string inner;
    for (char c : model) {
      if (c != 'a' && c != 'A' && c != 'b' && c != 'B') inner += c;
    }
    EXPECT_EQ(Text(stripped), inner) << t;
    EXPECT_EQ(static_cast<const char*>(stripped)[stripped.GetLength()], 0);
  }
}

TEST(ZString, FindCharAndSetMembership) {
  ZString blanks(" \t \t");
  ZString ws(" \t");
  EXPECT_EQ(blanks.FindChar(ZString::eNotInSet, ws, ZString::eForward, 1), 0u);
  EXPECT_EQ(blanks.FindChar(ZString::eInSet, ws, ZString::eForward, 1), 1u);

  ZString s("  ab  ");
  EXPECT_EQ(s.FindChar(ZString::eNotInSet, ws, ZString::eForward, 1), 3u);
  EXPECT_EQ(s.FindChar(ZString::eNotInSet, ws, ZString::eBackward, 6), 4u);
  EXPECT_EQ(s.FindChar(ZString::eInSet, ws, ZString::eForward, 3), 5u);
  EXPECT_EQ(s.FindChar(ZString::eInSet, ws, ZString::eBackward, 4), 2u);
  EXPECT_EQ(s.FindChar(ZString::eInSet, ws, ZString::eForward, 6), 6u);
  EXPECT_EQ(s.FindChar(ZString::eInSet, ws, ZString::eBackward, 1), 1u);
  EXPECT_EQ(s.FindChar(ZString::eInSet, ws, ZString::eForward, 7), 0u);
  EXPECT_EQ(s.FindChar(ZString::eInSet, ws, ZString::eBackward, 0), 0u);
  EXPECT_EQ(s.FindChar(ZString::eInSet, ws, static_cast<ZString::EDirection>(5), 1), 0u);
  // Any inclusion value other than 0 means "not in the set".
  EXPECT_EQ(s.FindChar(static_cast<ZString::EInclusive>(7), ws, ZString::eForward, 1), 3u);
  // Membership ignores letter case.
  EXPECT_EQ(ZString("xyZ").FindChar(ZString::eInSet, ZString("z"), ZString::eForward, 1), 3u);

  ZString set("aBc");
  EXPECT_TRUE(set.IsCharInString('b'));
  EXPECT_TRUE(set.IsCharInString('A'));
  EXPECT_FALSE(set.IsCharInString('d'));
  EXPECT_FALSE(ZString().IsCharInString('a'));
  EXPECT_FALSE(ZString("\xE9").IsCharInString('\xC9'));
  EXPECT_TRUE(ZString("\xE9").IsCharInString('\xE9'));
}

TEST(ZString, Classification) {
  for (const char* yes : {"0x1F", "0X1f", "1Fx", "1FX", "12", "0x", "0", "abcdefx"}) {
    EXPECT_TRUE(ZString(yes).IsNumeric()) << yes;
  }
  for (const char* no : {"1G", "1Gx", "-5", "1.5", "x", "", " 1", "0xG", "0x1G", "12a", "\xB2"}) {
    EXPECT_FALSE(ZString(no).IsNumeric()) << no;
  }
  EXPECT_FALSE(ZString().IsNumeric());
  EXPECT_FALSE(ZString("1\0", 2).IsNumeric());

  EXPECT_TRUE(ZString("abcXYZ").IsAlphabetic());
  EXPECT_FALSE(ZString("").IsAlphabetic());
  EXPECT_FALSE(ZString("ab1").IsAlphabetic());
  EXPECT_FALSE(ZString("ab\xE9").IsAlphabetic());
  EXPECT_FALSE(ZString("a[").IsAlphabetic());
  EXPECT_FALSE(ZString("a@").IsAlphabetic());
}

TEST(ZString, ConversionsUseThirtyTwoBitRules) {
  EXPECT_EQ(Long(ZString("1Fx")), 31);
  EXPECT_EQ(Long(ZString("0x1F")), 31);
  EXPECT_EQ(Long(ZString("0x1FX")), 31);
  EXPECT_EQ(Long(ZString("010")), 8);
  EXPECT_EQ(Long(ZString("abc")), 0);
  EXPECT_EQ(Long(ZString()), 0);
  EXPECT_EQ(Long(ZString("")), 0);
  EXPECT_EQ(Long(ZString("  -42z")), -42);
  EXPECT_EQ(Long(ZString("+7")), 7);
  EXPECT_EQ(Long(ZString("09")), 0);  // octal stops at 9
  EXPECT_EQ(Long(ZString("-ffX")), -255);
  EXPECT_EQ(Long(ZString("x")), 0);
  EXPECT_EQ(Long(ZString("12x3")), 12);  // only a last X selects base 16
  EXPECT_EQ(static_cast<int>(ZString("123")), 123);
  EXPECT_EQ(static_cast<unsigned int>(ZString("0xFFFFFFFF")), 0xFFFFFFFFu);

  // Clamping at the 32-bit limits.
  EXPECT_EQ(Long(ZString("2147483647")), 2147483647L);
  EXPECT_EQ(Long(ZString("2147483648")), 2147483647L);
  EXPECT_EQ(Long(ZString("-2147483648")), -2147483647L - 1);
  EXPECT_EQ(Long(ZString("-2147483649")), -2147483647L - 1);
  EXPECT_EQ(Long(ZString("99999999999999999999")), 2147483647L);
  EXPECT_EQ(Long(ZString("FFFFFFFFx")), 2147483647L);
  EXPECT_EQ(static_cast<int>(ZString("4294967296")), 2147483647);

  EXPECT_EQ(ULong(ZString("4294967295")), 4294967295UL);
  EXPECT_EQ(ULong(ZString("4294967296")), 4294967295UL);
  EXPECT_EQ(ULong(ZString("123456789ABx")), 4294967295UL);
  EXPECT_EQ(ULong(ZString("-1")), 4294967295UL);
  EXPECT_EQ(ULong(ZString("-4294967296")), 4294967295UL);
  EXPECT_EQ(ULong(ZString("1Fx")), 31UL);
  EXPECT_EQ(ULong(ZString()), 0UL);
  EXPECT_EQ(static_cast<unsigned int>(ZString("-2")), 4294967294u);
}

TEST(ZString, CaseMappingTouchesAsciiLettersOnly) {
  ZString s("aZ09[`{@\xE9\xC9");
  s.MakeUpper();
  EXPECT_EQ(Text(s), "AZ09[`{@\xE9\xC9");
  s.MakeLower();
  EXPECT_EQ(Text(s), "az09[`{@\xE9\xC9");
  ZString none;
  none.MakeUpper();
  EXPECT_EQ(static_cast<const char*>(none), nullptr);
}

TEST(ZString, InsertRemoveReplace) {
  ZString s("abc");
  s.Insert(ZString("XY"), 4);
  EXPECT_EQ(Text(s), "abcXY");
  s.Insert(ZString("<"), 1);
  EXPECT_EQ(Text(s), "<abcXY");
  s.Insert(ZString("-"), 3);
  EXPECT_EQ(Text(s), "<a-bcXY");
  s.Insert(ZString(), 2);
  EXPECT_EQ(Text(s), "<a-bcXY");
  s.Insert(ZString("!"), 99);
  EXPECT_EQ(Text(s), "<a-bcXY!");
  EXPECT_EQ(static_cast<const char*>(s)[8], 0);

  ZString self("abcd");
  self.Insert(self, 3);
  EXPECT_EQ(Text(self), "ababcdcd");
  ZString front("xy");
  front.Insert(front, 1);
  EXPECT_EQ(Text(front), "xyxy");
  ZString back("xy");
  back.Insert(back, 3);
  EXPECT_EQ(Text(back), "xyxy");

  ZString t("abc");
  t.Replace(2, 1, ZString("XYZ"));
  EXPECT_EQ(Text(t), "aXYZc");
  t.Replace(1, 0, ZString("new"));  // count 0 removes to the end
  EXPECT_EQ(Text(t), "new");
  t.Remove(2, 1);
  EXPECT_EQ(Text(t), "nw");

  // Inserting behind dropped front bytes.
  ZString u("..abc");
  --u;
  --u;
  u.Insert(ZString("-"), 2);
  EXPECT_EQ(Text(u), "a-bc");
}

TEST(ZString, StripTypes) {
  ZString blank(" ");
  ZString a("  ab ");
  a.Strip(ZString::eBoth, blank);
  EXPECT_EQ(Text(a), "ab");

  ZString b(" ab");
  b.Strip(ZString::eLeading, blank);
  EXPECT_EQ(Text(b), "ab");
  EXPECT_EQ(static_cast<const char*>(b)[2], 0);

  ZString c("a-b-c");
  c.Strip(ZString::eAll, ZString("-"));
  EXPECT_EQ(Text(c), "abc");
  ZString c2("--a--b-c-");
  c2.Strip(ZString::eAll, ZString("-"));
  EXPECT_EQ(Text(c2), "abc");

  ZString d("abxX");
  d.Strip(ZString::eTrailing, ZString("x"));
  EXPECT_EQ(Text(d), "ab");
  ZString e(" ab ");
  e.Strip(ZString::eTrailing, blank);
  EXPECT_EQ(Text(e), " ab");
  ZString f(" ab ");
  f.Strip(ZString::eLeading, blank);
  EXPECT_EQ(Text(f), "ab ");

  // A type above 3 acts as eBoth, so inner characters stay.
  ZString g(" a b ");
  g.Strip(static_cast<ZString::EStripType>(9), blank);
  EXPECT_EQ(Text(g), "a b");

  for (int type = 0; type <= 3; ++type) {
    ZString only("   ");
    only.Strip(static_cast<ZString::EStripType>(type), blank);
    EXPECT_TRUE(only.IsEmpty()) << type;
    ZString none;
    none.Strip(static_cast<ZString::EStripType>(type), blank);
    EXPECT_TRUE(none.IsEmpty());
  }
  ZString untouched("ab");
  untouched.Strip(ZString::eAll, ZString());
  EXPECT_EQ(Text(untouched), "ab");
  ZString itself("abc");
  itself.Strip(ZString::eBoth, itself);
  EXPECT_TRUE(itself.IsEmpty());
}

TEST(ZString, ExtractLineOverEveryLineEnd) {
  ZString s("a\r\n\r\nb");
  EXPECT_EQ(Text(s.ExtractLine()), "a");
  EXPECT_EQ(Text(s), "b");
  EXPECT_EQ(Text(s.ExtractLine()), "b");
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_TRUE(s.ExtractLine().IsEmpty());

  ZString mixed("one\rtwo\nthree\r\n\n\rfour\n");
  std::string lines;
  while (!mixed.IsEmpty()) lines += Text(mixed.ExtractLine()) + "|";
  EXPECT_EQ(lines, "one|two|three|four|");

  ZString whole("no line end");
  EXPECT_EQ(Text(whole.ExtractLine()), "no line end");
  EXPECT_TRUE(whole.IsEmpty());

  // A leading line end gives an empty line and loses nothing.
  ZString leading("\n\nx\n");
  EXPECT_TRUE(leading.ExtractLine().IsEmpty());
  EXPECT_EQ(Text(leading), "x");

  ZString none;
  EXPECT_TRUE(none.ExtractLine().IsEmpty());
}

TEST(ZString, FormatIntoTheWorkArea) {
  ZString s("old");
  s.Format("%d-%s-%ld", 42, "x", -1L);
  EXPECT_EQ(Text(s), "42-x--1");
  s.FormatAdd("+%03u", 7u);
  EXPECT_EQ(Text(s), "42-x--1+007");
  s.Format("[%s]", static_cast<const char*>(s));  // the string as its own argument
  EXPECT_EQ(Text(s), "[42-x--1+007]");
  s.Format("%s", "");
  EXPECT_TRUE(s.IsEmpty());

  std::string exact(1023, 'a');
  s.Format("%s", exact.c_str());
  EXPECT_EQ(s.GetLength(), 1023u);
  EXPECT_EQ(Text(s), exact);

  std::string longer(3000, 'b');
  s.Format("%s", longer.c_str());
  EXPECT_EQ(s.GetLength(), 1023u);
  EXPECT_EQ(Text(s), longer.substr(0, 1023));

  ZString t("ab");
  t.FormatAdd("%s", longer.c_str());
  EXPECT_EQ(t.GetLength(), 1025u);
  EXPECT_EQ(Text(t), "ab" + longer.substr(0, 1023));

  // A piece that crosses the end of the work area is cut there.
  s.Format("%s%d", std::string(1020, 'c').c_str(), 123456);
  EXPECT_EQ(Text(s), std::string(1020, 'c') + "123");

  ZString u("keep");
  u.FormatAdd(nullptr);
  EXPECT_EQ(Text(u), "keep");
}

TEST(ZString, FormatPrintsLongsAsThirtyTwoBitValues) {
  ZString s;
  s.Format("%ld|%lu|%lx|%li|%lo", static_cast<long>(0xFFFFFFFFUL), -1L,
           static_cast<long>(0x1234567890L), static_cast<long>(0x180000000L), -1L);
  EXPECT_EQ(Text(s), "-1|4294967295|34567890|-2147483648|37777777777");
  s.Format("%lld|%llu|%zu|%hd|%hhu", 0x123456789LL, 18446744073709551615ULL, std::size_t{7},
           static_cast<short>(-3), static_cast<unsigned char>(200));
  EXPECT_EQ(Text(s), "4886718345|18446744073709551615|7|-3|200");
  s.Format("[%*d|%-*d|%.*s|%.*d|%05.1f|%c|%%|%5%|%Lg]", 4, 7, 3, 8, 2, "abc", -1, 5, 2.25, 'z',
           static_cast<long double>(1.5));
  EXPECT_EQ(Text(s), "[   7|8  |ab|5|002.2|z|%|%|1.5]");
  s.Format("%-8ld|%+ld|%08lX", 42L, 5L, 255L);
  EXPECT_EQ(Text(s), "42      |+5|000000FF");
  s.Format("%y-%");  // no conversion: kept as written
  EXPECT_EQ(Text(s), "%y-%");
}

}  // namespace
