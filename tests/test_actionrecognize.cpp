// Action byte sequences: fragment matching and building, data blocks with
// their length fields, argument conversion with and without the plug-in;
// recognition and generation with start headers, markers, conditions and
// the order of trial.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"

namespace {

typedef ZActionArgument A;
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
    std::string result;  // the result and the bytes out holds
  } cases[] = {
      {OptionPop | OptionMarker22 | OptionMarker21, {" AB ", "hi"}, "0 " + marked},
      {4, {" AB ", "hi"}, "-1 " + marked},
      {OptionPop, {"AB", " \t"}, "-2 " + marked},
      {OptionMagic, {" AB ", "hi"}, "-1 " + marked},
      {OptionPop, {"CD"}, "0 00 01 00 01 08 02 43 44 00 02 00"},
  };
  ZBuffer out;
  for (const auto& c : cases) {
    ZVectorString args = Texts(c.args);
    int result = d.Generate(c.options, args, out);
    EXPECT_EQ(std::to_string(result) + " " + ToHex(out), c.result) << c.options << Join(args);
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
  EXPECT_TRUE(ten.CheckCondition(1, ZString("0x10"), false) &&
              y.CheckCondition(1, ZString("yes"), false));
  EXPECT_FALSE(ten.CheckCondition(1, ZString("9"), true) ||
               y.CheckCondition(1, ZString(" yes"), true) ||
               y.CheckCondition(1, ZString(""), true));
  // An empty condition text has no initial, not even a NUL byte.
  C empty(1, C::SameInitial, C::Replace, ZString(""));
  EXPECT_FALSE(empty.CheckCondition(1, ZString("\0x", 2), true) ||
               none.CheckCondition(0, ZString("0"), true));
  for (int op : {0, 4, 7})
    EXPECT_FALSE(C(1, C::EOperation(op), C::Replace, 0L).CheckCondition(1, ZString("0"), true));
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
    EXPECT_EQ(std::to_string(options) + Join(args), "85[keep]");
  }
  PluginScope plugin("failing");
  EXPECT_EQ(Recognize(table, ZBuffer(), &options, args), any);
  // The data block's length field asks for more than there is: it takes
  // the rest of the 8,192-byte area.
  EXPECT_EQ(Recognize(table, Hex("01 05 FF FF 41"), &options, args), text);
  EXPECT_EQ(Join(args), "[A" + std::string(8187, '\0') + "]");
  // A normaliser asking again for the room it was given is not asked for ever.
  EXPECT_EQ(Recognize(table, Hex("EE"), &options, args), nullptr);
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
  // The bytes, and the description found, the options and the texts.
  const std::pair<const char*, const char*> cases[] = {
      {"00 11 00 0E 21 00 01 05 02 58 59 00 02 00", "first 41 [XY][]"},
      {"00 01 01 00 01 05 02 58 59 00 02 00", "first 1 [XY][]"},
      {"01 05 02 58 59", "first 1 [XY][]"},  // no slot fills argument 1
      // The first code's condition fails; the second code of the same
      // description takes the bytes, its two slots appending to one text.
      {"00 01 00 01 05 04 41 42 43 44 00 02 00", "first 0 [ABCD][]"},
      // Too short for the TwoBytes argument: both codes of "first" fail, and
      // "second" reads the byte as its number (shifted by 1).
      {"00 01 00 01 05 01 07 00 02 00", "second 0 [14]"},
      {"00 01 00 01 06 00 02 00", "none 0 [14]"},  // nothing matches: texts as they were
      // The normaliser rewrites a two-byte length field holding 2 before
      // matching.
      {"00 01 00 01 05 80 02 58 59 00 02 00", "first 1 [XY][]"},
  };
  for (const auto& [hex, expected] : cases) {
    options_ = 0xFF00;
    ZActionDescription* found = Recognize(table_, Hex(hex), &options_, args_);
    EXPECT_EQ((found ? Str(found->GetName()) : "none") + " " + std::to_string(options_) + " " +
                  Join(args_),
              expected)
        << hex;
  }
}

