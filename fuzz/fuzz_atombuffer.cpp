// ZAtomBuffer driven by hostile arguments: every overload with protocols,
// atoms, counts and values taken from the input, in range or not. A call
// either appends exactly one atom or, outside the limits of the format,
// nothing; whatever was appended is a whole number of atoms that the
// plug-in's normaliser finds already canonical.
#include <vector>

#include "fuzz_support.h"
#include "fuzz_text_util.h"
#include "orbcmn/zatombuffer.h"

namespace {

int32_t Int(FuzzInput& in) {
  uint32_t v = static_cast<uint32_t>(in.Word()) << 16 | in.Word();
  return static_cast<int32_t>(v);
}

// A protocol or atom: mostly in range, sometimes anything.
int Number(FuzzInput& in, int most) {
  uint8_t b = in.Byte();
  if (b < 250) return b % (most + 1);
  return b == 250 ? most + 1 : b == 251 ? -1 : Int(in);
}

// A byte count: mostly what the input holds, sometimes negative or huge.
int Count(FuzzInput& in) {
  uint8_t b = in.Byte();
  if (b < 250) return b;
  return b == 250 ? -1 : b == 251 ? 32767 : b == 252 ? 32768 : Int(in);
}

// Bytes for a run of n: taken from the input, padded with 5A, at least
// 32,768 + 4 bytes long so a large count never reads past them.
const char* Data(FuzzInput& in, int n, std::vector<char>* store) {
  store->assign(32772, 0x5A);
  if (n > 0) {
    size_t taken;
    const uint8_t* p = in.Take(static_cast<size_t>(n) < 64 ? static_cast<size_t>(n) : 64, &taken);
    memcpy(store->data(), p, taken);
  }
  return store->data();
}

void Append(FuzzInput& in, ZAtomBuffer& b) {
  uint8_t op = in.Byte() % 20;
  int p = Number(in, 127);
  int a = Number(in, 255);
  std::vector<char> store;
  int n;
  switch (op) {
    case 0:
      b.AppendAtom(p, a);
      break;
    case 1:
      b.AppendAtom(p, a, static_cast<char>(in.Byte()));
      break;
    case 2:
      b.AppendAtom(p, a, in.Byte(), in.Byte());
      break;
    case 3:
      b.AppendAtom(p, a, in.Byte(), in.Byte(), in.Byte());
      break;
    case 4:
      b.AppendAtom(p, a, in.Byte(), in.Byte(), static_cast<unsigned short>(in.Word()));
      break;
    case 5:
      n = Count(in);
      b.AppendAtom(p, a, Data(in, n, &store), n);
      break;
    case 6:
      b.AppendAtom(p, a, static_cast<unsigned short>(in.Word()));
      break;
    case 7:
      b.AppendAtom(p, a, static_cast<unsigned short>(in.Word()),
                   static_cast<unsigned short>(in.Word()));
      break;
    case 8:
      b.AppendAtom(p, a, static_cast<unsigned short>(in.Word()),
                   static_cast<unsigned short>(in.Word()), static_cast<unsigned short>(in.Word()));
      break;
    case 9:
      b.AppendAtom(p, a, static_cast<short>(in.Word()));
      break;
    case 10:
      b.AppendAtom(p, a, static_cast<unsigned long>(static_cast<uint32_t>(Int(in))));
      break;
    case 11:
      b.AppendAtom(p, a, static_cast<unsigned long>(static_cast<uint32_t>(Int(in))),
                   static_cast<unsigned long>(static_cast<uint32_t>(Int(in))));
      break;
    case 12:
      b.AppendAtom(p, a, static_cast<long>(Int(in)));
      break;
    case 13:
      n = Count(in);
      b.AppendAtom(p, a, static_cast<char>(in.Byte()), Data(in, n, &store), n);
      break;
    case 14:
      n = Count(in);
      b.AppendAtom(p, a, static_cast<unsigned long>(static_cast<uint32_t>(Int(in))),
                   Data(in, n, &store), n);
      break;
    case 15:
      n = Count(in);
      b.AppendAtom(p, a, Data(in, n, &store), n,
                   static_cast<unsigned long>(static_cast<uint32_t>(Int(in))));
      break;
    case 16: {
      // The buffer itself, nested as the data of one atom.
      b.AppendAtom(p, a, static_cast<const ZBuffer&>(b));
      break;
    }
    case 17:
      b.AppendAtom(p, a, b);
      break;
    case 18:
      b.AppendAtomColor(p, a, static_cast<unsigned long>(static_cast<uint32_t>(Int(in))));
      break;
    default: {
      n = Count(in);
      const unsigned char* u = reinterpret_cast<const unsigned char*>(Data(in, n, &store));
      b.AppendAtom(p, a, u, n);
      break;
    }
  }
}

// True when the bytes are a whole number of canonical atoms.
bool Canonical(const std::string& bytes) {
  AdaNormalizeAtomStreamFn normalize = FuzzPlugin()->normalize;
  std::vector<unsigned char> in(bytes.begin(), bytes.end());
  std::vector<unsigned char> out(in.size() + 1);
  int32_t size = static_cast<int32_t>(out.size());
  int32_t result = normalize(in.data(), static_cast<int32_t>(in.size()), out.data(), &size);
  return result == 0 && size == static_cast<int32_t>(in.size()) &&
         memcmp(out.data(), in.data(), in.size()) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPlugin();
  FuzzLeakCheck leaks;
  FuzzInput in(data, size);
  ZAtomBuffer b;
  for (int calls = 0; calls < 16 && in.Left() > 0; calls++) {
    std::string before = Str(b);
    Append(in, b);
    std::string after = Str(b);
    FUZZ_CHECK(after.size() >= before.size());
    FUZZ_CHECK(after.compare(0, before.size(), before) == 0);
    std::string atom = after.substr(before.size());
    FUZZ_CHECK(atom.empty() || Canonical(atom));
  }
  // Copies carry the same bytes.
  ZAtomBuffer copy(b);
  FUZZ_CHECK(Str(copy) == Str(b));
  return 0;
}
