// The memoising matcher. It follows the same steps as plain backtracking,
// atom by atom, but keeps its own stack of frames instead of recursing, and
// remembers every (atom, position) that failed, so that backtracking
// through repeated atoms never works out the same pair twice.
#include <string.h>

#include "orbcmn/zregexp.h"
#include "text/regexp_internal.h"

namespace {

const long long kFail = -1;

enum Phase : int {
  kStart,    // not begun
  kPass,     // waiting for the rest of the chain; its result is ours
  kRepeat,   // a repeated atom waiting for the rest at end position `at`
  kAltTry,   // waiting for the alternative `alt`
  kAltRest,  // the rest after the alternative's match
  kAltBare,  // the rest as if the group had consumed nothing
};

}  // namespace

void orb::FailureMemo::Record(const ZRegExp* atom, long long pos) {
  if (exhausted_ || Lookup(atom, pos) != nullptr) return;
  if ((count_ + 1) * 2 > capacity_ && !Grow()) {
    exhausted_ = true;
    return;
  }
  uint32_t i = Home(atom, pos);
  while (slots_[i].atom != nullptr) i = (i + 1) & (capacity_ - 1);
  slots_[i] = Slot{atom, pos, pos - 1};
  ++count_;
}

long long orb::FailureMemo::Candidate(const ZRegExp* atom, long long from, long long low) {
  long long r = from;
  while (r >= low) {
    Slot* s = Lookup(atom, r);
    if (s == nullptr) break;
    r = s->link;
  }
  // Point every failure passed on the way straight at r.
  long long q = from;
  while (q > r) {
    Slot* s = Lookup(atom, q);
    if (s == nullptr) break;
    q = s->link;
    s->link = r;
  }
  return r >= low ? r : kFail;
}

orb::FailureMemo::Slot* orb::FailureMemo::Lookup(const ZRegExp* atom, long long pos) {
  if (count_ == 0) return nullptr;
  for (uint32_t i = Home(atom, pos);; i = (i + 1) & (capacity_ - 1)) {
    Slot& s = slots_[i];
    if (s.atom == nullptr) return nullptr;
    if (s.atom == atom && s.pos == pos) return &s;
  }
}

uint32_t orb::FailureMemo::Home(const ZRegExp* atom, long long pos) const {
  // A full 64-bit mix, so that neighbouring positions of one atom and the
  // aligned addresses of atoms spread over the whole table.
  uint64_t h = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(atom)) ^
               static_cast<uint64_t>(pos) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBull;
  h ^= h >> 31;
  return static_cast<uint32_t>(h) & (capacity_ - 1);
}

bool orb::FailureMemo::Grow() {
  uint32_t capacity = capacity_ == 0 ? 16 : capacity_ * 2;
  if (capacity > (1u << 26)) return false;  // keeps the block size within 32 bits
  Slot* slots = static_cast<Slot*>(orb::Alloc(sizeof(Slot) * capacity));
  if (slots == nullptr) return false;
  memset(static_cast<void*>(slots), 0, sizeof(Slot) * capacity);
  Slot* old = slots_;
  uint32_t oldCapacity = capacity_;
  slots_ = slots;
  capacity_ = capacity;
  for (uint32_t j = 0; j < oldCapacity; ++j) {
    if (old[j].atom == nullptr) continue;
    uint32_t i = Home(old[j].atom, old[j].pos);
    while (slots_[i].atom != nullptr) i = (i + 1) & (capacity_ - 1);
    slots_[i] = old[j];
  }
  orb::Free(old);
  return true;
}

struct ZRegExpMatcher::Frame {
  ZRegExp* atom;
  long long pos;  // where this atom starts
  long long at;   // kRepeat: where this atom's run ends in the current try
  long long low;  // kRepeat: the shortest run's end
  ZListRegExpP::ZIterator alt;
  int phase;
};

long long ZRegExpMatcher::Run(ZRegExp* head, const char* text, unsigned int n) {
  ZRegExpMatcher matcher(text, n);
  long long end = matcher.Match(head);
  return matcher.lost_ ? kFail : end;
}

void ZRegExpMatcher::Record(ZRegExp* a, const char* p, unsigned int n) {
  a->lastMatch_.Empty();
  a->lastMatch_.Append(p, n);
  if (a->lastMatch_.GetLength() != n) lost_ = true;
}

long long ZRegExpMatcher::Match(ZRegExp* head) {
  orb::Stack<Frame, 16> stack;
  stack.Push(Frame{head, 0, 0, 0, ZListRegExpP::ZIterator(), kStart});
  long long value = kFail;
  for (;;) {
    Call call;
    if (Advance(stack.Top(), value, call)) {
      if (!stack.Push(Frame{call.atom, call.pos, 0, 0, ZListRegExpP::ZIterator(), kStart})) {
        return kFail;
      }
      continue;
    }
    Frame done = stack.Pop();
    if (stack.Empty()) return value;
    // The head is never tried twice; everything below it may be.
    if (value == kFail) memo_.Record(done.atom, done.pos);
  }
}

