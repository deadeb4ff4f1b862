// The plug-in's AdaNormalizeAtomStream on hostile bytes and areas of any
// size: it writes only inside the area it is told about, asks for the
// size it needs, never grows a stream, copies what is no atom stream, and
// normalising a canonical stream changes nothing.
#include <vector>

#include "fuzz_support.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// Normalises `in` into a heap area of exactly `room` bytes (none when 0),
// so that a write past it is caught.
int32_t Normalize(AdaNormalizeAtomStreamFn normalize, const Bytes& in, size_t room, Bytes* out) {
  unsigned char* area = room == 0 ? nullptr : new unsigned char[room];
  int32_t size = static_cast<int32_t>(room);
  int32_t result =
      normalize(in.empty() ? nullptr : in.data(), static_cast<int32_t>(in.size()), area, &size);
  if (result != 4) {
    FUZZ_CHECK(size >= 0 && static_cast<size_t>(size) <= room);
    out->assign(area, area + size);
  } else {
    FUZZ_CHECK(static_cast<size_t>(size) > room);
    out->assign(1, static_cast<unsigned char>(0));
    out->resize(static_cast<size_t>(size));
  }
  delete[] area;
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AdaNormalizeAtomStreamFn normalize = FuzzPlugin()->normalize;
  FuzzInput in(data, size);
  size_t room = in.Byte();
  size_t taken;
  const uint8_t* rest = in.Rest(&taken);
  Bytes stream(rest, rest + taken);

  // A first call with an area of the fuzzer's choosing, then one with the
  // size the plug-in asked for when that was too small.
  Bytes out;
  int32_t result = Normalize(normalize, stream, room, &out);
  if (result == 4) {
    size_t needed = out.size();
    FUZZ_CHECK(needed <= stream.size());
    result = Normalize(normalize, stream, needed, &out);
    FUZZ_CHECK(result != 4);
    FUZZ_CHECK(out.size() == needed);
  }
  FUZZ_CHECK(out.size() <= stream.size());
  if (result == 8) FUZZ_CHECK(out == stream);
  if (result == 0) {
    Bytes again;
    FUZZ_CHECK(Normalize(normalize, out, out.size(), &again) == 0);
    FUZZ_CHECK(again == out);
  }
  return 0;
}
