// ZRegExp compiled from a hostile pattern and matched against a hostile
// text. A failed match leaves the text exactly as it was; a successful one
// leaves a tail of it, and every parameter is a piece of what was
// consumed. A copy of the expression matches the same way, and on short
// texts the memoising matcher agrees with plain backtracking.
#include "fuzz_support.h"
#include "fuzz_text_util.h"
#include "orbcmn/zregexp.h"
#include "text/regexp_internal.h"

namespace {

struct Outcome {
  bool matched;
  std::string rest;
  std::vector<std::string> parameters;
  bool operator==(const Outcome& o) const {
    return matched == o.matched && rest == o.rest && parameters == o.parameters;
  }
};

Outcome Match(ZRegExp& re, const std::string& subject) {
  ZString text = Z(subject);
  Outcome out;
  out.matched = re == text;
  out.rest = Str(text);
  if (out.matched) {
    ZListString parameters;
    re.GetParameters(parameters);
    out.parameters = Strings(parameters);
  }
  return out;
}

void CheckOutcome(const Outcome& o, const std::string& subject) {
  if (!o.matched) {
    FUZZ_CHECK(o.rest == subject);
    return;
  }
  FUZZ_CHECK(o.rest.size() <= subject.size());
  size_t consumed = subject.size() - o.rest.size();
  FUZZ_CHECK(subject.compare(consumed, std::string::npos, o.rest) == 0);
  std::string eaten = subject.substr(0, consumed);
  for (const std::string& p : o.parameters) FUZZ_CHECK(p.size() <= eaten.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  FuzzLeakCheck leaks;
  FuzzInput in(data, size);
  uint8_t control = in.Byte();
  bool caret = (control & 1) != 0;
  size_t taken;
  const uint8_t* p = in.Take(in.Byte(), &taken);
  std::string pattern(reinterpret_cast<const char*>(p), taken);
  p = in.Rest(&taken);
  std::string subject(reinterpret_cast<const char*>(p), taken);

  ZRegExp re(Z(pattern), caret);
  Outcome first = Match(re, subject);
  CheckOutcome(first, subject);

  // A copy, and an expression assigned over another, match the same.
  ZRegExp copy(re);
  FUZZ_CHECK(Match(copy, subject) == first);
  ZRegExp assigned("{a|b}*x$", false);
  assigned = re;
  FUZZ_CHECK(Match(assigned, subject) == first);

  // Matching again on the same expression gives the same outcome.
  FUZZ_CHECK(Match(re, subject) == first);

  // Plain backtracking costs time exponential in the repeated atoms: only
  // on short texts and patterns.
  if (subject.size() <= 12 && pattern.size() <= 24) {
    OrbText_SetPlainBacktracking(1);
    Outcome plain = Match(re, subject);
    OrbText_SetPlainBacktracking(0);
    FUZZ_CHECK(plain == first);
  }
  return 0;
}
