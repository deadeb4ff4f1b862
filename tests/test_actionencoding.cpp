// Fragment matching and building, data blocks with their length fields,
// and argument conversion with and without the plug-in.
#include <gtest/gtest.h>

#include <string>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"

namespace {

ZBuffer Filled(unsigned int n, char c) { return ZBuffer(std::string(n, c).data(), n); }

// The bytes a StreamBytes fragment AA writes after a data block of n bytes.
std::string BlockHeader(unsigned int n) {
  ZActionFragment stream(ZActionFragment::StreamBytes, Hex("AA"));
  ZBuffer output, data = Filled(n, 'x');
  EXPECT_EQ(stream.Add(output, data), -1);
  EXPECT_TRUE(data.IsEmpty());
  EXPECT_EQ(output.GetLength(), n + (n < 128 ? 2 : 3));
  std::string hex = ToHex(output);
  return hex.substr(0, n < 128 ? 2 : 5);
}

TEST(ActionEncoding, LengthFieldsWritten) {
  EXPECT_EQ(BlockHeader(1), "01");
  EXPECT_EQ(BlockHeader(127), "7F");
  EXPECT_EQ(BlockHeader(128), "80 80");
  EXPECT_EQ(BlockHeader(300), "81 2C");
  EXPECT_EQ(BlockHeader(32767), "FF FF");

  // 32,768 does not fit the field: nothing is written or lost.
  ZActionFragment stream(ZActionFragment::StreamBytes, Hex("AA"));
  ZBuffer output = Hex("00 01 00"), data = Filled(32768, 'x');
  EXPECT_EQ(stream.Add(output, data), -2);
  EXPECT_EQ(ToHex(output), "00 01 00");
  EXPECT_EQ(data.GetLength(), 32768u);
}

TEST(ActionEncoding, StreamBytesMatchReadsOneBlock) {
  ZActionFragment stream(ZActionFragment::StreamBytes, Hex("01 05"));
  ZBuffer input = Hex("01 05 03 AA BB CC 01 06"), data = Hex("11");
  EXPECT_EQ(stream.Match(input, data), -1);
  EXPECT_EQ(ToHex(input), "01 06");
  EXPECT_EQ(ToHex(data), "11 AA BB CC");  // appended
  EXPECT_EQ(stream.Match(input, data), -2);
  EXPECT_EQ(ToHex(input), "01 06");
  EXPECT_EQ(ToHex(data), "11 AA BB CC");

  // Matching the whole input reads no length field.
  input = Hex("01 05");
  data.Empty();
  EXPECT_EQ(stream.Match(input, data), -1);
  EXPECT_TRUE(input.IsEmpty());
  EXPECT_TRUE(data.IsEmpty());

  // A two-byte length field, both bytes unsigned: 81 90 is 400.
  input = Hex("01 05 81 90");
  input += Filled(401, 'y');
  EXPECT_EQ(stream.Match(input, data), -1);
  EXPECT_EQ(data.GetLength(), 400u);
  EXPECT_EQ(input.GetLength(), 1u);

  // Length 0 moves nothing; a length beyond the input takes what remains;
  // input ending inside a two-byte field reads as length 0.
  input = Hex("01 05 00 77");
  data.Empty();
  EXPECT_EQ(stream.Match(input, data), -1);
  EXPECT_EQ(ToHex(input), "77");
  EXPECT_TRUE(data.IsEmpty());
  input = Hex("01 05 09 AA BB");
  EXPECT_EQ(stream.Match(input, data), -1);
  EXPECT_TRUE(input.IsEmpty());
  EXPECT_EQ(ToHex(data), "AA BB");
  input = Hex("01 05 85");
  data.Empty();
  EXPECT_EQ(stream.Match(input, data), -1);
  EXPECT_TRUE(input.IsEmpty());
  EXPECT_TRUE(data.IsEmpty());

  // Shorter input than the fixed bytes.
  input = Hex("01");
  EXPECT_EQ(stream.Match(input, data), -2);
  EXPECT_EQ(ToHex(input), "01");
}

TEST(ActionEncoding, DataBytesAndSlots) {
  ZActionFragment fixed(ZActionFragment::DataBytes, Hex("0B 0C"));
  ZBuffer input = Hex("55"), data = Hex("0B 0C 0D");
  EXPECT_EQ(fixed.Match(input, data), -1);
  EXPECT_EQ(ToHex(data), "0D");
  EXPECT_EQ(fixed.Match(input, data), -2);
  EXPECT_EQ(ToHex(data), "0D");
  EXPECT_EQ(ToHex(input), "55");

  ZBuffer output;
  EXPECT_EQ(fixed.Add(output, data), -1);
  EXPECT_EQ(ToHex(data), "0D 0B 0C");
  EXPECT_TRUE(output.IsEmpty());

  // Every type other than 0 and 2 is a slot: its index, nothing consumed.
  ZActionFragment slot(ZActionFragment::ArgumentSlot, 4);
  ZActionFragment odd(ZActionFragment::EType(9), 2);
  EXPECT_EQ(slot.Match(input, data), 4);
  EXPECT_EQ(odd.Match(input, data), 2);
  EXPECT_EQ(slot.Add(output, data), 4);
  EXPECT_EQ(ToHex(data), "0D 0B 0C");
  EXPECT_EQ(ToHex(input), "55");
  EXPECT_TRUE(output.IsEmpty());

  // A stream piece writes the pending block first, then its own bytes.
  ZActionFragment stream(ZActionFragment::StreamBytes, Hex("01 07"));
  EXPECT_EQ(stream.Add(output, data), -1);
  EXPECT_EQ(ToHex(output), "03 0D 0B 0C 01 07");
  EXPECT_TRUE(data.IsEmpty());
  EXPECT_EQ(stream.Add(output, data), -1);
  EXPECT_EQ(ToHex(output), "03 0D 0B 0C 01 07 01 07");
}

TEST(ActionEncoding, PlainArgumentsWithoutPlugin) {
  PluginScope plugin("empty");
  ZActionArgument two(ZActionArgument::TwoBytes, ZString("t"), 0, 0);
  ZBuffer data = Hex("41 42 43");
  ZString text("x");
  EXPECT_EQ(two.Get(data, text), 0);
  EXPECT_EQ(Str(text), "xAB");
  EXPECT_EQ(ToHex(data), "43");
  EXPECT_EQ(two.Get(data, text), 18);
  EXPECT_EQ(ToHex(data), "43");

  ZActionArgument all(ZActionArgument::Text, ZString("t"), 0, 0);
  data = Hex("68 69 00 21");
  EXPECT_EQ(all.Get(data, text), 0);
  EXPECT_EQ(ToHex(text), "68 69 00 21");
  EXPECT_EQ(data.GetLength(), 4u);

  for (int type : {0, 6, -1}) {
    ZActionArgument none(ZActionArgument::EType(type), ZString("n"), 2, 0);
    text = "keep";
    EXPECT_EQ(none.Get(data, text), 0);
    EXPECT_EQ(Str(text), "keep");
    EXPECT_EQ(data.GetLength(), 4u);
    ZBuffer out;
    EXPECT_EQ(none.Add(out, text), 0);
    EXPECT_TRUE(out.IsEmpty());
    text = " \t ";
    EXPECT_EQ(none.Add(out, text), -2);
  }

  ZBuffer out;
  text = "  AB\t";
  EXPECT_EQ(two.Add(out, text), 0);
  EXPECT_EQ(Str(text), "AB");  // the caller's text is trimmed
  text = "CDE";
  EXPECT_EQ(two.Add(out, text), 0);
  EXPECT_EQ(ToHex(out), "41 42 43 44");
  text = " C ";
  EXPECT_EQ(two.Add(out, text), 18);
  text = "\t\t";
  EXPECT_EQ(all.Add(out, text), -2);
  text = " hi there ";
  EXPECT_EQ(all.Add(out, text), 0);
  EXPECT_EQ(Str(ZString(static_cast<char const*>(out) + 4, out.GetLength() - 4)), "hi there");

  // The plug-in types answer 3 without the plug-in; Get has taken the bytes.
  for (auto type :
       {ZActionArgument::Number, ZActionArgument::AdaKind5, ZActionArgument::AdaKind1}) {
    ZActionArgument converted(type, ZString("c"), 0, 0);
    data = Hex("01 02 03 04 05");
    text.Empty();
    EXPECT_EQ(converted.Get(data, text), 3);
    EXPECT_EQ(ToHex(data), "05");
    text = "12";
    out.Empty();
    EXPECT_EQ(converted.Add(out, text), 3);
    EXPECT_TRUE(out.IsEmpty());
    text = " ";
    EXPECT_EQ(converted.Add(out, text), -2);
  }
}

TEST(ActionEncoding, PluginArguments) {
  PluginScope plugin(nullptr);
  ASSERT_NE(CommonPluginState()->assemble, nullptr);

  // Number, size 2, shift 3: the text shows the encoded number times 8.
  ZActionArgument scaled(ZActionArgument::Number, ZString("n"), 2, 3);
  ZBuffer data;
  ZString text("40");
  EXPECT_EQ(scaled.Add(data, text), 0);
  EXPECT_EQ(Str(text), "5");
  EXPECT_EQ(ToHex(data), "00 05");
  text = "stale";
  EXPECT_EQ(scaled.Get(data, text), 0);
  EXPECT_EQ(Str(text), "40");
  EXPECT_TRUE(data.IsEmpty());

  // A negative shift scales the other way; the printed value is signed.
  ZActionArgument down(ZActionArgument::Number, ZString("n"), 0, -2);
  text = "20";
  EXPECT_EQ(down.Add(data, text), 0);
  EXPECT_EQ(Str(text), "80");
  EXPECT_EQ(ToHex(data), "00 00 00 50");
  EXPECT_EQ(down.Get(data, text), 0);
  EXPECT_EQ(Str(text), "20");
  ZActionArgument up(ZActionArgument::Number, ZString("n"), 4, 1);
  data = Hex("FF FF FF FF");
  EXPECT_EQ(up.Get(data, text), 0);
  EXPECT_EQ(Str(text), "-2");

  // Shifts of 32 bits or more give 0 both ways.
  for (int shift : {32, -32, 40}) {
    ZActionArgument wide(ZActionArgument::Number, ZString("n"), 2, shift);
    data.Empty();
    text = "40";
    EXPECT_EQ(wide.Add(data, text), 0);
    EXPECT_EQ(ToHex(data), "00 00");
    data = Hex("00 07");
    EXPECT_EQ(wide.Get(data, text), 0);
    EXPECT_EQ(Str(text), "0");
  }

  // Size 4 pads in front; a smaller size keeps the last bytes; size 0
  // writes what the plug-in made and reads 4 bytes back.
  ZActionArgument padded(ZActionArgument::AdaKind5, ZString("s"), 4, 0);
  data.Empty();
  text = "7";
  EXPECT_EQ(padded.Add(data, text), 0);
  EXPECT_EQ(ToHex(data), "00 00 00 07");
  ZActionArgument hex(ZActionArgument::AdaKind1, ZString("h"), 1, 0);
  data.Empty();
  text = " 0A FF ";
  EXPECT_EQ(hex.Add(data, text), 0);
  EXPECT_EQ(ToHex(data), "FF");
  ZActionArgument hexAll(ZActionArgument::AdaKind1, ZString("h"), 0, 0);
  data.Empty();
  text = "0A FF 12";
  EXPECT_EQ(hexAll.Add(data, text), 0);
  EXPECT_EQ(ToHex(data), "0A FF 12");
  data = Hex("01 02 03 04 05 06");
  EXPECT_EQ(hexAll.Get(data, text), 0);
  EXPECT_EQ(Str(text), "01 02 03 04");
  EXPECT_EQ(ToHex(data), "05 06");
  // Fewer bytes than the size: all of them.
  EXPECT_EQ(hexAll.Get(data, text), 0);
  EXPECT_EQ(Str(text), "05 06");
  EXPECT_TRUE(data.IsEmpty());

  // The plug-in's own failures pass through, nothing written.
  text = "not a number";
  EXPECT_NE(padded.Add(data, text), 0);
  EXPECT_TRUE(data.IsEmpty());
}

TEST(ActionEncoding, PluginFailuresPassThrough) {
  PluginScope plugin("failing");  // every entry answers 9
  ASSERT_NE(CommonPluginState()->disassemble, nullptr);
  ZActionArgument number(ZActionArgument::Number, ZString("n"), 2, 0);
  ZBuffer data = Hex("00 05 09");
  ZString text;
  EXPECT_EQ(number.Get(data, text), 9);
  EXPECT_EQ(ToHex(data), "09");
  text = "5";
  EXPECT_EQ(number.Add(data, text), 9);
  EXPECT_EQ(ToHex(data), "09");
}

}  // namespace
