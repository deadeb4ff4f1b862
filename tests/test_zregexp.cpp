// ZRegExp: the compiled form of patterns, matching, parameters, copies, the
// memoising matcher against plain backtracking, and both against a model.
#include <gtest/gtest.h>
#include <pthread.h>

#include <cctype>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "orbcmn/zregexp.h"
#include "text/regexp_internal.h"

// Reads the compiled chain for the tests.
struct ZRegExpProbe {
  static std::string Str(const ZString& s) {
    return s.GetLength() == 0 ? std::string() : std::string(s, s.GetLength());
  }

  // One atom per word: kind, flags (& parameter, ^ start anchor, $ end
  // anchor, ! negated), the atom's own text in quotes, and for a group its
  // alternatives in braces.
  static std::string Describe(const ZRegExp& head) {
    std::string out;
    for (const ZRegExp* a = &head; a != nullptr; a = a->next_) {
      if (!out.empty()) out += ' ';
      out += std::to_string(a->kind_);
      if (a->parameter_) out += '&';
      if (a->startAnchor_) out += '^';
      if (a->endAnchor_) out += '$';
      if (a->negated_) out += '!';
      out += "'" + Str(*a) + "'";
      if (a->kind_ == 10) {
        out += '{';
        for (ZListRegExpP::ZIterator it = a->alts_.begin(); it != a->alts_.end(); ++it) {
          if (it != a->alts_.begin()) out += '|';
          out += Describe(**it);
        }
        out += '}';
      }
    }
    return out;
  }

  // The last matches of the chain's atoms, in chain order.
  static std::vector<std::string> LastMatches(const ZRegExp& head) {
    std::vector<std::string> out;
    for (const ZRegExp* a = &head; a != nullptr; a = a->next_) out.push_back(Str(a->lastMatch_));
    return out;
  }
};

