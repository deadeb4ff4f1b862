// ZRegExp: the compiled form of patterns, matching, parameters, copies, deep
// and pathological patterns, and the memoising matcher against plain
// backtracking. ZSyntax and ZParser: token order, parameters and copies.
#include <gtest/gtest.h>
#include <pthread.h>

#include <string>
#include <vector>

#include "orbcmn/zparser.h"
#include "orbcmn/zregexp.h"
#include "support/alloclog.h"
#include "support/text.h"
#include "text/regexp_internal.h"

// Reads the compiled chain for the tests.
struct ZRegExpProbe {
  // One atom per word: kind, flags (& parameter, ^ start anchor, $ end
  // anchor, ! negated, ~ lost), the atom's own text in quotes, and for a group its
  // alternatives in braces.
  static std::string Describe(const ZRegExp& head) {
    std::string out;
    for (const ZRegExp* a = &head; a != nullptr; a = a->next_) {
      if (!out.empty()) out += ' ';
      out += std::to_string(a->kind_) + (a->parameter_ ? "&" : "") + (a->startAnchor_ ? "^" : "") +
             (a->endAnchor_ ? "$" : "") + (a->negated_ ? "!" : "") + (a->lost_ ? "~" : "") + "'" +
             Text(*a) + "'";
      for (ZListRegExpP::ZIterator it = a->alts_.begin(); it != a->alts_.end(); ++it) {
        out += (it == a->alts_.begin() ? "{" : "|") + Describe(**it);
      }
      if (a->kind_ == 10) out += '}';
    }
    return out;
  }

  static std::string LastMatches(const ZRegExp& head) {
    std::string out;
    for (const ZRegExp* a = &head; a != nullptr; a = a->next_) out += "|" + Text(a->lastMatch_);
    return out;
  }
};

