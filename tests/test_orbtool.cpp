// orbtool run as a process: each subcommand on the samples, the round trips
// of the text forms, and bad input giving the right exit code and message.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
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

// The run ended with `code` and its standard error holds every part.
testing::AssertionResult Fails(const Result& r, int code,
                               std::initializer_list<std::string> parts) {
  if (r.code != code) return testing::AssertionFailure() << "exit code " << r.code << "\n" << r.err;
  for (const std::string& part : parts) {
    if (!Contains(r.err, part))
      return testing::AssertionFailure() << "no '" << part << "' in\n" << r.err;
  }
  return testing::AssertionSuccess();
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
  EXPECT_TRUE(Fails(Tool("atoms parse " + kAtoms + " window-style 0 'border | modal'"), 1,
                    {"is not a value of argument 0"}));
}

TEST(OrbtoolAtoms, FailuresNameTheFileAndGiveTheExitCode) {
  Scratch dir;
  EXPECT_TRUE(Fails(Tool("atoms lookup " + kAtoms + " no-such-atom"), 1,
                    {"atoms.json: no atom named 'no-such-atom'"}));
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
    EXPECT_TRUE(
        Fails(Tool("atoms dump " + dir("bad.json")), 1, {dir("bad.json") + ": ", c.message}))
        << c.text;
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
  EXPECT_TRUE(Fails(Tool("stream asm " + dir("o.txt")), 1,
                    {"line 1: '=' needs an atom with an enumeration"}));
}

TEST(OrbtoolStream, BadStreamsAndBadText) {
  Scratch dir;
  EXPECT_TRUE(Fails(Tool("stream disasm 'e8 0'"), 2, {"odd number of hex digits"}));
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
    EXPECT_TRUE(Fails(Tool(std::string("stream disasm '") + c.hex + "'"), 1, {c.message})) << c.hex;
  }
  Spit(dir("cut.bin"), std::string("\x01\x05\x03\xaa", 4));
  EXPECT_TRUE(
      Fails(Tool("stream disasm --file " + dir("cut.bin")), 1, {dir("cut.bin") + ": offset 0"}));

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
    EXPECT_TRUE(Fails(Tool("stream asm --table " + kAtoms + " " + dir("bad.txt")), 1,
                      {dir("bad.txt") + ": line ", l.message}))
        << l.text;
  }
  EXPECT_EQ(Tool("stream asm " + dir("bad.txt")).code, 1);  // names without a table
}

const std::string kActions = kSamples + "/actions.json";

TEST(OrbtoolActions, DumpOfTheSampleTextGivesTheSameText) {
  Result r = Tool("actions dump " + kActions);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Slurp(kActions));
}