namespace {

using Probe = ZRegExpProbe;

std::string Describe(const char* pattern, bool caret = true) {
  ZRegExp re(pattern, caret);
  return Probe::Describe(re);
}

std::vector<std::string> Params(const ZRegExp& re) {
  ZListString list;
  re.GetParameters(list);
  std::vector<std::string> out;
  for (ZListString::ZIterator it = list.begin(); it != list.end(); ++it) {
    out.push_back(Probe::Str(*it));
  }
  return out;
}

const char kFailed[] = "<failed>";

// What is left of text after matching re against it, or kFailed; a failed
// match must leave the text exactly as it was.
std::string Rest(ZRegExp& re, const std::string& text) {
  ZString subject(text.data(), static_cast<unsigned int>(text.size()));
  if (re == subject) return Probe::Str(subject);
  EXPECT_EQ(Probe::Str(subject), text) << "a failed match changed the text";
  return kFailed;
}

std::string Rest(const char* pattern, const std::string& text, bool caret = true) {
  ZRegExp re(pattern, caret);
  return Rest(re, text);
}

TEST(ZRegExpCompile, LiteralsEscapesAndRepeats) {
  EXPECT_EQ(Describe(""), "0''");
  EXPECT_EQ(Describe("abc"), "1'abc'");
  EXPECT_EQ(Describe("ab*c"), "1'a' 2^'b*' 1^'c'");
  EXPECT_EQ(Describe("ab+"), "1'a' 3^'b+'");
  EXPECT_EQ(Describe("a\\.b"), "1'a.b'");
  // An escaped operand stays a literal character under its repeat mark.
  EXPECT_EQ(Describe("ab\\.*"), "1'ab' 2^'.*'");
  EXPECT_EQ(Describe("x\\$+y"), "1'x' 3^'$+' 1^'y'");
  EXPECT_EQ(Describe("\\.*"), "2'.*'");
  EXPECT_EQ(Describe("ab\\"), "1'ab'");
  EXPECT_EQ(Describe("a\\\\b"), "1'a\\b'");
  EXPECT_EQ(Describe(".*x"), "5'.*' 1^'x'");
  EXPECT_EQ(Describe("a.+"), "1'a' 6^'.+'");
  EXPECT_EQ(Describe("a.b"), "1'a' 4^'.' 1^'b'");
  // A mark with nothing before it makes the rest one literal, unescaped.
  EXPECT_EQ(Describe("*a\\.b"), "1'*a\\.b'");
  EXPECT_EQ(Describe("x$yz"), "1$'x'");
  EXPECT_EQ(Describe("$"), "1$''");
  EXPECT_EQ(Describe("&abc"), "1&'abc'");
  EXPECT_EQ(Describe("a&b*"), "1'a' 2&^'b*'");
  EXPECT_EQ(Describe("?()"), "1'?()'");
  EXPECT_EQ(Describe("[ab"), "1'[ab'");
}

TEST(ZRegExpCompile, CaretRuleActsAtTheHeadOnly) {
  EXPECT_EQ(Describe("^abc"), "1^'abc'");
  EXPECT_EQ(Describe("^.*abc"), "1'abc'");
  EXPECT_EQ(Describe("^.*"), "1''");
  EXPECT_EQ(Describe("^.*^abc"), "1'abc'");
  EXPECT_EQ(Describe("^abc", false), "1^'^abc'");
  EXPECT_EQ(Describe("a^b"), "1'a^b'");
  EXPECT_EQ(Describe("a*^b"), "2'a*' 1^'^b'");
  ZRegExp caret('^');
  EXPECT_EQ(Probe::Describe(caret), "1^''");
  ZRegExp literal('^', false);
  EXPECT_EQ(Probe::Describe(literal), "1^'^'");
}

TEST(ZRegExpCompile, Sets) {
  EXPECT_EQ(Describe("[a-c]"), "7'abc'");
  EXPECT_EQ(Describe("[abc]"), "7'abc'");
  EXPECT_EQ(Describe("[^-x]+"), "9!'-x'");
  EXPECT_EQ(Describe("&[0-9]+"), "9&'0123456789'");
  EXPECT_EQ(Describe("[a-]*"), "8'a-'");
  EXPECT_EQ(Describe("[aa-cb]"), "7'aabcb'");
  EXPECT_EQ(Describe("[z-a]"), "7''");
  EXPECT_EQ(Describe("[^]"), "7!''");
  EXPECT_EQ(Describe("[\\]\\.]"), "7'].'");
  EXPECT_EQ(Describe("x[0-2]y"), "1'x' 7^'012' 1^'y'");
  // A "]" ends a set even without "[": the atom's first character stands in
  // the opening bracket's place.
  EXPECT_EQ(Describe("ab]c"), "7'b' 1^'c'");
  EXPECT_EQ(Describe("]"), "7''");

  // Ranges compare signed bytes: 0x80-0xFF sort before 0x00.
  ZRegExp up("[\x70-\x7f]");
  EXPECT_EQ(Probe::Describe(up), "7'pqrstuvwxyz{|}~\x7f'");
  ZRegExp across("[\x7e-\x81]");
  EXPECT_EQ(Probe::Describe(across), "7''");
  ZRegExp high("[\xfe-\x01]");
  EXPECT_EQ(Probe::Describe(high), std::string("7'\xfe\xff\x00\x01'", 7));
}

TEST(ZRegExpCompile, Groups) {
  EXPECT_EQ(Describe("{yes|no|maybe}"), "10'maybe'{1^'yes'|1^'no'|1^'maybe'}");
  EXPECT_EQ(Describe("{a|b"), "10'b'{1^'a'|1^'b'}");
  EXPECT_EQ(Describe("{a||b}c"), "10'b'{1^'a'|0''|1^'b'} 1^'c'");
  EXPECT_EQ(Describe("x{a*|.}"), "1'x' 10^'.'{2^'a*'|4^'.'}");
  EXPECT_EQ(Describe("&{on|off}"), "10&'off'{1^'on'|1^'off'}");
  // "|" and "}" cannot be escaped inside a group; escapes work per piece.
  EXPECT_EQ(Describe("{a\\|b}"), "10'b'{1^'a'|1^'b'}");
  EXPECT_EQ(Describe("{a\\}b}"), "10'a\\'{1^'a'} 1^'b}'");
  EXPECT_EQ(Describe("{\\.|c}"), "10'c'{1^'.'|1^'c'}");
  // The first "}" closes the group; a "{" inside a piece starts a group of
  // that piece.
  EXPECT_EQ(Describe("{a{b|c}d}"), "10'c'{1^'a' 10^'b'{1^'b'}|1^'c'} 1^'d}'");
  // A group cannot be repeated: the mark starts a literal of its own.
  EXPECT_EQ(Describe("{a|b}*c"), "10'b'{1^'a'|1^'b'} 1^'*c'");
  EXPECT_EQ(Describe("a\\{b|c}"), "1'a{b|c}'");
}

// Matching cases run under both matchers.
class ZRegExpMatch : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override { OrbText_SetPlainBacktracking(GetParam() ? 1 : 0); }
  void TearDown() override { OrbText_SetPlainBacktracking(0); }
};

