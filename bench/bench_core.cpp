// Core values beside the standard library: the byte buffer against
// std::string and std::vector<char>, string searching and stripping against
// std::string and hand loops, the red-black tree against std::map.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "orbcmn/zbuffer.h"
#include "orbcmn/zrbtree.h"
#include "orbcmn/zstring.h"

namespace {

// ---- Byte buffer -----------------------------------------------------------

constexpr unsigned kAppendBytes = 1u << 20;  // bytes appended per iteration
constexpr unsigned kRun = 64;                // bytes per run append
constexpr unsigned kDrainBytes = 64u << 10;  // bytes removed from the front per iteration
constexpr unsigned kDrainStep = 16;          // bytes per front removal

const char* Run64() {
  static char run[kRun];
  for (unsigned i = 0; i < kRun; i++) run[i] = static_cast<char>('a' + i % 26);
  return run;
}

void BufferAppendByteOurs(benchmark::State& state) {
  for (auto _ : state) {
    ZBuffer b;
    for (unsigned i = 0; i < kAppendBytes; i++) b += static_cast<char>(i);
    if (b.GetLength() != kAppendBytes) state.SkipWithError("wrong length");
    benchmark::DoNotOptimize(static_cast<const char*>(b));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kAppendBytes);
}

void BufferAppendByteString(benchmark::State& state) {
  for (auto _ : state) {
    std::string s;
    for (unsigned i = 0; i < kAppendBytes; i++) s += static_cast<char>(i);
    benchmark::DoNotOptimize(s.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kAppendBytes);
}

void BufferAppendByteVector(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<char> v;
    for (unsigned i = 0; i < kAppendBytes; i++) v.push_back(static_cast<char>(i));
    benchmark::DoNotOptimize(v.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kAppendBytes);
}

void BufferAppendRunOurs(benchmark::State& state) {
  const char* run = Run64();
  for (auto _ : state) {
    ZBuffer b;
    for (unsigned i = 0; i < kAppendBytes / kRun; i++) b.Append(run, kRun);
    if (b.GetLength() != kAppendBytes) state.SkipWithError("wrong length");
    benchmark::DoNotOptimize(static_cast<const char*>(b));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kAppendBytes);
}

void BufferAppendRunString(benchmark::State& state) {
  const char* run = Run64();
  for (auto _ : state) {
    std::string s;
    for (unsigned i = 0; i < kAppendBytes / kRun; i++) s.append(run, kRun);
    benchmark::DoNotOptimize(s.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kAppendBytes);
}

void BufferAppendRunVector(benchmark::State& state) {
  const char* run = Run64();
  for (auto _ : state) {
    std::vector<char> v;
    for (unsigned i = 0; i < kAppendBytes / kRun; i++) v.insert(v.end(), run, run + kRun);
    benchmark::DoNotOptimize(v.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kAppendBytes);
}

// Each iteration copies a full buffer and then drains it from the front in
// small steps, as a reader consuming a received stream does.
void BufferFrontRemoveOurs(benchmark::State& state) {
  std::string text(kDrainBytes, 'x');
  ZBuffer source(text.data(), kDrainBytes);
  for (auto _ : state) {
    ZBuffer b(source);
    while (!b.IsEmpty()) b.Remove(1, kDrainStep);
    benchmark::DoNotOptimize(static_cast<const char*>(b));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kDrainBytes);
}

void BufferFrontRemoveString(benchmark::State& state) {
  const std::string source(kDrainBytes, 'x');
  for (auto _ : state) {
    std::string s(source);
    while (!s.empty()) s.erase(0, kDrainStep);
    benchmark::DoNotOptimize(s.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kDrainBytes);
}

void BufferFrontRemoveVector(benchmark::State& state) {
  const std::vector<char> source(kDrainBytes, 'x');
  for (auto _ : state) {
    std::vector<char> v(source);
    while (!v.empty()) v.erase(v.begin(), v.begin() + std::min<size_t>(kDrainStep, v.size()));
    benchmark::DoNotOptimize(v.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kDrainBytes);
}

BENCHMARK(BufferAppendByteOurs)->Name("ZBuffer append byte/ours");
BENCHMARK(BufferAppendByteString)->Name("ZBuffer append byte/std::string");
BENCHMARK(BufferAppendByteVector)->Name("ZBuffer append byte/std::vector<char>");
BENCHMARK(BufferAppendRunOurs)->Name("ZBuffer append 64-byte run/ours");
BENCHMARK(BufferAppendRunString)->Name("ZBuffer append 64-byte run/std::string");
BENCHMARK(BufferAppendRunVector)->Name("ZBuffer append 64-byte run/std::vector<char>");
BENCHMARK(BufferFrontRemoveOurs)->Name("ZBuffer remove from front/ours");
BENCHMARK(BufferFrontRemoveString)->Name("ZBuffer remove from front/std::string");
BENCHMARK(BufferFrontRemoveVector)->Name("ZBuffer remove from front/std::vector<char>");

// ---- String ----------------------------------------------------------------

constexpr unsigned kHaystack = 1u << 20;
const char kNeedle[] = "needlework";

// A megabyte of pseudo-random lower-case text with the needle only at the
// end, so every search walks the whole text.
const std::string& Haystack() {
  static const std::string text = [] {
    std::mt19937 rng(7);
    std::string t(kHaystack, ' ');
    for (char& c : t) c = static_cast<char>('a' + rng() % 26);
    std::memcpy(&t[kHaystack - sizeof kNeedle + 1], kNeedle, sizeof kNeedle - 1);
    return t;
  }();
  return text;
}

size_t Expected() { return kHaystack - (sizeof kNeedle - 1); }

void FindOurs(benchmark::State& state) {
  const ZString text(Haystack().data(), kHaystack);
  const ZString needle(kNeedle);
  for (auto _ : state) {
    unsigned pos = text.FindSubstring(needle);
    if (pos != Expected() + 1) state.SkipWithError("wrong position");
    benchmark::DoNotOptimize(pos);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kHaystack);
}

void FindString(benchmark::State& state) {
  const std::string& text = Haystack();
  const std::string needle(kNeedle);
  for (auto _ : state) {
    size_t pos = text.find(needle);
    if (pos != Expected()) state.SkipWithError("wrong position");
    benchmark::DoNotOptimize(pos);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kHaystack);
}

// The loop a programmer writes without a library: try every start.
size_t HandFind(const std::string& text, const std::string& needle, bool caseSensitive) {
  const size_t n = needle.size();
  for (size_t i = 0; i + n <= text.size(); i++) {
    size_t j = 0;
    if (caseSensitive) {
      while (j < n && text[i + j] == needle[j]) j++;
    } else {
      while (j < n && std::tolower(static_cast<unsigned char>(text[i + j])) ==
                          std::tolower(static_cast<unsigned char>(needle[j]))) {
        j++;
      }
    }
    if (j == n) return i;
  }
  return std::string::npos;
}

void FindHand(benchmark::State& state) {
  const std::string& text = Haystack();
  const std::string needle(kNeedle);
  for (auto _ : state) {
    size_t pos = HandFind(text, needle, true);
    if (pos != Expected()) state.SkipWithError("wrong position");
    benchmark::DoNotOptimize(pos);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kHaystack);
}

void FindNoCaseOurs(benchmark::State& state) {
  const ZString text(Haystack().data(), kHaystack);
  const ZString needle("NeedleWork");
  for (auto _ : state) {
    unsigned pos = text.FindSubstring(needle, ZString::eForward, 1, false);
    if (pos != Expected() + 1) state.SkipWithError("wrong position");
    benchmark::DoNotOptimize(pos);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kHaystack);
}

void FindNoCaseHand(benchmark::State& state) {
  const std::string& text = Haystack();
  const std::string needle("NeedleWork");
  for (auto _ : state) {
    size_t pos = HandFind(text, needle, false);
    if (pos != Expected()) state.SkipWithError("wrong position");
    benchmark::DoNotOptimize(pos);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kHaystack);
}

BENCHMARK(FindOurs)->Name("ZString find substring/ours");
BENCHMARK(FindString)->Name("ZString find substring/std::string::find");
BENCHMARK(FindHand)->Name("ZString find substring/hand loop");
BENCHMARK(FindNoCaseOurs)->Name("ZString find substring, any case/ours");
BENCHMARK(FindNoCaseHand)->Name("ZString find substring, any case/hand loop");

// Text padded with 1,000 blanks on each side and 2,000 spread inside.
const std::string& Padded() {
  static const std::string text = [] {
    std::string inner;
    for (int i = 0; i < 2000; i++) inner += "word \t";
    return std::string(1000, ' ') + inner + std::string(500, '\r') + std::string(500, '\n');
  }();
  return text;
}

const char kBlanks[] = " \t\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void StripBothOurs(benchmark::State& state) {
  const ZString source(Padded().data(), static_cast<unsigned>(Padded().size()));
  const ZString set(kBlanks);
  for (auto _ : state) {
    ZString s(source);
    s.Strip(ZString::eBoth, set);
    if (s.GetLength() != 2000 * 6 - 2) state.SkipWithError("wrong length");
    benchmark::DoNotOptimize(static_cast<const char*>(s));
  }
}

void StripBothHand(benchmark::State& state) {
  for (auto _ : state) {
    std::string s(Padded());
    size_t first = 0;
    while (first < s.size() && IsBlank(s[first])) first++;
    size_t last = s.size();
    while (last > first && IsBlank(s[last - 1])) last--;
    s.erase(last);
    s.erase(0, first);
    if (s.size() != 2000 * 6 - 2) state.SkipWithError("wrong length");
    benchmark::DoNotOptimize(s.data());
  }
}

void StripAllOurs(benchmark::State& state) {
  const ZString source(Padded().data(), static_cast<unsigned>(Padded().size()));
  const ZString set(kBlanks);
  for (auto _ : state) {
    ZString s(source);
    s.Strip(ZString::eAll, set);
    if (s.GetLength() != 2000 * 4) state.SkipWithError("wrong length");
    benchmark::DoNotOptimize(static_cast<const char*>(s));
  }
}

void StripAllHand(benchmark::State& state) {
  for (auto _ : state) {
    std::string s(Padded());
    s.erase(std::remove_if(s.begin(), s.end(), IsBlank), s.end());
    if (s.size() != 2000 * 4) state.SkipWithError("wrong length");
    benchmark::DoNotOptimize(s.data());
  }
}

BENCHMARK(StripBothOurs)->Name("ZString strip both ends/ours");
BENCHMARK(StripBothHand)->Name("ZString strip both ends/hand loop");
BENCHMARK(StripAllOurs)->Name("ZString strip all/ours");
BENCHMARK(StripAllHand)->Name("ZString strip all/hand loop");

// ---- Red-black tree --------------------------------------------------------

constexpr unsigned kKeys = 1000000;

// A million distinct keys in random order (an odd multiplier is a
// bijection on 32 bits), and the same keys shuffled again for lookups.
struct Keys {
  std::vector<unsigned long> insert;
  std::vector<unsigned long> lookup;
};

const Keys& TreeKeys() {
  static const Keys keys = [] {
    Keys k;
    for (uint32_t i = 0; i < kKeys; i++) k.insert.push_back(uint32_t(i * 2654435761u + 12345u));
    std::mt19937 rng(11);
    std::shuffle(k.insert.begin(), k.insert.end(), rng);
    k.lookup = k.insert;
    std::shuffle(k.lookup.begin(), k.lookup.end(), rng);
    return k;
  }();
  return keys;
}

void* ValueOf(unsigned long key) { return reinterpret_cast<void*>(uintptr_t(key) * 8); }

ZRedBlackTree* BuildTree() {
  auto* t = new ZRedBlackTree;
  for (unsigned long k : TreeKeys().insert) t->insert(k, ValueOf(k));
  return t;
}

std::map<unsigned long, void*>* BuildMap() {
  auto* m = new std::map<unsigned long, void*>;
  for (unsigned long k : TreeKeys().insert) m->emplace(k, ValueOf(k));
  return m;
}

void TreeInsertOurs(benchmark::State& state) {
  TreeKeys();
  for (auto _ : state) {
    ZRedBlackTree* t = BuildTree();
    state.PauseTiming();
    if (t->size() != kKeys) state.SkipWithError("wrong size");
    delete t;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kKeys);
}

void TreeInsertMap(benchmark::State& state) {
  TreeKeys();
  for (auto _ : state) {
    auto* m = BuildMap();
    state.PauseTiming();
    if (m->size() != kKeys) state.SkipWithError("wrong size");
    delete m;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kKeys);
}

void TreeFindOurs(benchmark::State& state) {
  ZRedBlackTree* t = BuildTree();
  for (auto _ : state) {
    unsigned found = 0;
    for (unsigned long k : TreeKeys().lookup) {
      void* v = nullptr;
      found += t->find(k, v) && v == ValueOf(k);
    }
    if (found != kKeys) state.SkipWithError("key not found");
  }
  delete t;
  state.SetItemsProcessed(int64_t(state.iterations()) * kKeys);
}

void TreeFindMap(benchmark::State& state) {
  auto* m = BuildMap();
  for (auto _ : state) {
    unsigned found = 0;
    for (unsigned long k : TreeKeys().lookup) {
      auto it = m->find(k);
      found += it != m->end() && it->second == ValueOf(k);
    }
    if (found != kKeys) state.SkipWithError("key not found");
  }
  delete m;
  state.SetItemsProcessed(int64_t(state.iterations()) * kKeys);
}

void TreeEraseOurs(benchmark::State& state) {
  TreeKeys();
  for (auto _ : state) {
    state.PauseTiming();
    ZRedBlackTree* t = BuildTree();
    state.ResumeTiming();
    for (unsigned long k : TreeKeys().lookup) t->erase(t->find(k));
    state.PauseTiming();
    if (t->size() != 0) state.SkipWithError("not empty");
    delete t;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kKeys);
}

void TreeEraseMap(benchmark::State& state) {
  TreeKeys();
  for (auto _ : state) {
    state.PauseTiming();
    auto* m = BuildMap();
    state.ResumeTiming();
    for (unsigned long k : TreeKeys().lookup) m->erase(m->find(k));
    state.PauseTiming();
    if (!m->empty()) state.SkipWithError("not empty");
    delete m;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kKeys);
}

BENCHMARK(TreeInsertOurs)->Name("ZRedBlackTree insert 1M/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(TreeInsertMap)->Name("ZRedBlackTree insert 1M/std::map")->Unit(benchmark::kMillisecond);
BENCHMARK(TreeFindOurs)->Name("ZRedBlackTree find 1M/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(TreeFindMap)->Name("ZRedBlackTree find 1M/std::map")->Unit(benchmark::kMillisecond);
BENCHMARK(TreeEraseOurs)->Name("ZRedBlackTree erase 1M/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(TreeEraseMap)->Name("ZRedBlackTree erase 1M/std::map")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
