// ZSyntax and ZParser: token order, parameters, copies and a tokenizing loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orbcmn/zparser.h"

namespace {

std::string Str(const ZString& s) {
  return s.GetLength() == 0 ? std::string() : std::string(s, s.GetLength());
}

std::vector<std::string> Strings(const ZListString& list) {
  std::vector<std::string> out;
  for (ZListString::ZIterator it = list.begin(); it != list.end(); ++it) out.push_back(Str(*it));
  return out;
}

TEST(ZParser, FirstMatchingSyntaxWins) {
  ZParser empty;
  ZString text("abc");
  ZListString params;
  EXPECT_EQ(empty.Parse(text, params), -1);
  EXPECT_EQ(Str(text), "abc");

  ZParser parser;
  parser.AddSyntax("^[0-9]+", 1);
  parser.AddSyntax("^[a-z]+", 2);
  text = "abc12";
  EXPECT_EQ(parser.Parse(text, params), 2);
  EXPECT_EQ(Str(text), "12");
  EXPECT_EQ(parser.Parse(text, params), 1);
  EXPECT_EQ(Str(text), "");
  EXPECT_EQ(parser.Parse(text, params), -1);

  // Order alone decides between syntaxes that both match.
  ZParser order;
  order.AddSyntax("^[a-z]", 7);
  order.AddSyntax("^[a-z]+", 8);
  text = "word";
  EXPECT_EQ(order.Parse(text, params), 7);
  EXPECT_EQ(Str(text), "ord");

  // A floating literal consumes the text it skipped.
  ZParser floating;
  floating.AddSyntax(";", 3);
  text = "junk;rest";
  EXPECT_EQ(floating.Parse(text, params), 3);
  EXPECT_EQ(Str(text), "rest");
}

TEST(ZParser, ParametersReplaceTheListOnlyOnSuccess) {
  ZParser parser;
  parser.AddSyntax("^&[a-z]+=", 5);
  ZListString params;
  params.push_back(ZString("earlier"));
  params.push_back(ZString("contents"));
  ZString text("123");
  EXPECT_EQ(parser.Parse(text, params), -1);
  EXPECT_EQ(Str(text), "123");
  EXPECT_EQ(Strings(params), (std::vector<std::string>{"earlier", "contents"}));

  text = "name=x";
  EXPECT_EQ(parser.Parse(text, params), 5);
  EXPECT_EQ(Str(text), "x");
  EXPECT_EQ(Strings(params), (std::vector<std::string>{"name"}));

  ZSyntax syntax("^&[0-9]+", 9);
  text = "x";
  EXPECT_FALSE(syntax.Parse(text, params));
  EXPECT_EQ(Strings(params), (std::vector<std::string>{"name"}));
  text = "42x";
  EXPECT_TRUE(syntax.Parse(text, params));
  EXPECT_EQ(Strings(params), (std::vector<std::string>{"42"}));
}

TEST(ZParser, SyntaxCopies) {
  ZSyntax none;
  EXPECT_EQ(none.GetToken(), 0);
  ZString text("anything");
  ZListString params;
  EXPECT_FALSE(none.Parse(text, params));

  ZRegExp pair("^&[a-z]+:&[0-9]+");
  ZSyntax fromExpression(pair, 4);
  ZSyntax copied(fromExpression);
  ZSyntax assigned;
  assigned = copied;
  assigned = assigned;
  EXPECT_EQ(assigned.GetToken(), 4);

  // A parser keeps its own copy: the source may go first.
  ZParser parser;
  {
    ZSyntax local("^&[a-z]+:&[0-9]+", 6);
    parser.AddSyntax(local);
  }
  parser.AddSyntax(assigned);
  for (const char* input : {"ab:12;", "ab12", ":1", "x:"}) {
    ZString a(input), b(input);
    ZListString pa, pb;
    bool matched = copied.Parse(a, pa);
    EXPECT_EQ(parser.Parse(b, pb), matched ? 6 : -1) << input;
    EXPECT_EQ(Str(a), Str(b)) << input;
    EXPECT_EQ(Strings(pa), Strings(pb)) << input;
  }
  text = "ab:12;";
  EXPECT_TRUE(assigned.Parse(text, params));
  EXPECT_EQ(Strings(params), (std::vector<std::string>{"ab", "12"}));
}

// A small configuration language: sections, key = value pairs, comments,
// blank space; each line is taken off token by token.
TEST(ZParser, TokenizesAConfigurationText) {
  enum { kSpace = 1, kComment, kSection, kNumber, kFlag, kPair, kNewline };
  ZParser parser;
  parser.AddSyntax("^[ \t]+", kSpace);
  parser.AddSyntax("^#[^\n]*", kComment);
  parser.AddSyntax("^\\[&[a-zA-Z0-9_]+\\]", kSection);
  parser.AddSyntax("^&[a-z_]+ *= *&[0-9]+\n", kNumber);
  parser.AddSyntax("^&[a-z_]+ *= *&{yes|no|on|off}\n", kFlag);
  parser.AddSyntax("^&[a-z_]+ *= *&[^\n]*\n", kPair);
  parser.AddSyntax("^\n", kNewline);

  ZString text(
      "# editor settings\n"
      "[display]\n"
      "width = 640\n"
      "  height=480\n"
      "\n"
      "[user_1]\n"
      "name = A. Writer # not a comment\n"
      "autosave = on\n"
      "backup = onward\n"
      "limit=12x\n");
  std::vector<std::string> seen;
  ZListString params;
  int token;
  while (!text.IsEmpty() && (token = parser.Parse(text, params)) != -1) {
    if (token == kSpace || token == kNewline || token == kComment) continue;
    std::string line = std::to_string(token);
    for (const std::string& p : Strings(params)) line += "|" + p;
    seen.push_back(line);
  }
  EXPECT_EQ(Str(text), "");
  EXPECT_EQ(seen, (std::vector<std::string>{"3|display", "4|width|640", "4|height|480", "3|user_1",
                                            "6|name|A. Writer # not a comment", "5|autosave|on",
                                            "6|backup|onward", "6|limit|12x"}));

  // A text no syntax takes stops the loop where it stands.
  ZString bad("[display]\n= 3\n");
  EXPECT_EQ(parser.Parse(bad, params), kSection);
  EXPECT_EQ(parser.Parse(bad, params), kNewline);
  EXPECT_EQ(parser.Parse(bad, params), -1);
  EXPECT_EQ(Str(bad), "= 3\n");
  EXPECT_EQ(Strings(params), (std::vector<std::string>{}));
}

}  // namespace
