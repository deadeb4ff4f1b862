// Every allocation can fail: each scenario runs under FaultRun (see
// support/faultrun.h) and must give its reference outcome or the failure
// its interface promises, leaking nothing. Each scenario also writes its
// tally to faults/<name>.txt in the build folder; scripts/test prints them.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "actions/support.h"
#include "orbcmn/orbcmn.h"
#include "platform/win32.h"
#include "support/faultrun.h"
#include "support/tempfiles.h"

namespace {

// Inputs a scenario makes are checked as a careful caller checks them: a
// constructor that could not copy its bytes leaves none, and the run then
// ends as failed whatever follows.
bool g_inputLost = false;
ZString In(const char* text) {
  ZString s(text);
  g_inputLost |= *text != '\0' && s.IsEmpty();
  return s;
}
ZBuffer InBytes(const std::string& bytes) {
  ZBuffer b(bytes.data(), unsigned(bytes.size()));
  g_inputLost |= !bytes.empty() && b.IsEmpty();
  return b;
}

// Whether memory ran out since `before`, a value of FaultRun::refused: a
// call that failed then failed as its interface promises.
bool RanOut(unsigned long before) { return FaultRun::refused != before; }

std::string S(const ZBuffer& b) { return Str(static_cast<const ZString&>(b)); }

TempDir g_dir;

// Runs body over a streamer on the file at path, saving or loading; false
// when body or the streamer failed.
bool Stream(const std::string& path, bool saving, const std::function<bool(ZStreamer&)>& body) {
  ZFile file;
  EXPECT_TRUE(file.Open(path.c_str(), saving ? ZFile::eWrite : ZFile::eRead, ZFile::eBinary));
  ZStreamer s(&file, saving);
  return body(s) && !s.Error();
}

// The bytes body saves, as hex; kFailed when the save reports failure.
std::string Saved(const std::function<bool(ZStreamer&)>& body) {
  std::string path = g_dir.File("saved.bin");
  return Stream(path, true, body) ? ToHex(InBytes(ReadText(path))) : kFailed;
}

// Runs body over a loading streamer on the bytes written as hex.
bool Loaded(const std::string& hex, const std::function<bool(ZStreamer&)>& body) {
  std::string path = g_dir.File("loaded.bin");
  WriteText(path, S(Hex(hex.c_str())));
  return Stream(path, false, body);
}

// An atom table with every kind of element, saved, and the atom found by
// name; kFailed when an addition or the save failed.
std::string AtomsOutcome(ZAtomTable& t, bool build) {
  ZAtom* move = build ? t.AddAtomA(1, 2, 3, In("Move")) : nullptr;
  ZEnum* flags = move ? move->AddEnum(4, ZEnum::eBitFlags) : nullptr;
  ZEnum* single = move ? move->AddEnum(2, ZEnum::eSingleValue) : nullptr;
  if (build &&
      (flags == nullptr || single == nullptr || !flags->AddItem(In("Left"), 1) ||
       !flags->AddItem(In("Right"), 2) || !single->AddItem(In("off"), 0) ||
       !move->AddType(5, flags) || !move->AddType(6, single) || !move->AddType(7, nullptr) ||
       t.AddAtomA(1, 9, 1, In("Go")) == nullptr || t.AddAtomA(2, 1, 0x1234, In("Z")) == nullptr)) {
    return kFailed;
  }
  if (move) move->AddFlag(0x8001);
  std::string out = Saved([&](ZStreamer& s) { return ZAtomTable::Save(s, t); });
  const ZAtom* a = t.GetAtom(In("move"));
  return out == kFailed ? out : out + (a == nullptr ? " no move" : " move " + S(a->GetName()));
}

// An action table with every argument kind; null when an addition failed.
ZActionDescription* BuildActions(ZActionTable& table) {
  ZString other = In("other");
  ZActionDescription* d = AddEveryKind(table);
  return d != nullptr && table.AddDescription(other, 1) != nullptr ? d : nullptr;
}

ZVectorString Args(const std::vector<std::string>& texts) {
  ZVectorString v;
  for (const std::string& t : texts) {
    v.push_back(In(t.c_str()));
    g_inputLost |= v.size() == 0 || Str(v[v.size() - 1]) != t;
  }
  return v;
}

// A client for the bridge: logs every tool call; message handles count up.
// Every object is named "Node"; 3's parent is 2, whose parent is the root 1.
std::string g_calls;
intptr_t Client(void*, int tool, int sel, void*, int argc, const intptr_t* argv) {
  g_calls += std::to_string(tool) + "/" + std::to_string(sel) + " " + std::to_string(argc) + ";";
  if (tool == 4 && sel == 0) return 9000;
  if (tool == 24 && sel == 29) std::strcpy(reinterpret_cast<char*>(argv[1]), "Node");
  if (tool == 24 && sel == 17) return argv[0] > 1 ? argv[0] - 1 : 0;  // parent
  if (tool == 24 && sel == 7 && argc == 2 && argv[0] == 0) return 1;  // the root
  return 0;
}

// ZString edits with no result of their own: each either does what it
// says (the text given, or any change) or leaves the string as it was.
const std::pair<std::function<void(ZString&)>, const char*> kEdits[] = {
    {[](ZString& t) { t += "defghijklmnopqrstuvwxyz"; }, "abcdefghijklmnopqrstuvwxyz"},
    {[](ZString& t) { t.Insert(In("0123456789"), 4); }, "abc0123456789defghijklmnopqrstuvwxyz"},
    {[](ZString& t) { t.Replace(1, 3, In("ABCDEFGHIJKLMNOPQRSTUVWXYZ")); },
     "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789defghijklmnopqrstuvwxyz"},
    {[](ZString& t) { t = "short"; }, "short"},
    {[](ZString& t) { t = In(std::string(100, 'x').c_str()); }, nullptr},
    {[](ZString& t) { t.Append(std::string(50, '5').c_str(), 50); }, nullptr},
    {[](ZString& t) { t.Format("%s=%d", "key", 42); }, "key=42"},
    {[](ZString& t) { t.FormatAdd("%s", std::string(80, 'y').c_str()); }, nullptr},
};

std::string AtomsBuildSave() {
  ZAtomTable t;
  return AtomsOutcome(t, true);
}

std::string AtomsLoadSave() {
  static std::string bytes;  // made in the run without faults, which comes first
  ZAtomTable built, *t = nullptr;
  if (bytes.empty()) bytes = AtomsOutcome(built, true);
  bool ok = Loaded(bytes.substr(0, bytes.find(" move")),
                   [&](ZStreamer& s) { return ZAtomTable::Load(s, t); });
  std::unique_ptr<ZAtomTable> loaded(t);
  return ok ? AtomsOutcome(*t, false) : kFailed;
}

std::string ActionsBuildSaveLoad() {
  ZActionTable table, *loaded = nullptr;
  if (BuildActions(table) == nullptr) return kFailed;
  std::string out = Saved([&](ZStreamer& s) { return ZActionTable::Save(s, table); });
  bool ok =
      out != kFailed && Loaded(out, [&](ZStreamer& s) { return ZActionTable::Load(s, loaded); });
  std::unique_ptr<ZActionTable> back(loaded);
  ZListString names;
  if (!ok || !back->GetActionNames(names)) return names.size() == 0 ? kFailed : "names torn";
  return out + " " + Join(names);
}

std::string Records() {
  ZString a = In("text record"), *p = &a, x = In("old:"), *q = nullptr;
  ZBuffer b = InBytes("\x01\x02\x03"), y;
  std::string out = Saved([&](ZStreamer& s) {
    return ZString::Save(s, a) && ZString::Save(s, p) && ZBuffer::Save(s, b);
  });
  bool ok = out != kFailed && Loaded(out, [&](ZStreamer& s) {
              return ZString::Load(s, x) && ZString::Load(s, q) && ZBuffer::Load(s, y);
            });
  if (ok) out += " " + S(x) + " " + S(*q) + " " + ToHex(y);
  if (q != &x) delete q;  // the pointer record refers back to x
  return ok ? out : kFailed;
}

std::string StringEdits() {
  ZString s = In("abc");
  std::string out;
  for (const auto& edit : kEdits) {
    std::string before = S(s);
    edit.first(s);
    if (S(s) == before && (edit.second == nullptr || before != edit.second)) return kFailed;
    out += S(s) + "|";
  }
  return out;
}

std::string CopiesAndAssignment() {
  ZString a = In("some text"), empty(""), c(a), d = In("before");
  d = a;
  ZBuffer e(empty);
  ZVectorString v = Args({"x", "yy"}), w(v);
  ZListString l, m;
  l.push_back(a);
  l.push_back(empty);
  if (l.size() != 2) return kFailed;  // an append that could not be made adds nothing
  m.push_back(d);
  m = l;
  ZListString n(m);
  // A copy that could not be made holds nothing; an assignment that could
  // not be made leaves its target as it was (a list's empty).
  if (c.operator const char*() == nullptr || S(d) == "before" || w.size() == 0 || n.size() == 0)
    return kFailed;
  return S(c) + "|" + S(d) + "|" + S(e) + "|" + Join(w) + "|" + Join(n);
}

std::string LinesAndConversions() {
  ZString text = In("first line\r\nsecond\n\n  -0x1F rest\nmIxEd");
  std::string out;
  for (int i = 0; i < 5 && !text.IsEmpty(); i++) {
    std::string before = S(text);
    ZString line = text.ExtractLine();
    if (line.IsEmpty()) return S(text) == before ? kFailed : "line lost";
    out += "[" + S(line) + "]" + std::to_string(long(line)) + std::to_string(line.IsNumeric());
    out += S(line.MakeUpper().Strip(ZString::eAll, In("I ")));
  }
  return out;
}

std::string Format() {
  ZString s = In("old");
  s.Format("%s %ld %05.1f %c", "words", 123456L, 2.5, 'z');
  if (S(s) == "old") return kFailed;
  s.Format("%s", s.operator const char*());
  return S(s);
}

std::string ListsAndTree() {
  ZListString l;
  ZRedBlackTree tree;
  for (int i = 0; i < 20; i++) {
    l.push_back(In(std::to_string(i).c_str()));
    if (l.size() != i + 1) return kFailed;  // the joined nodes below show the rest
  }
  for (unsigned long k = 0; k < 50; k++)
    if (!tree.insert(k * 7 % 50, nullptr)) return kFailed;
  return Join(l) + " " + std::to_string(tree.size());
}

std::string Regex() {
  // Fifteen atoms fill the matcher's first frames: the repetition's call
  // of the rest makes its stack grow; taking a refusal there as the rest
  // not matching would match a shorter run.
  const std::string deep = std::string(15, '.') + "a*&.*";
  const char* cases[][2] = {
      {"a*a*a*x", "aaaa"},   {"&[a-z]+=&.*$", "key=value"}, {"^{ab|cd|ef}&[0-9]+", "cd42rest"},
      {"x&.+y", "..x123y!"}, {"\\*&[^ ]* ", "*star rest"},  {deep.c_str(), "0123456789abcdeaabc"}};
  std::string out;
  for (auto& c : cases) {
    ZRegExp r(c[0]), copy(r);
    ZString text = In(c[1]);
    unsigned long before = FaultRun::refused;
    bool m = copy == text;
    if (!copy.IsCompiled()) return m ? "matched when not compiled" : kFailed;
    if (!m && RanOut(before)) return S(text) == c[1] ? kFailed : "torn";
    ZListString params;
    if (!copy.GetParameters(params)) return params.size() == 0 ? kFailed : "torn";
    out += std::string(m ? "+" : "-") + S(text) + Join(params) + ";";
  }
  return out;
}

std::string Tokenizer() {
  ZParser p;
  ZSyntax blank("^ ", 3);
  if (!p.AddSyntax("^&[a-z]+", 1) || !p.AddSyntax("^&[0-9]+", 2) || !p.AddSyntax(blank) ||
      !p.AddSyntax("^&.", 4)) {
    return kFailed;
  }
  std::string out;
  ZString again = In("let x1 = 42;");
  ZListString params;
  params.push_back(again);  // a list whose end node could not be made takes nothing
  if (params.size() != 1) return kFailed;
  params.pop_back();
  for (int i = 0; i < 20 && !again.IsEmpty(); i++) {
    std::string before = S(again) + Join(params);
    unsigned long refused = FaultRun::refused;
    int token = p.Parse(again, params);
    if (token < 0 && RanOut(refused)) return S(again) + Join(params) == before ? kFailed : "torn";
    out += std::to_string(token) + Join(params);
  }
  return out + "|" + S(again);
}

std::string RecognizeGenerate() {
  PluginScope plugin(nullptr);
  ZActionTable table;
  ZActionDescription* d = BuildActions(table);
  // Every kind of argument; over 4,096 bytes, so the normaliser's area grows.
  const std::string text(6000, 'z');
  ZVectorString args = Args({"AB", "300", "-3", "0A 0B 0C 0D", "", text}), got;
  ZBuffer bytes = InBytes("untouched");
  int result = d ? d->Generate(0x27, args, bytes) : -1;
  if (result != 0) return d && S(bytes) != "untouched" ? "torn" : kFailed;
  EXPECT_EQ(ToHex(bytes).substr(0, 86) + " " + std::to_string(bytes.GetLength()),
            "00 11 01 00 0E 22 00 01 09 05 0B 41 42 02 58 01 0A 05 FD 0A 0B 0C 0D 01 0B 97 71 "
            "0C 7A 6031");
  unsigned int options = 99;
  unsigned long before = FaultRun::refused;
  ZActionDescription* found = table.Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                                              int(bytes.GetLength()), &options, got);
  if (found == nullptr && RanOut(before)) return kFailed;
  EXPECT_TRUE(found == d && options == 0x27u) << options;
  EXPECT_EQ(Join(got), "[AB][300][-3][0A 0B 0C 0D][][" + text + "]");
  return ToHex(bytes).substr(0, 90);
}

