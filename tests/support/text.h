// Test helpers: a buffer's bytes as a std::string, and as hex text.
#ifndef ORB_TESTS_SUPPORT_TEXT_H_
#define ORB_TESTS_SUPPORT_TEXT_H_

#include <cstdio>
#include <sstream>
#include <string>

#include "orbcmn/zbuffer.h"

// All of b's bytes, zero bytes included; empty for a buffer without a block.
inline std::string Text(const ZBuffer& b) {
  return b.GetLength() == 0 ? std::string() : std::string(b, b.GetLength());
}

// The bytes of a text such as "00 01 0A".
inline ZBuffer Hex(const char* text) {
  std::string bytes;
  std::istringstream in(text);
  for (unsigned int byte; in >> std::hex >> byte;) bytes += static_cast<char>(byte);
  return ZBuffer(bytes.data(), static_cast<unsigned int>(bytes.size()));
}

// The bytes of a buffer as "00 01 0A", for readable failures.
inline std::string ToHex(const ZBuffer& buffer) {
  std::string text;
  for (unsigned int i = 0; i < buffer.GetLength(); ++i) {
    char part[4];
    std::snprintf(part, sizeof part, i == 0 ? "%02X" : " %02X", buffer.GetBytePtr()[i]);
    text += part;
  }
  return text;
}

#endif  // ORB_TESTS_SUPPORT_TEXT_H_
