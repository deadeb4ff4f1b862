// ZString: byte-wise text operations on top of ZBuffer. Character classes
// and case are decided here on raw bytes, never through the C locale.
#include "orbcmn/zstring.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <type_traits>

#include "lib/alloc.h"

ORBCMN_DEFINE_ALLOC(ZString)

namespace {

bool IsDecimal(char c) { return c >= '0' && c <= '9'; }

bool IsHex(char c) { return IsDecimal(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char ToLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Value of c as a digit in bases up to 36; 36 for anything else.
int DigitValue(char c) {
  if (IsDecimal(c)) return c - '0';
  if (IsLetter(c)) return ToLower(c) - 'a' + 10;
  return 36;
}

// A number read the way a 32-bit strtol/strtoul reads it: leading blanks, a
// sign, an optional 0x prefix (base 0 or 16), an automatic base (base 0).
// The magnitude saturates once it leaves 32 bits.
struct Number {
  bool negative = false;
  bool overflow = false;
  std::uint32_t magnitude = 0;
};

Number ReadNumber(const char* p, unsigned int n, int base) {
  Number result;
  unsigned int i = 0;
  while (i < n && IsBlank(p[i])) ++i;
  if (i < n && (p[i] == '+' || p[i] == '-')) result.negative = p[i++] == '-';
  bool prefixed = i + 2 < n && p[i] == '0' && ToLower(p[i + 1]) == 'x' && IsHex(p[i + 2]);
  if ((base == 0 || base == 16) && prefixed) {
    i += 2;
    base = 16;
  } else if (base == 0) {
    base = i < n && p[i] == '0' ? 8 : 10;
  }
  std::uint64_t value = 0;
  for (; i < n; ++i) {
    int digit = DigitValue(p[i]);
    if (digit >= base) break;
    value = value * base + digit;
    if (value > UINT32_MAX) {
      result.overflow = true;
      value = UINT32_MAX;
    }
  }
  result.magnitude = static_cast<std::uint32_t>(value);
  return result;
}

// 1-based comparison of n bytes with strncmp semantics (stops at a zero
// byte in either text); without case sensitivity A-Z equal a-z.
bool SameText(const char* a, const char* b, unsigned int n, bool caseSensitive) {
  for (unsigned int k = 0; k < n; ++k) {
    char x = caseSensitive ? a[k] : ToLower(a[k]);
    char y = caseSensitive ? b[k] : ToLower(b[k]);
    if (x != y) return false;
    if (x == 0) return true;
  }
  return true;
}

// The n bytes of a set as a table of 256 entries, built once per call:
// c is a member when it equals one of them in upper case.
class ByteSet {
 public:
  ByteSet(const char* set, unsigned int n) {
    std::memset(member_, 0, sizeof member_);
    for (unsigned int k = 0; k < n; ++k) {
      char upper = ToUpper(set[k]);
      member_[static_cast<unsigned char>(upper)] = true;
      member_[static_cast<unsigned char>(ToLower(upper))] = true;
    }
  }

  bool Contains(char c) const { return member_[static_cast<unsigned char>(c)]; }

 private:
  bool member_[256];
};

// 1-based position of the first byte of data[0, length) at or after start
// (forward) or at or before it (backward) whose membership in set is
// wanted; 0 when there is none. start is 1-based and at most length.
unsigned int Scan(const char* data, unsigned int length, const ByteSet& set, bool wanted,
                  bool forward, unsigned int start) {
  if (forward) {
    for (unsigned int i = start - 1; i < length; ++i) {
      if (set.Contains(data[i]) == wanted) return i + 1;
    }
    return 0;
  }
  for (unsigned int i = start; i > 0; --i) {
    if (set.Contains(data[i - 1]) == wanted) return i;
  }
  return 0;
}

// The 1024-byte work area of Format: output past its 1023rd byte is
// dropped, and it always stays terminated.
class WorkArea {
 public:
  static constexpr std::size_t kRoom = 1023;

  explicit WorkArea(char* area) : area_(area) { area_[0] = 0; }

  void Put(const char* p, std::size_t n) {
    std::size_t keep = n < kRoom - used_ ? n : kRoom - used_;
    std::memcpy(area_ + used_, p, keep);
    used_ += keep;
    area_[used_] = 0;
  }

  template <typename T>
  void Print(const char* directive, T value) {
    if (used_ >= kRoom) return;
    int n = std::snprintf(area_ + used_, kRoom + 1 - used_, directive, value);
    if (n > 0) used_ += static_cast<std::size_t>(n) < kRoom - used_ ? n : kRoom - used_;
    area_[used_] = 0;
  }

  unsigned int Used() const { return static_cast<unsigned int>(used_); }

 private:
  char* area_;
  std::size_t used_ = 0;
};

// One conversion of a format, parsed: the directive for snprintf (without
// a 32-bit long's modifier, '*' numbers written in), its length modifier
// and its conversion character (0 when the format ended inside it).
struct Conversion {
  char directive[128];
  char size[3];
  char conversion;

  bool Integer() const { return std::strchr("diouxX", conversion) != nullptr; }
  // A 32-bit long prints as int: no modifier.
  bool LongOnly() const { return size[0] == 'l' && size[1] == 0; }
};

// Parse step: reads the conversion after a '%' at p and moves p past it,
// taking '*' widths and precisions from args.
void ParseConversion(const char*& p, va_list* args, Conversion& c) {
  // At most 64 bytes of flags and digits, two numbers from '*' and the
  // modifier.
  char* directive = c.directive;
  std::size_t n = 1;
  directive[0] = '%';
  auto copy = [&](char ch) {
    if (n < 64) directive[n++] = ch;
  };
  while (*p != 0 && std::strchr("-+ #0'", *p) != nullptr) copy(*p++);
  if (*p == '*') {
    ++p;
    n += std::snprintf(directive + n, sizeof c.directive - n, "%d", va_arg(*args, int));
  } else {
    while (IsDecimal(*p)) copy(*p++);
  }
  if (*p == '.') {
    ++p;
    if (*p == '*') {
      ++p;
      int precision = va_arg(*args, int);
      if (precision >= 0)
        n += std::snprintf(directive + n, sizeof c.directive - n, ".%d", precision);
    } else {
      copy('.');
      while (IsDecimal(*p)) copy(*p++);
    }
  }
  c.size[0] = c.size[1] = c.size[2] = 0;
  if (*p == 'h' || *p == 'l') {
    c.size[0] = *p++;
    if (*p == c.size[0]) c.size[1] = *p++;
  } else if (*p == 'L' || *p == 'j' || *p == 'z' || *p == 't') {
    c.size[0] = *p++;
  }
  c.conversion = *p;
  if (c.conversion == 0) return;
  ++p;
  if (!(c.Integer() && c.LongOnly())) {
    for (char ch : c.size) {
      if (ch != 0) directive[n++] = ch;
    }
  }
  directive[n++] = c.conversion;
  directive[n] = 0;
}

// Act step: prints one parsed conversion, taking its argument from args.
// written is the conversion as it stands in the format.
void PrintConversion(WorkArea& out, const Conversion& c, va_list* args, const char* written,
                     std::size_t writtenLength) {
  const char* directive = c.directive;
  char size = c.size[0];
  char conversion = c.conversion;
  bool integer = c.Integer();
  if (integer && c.LongOnly()) {
    long value = va_arg(*args, long);
    if (conversion == 'd' || conversion == 'i') {
      out.Print(directive, static_cast<int>(static_cast<std::int32_t>(value)));
    } else {
      out.Print(directive, static_cast<unsigned int>(static_cast<std::uint32_t>(value)));
    }
  } else if (integer && (size == 'l' || size == 'L')) {
    out.Print(directive, va_arg(*args, long long));
  } else if (integer && size == 'j') {
    out.Print(directive, va_arg(*args, std::intmax_t));
  } else if (integer && (size == 'z' || size == 't')) {
    out.Print(directive, va_arg(*args, std::ptrdiff_t));
  } else if (integer || conversion == 'c') {
    if (conversion == 'c' && size == 'l') {
      // wint_t narrower than int (Windows) arrives promoted to int.
      typedef std::conditional_t<(sizeof(std::wint_t) < sizeof(int)), int, std::wint_t> WideArg;
      out.Print(directive, static_cast<std::wint_t>(va_arg(*args, WideArg)));
    } else {
      out.Print(directive, va_arg(*args, int));
    }
  } else if (conversion == 's') {
    if (size == 'l') {
      out.Print(directive, va_arg(*args, const wchar_t*));
    } else {
      out.Print(directive, va_arg(*args, const char*));
    }
  } else if (conversion == 'p') {
    out.Print(directive, va_arg(*args, void*));
  } else if (std::strchr("eEfFgGaA", conversion) != nullptr) {
    if (size == 'L') {
      out.Print(directive, va_arg(*args, long double));
    } else {
      out.Print(directive, va_arg(*args, double));
    }
  } else if (conversion == 'n') {
    va_arg(*args, void*);
  } else if (conversion == '%') {
    out.Put("%", 1);
  } else {
    out.Put(written, writtenLength);  // not a conversion: kept as written
  }
}

// Formats fmt with the printf rules, one conversion at a time, so that a
// long (l) argument of d, i, o, u, x or X prints as its 32-bit value. A
// '*' width or precision is taken from the arguments into the conversion
// text. %n consumes its pointer and stores nothing.
void FormatInto(WorkArea& out, const char* fmt, va_list args) {
  va_list ap;
  va_copy(ap, args);
  const char* p = fmt;
  while (*p != 0) {
    if (*p != '%') {
      const char* next = std::strchr(p, '%');
      if (next == nullptr) next = p + std::strlen(p);
      out.Put(p, next - p);
      p = next;
      continue;
    }
    const char* start = p++;
    Conversion c;
    ParseConversion(p, &ap, c);
    if (c.conversion == 0) {
      out.Put(start, p - start);
      break;
    }
    PrintConversion(out, c, &ap, start, p - start);
  }
  va_end(ap);
}

// Formats into work (1024 bytes) and gives the number of bytes kept.
unsigned int FormatInto(char (&work)[1024], const char* fmt, va_list args) {
  WorkArea out(work);
  if (fmt != nullptr) FormatInto(out, fmt, args);
  return out.Used();
}

}  // namespace

ZString::ZString() = default;

ZString::ZString(unsigned int n) : ZBuffer(n) {}

ZString::ZString(int n) : ZBuffer(static_cast<unsigned int>(n)) {}

ZString::ZString(char c) : ZBuffer(&c, 1) {}

ZString::ZString(const char* const s)
    : ZBuffer(s, s == nullptr ? 0 : static_cast<unsigned int>(std::strlen(s))) {}

ZString::ZString(const char* const p, unsigned int n) : ZBuffer(p, n) {}

ZString::ZString(const ZString& other) : ZBuffer(other) {}

ZString::~ZString() = default;

ZString& ZString::operator=(const ZString& other) {
  if (this != &other) ZBuffer::operator=(other);
  return *this;
}

ZString& ZString::operator=(const char* const s) {
  std::size_t n = s == nullptr ? 0 : std::strlen(s);
  std::uintptr_t at = reinterpret_cast<std::uintptr_t>(s);
  std::uintptr_t base = reinterpret_cast<std::uintptr_t>(block_);
  if (block_ != nullptr && at >= base && at < base + capacity_) {
    // s lies in our own block: emptying first would overwrite it, so move
    // the text to the block start instead; the room is already there.
    std::memmove(block_, s, n);
    head_ = 0;
    length_ = static_cast<unsigned int>(n);
    block_[length_] = 0;
    full_ = false;
    return *this;
  }
  Assign(s, static_cast<unsigned int>(n));
  return *this;
}

ZString& ZString::operator+=(const char* const s) {
  if (s != nullptr) Add(s, static_cast<unsigned int>(std::strlen(s)));
  return *this;
}

ZString& ZString::operator+=(char c) {
  ZBuffer::operator+=(c);
  return *this;
}

ZString& ZString::operator+=(unsigned char c) { return *this += static_cast<char>(c); }

bool ZString::operator==(const ZString& other) const { return ZBuffer::operator==(other); }

bool ZString::operator==(const char* const s) const {
  if (s == nullptr) return false;
  if (std::strlen(s) != length_) return false;
  return length_ == 0 || std::memcmp(block_ + head_, s, length_) == 0;
}

unsigned int ZString::Find(char c, unsigned int start) const {
  if (block_ == nullptr || length_ == 0 || start == 0 || start > length_) return 0;
  const char* data = block_ + head_;
  for (unsigned int i = start - 1; i < length_; ++i) {
    if (data[i] == c) return i + 1;
    if (data[i] == 0) return 0;
  }
  // The terminator follows the data.
  return c == 0 ? length_ + 1 : 0;
}

unsigned int ZString::FindSubstring(const ZString& sub, EDirection dir, unsigned int start,
                                    bool caseSensitive) const {
  if (start == 0) return 0;
  unsigned int n = sub.length_;
  const char* data = block_ + head_;
  const char* text = sub.block_ + sub.head_;
  std::uint64_t i = start - 1;
  if (dir == eForward) {
    for (; i + n <= length_; ++i) {
      if (caseSensitive && n > 0) {
        // Only a position holding the first byte of sub can match.
        const void* hit = std::memchr(data + i, text[0], length_ - n - i + 1);
        if (hit == nullptr) return 0;
        i = static_cast<std::uint64_t>(static_cast<const char*>(hit) - data);
      }
      if (SameText(data + i, text, n, caseSensitive)) return static_cast<unsigned int>(i + 1);
    }
    return 0;
  }
  if (dir != eBackward || i + n > length_) return 0;
  for (;; --i) {
    if (SameText(data + i, text, n, caseSensitive)) return static_cast<unsigned int>(i + 1);
    if (i == 0) return 0;
  }
}

unsigned int ZString::FindInSet(EInclusive inc, const char* set, unsigned int n, EDirection dir,
                                unsigned int start) const {
  if (start == 0 || start > length_) return 0;
  if (dir != eForward && dir != eBackward) return 0;
  return Scan(block_ + head_, length_, ByteSet(set, n), inc == eInSet, dir == eForward, start);
}

unsigned int ZString::FindChar(EInclusive inc, const ZString& set, EDirection dir,
                               unsigned int start) const {
  return FindInSet(inc, set.block_ + set.head_, set.length_, dir, start);
}

bool ZString::IsCharInString(char c) const {
  if (length_ == 0) return false;
  char upper = ToUpper(c);
  for (unsigned int k = 0; k < length_; ++k) {
    if (ToUpper(block_[head_ + k]) == upper) return true;
  }
  return false;
}

bool ZString::IsNumeric() const {
  if (length_ == 0) return false;
  const char* data = block_ + head_;
  unsigned int first = 0;
  unsigned int end = length_;
  bool (*digit)(char) = IsDecimal;
  if (length_ > 2 && data[0] == '0' && ToLower(data[1]) == 'x') {
    first = 2;
    digit = IsHex;
  } else if (length_ > 1 && ToLower(data[length_ - 1]) == 'x') {
    end = length_ - 1;
    digit = IsHex;
  }
  for (unsigned int i = first; i < end; ++i) {
    if (!digit(data[i])) return false;
  }
  return true;
}

bool ZString::IsAlphabetic() const {
  if (length_ == 0) return false;
  const char* data = block_ + head_;
  for (unsigned int i = 0; i < length_; ++i) {
    if (!IsLetter(data[i])) return false;
  }
  return true;
}

ZString::operator long() const { return static_cast<int>(*this); }

ZString::operator int() const {
  if (block_ == nullptr) return 0;
  const char* data = block_ + head_;
  bool suffixed = length_ >= 2 && ToLower(data[length_ - 1]) == 'x';
  Number number = ReadNumber(data, length_, suffixed ? 16 : 0);
  if (number.negative) {
    if (number.overflow || number.magnitude > 0x80000000u) return INT32_MIN;
    return static_cast<int>(0u - number.magnitude);
  }
  if (number.overflow || number.magnitude > 0x7FFFFFFFu) return INT32_MAX;
  return static_cast<int>(number.magnitude);
}

ZString::operator unsigned long() const { return static_cast<unsigned int>(*this); }

ZString::operator unsigned int() const {
  if (block_ == nullptr) return 0;
  const char* data = block_ + head_;
  bool suffixed = length_ >= 2 && ToLower(data[length_ - 1]) == 'x';
  Number number = ReadNumber(data, length_, suffixed ? 16 : 0);
  if (number.overflow) return UINT32_MAX;
  return number.negative ? 0u - number.magnitude : number.magnitude;
}

ZString& ZString::MakeLower() {
  for (unsigned int i = 0; i < length_; ++i) block_[head_ + i] = ToLower(block_[head_ + i]);
  return *this;
}

ZString& ZString::MakeUpper() {
  for (unsigned int i = 0; i < length_; ++i) block_[head_ + i] = ToUpper(block_[head_ + i]);
  return *this;
}

ZString& ZString::Insert(const ZString& s, unsigned int pos) {
  if (pos > length_) {
    *this += s;
    return *this;
  }
  if (pos == 0) pos = 1;
  unsigned int old = length_;
  unsigned int n = s.length_;
  if (n == 0 || !Add(nullptr, n)) return *this;
  char* data = block_ + head_;
  std::memmove(data + pos - 1 + n, data + pos - 1, old - pos + 1);
  if (&s == this) {
    // The original text is now data[0, pos - 1) and data[pos - 1 + n, 2n);
    // both parts go into the gap.
    std::memmove(data + pos - 1, data, pos - 1);
    std::memmove(data + 2 * (pos - 1), data + pos - 1 + n, n - pos + 1);
  } else {
    std::memcpy(data + pos - 1, s.block_ + s.head_, n);
  }
  return *this;
}

ZString& ZString::Remove(unsigned int pos, unsigned int count) {
  ZBuffer::Remove(pos, count);
  return *this;
}

ZString& ZString::Replace(unsigned int pos, unsigned int count, const ZString& s) {
  // Room for the insertion is made before anything is removed, so that
  // running out of memory changes nothing.
  unsigned int n = s.length_;
  if (n > 0 && !Add(nullptr, n)) return *this;
  length_ -= n;
  if (block_ != nullptr) block_[head_ + length_] = 0;
  Remove(pos, count);
  return Insert(s, pos);
}

ZString& ZString::StripSet(EStripType type, const char* set, unsigned int n) {
  ByteSet members(set, n);
  unsigned int first = Scan(block_ + head_, length_, members, false, true, 1);
  if (first == 0) {
    Empty();
    return *this;
  }
  if (type == eAll) {
    // One pass that keeps what is not in the set: the same text as
    // removing the set characters one at a time, without moving the tail
    // once per character. As when stripping the front, text that had
    // members in front starts the block afterwards.
    char* from = block_ + head_;
    char* to = first > 1 ? block_ : from;
    unsigned int kept = 0;
    unsigned int length = length_;  // byte stores could alias a member
    for (unsigned int i = first - 1; i < length; ++i) {
      if (!members.Contains(from[i])) to[kept++] = from[i];
    }
    if (first > 1) head_ = 0;
    length_ = kept;
    to[kept] = 0;
    return *this;
  }
  if (type != eTrailing && first > 1) {
    std::memmove(block_, block_ + head_ + first - 1, length_ - first + 1);
    head_ = 0;
    length_ -= first - 1;
    block_[length_] = 0;
  }
  if (type != eLeading) {
    length_ = Scan(block_ + head_, length_, members, false, false, length_);
    block_[head_ + length_] = 0;
  }
  return *this;
}

ZString& ZString::Strip(EStripType type, const ZString& set) {
  if (&set == this) {
    // Every character is in the set.
    Empty();
    return *this;
  }
  return StripSet(type, set.block_ + set.head_, set.length_);
}

ZString ZString::ExtractLine() {
  static const char kLineEnds[] = "\r\n";
  unsigned int end = FindInSet(eInSet, kLineEnds, 2, eForward, 1);
  unsigned int count = end == 0 ? length_ : end - 1;
  ZString line(static_cast<const char*>(*this), count);
  if (line.GetLength() != count) return line;  // memory ran out: the text stays whole
  if (count > 0) Remove(1, count);
  StripSet(eBoth, kLineEnds, 2);
  return line;
}

ZString& ZString::Format(const char* fmt, ...) {
  char work[1024];
  va_list args;
  va_start(args, fmt);
  unsigned int n = FormatInto(work, fmt, args);
  va_end(args);
  Assign(work, n);
  return *this;
}

ZString& ZString::FormatAdd(const char* fmt, ...) {
  char work[1024];
  va_list args;
  va_start(args, fmt);
  unsigned int n = FormatInto(work, fmt, args);
  va_end(args);
  Add(work, n);
  return *this;
}
