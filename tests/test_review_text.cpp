// The regular expressions against an independent model: a direct, slow
// rendering of the compiling and matching rules over std::string. Random
// patterns built from the special characters must compile to the same chain
// of atoms, and match random texts with the same result, the same rest and
// the same parameters.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "orbcmn/orbcmn.h"

// Reads the compiled chain (the library's inspection hook).
struct ZRegExpProbe {
  static std::string Str(const ZString& s) {
    return s.GetLength() == 0 ? std::string() : std::string(s, s.GetLength());
  }

  // One word per atom: kind, flags (& parameter, ^ start anchor, $ end
  // anchor, ! negated), own text, and a group's alternatives in braces.
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
};

namespace {

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

std::string Describe(const Atom* head) {
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
        out += (k ? "|" : "") + Describe(a->alts[k].get());
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

std::string Parameters(const Atom* head) {
  std::string out;
  for (const Atom* a = head; a != nullptr; a = a->next.get()) {
    if (a->parameter) out += "<" + a->last + ">";
  }
  return out;
}

std::string Parameters(const ZRegExp& re) {
  ZListString list;
  re.GetParameters(list);
  std::string out;
  for (ZListString::ZIterator it = list.begin(); it != list.end(); ++it) {
    out += "<" + ZRegExpProbe::Str(*it) + ">";
  }
  return out;
}

// Compiles pattern both ways and matches it against text both ways.
void CompareOne(const std::string& pattern, bool caret, const std::string& text) {
  std::unique_ptr<Atom> model = Compile(pattern, caret);
  ZRegExp re(pattern.c_str(), caret);
  ASSERT_EQ(Describe(model.get()), ZRegExpProbe::Describe(re))
      << "pattern '" << pattern << "' caret " << caret;
  std::string expected = text;
  const bool matched = Match(model.get(), expected);
  ZString subject(text.data(), static_cast<unsigned int>(text.size()));
  ASSERT_EQ(matched, re == subject) << "pattern '" << pattern << "' on '" << text << "'";
  ASSERT_EQ(matched ? expected : text, ZRegExpProbe::Str(subject))
      << "pattern '" << pattern << "' on '" << text << "'";
  if (matched) {
    ASSERT_EQ(Parameters(model.get()), Parameters(re))
        << "pattern '" << pattern << "' on '" << text << "'";
  }
}

// Random patterns over `alphabet`, each matched against random texts.
void CompareWithModel(const std::string& alphabet, size_t patternLength,
                      const std::string& textAlphabet, size_t textLength, int patterns) {
  std::mt19937 random(20240611);
  auto pick = [&random](const std::string& from, size_t maxLength) {
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = from[random() % from.size()];
    return s;
  };
  for (int n = 0; n < patterns; ++n) {
    const std::string pattern = pick(alphabet, patternLength);
    const bool caret = random() % 4 != 0;
    for (int k = 0; k < 6; ++k) CompareOne(pattern, caret, pick(textAlphabet, textLength));
    if (testing::Test::HasFailure()) return;
  }
}

TEST(ReviewRegExp, EverySpecialCharacterCompilesAndMatchesAsTheRulesSay) {
  CompareWithModel("ab.*+[]^-{}|&$\\A", 10, "abA-.*", 8, 1500);
}

TEST(ReviewRegExp, SetsRangesAndHighBytesCompileAsTheRulesSay) {
  CompareWithModel("a[]-^*+\\b{|}\x80\xff\x7f", 10, "ab-\x80\xff", 6, 800);
}

TEST(ReviewRegExp, LongerChainsBacktrackAsTheRulesSay) {
  CompareWithModel("aA*+.{|}&$", 14, "abA-.*", 20, 400);
}

TEST(ReviewRegExp, GroupsAndParametersAsTheRulesSay) {
  CompareWithModel("ab{|}&$*", 9, "ab", 5, 1000);
}

// Patterns that reach the rarer paths (a group whose rest fails and is
// tried again without it, parameters on groups and repeats, anchors and
// escaped repeat operands), against every text of up to four characters.
TEST(ReviewRegExp, RarePathsAgainstEveryShortText) {
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
      if (testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