TEST_P(ZRegExpMatch, LiteralsAndAnchors) {
  ZRegExp empty;
  EXPECT_EQ(Rest(empty, ""), kFailed);
  EXPECT_EQ(Rest(empty, "abc"), kFailed);
  EXPECT_EQ(Rest("abc", "xxabcyy"), "yy");
  EXPECT_EQ(Rest("^abc", "xxabc"), kFailed);
  EXPECT_EQ(Rest("^abc", "abcx"), "x");
  EXPECT_EQ(Rest("^abc", "^abc", false), "");
  EXPECT_EQ(Rest("^abc", "abc", false), kFailed);
  EXPECT_EQ(Rest("ab", "abcd"), "cd");
  EXPECT_EQ(Rest("abc$", "abcd"), kFailed);
  EXPECT_EQ(Rest("abc$", ""), kFailed);
  EXPECT_EQ(Rest("abc$", "xabc"), "");
  EXPECT_EQ(Rest("$", ""), "");
  EXPECT_EQ(Rest("$", "a"), kFailed);
  for (const char* text : {"", "a", "xyz"}) EXPECT_EQ(Rest("^.*", text), text);
  EXPECT_EQ(Rest("ab", "Ab"), kFailed);
  // Only the first occurrence of the head literal is tried.
  EXPECT_EQ(Rest("ab[0-9]", "abxab1"), kFailed);
  EXPECT_EQ(Rest("ab[0-9]", "xab1z"), "z");
  // A later literal must follow at once.
  EXPECT_EQ(Rest("a.c", "abxc"), kFailed);
  EXPECT_EQ(Rest("a.c", "abc!"), "!");
  // Literals compare bytes exactly, NUL included.
  EXPECT_EQ(Rest("a", std::string("\0a", 2)), "");
  ZRegExp nul(ZString("b\0c", 3));
  EXPECT_EQ(Rest(nul, std::string("xb\0cd", 5)), "d");
  EXPECT_EQ(Rest(nul, "bc"), kFailed);
}

TEST_P(ZRegExpMatch, RepeatsBacktrack) {
  EXPECT_EQ(Rest("a*b", "aaab"), "");
  EXPECT_EQ(Rest("a*b", "b"), "");
  EXPECT_EQ(Rest("a*b", "aaac"), kFailed);
  EXPECT_EQ(Rest("a+b", "b"), kFailed);
  EXPECT_EQ(Rest("a*", ""), "");
  EXPECT_EQ(Rest("a+", ""), kFailed);
  EXPECT_EQ(Rest("[0-9]*", ""), "");
  EXPECT_EQ(Rest(".+", ""), kFailed);
  EXPECT_EQ(Rest(".", ""), kFailed);
  EXPECT_EQ(Rest("[a]", ""), kFailed);

  // The run of a repeated character ignores the case of ASCII letters only.
  ZRegExp caseless("a+b");
  EXPECT_EQ(Rest(caseless, "aAbz"), "z");
  EXPECT_EQ(Probe::LastMatches(caseless), (std::vector<std::string>{"aA", "b"}));
  EXPECT_EQ(Rest("\xe9+x", "\xe9\xc9x"), kFailed);
  EXPECT_EQ(Rest("\xe9+x", "\xe9\xe9x"), "");
  // Sets and the any-character atoms compare exactly.
  EXPECT_EQ(Rest("[a]+", "A"), kFailed);

  // Greedy, backing off until the rest fits.
  ZRegExp greedy(".*c");
  EXPECT_EQ(Rest(greedy, "abcabc"), "");
  EXPECT_EQ(Probe::LastMatches(greedy), (std::vector<std::string>{"abcab", "c"}));
  ZRegExp runs("a*a*ab");
  EXPECT_EQ(Rest(runs, "aaaab!"), "!");
  EXPECT_EQ(Probe::LastMatches(runs), (std::vector<std::string>{"aaa", "", "ab"}));
  ZRegExp sets("[0-9]+[0-9][a-z]*$");
  EXPECT_EQ(Rest(sets, "1234xy"), "");
  EXPECT_EQ(Probe::LastMatches(sets), (std::vector<std::string>{"123", "4", "xy", ""}));
  EXPECT_EQ(Rest("[^,]*,", "ab,cd,"), "cd,");
  EXPECT_EQ(Rest(".+$", "abc"), "");
  EXPECT_EQ(Rest("x.*$", "axbc"), "");
  EXPECT_EQ(Rest("a.+b", "ab"), kFailed);
}