std::string Utilities() {
  char* s = UtilAllocAndCopyString("copy me", nullptr);
  void* m = UtilAllocAndCopyMem("\x01\x02", 2, nullptr);
  char* r = OrbHost_Replace7FsAndCopyStr(nullptr, "a\177b\nc");
  char* grown = r ? OrbHost_Replace7FsAndCopyStr(r, "\nd") : nullptr;
  std::string out = std::string(s ? s : "") + "|" + (grown ? grown : "");
  bool failed = s == nullptr || m == nullptr || grown == nullptr;
  HostKit_Free("t", s);
  HostKit_Free("t", m);
  HostKit_Free("t", grown ? grown : r);
  return failed ? kFailed : out;
}

std::string PathsAndFiles() {
  std::string dir = g_dir.File("paths"), text = dir + "/lines.txt", out = dir + "/out.bin";
  HostKit_MakePath(dir.c_str());
  WriteText(text, "one\ntwo\nx");
  WriteText(out, "old");
  const char data[] = "new data, more than a small buffer holds";
  if (OrbHost_WriteDataToFile(out.c_str(), data, sizeof data - 1) != sizeof data - 1)
    return ReadText(out) == "old" ? kFailed : "torn file";
  char* block = static_cast<char*>(OrbHost_ReadDataFromFile(out.c_str(), 8));
  std::string all = block ? block : "";
  HostKit_Free("t", block);
  ZTextFile lines;
  ZFile whole;
  ZBuffer bytes = InBytes("old");
  ZString line;
  if (block == nullptr) return kFailed;
  EXPECT_TRUE(lines.Open(text.c_str(), ZFile::eRead, ZFile::eBinary) &&
              whole.Open(out.c_str(), ZFile::eRead, ZFile::eBinary));
  for (int i = 0; i < 3; i++) {
    unsigned long before = FaultRun::refused;
    if (!lines.ReadLine(line)) return RanOut(before) ? kFailed : "short";
    all += "|" + S(line);
    if (i == 0 && !lines.UnreadLine(line)) return kFailed;
  }
  if (!whole.Read(bytes)) return S(bytes) == "old" ? kFailed : "torn read";
  // A pattern that could not be kept finds nothing, a name not copied is empty.
  ZFileFind find((dir + "\\*.txt").c_str());
  ZString found = find.Next() ? find.GetPathName() : ZString();
  if (found.IsEmpty()) return kFailed;
  return all + "|" + S(bytes) + "|" + S(found).substr(g_dir.path().size());
}

