// The atom assembler plug-in, loaded as the library loads it: normalising
// atom streams, the three conversion kinds, and staying inside its areas.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "orbcmn/plugin.h"
#include "platform/win32.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// "01 0a ff" as bytes.
Bytes Hex(const char* text) {
  Bytes bytes;
  for (const char* p = text; *p != '\0';) {
    if (*p == ' ') {
      p++;
      continue;
    }
    char pair[3] = {p[0], p[1], '\0'};
    bytes.push_back(static_cast<unsigned char>(std::strtoul(pair, nullptr, 16)));
    p += 2;
  }
  return bytes;
}

template <typename Fn>
Fn Resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

class Orbada32 : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryA(ORB_BINARY_DIR "/lib/liborbada32.so");
    ASSERT_NE(nullptr, module_);
    normalize_ = Resolve<AdaNormalizeAtomStreamFn>(module_, "AdaNormalizeAtomStream");
    assemble_ = Resolve<AdaAssembleArgumentFn>(module_, "AdaAssembleArgument");
    disassemble_ = Resolve<AdaDisassembleArgumentFn>(module_, "AdaDisassembleArgument");
  }
  static void TearDownTestSuite() {
    FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(nullptr, normalize_);
    ASSERT_NE(nullptr, assemble_);
    ASSERT_NE(nullptr, disassemble_);
  }

  struct Normalized {
    int32_t result;
    int32_t size;
    Bytes out;  // the whole area
  };
  // Normalises `in` into an area of exactly `area` bytes (filled with 5A
  // first), both on the heap so that any access outside them is caught.
  static Normalized Normalize(const Bytes& in, int32_t area) {
    Bytes input(in);
    Normalized n{0, area, Bytes(static_cast<size_t>(area), 0x5A)};
    n.result = normalize_(input.empty() ? nullptr : input.data(),
                          static_cast<int32_t>(input.size()), n.out.data(), &n.size);
    return n;
  }
  // The normalised bytes of `in`, given room enough.
  static Bytes Canonical(const Bytes& in, int32_t expected = 0) {
    Normalized n = Normalize(in, static_cast<int32_t>(in.size()) + 8);
    EXPECT_EQ(expected, n.result);
    EXPECT_GE(n.size, 0);
    n.out.resize(static_cast<size_t>(n.size < 0 ? 0 : n.size));
    return n.out;
  }

  // Assembles `text` into a 16-byte area; the bytes written, or the result
  // as text after "error " on failure.
  static std::string Assemble(int32_t kind, const char* text) {
    unsigned char area[16];
    std::memset(area, 0x5A, sizeof area);
    int32_t size = 16;
    int32_t result = assemble_(kind, text, 0, area, &size);
    if (result != 0) {
      for (unsigned char b : area) EXPECT_EQ(0x5A, b) << "area written on failure";
      return "error " + std::to_string(result);
    }
    std::string hex;
    for (int32_t i = 0; i < size; i++) {
      char two[4];
      std::snprintf(two, sizeof two, i ? " %02X" : "%02X", area[i]);
      hex += two;
    }
    return hex;
  }

  // Disassembles `bytes` into a 64-byte text area.
  static std::string Disassemble(int32_t kind, const Bytes& bytes, int32_t room = 64) {
    std::vector<char> text(static_cast<size_t>(room), 'Z');
    Bytes input(bytes);
    int32_t size = room;
    int32_t result = disassemble_(kind, input.empty() ? nullptr : input.data(),
                                  static_cast<int32_t>(input.size()), 0, text.data(), &size);
    if (result != 0) return "error " + std::to_string(result) + " size " + std::to_string(size);
    EXPECT_EQ(std::strlen(text.data()), static_cast<size_t>(size));
    return text.data();
  }

  static HMODULE module_;
  static AdaNormalizeAtomStreamFn normalize_;
  static AdaAssembleArgumentFn assemble_;
  static AdaDisassembleArgumentFn disassemble_;
};

HMODULE Orbada32::module_ = nullptr;
AdaNormalizeAtomStreamFn Orbada32::normalize_ = nullptr;
AdaAssembleArgumentFn Orbada32::assemble_ = nullptr;
AdaDisassembleArgumentFn Orbada32::disassemble_ = nullptr;

}  // namespace

