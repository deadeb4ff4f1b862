// orbtool run as a process: each subcommand on the samples, the round trips
// of the text forms, and bad input giving the right exit code and message.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kTool = ORB_BINARY_DIR "/bin/orbtool";
const std::string kSamples = ORB_SOURCE_DIR "/samples";

struct Result {
  int code;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Spit(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
}

// A scratch directory for one test, removed with it.
class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/orbtool-test-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  ~Scratch() { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string operator()(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

// Runs orbtool with args (a shell fragment), standard input from in.
Result Tool(const std::string& args, const std::string& in = "") {
  Scratch scratch;
  Spit(scratch("in"), in);
  std::string cmd =
      kTool + " " + args + " <" + scratch("in") + " >" + scratch("out") + " 2>" + scratch("err");
  int status = std::system(cmd.c_str());
  Result r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = Slurp(scratch("out"));
  r.err = Slurp(scratch("err"));
  return r;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const std::string kAtoms = kSamples + "/atoms.json";

TEST(OrbtoolAtoms, DumpOfTheSampleTextGivesTheSameText) {
  Result r = Tool("atoms dump " + kAtoms);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Slurp(kAtoms));
  // Standard input as "-".
  Result s = Tool("atoms dump -", Slurp(kAtoms));
  EXPECT_EQ(s.code, 0);
  EXPECT_EQ(s.out, r.out);
}

TEST(OrbtoolAtoms, LookupValueAndParse) {
  Result byName = Tool("atoms lookup " + kAtoms + " on-click");
  ASSERT_EQ(byName.code, 0) << byName.err;
  EXPECT_TRUE(Contains(byName.out, "class 2, protocol 2, atom 1: on-click")) << byName.out;
  EXPECT_TRUE(Contains(byName.out, "argument 1: type 1, enumeration 1")) << byName.out;
  Result byNumbers = Tool("atoms lookup " + kAtoms + " 1 40 3");
  ASSERT_EQ(byNumbers.code, 0);
  EXPECT_TRUE(Contains(byNumbers.out, "atom 3: field-align")) << byNumbers.out;
  EXPECT_TRUE(Contains(byNumbers.out, "centre: mask 0x3, pattern 0x1")) << byNumbers.out;

  // Bit flags, bit fields, single value and an unnamed bit.
  EXPECT_EQ(Tool("atoms value " + kAtoms + " window-style 0 0x15").out,
            "border | close-box | modal\n");
  EXPECT_EQ(Tool("atoms value " + kAtoms + " window-style 0 0x40").out, "64\n");
  EXPECT_EQ(Tool("atoms value " + kAtoms + " field-align 0 0x19").out, "centre | bottom | bold\n");
  EXPECT_EQ(Tool("atoms value " + kAtoms + " window-frame 0 2").out, "sunken\n");
  EXPECT_EQ(Tool("atoms value " + kAtoms + " window-frame 0 -1").out, "-1\n");
  // Argument 1 of on-key names its values through the atom's only enumeration.
  EXPECT_EQ(Tool("atoms value " + kAtoms + " on-key 1 3").out, "shift | ctrl\n");

  EXPECT_EQ(Tool("atoms parse " + kAtoms + " field-align 0 'right|bottom|bold'").out,
            "26 (0x1a)\n");
  EXPECT_EQ(Tool("atoms parse " + kAtoms + " window-style 0 'border|0x20'").out, "33 (0x21)\n");
  Result blanks = Tool("atoms parse " + kAtoms + " window-style 0 'border | modal'");
  EXPECT_EQ(blanks.code, 1);
  EXPECT_TRUE(Contains(blanks.err, "is not a value of argument 0")) << blanks.err;
}

TEST(OrbtoolAtoms, FailuresNameTheFileAndGiveTheExitCode) {
  Scratch dir;
  Result missing = Tool("atoms lookup " + kAtoms + " no-such-atom");
  EXPECT_EQ(missing.code, 1);
  EXPECT_TRUE(Contains(missing.err, "atoms.json: no atom named 'no-such-atom'")) << missing.err;
  EXPECT_EQ(Tool("atoms lookup " + kAtoms + " 1 40 99").code, 1);
  EXPECT_EQ(Tool("atoms lookup " + kAtoms + " 1 40").code, 2);
  EXPECT_EQ(Tool("atoms lookup " + kAtoms + " 1 40 70000").code, 2);
  EXPECT_EQ(Tool("atoms value " + kAtoms + " window-open 0 1").code, 1);  // no enumeration
  EXPECT_EQ(Tool("atoms").code, 2);
  EXPECT_EQ(Tool("atoms frobnicate").code, 2);
  EXPECT_EQ(Tool("atoms dump " + dir("absent.json")).code, 1);

  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"{\"classes\": [", "not valid JSON"},
      {"{\"classes\": [{\"class\": 1}]}", "classes[0].protocols: a class needs a protocol"},
      {"{\"classes\": [{\"class\": 70000, \"protocols\": []}]}",
       "classes[0].class: expected a whole"},
      {"{\"clases\": []}", "clases: unknown field"},
      {"{\"classes\": [{\"class\": 1, \"protocols\": [{\"protocol\": 2, \"atoms\": ["
       "{\"atom\": 3, \"name\": \"Foo\"}]}]}]}",
       "atoms[0].name: upper-case letters"},
      {"{\"classes\": [{\"class\": 1, \"protocols\": [{\"protocol\": 2, \"atoms\": ["
       "{\"atom\": 3, \"name\": \"a\"}, {\"atom\": 3, \"name\": \"b\"}]}]}]}",
       "atoms[1].atom: atom 3 appears twice"},
      {"{\"classes\": [{\"class\": 1, \"protocols\": [{\"protocol\": 2, \"atoms\": ["
       "{\"atom\": 3, \"name\": \"a\", \"arg0_type\": 1, \"more_args\": [{\"type\": 2, "
       "\"enum\": 0}]}]}]}]}",
       "more_args[0].enum: the atom has no enumeration 0"},
      {"{\"classes\": [{\"class\": 1, \"protocols\": [{\"protocol\": 2, \"atoms\": ["
       "{\"atom\": 3, \"name\": \"a\", \"more_args\": [{\"type\": 2}]}]}]}]}",
       "further arguments need an argument 0 type"},
      {"{\"classes\": [{\"class\": 1, \"protocols\": [{\"protocol\": 2, \"atoms\": ["
       "{\"atom\": 3, \"name\": \"a\", \"enums\": [{\"size\": 1, \"operation\": "
       "\"bitflags\"}]}]}]}]}",
       "enums[0].operation: unknown name 'bitflags'"},
  };
  for (const Case& c : cases) {
    Spit(dir("bad.json"), c.text);
    Result r = Tool("atoms dump " + dir("bad.json"));
    EXPECT_EQ(r.code, 1) << c.text;
    EXPECT_TRUE(Contains(r.err, dir("bad.json") + ": ")) << r.err;
    EXPECT_TRUE(Contains(r.err, c.message)) << c.text << "\n" << r.err;
  }
}

TEST(OrbtoolAtoms, HandWrittenTextComesBackInTheCanonicalForm) {
  Scratch dir;
  // Optional fields left out, numbers in hex, operations by number, bit
  // fields as mask and pattern; the dump writes every field in one form.
  Spit(dir("t.json"),
       "{\"classes\": [{\"class\": 7, \"protocols\": [{\"protocol\": 3, \"atoms\": ["
       "{\"atom\": 1, \"name\": \"x\\u00e9\", \"arg0_type\": \"0x10\", \"enums\": ["
       "{\"size\": 2, \"operation\": 3, \"items\": [{\"name\": \"k\", \"mask\": 3, \"pattern\": "
       "1}]},"
       "{\"size\": 0, \"operation\": 9}]}]}]}]}");
  Result r = Tool("atoms dump " + dir("t.json"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "\"name\": \"x\xc3\xa9\"")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\"arg0_type\": 16,")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\"flags\": 0")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\"operation\": \"bit-fields\"")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\"operation\": 9")) << r.out;
  Spit(dir("u.json"), r.out);
  EXPECT_EQ(Tool("atoms dump " + dir("u.json")).out, r.out);
}