std::string LocalAndGlobalMemory() {
  // AppendFile's buffer is local memory, the about box's version block
  // global memory; the version text is left out when it cannot be read.
  std::string from = g_dir.File("append.txt"), to = g_dir.File("appended.bin");
  WriteText(from, "appended");
  std::FILE* out = std::fopen(to.c_str(), "w+b");
  int appended = AppendFile(out, from.c_str());
  std::fclose(out);
  HMODULE library = LoadLibraryA("ORBCMN32");
  HWND box =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, library, nullptr);
  HWND field = CreateWindowExA(0, "STATIC", "none", WS_CHILD, 0, 0, 5, 5, box,
                               reinterpret_cast<HMENU>(200), library, nullptr);
  unsigned long before = FaultRun::refused;
  AboutDlgProc(box, WM_INITDIALOG, 0, 200);
  char version[32] = "";
  GetWindowTextA(field, version, sizeof version);
  DestroyWindow(box);
  FreeLibrary(library);
  if (appended == 0) return ReadText(to).empty() ? kFailed : "partial copy";
  if (std::strcmp(version, "none") == 0 && RanOut(before)) return kFailed;
  return ReadText(to) + " " + version;
}

std::string Profile() {
  std::string file = g_dir.File("long.ini"), text(300, 'p');
  WritePrivateProfileLongString(file.c_str(), "s", "len", "val", "old value");
  std::string before = ReadText(file);
  int wrote = WritePrivateProfileLongString(file.c_str(), "s", "len", "val", text.c_str());
  if (!wrote && ReadText(file) != before) return "torn file";
  char* block = reinterpret_cast<char*>(1);
  int n = GetPrivateProfileLongString(file.c_str(), "s", "len", "val", &block);
  std::string out = std::to_string(wrote) + " " + std::to_string(n) + " " +
                    (block ? std::string(block) : "<null>");
  HostKit_Free("t", block);
  if (n == 0 && block != nullptr) return "block with nothing read";
  return !wrote || n == 0 ? kFailed : out;
}

