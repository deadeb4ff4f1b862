// Copies into blocks of the host allocator that the caller then owns.
#include <stdint.h>

#include <cstring>

#include "hostkit/hostkit.h"
#include "orbcmn/util.h"

// The old block is freed first, unless it is the very text to copy: then
// it goes once the copy is made.
char* UtilAllocAndCopyString(const char* text, void* old) {
  bool copyingOld = old != nullptr && old == text;
  if (old != nullptr && !copyingOld) HostKit_Free("06109D", old);
  char* block = nullptr;
  if (text != nullptr && *text != '\0') {
    uint16_t length = static_cast<uint16_t>(std::strlen(text));
    block = static_cast<char*>(HostKit_Alloc("ORB000", length + 1u, 0));
    if (block != nullptr) {
      std::memcpy(block, text, length);
      block[length] = '\0';
    }
  }
  if (copyingOld) HostKit_Free("06109D", old);
  return block;
}

void* UtilAllocAndCopyMem(const void* source, unsigned long size, void* old) {
  bool copyingOld = old != nullptr && old == source;
  if (old != nullptr && !copyingOld) HostKit_Free("06109E", old);
  void* block = nullptr;
  if (source != nullptr) {
    uint32_t bytes = static_cast<uint32_t>(size);
    block = HostKit_Alloc("ORB000", bytes, 0);
    if (block != nullptr) std::memcpy(block, source, bytes);
  }
  if (copyingOld) HostKit_Free("06109E", old);
  return block;
}

void Util_ReplaceMem(void** slot, void* block) {
  if (slot == nullptr || *slot == block) return;
  if (*slot != nullptr) HostKit_Free("06109F", *slot);
  *slot = block;
}

char* OrbHost_Replace7FsAndCopyStr(char* destination, const char* source) {
  if (source == nullptr) source = "";
  uint16_t length = static_cast<uint16_t>(std::strlen(source));
  // A 0x7F, or a line feed that no carriage return precedes, each become CR LF.
  auto expands = [source](uint16_t i) {
    return source[i] == 0x7F || (source[i] == '\n' && (i == 0 || source[i - 1] != '\r'));
  };
  uint32_t count = 0;
  for (uint16_t i = 0; i < length; i++) count += expands(i);

  char* block;
  char* out;
  if (destination == nullptr) {
    block = static_cast<char*>(HostKit_Alloc("mip034", count + length + 1u, 1));
    out = block;
  } else {
    uint32_t own = static_cast<uint32_t>(std::strlen(destination));
    block =
        static_cast<char*>(HostKit_Realloc("mip033", destination, own + count + length + 1u, 1));
    out = block + own;
  }
  if (block == nullptr) return nullptr;
  for (uint16_t i = 0; i < length; i++) {
    if (expands(i)) {
      *out++ = '\r';
      *out++ = '\n';
    } else {
      *out++ = source[i];
    }
  }
  *out = '\0';
  return block;
}
