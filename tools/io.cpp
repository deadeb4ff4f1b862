// Input, output and the hex and byte texts of orbtool.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <sstream>

#include "files.h"
#include "tool.h"

namespace orbtool {

std::string ReadInput(const std::string& path) {
  if (path == "-") {
    SetBinaryMode(stdin);
    std::ostringstream all;
    all << std::cin.rdbuf();
    return all.str();
  }
  // Plain stdio: a directory or an unreadable file is an error, not an
  // exception.
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) throw ToolError(path + ": cannot open: " + std::strerror(errno));
  std::string data;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) data.append(chunk, n);
  int error = std::ferror(in) ? errno : 0;
  std::fclose(in);
  if (error != 0) throw ToolError(path + ": cannot read: " + std::strerror(error));
  return data;
}

void WriteOutput(const std::string& path, const std::string& data) {
  if (path == "-") {
    std::cout.flush();
    SetBinaryMode(stdout);
    std::cout.write(data.data(), static_cast<std::streamsize>(data.size()));
    std::cout.flush();
    if (!std::cout) throw ToolError("cannot write to standard output");
    return;
  }
  // A write that fails leaves the old file as it was.
  int error = ReplaceFileWith(path, data);
  if (error != 0) throw ToolError(path + ": cannot write: " + std::strerror(error));
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseHex(const std::string& text, Bytes* out, std::string* error) {
  Bytes bytes;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      ++i;
      continue;
    }
    size_t start = i;
    while (i < text.size() && HexDigit(text[i]) >= 0) ++i;
    if (i == start) {
      *error = "'" + std::string(1, c) + "' is not a hex digit";
      return false;
    }
    if ((i - start) % 2 != 0) {
      *error = "odd number of hex digits in '" + text.substr(start, i - start) + "'";
      return false;
    }
    for (size_t k = start; k < i; k += 2) {
      bytes.push_back(static_cast<unsigned char>(HexDigit(text[k]) * 16 + HexDigit(text[k + 1])));
    }
  }
  *out = std::move(bytes);
  return true;
}

std::string FormatHex(const unsigned char* data, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) s += ' ';
    s += kDigits[data[i] >> 4];
    s += kDigits[data[i] & 15];
  }
  return s;
}

bool ParseNumber(const std::string& text, long long min, long long max, long long* out) {
  if (text.empty()) return false;
  const char* s = text.c_str();
  bool negative = *s == '-';
  if (negative) ++s;
  int base = 10;
  if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s += 2;
  }
  if (*s == '\0') return false;
  unsigned long long value = 0;
  for (; *s != '\0'; ++s) {
    int d = HexDigit(*s);
    if (d < 0 || d >= base) return false;
    value = value * base + d;
    if (value > (1ULL << 40)) return false;
  }
  long long v = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
  if (v < min || v > max) return false;
  *out = v;
  return true;
}

std::string BytesToUtf8(const std::string& bytes) {
  std::string s;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else {
      s += static_cast<char>(0xC0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return s;
}

bool Utf8ToBytes(const std::string& text, std::string* bytes) {
  std::string s;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      s += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
      ++i;
    } else {
      return false;
    }
  }
  *bytes = std::move(s);
  return true;
}

}  // namespace orbtool
