#include <gtest/gtest.h>

#include <cstring>
#include <random>
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

// Find's quirks on zero bytes; ordinary searches are in the model test below.
TEST(ZString, FindStopsAtTheFirstZeroByte) {
  EXPECT_EQ(ZString("abcabc").Find('\0', 1), 7u);  // the terminator
  EXPECT_EQ(ZString("").Find('\0', 1), 0u);
  ZString zero("ab\0cd", 5);
  EXPECT_EQ(zero.Find('c', 1), 0u);
  EXPECT_EQ(zero.Find('\0', 1), 3u);
  EXPECT_EQ(zero.Find('d', 4), 5u);
}

// Case folding and zero bytes in FindSubstring; positions, directions and
// starts are in the model test below.
TEST(ZString, FindSubstringFoldsAsciiLettersOnly) {
  // Only ASCII letters fold: 0xC9 and 0xE9 are different bytes.
  EXPECT_EQ(ZString("\xE9").FindSubstring(ZString("\xC9"), ZString::eForward, 1, false), 0u);
  EXPECT_EQ(ZString("[").FindSubstring(ZString("{"), ZString::eForward, 1, false), 0u);
  // Comparison stops at a zero byte in both texts.
  ZString zeros("a\0x", 3);
  EXPECT_EQ(zeros.FindSubstring(ZString("a\0y", 3), ZString::eForward, 1, true), 1u);
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

TEST(ZString, SetMembershipFoldsAsciiLettersOnly) {
  ZString set("aBc");
  EXPECT_TRUE(set.IsCharInString('b'));
  EXPECT_TRUE(set.IsCharInString('A'));
  EXPECT_FALSE(set.IsCharInString('d'));
  EXPECT_FALSE(ZString().IsCharInString('a'));
  EXPECT_FALSE(ZString("\xE9").IsCharInString('\xC9'));
  EXPECT_TRUE(ZString("\xE9").IsCharInString('\xE9'));
  // Any inclusion value other than 0 means "not in the set".
  EXPECT_EQ(ZString("  ab").FindChar(static_cast<ZString::EInclusive>(7), ZString(" "),
                                     ZString::eForward, 1),
            3u);
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

// Strip quirks the model test below does not reach: types above eBoth and a
// string stripped of its own characters.
TEST(ZString, StripOddTypesAndItself) {
  ZString g(" a b ");
  g.Strip(static_cast<ZString::EStripType>(9), ZString(" "));  // acts as eBoth
  EXPECT_EQ(Text(g), "a b");
  ZString itself("abc");
  itself.Strip(ZString::eBoth, itself);
  EXPECT_TRUE(itself.IsEmpty());
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

// A plain model of the editing and search rules, over std::string.
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool InSet(char c, const std::string& set) {
  for (char s : set) {
    if (Upper(s) == Upper(c)) return true;
  }
  return false;
}

unsigned FindChar(const std::string& m, int inc, const std::string& set, int dir, unsigned start) {
  if (start == 0 || start > m.size() || (dir != 0 && dir != 1)) return 0;
  const bool wanted = inc == 0;
  if (dir == 0) {
    for (unsigned i = start; i <= m.size(); ++i) {
      if (InSet(m[i - 1], set) == wanted) return i;
    }
    return 0;
  }
  for (unsigned i = start; i > 0; --i) {
    if (InSet(m[i - 1], set) == wanted) return i;
  }
  return 0;
}

void Strip(std::string& m, int type, const std::string& set) {
  if (type != 0) {
    unsigned p = FindChar(m, 1, set, 0, 1);
    m = p == 0 ? std::string() : m.substr(p - 1);
  }
  if (type != 1) m.resize(FindChar(m, 1, set, 1, static_cast<unsigned>(m.size())));
  if (type == 3) {
    for (unsigned p; (p = FindChar(m, 0, set, 0, 1)) != 0;) m.erase(p - 1, 1);
  }
}

unsigned FindSubstring(const std::string& m, const std::string& sub, int dir, unsigned start,
                       bool caseSensitive) {
  if (start == 0) return 0;
  const size_t n = sub.size();
  auto equal = [&](size_t at) {
    for (size_t k = 0; k < n; ++k) {
      char x = caseSensitive ? m[at + k] : Lower(m[at + k]);
      char y = caseSensitive ? sub[k] : Lower(sub[k]);
      if (x != y) return false;
    }
    return true;
  };
  size_t i = start - 1;
  if (dir == 0) {
    for (; i + n <= m.size(); ++i) {
      if (equal(i)) return static_cast<unsigned>(i + 1);
    }
    return 0;
  }
  if (dir != 1 || i + n > m.size()) return 0;
  for (;; --i) {
    if (equal(i)) return static_cast<unsigned>(i + 1);
    if (i == 0) return 0;
  }
}

// Removes count characters at 1-based pos as ZBuffer::Remove does.
void Remove(std::string& m, unsigned pos, unsigned count) {
  if (pos == 0 || pos > m.size()) return;
  if (count == 0 || pos + count - 1 > m.size()) count = static_cast<unsigned>(m.size()) - pos + 1;
  m.erase(pos - 1, count);
}

void Insert(std::string& m, const std::string& s, unsigned pos) {
  m.insert(pos > m.size() ? m.size() : (pos == 0 ? 0 : pos - 1), s);
}

// Random sequences of edits and searches on a ZString and on a std::string
// following the rules of each operation directly. Front removal (bytes left
// before the data), growth, self-insertion and Lock/Release are mixed so that
// the head offset, compaction and resizing meet every operation.
TEST(ZString, RandomEditsAndSearchesFollowAModel) {
  const std::string alphabet = "aAbB \r\n-x";
  std::mt19937 random(1234567);
  auto text = [&](size_t maxLength) {
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 1500; ++round) {
    ZString z;
    std::string m;
    for (int step = 0; step < 40; ++step) {
      const std::string a = text(5);
      const unsigned pos = static_cast<unsigned>(random() % (m.size() + 3));
      const unsigned count = random() % 5;
      const int choice = random() % 3;
      const int op = random() % 15;
      SCOPED_TRACE("operation " + std::to_string(op) + " at " + std::to_string(pos) + " count " +
                   std::to_string(count) + " with '" + a + "' on '" + m + "'");
      switch (op) {
        case 0:
          z += a.c_str();
          m += a;
          break;
        case 1:
          --z;
          if (!m.empty()) m.erase(0, 1);
          break;
        case 2:
          z--;
          if (!m.empty()) m.pop_back();
          break;
        case 3:
          z.Remove(pos, count);
          Remove(m, pos, count);
          break;
        case 4:
          z.Insert(ZString(a.c_str()), pos);
          Insert(m, a, pos);
          break;
        case 5:
          z.Replace(pos, count, ZString(a.c_str()));
          Remove(m, pos, count);
          Insert(m, a, pos);
          break;
        case 6: {
          const int type = random() % 5;  // 4 acts as eBoth
          z.Strip(static_cast<ZString::EStripType>(type), ZString(a.c_str()));
          Strip(m, type, a);
          break;
        }
        case 7: {
          ZString line = z.ExtractLine();
          std::string expected = m.substr(0, m.find_first_of("\r\n"));
          m.erase(0, expected.size());
          Strip(m, 2, "\r\n");
          ASSERT_EQ(expected, Text(line));
          break;
        }
        case 8: {
          const int dir = random() % 3;
          ASSERT_EQ(FindChar(m, choice, a, dir, pos),
                    z.FindChar(static_cast<ZString::EInclusive>(choice), ZString(a.c_str()),
                               static_cast<ZString::EDirection>(dir), pos));
          break;
        }
        case 9: {
          const bool caseSensitive = random() % 2 == 0;
          ASSERT_EQ(FindSubstring(m, a, choice, pos, caseSensitive),
                    z.FindSubstring(ZString(a.c_str()), static_cast<ZString::EDirection>(choice),
                                    pos, caseSensitive));
          break;
        }
        case 10:
          z += z;
          m += m;
          break;
        case 11:
          z.Insert(z, pos);
          Insert(m, std::string(m), pos);
          break;
        case 12: {
          const char c = alphabet[random() % alphabet.size()];
          size_t at = pos >= 1 && pos <= m.size() ? m.find(c, pos - 1) : std::string::npos;
          ASSERT_EQ(at == std::string::npos ? 0u : at + 1, z.Find(c, pos));
          break;
        }
        case 13: {
          char* block = z.Lock(pos + 20);
          ASSERT_NE(nullptr, block);
          std::memcpy(block, m.data(), m.size());
          block[m.size()] = 0;
          z.Release(0);
          break;
        }
        default:
          z = a.c_str();
          m = a;
          break;
      }
      ASSERT_EQ(m, Text(z));
      if (z.GetLength() > 0) {
        ASSERT_EQ(0, static_cast<const char*>(z)[z.GetLength()]);  // still terminated
      }
    }
  }
}

}  // namespace
