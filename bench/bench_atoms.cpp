// Atom streams: a million atoms of mixed argument forms built with
// ZAtomBuffer, beside the same bytes encoded by hand into a std::string.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "orbcmn/zatombuffer.h"

namespace {

constexpr unsigned kAtoms = 1000000;
const char kText[] = "fieldset";  // 8 data bytes

void BuildOurs(ZAtomBuffer& b) {
  for (unsigned i = 0; i < kAtoms; i++) {
    int protocol = static_cast<int>(i % 128);
    int atom = static_cast<int>(i & 0xFF);
    uint32_t v = i * 2654435761u;
    switch (i % 6) {
      case 0:
        b.AppendAtom(protocol, atom);
        break;
      case 1:
        b.AppendAtom(protocol, atom, static_cast<unsigned short>(i));
        break;
      case 2:
        b.AppendAtom(protocol, atom, static_cast<unsigned long>(v));
        break;
      case 3:
        b.AppendAtom(protocol, atom, static_cast<long>(static_cast<int32_t>(v) >> (i % 24)));
        break;
      case 4:
        b.AppendAtom(protocol, atom, kText, 8);
        break;
      default:
        b.AppendAtomColor(protocol, atom, v & 0xFFFFFF);
        break;
    }
  }
}

// The encoding written out directly, as a programmer without the library
// would: header, length field, data, numbers most significant byte first.
class HandStream {
 public:
  void Atom(int protocol, int atom, const unsigned char* data, unsigned n) {
    if (protocol > 31) {
      out_ += static_cast<char>(((protocol >> 2) & 0xF8) | 0xE0);
      out_ += static_cast<char>(protocol & 0x1F);
    } else {
      out_ += static_cast<char>(protocol);
    }
    out_ += static_cast<char>(atom);
    if (n >= 128) out_ += static_cast<char>((n >> 8) | 0x80);
    out_ += static_cast<char>(n & 0xFF);
    out_.append(reinterpret_cast<const char*>(data), n);
  }
  void Unsigned(int protocol, int atom, uint32_t v) {
    unsigned char d[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    unsigned n = v < 256 ? 1 : v < 65536 ? 2 : 4;
    Atom(protocol, atom, d + 4 - n, n);
  }
  void Signed(int protocol, int atom, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    unsigned char d[4] = {uint8_t(u >> 24), uint8_t(u >> 16), uint8_t(u >> 8), uint8_t(u)};
    unsigned n = (v >= -127 && v <= 126) ? 1 : (v >= -32767 && v <= 32766) ? 2 : 4;
    Atom(protocol, atom, d + 4 - n, n);
  }
  std::string& bytes() { return out_; }

 private:
  std::string out_;
};

void BuildHand(HandStream& s) {
  for (unsigned i = 0; i < kAtoms; i++) {
    int protocol = static_cast<int>(i % 128);
    int atom = static_cast<int>(i & 0xFF);
    uint32_t v = i * 2654435761u;
    switch (i % 6) {
      case 0:
        s.Atom(protocol, atom, nullptr, 0);
        break;
      case 1:
        s.Unsigned(protocol, atom, i & 0xFFFF);
        break;
      case 2:
        s.Unsigned(protocol, atom, v);
        break;
      case 3:
        s.Signed(protocol, atom, static_cast<int32_t>(v) >> (i % 24));
        break;
      case 4:
        s.Atom(protocol, atom, reinterpret_cast<const unsigned char*>(kText), 8);
        break;
      default: {
        unsigned char rgb[3] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)};
        s.Atom(protocol, atom, rgb, 3);
        break;
      }
    }
  }
}

void AtomStreamOurs(benchmark::State& state) {
  HandStream expected;
  BuildHand(expected);
  for (auto _ : state) {
    ZAtomBuffer b;
    BuildOurs(b);
    state.PauseTiming();
    if (b.GetLength() != expected.bytes().size() ||
        std::memcmp(static_cast<const char*>(b), expected.bytes().data(), b.GetLength()) != 0) {
      state.SkipWithError("bytes differ from the hand encoding");
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kAtoms);
}

void AtomStreamHand(benchmark::State& state) {
  for (auto _ : state) {
    HandStream s;
    BuildHand(s);
    benchmark::DoNotOptimize(s.bytes().data());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kAtoms);
}

BENCHMARK(AtomStreamOurs)->Name("ZAtomBuffer 1M atoms/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(AtomStreamHand)
    ->Name("ZAtomBuffer 1M atoms/hand std::string")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
