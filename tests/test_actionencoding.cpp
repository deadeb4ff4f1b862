// Fragment matching and building, data blocks with their length fields,
// and argument conversion with and without the plug-in.
#include <gtest/gtest.h>

#include <string>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"

namespace {

typedef ZActionArgument A;

TEST(ActionEncoding, FragmentsAddAndMatch) {
  // Length fields written: 32,768 does not fit, nothing is written or lost.
  ZActionFragment fields(ZActionFragment::StreamBytes, Hex("AA"));
  struct {
    unsigned int n;
    std::string head;
  } const cases[] = {
      {127, "7F 78"}, {128, "80 80 78"}, {300, "81 2C 78"}, {32767, "FF FF 78"}, {32768, ""}};
  for (const auto& c : cases) {
    ZBuffer output, data(std::string(c.n, 'x').data(), c.n);
    EXPECT_EQ(fields.Add(output, data), c.head.empty() ? -2 : -1) << c.n;
    EXPECT_EQ(ToHex(output).substr(0, c.head.size()), c.head) << c.n;
    EXPECT_EQ(output.GetLength(), c.head.empty() ? 0 : c.n + (c.n < 128 ? 2 : 3)) << c.n;
    EXPECT_EQ(data.GetLength(), c.head.empty() ? c.n : 0) << c.n;
  }

  ZActionFragment stream(ZActionFragment::StreamBytes, Hex("01 05"));
  struct {
    const char *input, *rest, *data;
    int result;
  } const matches[] = {
      {"01 05 03 AA BB CC 01 06", "01 06", "11 AA BB CC", -1},  // data appended
      {"01 06", "01 06", "11", -2},
      {"01", "01", "11", -2},
      {"01 05", "", "11", -1},                 // the whole input matched: no length field read
      {"01 05 09 AA BB", "", "11 AA BB", -1},  // a length beyond the input
      {"01 05 85", "", "11", -1},              // input ends inside a two-byte field
  };
  for (const auto& c : matches) {
    ZBuffer input = Hex(c.input), data = Hex("11");
    EXPECT_EQ(stream.Match(input, data), c.result) << c.input;
    EXPECT_EQ(ToHex(input), c.rest) << c.input;
    EXPECT_EQ(ToHex(data), c.data) << c.input;
  }
  // A two-byte length field, both bytes unsigned: 81 90 is 400.
  ZBuffer input = Hex("01 05 81 90"), data;
  input += ZBuffer(std::string(401, 'y').data(), 401);
  EXPECT_EQ(stream.Match(input, data), -1);
  EXPECT_TRUE(data.GetLength() == 400 && input.GetLength() == 1);

  // Data bytes match the front of the data, never its terminator; every
  // type other than 0 and 2 is a slot: its index, nothing consumed.
  ZActionFragment fixed(ZActionFragment::DataBytes, Hex("0B 00"));
  ZBuffer output;
  input = Hex("55");
  data = Hex("0B 00 0B");
  EXPECT_EQ(fixed.Match(input, data), -1);
  EXPECT_EQ(fixed.Match(input, data), -2);
  ZActionFragment odd(ZActionFragment::EType(9), 2);
  EXPECT_EQ(odd.Match(input, data), 2);
  EXPECT_EQ(odd.Add(output, data), 2);
  EXPECT_TRUE(ToHex(input) == "55" && output.IsEmpty());
  EXPECT_EQ(ToHex(data), "0B");  // only the data bytes were taken
}

// Add converts a text (trimmed in place) to bytes appended to the data;
// Get converts the bytes at the front of the data to a text.
TEST(ActionEncoding, ArgumentsAddAndGet) {
  PluginScope plugin(nullptr);
  const struct {
    bool add;
    A::EType type;
    int size, shift;
    const char* in;  // the text added, or the data read
    std::string text;
    const char* data;
  } cases[] = {
      {true, A::Number, 2, 3, "40", "5", "EE 00 05"},          // the text shows the number times 8
      {true, A::Number, 0, -2, "20", "80", "EE 00 00 00 50"},  // size 0: what the plug-in made
      {true, A::Number, 2, 32, "40", "0", "EE 00 00"},         // shifts of 32 or more give 0
      {true, A::Number, 2, -32, "40", "0", "EE 00 00"},
      {true, A::AdaKind5, 4, 0, "7", "7", "EE 00 00 00 07"},   // padded in front
      {true, A::AdaKind1, 1, 0, " 0A FF ", "0A FF", "EE FF"},  // the last bytes kept
      {true, A::TwoBytes, 0, 0, "  AB\t", "AB", "EE 41 42"},
      {true, A::TwoBytes, 0, 0, "CDE", "CDE", "EE 43 44"},
      {true, A::Text, 0, 0, " hi there ", "hi there", "EE 68 69 20 74 68 65 72 65"},
      {false, A::Number, 2, 3, "00 05 09", "40", "09"},
      {false, A::Number, 4, 1, "FF FF FF FF", "-2", ""},  // shown signed
      {false, A::Number, 2, 32, "00 07", "0", ""},
      {false, A::Number, 2, -40, "00 07", "0", ""},
      {false, A::AdaKind1, 0, 0, "01 02 03 04 05", "01 02 03 04", "05"},  // size 0 reads 4
      {false, A::AdaKind1, 0, 0, "05 06", "05 06", ""},     // fewer than the size: all of them
      {false, A::TwoBytes, 0, 0, "41 42 43", "xAB", "43"},  // appended to the text
      {false, A::Text, 0, 0, "68 00 21", std::string("h\0!", 3), "68 00 21"},  // not consumed
  };
  for (const auto& c : cases) {
    A argument(c.type, ZString("a"), c.size, c.shift);
    ZBuffer data = Hex(c.add ? "EE" : c.in);
    ZString text(c.add ? c.in : "x");
    EXPECT_EQ(c.add ? argument.Add(data, text) : argument.Get(data, text), 0) << c.in;
    EXPECT_EQ(Str(text), c.text) << c.in;
    EXPECT_EQ(ToHex(data), c.data) << c.in;
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
  ASSERT_NE(CommonPluginState()->disassemble, nullptr);
  A number(A::Number, ZString("n"), 2, 0);
  data = Hex("00 05 09");
  EXPECT_EQ(number.Get(data, text), 9);
  text = "5";
  EXPECT_EQ(number.Add(data, text), 9);
  EXPECT_EQ(ToHex(data), "09");
}

}  // namespace