// Runs frame f as far as it can go. True: it needs the result of `call`,
// which comes back in `value` on the next call. False: `value` holds f's
// own result, the end of the match or kFail.
bool ZRegExpMatcher::Advance(Frame& f, long long& value, Call& call) {
  ZRegExp* a = f.atom;
  for (;;) {
    switch (f.phase) {
      case kStart:
        if (Start(f, value, call)) return true;
        continue;
      case kPass:
      case kAltBare:
        return false;
      case kRepeat:
        if (value != kFail) {
          Record(a, text_ + f.pos, static_cast<unsigned int>(f.at - f.pos));
          return false;
        }
        if (f.at - 1 < f.low) return false;
        if (TryRepeat(f, f.at - 1, value, call)) return true;
        continue;
      case kAltTry:
        if (value != kFail) {
          Record(a, (*f.alt)->lastMatch_, (*f.alt)->lastMatch_.GetLength());
          f.phase = kAltRest;
          if (Hand(f, value, value, call)) return true;
          continue;
        }
        ++f.alt;
        if (f.alt == a->alts_.end()) return false;
        call = Call{*f.alt, f.pos};
        return true;
      case kAltRest:
        if (value != kFail) return false;
        a->lastMatch_.Empty();
        f.phase = kAltBare;
        if (Hand(f, f.pos, value, call)) return true;
        continue;
    }
  }
}

// Matches f's atom at f.pos and moves f on to the phase it goes on in.
// True: it needs the result of `call`. False: f goes on in its new phase
// with `value`; an atom that does not match here leaves kPass and kFail.
bool ZRegExpMatcher::Start(Frame& f, long long& value, Call& call) {
  ZRegExp* a = f.atom;
  value = kFail;
  f.phase = kPass;
  if (a->kind_ == ZRegExp::kEmpty || memo_.Failed(a, f.pos)) return false;
  a->lastMatch_.Empty();
  const char* s = text_ + f.pos;
  unsigned int left = static_cast<unsigned int>(n_ - f.pos);
  if (left == 0 && !a->MatchesAtEnd()) return false;
  switch (a->kind_) {
    case ZRegExp::kLiteral: {
      long long at = a->FindLiteral(s, left);
      if (at < 0) return false;
      Record(a, *a, a->GetLength());
      return Hand(f, f.pos + at + a->GetLength(), value, call);
    }
    case ZRegExp::kAny:
    case ZRegExp::kSet:
      if (a->kind_ == ZRegExp::kSet && !a->Accepts(s[0])) return false;
      Record(a, s, 1);
      return Hand(f, f.pos + 1, value, call);
    case ZRegExp::kAlternation:
      f.alt = a->alts_.begin();
      if (f.alt == a->alts_.end()) return false;
      f.phase = kAltTry;
      call = Call{*f.alt, f.pos};
      return true;
    default: {
      bool plus = a->kind_ == ZRegExp::kCharPlus || a->kind_ == ZRegExp::kAnyPlus ||
                  a->kind_ == ZRegExp::kSetPlus;
      f.low = f.pos + (plus ? 1 : 0);
      f.at = f.pos + a->RunLength(s, left);
      if (f.at < f.low) return false;
      f.phase = kRepeat;
      return TryRepeat(f, f.at, value, call);
    }
  }
}

// The rest of the chain after f's atom, from position end: either an
// immediate result in `value` (false) or a call of the next atom (true).
bool ZRegExpMatcher::Hand(Frame& f, long long end, long long& value, Call& call) {
  ZRegExp* a = f.atom;
  if (a->endAnchor_) {
    value = end == n_ ? end : kFail;
    return false;
  }
  if (a->next_ != nullptr) {
    call = Call{a->next_, end};
    return true;
  }
  value = end;
  return false;
}

// The longest run of a repeated atom still worth trying, ending at or
// before `from`: runs after which the rest of the chain is known to fail
// are skipped, since trying them again would only fail again.
bool ZRegExpMatcher::TryRepeat(Frame& f, long long from, long long& value, Call& call) {
  // A repeated atom never carries "$": the compiler gives it an atom of its
  // own.
  ZRegExp* a = f.atom;
  if (a->next_ == nullptr) {
    f.at = from;
    value = from;
    return false;
  }
  long long q = memo_.Candidate(a->next_, from, f.low);
  if (q == kFail) {
    f.phase = kPass;
    value = kFail;
    return false;
  }
  f.at = q;
  call = Call{a->next_, q};
  return true;
}
