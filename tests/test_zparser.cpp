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
  EXPECT_EQ(Left(text, params), "%|abc");
  text = "12  ;ab:12;rest";
  EXPECT_EQ(parser.Parse(text, params), 1);
  EXPECT_EQ(parser.Parse(text, params), 4);
  EXPECT_EQ(parser.Parse(text, params), 5);
  EXPECT_EQ(Left(text, params), ";rest|ab|12");
  text = "ab:12;";
  EXPECT_TRUE(assigned.Parse(text, params));
  EXPECT_EQ(assigned.GetToken(), 5);
  EXPECT_EQ(Left(text, params), ";|ab|12");
}

}  // namespace
