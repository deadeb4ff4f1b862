// Persistence: saving and loading an atom table of 50,000 atoms with
// enumerations through ZStreamer, against writing and reading the very same
// bytes with one fwrite and one fread (the limit of any file format), and
// against building the same table in memory alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "orbcmn/orbcmn.h"

namespace {

constexpr int kClasses = 5;
constexpr int kProtocols = 10;
constexpr int kAtomsPerProtocol = 1000;  // 50,000 atoms in all

// Every atom has a name and argument 0 type; every fourth also has an
// enumeration of four items (bit flags, single values or bit fields in
// turn) and an argument record referring to it.
ZAtomTable* BuildTable() {
  auto* table = new ZAtomTable;
  char name[32];
  for (int c = 1; c <= kClasses; c++) {
    for (int p = 1; p <= kProtocols; p++) {
      for (int a = 0; a < kAtomsPerProtocol; a++) {
        std::snprintf(name, sizeof name, "Atom_%d_%d_%d", c, p, a);
        ZAtom* atom =
            table->AddAtomA(static_cast<unsigned short>(c), static_cast<unsigned short>(p),
                            static_cast<unsigned short>(a), ZString(name));
        atom->AddType(static_cast<unsigned short>(1 + a % 7), nullptr);
        atom->AddFlag(static_cast<unsigned short>(a & 3));
        if (a % 4 == 0) {
          ZEnum* e = atom->AddEnum(2, static_cast<unsigned short>(1 + (a / 4) % 3));
          e->AddItem(ZString("none"), 0);
          e->AddItem(ZString("first"), 1);
          e->AddItem(ZString("second"), 2);
          e->AddItem(ZString("third"), 4);
          atom->AddType(3, e);
        }
      }
    }
  }
  return table;
}

// A scratch directory for the files, removed at exit.
class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/orbbenchXXXXXX";
    if (mkdtemp(pattern) != nullptr) dir_ = pattern;
  }
  ~Scratch() {
    std::remove(Path().c_str());
    if (!dir_.empty()) rmdir(dir_.c_str());
  }
  std::string Path() const { return dir_ + "/table.bin"; }

 private:
  std::string dir_;
};

Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

bool SaveTable(ZAtomTable& table, const std::string& path) {
  ZFile file;
  if (!file.Open(path.c_str(), ZFile::eWrite, ZFile::eBinary)) return false;
  bool saved;
  {
    ZStreamer s(&file, true);
    saved = ZAtomTable::Save(s, table) && !s.Error();
  }
  file.Close();
  return saved;
}

ZAtomTable* LoadTable(const std::string& path) {
  ZFile file;
  if (!file.Open(path.c_str(), ZFile::eRead, ZFile::eBinary)) return nullptr;
  ZAtomTable* table = nullptr;
  bool loaded;
  {
    ZStreamer s(&file, false);
    loaded = ZAtomTable::Load(s, table);
  }
  file.Close();
  if (!loaded) {
    delete table;
    return nullptr;
  }
  return table;
}

std::string ReadAll(const std::string& path) {
  std::string bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
  std::fclose(f);
  return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// The bytes of the saved table, made once.
const std::string& SavedBytes() {
  static const std::string bytes = [] {
    ZAtomTable* table = BuildTable();
    bool saved = SaveTable(*table, TheScratch().Path());
    delete table;
    return saved ? ReadAll(TheScratch().Path()) : std::string();
  }();
  return bytes;
}

void SaveOurs(benchmark::State& state) {
  const std::string& expected = SavedBytes();
  ZAtomTable* table = BuildTable();
  for (auto _ : state) {
    if (!SaveTable(*table, TheScratch().Path())) state.SkipWithError("save failed");
  }
  if (ReadAll(TheScratch().Path()) != expected) state.SkipWithError("saved other bytes");
  delete table;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(expected.size()));
}

void SaveFwrite(benchmark::State& state) {
  const std::string& bytes = SavedBytes();
  for (auto _ : state) {
    FILE* f = std::fopen(TheScratch().Path().c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
      state.SkipWithError("fwrite failed");
    }
    if (f != nullptr) std::fclose(f);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void LoadOurs(benchmark::State& state) {
  const std::string& bytes = SavedBytes();
  WriteAll(TheScratch().Path(), bytes);
  for (auto _ : state) {
    ZAtomTable* table = LoadTable(TheScratch().Path());
    state.PauseTiming();
    if (table == nullptr) state.SkipWithError("load failed");
    const ZAtom* last = table == nullptr ? nullptr : table->GetAtom(kClasses, kProtocols, 999);
    if (last == nullptr || !(last->GetName() == "atom_5_10_999")) {
      state.SkipWithError("loaded another table");
    }
    delete table;
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void LoadFread(benchmark::State& state) {
  const std::string& bytes = SavedBytes();
  WriteAll(TheScratch().Path(), bytes);
  std::vector<char> area(bytes.size());
  for (auto _ : state) {
    FILE* f = std::fopen(TheScratch().Path().c_str(), "rb");
    if (f == nullptr || std::fread(area.data(), 1, area.size(), f) != area.size()) {
      state.SkipWithError("fread failed");
    }
    if (f != nullptr) std::fclose(f);
    benchmark::DoNotOptimize(area.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void LoadBuild(benchmark::State& state) {
  for (auto _ : state) {
    ZAtomTable* table = BuildTable();
    state.PauseTiming();
    delete table;
    state.ResumeTiming();
  }
}

BENCHMARK(SaveOurs)->Name("ZStreamer save 50k atoms/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(SaveFwrite)->Name("ZStreamer save 50k atoms/one fwrite")->Unit(benchmark::kMillisecond);
BENCHMARK(LoadOurs)->Name("ZStreamer load 50k atoms/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(LoadFread)->Name("ZStreamer load 50k atoms/one fread")->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBuild)
    ->Name("ZStreamer load 50k atoms/build in memory")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