TEST(OrbtoolActions, GenerateThenRecognizeEveryArgumentType) {
  struct Case {
    const char* args;     // action, texts and options for generate
    const char* bytes;    // what generation gives
    const char* options;  // what recognition reports
    const char* texts;    // the argument lines recognition prints
  } cases[] = {
      {"open-form orders --options magic,wait-on",
       "00 11 01 00 02 02 06 6f 72 64 65 72 73 00 02 00", "options 0x21 (magic, wait-on)",
       "argument 0 \"form\": \"orders\"\n"},
      {"move-to 10 300", "00 01 00 03 05 04 00 0a 01 2c 00 02 00", "options 0x0",
       "argument 0 \"x\": \"10\"\nargument 1 \"y\": \"300\"\n"},
      {"set-colour 'ff 80 00'", "00 01 00 03 09 04 00 ff 80 00 00 02 00", "options 0x0",
       "argument 0 \"rgb\": \"FF 80 00\"\n"},
      // Pixels are stored in units of 16 (shift 4); dx and dy are signed.
      {"scroll-by 64 -3 7", "00 01 00 03 0a 01 04 03 0b 02 fd 07 00 02 00", "options 0x0",
       "argument 0 \"pixels\": \"64\"\nargument 1 \"dx\": \"-3\"\nargument 2 \"dy\": \"7\"\n"},
      {"key-press F5 --options 4", "00 01 00 0e 22 00 04 01 02 46 35 00 02 00",
       "options 0x4 (marker22)", "argument 0 \"key\": \"F5\"\n"},
      // Conditions choose the code: pages up to 99 and from 100 on.
      {"goto-page 42", "00 01 00 05 01 02 00 2a 00 02 00", "options 0x0",
       "argument 0 \"page\": \"42\"\n"},
      {"goto-page 250", "00 01 00 05 02 03 ff 00 fa 00 02 00", "options 0x0",
       "argument 0 \"page\": \"250\"\n"},
      {"answer Yes", "00 01 00 06 01 03 59 65 73 00 02 00", "options 0x0",
       "argument 0 \"reply\": \"Yes\"\n"},
      {"answer quit", "00 01 00 06 02 04 71 75 69 74 00 02 00", "options 0x0",
       "argument 0 \"reply\": \"quit\"\n"},
      {"answer maybe", "00 01 00 06 03 05 6d 61 79 62 65 00 02 00", "options 0x0",
       "argument 0 \"reply\": \"maybe\"\n"},
      {"beep x --options pop,marker21", "00 01 00 0e 21 00 07 02 00 02 00",
       "options 0xa (pop, marker21)", "argument 0 \"unused\": \"\"\n"},
  };
  for (const Case& c : cases) {
    Result g = Tool("actions generate " + kActions + " " + c.args);
    ASSERT_EQ(g.code, 0) << c.args << "\n" << g.err;
    EXPECT_EQ(g.out, std::string(c.bytes) + "\n") << c.args;
    Result r = Tool("actions recognize " + kActions + " '" + c.bytes + "'");
    ASSERT_EQ(r.code, 0) << c.bytes << "\n" << r.err;
    std::string name = std::string(c.args).substr(0, std::string(c.args).find(' '));
    EXPECT_EQ(r.out, "action \"" + name + "\"\n" + c.options + "\n" + c.texts) << c.args;
  }
}