TEST_F(Orbada32, CanonicalStreamsStayAsTheyAre) {
  Bytes stream = Hex("00 02 00  0E 22 00  E8 08 03 02 AA BB  F8 1F 03 00  01 05 04 00 01 11 70");
  Bytes big = Hex("02 09 80 C8");
  big.resize(4 + 200, 0xC3);
  stream.insert(stream.end(), big.begin(), big.end());
  EXPECT_EQ(stream, Canonical(stream));
  EXPECT_EQ(Bytes(), Canonical(Bytes()));
  // Data is opaque: bytes that look like long forms inside it stay.
  EXPECT_EQ(Hex("01 02 04 E0 05 80 01"), Canonical(Hex("01 02 04 E0 05 80 01")));
}

TEST_F(Orbada32, LongFormsBecomeShortest) {
  EXPECT_EQ(Hex("05 07 00"), Canonical(Hex("E0 05 07 00")));     // protocol 5 in two bytes
  EXPECT_EQ(Hex("1F 03 00"), Canonical(Hex("E0 1F 03 80 00")));  // and an empty length long
  EXPECT_EQ(Hex("01 02 02 AA BB"), Canonical(Hex("01 02 80 02 AA BB")));
  EXPECT_EQ(Hex("E8 08 03 01 CC"), Canonical(Hex("E8 08 03 80 01 CC")));
  // Lengths at the boundary: 127 fits one byte, 128 needs two.
  Bytes data127(127, 0x11), data128(128, 0x22);
  Bytes longForm = Hex("01 02 80 7F");
  longForm.insert(longForm.end(), data127.begin(), data127.end());
  Bytes shortForm = Hex("01 02 7F");
  shortForm.insert(shortForm.end(), data127.begin(), data127.end());
  EXPECT_EQ(shortForm, Canonical(longForm));
  Bytes two = Hex("01 02 80 80");
  two.insert(two.end(), data128.begin(), data128.end());
  EXPECT_EQ(two, Canonical(two));
  // Several atoms: each rewritten in place of the other, order kept.
  EXPECT_EQ(Hex("05 01 00 01 02 01 AA E8 08 03 00"),
            Canonical(Hex("E0 05 01 80 00 01 02 80 01 AA E8 08 03 00")));
}

TEST_F(Orbada32, TooSmallAreaAsksForTheSizeNeeded) {
  Bytes in = Hex("E0 05 07 80 02 AA BB");  // canonical: 05 07 02 AA BB
  Normalized n = Normalize(in, 4);
  EXPECT_EQ(4, n.result);
  EXPECT_EQ(5, n.size);
  EXPECT_EQ(Bytes(4, 0x5A), n.out);  // nothing written
  n = Normalize(in, 0);
  EXPECT_EQ(4, n.result);
  EXPECT_EQ(5, n.size);
  n = Normalize(in, 5);  // exactly the size asked for
  EXPECT_EQ(0, n.result);
  EXPECT_EQ(5, n.size);
  EXPECT_EQ(Hex("05 07 02 AA BB"), n.out);
  // A null area is an area of size 0.
  int32_t size = 100;
  EXPECT_EQ(4, normalize_(in.data(), static_cast<int32_t>(in.size()), nullptr, &size));
  EXPECT_EQ(5, size);
}

TEST_F(Orbada32, UnparseableStreamsAreCopiedUnchanged) {
  const char* broken[] = {
      "20 01 00",           // protocol byte of neither form
      "E9 05 01 00",        // long protocol form with low bits set
      "E8 25 01 00",        // second protocol byte with high bits set
      "E8",                 // ends inside the protocol
      "01",                 // ends before the atom number
      "01 02",              // ends before the length
      "01 02 81",           // ends inside a two-byte length
      "01 02 05 AA BB",     // data shorter than its length
      "01 02 81 00 AA",     // 256 data bytes declared, one there
      "E0 05 07 00 FF 01",  // a good atom, then junk
  };
  for (const char* text : broken) {
    SCOPED_TRACE(text);
    Bytes in = Hex(text);
    EXPECT_EQ(in, Canonical(in, 8));
    Normalized n = Normalize(in, static_cast<int32_t>(in.size()) - 1);
    EXPECT_EQ(4, n.result);
    EXPECT_EQ(static_cast<int32_t>(in.size()), n.size);
  }
}

