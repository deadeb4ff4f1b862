// ZStreamer: tagged big-endian values and object identities over a ZFile.
#include "orbcmn/zstreamer.h"

#include <cstdint>
#include <cstring>

#include "lib/alloc.h"
#include "lib/coding.h"

ORBCMN_DEFINE_ALLOC(ZStreamer)

namespace {

const short kHeader = 1;

// Key under which a saving streamer first looks for an object: the address
// folded to 32 bits. Equal keys of different objects are resolved by probing
// the following keys.
std::uint32_t AddressKey(void* object) {
  std::uint64_t a = reinterpret_cast<std::uintptr_t>(object);
  return static_cast<std::uint32_t>(a ^ (a >> 32));
}

// Writes the low n bytes of bits, most significant first.
bool WriteBig(ZStreamer& s, std::uint64_t bits, unsigned n) {
  unsigned char bytes[8];
  orb::PutBig(bytes, bits, n);
  return s.Write(bytes, n, false);
}

// Reads n bytes, most significant first, into bits; bits is left alone
// when they cannot be read.
bool ReadBig(ZStreamer& s, std::uint64_t& bits, unsigned n) {
  unsigned char bytes[8];
  if (!s.Read(bytes, n, false)) return false;
  bits = orb::GetBig(bytes, n);
  return true;
}

}  // namespace

ZStreamer::ZStreamer(ZFile* file, bool saving)
    : scratch_(), error_(file == nullptr), saving_(saving), file_(file) {
  if (saving_) {
    Schema(kHeader);
  } else if (Schema() != kHeader) {
    error_ = true;
  }
}

ZStreamer::~ZStreamer() {}

void ZStreamer::Swap(void*& data, unsigned long n, bool back) {
  unsigned char const* bytes = static_cast<unsigned char const*>(data);
  for (unsigned long i = 0; i < n; i++) scratch_[i] = bytes[n - 1 - i];
  if (back) {
    std::memcpy(data, scratch_, n);
  } else {
    data = scratch_;
  }
}

bool ZStreamer::Write(void const* data, unsigned long n, bool swap) {
  if (error_ || (swap && n > sizeof scratch_)) return false;
  void* from = const_cast<void*>(data);
  if (swap) Swap(from, n, false);
  std::uint32_t count = static_cast<std::uint32_t>(n);
  if (file_->Write(from, count) != count) {
    error_ = true;
    return false;
  }
  return true;
}

bool ZStreamer::Read(void* data, unsigned long n, bool swap) {
  if (error_ || (swap && n > sizeof scratch_)) return false;
  std::uint32_t count = static_cast<std::uint32_t>(n);
  if (file_->Read(data, count) != count) {
    error_ = true;
    return false;
  }
  if (swap) Swap(data, n, true);
  return true;
}

bool ZStreamer::Schema(short value) {
  return WriteBig(*this, static_cast<std::uint16_t>(value), 2);
}

short ZStreamer::Schema() {
  std::uint64_t bits;
  return ReadBig(*this, bits, 2) ? static_cast<short>(bits) : -1;
}

bool ZStreamer::Write(unsigned char value) {
  Schema(eTagUnsignedChar);
  return Write(&value, 1, false);
}

bool ZStreamer::Write(signed char value) {
  Schema(eTagSignedChar);
  return Write(&value, 1, false);
}

bool ZStreamer::Write(unsigned short value) {
  Schema(eTagUnsignedShort);
  return WriteBig(*this, value, 2);
}

bool ZStreamer::Write(short value) {
  Schema(eTagShort);
  return WriteBig(*this, static_cast<std::uint16_t>(value), 2);
}

bool ZStreamer::Write(unsigned long value) {
  Schema(eTagUnsignedLong);
  return WriteBig(*this, static_cast<std::uint32_t>(value), 4);
}

bool ZStreamer::Write(long value) {
  Schema(eTagLong);
  return WriteBig(*this, static_cast<std::uint32_t>(value), 4);
}

bool ZStreamer::Write(float value) {
  static_assert(sizeof(float) == 4, "float must be IEEE 754 single precision");
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  Schema(eTagFloat);
  return WriteBig(*this, bits, 4);
}

