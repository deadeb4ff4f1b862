// ZStreamer: tagged big-endian values and object identities over a ZFile.
#include "orbcmn/zstreamer.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "lib/alloc.h"
#include "lib/coding.h"
#include "persist/identities.h"

ORBCMN_DEFINE_ALLOC(ZStreamer)

namespace {

const short kHeader = 1;

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
    : scratch_(),
      error_(file == nullptr),
      saving_(saving),
      file_(file),
      identities_(nullptr),
      gathering_(0),
      staged_(0) {
  if (saving_) {
    Schema(kHeader);
  } else if (Schema() != kHeader) {
    error_ = true;
  }
}

ZStreamer::~ZStreamer() {
  Flush();
  delete identities_;
}

void ZStreamer::Swap(void*& data, unsigned long n, bool back) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (unsigned long i = 0; i < n; i++) scratch_[i] = bytes[n - 1 - i];
  if (back) {
    std::memcpy(data, scratch_, n);
  } else {
    data = scratch_;
  }
}

bool ZStreamer::Write(const void* data, unsigned long n, bool swap) {
  if (error_ || (swap && n > sizeof scratch_)) return false;
  if (gathering_ == 0) {
    void* from = const_cast<void*>(data);
    if (swap) Swap(from, n, false);
    return Put(from, n);
  }
  if (n > sizeof stage_ - staged_ && !Flush()) return false;
  if (n >= sizeof stage_) return Put(data, n);
  Stage(data, static_cast<unsigned int>(n), swap);
  return true;
}

void ZStreamer::Stage(const void* data, unsigned int n, bool swap) {
  unsigned char* to = stage_ + staged_;
  if (swap) {
    const unsigned char* from = static_cast<const unsigned char*>(data);
    for (unsigned int i = 0; i < n; i++) to[i] = from[n - 1 - i];
  } else if (n != 0) {  // an empty buffer's data may be null
    std::memcpy(to, data, n);
  }
  staged_ += n;
}

// Gathered in one step when there is room. N is a constant so that the
// byte stores unroll: tags and numbers are most of a stream.
template <unsigned int N>
inline bool ZStreamer::Big(std::uint64_t bits) {
  if (gathering_ == 0 || error_ || sizeof stage_ - staged_ < N) return WriteBig(*this, bits, N);
  orb::PutBig(stage_ + staged_, bits, N);
  staged_ += N;
  return true;
}

template <unsigned int N>
inline bool ZStreamer::Tagged(short tag, std::uint64_t bits) {
  return Big<2>(static_cast<std::uint16_t>(tag)) && Big<N>(bits);
}

bool ZStreamer::Put(const void* data, unsigned long n) {
  std::uint32_t count = static_cast<std::uint32_t>(n);
  if (file_->Write(data, count) != count) {
    error_ = true;
    return false;
  }
  return true;
}

// The collected bytes were all accepted before any error, so they go out
// even when Fail has been called since.
bool ZStreamer::Flush() {
  unsigned int n = staged_;
  staged_ = 0;
  return (n == 0 || Put(stage_, n)) && !error_;
}

void ZStreamer::Deliver() {
  if (gathering_ > 0 && --gathering_ == 0) Flush();
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

bool ZStreamer::Schema(short value) { return Big<2>(static_cast<std::uint16_t>(value)); }

short ZStreamer::Schema() {
  std::uint64_t bits;
  return ReadBig(*this, bits, 2) ? static_cast<short>(bits) : -1;
}

bool ZStreamer::Write(unsigned char value) { return Tagged<1>(eTagUnsignedChar, value); }

bool ZStreamer::Write(signed char value) {
  return Tagged<1>(eTagSignedChar, static_cast<unsigned char>(value));
}

bool ZStreamer::Write(unsigned short value) { return Tagged<2>(eTagUnsignedShort, value); }

bool ZStreamer::Write(short value) {
  return Tagged<2>(eTagShort, static_cast<std::uint16_t>(value));
}

bool ZStreamer::Write(unsigned long value) {
  return Tagged<4>(eTagUnsignedLong, static_cast<std::uint32_t>(value));
}

bool ZStreamer::Write(long value) { return Tagged<4>(eTagLong, static_cast<std::uint32_t>(value)); }

bool ZStreamer::Write(float value) {
  static_assert(sizeof(float) == 4, "float must be IEEE 754 single precision");
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return Tagged<4>(eTagFloat, bits);
}

bool ZStreamer::Write(double value) {
  static_assert(sizeof(double) == 8, "double must be IEEE 754 double precision");
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  return Tagged<8>(eTagDouble, bits);
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

ZStreamer::Identities* ZStreamer::Table() {
  if (identities_ == nullptr) identities_ = new (std::nothrow) Identities;
  return identities_;
}

bool ZStreamer::WriteUID(void* object) {
  Identities* table = Table();
  bool first = false;
  std::uint32_t id = table == nullptr ? 0 : table->Number(object, &first);
  if (id == 0) {
    error_ = true;
    return false;
  }
  Write(static_cast<unsigned long>(id));
  return first;
}

void* ZStreamer::ReadUID(void* object) { return ReadIdentity(object, nullptr).object; }

ZStreamer::Identity ZStreamer::ReadIdentity(void* object, const void* kind) {
  Identity found = {false, nullptr, nullptr};
  std::uint32_t id;
  if (Schema() != eTagUnsignedLong || !Read(&id, 4, true)) return found;
  Identities* table = Table();
  bool added = false;
  if (table == nullptr || !table->Lookup(id, &object, &kind, &added)) {
    error_ = true;
    return found;
  }
  found.read = true;
  if (!added) {
    found.object = object;
    found.kind = kind;
  }
  return found;
}

unsigned long ZStreamer::Registered() const {
  return identities_ == nullptr ? 0 : identities_->Count();
}

void ZStreamer::Forget(unsigned long mark) {
  if (identities_ != nullptr) identities_->ForgetFrom(static_cast<std::uint32_t>(mark));
}