TEST_F(Orbada32, NormalizerRefusesBadArguments) {
  unsigned char out[4] = {0, 0, 0, 0};
  int32_t size = 4;
  EXPECT_EQ(1, normalize_(out, -1, out, &size));
  EXPECT_EQ(0, size);
  size = 4;
  EXPECT_EQ(1, normalize_(nullptr, 3, out, &size));
  EXPECT_EQ(0, size);
  EXPECT_EQ(1, normalize_(out, 0, out, nullptr));
  size = -5;  // a negative size is no room
  const unsigned char atom[] = {0x01, 0x02, 0x00};
  EXPECT_EQ(4, normalize_(atom, 3, out, &size));
  EXPECT_EQ(3, size);
}

TEST_F(Orbada32, UnsignedNumbers) {
  // The action example: a Number shifted by 3 assembles "5" (from "40").
  EXPECT_EQ("00 00 00 05", Assemble(2, "5"));
  EXPECT_EQ("5", Disassemble(2, Hex("00 05")));
  EXPECT_EQ("00 00 00 28", Assemble(2, "40"));
  EXPECT_EQ("00 00 00 00", Assemble(2, "0"));
  EXPECT_EQ("00 00 00 07", Assemble(2, " \t+007 "));
  EXPECT_EQ("FF FF FF FF", Assemble(2, "4294967295"));
  EXPECT_EQ("FF FF FF FF", Assemble(2, "-1"));  // a 32-bit value printed signed
  EXPECT_EQ("80 00 00 00", Assemble(2, "-2147483648"));
  EXPECT_EQ("error 6", Assemble(2, "4294967296"));
  EXPECT_EQ("error 6", Assemble(2, "-2147483649"));
  EXPECT_EQ("error 6", Assemble(2, "99999999999999999999999999999999"));
  EXPECT_EQ("error 5", Assemble(2, ""));
  EXPECT_EQ("error 5", Assemble(2, "-"));
  EXPECT_EQ("error 5", Assemble(2, "12a"));
  EXPECT_EQ("error 5", Assemble(2, "1 2"));
  EXPECT_EQ("error 5", Assemble(2, "0x10"));

  EXPECT_EQ("40", Disassemble(2, Hex("00 00 00 28")));
  EXPECT_EQ("255", Disassemble(2, Hex("FF")));
  EXPECT_EQ("65535", Disassemble(2, Hex("FF FF")));
  EXPECT_EQ("4294967295", Disassemble(2, Hex("FF FF FF FF")));
  EXPECT_EQ("7", Disassemble(2, Hex("00 00 00 00 00 07")));
  EXPECT_EQ("error 6 size 64", Disassemble(2, Hex("01 00 00 00 00")));
  EXPECT_EQ("error 7 size 64", Disassemble(2, Bytes()));
  // Round trip over the edges of the range.
  for (const char* text :
       {"0", "1", "255", "256", "65535", "65536", "2147483647", "2147483648", "4294967295"}) {
    unsigned char area[16];
    int32_t size = 16;
    ASSERT_EQ(0, assemble_(2, text, 0, area, &size)) << text;
    EXPECT_EQ(4, size);
    EXPECT_EQ(text, Disassemble(2, Bytes(area, area + size)));
  }
}

