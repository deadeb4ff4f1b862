// ZBuffer: growth, front removal without data movement, Lock/Release.
#include "orbcmn/zbuffer.h"

#include <cstdint>
#include <cstring>

#include "hostkit/hostkit.h"
#include "lib/alloc.h"

ORBCMN_DEFINE_ALLOC(ZBuffer)

namespace {

const char kTagFirst[] = "zb1";
const char kTagResize[] = "zb3";
const char kTagRelease[] = "zb2";

// The byte that out-of-range non-const indexing refers to, shared by every
// buffer of the library.
char g_scratch = 'U';

// Where an Add source lies: the source may lie in the buffer's own block
// (appending a buffer to itself). It is kept as an offset, from the data
// when it lies there and from the block start otherwise, so that it can be
// found again after the block compacts or moves.
class SourceSpot {
 public:
  // p against a block of capacity bytes whose data runs length bytes from head.
  SourceSpot(const char* p, const char* block, unsigned int capacity, unsigned int head,
             unsigned int length) {
    std::uintptr_t at = reinterpret_cast<std::uintptr_t>(p);
    std::uintptr_t base = reinterpret_cast<std::uintptr_t>(block);
    if (p == nullptr || block == nullptr || at < base || at >= base + capacity) return;
    if (at >= base + head && at <= base + head + length) {
      where_ = kInData;
      offset_ = at - (base + head);
    } else {
      where_ = kInBlock;
      offset_ = at - base;
    }
  }

  // Where source p lies now that the data starts at head of block.
  const char* Find(const char* p, const char* block, unsigned int head) const {
    if (where_ == kInData) return block + head + offset_;
    if (where_ == kInBlock) return block + offset_;
    return p;
  }

 private:
  enum { kOutside, kInData, kInBlock } where_ = kOutside;
  std::uintptr_t offset_ = 0;
};

}  // namespace

ZBuffer::ZBuffer() : block_(nullptr), head_(0), length_(0), capacity_(0), full_(false) {}

ZBuffer::ZBuffer(unsigned int n) : ZBuffer() {
  Add(nullptr, n);
  length_ = 0;
  if (block_ != nullptr) block_[0] = 0;
}

ZBuffer::ZBuffer(const char* const p, unsigned int n) : ZBuffer() { Add(p, n); }

ZBuffer::ZBuffer(const ZBuffer& other) : ZBuffer() {
  Add(static_cast<const char*>(other), other.length_);
}

ZBuffer::~ZBuffer() {
  if (block_ != nullptr) HostKit_Free(kTagRelease, block_);
}

ZBuffer& ZBuffer::operator=(const ZBuffer& other) {
  if (this != &other) Assign(static_cast<const char*>(other), other.length_);
  return *this;
}

ZBuffer& ZBuffer::operator=(char c) {
  Assign(&c, 1);
  return *this;
}

bool ZBuffer::Assign(const char* p, unsigned int n) {
  // Add sees an empty buffer, as after Empty, but the old bytes stay in
  // place until it succeeds: a failed Add leaves the block untouched.
  unsigned int head = head_, length = length_;
  head_ = 0;
  length_ = 0;
  if (Add(p, n)) {
    if (block_ != nullptr) block_[head_ + length_] = 0;  // Add of nothing writes none
    full_ = false;
    return true;
  }
  head_ = head;
  length_ = length;
  return false;
}

void ZBuffer::Compact() {
  if (head_ == 0) return;
  std::memmove(block_, block_ + head_, length_);
  head_ = 0;
  block_[length_] = 0;
}

bool ZBuffer::Add(const char* const p, unsigned int n) {
  if (p == nullptr && n == 0) return true;
  std::uint64_t need = std::uint64_t{length_} + n + 1;
  if (need > UINT32_MAX) return false;

  // Room behind the data: nothing moves, so the source stays where it is
  // even when it lies in this block.
  if (block_ != nullptr && head_ + need <= capacity_) {
    char* end = block_ + head_ + length_;
    if (p != nullptr) std::memmove(end, p, n);
    length_ += n;
    end[n] = 0;
    return true;
  }

  SourceSpot source(p, block_, capacity_, head_, length_);
  if (!Grow(need)) return false;
  if (p != nullptr) std::memmove(block_ + head_ + length_, source.Find(p, block_, head_), n);
  length_ += n;
  block_[head_ + length_] = 0;
  return true;
}

