#include "orbcmn/zatombuffer.h"

#include <cstdint>
#include <cstring>

#include "lib/alloc.h"
#include "lib/coding.h"

ORBCMN_DEFINE_ALLOC(ZAtomBuffer)

namespace {

const char* AsChars(const unsigned char* p) { return reinterpret_cast<const char*>(p); }

// A count the format can carry, or -1.
long CheckedCount(const char* s, int n, int extra) {
  if (n < 0 || (s == nullptr && n > 0)) return -1;
  // Compared before adding: n may be near INT_MAX, and where long has 32
  // bits the sum would overflow.
  if (n > static_cast<int>(orb::kMaxAtomLength) - extra) return -1;
  return static_cast<long>(n) + extra;
}

}  // namespace

ZAtomBuffer::ZAtomBuffer() {}

ZAtomBuffer::ZAtomBuffer(const ZAtomBuffer& other) : ZBuffer(other) {}

ZAtomBuffer::ZAtomBuffer(const char* p, int n)
    : ZBuffer(p, n > 0 && p != nullptr ? static_cast<unsigned int>(n) : 0u) {}

ZAtomBuffer::ZAtomBuffer(const unsigned char* p, int n) : ZAtomBuffer(AsChars(p), n) {}

ZAtomBuffer::~ZAtomBuffer() {}

ZAtomBuffer& ZAtomBuffer::operator=(const ZAtomBuffer& other) {
  ZBuffer::operator=(other);
  return *this;
}

