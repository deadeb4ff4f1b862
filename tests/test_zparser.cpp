// ZSyntax and ZParser: token order, parameters and copies.
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
  ZParser empty, parser;
  ZString text("abc12");
  ZListString params;
  EXPECT_EQ(empty.Parse(text, params), -1);
  parser.AddSyntax("^[0-9]+", 1);
  parser.AddSyntax("^[a-z]+", 2);
  parser.AddSyntax("^[a-z]", 3);  // never reached: order alone decides
  parser.AddSyntax(";", 4);       // floats, consuming the text it skipped
  EXPECT_EQ(parser.Parse(text, params), 2);
  EXPECT_EQ(Str(text), "12");
  EXPECT_EQ(parser.Parse(text, params), 1);
  EXPECT_EQ(Str(text), "");
  EXPECT_EQ(parser.Parse(text, params), -1);
  text = "  ;rest";
  EXPECT_EQ(parser.Parse(text, params), 4);
  EXPECT_EQ(Str(text), "rest");
}

TEST(ZParser, ParametersReplaceTheListOnlyOnSuccess) {
  ZParser parser;
  parser.AddSyntax("^&[a-z]+=", 5);
  ZListString params;
  params.push_back(ZString("earlier"));
  ZString text("123");
  EXPECT_EQ(parser.Parse(text, params), -1);
  EXPECT_EQ(Strings(params), (std::vector<std::string>{"earlier"}));
  text = "name=x";
  EXPECT_EQ(parser.Parse(text, params), 5);
  EXPECT_EQ(Str(text), "x");
  EXPECT_EQ(Strings(params), (std::vector<std::string>{"name"}));
}

// Copies of a syntax, and the parser's own copy, outlive their sources.
TEST(ZParser, SyntaxCopiesMatchLikeTheirSource) {
  ZSyntax* source = new ZSyntax("^&[a-z]+:&[0-9]+", 4);
  ZSyntax copied(*source);
  ZSyntax assigned;
  assigned = copied;
  ZParser parser;
  parser.AddSyntax(*source);
  delete source;
  const std::vector<std::string> pair{"ab", "12"};
  ZString a("ab:12;"), b("ab:12;");
  ZListString pa, pb;
  EXPECT_TRUE(assigned.Parse(a, pa));
  EXPECT_EQ(assigned.GetToken(), 4);
  EXPECT_EQ(parser.Parse(b, pb), 4);
  EXPECT_EQ(Str(a) + Str(b), ";;");
  EXPECT_EQ(Strings(pa), pair);
  EXPECT_EQ(Strings(pb), pair);
}

}  // namespace