bool ZBuffer::Grow(std::uint64_t need) {
  if (block_ == nullptr) {
    if (need + 16 > UINT32_MAX) return false;
    unsigned int size = need <= 16 ? 16 : static_cast<unsigned int>(need + 16);
    char* fresh = static_cast<char*>(HostKit_Alloc(kTagFirst, size, 0));
    if (fresh == nullptr) {
      orb::NoteRefusal();
      return false;
    }
    block_ = fresh;
    capacity_ = size;
    head_ = 0;
  } else if (need <= capacity_) {
    Compact();
  } else {
    std::uint64_t grown = need + need / 2;
    if (grown > UINT32_MAX) return false;
    Compact();
    char* moved = static_cast<char*>(HostKit_Realloc(kTagResize, block_, grown, 0));
    if (moved == nullptr) {
      orb::NoteRefusal();
      return false;
    }
    block_ = moved;
    capacity_ = static_cast<unsigned int>(grown);
  }
  return true;
}

ZBuffer& ZBuffer::Append(const char* const p, unsigned int n) {
  Add(p, n);
  return *this;
}

ZBuffer& ZBuffer::operator+=(const ZBuffer& other) {
  Add(static_cast<const char*>(other), other.length_);
  return *this;
}

ZBuffer ZBuffer::operator+(const ZBuffer& other) const {
  ZBuffer result;
  result += other;
  return result;
}

ZBuffer ZBuffer::operator+(char c) const {
  ZBuffer result;
  result += c;
  return result;
}

char ZBuffer::operator[](int i) const { return (*this)[static_cast<unsigned int>(i)]; }

char ZBuffer::operator[](unsigned int i) const {
  if (block_ == nullptr || i == 0 || i > length_) return 0;
  return block_[head_ + i - 1];
}

char& ZBuffer::operator[](int i) { return (*this)[static_cast<unsigned int>(i)]; }

char& ZBuffer::operator[](unsigned int i) {
  if (block_ == nullptr || i == 0 || i > length_) return g_scratch;
  return block_[head_ + i - 1];
}

bool ZBuffer::operator==(const ZBuffer& other) const {
  if (length_ != other.length_) return false;
  if (length_ == 0) return true;
  return std::memcmp(block_ + head_, other.block_ + other.head_, length_) == 0;
}

bool ZBuffer::MatchSub(const ZBuffer& other, unsigned int count, unsigned int pos) const {
  if (block_ == nullptr) return false;
  if (count == 0) count = other.length_;
  if (count == 0) return true;
  if (count > other.length_) return false;
  return MatchSub(other.block_ + other.head_, count, pos);
}

bool ZBuffer::MatchSub(const char* s, unsigned int count, unsigned int pos) const {
  if (s == nullptr || count == 0 || block_ == nullptr) return false;
  if (pos == 0 || std::uint64_t{pos} + count - 1 > length_) return false;
  const char* data = block_ + head_ + pos - 1;
  // Byte by byte, so that a text shorter than count is not read past its end.
  for (unsigned int k = 0; k < count; ++k) {
    if (data[k] != s[k]) return false;
  }
  return true;
}

ZBuffer& ZBuffer::Empty() {
  length_ = 0;
  head_ = 0;
  if (block_ != nullptr) block_[0] = 0;
  full_ = false;
  return *this;
}

ZBuffer& ZBuffer::operator--() {
  if (length_ > 0) {
    ++head_;
    --length_;
  }
  return *this;
}

ZBuffer& ZBuffer::operator--(int) {
  if (length_ > 0) {
    --length_;
    block_[head_ + length_] = 0;
  }
  return *this;
}

ZBuffer& ZBuffer::Remove(unsigned int pos, unsigned int count) {
  if (block_ == nullptr || pos == 0 || pos > length_) return *this;
  if (count == 0 || count > length_ - pos + 1) count = length_ - pos + 1;
  if (pos == 1) {
    head_ += count;
    length_ -= count;
    return *this;
  }
  char* data = block_ + head_;
  std::memmove(data + pos - 1, data + pos - 1 + count, length_ - pos - count + 1);
  length_ -= count;
  data[length_] = 0;
  return *this;
}

char* ZBuffer::Lock(unsigned int n) {
  Compact();
  if (n > capacity_) {
    unsigned int old = length_;
    if (!Add(nullptr, n - length_)) return nullptr;
    length_ = old;
    block_[length_] = 0;
  }
  return block_;
}

void ZBuffer::Release(unsigned int n) {
  if (n != 0) {
    length_ = n <= capacity_ - head_ ? n : capacity_ - head_;
    return;
  }
  if (block_ == nullptr) {
    length_ = 0;
    return;
  }
  // Counted from the data start, which Lock has put at the block start.
  unsigned int k = 0;
  while (head_ + k < capacity_ && block_[head_ + k] != 0) ++k;
  length_ = k;
}
