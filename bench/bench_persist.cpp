// Persistence: saving and loading the same object graph, an atom table of
// N atoms with enumerations, through ZStreamer and through the serializers
// a C++ programmer would pick instead: cereal (binary archive, objects
// shared through std::shared_ptr and tracked) and Boost.Serialization
// (binary archive, pointer tracking). Writing and reading our very bytes
// with one fwrite and one fread is kept as the floor no object format
// reaches. Every case checks what it saved or loaded.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <boost/archive/binary_iarchive.hpp>
#include <boost/archive/binary_oarchive.hpp>
#include <boost/serialization/shared_ptr.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/vector.hpp>
#include <cereal/archives/binary.hpp>
#include <cereal/types/memory.hpp>
#include <cereal/types/string.hpp>
#include <cereal/types/vector.hpp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "orbcmn/orbcmn.h"

namespace peer {

// The atom table's graph in plain C++: every element is shared through a
// std::shared_ptr, as the library's elements are reached by pointer, and an
// argument record refers to one of its atom's enumerations.
struct Item {
  uint32_t value = 0;
  std::string name;
};
struct Enum {
  uint16_t size = 0, operation = 0;
  std::vector<std::shared_ptr<Item>> items;
};
struct Multi {
  uint16_t type = 0;
  std::shared_ptr<Enum> enumeration;
};
struct Atom {
  uint16_t atom = 0, type0 = 0, flags = 0;
  std::string name;
  std::vector<std::shared_ptr<Enum>> enums;
  std::vector<std::shared_ptr<Multi>> multis;
};
struct Protocol {
  uint16_t protocol = 0;
  std::vector<std::shared_ptr<Atom>> atoms;
};
struct Class {
  uint16_t cls = 0;
  std::vector<std::shared_ptr<Protocol>> protocols;
};
struct Table {
  std::vector<std::shared_ptr<Class>> classes;
};

// One member list per type, for both libraries: cereal finds serialize(ar,
// x) by argument-dependent lookup, Boost serialize(ar, x, version) in its
// own namespace.
template <class A>
void Members(A& ar, Item& x) {
  ar& x.value& x.name;
}
template <class A>
void Members(A& ar, Enum& x) {
  ar& x.size& x.operation& x.items;
}
template <class A>
void Members(A& ar, Multi& x) {
  ar& x.type& x.enumeration;
}
template <class A>
void Members(A& ar, Atom& x) {
  ar& x.atom& x.type0& x.flags& x.name& x.enums& x.multis;
}
template <class A>
void Members(A& ar, Protocol& x) {
  ar& x.protocol& x.atoms;
}
template <class A>
void Members(A& ar, Class& x) {
  ar& x.cls& x.protocols;
}
template <class A>
void Members(A& ar, Table& x) {
  ar& x.classes;
}

// The graph's types, each given a serialize function for cereal here and
// for Boost below.
#define PEER_TYPES(X) X(Item) X(Enum) X(Multi) X(Atom) X(Protocol) X(Class) X(Table)

#define PEER_SERIALIZE(T)       \
  template <class A>            \
  void serialize(A& ar, T& x) { \
    Members(ar, x);             \
  }
PEER_TYPES(PEER_SERIALIZE)
#undef PEER_SERIALIZE

}  // namespace peer

namespace boost {
namespace serialization {
#define PEER_SERIALIZE(T)                       \
  template <class A>                            \
  void serialize(A& ar, peer::T& x, unsigned) { \
    peer::Members(ar, x);                       \
  }
PEER_TYPES(PEER_SERIALIZE)
#undef PEER_SERIALIZE
}  // namespace serialization
}  // namespace boost
#undef PEER_TYPES