bool ZStreamer::Write(double value) {
  static_assert(sizeof(double) == 8, "double must be IEEE 754 double precision");
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  Schema(eTagDouble);
  return WriteBig(*this, bits, 8);
}

bool ZStreamer::Read(unsigned char& value) {
  return Schema() == eTagUnsignedChar && Read(&value, 1, false);
}

bool ZStreamer::Read(signed char& value) {
  return Schema() == eTagSignedChar && Read(&value, 1, false);
}

bool ZStreamer::Read(unsigned short& value) {
  std::uint64_t bits;
  if (Schema() != eTagUnsignedShort || !ReadBig(*this, bits, 2)) return false;
  value = static_cast<unsigned short>(bits);
  return true;
}

bool ZStreamer::Read(short& value) {
  std::uint64_t bits;
  if (Schema() != eTagShort || !ReadBig(*this, bits, 2)) return false;
  value = static_cast<short>(bits);
  return true;
}

bool ZStreamer::Read(unsigned long& value) {
  std::uint64_t bits;
  if (Schema() != eTagUnsignedLong || !ReadBig(*this, bits, 4)) return false;
  value = static_cast<std::uint32_t>(bits);
  return true;
}

bool ZStreamer::Read(long& value) {
  std::uint64_t bits;
  if (Schema() != eTagLong || !ReadBig(*this, bits, 4)) return false;
  value = static_cast<std::int32_t>(bits);
  return true;
}

bool ZStreamer::Read(float& value) {
  std::uint64_t bits;
  if (Schema() != eTagFloat || !ReadBig(*this, bits, 4)) return false;
  std::uint32_t single = static_cast<std::uint32_t>(bits);
  std::memcpy(&value, &single, 4);
  return true;
}

bool ZStreamer::Read(double& value) {
  std::uint64_t bits;
  if (Schema() != eTagDouble || !ReadBig(*this, bits, 8)) return false;
  std::memcpy(&value, &bits, 8);
  return true;
}

bool ZStreamer::Null() { return Write(0L); }

ZStreamer::Entry ZStreamer::EntryAt(unsigned long index) const {
  Entry entry;
  std::memcpy(&entry, static_cast<char const*>(entries_) + index * sizeof entry, sizeof entry);
  return entry;
}

unsigned long ZStreamer::Identifier(void* object, std::uint32_t* freeKey) const {
  for (std::uint32_t key = AddressKey(object);; key++) {
    void* value;
    if (!identities_.find(key, value)) {
      *freeKey = key;
      return 0;
    }
    unsigned long id = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(value));
    if (EntryAt(id - 1).object == object) return id;
  }
}

bool ZStreamer::Remember(unsigned long key, void* object, void const* kind) {
  Entry entry = {object, kind};
  unsigned int before = entries_.GetLength();
  entries_.Append(reinterpret_cast<char const*>(&entry), sizeof entry);
  if (entries_.GetLength() != before + sizeof entry) return false;
  void* number = reinterpret_cast<void*>(static_cast<std::uintptr_t>(before / sizeof entry + 1));
  if (!identities_.insert(key, number)) {
    entries_.Remove(before + 1, 0);
    return false;
  }
  return true;
}

bool ZStreamer::WriteUID(void* object) {
  std::uint32_t key;
  unsigned long id = Identifier(object, &key);
  bool first = id == 0;
  if (first) {
    if (!Remember(key, object, nullptr)) {
      error_ = true;
      return false;
    }
    id = identities_.size();
  }
  Write(id);
  return first;
}

void* ZStreamer::ReadUID(void* object) { return ReadUID(object, nullptr); }

void* ZStreamer::ReadUID(void* object, void const* kind) {
  unsigned long id;
  if (!Read(id)) {
    error_ = true;
    return nullptr;
  }
  void* value;
  if (identities_.find(id, value)) {
    Entry known = EntryAt(reinterpret_cast<std::uintptr_t>(value) - 1);
    if (kind == nullptr || known.kind == kind) return known.object;
    error_ = true;
    return nullptr;
  }
  if (!Remember(id, object, kind)) error_ = true;
  return nullptr;
}