TEST(OrbtoolActions, FailuresNameTheCause) {
  struct Case {
    const char* args;
    int code;
    const char* message;
  } cases[] = {
      {"generate SAMPLE no-such-action", 1, "no action named 'no-such-action'"},
      {"generate SAMPLE goto-page 0", 1, "no code of action 'goto-page' fits options 0x0"},
      {"generate SAMPLE beep x --options magic", 1, "fits options 0x1 (magic)"},
      {"generate SAMPLE key-press F", 1, "a two-byte argument needs at least two characters"},
      {"generate SAMPLE move-to 1 ' '", 1, "an argument text is empty"},
      {"generate SAMPLE move-to 1 x", 1, "could not convert an argument text (result 5)"},
      {"generate SAMPLE move-to 1", 1, "takes 2 argument texts, 1 given"},
      {"generate SAMPLE move-to 1 2 --options shiny", 2, "--options: 'shiny'"},
      {"recognize SAMPLE '00 01 00 09 09 00 02 00'", 1, "no action of the table matches"},
      {"recognize SAMPLE '00 01 0'", 2, "odd number of hex digits"},
      {"recognize SAMPLE", 2, "HEXBYTES"},
  };
  for (const Case& c : cases) {
    std::string args = c.args;
    args.replace(args.find("SAMPLE"), 6, kActions);
    EXPECT_TRUE(Fails(Tool("actions " + args), c.code, {c.message})) << args;
  }

  // Recognition needs the plug-in; a folder without it leaves it absent.
  Scratch dir;
  std::string env = "ORB_MODULE_PATH=" + dir("") + " ";
  Scratch out;
  int status = std::system((env + kTool + " actions recognize " + kActions +
                            " '00 01 00 05 01 02 00 2a 00 02 00' 2>" + out("err") + " >/dev/null")
                               .c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_TRUE(Contains(Slurp(out("err")), "needs the plug-in ORBADA32")) << Slurp(out("err"));
  status = std::system((env + kTool + " actions generate " + kActions + " move-to 1 2 2>" +
                        out("err") + " >/dev/null")
                           .c_str());
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_TRUE(Contains(Slurp(out("err")), "needs the plug-in ORBADA32, which is absent"));

  struct Text {
    const char* json;
    const char* message;
  } texts[] = {
      {"{\"actions\": [{\"name\": \"a\", \"code_variants\": 2, \"codes\": [{\"variant\": 1}]}]}",
       "actions[0].code_variants: must be the OR of the codes' variants (1)"},
      {"{\"actions\": [{\"name\": \"a\", \"codes\": [{\"variant\": 0, \"fragments\": "
       "[{\"type\": \"stream\", \"bytes\": \"01\", \"index\": 2}]}]}]}",
       "fragments[0].index: a fragment holds either bytes or an argument index"},
      {"{\"actions\": [{\"name\": \"a\", \"codes\": [{\"variant\": 0, \"fragments\": "
       "[{\"type\": \"stream\", \"bytes\": \"0\"}]}]}]}",
       "fragments[0].bytes: odd number of hex digits"},
      {"{\"actions\": [{\"name\": \"a\", \"codes\": [{\"variant\": 0, \"conditions\": "
       "[{\"arg\": 1, \"operation\": \"at-least\", \"text\": \"Y\"}]}]}]}",
       "conditions[0].text: upper-case letters"},
      {"{\"actions\": [{\"name\": \"a\", \"codes\": [{\"variant\": 0, \"conditions\": "
       "[{\"arg\": 1, \"operation\": \"at-least\", \"text\": \"y\", \"number\": 3}]}]}]}",
       "a condition holds either a text or a number"},
      {"{\"actions\": [{\"name\": \"a\", \"arguments\": [{\"type\": \"float\"}]}]}",
       "arguments[0].type: unknown name 'float'"},
      {"{\"actions\": [{\"name\": \"a\", \"arguments\": [{\"type\": 40000}]}]}",
       "arguments[0].type: expected a whole number from -32768 to 32767"},
      {"{\"actions\": [{\"name\": \"a\", \"access\": -1}]}", "actions[0].access: expected"},
      {"[1, 2]", "expected an object"},
  };
  for (const Text& t : texts) {
    Spit(dir("bad.json"), t.json);
    EXPECT_TRUE(
        Fails(Tool("actions dump " + dir("bad.json")), 1, {dir("bad.json") + ": ", t.message}))
        << t.json;
  }
}

TEST(OrbtoolActions, EveryFieldComesBackFromHandWrittenText) {
  Scratch dir;
  // Unnamed enumeration values, negative indexes and shifts, 32-bit access
  // rights, a text in single bytes above 127 and fields left out.
  Spit(
      dir("t.json"),
      "{\"actions\": [{\"name\": \"\\u00e9t\\u00e9\", \"flags\": 65535, \"server\": \"s\", "
      "\"access\": 4294967295, \"arguments\": [{\"name\": \"n\", \"type\": -7, \"size\": 65535, "
      "\"shift\": -32768}], \"codes\": [{\"variant\": 9, \"fragments\": [{\"type\": \"slot\", "
      "\"index\": -1}, {\"type\": 77, \"bytes\": \"aB\"}, {\"type\": \"stream\", \"bytes\": \"\"}, "
      "{\"type\": \"data\", \"index\": 5}], \"conditions\": [{\"arg\": -2, \"operation\": 4, "
      "\"combine\": 9, \"number\": -2147483648}, {\"arg\": 1, \"operation\": \"same-initial\", "
      "\"text\": \"\\u00c0\"}]}]}]}");
  Result r = Tool("actions dump " + dir("t.json"));
  ASSERT_EQ(r.code, 0) << r.err;
  for (const char* part :
       {"\"code_variants\": 9", "\"access\": 4294967295", "\"type\": -7", "\"size\": 65535",
        "\"shift\": -32768", "\"index\": -1", "\"type\": 77,\n", "\"bytes\": \"ab\"",
        "\"index\": 5", "\"combine\": 9", "\"number\": -2147483648", "\"operation\": 4",
        "\"text\": \"\xc3\x80\"", "\"name\": \"\xc3\xa9t\xc3\xa9\""}) {
    EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;
  }
  Spit(dir("u.json"), r.out);
  EXPECT_EQ(Tool("actions dump " + dir("u.json")).out, r.out);
}

TEST(OrbtoolText, RegexAndTokenize) {
  Result m = Tool("regex '&[0-9]+' 123abc");
  EXPECT_EQ(m.code, 0);
  EXPECT_EQ(m.out, "rest \"abc\"\nparameter 1 \"123\"\n");
  EXPECT_EQ(Tool("regex 'abc' xxabcyy").out, "rest \"yy\"\n");
  EXPECT_TRUE(Fails(Tool("regex '{a|ab}c' abc"), 1, {"no match"}));
  EXPECT_EQ(Tool("regex '^abc' '^abcd'").code, 1);
  EXPECT_EQ(Tool("regex --no-caret '^abc' '^abcd'").out, "rest \"d\"\n");
  EXPECT_EQ(Tool("regex onlyone").code, 2);

  std::string syntax = kSamples + "/syntax.txt";
  Result t = Tool("tokenize " + syntax + " 'width=640; title=\"Order entry\"; modal=no;'");
  ASSERT_EQ(t.code, 0) << t.err;
  EXPECT_EQ(t.out, "2 \"width\" \"640\"\n1\n3 \"title\" \"Order entry\"\n1\n4 \"modal\" \"no\"\n");
  EXPECT_TRUE(Fails(Tool("tokenize " + syntax + " 'width=640;?'"), 1,
                    {"2 \"width\" \"640\"\nno syntax matches \"?\""}));

  Scratch dir;
  Spit(dir("s.txt"), "# comment\n\n5 ^x*\n");
  EXPECT_TRUE(Fails(Tool("tokenize " + dir("s.txt") + " abc"), 1,
                    {"token 5 matched without consuming text"}));
  Spit(dir("s.txt"), "1 ^a\nx ^b\n");
  EXPECT_TRUE(Fails(Tool("tokenize " + dir("s.txt") + " ab"), 1,
                    {dir("s.txt") + ": line 2: expected 'TOKEN PATTERN'"}));
}

TEST(OrbtoolDemo, RunsOnTheSamples) {
  Result d = Tool("demo");
  ASSERT_EQ(d.code, 0) << d.err;
  for (const char* part :
       {"2 classes, 6 protocols, 19 atoms", "1 5 window-style = border|title-bar|close-box",
        "    action \"goto-page\"", "    argument 0 \"reply\": \"Yes please\"",
        "4 \"modal\" \"yes\""}) {
    EXPECT_TRUE(Contains(d.out, part)) << part << "\n" << d.out;
  }
  Scratch dir;
  EXPECT_TRUE(Fails(Tool("demo --samples " + dir("")), 1, {"atoms.json: cannot open"}));
}

// The binary samples that the build made with orbtool.
const std::string kBuiltSamples = ORB_BINARY_DIR "/samples";

TEST(OrbtoolBinary, TextToBinaryToTextAndBinaryToTextToBinary) {
  Scratch dir;
  struct Kind {
    const char* group;
    std::string text;
    std::string bin;
  } kinds[] = {{"atoms", kAtoms, kBuiltSamples + "/atoms.bin"},
               {"actions", kActions, kBuiltSamples + "/actions.bin"}};
  for (const Kind& k : kinds) {
    std::string group = k.group;
    // The build's binary is what build makes now, and dumps to the sample.
    ASSERT_EQ(Tool(group + " build " + k.text + " -o " + dir("t.bin")).code, 0);
    EXPECT_EQ(Slurp(dir("t.bin")), Slurp(k.bin)) << group;
    Result dump = Tool(group + " dump " + k.bin);
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_EQ(dump.out, Slurp(k.text)) << group;
    // Binary to text to binary, through standard input and output.
    Result again = Tool(group + " build - -o -", dump.out);
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.out, Slurp(k.bin)) << group;
    Result fromStdin = Tool(group + " dump -", Slurp(k.bin));
    EXPECT_EQ(fromStdin.out, dump.out) << group;

    // Damaged binaries: cut anywhere, a wrong kind, bytes after the table.
    std::string bytes = Slurp(k.bin);
    for (size_t cut :
         {size_t(0), size_t(1), size_t(2), size_t(20), bytes.size() / 2, bytes.size() - 1}) {
      Spit(dir("cut.bin"), bytes.substr(0, cut));
      EXPECT_TRUE(Fails(Tool(group + " dump " + dir("cut.bin")), 1, {dir("cut.bin") + ": "}))
          << group << " cut at " << cut;
    }
    Spit(dir("cut.bin"), bytes.substr(0, bytes.size() / 2));
    EXPECT_TRUE(Contains(Tool(group + " dump " + dir("cut.bin")).err, "damaged or truncated"));
    Spit(dir("long.bin"), bytes + "x");
    EXPECT_TRUE(Fails(Tool(group + " dump " + dir("long.bin")), 1, {"bytes follow the"}));
  }
  EXPECT_TRUE(Fails(Tool("atoms dump " + kBuiltSamples + "/actions.bin"), 1,
                    {"not a readable atom table file"}));
  EXPECT_EQ(Tool("actions dump " + kBuiltSamples + "/atoms.bin").code, 1);
  EXPECT_EQ(Tool("atoms build " + kAtoms).code, 2);  // -o is required
  EXPECT_EQ(Tool("atoms build " + kAtoms + " -o " + dir("no/such/dir/x.bin")).code, 1);

  // The commands that query tables take the binary form as well.
  EXPECT_EQ(Tool("atoms value " + kBuiltSamples + "/atoms.bin window-frame 0 3").out, "etched\n");
  EXPECT_EQ(Tool("actions generate " + kBuiltSamples + "/actions.bin goto-page 42").out,
            "00 01 00 05 01 02 00 2a 00 02 00\n");
  Result dis = Tool("stream disasm --table " + kBuiltSamples + "/atoms.bin --file " +
                    kBuiltSamples + "/stream.bin");
  ASSERT_EQ(dis.code, 0) << dis.err;
  EXPECT_TRUE(Contains(dis.out, "40 3 field-align = centre|middle|bold\n")) << dis.out;
}