std::string Bridge() {
  HostKit_SetToolHandler(Client, nullptr);
  g_calls.clear();
  int up = OrbUtil_UploadFile("one", 1, 2, 3, "five", nullptr, "", "", "", "", "", "", 1);
  std::string upload = g_calls;
  unsigned long before = FaultRun::refused;
  char* path = OrbMUI_GetFullPath(3, nullptr);
  std::string p = path ? path : "";
  HostKit_Free("t", path);
  HostKit_SetToolHandler(nullptr, nullptr);
  if (up == 0) return upload.empty() ? kFailed : "upload sent after failing";
  // A name whose block could not be allocated is left out and the
  // walk goes on: the defined result is the path less those names.
  if (RanOut(before) && (p.empty() || p == "Node")) p = "Node\\Node";
  return std::to_string(up) + " " + upload + " " + p;
}

std::string Startup() {
  PluginScope plugin(nullptr);
  const OrbPluginState* state = CommonPluginState();
  return std::to_string(state->module != nullptr) + std::to_string(state->normalize != nullptr);
}

struct Scenario {
  const char* name;
  std::string (*run)();
};

const std::vector<Scenario> kScenarios = {{"atoms_build_save", AtomsBuildSave},
                                          {"atoms_load_save", AtomsLoadSave},
                                          {"actions_build_save_load", ActionsBuildSaveLoad},
                                          {"records", Records},
                                          {"string_edits", StringEdits},
                                          {"copies_and_assignment", CopiesAndAssignment},
                                          {"lines_and_conversions", LinesAndConversions},
                                          {"format", Format},
                                          {"lists_and_tree", ListsAndTree},
                                          {"regex", Regex},
                                          {"tokenizer", Tokenizer},
                                          {"recognize_generate", RecognizeGenerate},
                                          {"utilities", Utilities},
                                          {"paths_and_files", PathsAndFiles},
                                          {"local_and_global_memory", LocalAndGlobalMemory},
                                          {"profile", Profile},
                                          {"bridge", Bridge},
                                          {"startup", Startup}};

class Faults : public testing::TestWithParam<Scenario> {};

// Writes the scenario's summary line to faults/<name>.txt; "crashed" until
// the scenario returns.
TEST_P(Faults, WrongSuccessesLeaksAndCrashes) {
  const Scenario& scenario = GetParam();
  std::string dir = std::string(ORB_BINARY_DIR) + "/faults", file = dir + "/" + scenario.name;
  ZFile::Exists(dir.c_str()) || HostKit_MakePath(dir.c_str());
  char line[200];
  std::snprintf(line, sizeof line, "%-24s crashed", scenario.name);
  std::ofstream(file + ".txt") << line << "\n";
  FaultTally t = FaultRun().Run([&] {
    g_inputLost = false;
    std::string outcome = scenario.run();
    return g_inputLost ? kFailed : outcome;
  });
  std::snprintf(line, sizeof line, "%-24s %7lu %7lu %6lu %6lu %8d", scenario.name, t.runs, t.faults,
                t.wrong, t.leaks, 0);
  std::ofstream(file + ".txt") << line << "\n";
  EXPECT_EQ(0u, t.wrong) << t.firstWrong;
  EXPECT_EQ(0u, t.leaks);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Faults, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
