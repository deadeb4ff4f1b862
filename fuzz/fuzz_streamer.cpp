// ZStreamer loading a hostile stream under a sequence of reads chosen by
// the input: typed values, schema values, raw runs with and without byte
// reversal, and object identifiers with and without a kind. The error
// flag is sticky and, once set, every read fails; an identifier read gives
// only an object registered before, with the kind it was registered with.
// Every typed value read is then saved by a saving streamer and read back
// unchanged.
#include <memory>
#include <vector>

#include "fuzz_stream.h"
#include "fuzz_support.h"
#include "orbcmn/zstreamer.h"

namespace {

// One typed value as read: its type (0 to 7) and its bytes.
struct Value {
  int type;
  unsigned char bytes[8];
};

template <typename T>
bool ReadTyped(ZStreamer& s, Value* v) {
  T value{};
  if (!s.Read(value)) return false;
  memset(v->bytes, 0, sizeof v->bytes);
  memcpy(v->bytes, &value, sizeof value);
  return true;
}

bool ReadType(ZStreamer& s, int type, Value* v) {
  v->type = type;
  switch (type) {
    case 0:
      return ReadTyped<unsigned char>(s, v);
    case 1:
      return ReadTyped<signed char>(s, v);
    case 2:
      return ReadTyped<unsigned short>(s, v);
    case 3:
      return ReadTyped<short>(s, v);
    case 4:
      return ReadTyped<unsigned long>(s, v);
    case 5:
      return ReadTyped<long>(s, v);
    case 6:
      return ReadTyped<float>(s, v);
    default:
      return ReadTyped<double>(s, v);
  }
}

template <typename T>
bool WriteTyped(ZStreamer& s, const Value& v) {
  T value;
  memcpy(&value, v.bytes, sizeof value);
  return s.Write(value);
}

bool WriteType(ZStreamer& s, const Value& v) {
  switch (v.type) {
    case 0:
      return WriteTyped<unsigned char>(s, v);
    case 1:
      return WriteTyped<signed char>(s, v);
    case 2:
      return WriteTyped<unsigned short>(s, v);
    case 3:
      return WriteTyped<short>(s, v);
    case 4:
      return WriteTyped<unsigned long>(s, v);
    case 5:
      return WriteTyped<long>(s, v);
    case 6:
      return WriteTyped<float>(s, v);
    default:
      return WriteTyped<double>(s, v);
  }
}

// A long read back holds a 32-bit value, widened with its sign; an
// unsigned long a 32-bit value.
void CheckWidth(const Value& v) {
  if (v.type == 4) {
    unsigned long u;
    memcpy(&u, v.bytes, sizeof u);
    FUZZ_CHECK(u <= 0xFFFFFFFFul);
  } else if (v.type == 5) {
    long l;
    memcpy(&l, v.bytes, sizeof l);
    FUZZ_CHECK(l >= INT32_MIN && l <= INT32_MAX);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLeakCheck leaks;
  FuzzInput in(data, size);
  size_t count;
  const uint8_t* ops = in.Take(in.Byte() % 48, &count);
  size_t n;
  const uint8_t* stream = in.Rest(&n);

  std::vector<Value> values;
  {
    FuzzReadFile file(stream, n);
    ZStreamer s(&file, false);
    FUZZ_CHECK(!s.Saving());
    int objects[4];
    int kinds[2];
    std::vector<std::pair<void*, const void*>> registered;
    for (size_t i = 0; i < count; i++) {
      bool failed = s.Error();
      uint8_t op = ops[i];
      switch (op % 12) {
        case 8:
          if (failed)
            FUZZ_CHECK(s.Schema() == -1);
          else
            s.Schema();
          break;
        case 9: {
          // A raw run of 0 to 15 bytes into a block of exactly that size.
          unsigned long length = op >> 4;
          bool swap = (op & 0x08) != 0;
          std::unique_ptr<unsigned char[]> area(new unsigned char[length + 1]);
          bool ok = s.Read(area.get(), length, swap);
          if (failed || (swap && length > 8)) FUZZ_CHECK(!ok);
          break;
        }
        case 10:
        case 11: {
          void* object = &objects[(op >> 4) % 4];
          const void* kind = op % 12 == 11 ? &kinds[(op >> 6) & 1] : nullptr;
          unsigned long before = s.Registered();
          ZStreamer::Identity got = s.ReadIdentity(object, kind);
          if (failed) FUZZ_CHECK(!got.read);
          if (got.object != nullptr) {
            // An object registered before, with the kind it was registered with.
            bool known = false;
            for (auto& r : registered)
              known = known || (r.first == got.object && r.second == got.kind);
            FUZZ_CHECK(known && s.Registered() == before);
          } else if (got.read) {
            FUZZ_CHECK(s.Registered() == before + 1);
            registered.push_back(std::make_pair(object, kind));
          } else {
            FUZZ_CHECK(s.Registered() == before);
          }
          break;
        }
        default: {
          Value v;
          bool ok = ReadType(s, op % 8, &v);
          if (failed) FUZZ_CHECK(!ok);
          if (ok) {
            CheckWidth(v);
            values.push_back(v);
          }
          break;
        }
      }
      if (failed) FUZZ_CHECK(s.Error());
    }
  }

  // What was read saves and loads back the same.
  FuzzWriteFile out;
  {
    ZStreamer s(&out, true);
    FUZZ_CHECK(s.Saving());
    for (const Value& v : values) FUZZ_CHECK(WriteType(s, v));
    FUZZ_CHECK(!s.Error());
  }
  std::string bytes = out.Bytes();
  FuzzReadFile back(bytes.data(), bytes.size());
  ZStreamer s(&back, false);
  for (const Value& v : values) {
    Value again;
    FUZZ_CHECK(ReadType(s, v.type, &again));
    FUZZ_CHECK(memcmp(again.bytes, v.bytes, sizeof v.bytes) == 0);
  }
  FUZZ_CHECK(!s.Error());
  unsigned char extra;
  FUZZ_CHECK(!s.Read(&extra, 1, false));
  return 0;
}
