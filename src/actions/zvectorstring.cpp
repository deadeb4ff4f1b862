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
  if (other.count_ > 0) Adopt(other.items_, other.count_, other.count_);
}

ZVectorString& ZVectorString::operator=(const ZVectorString& other) {
  if (this == &other) return *this;
  if (other.count_ == 0) {
    clear();
  } else {
    Adopt(other.items_, other.count_, other.count_);
  }
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
    if (Copy(&value, 1, items_ + count_)) ++count_;
    return;
  }
  // value may be one of this sequence's own strings, which growing moves.
  ZString copy(value);
  if (copy.GetLength() != value.GetLength() || !Grow(count_ == 0 ? 4 : count_ * 2)) return;
  if (Copy(&copy, 1, items_ + count_)) ++count_;
}

bool ZVectorString::Grow(int capacity) { return Adopt(items_, count_, capacity); }

bool ZVectorString::Copy(const ZString* from, int n, ZString* to) {
  for (int i = 0; i < n; ++i) {
    ::new (&to[i]) ZString(from[i]);
    if (to[i].GetLength() == from[i].GetLength()) continue;
    while (i >= 0) to[i--].~ZString();  // a string could not be copied
    return false;
  }
  return true;
}

bool ZVectorString::Adopt(const ZString* from, int n, int capacity) {
  void* block = orb::Alloc(sizeof(ZString) * static_cast<std::size_t>(capacity));
  if (block == nullptr) return false;
  ZString* items = static_cast<ZString*>(block);
  if (!Copy(from, n, items)) {
    orb::Free(block);
    return false;
  }
  clear();
  orb::Free(items_);
  items_ = items;
  count_ = n;
  capacity_ = capacity;
  return true;
}