TEST_P(ZRegExpMatch, Groups) {
  ZRegExp second("{ab|a}c");
  EXPECT_EQ(Rest(second, "ac"), "");
  EXPECT_EQ(Probe::LastMatches(second), (std::vector<std::string>{"a", "c"}));
  // Only the first alternative that matches is used.
  EXPECT_EQ(Rest("{a|ab}c", "abc"), kFailed);
  // When the rest fails after the alternative, it is tried once more as if
  // the group had consumed nothing.
  ZRegExp bare("{a|b}a");
  EXPECT_EQ(Rest(bare, "a"), "");
  EXPECT_EQ(Probe::LastMatches(bare), (std::vector<std::string>{"", "a"}));
  EXPECT_EQ(Rest("{x|y}", "z"), kFailed);
  EXPECT_EQ(Rest("{x|}", "z"), kFailed);
  EXPECT_EQ(Rest("{x|z}", "z"), "");
  EXPECT_EQ(Rest("{a*|b}", ""), "");
  EXPECT_EQ(Rest("{a|b}", ""), kFailed);
  // Alternatives are anchored where the group stands.
  EXPECT_EQ(Rest("x{b|c}", "xb"), "");
  EXPECT_EQ(Rest("{b|c}", "zzc!"), kFailed);
  EXPECT_EQ(Rest("{a.|b}c", "axc"), "");
  // The head's last match is what the group reports.
  ZRegExp head("&{ab*|c}d");
  EXPECT_EQ(Rest(head, "abbd"), "");
  EXPECT_EQ(Params(head), (std::vector<std::string>{"a"}));
}

TEST_P(ZRegExpMatch, Parameters) {
  ZRegExp digits("&[0-9]+");
  EXPECT_EQ(Rest(digits, "123abc"), "abc");
  EXPECT_EQ(Params(digits), (std::vector<std::string>{"123"}));

  ZRegExp pair("^&[a-z]+ *= *&.*$");
  EXPECT_EQ(Rest(pair, "key = some value"), "");
  EXPECT_EQ(Params(pair), (std::vector<std::string>{"key", "some value"}));

  ZRegExp choice("&{yes|no} &.");
  EXPECT_EQ(Rest(choice, "no !"), "");
  EXPECT_EQ(Params(choice), (std::vector<std::string>{"no", "!"}));
  ZRegExp inner("{&a|b}");  // alternatives are not visited
  EXPECT_EQ(Rest(inner, "a"), "");
  EXPECT_TRUE(Params(inner).empty());

  // Appended, never emptied first.
  ZListString list;
  list.push_back(ZString("old"));
  digits.GetParameters(list);
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(Probe::Str(*list.begin()), "old");
  EXPECT_EQ(Probe::Str(*list.rbegin()), "123");
}

INSTANTIATE_TEST_SUITE_P(BothMatchers, ZRegExpMatch, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Plain" : "Memoised";
                         });

