// Actions per second: recognising byte sequences as actions and generating
// them, on the sample action table (build/samples/actions.bin, built from
// samples/actions.json) and on a larger table built in code with every
// fragment and argument type, several codes per action and conditions.
// Recognition runs through the plug-in's normaliser, as it does for a tool.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "orbcmn/orbcmn.h"

namespace {

constexpr int kActions = 32;
constexpr unsigned kVariants = 3;  // codes of variant 0, OptionMagic and OptionPop

// One action to generate and recognise: its description, options and texts.
struct Case {
  ZActionDescription* description;
  unsigned options;
  ZVectorString args;
  ZBuffer bytes;  // what Generate made
};

ZBuffer Bytes(std::initializer_list<unsigned char> bytes) {
  ZBuffer b;
  for (unsigned char c : bytes) b += static_cast<char>(c);
  return b;
}

// Action d: a Number (scaled for some), a TwoBytes, a signed AdaKind5 of two
// bytes for even d, hexadecimal AdaKind1 bytes for d % 3 == 1 and a trailing
// Text for d % 5 == 0. Each code is a few atoms of protocol d % 30 + 1: the
// first atom number tells the action, the second the variant.
void AddAction(ZActionTable& table, int d) {
  char name[16];
  std::snprintf(name, sizeof name, "action%02d", d);
  ZString n(name);
  unsigned flags = d % 4 == 0 ? OptionMarker22 : d % 4 == 1 ? OptionWaitOn : 0;
  ZActionDescription* desc = table.AddDescription(n, flags);
  ZString count("count"), code("code"), delta("delta"), raw("raw"), label("label");
  unsigned number = 1;
  desc->AddArgument(number++, ZActionArgument::Number, count, 4, d % 3 == 0 ? 2 : 0);
  desc->AddArgument(number++, ZActionArgument::TwoBytes, code, 0, 0);
  if (d % 2 == 0) desc->AddArgument(number++, ZActionArgument::AdaKind5, delta, 2, 0);
  if (d % 3 == 1) desc->AddArgument(number++, ZActionArgument::AdaKind1, raw, 4, 0);
  if (d % 5 == 0) desc->AddArgument(number++, ZActionArgument::Text, label, 0, 0);
  unsigned char protocol = static_cast<unsigned char>(d % 30 + 1);
  for (unsigned v = 0; v < kVariants; v++) {
    ZActionCode* c = desc->AddCode(v == 2 ? OptionPop : v);
    c->AddFragment(ZActionFragment::StreamBytes, Bytes({protocol, static_cast<unsigned char>(d)}));
    c->AddFragment(ZActionFragment::DataBytes, Bytes({0x0B}));
    c->AddFragment(ZActionFragment::ArgumentSlot, 0);
    c->AddFragment(ZActionFragment::StreamBytes,
                   Bytes({protocol, static_cast<unsigned char>(0x80 + v)}));
    c->AddFragment(ZActionFragment::ArgumentSlot, 1);
    int index = 2;
    if (d % 2 == 0) c->AddFragment(ZActionFragment::ArgumentSlot, index++);
    if (d % 3 == 1) c->AddFragment(ZActionFragment::ArgumentSlot, index++);
    if (d % 5 == 0) {
      c->AddFragment(ZActionFragment::StreamBytes, Bytes({protocol, 0x90}));
      c->AddFragment(ZActionFragment::ArgumentSlot, index++);
    }
    if (v == 1) {
      c->AddCondition(1, ZActionCondition::AtLeast, ZActionCondition::Replace, 0L);
      c->AddCondition(2, ZActionCondition::SameInitial, ZActionCondition::And, ZString("a"));
    }
  }
}

// The table, and one case per action and variant with its bytes generated.
struct Workload {
  ZActionTable table;
  std::vector<Case> cases;
  std::string error;

  Workload() {
    for (int d = 0; d < kActions; d++) AddAction(table, d);
    const ZListActionDescriptionP& descriptions = table.GetDescriptions();
    int d = 0;
    for (auto it = descriptions.begin(); it != descriptions.end(); ++it, ++d) {
      for (unsigned v = 0; v < kVariants; v++) {
        Case c;
        c.description = *it;
        c.options = (v == 2 ? OptionPop : v) | c.description->GetFlags();
        c.args.push_back(ZString(std::to_string(4 * (1000 + 37 * d)).c_str()));
        c.args.push_back(ZString("AB"));
        if (d % 2 == 0) c.args.push_back(ZString(std::to_string(-5 * d - 1).c_str()));
        if (d % 3 == 1) c.args.push_back(ZString("0A FF 12 34"));
        if (d % 5 == 0) c.args.push_back(ZString("a label of some length"));
        int result = c.description->Generate(c.options, c.args, c.bytes);
        if (result != 0) error = "generation failed";
        cases.push_back(c);
      }
    }
    // Every case must come back as itself, options and texts included.
    for (Case& c : cases) {
      unsigned options = 0;
      ZVectorString args;
      ZBuffer bytes(c.bytes);
      ZActionDescription* found =
          table.Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                          static_cast<int>(bytes.GetLength()), &options, args);
      if (found == nullptr) {
        error = CommonPluginState()->normalize == nullptr ? "plug-in not loaded"
                                                          : "a generated action was not recognised";
      } else if (found != c.description || options != c.options || args.size() != c.args.size()) {
        error = "recognised as another action or with other options";
      } else {
        for (int i = 0; i < args.size(); i++) {
          if (!(args[i] == c.args[i])) error = "recognised with other texts";
        }
      }
    }
  }
};

