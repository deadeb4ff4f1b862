// ZActionFragment: one piece of a code's byte sequence, and the length
// fields and data blocks that follow stream pieces.
#include "actions/sequences.h"
#include "lib/alloc.h"
#include "lib/coding.h"
#include "orbcmn/zactiontable.h"

ORBCMN_DEFINE_ALLOC(ZActionFragment)

ZActionFragment::ZActionFragment() : type_(StreamBytes), index_(0), holders_(0) {}

ZActionFragment::ZActionFragment(EType type, int index)
    : type_(type), index_(static_cast<short>(index)), holders_(0) {}

ZActionFragment::ZActionFragment(EType type, const ZBuffer& bytes)
    : type_(type), index_(0), bytes_(bytes), holders_(0) {}

ZActionFragment::ZActionFragment(const ZActionFragment& other)
    : type_(other.type_), index_(other.index_), bytes_(other.bytes_), holders_(0) {}

ZActionFragment& ZActionFragment::operator=(const ZActionFragment& other) {
  type_ = other.type_;
  index_ = other.index_;
  bytes_ = other.bytes_;
  return *this;
}

ZActionFragment::~ZActionFragment() {}

int ZActionFragment::Match(ZBuffer& input, ZBuffer& data) {
  switch (type_) {
    case StreamBytes:
      if (!orb::StartsWith(input, bytes_.GetBytePtr(), bytes_.GetLength())) return FragmentRefused;
      orb::DropFront(input, bytes_.GetLength());
      if (!input.IsEmpty()) GetArgs(input, data);
      return FragmentHandled;
    case DataBytes:
      if (!orb::StartsWith(data, bytes_.GetBytePtr(), bytes_.GetLength())) return FragmentRefused;
      orb::DropFront(data, bytes_.GetLength());
      return FragmentHandled;
    default:
      return index_;
  }
}

int ZActionFragment::Add(ZBuffer& output, ZBuffer& data) {
  switch (type_) {
    case StreamBytes:
      if (!data.IsEmpty() && !AddArgs(output, data)) return FragmentRefused;
      output += bytes_;
      return FragmentHandled;
    case DataBytes:
      data += bytes_;
      return FragmentHandled;
    default:
      return index_;
  }
}

int ZActionFragment::GetArgLength(ZBuffer& input) {
  if (input.IsEmpty()) return 0;
  size_t length = 0;
  const unsigned char* p = input.GetBytePtr();
  size_t used = orb::ReadLengthFieldLenient(p, input.GetLength(), &length);
  // Input that ends inside the two-byte form reads as length 0.
  orb::DropFront(input, used == 0 ? 1 : static_cast<unsigned int>(used));
  return static_cast<int>(length);
}

bool ZActionFragment::AddArgLength(ZBuffer& output, unsigned int length) {
  if (length > orb::kMaxAtomLength) return false;
  unsigned char field[2];
  size_t size = orb::PutLengthField(field, length);
  output.Append(reinterpret_cast<const char*>(field), static_cast<unsigned int>(size));
  return true;
}

void ZActionFragment::GetArgs(ZBuffer& input, ZBuffer& data) {
  unsigned int length = static_cast<unsigned int>(GetArgLength(input));
  // A length beyond the input takes what remains.
  if (length > input.GetLength()) length = input.GetLength();
  if (length == 0) return;
  data.Append(static_cast<const char*>(input), length);
  orb::DropFront(input, length);
}

bool ZActionFragment::AddArgs(ZBuffer& output, ZBuffer& data) {
  if (!AddArgLength(output, data.GetLength())) return false;
  output += data;
  data.Empty();
  return true;
}
