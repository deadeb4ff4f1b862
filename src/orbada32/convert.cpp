#include "orbada32/convert.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "lib/coding.h"
#include "orbada32/orbada32.h"

namespace ada {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A decimal number with an optional sign and blanks or tabs around it.
// Magnitudes above 2^32 are all reported as 2^32 + 1, which every kind
// refuses, so that long digit strings cannot overflow.
bool ParseDecimal(const char* text, bool* negative, uint64_t* magnitude) {
  const uint64_t kCap = (uint64_t{1} << 32) + 1;
  const char* p = text;
  while (IsBlank(*p)) p++;
  *negative = *p == '-';
  if (*p == '-' || *p == '+') p++;
  if (*p < '0' || *p > '9') return false;
  uint64_t value = 0;
  for (; *p >= '0' && *p <= '9'; p++) {
    value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (value > kCap) value = kCap;
  }
  while (IsBlank(*p)) p++;
  *magnitude = value;
  return *p == '\0';
}

// Bytes of the hexadecimal form, or -1 when the text is not in it.
long CountHexBytes(const char* text) {
  long bytes = 0;
  const char* p = text;
  while (*p != '\0') {
    if (IsBlank(*p)) {
      p++;
      continue;
    }
    long digits = 0;
    for (; *p != '\0' && !IsBlank(*p); p++, digits++) {
      if (HexDigit(*p) < 0) return -1;
    }
    if (digits % 2 != 0) return -1;
    bytes += digits / 2;
  }
  return bytes;
}

int32_t AssembleHex(const char* text, unsigned char* out, size_t room, size_t* length) {
  long count = CountHexBytes(text);
  if (count < 0) return ADA_BAD_TEXT;
  *length = static_cast<size_t>(count);
  if (*length > room) return ADA_AREA_TOO_SMALL;
  size_t at = 0;
  for (const char* p = text; *p != '\0';) {
    if (IsBlank(*p)) {
      p++;
      continue;
    }
    out[at++] = static_cast<unsigned char>((HexDigit(p[0]) << 4) | HexDigit(p[1]));
    p += 2;
  }
  return ADA_OK;
}

int32_t AssembleNumber(int32_t kind, const char* text, unsigned char* out, size_t room,
                       size_t* length) {
  bool negative;
  uint64_t magnitude;
  if (!ParseDecimal(text, &negative, &magnitude)) return ADA_BAD_TEXT;
  const uint64_t kHalf = uint64_t{1} << 31;
  uint32_t value;
  if (negative) {
    if (magnitude > kHalf) return ADA_OUT_OF_RANGE;
    value = static_cast<uint32_t>(0 - magnitude);
  } else {
    uint64_t limit = kind == ADA_KIND_UNSIGNED ? 0xFFFFFFFFu : kHalf - 1;
    if (magnitude > limit) return ADA_OUT_OF_RANGE;
    value = static_cast<uint32_t>(magnitude);
  }
  size_t n = 4;
  *length = n;
  if (n > room) return ADA_AREA_TOO_SMALL;
  orb::PutBig(out, value, n);
  return ADA_OK;
}

// Copies the `n` characters of `s` and a zero byte into `text`.
int32_t Emit(const char* s, size_t n, char* text, size_t room, size_t* length) {
  if (n + 1 > room) {
    *length = n + 1;
    return ADA_AREA_TOO_SMALL;
  }
  memcpy(text, s, n);
  text[n] = '\0';
  *length = n;
  return ADA_OK;
}

int32_t DisassembleHex(const unsigned char* bytes, size_t n, char* text, size_t room,
                       size_t* length) {
  if (n > INT32_MAX / 3) return ADA_BAD_BYTES;  // the text would be too long to report
  size_t needed = n == 0 ? 1 : 3 * n;           // "XX" per byte, blanks between, the zero
  if (needed > room) {
    *length = needed;
    return ADA_AREA_TOO_SMALL;
  }
  const char kDigits[] = "0123456789ABCDEF";
  size_t at = 0;
  for (size_t i = 0; i < n; i++) {
    if (i > 0) text[at++] = ' ';
    text[at++] = kDigits[bytes[i] >> 4];
    text[at++] = kDigits[bytes[i] & 0x0F];
  }
  text[at] = '\0';
  *length = at;
  return ADA_OK;
}

int32_t DisassembleNumber(int32_t kind, const unsigned char* bytes, size_t n, char* text,
                          size_t room, size_t* length) {
  if (n == 0) return ADA_BAD_BYTES;
  char s[16];
  int printed;
  if (kind == ADA_KIND_UNSIGNED) {
    for (size_t i = 0; i + 4 < n; i++) {
      if (bytes[i] != 0) return ADA_OUT_OF_RANGE;
    }
    size_t take = n < 4 ? n : 4;
    uint32_t value = static_cast<uint32_t>(orb::GetBig(bytes + n - take, take));
    printed = snprintf(s, sizeof s, "%u", value);
  } else {
    // Bytes in front of the last four may only be padding: all zero (as
    // the library pads a value to a fixed size) or all 0xFF.
    for (size_t i = 0; i + 4 < n; i++) {
      if (bytes[i] != bytes[0] || (bytes[0] != 0x00 && bytes[0] != 0xFF)) return ADA_BAD_BYTES;
    }
    if (n > 4) {
      bytes += n - 4;
      n = 4;
    }
    uint32_t value = static_cast<uint32_t>(orb::GetBig(bytes, n));
    uint32_t sign = uint32_t{1} << (8 * n - 1);
    if (n < 4 && (value & sign) != 0) value |= ~((sign << 1) - 1);  // sign-extend
    printed = snprintf(s, sizeof s, "%d", static_cast<int32_t>(value));
  }
  return Emit(s, static_cast<size_t>(printed), text, room, length);
}

}  // namespace

int32_t Assemble(int32_t kind, const char* text, unsigned char* out, size_t room, size_t* length) {
  switch (kind) {
    case ADA_KIND_HEX_BYTES:
      return AssembleHex(text, out, room, length);
    case ADA_KIND_UNSIGNED:
    case ADA_KIND_SIGNED:
      return AssembleNumber(kind, text, out, room, length);
    default:
      return ADA_UNKNOWN_KIND;
  }
}

int32_t Disassemble(int32_t kind, const unsigned char* bytes, size_t n, char* text, size_t room,
                    size_t* length) {
  switch (kind) {
    case ADA_KIND_HEX_BYTES:
      return DisassembleHex(bytes, n, text, room, length);
    case ADA_KIND_UNSIGNED:
    case ADA_KIND_SIGNED:
      return DisassembleNumber(kind, bytes, n, text, room, length);
    default:
      return ADA_UNKNOWN_KIND;
  }
}

}  // namespace ada