TEST(ZRegExp, CopiesAndAssignment) {
  ZRegExp* source = new ZRegExp("&[a-z]+{=|:}&[0-9]*$");
  ZRegExp copy(*source);
  EXPECT_EQ(Probe::Describe(copy), Probe::Describe(*source));
  delete source;  // the copy owns everything it uses
  EXPECT_EQ(Rest(copy, "width:42"), "");
  EXPECT_EQ(Params(copy), (std::vector<std::string>{"width", "42"}));
  EXPECT_EQ(Rest(copy, "width:42px"), kFailed);

  ZRegExp assigned("x*");
  assigned = copy;
  EXPECT_EQ(Probe::Describe(assigned), Probe::Describe(copy));
  EXPECT_EQ(Rest(assigned, "a=1"), "");
  ZRegExp& alias = assigned;
  assigned = alias;
  EXPECT_EQ(Rest(assigned, "b=2"), "");

  // The caret rule travels with a copy and is set again by a new pattern.
  ZRegExp plain("^ab", false);
  ZRegExp plainCopy(plain);
  EXPECT_EQ(Rest(plainCopy, "^abc"), "c");
  plainCopy = "^ab";
  EXPECT_EQ(Probe::Describe(plainCopy), "1^'ab'");
  EXPECT_EQ(Rest(plainCopy, "abc"), "c");

  // A new pattern replaces the whole chain.
  ZRegExp replaced("{a|b}c*d+");
  replaced = ZString("q.");
  EXPECT_EQ(Probe::Describe(replaced), "1'q' 4^'.'");
  EXPECT_EQ(Rest(replaced, "xqz!"), "!");
  replaced = "";
  EXPECT_EQ(Rest(replaced, ""), kFailed);
  ZRegExp null(static_cast<const char*>(nullptr));
  EXPECT_EQ(Probe::Describe(null), "0''");
  replaced = static_cast<const char*>(nullptr);
  EXPECT_EQ(Rest(replaced, "x"), kFailed);
}

TEST(ZRegExp, ProtectedStepsFollowTheMatcher) {
  struct Steps : ZRegExp {
    using ZRegExp::DecrementingMatch;
    using ZRegExp::LastMatch;
    using ZRegExp::MatchRemainder;
    using ZRegExp::ZRegExp;
  };
  // As the atom ".*" of ".*c": the rest "c" decides how much it takes.
  Steps run(".*c");
  ZString text("abcabc!");
  EXPECT_TRUE(run.DecrementingMatch(0, 8, text));
  EXPECT_EQ(Probe::Str(text), "!");
  EXPECT_EQ(Probe::Str(run.LastMatch()), "abcab");
  ZString none("ab");
  EXPECT_FALSE(run.DecrementingMatch(0, 3, none));
  EXPECT_EQ(Probe::Str(none), "ab");
  ZString rest("c!");
  EXPECT_TRUE(run.MatchRemainder(rest));
  EXPECT_EQ(Probe::Str(rest), "!");
  Steps end("a$");
  ZString empty;
  ZString full("x");
  EXPECT_TRUE(end.MatchRemainder(empty));
  EXPECT_FALSE(end.MatchRemainder(full));
}

// Pathological patterns: every (atom, position) is worked out once, and
// nothing recurses along the text or the pattern.
TEST(ZRegExp, PathologicalPatternsFinish) {
  std::string as(2000, 'a');
  EXPECT_EQ(Rest(".*.*.*.*.*.*x", as), kFailed);
  ZRegExp found(".*.*.*.*.*.*x");
  EXPECT_EQ(Rest(found, as + "x" + as), as);
  EXPECT_EQ(Probe::LastMatches(found), (std::vector<std::string>{as, "", "", "", "", "", "x"}));
  EXPECT_EQ(Rest("a*a*a*a*a*a*a*a*b", as), kFailed);
  EXPECT_EQ(Rest("[a-z]*{a|b}[a-z]*{a|b}[a-z]*{a|b}c", as), kFailed);
  EXPECT_EQ(Rest("x.*.*.*$", "x" + as), "");

  std::string longText(100000, 'b');
  EXPECT_EQ(Rest(".*.*c", longText), kFailed);
  EXPECT_EQ(Rest("b*b*$", longText), "");
}

// Long chains and deeply nested groups are compiled, matched, copied and
// destroyed on a thread with a small stack: none of it may recurse per atom.
TEST(ZRegExp, DeepPatternsNeedNoDeepStack) {
  struct Outcome {
    std::string chainRest, chainCopyRest, nestedRest, nestedCopyRest;
  } outcome;
  auto work = [](void* data) -> void* {
    Outcome* out = static_cast<Outcome*>(data);
    std::string chain;
    for (int i = 0; i < 5000; ++i) chain += "a*";
    ZRegExp many(chain.c_str());
    out->chainRest = Rest(many, "aaab");
    ZRegExp manyCopy(many);
    out->chainCopyRest = Rest(manyCopy, "aaaaaaaa");
    ZRegExp deep((std::string(5000, '{') + "x").c_str());
    out->nestedRest = Rest(deep, "x");
    ZRegExp deepCopy(deep);
    out->nestedCopyRest = Rest(deepCopy, "y");
    return nullptr;
  };
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, work, &outcome), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(outcome.chainRest, "b");
  EXPECT_EQ(outcome.chainCopyRest, "");
  EXPECT_EQ(outcome.nestedRest, "");
  EXPECT_EQ(outcome.nestedCopyRest, kFailed);
}

