// Text processing: tokenizing a megabyte of program-like text with ZParser
// against std::regex with the equivalent patterns, and patterns that make a
// backtracking matcher explode, at growing text lengths.
#include <benchmark/benchmark.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "orbcmn/zlist.h"
#include "orbcmn/zparser.h"
#include "orbcmn/zregexp.h"
#include "orbcmn/zstring.h"

namespace {

// ---- Tokenizer ---------------------------------------------------------------

constexpr size_t kTextBytes = 1u << 20;

// Lines such as `count_7 = call(arg, 345, "quoted text");` until a
// megabyte is reached.
const std::string& Source() {
  static const std::string text = [] {
    std::mt19937 rng(3);
    auto word = [&rng] {
      std::string w;
      int n = 1 + rng() % 10;
      for (int i = 0; i < n; i++) w += static_cast<char>('a' + rng() % 26);
      if (rng() % 3 == 0) w += "_" + std::to_string(rng() % 100);
      return w;
    };
    std::string t;
    while (t.size() < kTextBytes) {
      t += word() + " = " + word() + "(" + word() + ", " + std::to_string(rng() % 100000) + ", \"" +
           word() + " " + word() + "\");";
      t += rng() % 4 == 0 ? "\r\n\t" : "\n";
    }
    t.resize(kTextBytes);
    return t;
  }();
  return text;
}

// Token numbers, and the patterns in the order tried. Each pattern marks
// its interesting part as a parameter (ours: "&", std::regex: group 1).
struct Syntax {
  int token;
  const char* ours;
  const char* peer;
};
const Syntax kSyntaxes[] = {
    {1, "^[ \t\r\n]+", "[ \t\r\n]+()"},
    {2, "^&[0-9]+", "([0-9]+)"},
    {3, "^&[a-zA-Z_0-9]+", "([a-zA-Z_0-9]+)"},
    {4, "^\"&[^\"]*\"", "\"([^\"]*)\""},
    {5, "^&[-=;,()/<>:!?%]", "([-=;,()/<>:!?%])"},
    {6, "^&.", "([\\s\\S])"},
};

struct Tally {
  long tokens = 0;
  long parameterBytes = 0;
  long byToken[7] = {};
};

bool operator==(const Tally& a, const Tally& b) {
  if (a.tokens != b.tokens || a.parameterBytes != b.parameterBytes) return false;
  for (int i = 0; i < 7; i++) {
    if (a.byToken[i] != b.byToken[i]) return false;
  }
  return true;
}

Tally TokenizeOurs(const ZParser& parser, const ZString& source) {
  Tally tally;
  ZString text(source);
  ZListString parameters;
  while (!text.IsEmpty()) {
    int token = parser.Parse(text, parameters);
    if (token < 0) break;
    tally.tokens++;
    tally.byToken[token]++;
    for (ZListString::ZIterator it = parameters.begin(); it != parameters.end(); ++it) {
      tally.parameterBytes += (*it).GetLength();
    }
  }
  return tally;
}

Tally TokenizePeer(const std::vector<std::regex>& patterns, const std::string& source) {
  Tally tally;
  std::vector<std::string> parameters;
  const char* p = source.data();
  const char* end = p + source.size();
  std::cmatch m;
  while (p != end) {
    size_t i = 0;
    while (i < patterns.size() &&
           !std::regex_search(p, end, m, patterns[i], std::regex_constants::match_continuous)) {
      i++;
    }
    if (i == patterns.size()) break;
    parameters.clear();
    parameters.push_back(m[1].str());
    tally.tokens++;
    tally.byToken[kSyntaxes[i].token]++;
    tally.parameterBytes += static_cast<long>(parameters.back().size());
    p += m.length(0);
  }
  return tally;
}

std::vector<std::regex> PeerPatterns() {
  std::vector<std::regex> patterns;
  for (const Syntax& s : kSyntaxes) patterns.emplace_back(s.peer, std::regex::optimize);
  return patterns;
}

void TokenizeOursBench(benchmark::State& state) {
  ZParser parser;
  for (const Syntax& s : kSyntaxes) parser.AddSyntax(s.ours, s.token);
  const ZString source(Source().data(), static_cast<unsigned>(Source().size()));
  const Tally expected = TokenizePeer(PeerPatterns(), Source());
  for (auto _ : state) {
    Tally tally = TokenizeOurs(parser, source);
    if (!(tally == expected)) state.SkipWithError("tokens differ from std::regex");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kTextBytes);
  state.counters["tokens"] = static_cast<double>(expected.tokens);
}

void TokenizePeerBench(benchmark::State& state) {
  const std::vector<std::regex> patterns = PeerPatterns();
  for (auto _ : state) {
    Tally tally = TokenizePeer(patterns, Source());
    benchmark::DoNotOptimize(tally.tokens);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kTextBytes);
}

BENCHMARK(TokenizeOursBench)->Name("ZParser tokenize 1 MB/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(TokenizePeerBench)
    ->Name("ZParser tokenize 1 MB/std::regex")
    ->Unit(benchmark::kMillisecond);

// ---- Pathological patterns ---------------------------------------------------

// Text of n characters that never contains an x (nor an X).
std::string NoX(size_t n, char only) {
  std::string t;
  for (size_t i = 0; i < n; i++) t += only != 0 ? only : static_cast<char>('a' + i % 23);
  return t;
}

// Ours: the match must fail and leave the text as it was.
void PathologicalOurs(benchmark::State& state, const char* pattern, char only, size_t n) {
  ZRegExp expression(pattern);
  const std::string plain = NoX(n, only);
  const ZString source(plain.data(), static_cast<unsigned>(plain.size()));
  for (auto _ : state) {
    ZString text(source);
    if (expression == text || text != source) state.SkipWithError("matched a text without x");
  }
}

void PathologicalPeer(benchmark::State& state, const char* pattern, char only, size_t n) {
  std::regex expression(pattern);
  const std::string text = NoX(n, only);
  for (auto _ : state) {
    if (std::regex_search(text, expression, std::regex_constants::match_continuous)) {
      state.SkipWithError("matched a text without x");
    }
  }
}

// Registers the pattern for ours at 20, 500, 1,000 and 2,000 characters and
// for std::regex at 20 only: its backtracking takes seconds from about 40.
void RegisterPathological(const char* name, const char* ours, const char* peer, char only) {
  for (size_t n : {20, 500, 1000, 2000}) {
    std::string base = std::string(name) + ", n=" + std::to_string(n);
    benchmark::RegisterBenchmark((base + "/ours").c_str(), PathologicalOurs, ours, only, n)
        ->Unit(benchmark::kMicrosecond);
    if (n == 20) {
      benchmark::RegisterBenchmark((base + "/std::regex").c_str(), PathologicalPeer, peer, only, n)
          ->Unit(benchmark::kMicrosecond);
    }
  }
}

[[maybe_unused]] const bool kRegistered = [] {
  RegisterPathological("ZRegExp .*.*.*.*.*.*x no x", ".*.*.*.*.*.*x", ".*.*.*.*.*.*x", 0);
  RegisterPathological("ZRegExp a*a*a*a*a*a*x on a...a", "a*a*a*a*a*a*x",
                       "[aA]*[aA]*[aA]*[aA]*[aA]*[aA]*x", 'a');
  RegisterPathological("ZRegExp [a-w]*[a-w]*[a-w]*x no x", "[a-w]*[a-w]*[a-w]*x",
                       "[a-w]*[a-w]*[a-w]*x", 0);
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