void ZAtomBuffer::AppendProtocolAtomLength(int protocol, int atom, const char* data,
                                           unsigned int length) {
  if (protocol < 0 || protocol > static_cast<int>(orb::kMaxProtocol) || atom < 0 ||
      atom > static_cast<int>(orb::kMaxAtom) || length > orb::kMaxAtomLength ||
      (data == nullptr && length > 0)) {
    return;
  }
  unsigned char header[orb::kMaxAtomHeaderSize];
  const orb::AtomHeader fields = {static_cast<unsigned>(protocol), static_cast<unsigned>(atom),
                                  length};
  const size_t size = orb::PutAtomHeader(header, fields);

  // Data inside this buffer would move when the header makes the block grow
  // or compact; take a copy of it first.
  const char* begin = *this;
  if (length > 0 && begin != nullptr && data >= begin && data <= begin + GetLength()) {
    ZBuffer copy(data, length);
    Append(AsChars(header), size);
    Append(copy, length);
    return;
  }
  Append(AsChars(header), size);
  if (length > 0) Append(data, length);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom) {
  AppendProtocolAtomLength(protocol, atom, nullptr, 0);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, char c) {
  AppendProtocolAtomLength(protocol, atom, &c, 1);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned char c) {
  AppendProtocolAtomLength(protocol, atom, AsChars(&c), 1);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned char a, unsigned char b) {
  const unsigned char data[2] = {a, b};
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 2);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned char a, unsigned char b,
                             unsigned char c) {
  const unsigned char data[3] = {a, b, c};
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 3);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned char a, unsigned char b,
                             unsigned short w) {
  unsigned char data[4] = {a, b};
  orb::PutBig16(data + 2, w);
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 4);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, const char* s, int n) {
  if (CheckedCount(s, n, 0) < 0) return;
  AppendProtocolAtomLength(protocol, atom, s, static_cast<unsigned int>(n));
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, const unsigned char* s, int n) {
  AppendAtom(protocol, atom, AsChars(s), n);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned short w) {
  if (w < 256) {
    AppendAtom(protocol, atom, static_cast<char>(w));
    return;
  }
  unsigned char data[2];
  orb::PutBig16(data, w);
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 2);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned short w1, unsigned short w2) {
  unsigned char data[4];
  orb::PutBig16(data, w1);
  orb::PutBig16(data + 2, w2);
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 4);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned short w1, unsigned short w2,
                             unsigned short w3) {
  unsigned char data[6];
  orb::PutBig16(data, w1);
  orb::PutBig16(data + 2, w2);
  orb::PutBig16(data + 4, w3);
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 6);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, short v) {
  if (v >= -127 && v <= 126) {
    AppendAtom(protocol, atom, static_cast<char>(v));
    return;
  }
  unsigned char data[2];
  orb::PutBig16(data, static_cast<uint16_t>(v));
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 2);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned long v) {
  const uint32_t value = static_cast<uint32_t>(v);
  if (value < 256) {
    AppendAtom(protocol, atom, static_cast<char>(value));
  } else if (value < 65536) {
    AppendAtom(protocol, atom, static_cast<unsigned short>(value));
  } else {
    unsigned char data[4];
    orb::PutBig32(data, value);
    AppendProtocolAtomLength(protocol, atom, AsChars(data), 4);
  }
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned long x, unsigned long y) {
  unsigned char data[8];
  orb::PutBig32(data, static_cast<uint32_t>(x));
  orb::PutBig32(data + 4, static_cast<uint32_t>(y));
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 8);
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, long v) {
  const int32_t value = static_cast<int32_t>(static_cast<uint32_t>(v));
  if (value >= -127 && value <= 126) {
    AppendAtom(protocol, atom, static_cast<char>(value));
  } else if (value >= -32767 && value <= 32766) {
    AppendAtom(protocol, atom, static_cast<short>(value));
  } else {
    unsigned char data[4];
    orb::PutBig32(data, static_cast<uint32_t>(value));
    AppendProtocolAtomLength(protocol, atom, AsChars(data), 4);
  }
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, char c, const char* s, int n) {
  const long total = CheckedCount(s, n, 1);
  if (total < 0) return;
  ZBuffer data(&c, 1);
  data.Append(s, static_cast<unsigned int>(n));
  AppendProtocolAtomLength(protocol, atom, data, static_cast<unsigned int>(total));
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, unsigned long v, const char* s, int n) {
  const long total = CheckedCount(s, n, 4);
  if (total < 0) return;
  unsigned char value[4];
  orb::PutBig32(value, static_cast<uint32_t>(v));
  ZBuffer data(AsChars(value), 4);
  data.Append(s, static_cast<unsigned int>(n));
  AppendProtocolAtomLength(protocol, atom, data, static_cast<unsigned int>(total));
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, const char* s, int n, unsigned long v) {
  const long total = CheckedCount(s, n, 4);
  if (total < 0) return;
  unsigned char value[4];
  orb::PutBig32(value, static_cast<uint32_t>(v));
  ZBuffer data(s, static_cast<unsigned int>(n));
  data.Append(AsChars(value), 4);
  AppendProtocolAtomLength(protocol, atom, data, static_cast<unsigned int>(total));
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, const ZAtomBuffer& b) {
  AppendAtom(protocol, atom, static_cast<const ZBuffer&>(b));
}

void ZAtomBuffer::AppendAtom(int protocol, int atom, const ZBuffer& b) {
  AppendProtocolAtomLength(protocol, atom, b, b.GetLength());
}

void ZAtomBuffer::AppendAtomColor(int protocol, int atom, unsigned long rgb) {
  unsigned char data[3];
  orb::PutLittle(data, rgb, 3);
  AppendProtocolAtomLength(protocol, atom, AsChars(data), 3);
}

void ZAtomBuffer::Swap(unsigned long& v) { v = static_cast<uint32_t>(orb::ReverseBytes(v, 4)); }

void ZAtomBuffer::Swap(long& v) {
  v = static_cast<int32_t>(static_cast<uint32_t>(orb::ReverseBytes(static_cast<uint32_t>(v), 4)));
}

void ZAtomBuffer::Swap(unsigned short& v) { v = static_cast<uint16_t>(orb::ReverseBytes(v, 2)); }

void ZAtomBuffer::Swap(short& v) {
  v = static_cast<short>(orb::ReverseBytes(static_cast<uint16_t>(v), 2));
}
