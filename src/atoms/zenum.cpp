#include "orbcmn/zenum.h"

#include <cstring>

#include "atoms/chain.h"
#include "lib/alloc.h"

ORBCMN_DEFINE_ALLOC(ZEnumItem)
ORBCMN_DEFINE_ALLOC(ZEnum)
ORBCMN_DEFINE_ALLOC(ZMulti)

namespace {

const char kSeparator[] = " | ";

// Appends the separator unless out is still empty, then the piece.
void AddPiece(ZString& out, const ZString& piece) {
  if (!out.IsEmpty()) out += kSeparator;
  out.Append(piece, piece.GetLength());
}

// A value printed as the signed 32-bit number it is.
void AddNumber(ZString& out, uint32_t value) {
  if (!out.IsEmpty()) out += kSeparator;
  out.FormatAdd("%ld", static_cast<long>(static_cast<int32_t>(value)));
}

}  // namespace

// ZEnumItem

ZEnumItem::ZEnumItem() : value_(0), next_(nullptr) {}

ZEnumItem::ZEnumItem(const ZString& name, unsigned long value)
    : value_(static_cast<uint32_t>(value)), name_(name), next_(nullptr) {
  name_.MakeLower();
}

ZEnumItem::~ZEnumItem() { DestroyChain(next_, &ZEnumItem::next_); }

const ZString& ZEnumItem::GetName() const { return name_; }

unsigned long ZEnumItem::GetValue() const { return value_; }

// ZEnum

ZEnum::ZEnum() : size_(0), operation_(0), first_(nullptr), next_(nullptr) {}

ZEnum::ZEnum(unsigned short size, unsigned short operation)
    : size_(size), operation_(operation), first_(nullptr), next_(nullptr) {}

ZEnum::~ZEnum() {
  DestroyChain(first_, &ZEnumItem::next_);
  DestroyChain(next_, &ZEnum::next_);
}

bool ZEnum::AddItem(const ZString& name, unsigned long value) {
  ZEnumItem* item = orb::MakeWhole<ZEnumItem>(name, value);
  if (item != nullptr) AppendToChain(first_, item, &ZEnumItem::next_);
  return item != nullptr;
}

ZEnumItem* ZEnum::GetItem(int index) const {
  if (index < 0) return nullptr;
  ZEnumItem* item = first_;
  while (item != nullptr && index-- > 0) item = item->next_;
  return item;
}

unsigned short ZEnum::GetSize() const { return size_; }

unsigned short ZEnum::GetOperation() const { return operation_; }

ZEnum* ZEnum::Next() const { return next_; }

ZString ZEnum::Lookup(unsigned long value) const {
  const uint32_t v = static_cast<uint32_t>(value);
  switch (operation_) {
    case eBitFlags:
      return LookupBitFlags(v);
    case eSingleValue:
      return LookupSingleValue(v);
    case eBitFields:
      return LookupBitFields(v);
    default:
      return ZString();
  }
}

ZString ZEnum::LookupBitFlags(uint32_t value) const {
  ZString out;
  if (value == 0) {
    for (const ZEnumItem* item = first_; item != nullptr; item = item->next_) {
      if (item->value_ == 0) return item->name_;
    }
    AddNumber(out, 0);
    return out;
  }
  // A value has 32 bits; a wider size shows no more of them.
  const unsigned int bits = size_ * 8u < 32u ? size_ * 8u : 32u;
  for (unsigned int bit = 0; bit < bits; ++bit) {
    const uint32_t mask = uint32_t{1} << bit;
    if ((value & mask) == 0) continue;
    const ZEnumItem* named = first_;
    while (named != nullptr && named->value_ != mask) named = named->next_;
    if (named != nullptr) {
      AddPiece(out, named->name_);
    } else {
      AddNumber(out, mask);
    }
  }
  return out;
}

ZString ZEnum::LookupSingleValue(uint32_t value) const {
  for (const ZEnumItem* item = first_; item != nullptr; item = item->next_) {
    if (item->value_ == value) return item->name_;
  }
  ZString out;
  AddNumber(out, value);
  return out;
}

ZString ZEnum::LookupBitFields(uint32_t value) const {
  ZString out;
  uint32_t collected = 0;
  for (const ZEnumItem* item = first_; item != nullptr; item = item->next_) {
    const uint32_t mask = item->value_ >> 16;
    const uint32_t pattern = item->value_ & 0xFFFF;
    if ((value & mask) == pattern) {
      AddPiece(out, item->name_);
      collected |= pattern;
    }
  }
  const uint32_t remainder = value & ~collected;
  if (remainder != 0) AddNumber(out, remainder);
  return out;
}

const ZEnumItem* ZEnum::FindItem(const char* name, unsigned int length) const {
  for (const ZEnumItem* item = first_; item != nullptr; item = item->next_) {
    if (item->name_.GetLength() == length &&
        (length == 0 || std::memcmp(static_cast<const char*>(item->name_), name, length) == 0)) {
      return item;
    }
  }
  return nullptr;
}

unsigned long ZEnum::Lookup(const ZString& text, bool* ok) const {
  bool parsed = false;
  uint32_t result = 0;
  if (operation_ == eBitFlags || operation_ == eSingleValue || operation_ == eBitFields) {
    const char* p = text;
    const unsigned int length = text.GetLength();
    unsigned int pos = 0;
    for (;;) {
      unsigned int end = pos;
      while (end < length && p[end] != '|') ++end;
      const char* token = p == nullptr ? "" : p + pos;
      const unsigned int tokenLength = end - pos;

      uint32_t value;
      if (const ZEnumItem* item = FindItem(token, tokenLength)) {
        value = item->value_;
      } else {
        const ZString number(token, tokenLength);
        if (!number.IsNumeric()) break;  // not parsed: the result is 0
        value = static_cast<uint32_t>(static_cast<long>(number));
      }

      if (operation_ == eSingleValue) {
        result = value;
        parsed = true;
        break;
      }
      result |= operation_ == eBitFlags ? value : (value & 0xFFFF);
      if (end >= length) {
        parsed = true;
        break;
      }
      pos = end + 1;  // drop the bar
    }
  }
  if (ok != nullptr) *ok = parsed;
  return parsed ? result : 0;
}

// ZMulti

ZMulti::ZMulti() : type_(0), enum_(nullptr), next_(nullptr) {}

ZMulti::ZMulti(unsigned short type, ZEnum* e) : type_(type), enum_(e), next_(nullptr) {}

ZMulti::~ZMulti() {
  enum_ = nullptr;
  DestroyChain(next_, &ZMulti::next_);
}