namespace {

constexpr int kClasses = 5;
constexpr int kAtomsPerProtocol = 1000;
const char* const kItemNames[4] = {"none", "first", "second", "third"};
const uint32_t kItemValues[4] = {0, 1, 2, 4};

// The graph of n atoms (a multiple of 5000): 5 classes of n / 5000
// protocols of 1000 atoms. Every atom has a name and an argument 0 type;
// every fourth also has an enumeration of four items (bit flags, single
// values or bit fields in turn) and an argument record referring to it.
// Visit(c, p, a, name) is called for every atom in file order.
template <class Visit>
void ForEachAtom(int n, Visit visit) {
  char name[32];
  for (int c = 1; c <= kClasses; c++) {
    for (int p = 1; p <= n / (kClasses * kAtomsPerProtocol); p++) {
      for (int a = 0; a < kAtomsPerProtocol; a++) {
        std::snprintf(name, sizeof name, "Atom_%d_%d_%d", c, p, a);
        visit(c, p, a, name);
      }
    }
  }
}

ZAtomTable* BuildTable(int n) {
  auto* table = new ZAtomTable;
  ForEachAtom(n, [&](int c, int p, int a, const char* name) {
    ZAtom* atom = table->AddAtomA(static_cast<unsigned short>(c), static_cast<unsigned short>(p),
                                  static_cast<unsigned short>(a), ZString(name));
    atom->AddType(static_cast<unsigned short>(1 + a % 7), nullptr);
    atom->AddFlag(static_cast<unsigned short>(a & 3));
    if (a % 4 == 0) {
      ZEnum* e = atom->AddEnum(2, static_cast<unsigned short>(1 + (a / 4) % 3));
      for (int i = 0; i < 4; i++) e->AddItem(ZString(kItemNames[i]), kItemValues[i]);
      atom->AddType(3, e);
    }
  });
  return table;
}

// The same graph for the peers; the atom's name is lower-cased as the
// library's is.
std::unique_ptr<peer::Table> BuildPeer(int n) {
  auto table = std::make_unique<peer::Table>();
  ForEachAtom(n, [&](int c, int p, int a, const char* name) {
    if (table->classes.size() < static_cast<size_t>(c)) {
      table->classes.push_back(std::make_shared<peer::Class>());
      table->classes.back()->cls = static_cast<uint16_t>(c);
    }
    peer::Class& cls = *table->classes.back();
    if (cls.protocols.size() < static_cast<size_t>(p)) {
      cls.protocols.push_back(std::make_shared<peer::Protocol>());
      cls.protocols.back()->protocol = static_cast<uint16_t>(p);
    }
    auto atom = std::make_shared<peer::Atom>();
    atom->atom = static_cast<uint16_t>(a);
    atom->type0 = static_cast<uint16_t>(1 + a % 7);
    atom->flags = static_cast<uint16_t>(a & 3);
    atom->name = name;
    for (char& ch : atom->name)
      ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (a % 4 == 0) {
      auto e = std::make_shared<peer::Enum>();
      e->size = 2;
      e->operation = static_cast<uint16_t>(1 + (a / 4) % 3);
      for (int i = 0; i < 4; i++) {
        e->items.push_back(std::make_shared<peer::Item>(peer::Item{kItemValues[i], kItemNames[i]}));
      }
      atom->enums.push_back(e);
      atom->multis.push_back(std::make_shared<peer::Multi>(peer::Multi{3, e}));
    }
    cls.protocols.back()->atoms.push_back(std::move(atom));
  });
  return table;
}

// The name the last atom of a graph of n atoms has after loading.
std::string LastName(int n) {
  return "atom_5_" + std::to_string(n / (kClasses * kAtomsPerProtocol)) + "_999";
}

bool PeerLoadedWhole(const peer::Table& t, int n) {
  if (t.classes.size() != kClasses || t.classes.back()->protocols.empty()) return false;
  const peer::Atom& last = *t.classes.back()->protocols.back()->atoms.back();
  const peer::Atom& withEnum = *t.classes.back()->protocols.back()->atoms.front();
  return last.name == LastName(n) && withEnum.multis.size() == 1 &&
         withEnum.multis[0]->enumeration == withEnum.enums[0];
}

// A scratch directory for the files, removed at exit.
class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/orbbenchXXXXXX";
    if (mkdtemp(pattern) != nullptr) dir_ = pattern;
  }
  ~Scratch() {
    for (const char* name : {"table.bin", "cereal.bin", "boost.bin"}) {
      std::remove((dir_ + "/" + name).c_str());
    }
    if (!dir_.empty()) rmdir(dir_.c_str());
  }
  std::string Path(const char* name = "table.bin") const { return dir_ + "/" + name; }

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

// The bytes of the saved table of n atoms, made once per n.
const std::string& SavedBytes(int n) {
  static std::map<int, std::string> saved;
  auto it = saved.find(n);
  if (it != saved.end()) return it->second;
  ZAtomTable* table = BuildTable(n);
  bool ok = SaveTable(*table, TheScratch().Path());
  delete table;
  return saved[n] = ok ? ReadAll(TheScratch().Path()) : std::string();
}

