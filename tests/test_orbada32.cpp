// The atom assembler plug-in, loaded as the library loads it: normalising
// atom streams, the three conversion kinds, and staying inside its areas.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "orbcmn/orbcmn.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// "01 0a ff" as bytes, followed by `pad` data bytes C3.
Bytes Hex(const char* text, size_t pad = 0) {
  Bytes bytes;
  unsigned value;
  for (int n; std::sscanf(text, " %2x%n", &value, &n) == 1; text += n) bytes.push_back(value);
  bytes.resize(bytes.size() + pad, 0xC3);
  return bytes;
}

// Bytes as "01 0A FF".
std::string HexText(const Bytes& bytes) {
  std::string hex;
  char two[4];
  for (unsigned char c : bytes) hex += (std::snprintf(two, sizeof two, " %02X", c), two);
  return hex.empty() ? hex : hex.substr(1);
}

// The plug-in's entries, as the library found them beside itself.
const OrbPluginState* Ada() { return CommonPluginState(); }

class Orbada32 : public testing::Test {
 protected:
  static void SetUpTestSuite() { CommonInitialize(); }
  static void TearDownTestSuite() { CommonTerminate(); }
  void SetUp() override { ASSERT_TRUE(Ada()->normalize && Ada()->assemble && Ada()->disassemble); }
};

// Normalises `in` into a heap area of exactly `area` bytes filled with 5A, so
// that any access outside it is caught: "result size: the whole area".
std::string Normalize(const Bytes& in, int32_t area) {
  Bytes out(static_cast<size_t>(area), 0x5A);
  int32_t result =
      Ada()->normalize(in.empty() ? nullptr : in.data(), static_cast<int32_t>(in.size()),
                       out.empty() ? nullptr : out.data(), &area);
  return std::to_string(result) + " " + std::to_string(area) + ": " + HexText(out);
}

// Assembles `text` into a 16-byte area: the bytes written as hex, or
// "error N" (the area must then be untouched).
std::string Assemble(int32_t kind, const char* text) {
  Bytes area(16, 0x5A);
  int32_t size = 16;
  int32_t result = Ada()->assemble(kind, text, 0, area.data(), &size);
  if (result == 0) return HexText(Bytes(area.begin(), area.begin() + size));
  EXPECT_EQ(Bytes(16, 0x5A), area) << "area written on failure";
  return "error " + std::to_string(result);
}

// Disassembles `bytes` into a text area of `room` bytes: the text, or
// "error N size M".
std::string Disassemble(int32_t kind, const Bytes& bytes, int32_t room = 64) {
  std::vector<char> text(static_cast<size_t>(room), 'Z');
  int32_t size = room;
  int32_t result = Ada()->disassemble(kind, bytes.empty() ? nullptr : bytes.data(),
                                      static_cast<int32_t>(bytes.size()), 0, text.data(), &size);
  if (result != 0) return "error " + std::to_string(result) + " size " + std::to_string(size);
  EXPECT_EQ(std::strlen(text.data()), static_cast<size_t>(size));
  return text.data();
}

const unsigned char kStream[] = {0xE0, 0x05, 0x07, 0x80, 0x02, 0xAA, 0xBB};
unsigned char g_area[16];
char g_text[64];

}  // namespace

// Normalising into an area of exactly the size needed: canonical streams
// stay and long forms become shortest (result 0); a stream that does not
// parse is copied unchanged (result 8). An area one byte short gets 4 and
// the size needed, with nothing written.
TEST_F(Orbada32, NormalizeTable) {
  // Rows: the stream, C3 data bytes after it, the result and the stream it
  // becomes (null: itself). Data is opaque: bytes that look like long forms
  // inside it stay. Several atoms are each rewritten in place of the other,
  // order kept. Protocol 40 stays long. Lengths: 127 fits one byte, 128
  // needs two. Unparseable: a protocol byte of neither form, a long
  // protocol form with low bits set, a second protocol byte with high bits
  // set, a stream ending inside the protocol or a two-byte length, 256 data
  // bytes declared and one there, a good atom followed by junk.
  // clang-format off
  const struct { const char* in; size_t pad; int result; const char* out; } cases[] = {
      {"00 02 00  0E 22 00  E8 08 03 02 AA BB  F8 1F 03 00  02 09 80 C8", 200, 0, nullptr},
      {"", 0, 0, nullptr}, {"01 02 04 E0 05 80 01", 0, 0, nullptr},
      {"E0 1F 03 80 00", 0, 0, "1F 03 00"}, {"E8 08 03 80 01 CC", 0, 0, "E8 08 03 01 CC"},
      {"E0 05 01 80 00 01 02 80 01 AA E8 08 03 00", 0, 0, "05 01 00 01 02 01 AA E8 08 03 00"},
      {"01 02 80 7F", 127, 0, "01 02 7F"}, {"01 02 80 80", 128, 0, nullptr},
      {"20 01 00", 0, 8, nullptr}, {"E9 05 01 00", 0, 8, nullptr}, {"E8 25 01 00", 0, 8, nullptr},
      {"E8", 0, 8, nullptr}, {"01 02 81", 0, 8, nullptr}, {"01 02 81 00 AA", 0, 8, nullptr},
      {"E0 05 07 00 FF 01", 0, 8, nullptr}};
  // clang-format on
  for (const auto& c : cases) {
    Bytes in = Hex(c.in, c.pad);
    Bytes out = c.out != nullptr ? Hex(c.out, c.pad) : in;
    int32_t n = static_cast<int32_t>(out.size());
    std::string size = std::to_string(n) + ": ";
    EXPECT_EQ(std::to_string(c.result) + " " + size + HexText(out), Normalize(in, n)) << c.in;
    if (n == 0) continue;
    EXPECT_EQ("4 " + size + HexText(Bytes(n - 1, 0x5A)), Normalize(in, n - 1)) << c.in;
  }
}

