// Internals of the regular-expression engine: a small stack for the
// compiler and the matcher, the memoising matcher, and a switch that
// selects plain backtracking (for the library's tests, which compare the
// two).
#ifndef ORBCMN_TEXT_REGEXP_INTERNAL_H_
#define ORBCMN_TEXT_REGEXP_INTERNAL_H_

#include <stdint.h>
#include <string.h>

#include <type_traits>

#include "lib/alloc.h"
#include "orbcmn/export.h"
#include "orbcmn/zlist.h"

class ZRegExp;

// Non-zero: every ZRegExp match runs plain recursive backtracking instead
// of the memoising matcher. For tests only; library-wide, off at load.
ORBCMN_C void OrbText_SetPlainBacktracking(int on);

namespace orb {

// A stack of plain values with room for Inline of them in place; beyond
// that it grows on the host allocator. Push is false when memory ran out.
template <class T, unsigned Inline>
class Stack {
  static_assert(std::is_trivially_copyable<T>::value, "values are moved with memcpy");

 public:
  Stack() : items_(inline_), size_(0), capacity_(Inline) {}
  ~Stack() {
    if (items_ != inline_) orb::Free(items_);
  }
  Stack(const Stack&) = delete;
  Stack& operator=(const Stack&) = delete;

  bool Push(const T& value) {
    if (size_ == capacity_ && !Grow()) return false;
    items_[size_++] = value;
    return true;
  }
  T Pop() { return items_[--size_]; }
  T& Top() { return items_[size_ - 1]; }
  bool Empty() const { return size_ == 0; }
  uint32_t Size() const { return size_; }

 private:
  bool Grow() {
    if (capacity_ > UINT32_MAX / 2 / sizeof(T)) return false;
    T* bigger = static_cast<T*>(orb::Alloc(sizeof(T) * capacity_ * 2));
    if (bigger == nullptr) return false;
    memcpy(static_cast<void*>(bigger), items_, sizeof(T) * size_);
    if (items_ != inline_) orb::Free(items_);
    items_ = bigger;
    capacity_ *= 2;
    return true;
  }

  T inline_[Inline];
  T* items_;
  uint32_t size_;
  uint32_t capacity_;
};

// The atoms that failed at a position during one match. Beside the plain
// question it answers, for a repeated atom about to try the rest of the
// chain at end positions from..low, which is the next end position not
// known to fail, skipping runs of known failures in near-constant time.
// When memory runs out it stops recording, which costs time, not results.
class FailureMemo {
 public:
  FailureMemo() : slots_(nullptr), capacity_(0), count_(0), exhausted_(false) {}
  ~FailureMemo() { orb::Free(slots_); }
  FailureMemo(const FailureMemo&) = delete;
  FailureMemo& operator=(const FailureMemo&) = delete;

  // True when atom is known to fail at pos.
  bool Failed(const ZRegExp* atom, long long pos) { return Lookup(atom, pos) != nullptr; }
  // Notes that atom fails at pos.
  void Record(const ZRegExp* atom, long long pos);
  // The largest position in [low, from] at which atom is not known to
  // fail, or -1.
  long long Candidate(const ZRegExp* atom, long long from, long long low);

 private:
  // One failure; every position in (link, pos] is known to fail too.
  struct Slot {
    const ZRegExp* atom;  // null: free slot
    long long pos;
    long long link;
  };

  Slot* Lookup(const ZRegExp* atom, long long pos);
  uint32_t Home(const ZRegExp* atom, long long pos) const;
  bool Grow();

  Slot* slots_;
  uint32_t capacity_;  // a power of two, or 0
  uint32_t count_;
  bool exhausted_;
};

}  // namespace orb

// The memoising matcher: runs the chain that starts at head over text[0, n)
// with an explicit stack of atom frames, so its depth in C++ frames stays
// constant. Each (atom, position) pair is worked out at most once per match.
class ZRegExpMatcher {
 public:
  // The offset where the successful match ended, or -1 when it fails (or
  // memory for its stack or for an atom's record of its match runs out).
  static long long Run(ZRegExp* head, const char* text, unsigned int n);

 private:
  struct Frame;
  struct Call {
    ZRegExp* atom;
    long long pos;
  };

  ZRegExpMatcher(const char* text, unsigned int n) : text_(text), n_(n) {}
  long long Match(ZRegExp* head);
  bool Advance(Frame& f, long long& value, Call& call);
  bool Start(Frame& f, long long& value, Call& call);
  bool Hand(Frame& f, long long end, long long& value, Call& call);
  bool TryRepeat(Frame& f, long long from, long long& value, Call& call);
  // Makes n bytes from p atom a's record of its match; a record that cannot
  // be kept fails the whole match.
  void Record(ZRegExp* a, const char* p, unsigned int n);

  const char* text_;
  long long n_;
  orb::FailureMemo memo_;
  bool lost_ = false;  // a record of a match could not be kept
};

#endif  // ORBCMN_TEXT_REGEXP_INTERNAL_H_