TEST(OrbtoolStream, AssembleDisassembleRoundTrip) {
  Scratch dir;
  std::string text = kSamples + "/stream.txt";
  Result hex = Tool("stream asm --table " + kAtoms + " " + text);
  ASSERT_EQ(hex.code, 0) << hex.err;
  // stream-begin, then window-open with the two data bytes 00 01.
  EXPECT_EQ(hex.out.substr(0, 20), "00 01 00 01 01 02 00");
  ASSERT_EQ(Tool("stream asm --table " + kAtoms + " " + text + " -o " + dir("s.bin")).code, 0);

  Result dis = Tool("stream disasm --table " + kAtoms + " --file " + dir("s.bin"));
  ASSERT_EQ(dis.code, 0) << dis.err;
  EXPECT_TRUE(Contains(dis.out, "0 1 stream-begin\n")) << dis.out;
  EXPECT_TRUE(Contains(dis.out, "1 5 window-style = border|title-bar|close-box\n")) << dis.out;
  EXPECT_TRUE(Contains(dis.out, "40 3 field-align = centre|middle|bold\n")) << dis.out;
  EXPECT_TRUE(Contains(dis.out, "1 2 window-title \"Order entry\"\n")) << dis.out;
  EXPECT_TRUE(Contains(dis.out, "100 9 action-call \"submit-order\"\n")) << dis.out;
  EXPECT_TRUE(Contains(dis.out, "1 9 window-colour [f0 f0 f0]\n")) << dis.out;

  // The printed text assembles to the same bytes, with and without a table.
  Spit(dir("s.txt"), dis.out);
  Result again = Tool("stream asm --table " + kAtoms + " " + dir("s.txt"));
  EXPECT_EQ(again.out, hex.out);
  Result bare = Tool("stream disasm " + hex.out.substr(0, hex.out.size() - 1).insert(0, "'") + "'");
  ASSERT_EQ(bare.code, 0) << bare.err;
  EXPECT_TRUE(Contains(bare.out, "1 5 ? [00 07]\n")) << bare.out;
  EXPECT_EQ(Tool("stream asm -", bare.out).out, hex.out);

  // Two-byte protocols and lengths, an unnamed atom, and a value that the
  // enumeration names but whose width differs from the enumeration's size.
  std::string data;
  for (int i = 0; i < 128; ++i) data += "5a ";
  std::string odd = "e8 08 03 01 15 f8 1f ff 00 02 09 80 80 " + data + "01 06 02 00 02";
  Result o = Tool("stream disasm --table " + kAtoms + " '" + odd + "'");
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_TRUE(Contains(o.out, "127 255 ?\n")) << o.out;
  EXPECT_TRUE(Contains(o.out, "1 6 window-frame [00 02]\n")) << o.out;
  Spit(dir("o.txt"), o.out);
  EXPECT_EQ(Tool("stream asm --table " + kAtoms + " " + dir("o.txt")).out, odd + "\n");
  // The enumerated form needs the table.
  Result noTable = Tool("stream asm " + dir("o.txt"));
  EXPECT_EQ(noTable.code, 1);
  EXPECT_TRUE(Contains(noTable.err, "line 1: '=' needs an atom with an enumeration"))
      << noTable.err;
}

