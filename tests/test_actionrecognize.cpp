// Recognition and generation of action byte sequences: start headers,
// markers, data blocks, conditions and the order of trial.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"

namespace {

typedef ZActionCondition C;

ZVectorString Texts(const std::vector<std::string>& texts) {
  ZVectorString v;
  for (const std::string& t : texts) v.push_back(ZString(t.data(), t.size()));
  return v;
}

ZActionDescription* Recognize(ZActionTable& table, const ZBuffer& bytes, unsigned int* options,
                              ZVectorString& args) {
  return table.Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                         static_cast<int>(bytes.GetLength()), options, args);
}

// Headers, markers (21 wins over 22), data blocks and slots, the caller's
// texts left as given. Low bits matching no variant, a variant above 3, a
// conversion failure or a slot naming an argument the description lacks
// stop generation, out untouched; a slot beyond the texts given does not fit
// and the next code is tried.
TEST(ActionGenerate, HeadersDataBlocksAndArguments) {
  ZString name("move"), a("a"), b("b");
  ZActionDescription d(name, 0);
  d.AddArgument(1, ZActionArgument::TwoBytes, a, 0, 0);
  d.AddArgument(2, ZActionArgument::Text, b, 0, 0);
  AddCode(d, 2, {"01 05", "=0B", "#0", "01 06", "01 07", "#1"});
  AddCode(d, 2, {"01 08", "#0"});
  AddCode(d, 4, {"01 05"});
  AddCode(d, 1, {"#2"});
  AddCode(d, 1, {"#-1"});
  const std::string marked = "00 01 00 0E 21 00 01 05 03 0B 41 42 01 06 01 07 02 68 69 00 02 00";
  const struct {
    unsigned int options;
    std::vector<std::string> args;
    int result;
    std::string bytes;
  } cases[] = {
      {OptionPop, {" AB ", "hi"}, 0, "00 01 00 01 05 03 0B 41 42 01 06 01 07 02 68 69 00 02 00"},
      {OptionPop | OptionMarker22 | OptionMarker21, {" AB ", "hi"}, 0, marked},
      {OptionPop | OptionMagic, {" AB ", "hi"}, -1, marked},
      {4, {" AB ", "hi"}, -1, marked},
      {OptionPop, {"AB", " \t"}, -2, marked},
      {OptionMagic, {" AB ", "hi"}, -1, marked},
      {OptionPop, {"CD"}, 0, "00 01 00 01 08 02 43 44 00 02 00"},
  };
  ZBuffer out;
  for (const auto& c : cases) {
    ZVectorString args = Texts(c.args);
    EXPECT_EQ(d.Generate(c.options, args, out), c.result) << c.options << Join(args);
    EXPECT_EQ(ToHex(out), c.bytes) << c.options << Join(args);
    EXPECT_EQ(Join(args), Join(Texts(c.args)));
  }
}

