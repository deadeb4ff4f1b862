// ZSyntax and ZParser: token order, parameters and copies.
#include <gtest/gtest.h>

#include <string>

#include "orbcmn/zparser.h"
#include "support/text.h"

namespace {

// The text left, then each parameter after a "|".
std::string Left(const ZString& text, const ZListString& params) {
  std::string out = Text(text);
  for (ZListString::ZIterator it = params.begin(); it != params.end(); ++it) out += "|" + Text(*it);
  return out;
}

// The first syntax that matches gives the token; a success replaces the
// parameter list, a failure leaves text and list alone.
TEST(ZParser, FirstMatchingSyntaxWins) {
  ZParser parser;
  ZString text("abc%");
  ZListString params;
  params.push_back(ZString("earlier"));
  EXPECT_EQ(ZParser().Parse(text, params), -1);
  parser.AddSyntax("^[0-9]+", 1);
  parser.AddSyntax("^&[a-z]+", 2);
  parser.AddSyntax("^[a-z]", 3);  // never reached: order alone decides
  parser.AddSyntax(";", 4);       // floats, consuming the text it skipped
  EXPECT_EQ(parser.Parse(text, params), 2);
  EXPECT_EQ(parser.Parse(text, params), -1);
  EXPECT_EQ(Left(text, params), "%|abc");
  text = "12  ;rest";
  EXPECT_EQ(parser.Parse(text, params), 1);
  EXPECT_EQ(parser.Parse(text, params), 4);
  EXPECT_EQ(Left(text, params), "rest");
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
  ZString a("ab:12;"), b("ab:12;");
  ZListString pa, pb;
  EXPECT_TRUE(assigned.Parse(a, pa));
  EXPECT_EQ(assigned.GetToken(), 4);
  EXPECT_EQ(parser.Parse(b, pb), 4);
  EXPECT_EQ(Left(a, pa), ";|ab|12");
  EXPECT_EQ(Left(b, pb), ";|ab|12");
}

}  // namespace