TEST(OrbtoolStream, BadStreamsAndBadText) {
  Scratch dir;
  Result oddHex = Tool("stream disasm 'e8 0'");
  EXPECT_EQ(oddHex.code, 2);
  EXPECT_TRUE(Contains(oddHex.err, "odd number of hex digits")) << oddHex.err;
  struct Case {
    const char* hex;
    const char* message;
  } streams[] = {
      {"01 05 03 aa", "offset 0: the atom's data runs past the end (3 bytes declared, 1 left)"},
      {"00 02 00 01", "offset 3: the stream ends inside an atom header"},
      {"40 01 00", "offset 0: byte 40 does not begin an atom"},
      {"01 02 80 05 00 00 00 00 00", "length 5 in the two-byte form"},
      {"e8 40 01 00", "bad second protocol byte"},
  };
  for (const Case& c : streams) {
    Result r = Tool(std::string("stream disasm '") + c.hex + "'");
    EXPECT_EQ(r.code, 1) << c.hex;
    EXPECT_TRUE(Contains(r.err, c.message)) << c.hex << "\n" << r.err;
  }
  Spit(dir("cut.bin"), std::string("\x01\x05\x03\xaa", 4));
  Result cut = Tool("stream disasm --file " + dir("cut.bin"));
  EXPECT_EQ(cut.code, 1);
  EXPECT_TRUE(Contains(cut.err, dir("cut.bin") + ": offset 0")) << cut.err;

  struct Line {
    const char* text;
    const char* message;
  } lines[] = {
      {"128 1 x", "line 1: protocol 128 is out of range"},
      {"1 256 x", "expected an atom number from 0 to 255"},
      {"1 1", "expected the atom's name (or ?)"},
      {"1 1 window-open [00 1]", "odd number of hex digits"},
      {"1 1 window-open [00", "missing ']'"},
      {"\n1 1 window-title", "line 2: atom 1 1 is named 'window-open' in the table, not"},
      {"window-frame = shiny", "'shiny' is not a value"},
      {"window-open = 3", "'=' needs an atom with an enumeration"},
      {"no-such-atom", "no atom named 'no-such-atom'"},
      {"window-title \"\\u0100\"", "above U+00FF"},
  };
  for (const Line& l : lines) {
    Spit(dir("bad.txt"), l.text);
    Result r = Tool("stream asm --table " + kAtoms + " " + dir("bad.txt"));
    EXPECT_EQ(r.code, 1) << l.text;
    EXPECT_TRUE(Contains(r.err, dir("bad.txt") + ": line ")) << r.err;
    EXPECT_TRUE(Contains(r.err, l.message)) << l.text << "\n" << r.err;
  }
  EXPECT_EQ(Tool("stream asm " + dir("bad.txt")).code, 1);  // names without a table
}

TEST(OrbtoolCli, HelpVersionAndUsage) {
  Result help = Tool("--help");
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Contains(help.out, "atoms")) << help.out;
  Result sub = Tool("stream disasm --help");
  EXPECT_EQ(sub.code, 0);
  EXPECT_TRUE(Contains(sub.out, "--table")) << sub.out;
  Result version = Tool("version");
  EXPECT_EQ(version.code, 0);
  EXPECT_TRUE(Contains(version.out, "ORBCMN Build 14\n")) << version.out;
  EXPECT_EQ(Tool("").code, 2);
  EXPECT_EQ(Tool("no-such-command").code, 2);
}

}  // namespace