namespace {

using Probe = ZRegExpProbe;

// The compiled forms of the patterns, " / " between them.
std::string Describe(std::initializer_list<const char*> patterns, bool caret = true) {
  std::string out;
  for (const char* pattern : patterns) {
    ZRegExp re(pattern, caret);
    out += (out.empty() ? "" : " / ") + Probe::Describe(re);
  }
  return out;
}

// Each parameter after a "&".
std::string Params(const ZListString& list) {
  std::string out;
  for (auto it = list.begin(); it != list.end(); ++it) out += "&" + Text(*it);
  return out;
}

const char kFailed[] = "#";  // the rest of a failed match

// What is left of text after matching re against it, or kFailed; a failed
// match must leave the text exactly as it was. Traced, the rest is followed
// by each atom's last match ("|") and each parameter ("&").
std::string Rest(ZRegExp& re, const std::string& text, bool trace = false) {
  ZString subject(text.data(), static_cast<unsigned int>(text.size()));
  if (!(re == subject)) {
    EXPECT_EQ(Text(subject), text) << "a failed match changed the text";
    return kFailed;
  }
  ZListString list;
  re.GetParameters(list);
  return Text(subject) + (trace ? Probe::LastMatches(re) + Params(list) : "");
}

// The rest of each (pattern, text) case, " / " between them.
std::string Rests(std::initializer_list<std::pair<const char*, std::string>> cases,
                  bool trace = false) {
  std::string out;
  for (const auto& c : cases) {
    ZRegExp re(c.first);
    out += (&c == cases.begin() ? "" : " / ") + Rest(re, c.second, trace);
  }
  return out;
}

TEST(ZRegExp, CompiledForms) {
  EXPECT_EQ(Describe({"", "ab*c", "ab\\", "a\\\\b"}), "0'' / 1'a' 2^'b*' 1^'c' / 1'ab' / 1'a\\b'");
  // An escaped operand stays a literal character under its repeat mark.
  EXPECT_EQ(Describe({"x\\$+y", ".*x", "a.+"}), "1'x' 3^'$+' 1^'y' / 5'.*' 1^'x' / 1'a' 6^'.+'");
  EXPECT_EQ(Describe({".bc", ".+b[ab]*c"}), "4'.' 1^'bc' / 6'.+' 1^'b' 8^'ab' 1^'c'");
  // A mark with nothing before it makes the rest one literal, unescaped.
  EXPECT_EQ(Describe({"*a\\.b", "x$yz", "a&b*"}), "1'*a\\.b' / 1$'x' / 1'a' 2&^'b*'");
  EXPECT_EQ(Describe({"?()[ab"}), "1'?()' 1^'[ab'");

  // The caret rule acts at the head only; a lone "^" is an anchor before
  // nothing.
  EXPECT_EQ(Describe({"^abc", "^.*abc", "a*^b"}), "1^'abc' / 1'abc' / 2'a*' 1^'^b'");
  EXPECT_EQ(Describe({"^abc"}, false), "1^'^abc'");
  EXPECT_EQ(Probe::Describe(ZRegExp('^')), "1^''");

  // Sets and groups.
  EXPECT_EQ(Describe({"[a-c]", "[^-x]+", "[\\]\\.]"}), "7'abc' / 9!'-x' / 7'].'");
  // A "]" ends a set even without "[": the atom's first character stands in
  // the opening bracket's place.
  EXPECT_EQ(Describe({"ab]c"}), "7'b' 1^'c'");
  // Ranges compare signed bytes: 0x80-0xFF sort before 0x00.
  EXPECT_EQ(Describe({"[\x7e-\x81]", "[\xfe-\x01]"}), std::string("7'' / 7'\xfe\xff\x00\x01'", 13));

  EXPECT_EQ(Describe({"{a|b", "{a||b}c"}), "10'b'{1^'a'|1^'b'} / 10'b'{1^'a'|0''|1^'b'} 1^'c'");
  // "}" cannot be escaped inside a group; escapes work per piece.
  EXPECT_EQ(Describe({"{a\\}b}"}), "10'a\\'{1^'a'} 1^'b}'");
  // The first "}" closes the group; a "{" inside a piece starts a group of
  // that piece; a group cannot be repeated.
  EXPECT_EQ(Describe({"{a{b|c}d}"}), "10'c'{1^'a' 10^'b'{1^'b'}|1^'c'} 1^'d}'");
  EXPECT_EQ(Describe({"{a|b}*c", "a\\{b|c}"}), "10'b'{1^'a'|1^'b'} 1^'*c' / 1'a{b|c}'");
}

// The plain matcher is held to these results by the agreement test below.
TEST(ZRegExp, Matching) {
  EXPECT_EQ(Rests({{"abc", "xxabcyy"}, {"^abc", "xxabc"}, {"abc$", "abcd"}, {"abc$", "xabc"}}),
            "yy / # / # / ");
  EXPECT_EQ(Rests({{"$", ""}, {"^.*", ""}, {"^.*", "a"}, {"^.*", "xyz"}, {"ab", "Ab"}}),
            " /  / a / xyz / #");
  // Only the first occurrence of the head literal is tried; a later literal
  // must follow at once. Literals compare bytes exactly, NUL included.
  EXPECT_EQ(Rests({{".bc", "abcd"}, {"ab[0-9]", "abxab1"}}), "d / #");
  ZRegExp nul(ZString("b\0c", 3));
  EXPECT_EQ(Rest(nul, std::string("xb\0cd", 5)) + Rest(nul, "bc"), "d#");
  EXPECT_EQ(Rests({{"a*b", "b"}, {"[0-9]*", ""}, {"a+", ""}, {".+", ""}, {".", ""}, {"[a]", ""}}),
            " /  / # / # / # / #");
  // The run of a repeated character ignores the case of ASCII letters only;
  // sets compare exactly.
  EXPECT_EQ(Rests({{"\xe9+x", "\xe9\xc9x"}, {"[a]+", "A"}, {"a.+b", "ab"}}), "# / # / #");
  // Only the first alternative that matches is used; a group is anchored
  // where it stands.
  EXPECT_EQ(Rests({{"{a|ab}c", "abc"}, {"{x|}", "z"}, {"{a*|b}", ""}, {"{b|c}", "zzc!"}}),
            "# / # /  / #");
  // Traced. Greedy, backing off until the rest fits. When the rest fails
  // after a group's alternative, it is tried once more as if the group had
  // consumed nothing. A group reports its head's last match; alternatives
  // are not visited.
  EXPECT_EQ(Rests({{"a+b", "aAbz"}, {".*c", "abcabc"}, {"[0-9]+[0-9][a-z]*$", "1234xy"}}, true),
            "z|aA|b / |abcab|c / |123|4|xy|");
  EXPECT_EQ(Rests({{"{ab|a}c", "ac"}, {"{a|b}a", "a"}, {"&{ab*|c}d{&x|y}", "abbdx"}}, true),
            "|a|c / ||a / |a|d|x&a");
}

TEST(ZRegExp, CopiesAndAssignment) {
  ZRegExp* source = new ZRegExp("&[a-z]+{=|:}&[0-9]*$");
  ZRegExp copy(*source);
  delete source;  // the copy owns everything it uses
  EXPECT_EQ(Rest(copy, "width:42", true), "|width|:|42|&width&42");
  ZListString list;
  list.push_back(ZString("old"));
  copy.GetParameters(list);
  EXPECT_EQ(list.size(), 3);  // appended, the list never emptied first

  ZRegExp assigned("x*y");
  assigned = copy;
  ZRegExp& alias = assigned;
  assigned = alias;
  EXPECT_EQ(Rest(assigned, "b=2"), "");

  // The caret rule travels with a copy and is set again by a new pattern,
  // which replaces the whole chain.
  ZRegExp plain("^a*b", false), plainCopy(plain);
  EXPECT_EQ(Rest(plainCopy, "^abc"), "c");
  plainCopy = ZString("^q.");
  EXPECT_EQ(Probe::Describe(plainCopy), "1^'q' 4^'.'");
  // A null pattern compiles as the empty one.
  EXPECT_EQ(Probe::Describe(ZRegExp(static_cast<const char*>(nullptr))), "0''");
  plainCopy = "q*";
  EXPECT_EQ(Rest(plainCopy, "qqx"), "x");
  plainCopy = static_cast<const char*>(nullptr);
  EXPECT_EQ(Rest(plainCopy, "x"), kFailed);
}

// Pathological patterns, long chains and deeply nested groups, on a thread
// with a small stack: every (atom, position) is worked out once, and
// nothing (compiling, matching, copying, destroying) recurses along the
// text or the pattern.
TEST(ZRegExp, PathologicalAndDeepPatternsNeedNoDeepStack) {
  std::string rests;
  auto work = [](void* out) -> void* {
    const std::string as(2000, 'a'), bs(100000, 'b');
    std::string chain;
    for (int i = 0; i < 5000; ++i) chain += "a*";
    ZRegExp many(chain.c_str()), deep((std::string(5000, '{') + "x").c_str());
    ZRegExp manyCopy(many), deepCopy(deep);
    *static_cast<std::string*>(out) = Rests({{".*.*.*.*.*.*x", as},
                                             {"[a-z]*{a|b}[a-z]*{a|b}[a-z]*{a|b}c", as},
                                             {".*.*c", bs},
                                             {"b*b*$", bs},
                                             {".*.*.*.*.*.*x", as + "x" + as}}) +
                                      "," + Rest(many, "aaab") + "," + Rest(manyCopy, "aaaaaaaa") +
                                      "," + Rest(deep, "x") + "," + Rest(deepCopy, "y");
    return nullptr;
  };
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, work, &rests), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(rests, "# / # / # /  / " + std::string(2000, 'a') + ",b,,,#");
}

