// ZString from hostile text: number conversions against the 32-bit strtol
// and strtoul rules, case mapping, searching, stripping, line extraction
// and formatting into the fixed work area.
#include <errno.h>

#include <string>

#include "fuzz_support.h"
#include "orbcmn/zstring.h"

namespace {

// The data bytes; an empty text when the buffer has no block.
const char* Data(const ZBuffer& b) {
  const char* p = b;
  return p == nullptr ? "" : p;
}

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

// The values a 32-bit strtol and strtoul give for the text, read from the
// 64-bit functions of the C library: base 16 when the text ends in X or x
// (two characters at least), automatic base otherwise.
void Reference(const std::string& text, int32_t* asLong, uint32_t* asUnsigned) {
  int base = text.size() >= 2 && (text.back() == 'x' || text.back() == 'X') ? 16 : 0;
  const char* p = text.c_str();
  errno = 0;
  long long s = strtoll(p, nullptr, base);
  *asLong = s > INT32_MAX ? INT32_MAX : s < INT32_MIN ? INT32_MIN : static_cast<int32_t>(s);

  errno = 0;
  char* end = nullptr;
  unsigned long long u = strtoull(p, &end, base);
  bool overflow = errno == ERANGE;
  const char* q = p;
  while (*q == ' ' || (*q >= '\t' && *q <= '\r')) q++;
  bool negative = *q == '-' && end != p;
  unsigned long long magnitude = negative ? 0ull - u : u;
  if (overflow || magnitude > UINT32_MAX) {
    *asUnsigned = UINT32_MAX;
  } else {
    *asUnsigned =
        negative ? static_cast<uint32_t>(0ull - magnitude) : static_cast<uint32_t>(magnitude);
  }
}

void CheckConversions(const ZString& s, const std::string& text) {
  long l = s;
  int i = s;
  unsigned long ul = s;
  unsigned int ui = s;
  FUZZ_CHECK(l >= INT32_MIN && l <= INT32_MAX);
  FUZZ_CHECK(l == i);
  FUZZ_CHECK(ul <= UINT32_MAX);
  FUZZ_CHECK(ul == ui);
  int32_t expectLong;
  uint32_t expectUnsigned;
  Reference(text, &expectLong, &expectUnsigned);
  FUZZ_CHECK(l == expectLong);
  FUZZ_CHECK(ul == expectUnsigned);
}

void CheckCase(const ZString& s) {
  ZString upper(s);
  upper.MakeUpper();
  ZString lower(s);
  lower.MakeLower();
  FUZZ_CHECK(upper.GetLength() == s.GetLength() && lower.GetLength() == s.GetLength());
  const char* p = Data(s);
  for (unsigned int k = 0; k < s.GetLength(); k++) {
    char c = p[k];
    FUZZ_CHECK(Data(upper)[k] == (IsLower(c) ? c - 'a' + 'A' : c));
    FUZZ_CHECK(Data(lower)[k] == (IsUpper(c) ? c - 'A' + 'a' : c));
  }
}

// A case-sensitive hit is also a hit without case sensitivity, no later;
// both lie within the string.
void CheckSearch(const ZString& s, const ZString& sub, unsigned int start) {
  for (int dir = 0; dir < 2; dir++) {
    ZString::EDirection d = static_cast<ZString::EDirection>(dir);
    unsigned int exact = s.FindSubstring(sub, d, start, true);
    unsigned int loose = s.FindSubstring(sub, d, start, false);
    FUZZ_CHECK(exact == 0 || exact + sub.GetLength() <= s.GetLength() + 1);
    FUZZ_CHECK(loose == 0 || loose + sub.GetLength() <= s.GetLength() + 1);
    if (exact != 0) FUZZ_CHECK(loose != 0 && (dir == 0 ? loose <= exact : loose >= exact));
  }
  unsigned int at = s.FindChar(ZString::eInSet, sub, ZString::eForward, start);
  FUZZ_CHECK(at == 0 || (at >= start && at <= s.GetLength()));
  at = s.FindChar(ZString::eNotInSet, sub, ZString::eBackward, start);
  FUZZ_CHECK(at == 0 || at <= start);
}

void CheckStrip(const ZString& s) {
  ZString set(" \t");
  ZString both(s);
  both.Strip(ZString::eBoth, set);
  if (both.GetLength() > 0) {
    char first = Data(both)[0];
    char last = Data(both)[both.GetLength() - 1];
    FUZZ_CHECK(first != ' ' && first != '\t' && last != ' ' && last != '\t');
  }
  ZString all(s);
  all.Strip(ZString::eAll, set);
  for (unsigned int k = 0; k < all.GetLength(); k++) {
    FUZZ_CHECK(Data(all)[k] != ' ' && Data(all)[k] != '\t');
  }
  FUZZ_CHECK(all.GetLength() <= both.GetLength() && both.GetLength() <= s.GetLength());
}

// Every line comes out without line ends, and the loop ends.
void CheckLines(const ZString& s) {
  ZString rest(s);
  unsigned int total = 0;
  for (unsigned int round = 0; rest.GetLength() > 0; round++) {
    FUZZ_CHECK(round <= s.GetLength());
    ZString line = rest.ExtractLine();
    for (unsigned int k = 0; k < line.GetLength(); k++) {
      FUZZ_CHECK(Data(line)[k] != '\r' && Data(line)[k] != '\n');
    }
    total += line.GetLength();
  }
  FUZZ_CHECK(total <= s.GetLength());
}

// %s output stops at the first zero byte and at 1023 characters.
void CheckFormat(const std::string& text) {
  ZString out;
  out.Format("%s", text.c_str());
  size_t expected = strlen(text.c_str());
  if (expected > 1023) expected = 1023;
  FUZZ_CHECK(out.GetLength() == expected);
  FUZZ_CHECK(memcmp(Data(out), text.c_str(), expected) == 0);
  out.FormatAdd("%s%s", text.c_str(), text.c_str());
  FUZZ_CHECK(out.GetLength() <= expected + 1023);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLeakCheck leaks;
  FuzzInput in(data, size);
  unsigned int start = in.Byte();
  size_t subLength = in.Byte() % 8;
  size_t taken;
  const uint8_t* sub = in.Take(subLength, &taken);
  ZString pattern(reinterpret_cast<const char*>(sub), static_cast<unsigned int>(taken));
  const uint8_t* rest = in.Rest(&taken);
  std::string text(reinterpret_cast<const char*>(rest), taken);
  ZString s(text.data(), static_cast<unsigned int>(text.size()));

  CheckConversions(s, text);
  CheckCase(s);
  CheckSearch(s, pattern, start);
  CheckStrip(s);
  CheckLines(s);
  CheckFormat(text);
  return 0;
}