TEST_F(Orbada32, SignedNumbers) {
  EXPECT_EQ("FF FF FF FB", Assemble(5, "-5"));
  EXPECT_EQ("00 00 00 7F", Assemble(5, "127"));
  EXPECT_EQ("FF FF FF 80", Assemble(5, "-128"));
  EXPECT_EQ("00 00 80 00", Assemble(5, "32768"));
  EXPECT_EQ("FF FF 7F FF", Assemble(5, "-32769"));
  EXPECT_EQ("7F FF FF FF", Assemble(5, "2147483647"));
  EXPECT_EQ("80 00 00 00", Assemble(5, "-2147483648"));
  EXPECT_EQ("error 6", Assemble(5, "2147483648"));
  EXPECT_EQ("error 5", Assemble(5, "five"));

  EXPECT_EQ("-5", Disassemble(5, Hex("FB")));
  EXPECT_EQ("128", Disassemble(5, Hex("00 80")));
  EXPECT_EQ("-129", Disassemble(5, Hex("FF 7F")));
  EXPECT_EQ("-1", Disassemble(5, Hex("FF FF FF")));
  EXPECT_EQ("-2147483648", Disassemble(5, Hex("80 00 00 00")));
  // Padding in front of the last four bytes, as a fixed size of six gives.
  EXPECT_EQ("-5", Disassemble(5, Hex("00 00 FF FF FF FB")));
  EXPECT_EQ("1", Disassemble(5, Hex("00 00 00 00 01")));
  EXPECT_EQ("error 7 size 64", Disassemble(5, Hex("01 00 00 00 00")));
  EXPECT_EQ("error 7 size 64", Disassemble(5, Bytes()));
  for (const char* text : {"0", "-1", "127", "-128", "128", "-129", "32767", "-32768", "32768",
                           "-32769", "2147483647", "-2147483648"}) {
    unsigned char area[16];
    int32_t size = 16;
    ASSERT_EQ(0, assemble_(5, text, 0, area, &size)) << text;
    EXPECT_EQ(text, Disassemble(5, Bytes(area, area + size)));
  }
}

TEST_F(Orbada32, HexadecimalBytes) {
  EXPECT_EQ("0A FF 12", Assemble(1, "0a FF 12"));
  EXPECT_EQ("0A FF 12", Assemble(1, " 0AFF\t12 "));
  EXPECT_EQ("", Assemble(1, ""));
  EXPECT_EQ("error 5", Assemble(1, "0A F"));
  EXPECT_EQ("error 5", Assemble(1, "ABC"));
  EXPECT_EQ("error 5", Assemble(1, "0G"));
  EXPECT_EQ("error 5", Assemble(1, "0A,FF"));
  // Sixteen bytes fill the area; seventeen do not fit and say so.
  std::string sixteen = "00112233445566778899AABBCCDDEEFF";
  EXPECT_EQ("00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF", Assemble(1, sixteen.c_str()));
  unsigned char area[16];
  int32_t size = 16;
  EXPECT_EQ(4, assemble_(1, (sixteen + "01").c_str(), 0, area, &size));
  EXPECT_EQ(17, size);

  EXPECT_EQ("0A FF 12", Disassemble(1, Hex("0A FF 12")));
  EXPECT_EQ("", Disassemble(1, Bytes()));
  // 21 bytes take 62 characters and the zero; 22 bytes need 66.
  Bytes b21(21, 0xAB), b22(22, 0xAB);
  EXPECT_EQ(62u, Disassemble(1, b21).size());
  EXPECT_EQ("error 4 size 66", Disassemble(1, b22));
  EXPECT_EQ("error 4 size 9", Disassemble(1, Hex("01 02 03"), 8));
  EXPECT_EQ("01 02 03", Disassemble(1, Hex("01 02 03"), 9));
  EXPECT_EQ("0A FF 12", Disassemble(1, Hex(Assemble(1, "0aff12").c_str())));
}

TEST_F(Orbada32, ConversionsRefuseBadArguments) {
  unsigned char area[16];
  char text[64];
  int32_t size = 16;
  EXPECT_EQ(2, assemble_(3, "1", 0, area, &size));
  EXPECT_EQ(2, assemble_(0, "1", 0, area, &size));
  EXPECT_EQ("error 2 size 64", Disassemble(4, Hex("01")));
  EXPECT_EQ(1, assemble_(2, nullptr, 0, area, &size));
  EXPECT_EQ(1, assemble_(2, "1", 0, area, nullptr));
  size = 64;
  EXPECT_EQ(1, disassemble_(2, nullptr, 1, 0, text, &size));
  EXPECT_EQ(1, disassemble_(2, area, -1, 0, text, &size));
  EXPECT_EQ(1, disassemble_(2, area, 1, 0, text, nullptr));
  // No area at all: the size needed comes back.
  size = 16;
  EXPECT_EQ(4, assemble_(2, "9", 0, nullptr, &size));
  EXPECT_EQ(4, size);
  size = 64;
  area[0] = 9;
  EXPECT_EQ(4, disassemble_(2, area, 1, 0, nullptr, &size));
  EXPECT_EQ(2, size);
}
