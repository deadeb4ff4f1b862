// orbtool run as a process: each subcommand on the samples, the round trips
// of the text and binary forms, and bad input giving the right exit code
// and a message that names the file.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>

#include "support/tempfiles.h"

namespace {

const std::string kTool = ORB_BINARY_DIR "/bin/orbtool";
const std::string kAtoms = ORB_SOURCE_DIR "/samples/atoms.json";
const std::string kActions = ORB_SOURCE_DIR "/samples/actions.json";
const std::string kBuilt = ORB_BINARY_DIR "/samples";  // the binaries the build made

struct Result {
  int code;
  std::string out, err, file;  // file: the name FILE stood for and ": "
};

#if defined(_WIN32)
// The command interpreter quotes with double quotes (a double quote inside
// them is \") and wants "\" in the program's path; its result is the exit
// code.
std::string Command(const std::string& line) {
  std::string out;
  bool quoted = false;
  for (char c : line) {
    if (c == '\'') quoted = !quoted;
    out += c == '\'' ? "\"" : quoted && c == '"' ? "\\\"" : std::string(1, c);
  }
  size_t end = out.find(' ');
  for (size_t i = 0; i < end && i < out.size(); i++) out[i] = out[i] == '/' ? '\\' : out[i];
  return out;
}
int ExitCode(int status) { return status; }
#else
std::string Command(const std::string& line) { return line; }
int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
#endif

// Runs tool with args: a shell fragment in which single quotes quote, and
// ATOMS, ACTIONS, BUILT and SAMPLES stand for the samples and the built
// binaries. FILE stands for a file holding in; else in is standard input.
Result Tool(std::string args, const std::string& in = "", const std::string& tool = kTool) {
  TempDir dir;
  const std::pair<const char*, std::string> names[] = {{"ATOMS", kAtoms},
                                                       {"ACTIONS", kActions},
                                                       {"BUILT", kBuilt},
                                                       {"SAMPLES", ORB_SOURCE_DIR "/samples"},
                                                       {"FILE", dir.File("file")}};
  for (const auto& n : names)
    for (size_t at; (at = args.find(n.first)) != std::string::npos;)
      args.replace(at, std::strlen(n.first), n.second);
  WriteText(dir.File("in"), in);
  WriteText(dir.File("file"), in);
  int status = std::system(Command(tool + " " + args + " <" + dir.File("in") + " >" +
                                   dir.File("out") + " 2>" + dir.File("err"))
                               .c_str());
  bool file = args.find(dir.File("file")) != std::string::npos;
  return {ExitCode(status), ReadText(dir.File("out")), ReadText(dir.File("err")),
          file ? dir.File("file") + ": " : ""};
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The run ended with `code` and printed text: on standard output for 0
// (all of it when text ends a line), else on standard error with the name
// of the file FILE stood for.
testing::AssertionResult Ends(const Result& r, int code, const std::string& text) {
  const std::string& shown = code == 0 ? r.out : r.err;
  bool whole = code == 0 && !text.empty() && text.back() == '\n';
  if (r.code == code &&
      (whole ? shown == text : Contains(shown, r.file) && Contains(shown, text))) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "exit code " << r.code << ", output:\n" << r.out << r.err;
}

// Standard output of a run that must end with exit code 0.
std::string Out(const std::string& args, const std::string& in = "") {
  Result r = Tool(args, in);
  EXPECT_EQ(r.code, 0) << args << "\n" << r.err;
  return r.out;
}

// A stream assembled from the sample disassembles, with names or without,
// to a text that assembles to the same bytes.
TEST(Orbtool, StreamAssembleDisassembleRoundTrip) {
  std::string hex = Out("stream asm --table ATOMS SAMPLES/stream.txt");
  std::string bytes = "'" + hex.substr(0, hex.size() - 1) + "'";
  std::string dis = Out("stream disasm --table ATOMS " + bytes),
              bare = Out("stream disasm " + bytes);
  EXPECT_TRUE(Contains(dis, "1 5 window-style = border|title-bar|close-box\n")) << dis;
  EXPECT_TRUE(Contains(bare, "1 5 ? [00 07]\n")) << bare;
  EXPECT_EQ(Out("stream asm --table ATOMS -", dis) + Out("stream asm -", bare), hex + hex);
}

// Each command's output (all of it, or a part of it that does not end the
// line), or its failure: the exit code and a message naming the file and
// the cause.
TEST(Orbtool, OutputsAndFailures) {
  TempDir dir;
  const struct {
    std::string args;
    int code;
    std::string text, input = "";
  } cases[] = {
      // Bit flags; bit fields.
      {"atoms value ATOMS window-style 0 0x15", 0, "border | close-box | modal\n"},
      {"atoms parse ATOMS field-align 0 'right|bottom|bold'", 0, "26 (0x1a)\n"},
      // Options by name; pixels stored in units of 16 (shift 4), dx and dy signed.
      {"actions generate ACTIONS open-form orders --options magic,wait-on", 0,
       "00 11 01 00 02 02 06 6f 72 64 65 72 73 00 02 00\n"},
      {"actions recognize ACTIONS '00 01 00 03 0a 01 04 03 0b 02 fd 07 00 02 00'", 0,
       "action \"scroll-by\"\noptions 0x0\nargument 0 \"pixels\": \"64\"\n"
       "argument 1 \"dx\": \"-3\"\nargument 2 \"dy\": \"7\"\n"},
      {"regex '&[0-9]+' 123abc", 0, "rest \"abc\"\nparameter 1 \"123\"\n"},
      {"tokenize SAMPLES/syntax.txt 'width=640; title=\"Order entry\"; modal=no;'", 0,
       "2 \"width\" \"640\"\n1\n3 \"title\" \"Order entry\"\n1\n4 \"modal\" \"no\"\n"},
      {"atoms lookup ATOMS 1 40 3", 0, "centre: mask 0x3, pattern 0x1"},
      {"demo", 0, "2 classes, 6 protocols, 19 atoms"},
      {"atoms lookup ATOMS no-such-atom", 1, "atoms.json: no atom named 'no-such-atom'"},
      {"atoms parse ATOMS window-style 0 'border | modal'", 1, "is not a value of argument 0"},
      {"atoms dump FILE", 1, "not valid JSON", "{\"classes\": ["},
      {"atoms dump FILE", 1, "atoms[1].atom: atom 3 appears twice",
       "{\"classes\": [{\"class\": 1, \"protocols\": [{\"protocol\": 2, \"atoms\": "
       "[{\"atom\": 3, \"name\": \"a\"}, {\"atom\": 3, \"name\": \"b\"}]}]}]}"},
      {"stream disasm 'e8 0'", 2, "odd number of hex digits"},
      {"stream disasm '00 02 00 01'", 1, "offset 3: the stream ends inside an atom header"},
      // The disassembler takes only the forms the builder writes.
      {"stream disasm '00 02 00 e0 05 02 00'", 1, "offset 3: byte e0 does not begin an atom"},
      {"stream disasm '01 02 80 05 aa'", 1, "offset 0: length 5 in the two-byte form"},
      {"stream disasm --file FILE", 1, "offset 0: the atom's data runs past the end",
       std::string("\x01\x05\x03\xaa", 4)},
      {"stream asm --table ATOMS FILE", 1, "line 2: atom 1 1 is named 'window-open'",
       "\n1 1 window-title"},
      {"actions generate ACTIONS goto-page 0", 1, "no code of action 'goto-page' fits options 0x0"},
      {"actions generate ACTIONS move-to 1 x", 1, "could not convert an argument text (result 5)"},
      {"actions recognize ACTIONS '00 01 00 09 09 00 02 00'", 1, "no action of the table matches"},
      {"actions dump FILE", 1,
       "actions[0].code_variants: must be the OR of the codes' variants (1)",
       "{\"actions\": [{\"name\": \"a\", \"code_variants\": 2, \"codes\": [{\"variant\": 1}]}]}"},
      {"actions dump FILE", 1, "arguments[0].type: expected a whole number from -32768 to 32767",
       "{\"actions\": [{\"name\": \"a\", \"arguments\": [{\"type\": 40000}]}]}"},
      {"regex '^abc' '^abcd'", 1, "no match"},
      // A token that consumes nothing would loop for ever.
      {"tokenize - abc", 1, "token 5 matched without consuming text", "# comment\n\n5 ^x*\n"},
      {"tokenize FILE ab", 1, "line 2: expected 'TOKEN PATTERN'", "1 ^a\nx ^b\n"},
      {"demo --samples " + dir.path(), 1, "atoms.json: cannot open"},
      {"atoms build ATOMS -o " + dir.File("no/such/dir/x.bin"), 1, ""},
      // A directory: Windows refuses to open it, POSIX to read it.
      {"atoms dump " + dir.path(), 1, dir.path() + ": cannot "},
  };
  for (const auto& c : cases) EXPECT_TRUE(Ends(Tool(c.args, c.input), c.code, c.text)) << c.args;

    // Where the loader finds no plug-in, it is absent.
#if defined(_WIN32)
  // Windows looks beside the program: a copy of it and its DLLs, no plug-in.
  for (const char* file : {"orbtool.exe", "orbcmn32.dll", "HOSTKIT.DLL"}) {
    Bytes bytes = ReadBytes(ORB_BINARY_DIR "/bin/" + std::string(file));
    ASSERT_TRUE(!bytes.empty() && WriteBytes(dir.File(file), bytes)) << file;
  }
  std::string tool = dir.File("orbtool.exe");
#else
  std::string tool = "ORB_MODULE_PATH=" + dir.path() + " " + kTool;
#endif
  EXPECT_TRUE(Ends(Tool("actions generate ACTIONS move-to 1 2", "", tool), 1,
                   "needs the plug-in ORBADA32, which is absent"));
}

TEST(Orbtool, TextToBinaryToTextAndBinaryToTextToBinary) {
  TempDir dir;
  for (std::string group : {"atoms", "actions"}) {
    std::string text = group == "atoms" ? kAtoms : kActions, bin = kBuilt + "/" + group + ".bin";
    // The build's binary is what build makes now, and dumps to the sample;
    // binary to text to binary through standard input and output.
    Out(group + " build " + text + " -o " + dir.File("t.bin"));
    std::string bytes = ReadText(bin), dump = Out(group + " dump " + bin);
    EXPECT_EQ(ReadText(dir.File("t.bin")), bytes) << group;
    EXPECT_EQ(dump, ReadText(text)) << group;
    EXPECT_EQ(Out(group + " build - -o -", dump), bytes) << group;

    // Damaged binaries: cut anywhere, or bytes after the table.
    for (size_t cut : {size_t(0), size_t(2), bytes.size() / 2, bytes.size() - 1})
      EXPECT_TRUE(Ends(Tool(group + " dump FILE", bytes.substr(0, cut)), 1, "damaged or truncated"))
          << group << cut;
    EXPECT_TRUE(Ends(Tool(group + " dump FILE", bytes + "x"), 1, "bytes follow the"));
  }
  // A table the text cannot give back: an upper-case name, which the
  // building operations never make.
  std::string bytes = ReadText(kBuilt + "/atoms.bin");
  ASSERT_NE(bytes.find("window-open"), std::string::npos);
  bytes[bytes.find("window-open")] = 'W';
  EXPECT_TRUE(Ends(Tool("atoms dump FILE", bytes), 1,
                   "class 1, protocol 1, atom 1: the name has upper-case letters; the text "
                   "form cannot hold this table"));

  // A target that cannot be replaced (a folder holding a file) is left as
  // it was, with nothing written beside it.
  std::filesystem::create_directory(dir.File("kept"));
  ASSERT_TRUE(WriteBytes(dir.File("kept/inside"), {'k'}));
  EXPECT_TRUE(Ends(Tool("atoms build ATOMS -o " + dir.File("kept")), 1,
                   dir.File("kept") + ": cannot write"));
  EXPECT_EQ(ReadText(dir.File("kept/inside")), "k");
  auto entries = std::filesystem::directory_iterator(dir.path());
  EXPECT_EQ(2, std::distance(begin(entries), end(entries))) << "t.bin and kept only";
#if !defined(_WIN32)
  // A disk that fills up (a file size limit of 1 KiB, a POSIX shell's):
  // the old file stays whole.
  WriteText(dir.File("old.bin"), "old contents");
  EXPECT_TRUE(Ends(Tool("atoms build ATOMS -o " + dir.File("old.bin"), "",
                        "trap '' XFSZ; ulimit -f 1; " + kTool),
                   1, "could not save"));
  EXPECT_EQ(ReadText(dir.File("old.bin")), "old contents");
#endif
}

}  // namespace