TEST_F(RecognizeTable, DefaultDescriptionAndBadCalls) {
  options_ = 0x20;
  args_ = Texts({"a", "b", "c", "d"});
  EXPECT_EQ(table_.GetDefaultDescription(&options_, args_), table_.Find(ZString("first")));
  EXPECT_EQ(std::to_string(options_) + Join(args_), "0[][]");

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

TEST(ActionEncoding, FragmentsAddAndMatch) {
  // Length fields written: 32,768 does not fit, nothing is written or lost.
  ZActionFragment fields(ZActionFragment::StreamBytes, Hex("AA"));
  // The result, the front of the output, the lengths of output and data.
  const std::pair<unsigned int, std::string> cases[] = {{127, "-1 7F 78 129 0"},
                                                        {128, "-1 80 80 78 131 0"},
                                                        {32767, "-1 FF FF 78 32770 0"},
                                                        {32768, "-2  0 32768"}};
  for (const auto& [n, expected] : cases) {
    ZBuffer output, data(std::string(n, 'x').data(), n);
    int result = fields.Add(output, data);
    EXPECT_EQ(std::to_string(result) + " " + ToHex(output).substr(0, n < 128 ? 5 : 8) + " " +
                  std::to_string(output.GetLength()) + " " + std::to_string(data.GetLength()),
              expected);
  }

  // The stream bytes and the input; the result, what is left of the input
  // and the data.
  const struct {
    const char *bytes, *hex, *expected;
  } matches[] = {
      {"01 05", "01 05 03 AA BB CC 01 06", "-1|01 06|11 AA BB CC"},  // data appended
      {"01 05", "01 06", "-2|01 06|11"},
      {"01 05", "01 05", "-1||11"},                 // the whole input matched: no length field read
      {"01 05", "01 05 09 AA BB", "-1||11 AA BB"},  // a length beyond the input
      {"01 05", "01 05 85", "-1||11"},              // input ends inside a two-byte field
      {"", "02 AA BB 01", "-1|01|11 AA BB"},  // none match at once, taking nothing before the data
  };
  for (const auto& m : matches) {
    ZBuffer input = Hex(m.hex), data = Hex("11");
    int result = ZActionFragment(ZActionFragment::StreamBytes, Hex(m.bytes)).Match(input, data);
    EXPECT_EQ(std::to_string(result) + "|" + ToHex(input) + "|" + ToHex(data), m.expected) << m.hex;
  }
  // Data bytes match the front of the data, never its terminator; every
  // type other than 0 and 2 is a slot: its index, nothing consumed.
  ZActionFragment fixed(ZActionFragment::DataBytes, Hex("0B 00"));
  ZActionFragment odd(ZActionFragment::EType(9), 2);
  ZBuffer input = Hex("55"), data = Hex("0B 00 0B"), output;
  EXPECT_EQ(fixed.Match(input, data), -1);
  EXPECT_TRUE(fixed.Match(input, data) == -2 && odd.Match(input, data) == 2);
  EXPECT_EQ(odd.Add(output, data), 2);
  EXPECT_EQ(ToHex(input) + "|" + ToHex(output) + "|" + ToHex(data), "55||0B");
}

// Add converts a text (trimmed in place) to bytes appended to the data;
// Get converts the bytes at the front of the data to a text.
TEST(ActionEncoding, ArgumentsAddAndGet) {
  PluginScope plugin(nullptr);
  const struct {
    bool add;
    A::EType type;
    int size, shift;
    const char* in;    // the text added, or the data read
    std::string text;  // the text and the data after, as "text|data"
  } cases[] = {
      {true, A::Number, 0, -2, "20", "80|EE 00 00 00 50"},  // size 0: what the plug-in made
      {true, A::Number, 2, 32, "40", "0|EE 00 00"},         // shifts of 32 or more give 0
      {true, A::Number, 2, -32, "40", "0|EE 00 00"},
      {true, A::AdaKind5, 4, 0, "7", "7|EE 00 00 00 07"},        // padded in front
      {true, A::TwoBytes, 0, 0, " CDE\t", "CDE|EE 43 44"},       // trimmed in place
      {false, A::Number, 4, 31, "00 00 00 01", "-2147483648|"},  // shown signed
      {false, A::Number, 2, 32, "00 07", "0|"},
      {false, A::Number, 4, -31, "80 00 00 00", "1|"},  // the last shift that keeps a bit
      {false, A::AdaKind1, 0, 0, "01 02 03 04 05", "01 02 03 04|05"},  // size 0 reads 4
      {false, A::AdaKind1, 0, 0, "05 06", "05 06|"},     // fewer than the size: all of them
      {false, A::TwoBytes, 0, 0, "41 42 43", "xAB|43"},  // appended to the text
      {false, A::Text, 0, 0, "68 00 21", std::string("h\0!|68 00 21", 12)},  // not consumed
  };
  for (const auto& c : cases) {
    A argument(c.type, ZString("a"), c.size, c.shift);
    ZBuffer data = Hex(c.add ? "EE" : c.in);
    ZString text(c.add ? c.in : "x");
    EXPECT_EQ(c.add ? argument.Add(data, text) : argument.Get(data, text), 0) << c.in;
    EXPECT_EQ(Str(text) + "|" + ToHex(data), c.text) << c.in;
  }
  // The plug-in is offered 16 bytes: 17 do not fit (its answer 4).
  A hex(A::AdaKind1, ZString("h"), 0, 0);
  ZString sixteen("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"),
      seventeen((Str(sixteen) + " 10").c_str());
  ZBuffer data;
  EXPECT_EQ(hex.Add(data, seventeen), 4);
  EXPECT_EQ(hex.Add(data, sixteen), 0);
  EXPECT_EQ(ToHex(data), Str(sixteen));
}

TEST(ActionEncoding, ArgumentRefusals) {
  ZBuffer data = Hex("41"), out;
  ZString text(" C ");
  {
    // TwoBytes refuses one byte and one character (18). Unknown types act
    // as None; the plug-in's types answer 3 without it, Get having taken
    // their bytes. Blank text is refused by every type.
    PluginScope plugin("empty");
    A two(A::TwoBytes, ZString("t"), 0, 0);
    EXPECT_TRUE(two.Get(data, text) == 18 && two.Add(out, text) == 18);
    EXPECT_EQ(ToHex(data), "41");
    for (int type : {0, 6, -1, 2, 4, 5}) {
      int result = type == 2 || type == 4 || type == 5 ? 3 : 0;
      A argument(A::EType(type), ZString("a"), 2, 0);
      data = Hex("01 02 03");
      text = "12";
      EXPECT_EQ(argument.Get(data, text), result) << type;
      EXPECT_EQ(ToHex(data), result == 3 ? "03" : "01 02 03") << type;
      EXPECT_EQ(argument.Add(out, text), result) << type;
      text = " \t ";
      EXPECT_EQ(argument.Add(out, text), -2) << type;
    }
    EXPECT_TRUE(out.IsEmpty());
  }
  PluginScope plugin("failing");  // every entry answers 9, passed through
  A number(A::Number, ZString("n"), 2, 0);
  data = Hex("00 05 09");
  EXPECT_EQ(number.Get(data, text), 9);
  text = "5";
  EXPECT_EQ(number.Add(data, text), 9);
  EXPECT_EQ(ToHex(data), "09");
}

}  // namespace