void Count(benchmark::State& state, int n) {
  state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

void SaveOurs(benchmark::State& state, int n) {
  const std::string& expected = SavedBytes(n);
  ZAtomTable* table = BuildTable(n);
  for (auto _ : state) {
    if (!SaveTable(*table, TheScratch().Path())) state.SkipWithError("save failed");
  }
  if (ReadAll(TheScratch().Path()) != expected) state.SkipWithError("saved other bytes");
  delete table;
  Count(state, n);
}

void LoadOurs(benchmark::State& state, int n) {
  WriteAll(TheScratch().Path(), SavedBytes(n));
  for (auto _ : state) {
    ZAtomTable* table = LoadTable(TheScratch().Path());
    state.PauseTiming();
    const ZAtom* last = table == nullptr
                            ? nullptr
                            : table->GetAtom(kClasses, n / (kClasses * kAtomsPerProtocol), 999);
    if (last == nullptr || !(last->GetName() == LastName(n).c_str())) {
      state.SkipWithError("loaded another table");
    }
    delete table;
    state.ResumeTiming();
  }
  Count(state, n);
}

template <class Archive, class Stream>
void SavePeer(const peer::Table& table, const std::string& path) {
  Stream out(path, std::ios::binary);
  Archive archive(out);
  archive << table;
}

template <class Archive, class Stream>
std::unique_ptr<peer::Table> LoadPeer(const std::string& path) {
  auto table = std::make_unique<peer::Table>();
  Stream in(path, std::ios::binary);
  Archive archive(in);
  archive >> *table;
  return table;
}

// Saves the peer's graph, then loads it back to check it.
template <class OArchive, class IArchive>
void SaveWith(benchmark::State& state, int n, const char* file) {
  std::unique_ptr<peer::Table> table = BuildPeer(n);
  const std::string path = TheScratch().Path(file);
  for (auto _ : state) SavePeer<OArchive, std::ofstream>(*table, path);
  table.reset();
  if (!PeerLoadedWhole(*LoadPeer<IArchive, std::ifstream>(path), n)) {
    state.SkipWithError("saved another graph");
  }
  Count(state, n);
}

template <class OArchive, class IArchive>
void LoadWith(benchmark::State& state, int n, const char* file) {
  const std::string path = TheScratch().Path(file);
  SavePeer<OArchive, std::ofstream>(*BuildPeer(n), path);
  for (auto _ : state) {
    std::unique_ptr<peer::Table> table = LoadPeer<IArchive, std::ifstream>(path);
    state.PauseTiming();
    if (!PeerLoadedWhole(*table, n)) state.SkipWithError("loaded another graph");
    table.reset();
    state.ResumeTiming();
  }
  Count(state, n);
}

void SaveCereal(benchmark::State& state, int n) {
  SaveWith<cereal::BinaryOutputArchive, cereal::BinaryInputArchive>(state, n, "cereal.bin");
}
void LoadCereal(benchmark::State& state, int n) {
  LoadWith<cereal::BinaryOutputArchive, cereal::BinaryInputArchive>(state, n, "cereal.bin");
}
void SaveBoost(benchmark::State& state, int n) {
  SaveWith<boost::archive::binary_oarchive, boost::archive::binary_iarchive>(state, n, "boost.bin");
}
void LoadBoost(benchmark::State& state, int n) {
  LoadWith<boost::archive::binary_oarchive, boost::archive::binary_iarchive>(state, n, "boost.bin");
}

void SaveFwrite(benchmark::State& state, int n) {
  const std::string& bytes = SavedBytes(n);
  for (auto _ : state) {
    FILE* f = std::fopen(TheScratch().Path().c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
      state.SkipWithError("fwrite failed");
    }
    if (f != nullptr) std::fclose(f);
  }
  Count(state, n);
}

void LoadFread(benchmark::State& state, int n) {
  const std::string& bytes = SavedBytes(n);
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
  Count(state, n);
}

void BuildInMemory(benchmark::State& state, int n) {
  for (auto _ : state) {
    ZAtomTable* table = BuildTable(n);
    state.PauseTiming();
    delete table;
    state.ResumeTiming();
  }
  Count(state, n);
}

typedef void (*Case)(benchmark::State&, int);

void Register(const char* op, int n, const char* label, const char* impl, Case run) {
  std::string name = std::string("ZStreamer ") + op + " " + label + " atoms/" + impl;
  benchmark::RegisterBenchmark(name.c_str(), run, n)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
  const std::pair<int, const char*> sizes[] = {{10000, "10k"}, {100000, "100k"}, {1000000, "1M"}};
  for (auto [n, label] : sizes) {
    Register("save", n, label, "ours", SaveOurs);
    Register("save", n, label, "cereal", SaveCereal);
    Register("save", n, label, "Boost", SaveBoost);
    Register("save", n, label, "one fwrite", SaveFwrite);
    Register("load", n, label, "ours", LoadOurs);
    Register("load", n, label, "cereal", LoadCereal);
    Register("load", n, label, "Boost", LoadBoost);
    Register("load", n, label, "one fread", LoadFread);
    if (n <= 100000) Register("load", n, label, "build in memory", BuildInMemory);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
