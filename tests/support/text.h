// Test helper: a buffer's bytes as a std::string.
#ifndef ORB_TESTS_SUPPORT_TEXT_H_
#define ORB_TESTS_SUPPORT_TEXT_H_

#include <string>

#include "orbcmn/zbuffer.h"

// All of b's bytes, zero bytes included; empty for a buffer without a block.
inline std::string Text(const ZBuffer& b) {
  return b.GetLength() == 0 ? std::string() : std::string(b, b.GetLength());
}

#endif  // ORB_TESTS_SUPPORT_TEXT_H_