// The memoising matcher must give exactly what plain backtracking gives:
// result, remaining text, parameters and every atom's last match.
TEST(ZRegExp, MemoisedAgreesWithPlainBacktracking) {
  const char* pieces[] = {"a", "b",  "A",      ".",     "*",     "+", "[ab]", "[^a]",
                          "&", "$",  "\\.",    "{a|b}", "{ab|a", "|", "}",    "^",
                          "x", ".*", "[a-c]+", "{|a}",  "\\",    "]", "&a*",  "b+"};
  const char letters[] = "abAx.|";
  std::mt19937 random(12345);
  int matched = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string pattern;
    int count = 1 + static_cast<int>(random() % 7);
    for (int i = 0; i < count; ++i)
      pattern += pieces[random() % (sizeof(pieces) / sizeof(*pieces))];
    std::string text;
    int length = static_cast<int>(random() % 11);
    for (int i = 0; i < length; ++i) text += letters[random() % (sizeof(letters) - 1)];
    bool caret = random() % 4 != 0;

    ZRegExp re(pattern.c_str(), caret);
    OrbText_SetPlainBacktracking(1);
    std::string plainRest = Rest(re, text);
    std::vector<std::string> plainParams = Params(re);
    std::vector<std::string> plainLast = Probe::LastMatches(re);
    OrbText_SetPlainBacktracking(0);
    std::string memoRest = Rest(re, text);
    SCOPED_TRACE("pattern '" + pattern + "' text '" + text + "'");
    ASSERT_EQ(memoRest, plainRest);
    if (memoRest == kFailed) continue;
    ++matched;
    ASSERT_EQ(Params(re), plainParams);
    ASSERT_EQ(Probe::LastMatches(re), plainLast);
  }
  // Both outcomes are well represented.
  EXPECT_GT(matched, 300);
  EXPECT_LT(matched, 3700);
}

// A direct, slow rendering of the compiling and matching rules over
// std::string, independent of the library's matchers.
struct Atom {
  int kind = 0;
  bool parameter = false, start = false, end = false, negated = false;
  std::string text, last;
  std::vector<std::unique_ptr<Atom>> alts;
  std::unique_ptr<Atom> next;
};

void Members(Atom* a, const std::string& s, size_t close) {
  auto at = [&s](size_t p) { return p <= s.size() ? s[p - 1] : '\0'; };
  std::string members;
  size_t p = 2;
  if (at(p) == '^') {
    a->negated = true;
    p = 3;
  }
  if (at(p) == '-') members += at(p++);
  while (p < close) {
    if (at(p + 1) == '-' && p + 2 < close) {
      for (int c = static_cast<signed char>(at(p)); c <= static_cast<signed char>(at(p + 2)); ++c) {
        members += static_cast<char>(c);
      }
      p += 3;
    } else {
      members += at(p++);
    }
  }
  a->text = members;
}

