// ZVectorString: strings built in place in raw storage from the host
// allocator.
#include "orbcmn/zvectorstring.h"

#include <new>

#include "lib/alloc.h"

ORBCMN_DEFINE_ALLOC(ZVectorString)

namespace {

ZString& Scratch() {
  static ZString scratch;
  scratch.Empty();
  return scratch;
}

}  // namespace

ZVectorString::ZVectorString() : items_(nullptr), count_(0), capacity_(0) {}

ZVectorString::ZVectorString(const ZVectorString& other)
    : items_(nullptr), count_(0), capacity_(0) {
  if (other.count_ == 0 || !Grow(other.count_)) return;
  for (int i = 0; i < other.count_; ++i) ::new (&items_[i]) ZString(other.items_[i]);
  count_ = other.count_;
}

ZVectorString& ZVectorString::operator=(const ZVectorString& other) {
  if (this == &other) return *this;
  clear();
  if (other.count_ > capacity_ && !Grow(other.count_)) return *this;
  for (int i = 0; i < other.count_; ++i) ::new (&items_[i]) ZString(other.items_[i]);
  count_ = other.count_;
  return *this;
}

ZVectorString::~ZVectorString() {
  clear();
  orb::Free(items_);
}

ZString& ZVectorString::operator[](int i) {
  if (i < 0 || i >= count_) return Scratch();
  return items_[i];
}

const ZString& ZVectorString::operator[](int i) const {
  if (i < 0 || i >= count_) return Scratch();
  return items_[i];
}

void ZVectorString::clear() {
  for (int i = 0; i < count_; ++i) items_[i].~ZString();
  count_ = 0;
}

void ZVectorString::push_back(const ZString& value) {
  if (count_ < capacity_) {
    ::new (&items_[count_]) ZString(value);
    ++count_;
    return;
  }
  // value may be one of this sequence's own strings, which growing moves.
  ZString copy(value);
  if (!Grow(count_ == 0 ? 4 : count_ * 2)) return;
  ::new (&items_[count_]) ZString(copy);
  ++count_;
}

bool ZVectorString::Grow(int capacity) {
  void* block = orb::Alloc(sizeof(ZString) * static_cast<std::size_t>(capacity));
  if (block == nullptr) return false;
  ZString* items = static_cast<ZString*>(block);
  for (int i = 0; i < count_; ++i) {
    ::new (&items[i]) ZString(items_[i]);
    items_[i].~ZString();
  }
  orb::Free(items_);
  items_ = items;
  capacity_ = capacity;
  return true;
}
