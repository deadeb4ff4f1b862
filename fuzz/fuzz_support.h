// Shared pieces of the fuzz programs: a check that aborts (so libFuzzer
// records the input), a reader that takes fields off the front of the
// input, a leak check against the host allocator, and the plug-in.
#ifndef ORB_FUZZ_SUPPORT_H_
#define ORB_FUZZ_SUPPORT_H_

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "hostkit/hostkit.h"
#include "orbcmn/common.h"

// Aborts with a message when a property does not hold.
#define FUZZ_CHECK(cond)                                                          \
  do {                                                                            \
    if (!(cond)) {                                                                \
      fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
      abort();                                                                    \
    }                                                                             \
  } while (0)

// Takes fields off the front of the fuzz input; past its end every field
// reads as zero and every run as empty.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Left() const { return size_; }
  uint8_t Byte() {
    if (size_ == 0) return 0;
    size_--;
    return *data_++;
  }
  uint16_t Word() { return static_cast<uint16_t>(Byte() << 8 | Byte()); }
  // Up to n bytes; *taken says how many.
  const uint8_t* Take(size_t n, size_t* taken) {
    const uint8_t* p = data_;
    *taken = n < size_ ? n : size_;
    data_ += *taken;
    size_ -= *taken;
    return p;
  }
  // Everything that is left.
  const uint8_t* Rest(size_t* taken) { return Take(size_, taken); }

 private:
  const uint8_t* data_;
  size_t size_;
};

// Aborts when the host allocator holds more or fewer blocks at the end of
// a scope than at its start: every object built from one input must be
// released with it.
class FuzzLeakCheck {
 public:
  FuzzLeakCheck() : start_(HostKit_LiveBlocks(nullptr)) {}
  ~FuzzLeakCheck() { FUZZ_CHECK(HostKit_LiveBlocks(nullptr) == start_); }

 private:
  long start_;
};

// The plug-in, loaded once through CommonInitialize from beside the
// library; aborts when it or one of its entries is missing, since a fuzz
// run without it would test nothing.
inline const OrbPluginState* FuzzPlugin() {
  static const OrbPluginState* state = nullptr;
  if (state == nullptr) {
    CommonInitialize();
    state = CommonPluginState();
    if (state->normalize == nullptr || state->assemble == nullptr ||
        state->disassemble == nullptr) {
      fprintf(stderr, "the plug-in ORBADA32 was not found beside the library\n");
      abort();
    }
  }
  return state;
}

#endif  // ORB_FUZZ_SUPPORT_H_