// Positions are 1-based as the rules give them; `escaped` marks the
// characters of t that a backslash made literal.
std::unique_ptr<Atom> Compile(std::string t, bool caret) {
  auto a = std::make_unique<Atom>();
  if (t.empty()) return a;
  a->kind = 1;
  a->start = true;
  if (caret) {
    if (t.compare(0, 3, "^.*") == 0) {
      t.erase(0, 3);
      a->start = false;
    }
    if (!t.empty() && t[0] == '^') {
      t.erase(0, 1);
    } else {
      a->start = false;
    }
  }
  std::string rest;
  std::vector<bool> escaped(t.size(), false);
  bool cut = false;
  auto cutLiteral = [&](size_t i) {
    rest = t.substr(i - 1);
    t.resize(i - 1);
    cut = true;
  };
  for (size_t i = 1; !cut && i <= t.size();) {
    const char c = t[i - 1];
    const char after = i < t.size() ? t[i] : '\0';
    if (c == '\\') {
      t.erase(i - 1, 1);
      escaped.erase(escaped.begin() + (i - 1));
      if (i <= t.size()) escaped[i - 1] = true;
      ++i;
    } else if (c == '$') {
      t.resize(i - 1);
      a->end = true;
      cut = true;
    } else if (c == '&' && i == 1) {
      a->parameter = true;
      t.erase(0, 1);
      escaped.erase(escaped.begin());
    } else if (c == '.' && i == 1) {
      size_t keep = after == '*' || after == '+' ? 2 : 1;
      a->kind = after == '*' ? 5 : after == '+' ? 6 : 4;
      rest = t.substr(keep);
      t.resize(keep);
      cut = true;
    } else if ((c == '*' || c == '+') && i <= 2) {
      if (i == 2) {
        a->kind = c == '*' ? 2 : 3;
        rest = t.substr(2);
        t.resize(2);
      }
      cut = true;
    } else if (c == '*' || c == '+') {
      bool operandEscaped = escaped[i - 2];
      cutLiteral(i - 1);
      if (operandEscaped) rest.insert(0, "\\");
    } else if (c == ']') {
      size_t keep = after == '*' || after == '+' ? i + 1 : i;
      a->kind = after == '*' ? 8 : after == '+' ? 9 : 7;
      rest = t.substr(keep);
      t.resize(keep);
      Members(a.get(), t, i);
      cut = true;
    } else if (c == '{' && i == 1) {
      size_t close = t.find('}');
      std::string group = close == std::string::npos ? t.substr(1) : t.substr(1, close - 1);
      if (close != std::string::npos) rest = t.substr(close + 1);
      size_t from = 0;
      for (size_t k = 0; k <= group.size(); ++k) {
        if (k < group.size() && group[k] != '|') continue;
        a->text = group.substr(from, k - from);
        a->alts.push_back(Compile(a->text, false));
        from = k + 1;
      }
      a->kind = 10;
      cut = true;
    } else if ((c == '&' || c == '.' || c == '[' || c == '{') && i > 1) {
      cutLiteral(i);
    } else {
      ++i;
    }
  }
  if (a->kind < 7) a->text = t;
  if (cut && !rest.empty()) a->next = Compile(rest, false);
  return a;
}

std::string DescribeModel(const Atom* head) {
  std::string out;
  for (const Atom* a = head; a != nullptr; a = a->next.get()) {
    if (!out.empty()) out += ' ';
    out += std::to_string(a->kind);
    if (a->parameter) out += '&';
    if (a->start) out += '^';
    if (a->end) out += '$';
    if (a->negated) out += '!';
    out += "'" + a->text + "'";
    if (a->kind == 10) {
      out += '{';
      for (size_t k = 0; k < a->alts.size(); ++k)
        out += (k ? "|" : "") + DescribeModel(a->alts[k].get());
      out += '}';
    }
  }
  return out;
}

bool Match(Atom* a, std::string& x);

bool Remainder(Atom* a, std::string& x) {
  if (a->end) return x.empty();
  return a->next == nullptr || Match(a->next.get(), x);
}

// Consumes k characters for k = start - 1 down to minimum, longest first.
bool Decrementing(Atom* a, int minimum, int start, std::string& x) {
  for (int k = start - 1; k >= minimum; --k) {
    std::string y = x.substr(k);
    if (!Remainder(a, y)) continue;
    a->last = x.substr(0, k);
    x = y;
    return true;
  }
  return false;
}

// Consumes the first n characters of x when the rest of the chain matches.
bool Consume(Atom* a, size_t n, std::string& x) {
  std::string y = x.substr(n);
  if (!Remainder(a, y)) return false;
  x = y;
  return true;
}

bool Member(const Atom* a, char c) { return (a->text.find(c) != std::string::npos) != a->negated; }

