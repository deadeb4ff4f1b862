// ZParser with up to four hostile syntaxes, run as a tokenizing loop over
// a hostile text. Every token comes from the first syntax that matches;
// when none does, the text and the parameters are left as they were.
#include <memory>

#include "fuzz_support.h"
#include "fuzz_text_util.h"
#include "orbcmn/zparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  FuzzLeakCheck leaks;
  FuzzInput in(data, size);
  size_t count = in.Byte() % 5;
  std::vector<std::string> patterns;
  for (size_t i = 0; i < count; i++) {
    size_t taken;
    const uint8_t* p = in.Take(in.Byte() % 32, &taken);
    patterns.push_back(std::string(reinterpret_cast<const char*>(p), taken));
  }
  // One match may cost the square of the text's length and the loop below
  // runs once per token, so the text is kept short enough for the whole to
  // stay fast.
  size_t taken;
  const uint8_t* p = in.Rest(&taken);
  if (taken > 256) taken = 256;
  ZString text(reinterpret_cast<const char*>(p), static_cast<unsigned int>(taken));

  // The parser holds copies of standalone syntaxes (odd tokens) or syntaxes
  // it built itself (even tokens); the standalone ones serve as witnesses.
  ZParser parser;
  std::vector<std::unique_ptr<ZSyntax>> witnesses;
  for (size_t i = 0; i < patterns.size(); i++) {
    std::string pattern = patterns[i].c_str();  // the parser takes C texts
    witnesses.emplace_back(new ZSyntax(pattern.c_str(), static_cast<int>(i)));
    if (i % 2 == 1) {
      parser.AddSyntax(*witnesses.back());
    } else {
      parser.AddSyntax(pattern.c_str(), static_cast<int>(i));
    }
  }

  ZListString parameters;
  parameters.push_back(ZString("sentinel"));
  for (size_t round = 0; round <= taken + 1; round++) {
    std::string before = Str(text);
    std::vector<std::string> paramsBefore = Strings(parameters);
    int token = parser.Parse(text, parameters);
    if (token == -1) {
      FUZZ_CHECK(Str(text) == before);
      FUZZ_CHECK(Strings(parameters) == paramsBefore);
      // No syntax matches the text.
      for (auto& w : witnesses) {
        ZString t = Z(before);
        ZListString ps;
        FUZZ_CHECK(!w->Parse(t, ps));
      }
      break;
    }
    FUZZ_CHECK(token >= 0 && static_cast<size_t>(token) < witnesses.size());
    // The syntaxes before the winner fail; the winner leaves the same text
    // and parameters as the parser's copy did.
    for (int i = 0; i <= token; i++) {
      ZString t = Z(before);
      ZListString ps;
      bool matched = witnesses[static_cast<size_t>(i)]->Parse(t, ps);
      FUZZ_CHECK(matched == (i == token));
      if (matched) {
        FUZZ_CHECK(Str(t) == Str(text));
        FUZZ_CHECK(Strings(ps) == Strings(parameters));
      }
    }
    // A match that consumes nothing would repeat for ever.
    if (text.GetLength() == before.size()) break;
  }
  return 0;
}