// Or as the first condition on its argument is always satisfied; And after
// a failing condition stays false; a later Replace decides alone. A
// condition on argument 2 is not applied to one text; to two it is.
TEST(ActionCondition, CheckAndCombine) {
  ZVectorString one = Texts({"50"}), two = Texts({"50", "99"});
  ZActionCode orFirst(0), chain(0), second(0);
  orFirst.AddCondition(1, C::AtMost, C::Or, 0L);
  chain.AddCondition(1, C::AtMost, C::Replace, 0L);
  chain.AddCondition(1, C::AtLeast, C::And, 0L);
  second.AddCondition(2, C::AtLeast, C::Replace, 100L);
  EXPECT_TRUE(orFirst.CheckForMatch(0, one) && second.CheckForMatch(0, one));
  EXPECT_FALSE(chain.CheckForMatch(0, one) || second.CheckForMatch(0, two));
  chain.AddCondition(1, C::AtLeast, C::ECombine(7), 50L);
  EXPECT_TRUE(chain.CheckForMatch(0, one));

  // Texts convert as numbers ("0x10" is 16); SameInitial ignores case, sees
  // a leading blank and finds no initial in an empty text. Operations
  // without meaning (below, between and above 3, 5, 6) fail; a condition
  // made empty tests argument 0 with operation 0: never true.
  C ten(1, C::AtLeast, C::Replace, 10L), y(1, C::SameInitial, C::Replace, ZString("Y")), none;
  EXPECT_TRUE(ten.CheckCondition(1, ZString("0x10"), false));
  EXPECT_TRUE(y.CheckCondition(1, ZString("yes"), false));
  EXPECT_FALSE(ten.CheckCondition(1, ZString("9"), true) ||
               y.CheckCondition(1, ZString(" yes"), true) ||
               y.CheckCondition(1, ZString(""), true));
  // An empty condition text has no initial, not even a NUL byte.
  C empty(1, C::SameInitial, C::Replace, ZString(""));
  EXPECT_FALSE(empty.CheckCondition(1, ZString("\0x", 2), true));
  for (int op : {0, 4, 7}) {
    EXPECT_FALSE(C(1, C::EOperation(op), C::Replace, 0L).CheckCondition(1, ZString("0"), true));
  }
  EXPECT_TRUE(none.GetOperation() == 0 && none.GetCombine() == C::Replace && none.GetNumber() == 0);
  EXPECT_FALSE(none.CheckCondition(0, ZString("0"), true));
}

// Without the plug-in nothing is recognised, options and texts untouched.
// With a failing one, only bytes inside the normaliser's area are taken,
// whatever size it reports: none for a negative size, the area for a
// larger one.
TEST(ActionRecognize, WithoutPluginOrOutsideTheArea) {
  ZActionTable table;
  ZString name("a");
  ZActionDescription* text = table.AddDescription(name, 0);
  text->AddArgument(1, ZActionArgument::Text, name, 0, 0);
  AddCode(*text, 0, {"01 05", "#0"});
  ZActionDescription* any = table.AddDescription(name, 0);
  any->AddCode(0);
  unsigned int options = 0x55;
  ZVectorString args = Texts({"keep"});
  {
    PluginScope plugin("empty");
    EXPECT_EQ(Recognize(table, Hex("00 01 00 00 02 00"), &options, args), nullptr);
    EXPECT_EQ(options, 0x55u);
    EXPECT_EQ(Join(args), "[keep]");
  }
  PluginScope plugin("failing");
  EXPECT_EQ(Recognize(table, ZBuffer(), &options, args), any);
  // The data block's length field asks for more than there is: it takes
  // the rest of the 8,192-byte area.
  EXPECT_EQ(Recognize(table, Hex("01 05 FF FF 41"), &options, args), text);
  EXPECT_EQ(Join(args), "[A" + std::string(8187, '\0') + "]");
}

// "first": a TwoBytes and a Text argument, a variant-1 code with a condition
// and a variant-0 code filling argument 0 twice; "second": a Number.
class RecognizeTable : public testing::Test {
 protected:
  void SetUp() override {
    ZString first("first"), second("second"), a("a"), n("n");
    ZActionDescription* d = table_.AddDescription(first, OptionWaitOn);
    d->AddArgument(1, ZActionArgument::TwoBytes, a, 0, 0);
    d->AddArgument(2, ZActionArgument::Text, a, 0, 0);
    AddCode(*d, 1, {"01 05", "#0"})->AddCondition(1, C::SameInitial, C::Replace, ZString("x"));
    AddCode(*d, 0, {"01 05", "#0", "#0"});
    ZActionDescription* s = table_.AddDescription(second, 0);
    s->AddArgument(1, ZActionArgument::Number, n, 2, 1);
    AddCode(*s, 0, {"01 05", "#0"});
  }

  PluginScope plugin_{nullptr};
  ZActionTable table_;
  unsigned int options_ = 0;
  ZVectorString args_;
};