bool Match(Atom* a, std::string& x) {
  if (a->kind == 0) return false;
  a->last.clear();
  if (x.empty()) {
    if (a->kind == 1 && !a->text.empty()) return false;
    if (a->kind == 1 || a->kind == 2 || a->kind == 5 || a->kind == 8) return Remainder(a, x);
    if (a->kind != 10) return false;
  }
  int run = 0;
  switch (a->kind) {
    case 1: {
      size_t at = x.find(a->text);
      if (at == std::string::npos || (a->start && at != 0)) return false;
      a->last = a->text;
      return Consume(a, at + a->text.size(), x);
    }
    case 2:
    case 3:
      while (run < static_cast<int>(x.size()) &&
             toupper(static_cast<unsigned char>(x[run])) ==
                 toupper(static_cast<unsigned char>(a->text[0]))) {
        ++run;
      }
      return Decrementing(a, a->kind == 3, run + 1, x);
    case 4:
      a->last = x.substr(0, 1);
      return Consume(a, 1, x);
    case 5:
    case 6:
      return Decrementing(a, a->kind == 6, static_cast<int>(x.size()) + 1, x);
    case 7:
      if (!Member(a, x[0])) return false;
      a->last = x.substr(0, 1);
      return Consume(a, 1, x);
    case 8:
    case 9:
      while (run < static_cast<int>(x.size()) && Member(a, x[run])) ++run;
      return Decrementing(a, a->kind == 9, run + 1, x);
    default:
      for (auto& alt : a->alts) {
        std::string y = x;
        if (!Match(alt.get(), y)) continue;
        a->last = alt->last;
        if (Remainder(a, y)) {
          x = y;
          return true;
        }
        a->last.clear();
        return Consume(a, 0, x);
      }
      return false;
  }
}

std::vector<std::string> Parameters(const Atom* head) {
  std::vector<std::string> out;
  for (const Atom* a = head; a != nullptr; a = a->next.get()) {
    if (a->parameter) out.push_back(a->last);
  }
  return out;
}

// Compiles pattern with the model and the library and matches text with both.
void CompareOne(const std::string& pattern, bool caret, const std::string& text) {
  SCOPED_TRACE("pattern '" + pattern + "' caret " + std::to_string(caret) + " text '" + text + "'");
  std::unique_ptr<Atom> model = Compile(pattern, caret);
  ZRegExp re(pattern.c_str(), caret);
  ASSERT_EQ(DescribeModel(model.get()), Probe::Describe(re));
  std::string rest = text;
  const bool matched = Match(model.get(), rest);
  ASSERT_EQ(matched ? rest : kFailed, Rest(re, text));
  if (matched) {
    ASSERT_EQ(Parameters(model.get()), Params(re));
  }
}

// Random patterns over each alphabet, each matched against random texts:
// every special character, sets with ranges and high bytes, longer chains
// that backtrack, and groups with parameters.
TEST(ZRegExp, RandomPatternsFollowAModel) {
  struct Case {
    std::string alphabet;
    size_t patternLength;
    std::string textAlphabet;
    size_t textLength;
    int patterns;
  };
  const Case cases[] = {{"ab.*+[]^-{}|&$\\A", 10, "abA-.*", 8, 1500},
                        {"a[]-^*+\\b{|}\x80\xff\x7f", 10, "ab-\x80\xff", 6, 800},
                        {"aA*+.{|}&$", 14, "abA-.*", 20, 400},
                        {"ab{|}&$*", 9, "ab", 5, 1000}};
  std::mt19937 random(20240611);
  auto pick = [&random](const std::string& from, size_t maxLength) {
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = from[random() % from.size()];
    return s;
  };
  for (const Case& c : cases) {
    for (int n = 0; n < c.patterns; ++n) {
      const std::string pattern = pick(c.alphabet, c.patternLength);
      const bool caret = random() % 4 != 0;
      for (int k = 0; k < 6; ++k) CompareOne(pattern, caret, pick(c.textAlphabet, c.textLength));
      if (HasFailure()) return;
    }
  }
}

// Patterns that reach the rarer paths (a group whose rest fails and is
// tried again without it, parameters on groups and repeats, anchors and
// escaped repeat operands), against every text of up to four characters.
TEST(ZRegExp, RarePathsFollowAModelOnEveryShortText) {
  const char* patterns[] = {"&{a|b}a", "&{a}a$",  "{ab|a}c", "{a|ab}c", "&{a|}b*", "&a*&b+",
                            "x$yz",    "ab\\.*",  "^ab",     "^.*ab",   "&[a-c]+", "&[^b]*b",
                            "&.+b",    "a{b|&c}", "*ab",     "&{|a}a",  "b\\*+"};
  const std::string alphabet = "abc.*";
  std::vector<std::string> texts = {""};
  for (size_t from = 0; texts.back().size() < 4; ++from) {
    for (char c : alphabet) texts.push_back(texts[from] + c);
  }
  for (const char* pattern : patterns) {
    for (const std::string& text : texts) {
      CompareOne(pattern, true, text);
      CompareOne(pattern, false, text);
      if (HasFailure()) return;
    }
  }
}

}  // namespace
