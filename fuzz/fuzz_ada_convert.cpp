// The plug-in's argument conversions on hostile bytes and texts, as the
// action arguments call them (a 64-byte text area, a 16-byte byte area):
// nothing is written outside the areas, a text comes back zero-terminated,
// and assembling what disassembling wrote (and the reverse) round-trips.
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

typedef std::vector<unsigned char> Bytes;

const int32_t kKinds[] = {1, 2, 5};

// Disassembles into a heap area of exactly 64 bytes.
int32_t Disassemble(AdaDisassembleArgumentFn fn, int32_t kind, const Bytes& bytes,
                    std::string* text) {
  char* area = new char[64];
  int32_t size = 64;
  int32_t result = fn(kind, bytes.empty() ? nullptr : bytes.data(),
                      static_cast<int32_t>(bytes.size()), 0, area, &size);
  if (result == 0) {
    const void* end = memchr(area, 0, 64);
    FUZZ_CHECK(end != nullptr);
    text->assign(area);
    FUZZ_CHECK(size == static_cast<int32_t>(text->size()));
  }
  delete[] area;
  return result;
}

// Assembles into a heap area of exactly 16 bytes.
int32_t Assemble(AdaAssembleArgumentFn fn, int32_t kind, const std::string& text, Bytes* bytes) {
  unsigned char* area = new unsigned char[16];
  int32_t size = 16;
  int32_t result = fn(kind, text.c_str(), 0, area, &size);
  if (result == 0) {
    FUZZ_CHECK(size >= 0 && size <= 16);
    bytes->assign(area, area + size);
  } else {
    FUZZ_CHECK(result != 4 || size > 16);
  }
  delete[] area;
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const OrbPluginState* plugin = FuzzPlugin();
  FuzzInput in(data, size);
  uint8_t selector = in.Byte();
  // Mostly the kinds in use; now and then any other number.
  int32_t kind = selector < 240 ? kKinds[selector % 3] : static_cast<int8_t>(selector);
  size_t taken;
  const uint8_t* rest = in.Rest(&taken);
  Bytes bytes(rest, rest + taken);
  std::string text(reinterpret_cast<const char*>(rest), taken);
  text = text.c_str();  // up to the first zero byte, as the caller passes it

  // Bytes to text and back: the text assembles to bytes that disassemble
  // to the same text. Hexadecimal text of more than 16 bytes fits the text
  // area but not the byte area; the assembler must then say so.
  std::string t1, t2;
  Bytes b1;
  if (Disassemble(plugin->disassemble, kind, bytes, &t1) == 0) {
    int32_t result = Assemble(plugin->assemble, kind, t1, &b1);
    if (kind == 1 && bytes.size() > 16) {
      FUZZ_CHECK(result == 4);
    } else {
      FUZZ_CHECK(result == 0);
      FUZZ_CHECK(Disassemble(plugin->disassemble, kind, b1, &t2) == 0);
      FUZZ_CHECK(t1 == t2);
    }
  }

  // Text to bytes and back: the bytes disassemble to a text that
  // assembles to the same bytes.
  Bytes b2, b3;
  if (Assemble(plugin->assemble, kind, text, &b2) == 0) {
    std::string t3;
    int32_t result = Disassemble(plugin->disassemble, kind, b2, &t3);
    // Sixteen hexadecimal bytes need 48 characters: every assembled value
    // fits the text area.
    FUZZ_CHECK(result == 0);
    FUZZ_CHECK(Assemble(plugin->assemble, kind, t3, &b3) == 0);
    FUZZ_CHECK(b2 == b3);
  }
  return 0;
}