// Every start header form, both markers, and no header at all; then which
// code and description take the bytes.
TEST_F(RecognizeTable, HeadersMarkersAndOrderOfTrial) {
  const struct {
    const char *hex, *found;
    unsigned int options;
    const char* args;
  } cases[] = {
      {"00 11 00 0E 21 00 01 05 02 58 59 00 02 00", "first", 0x29, "[XY][]"},
      {"00 01 01 00 01 05 02 58 59 00 02 00", "first", 0x01, "[XY][]"},
      {"00 11 01 00 0E 22 00 01 05 02 58 59 00 02 00", "first", 0x25, "[XY][]"},
      {"01 05 02 58 59", "first", 0x01, "[XY][]"},  // no slot fills argument 1
      // The first code's condition fails; the second code of the same
      // description takes the bytes, its two slots appending to one text.
      {"00 01 00 01 05 04 41 42 43 44 00 02 00", "first", 0, "[ABCD][]"},
      // Too short for the TwoBytes argument: both codes of "first" fail, and
      // "second" reads the byte as its number (shifted by 1).
      {"00 01 00 01 05 01 07 00 02 00", "second", 0, "[14]"},
      {"00 01 00 01 06 00 02 00", nullptr, 0, "[14]"},  // nothing matches: args as they were
      // The normaliser rewrites a two-byte length field holding 2 before
      // matching.
      {"00 01 00 01 05 80 02 58 59 00 02 00", "first", 0x01, "[XY][]"},
  };
  for (const auto& c : cases) {
    options_ = 0xFF00;
    EXPECT_EQ(Recognize(table_, Hex(c.hex), &options_, args_),
              c.found ? table_.Find(ZString(c.found)) : nullptr)
        << c.hex;
    EXPECT_EQ(options_, c.options) << c.hex;
    EXPECT_EQ(Join(args_), c.args) << c.hex;
  }
}

TEST_F(RecognizeTable, DefaultDescriptionAndBadCalls) {
  options_ = 0x20;
  args_ = Texts({"a", "b", "c", "d"});
  EXPECT_EQ(table_.GetDefaultDescription(&options_, args_), table_.Find(ZString("first")));
  EXPECT_EQ(options_, 0u);
  EXPECT_EQ(Join(args_), "[][]");

  options_ = 9;
  EXPECT_EQ(ZActionTable().GetDefaultDescription(&options_, args_), nullptr);
  EXPECT_EQ(table_.Recognize(nullptr, 4, &options_, args_), nullptr);
  unsigned char byte = 0;
  EXPECT_EQ(table_.Recognize(&byte, -1, &options_, args_), nullptr);
  EXPECT_EQ(table_.Recognize(&byte, 1, nullptr, args_), nullptr);
  EXPECT_TRUE(options_ == 9 && args_.size() == 2);

  // A slot naming an argument the description lacks makes its code fail.
  ZString name("bad");
  ZActionTable bad;
  AddCode(*bad.AddDescription(name, 0), 0, {"#0"});
  ZActionDescription* none = bad.AddDescription(name, 0);
  none->AddCode(0);
  EXPECT_EQ(Recognize(bad, Hex("00 01 00 00 02 00"), &options_, args_), none);
  EXPECT_EQ(args_.size(), 0);
}

TEST_F(RecognizeTable, EveryArgumentTypeRoundTrips) {
  // Over 4,096 bytes, so the normaliser's area has to grow.
  ZActionDescription* d = AddEveryKind(table_);
  std::string const text(6000, 'z');
  ZVectorString args = Texts({"AB", "300", "-3", "0A 0B 0C 0D", "unread", text});
  ZBuffer bytes;
  ASSERT_EQ(d->Generate(0x27, args, bytes), 0);
  EXPECT_EQ(
      ToHex(bytes).substr(0, 86),
      "00 11 01 00 0E 22 00 01 09 05 0B 41 42 02 58 01 0A 05 FD 0A 0B 0C 0D 01 0B 97 71 0C 7A");
  EXPECT_EQ(bytes.GetLength(), 6031u);
  EXPECT_EQ(Recognize(table_, bytes, &options_, args_), d);
  EXPECT_EQ(options_, 0x27u);
  EXPECT_EQ(Join(args_), "[AB][300][-3][0A 0B 0C 0D][][" + text + "]");
}

}  // namespace
