// The plug-in's three entries: argument checks around the stream and text
// forms of bytes.h and convert.h.
#include "orbada32/orbada32.h"

#include <string.h>

#include <type_traits>

#include "orbada32/bytes.h"
#include "orbada32/convert.h"
#include "orbcmn/plugin.h"

// The entries have exactly the types through which the library calls them.
static_assert(std::is_same<decltype(&AdaNormalizeAtomStream), AdaNormalizeAtomStreamFn>::value,
              "normalizer type");
static_assert(std::is_same<decltype(&AdaAssembleArgument), AdaAssembleArgumentFn>::value,
              "assembler type");
static_assert(std::is_same<decltype(&AdaDisassembleArgument), AdaDisassembleArgumentFn>::value,
              "disassembler type");

namespace {

// Size of the canonical form of the `n` bytes at `p`; false when they are
// not a whole number of atoms.
bool CanonicalStreamSize(const unsigned char* p, size_t n, size_t* size) {
  size_t total = 0;
  ada::Atom atom;
  for (size_t at = 0; at < n;) {
    size_t used = ada::ReadAtom(p + at, n - at, &atom);
    if (used == 0) return false;
    total += ada::CanonicalSize(atom);
    at += used;
  }
  *size = total;
  return true;
}

void WriteCanonicalStream(const unsigned char* p, size_t n, unsigned char* out) {
  ada::Atom atom;
  size_t written = 0;
  for (size_t at = 0; at < n;) {
    at += ada::ReadAtom(p + at, n - at, &atom);
    written += ada::WriteAtom(atom, out + written);
  }
}

// Room of an area given by pointer and size: none for a null area.
size_t Room(const void* area, const int32_t* size) {
  return area == nullptr || *size < 0 ? 0 : static_cast<size_t>(*size);
}

}  // namespace

int32_t AdaNormalizeAtomStream(const unsigned char* bytes, int32_t count, unsigned char* out,
                               int32_t* size) {
  if (size == nullptr) return ADA_BAD_ARGUMENT;
  if (count < 0 || (bytes == nullptr && count > 0)) {
    *size = 0;
    return ADA_BAD_ARGUMENT;
  }
  size_t n = static_cast<size_t>(count);
  size_t needed = n;
  bool parsed = CanonicalStreamSize(bytes, n, &needed);
  if (needed > Room(out, size)) {
    *size = static_cast<int32_t>(needed);
    return ADA_AREA_TOO_SMALL;
  }
  if (parsed) {
    WriteCanonicalStream(bytes, n, out);
  } else {
    memmove(out, bytes, n);
  }
  *size = static_cast<int32_t>(needed);
  return parsed ? ADA_OK : ADA_NOT_ATOM_STREAM;
}

int32_t AdaDisassembleArgument(int32_t kind, const unsigned char* bytes, int32_t count,
                               int32_t zero, char* text, int32_t* size) {
  (void)zero;
  if (size == nullptr || count < 0 || (bytes == nullptr && count > 0)) return ADA_BAD_ARGUMENT;
  size_t length = 0;
  int32_t result =
      ada::Disassemble(kind, bytes, static_cast<size_t>(count), text, Room(text, size), &length);
  if (result == ADA_OK || result == ADA_AREA_TOO_SMALL) *size = static_cast<int32_t>(length);
  return result;
}

int32_t AdaAssembleArgument(int32_t kind, const char* text, int32_t zero, unsigned char* area,
                            int32_t* size) {
  (void)zero;
  if (size == nullptr || text == nullptr) return ADA_BAD_ARGUMENT;
  size_t length = 0;
  int32_t result = ada::Assemble(kind, text, area, Room(area, size), &length);
  if (result == ADA_OK || result == ADA_AREA_TOO_SMALL) *size = static_cast<int32_t>(length);
  return result;
}
