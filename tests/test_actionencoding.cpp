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

// Add converts a text to bytes appended to the data; Get converts the
// bytes at the front of the data to a text.
TEST(ActionEncoding, ArgumentsAddAndGet) {
  PluginScope plugin(nullptr);
  struct {
    A::EType type;
    int size, shift;
    const char *text, *after, *bytes;
  } const cases[] = {
      {A::Number, 2, 3, "40", "5", "00 05"},          // the text shows the number times 8
      {A::Number, 0, -2, "20", "80", "00 00 00 50"},  // size 0: what the plug-in made
      {A::Number, 2, 32, "40", "0", "00 00"},         // shifts of 32 or more give 0
      {A::Number, 2, -32, "40", "0", "00 00"},
      {A::AdaKind5, 4, 0, "7", "7", "00 00 00 07"},   // padded in front
      {A::AdaKind1, 1, 0, " 0A FF ", "0A FF", "FF"},  // the last bytes kept
      {A::TwoBytes, 0, 0, "  AB\t", "AB", "41 42"},   // trimmed in place
      {A::TwoBytes, 0, 0, "CDE", "CDE", "43 44"},
      {A::Text, 0, 0, " hi there ", "hi there", "68 69 20 74 68 65 72 65"},
  };
  for (const auto& c : cases) {
    A argument(c.type, ZString("a"), c.size, c.shift);
    ZBuffer data = Hex("EE");
    ZString text(c.text);
    EXPECT_EQ(argument.Add(data, text), 0) << c.text;
    EXPECT_EQ(Str(text), c.after) << c.text;
    EXPECT_EQ(ToHex(data), std::string("EE ") + c.bytes) << c.text;
  }
  // The plug-in is offered 16 bytes: 17 do not fit (its answer 4).
  A hex(A::AdaKind1, ZString("h"), 0, 0);
  ZString sixteen("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"),
      seventeen("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10");
  ZBuffer data;
  EXPECT_EQ(hex.Add(data, seventeen), 4);
  EXPECT_EQ(hex.Add(data, sixteen), 0);
  EXPECT_EQ(ToHex(data), Str(sixteen));

  struct {
    A::EType type;
    int size, shift;
    const char* bytes;
    std::string text;
    const char* rest;
  } const gets[] = {
      {A::Number, 2, 3, "00 05 09", "40", "09"},
      {A::Number, 4, 1, "FF FF FF FF", "-2", ""},  // shown signed
      {A::Number, 2, 32, "00 07", "0", ""},
      {A::Number, 2, -40, "00 07", "0", ""},
      {A::AdaKind1, 0, 0, "01 02 03 04 05", "01 02 03 04", "05"},  // size 0 reads 4
      {A::AdaKind1, 0, 0, "05 06", "05 06", ""},     // fewer than the size: all of them
      {A::TwoBytes, 0, 0, "41 42 43", "xAB", "43"},  // appended to the text
      {A::Text, 0, 0, "68 00 21", std::string("h\0!", 3), "68 00 21"},  // not consumed
  };
  for (const auto& c : gets) {
    A argument(c.type, ZString("a"), c.size, c.shift);
    ZBuffer data = Hex(c.bytes);
    ZString text("x");
    EXPECT_EQ(argument.Get(data, text), 0) << c.bytes;
    EXPECT_EQ(Str(text), c.text) << c.bytes;
    EXPECT_EQ(ToHex(data), c.rest) << c.bytes;
  }
}

TEST(ActionEncoding, ArgumentRefusals) {
  ZBuffer data = Hex("41"), out;
  ZString text(" C ");
  {
    PluginScope plugin("empty");
    A two(A::TwoBytes, ZString("t"), 0, 0);
    EXPECT_EQ(two.Get(data, text), 18);
    EXPECT_EQ(two.Add(out, text), 18);
    EXPECT_EQ(ToHex(data), "41");
    // Unknown types act as None; blank text is refused by every type; the
    // plug-in's types answer 3 without it, Get having taken the bytes.
    for (int type : {0, 6, -1, 2, 4, 5}) {
      bool converted = type == 2 || type == 4 || type == 5;
      A argument(A::EType(type), ZString("a"), 2, 0);
      data = Hex("01 02 03");
      text = "12";
      EXPECT_EQ(argument.Get(data, text), converted ? 3 : 0) << type;
      EXPECT_EQ(ToHex(data), converted ? "03" : "01 02 03") << type;
      EXPECT_EQ(argument.Add(out, text), converted ? 3 : 0) << type;
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
  EXPECT_EQ(ToHex(data), "09");
  text = "5";
  EXPECT_EQ(number.Add(data, text), 9);
  EXPECT_EQ(ToHex(data), "09");
}

}  // namespace