// Candidate texts by argument type; the sample table's conditions and
// sizes decide which of them an action takes.
const char* const kCandidates[][4] = {
    {"", "", "", ""},                                 // None
    {"AB", "yz", "12", "Qq"},                         // TwoBytes
    {"250", "16", "3", "1000"},                       // Number
    {"hello", "yes", "no", "a"},                      // Text
    {"-3", "7", "100", "-100"},                       // AdaKind5
    {"0A 0B 0C", "FF 00 80", "01 02 03", "7F 7F 7F"}  // AdaKind1
};

// The sample table loaded from its binary file, and every case that the
// candidate texts give for every code of every action and that comes back
// as itself.
struct SampleWorkload {
  ZActionTable* table = nullptr;
  std::vector<Case> cases;
  std::string error;

  SampleWorkload() {
    ZFile file;
    if (!file.Open(ORB_BINARY_DIR "/samples/actions.bin", ZFile::eRead, ZFile::eBinary)) {
      error = "no build/samples/actions.bin";
      return;
    }
    {
      ZStreamer s(&file, false);
      if (!ZActionTable::Load(s, table) || table == nullptr) error = "sample table not loaded";
    }
    file.Close();
    if (table == nullptr) return;
    const ZListActionDescriptionP& descriptions = table->GetDescriptions();
    for (auto it = descriptions.begin(); it != descriptions.end(); ++it) {
      ZActionDescription* d = *it;
      unsigned flags = d->GetFlags() & (OptionMarker22 | OptionMarker21 | OptionWaitOn);
      const ZListActionCodeP& codes = d->GetCodes();
      for (auto code = codes.begin(); code != codes.end(); ++code) {
        for (int k = 0; k < 4; k++) {
          Case c;
          c.description = d;
          c.options = (*code)->GetVariant() | flags;
          for (int i = 0; i < d->GetNumArgs(); i++) {
            int type = d->GetArgument(i)->GetType();
            c.args.push_back(ZString(kCandidates[type >= 0 && type <= 5 ? type : 0][k]));
          }
          if (d->Generate(c.options, c.args, c.bytes) != 0 || !ComesBack(c)) continue;
          bool seen = false;
          for (const Case& other : cases) seen = seen || other.bytes == c.bytes;
          if (!seen) cases.push_back(c);
        }
      }
    }
    if (cases.empty()) error = "no sample action generated and recognised";
  }
  ~SampleWorkload() { delete table; }

  bool ComesBack(Case& c) {
    unsigned options = 0;
    ZVectorString args;
    ZBuffer bytes(c.bytes);
    ZActionDescription* found =
        table->Recognize(const_cast<unsigned char*>(bytes.GetBytePtr()),
                         static_cast<int>(bytes.GetLength()), &options, args);
    return found == c.description && options == c.options;
  }
};

Workload& TheWorkload() {
  static Workload* workload = new Workload;
  return *workload;
}

SampleWorkload& TheSampleWorkload() {
  static SampleWorkload* workload = new SampleWorkload;
  return *workload;
}

void SampleRecognize(benchmark::State& state) {
  SampleWorkload& w = TheSampleWorkload();
  if (!w.error.empty()) {
    state.SkipWithError(w.error.c_str());
    return;
  }
  for (auto _ : state) {
    for (Case& c : w.cases) {
      unsigned options = 0;
      ZVectorString args;
      ZActionDescription* found =
          w.table->Recognize(const_cast<unsigned char*>(c.bytes.GetBytePtr()),
                             static_cast<int>(c.bytes.GetLength()), &options, args);
      if (found != c.description) state.SkipWithError("not recognised");
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(w.cases.size()));
  state.counters["actions"] = static_cast<double>(w.cases.size());
}

void SampleGenerate(benchmark::State& state) {
  SampleWorkload& w = TheSampleWorkload();
  if (!w.error.empty()) {
    state.SkipWithError(w.error.c_str());
    return;
  }
  for (auto _ : state) {
    for (Case& c : w.cases) {
      ZBuffer out;
      if (c.description->Generate(c.options, c.args, out) != 0) {
        state.SkipWithError("not generated");
      }
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(w.cases.size()));
}

void Recognize(benchmark::State& state) {
  Workload& w = TheWorkload();
  if (!w.error.empty()) {
    state.SkipWithError(w.error.c_str());
    return;
  }
  for (auto _ : state) {
    for (Case& c : w.cases) {
      unsigned options = 0;
      ZVectorString args;
      ZActionDescription* found =
          w.table.Recognize(const_cast<unsigned char*>(c.bytes.GetBytePtr()),
                            static_cast<int>(c.bytes.GetLength()), &options, args);
      if (found != c.description) state.SkipWithError("not recognised");
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(w.cases.size()));
}

void Generate(benchmark::State& state) {
  Workload& w = TheWorkload();
  if (!w.error.empty()) {
    state.SkipWithError(w.error.c_str());
    return;
  }
  for (auto _ : state) {
    for (Case& c : w.cases) {
      ZBuffer out;
      if (c.description->Generate(c.options, c.args, out) != 0) {
        state.SkipWithError("not generated");
      }
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(w.cases.size()));
}

BENCHMARK(SampleRecognize)->Name("ZActionTable recognize (sample table)/ours");
BENCHMARK(SampleGenerate)->Name("ZActionDescription generate (sample table)/ours");
BENCHMARK(Recognize)->Name("ZActionTable recognize (96 actions)/ours");
BENCHMARK(Generate)->Name("ZActionDescription generate (96 actions)/ours");

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CommonInitialize();
  benchmark::RunSpecifiedBenchmarks();
  delete &TheWorkload();
  delete &TheSampleWorkload();
  CommonTerminate();
  benchmark::Shutdown();
  return 0;
}