// Text to bytes: the bytes as hex, or "error N" with the area untouched.
TEST_F(Orbada32, AssembleTable) {
  // clang-format off
  const struct { int32_t kind; const char* text; const char* bytes; } cases[] = {
      {2, "40", "00 00 00 28"}, {2, " \t+007 ", "00 00 00 07"},
      {2, "-1", "FF FF FF FF"}, {2, "-2147483648", "80 00 00 00"},  // 32-bit values printed signed
      {2, "4294967296", "error 6"}, {2, "-2147483649", "error 6"},
      {2, "", "error 5"}, {2, "1 2", "error 5"}, {2, "0x10", "error 5"},
      // Signed numbers always take four bytes, even when fewer would hold them.
      {5, "127", "00 00 00 7F"}, {5, "-128", "FF FF FF 80"},
      {5, "-2147483648", "80 00 00 00"}, {5, "2147483648", "error 6"}, {5, "five", "error 5"},
      {1, " 0aFF\t12 ", "0A FF 12"}, {1, "", ""}, {1, "0A F", "error 5"}, {1, "0G", "error 5"},
      {1, "00112233445566778899AABBCCDDEEFF", "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF"},
      {3, "1", "error 2"}, {0, "1", "error 2"}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(c.bytes, Assemble(c.kind, c.text)) << c.kind << c.text;
}

// Bytes to text: the text, or "error N size M".
TEST_F(Orbada32, DisassembleTable) {
  // clang-format off
  const struct { int32_t kind; const char* bytes; int32_t room; const char* text; } cases[] = {
      {2, "FF", 64, "255"}, {2, "FF FF FF FF", 64, "4294967295"}, {2, "00 00 00 00 00 07", 64, "7"},
      {2, "01 00 00 00 00", 64, "error 6 size 64"}, {2, "", 64, "error 7 size 64"},
      {5, "FB", 64, "-5"}, {5, "FF 7F", 64, "-129"}, {5, "80 00 00 00", 64, "-2147483648"},
      {5, "7F FF FF FF", 64, "2147483647"},
      // Padding in front of the last four bytes, as a fixed size of six gives.
      {5, "00 00 FF FF FF FB", 64, "-5"},
      {5, "01 00 00 00 00", 64, "error 7 size 64"}, {5, "", 64, "error 7 size 64"},
      {1, "0A FF 12", 64, "0A FF 12"}, {1, "", 64, ""}, {4, "01", 64, "error 2 size 64"},
      // Three bytes take eight characters and the zero.
      {1, "01 02 03", 8, "error 4 size 9"}, {1, "01 02 03", 9, "01 02 03"}};
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(c.text, Disassemble(c.kind, Hex(c.bytes), c.room)) << c.bytes;
  }
}

// Areas too small report the size needed (a null area is an area of size 0,
// a negative size no room); bad arguments give 1.
TEST_F(Orbada32, AreasTooSmallAndBadArguments) {
  // clang-format off
  const struct { int32_t size; int32_t (*call)(int32_t*); int32_t result, after; } cases[] = {
      {100, [](int32_t* n) { return Ada()->normalize(kStream, 7, nullptr, n); }, 4, 5},
      {-5, [](int32_t* n) { return Ada()->normalize(kStream, 7, g_area, n); }, 4, 5},
      {4, [](int32_t* n) { return Ada()->normalize(kStream, -1, g_area, n); }, 1, 0},
      {4, [](int32_t* n) { return Ada()->normalize(nullptr, 3, g_area, n); }, 1, 0},
      // Sixteen hex bytes fill the area; seventeen do not fit and say so.
      {16, [](int32_t* n) {
         return Ada()->assemble(1, "00112233445566778899AABBCCDDEEFF01", 0, g_area, n); }, 4, 17},
      {16, [](int32_t* n) { return Ada()->assemble(2, "9", 0, nullptr, n); }, 4, 4},
      {64, [](int32_t* n) { return Ada()->disassemble(2, kStream + 1, 1, 0, nullptr, n); }, 4, 2},
      {64, [](int32_t* n) { return Ada()->assemble(2, nullptr, 0, g_area, n); }, 1, 64},
      {64, [](int32_t* n) { return Ada()->disassemble(2, nullptr, 1, 0, g_text, n); }, 1, 64},
      {64, [](int32_t* n) { return Ada()->disassemble(2, kStream, -1, 0, g_text, n); }, 1, 64}};
  // clang-format on
  for (size_t i = 0; i < std::size(cases); i++) {
    int32_t size = cases[i].size;
    EXPECT_EQ(cases[i].result, cases[i].call(&size)) << "row " << i;
    EXPECT_EQ(cases[i].after, size) << "row " << i;
  }
  EXPECT_EQ(1, Ada()->normalize(kStream, 0, g_area, nullptr));
  EXPECT_EQ(1, Ada()->assemble(2, "1", 0, g_area, nullptr));
  EXPECT_EQ(1, Ada()->disassemble(2, g_area, 1, 0, g_text, nullptr));
}