// The memoising matcher must give exactly what plain backtracking gives:
// result, rest, every atom's last match and the parameters, for patterns
// that reach the rarer paths against every text of up to four characters.
TEST(ZRegExp, MemoisedAgreesWithPlainBacktracking) {
  auto compare = [&](const std::string& pattern, bool caret, const std::string& text) {
    // Plain backtracking runs second, over what the first match left.
    ZRegExp re(pattern.c_str(), caret);
    const std::string memoised = Rest(re, text, true);
    OrbText_SetPlainBacktracking(1);
    const std::string plain = Rest(re, text, true);
    OrbText_SetPlainBacktracking(0);
    ASSERT_EQ(memoised, plain) << "pattern '" << pattern << "' text '" << text << "'";
  };
  std::vector<std::string> texts = {""};
  for (size_t from = 0; texts.back().size() < 4; ++from) {
    for (char c : std::string("abc.*")) texts.push_back(texts[from] + c);
  }
  for (const char* pattern :
       {"&{a|b}a", "&{a}a$", "{a|ab}c", "&{a|}b*", "&a*&b+", "ab\\.*", "^.*ab", "&[^b]*b", "&.+b",
        "a{b|&c}", "*ab", "&{|a}a", "b\\*+", ".*{..}.*.a"}) {
    for (const std::string& text : texts) {
      for (bool caret : {true, false}) compare(pattern, caret, text);
      if (HasFailure()) return;
    }
  }
  // Only the memoising matcher asks for a table of failures.
  ZRegExp re("a*a*c");
  AllocLog log;
  Rest(re, "aaaa");
  const std::string memoised = log.Take();
  OrbText_SetPlainBacktracking(1);
  Rest(re, "aaaa");
  OrbText_SetPlainBacktracking(0);
  EXPECT_NE(memoised.find("newop"), std::string::npos);
  EXPECT_EQ(log.Take().find("newop"), std::string::npos);
}

// The first syntax that matches gives the token; a success replaces the
// parameter list, a failure leaves text and list alone. Copies of a syntax,
// the parser's own too, outlive their source.
TEST(ZParser, FirstMatchingSyntaxWins) {
  ZSyntax* source = new ZSyntax("^&[a-z]+:&[0-9]+", 5);
  ZSyntax copied(*source), assigned;
  assigned = copied;
  ZParser parser;
  parser.AddSyntax("^[0-9]+", 1);
  parser.AddSyntax(*source);
  delete source;
  parser.AddSyntax("^&[a-z]+", 2);
  parser.AddSyntax("^[a-z]", 3);  // never reached: order alone decides
  parser.AddSyntax(";", 4);       // floats, consuming the text it skipped
  ZString text("abc%");
  ZListString params;
  params.push_back(ZString("earlier"));
  EXPECT_EQ(ZParser().Parse(text, params), -1);
  EXPECT_EQ(parser.Parse(text, params), 2);
  EXPECT_EQ(parser.Parse(text, params), -1);
  EXPECT_EQ(Text(text) + Params(params), "%&abc");
  text = "12  ;ab:12;rest";
  EXPECT_EQ(parser.Parse(text, params), 1);
  EXPECT_EQ(parser.Parse(text, params), 4);
  EXPECT_EQ(parser.Parse(text, params), 5);
  EXPECT_EQ(Text(text) + Params(params), ";rest&ab&12");
  text = "ab:12;";
  EXPECT_TRUE(assigned.Parse(text, params));
  EXPECT_EQ(assigned.GetToken(), 5);
  EXPECT_EQ(Text(text) + Params(params), ";&ab&12");
}

}  // namespace