TEST(OrbtoolBinary, EveryFieldSurvivesTheBinaryForm) {
  Scratch dir;
  // Values at the edges of their fields go through the file and back.
  std::string atoms =
      "{\"classes\": [{\"class\": 65535, \"protocols\": [{\"protocol\": 0, \"atoms\": ["
      "{\"atom\": 65535, \"name\": \"\\u00ff\\u0001 x\", \"arg0_type\": 65535, \"flags\": 65535, "
      "\"enums\": [{\"size\": 65535, \"operation\": 0, \"items\": [{\"name\": \"\", \"value\": "
      "4294967295}]}, {\"size\": 4, \"operation\": \"bit-fields\", \"items\": [{\"name\": \"m\", "
      "\"mask\": 65535, \"pattern\": 65535}]}], \"more_args\": [{\"type\": 0, \"enum\": 1}, "
      "{\"type\": 7, \"enum\": null}, {\"type\": 8, \"enum\": 1}]}]}]}]}";
  Spit(dir("a.json"), atoms);
  Result canonical = Tool("atoms dump " + dir("a.json"));
  ASSERT_EQ(canonical.code, 0) << canonical.err;
  ASSERT_EQ(Tool("atoms build " + dir("a.json") + " -o " + dir("a.bin")).code, 0);
  EXPECT_EQ(Tool("atoms dump " + dir("a.bin")).out, canonical.out);

  std::string actions =
      "{\"actions\": [{\"name\": \"x\", \"flags\": 65535, \"server\": \"\\u00e9\", \"access\": "
      "4294967295, \"arguments\": [{\"name\": \"n\", \"type\": -32768, \"size\": 65535, "
      "\"shift\": -1}], \"codes\": [{\"variant\": 65535, \"fragments\": [{\"type\": 32767, "
      "\"index\": -32768}, {\"type\": \"data\", \"bytes\": \"00 ff\"}], \"conditions\": [{\"arg\": "
      "-1, \"operation\": -5, \"combine\": 32767, \"number\": 2147483647}, {\"arg\": 3, "
      "\"operation\": \"same-initial\", \"text\": \"\\u00c9t\\u00e9\"}]}]}, {\"name\": \"x\"}]}";
  Spit(dir("c.json"), actions);
  Result c = Tool("actions dump " + dir("c.json"));
  ASSERT_EQ(c.code, 0) << c.err;
  ASSERT_EQ(Tool("actions build " + dir("c.json") + " -o " + dir("c.bin")).code, 0);
  EXPECT_EQ(Tool("actions dump " + dir("c.bin")).out, c.out);
}

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 3) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

TEST(OrbtoolBinary, DumpRefusesTablesTheTextCannotGiveBack) {
  Scratch dir;
  // Class 1, protocol 2, atom 3 named ab with argument 0 type 5, as the
  // library saves it; then the same with the name AB, which the building
  // operations never make, and a class without protocols.
  const std::string head =
      "00 01 ff ea 03 1a 23 ba ff eb 00 00 00 01 00 01 ff ea 38 02 46 72 ff eb 00 00 00 02 00 01 "
      "ff ed 00 01 ";
  const std::string atom =
      "ff ea 17 d8 2a 1a ff eb 00 00 00 03 00 01 ff ed 00 02 ff ea 02 1d 7f 8c ff eb 00 00 00 04 "
      "00 01 ff ed 00 03 ff ed 00 05 ff ed 00 00 ff ea 18 f5 7f 00 ff eb 00 00 00 05 00 01 00 01 "
      "ff ed 00 02 NAME ff ea 00 00 00 00 ff ea 00 00 00 00 ff ea 00 00 00 00 ff ea 00 00 00 00 "
      "ff ea 00 00 00 00 ";
  std::string good = head + atom;
  good.replace(good.find("NAME"), 4, "61 62");
  Spit(dir("ab.bin"), FromHex(good));
  Result ab = Tool("atoms dump " + dir("ab.bin"));
  ASSERT_EQ(ab.code, 0) << ab.err;
  EXPECT_TRUE(Contains(ab.out, "\"name\": \"ab\",\n")) << ab.out;
  Spit(dir("ab.json"), ab.out);
  EXPECT_EQ(Tool("atoms build " + dir("ab.json") + " -o -").out, FromHex(good));

  std::string upper = head + atom;
  upper.replace(upper.find("NAME"), 4, "41 62");
  Spit(dir("Ab.bin"), FromHex(upper));
  Result r = Tool("atoms dump " + dir("Ab.bin"));
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Contains(r.err,
                       "class 1, protocol 2, atom 3: the name has upper-case letters; "
                       "the text form cannot hold this table"))
      << r.err;
  EXPECT_EQ(r.out, "");

  Spit(dir("empty.bin"), FromHex(head + "ff ea 00 00 00 00 ff ea 00 00 00 00 "));
  EXPECT_TRUE(
      Fails(Tool("atoms dump " + dir("empty.bin")), 1, {"class 1: the class has no protocol"}));
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
