// ZRegExp: construction, copying and destruction of the atom chain, the
// pattern compiler, and the plain backtracking matcher.
#include "orbcmn/zregexp.h"

#include <string.h>

#include "lib/alloc.h"
#include "text/regexp_internal.h"

ORBCMN_DEFINE_ALLOC(ZRegExp)

namespace {

bool g_plainBacktracking = false;

// Drops the first k characters of s (ZString::Remove with a count of 0
// would drop everything).
void DropFront(ZString& s, unsigned int k) {
  if (k > 0) s.Remove(1, k);
}

// Byte i (0-based) of s, or 0 past its end.
char ByteAt(const ZString& s, unsigned int i) {
  return i < s.GetLength() ? static_cast<const char*>(s)[i] : '\0';
}

}  // namespace

void OrbText_SetPlainBacktracking(int on) { g_plainBacktracking = on != 0; }

ZRegExp::ZRegExp(bool caretRule) : next_(nullptr), caretRule_(caretRule) {
  ClearFlags();
  ParseAtoms();
}

ZRegExp::ZRegExp(const char* pattern, bool caretRule)
    : ZString(pattern), next_(nullptr), caretRule_(caretRule) {
  ClearFlags();
  Compile(pattern == nullptr ? 0 : strlen(pattern));
}

ZRegExp::ZRegExp(char c, bool caretRule) : ZString(c), next_(nullptr), caretRule_(caretRule) {
  ClearFlags();
  Compile(1);
}

ZRegExp::ZRegExp(const ZString& pattern, bool caretRule)
    : ZString(pattern), next_(nullptr), caretRule_(caretRule) {
  ClearFlags();
  Compile(pattern.GetLength());
}

void ZRegExp::Compile(size_t length) {
  if (GetLength() == length) {
    ParseAtoms();
  } else {
    Discard();  // the pattern could not be copied
  }
}

ZRegExp::ZRegExp(const ZRegExp& other) : ZString(), next_(nullptr), caretRule_(true) {
  ClearFlags();
  CopyFrom(other);
}

ZRegExp::~ZRegExp() { DestroyOwned(); }

ZRegExp& ZRegExp::operator=(const ZRegExp& other) {
  if (this == &other) return *this;
  DestroyOwned();
  CopyFrom(other);
  return *this;
}

ZRegExp& ZRegExp::operator=(const ZString& pattern) {
  caretRule_ = true;
  if (&pattern == this || Assign(pattern, pattern.GetLength())) {
    ParseAtoms();
  } else {
    Discard();
  }
  return *this;
}

ZRegExp& ZRegExp::operator=(const char* pattern) {
  return *this = ZString(pattern == nullptr ? "" : pattern);
}

void ZRegExp::ClearFlags() {
  parameter_ = false;
  startAnchor_ = false;
  endAnchor_ = false;
  negated_ = false;
  kind_ = kEmpty;
}

// Everything owned is threaded into one chain through the next links and
// deleted one atom at a time, so that long chains and deeply nested groups
// need neither recursion nor memory.
void ZRegExp::DestroyOwned() {
  ZRegExp* chain = next_;
  next_ = nullptr;
  ZRegExp* atom = this;
  for (;;) {
    for (ZListRegExpP::ZIterator it = atom->alts_.begin(); it != atom->alts_.end(); ++it) {
      ZRegExp* alt = *it;
      ZRegExp* tail = alt;
      while (tail->next_ != nullptr) tail = tail->next_;
      tail->next_ = chain;
      chain = alt;
    }
    atom->alts_.erase(atom->alts_.begin(), atom->alts_.end());
    if (atom != this) delete atom;
    if (chain == nullptr) break;
    atom = chain;
    chain = atom->next_;
    atom->next_ = nullptr;
  }
}

void ZRegExp::CopyFrom(const ZRegExp& other) {
  struct Pair {
    ZRegExp* to;
    const ZRegExp* from;
  };
  orb::Stack<Pair, 8> pending;
  lost_ = false;
  bool whole = !other.lost_ && pending.Push(Pair{this, &other});
  while (whole && !pending.Empty()) {
    Pair p = pending.Pop();
    ZRegExp* to = p.to;
    const ZRegExp* from = p.from;
    to->lastMatch_.Empty();
    to->lastMatch_ += from->lastMatch_;
    whole = to->Assign(*from, from->GetLength()) &&
            to->lastMatch_.GetLength() == from->lastMatch_.GetLength();
    to->caretRule_ = from->caretRule_;
    to->parameter_ = from->parameter_;
    to->startAnchor_ = from->startAnchor_;
    to->endAnchor_ = from->endAnchor_;
    to->negated_ = from->negated_;
    to->kind_ = from->kind_;
    for (ZListRegExpP::ZIterator it = from->alts_.begin(); whole && it != from->alts_.end(); ++it) {
      ZRegExp* alt = to->AddAlternative();
      whole = alt != nullptr && pending.Push(Pair{alt, *it});
    }
    if (whole && from->next_ != nullptr) {
      to->next_ = new ZRegExp(false);
      whole = to->next_ != nullptr && pending.Push(Pair{to->next_, from->next_});
    }
  }
  if (!whole) Discard();
}

ZRegExp* ZRegExp::AddAlternative() {
  ZRegExp* alt = new ZRegExp(false);
  if (alt == nullptr) return nullptr;
  int before = alts_.size();
  alts_.push_back(alt);
  if (alts_.size() != before) return alt;
  delete alt;
  return nullptr;
}

void ZRegExp::ParseAtoms() {
  DestroyOwned();
  ClearFlags();
  lost_ = false;
  // Atoms made while compiling wait here for their own compilation, so the
  // compiler does not recurse along the chain or into groups. One that
  // cannot be scheduled stays empty (kind 0) and matches nothing.
  orb::Stack<ZRegExp*, 8> pending;
  bool whole = pending.Push(this);
  ZString rest;
  while (whole && !pending.Empty()) {
    ZRegExp* atom = pending.Pop();
    atom->lost_ = false;
    bool cut = atom->CutAtom(rest);
    whole = !atom->lost_;
    for (ZListRegExpP::ZIterator it = atom->alts_.begin(); it != atom->alts_.end(); ++it) {
      whole = whole && pending.Push(*it);
    }
    if (whole && cut && !rest.IsEmpty()) {
      atom->next_ = new ZRegExp(false);
      whole = atom->next_ != nullptr && atom->next_->Assign(rest, rest.GetLength()) &&
              pending.Push(atom->next_);
    }
  }
  if (!whole) Discard();
}

void ZRegExp::Discard() {
  DestroyOwned();
  ClearFlags();
  lost_ = true;
}

// What the scan of one atom found: where the atom ends and what it is.
struct ZRegExp::Cut {
  bool found = false;        // a mark ended the atom
  bool group = false;        // "{" at the start: a group runs from there
  bool endAnchor = false;    // "$" ended the atom
  bool restEmpty = false;    // nothing follows this atom
  bool reescape = false;     // the rest starts with an escaped character
  bool set = false;          // a set atom, closed at index end
  uint32_t kind = kLiteral;  // Kind
  unsigned int end = 0;      // 0-based index of the mark
  unsigned int keep = 0;     // characters the atom keeps
};

bool ZRegExp::CutAtom(ZString& rest) {
  rest.Empty();
  if (IsEmpty()) return false;
  kind_ = kLiteral;
  startAnchor_ = true;
  endAnchor_ = false;

  if (caretRule_) {
    if (ByteAt(*this, 0) == '^' && ByteAt(*this, 1) == '.' && ByteAt(*this, 2) == '*') {
      Remove(1, 3);
      startAnchor_ = false;
    }
    if (ByteAt(*this, 0) == '^') {
      Remove(1, 1);
    } else {
      startAnchor_ = false;
    }
  }
  Cut cut;
  ScanAtom(cut);
  return ApplyCut(cut, rest);
}

void ZRegExp::ScanAtom(Cut& cut) {
  unsigned int i = 0;
  long long escaped = -1;  // index of the last character taken literally
  while (i < GetLength()) {
    char c = ByteAt(*this, i);
    if (c == '\\') {
      Remove(i + 1, 1);
      escaped = i;
      ++i;
    } else if (c == '&' && i == 0) {
      parameter_ = true;
      Remove(1, 1);
    } else if (c == '[' && i == 0) {
      ++i;
    } else if (c != 0 && strchr("$&.*+[]{", c) != nullptr) {
      MarkCut(c, i, escaped == static_cast<long long>(i) - 1, cut);
      return;
    } else {
      ++i;
    }
  }
}

void ZRegExp::MarkCut(char mark, unsigned int i, bool escapedBefore, Cut& cut) const {
  cut.found = true;
  cut.end = i;
  cut.keep = i;
  char after = ByteAt(*this, i + 1);
  switch (mark) {
    case '$':
      cut.endAnchor = true;
      cut.restEmpty = true;
      break;
    case '{':
      cut.group = i == 0;
      break;
    case '.':
      if (i > 0) break;
      cut.kind = after == '*' ? kAnyStar : after == '+' ? kAnyPlus : kAny;
      cut.keep = cut.kind == kAny ? 1 : 2;
      break;
    case '*':
    case '+':
      if (i == 1) {
        cut.kind = mark == '*' ? kCharStar : kCharPlus;
        cut.keep = 2;
      } else if (i > 1) {
        // The character before the mark begins the next atom; when it was
        // escaped it must stay literal there too.
        cut.keep = i - 1;
        cut.reescape = escapedBefore;
      } else {
        cut.keep = GetLength();
        cut.restEmpty = true;
      }
      break;
    case ']':
      cut.kind = after == '*' ? kSetStar : after == '+' ? kSetPlus : kSet;
      cut.keep = cut.kind == kSet ? i + 1 : i + 2;
      cut.set = true;
      break;
    default:  // "&" or "[" inside the atom
      break;
  }
}

bool ZRegExp::ApplyCut(const Cut& cut, ZString& rest) {
  if (!cut.found) return false;
  if (cut.group) {
    // Groups do not nest: the first "}" closes the group, and a group
    // without one runs to the end of the pattern.
    const char* text = *this;
    const char* close = static_cast<const char*>(memchr(text, '}', GetLength()));
    unsigned int end = close != nullptr ? static_cast<unsigned int>(close - text) : GetLength();
    if (close != nullptr) rest.Append(close + 1, GetLength() - end - 1);
    ZString group(text + 1, end - 1);
    lost_ = group.GetLength() != end - 1 ||
            (close != nullptr && rest.GetLength() != GetLength() - end - 1);
    if (!lost_) SplitGroup(group, group.GetLength());
    kind_ = kAlternation;
    return true;
  }
  kind_ = cut.kind;
  endAnchor_ = cut.endAnchor;
  if (!cut.restEmpty && cut.keep < GetLength()) {
    if (cut.reescape) rest += '\\';
    rest.Append(static_cast<const char*>(*this) + cut.keep, GetLength() - cut.keep);
    lost_ = rest.GetLength() != GetLength() - cut.keep + (cut.reescape ? 1 : 0);
  }
  if (cut.set) {
    ZString text(*this);
    lost_ = lost_ || text.GetLength() != GetLength();
    if (!lost_) BuildMembers(text, cut.end + 1);
  } else if (cut.keep < GetLength()) {
    Remove(cut.keep + 1, 0);
  }
  return true;
}

void ZRegExp::BuildMembers(const ZString& s, unsigned int close) {
  // 1-based positions, as the set is written: s[1] stands for "[" and
  // s[close] is the "]".
  auto at = [&s](unsigned int p) { return ByteAt(s, p - 1); };
  ZString members;
  unsigned int made = 0;  // bytes members should hold
  unsigned int p = 2;
  negated_ = false;
  if (p < close && at(p) == '^') {
    negated_ = true;
    p = 3;
  }
  if (p < close && at(p) == '-') {
    members += '-';
    ++made;
    ++p;
  }
  while (p < close) {
    if (at(p + 1) == '-' && p + 2 < close) {
      // Ranges run over signed bytes, so 0x80-0xFF sort before 0x00.
      int first = static_cast<signed char>(at(p));
      int last = static_cast<signed char>(at(p + 2));
      for (int c = first; c <= last; ++c, ++made) members += static_cast<char>(c);
      p += 3;
    } else {
      members += at(p);
      ++made;
      ++p;
    }
  }
  lost_ = members.GetLength() != made || !Assign(members, made);
}

void ZRegExp::SplitGroup(const char* group, unsigned int n) {
  unsigned int start = 0;
  for (unsigned int i = 0; i <= n; ++i) {
    if (i < n && group[i] != '|') continue;
    ZRegExp* alt = AddAlternative();
    lost_ = lost_ || alt == nullptr || !alt->Assign(group + start, i - start);
    if (i == n) lost_ = lost_ || !Assign(group + start, i - start);
    start = i + 1;
  }
}

bool ZRegExp::GetParameters(ZListString& out) const {
  const int before = out.size();
  int want = before;
  for (const ZRegExp* atom = this; atom != nullptr; atom = atom->next_) {
    if (!atom->parameter_) continue;
    out.push_back(atom->lastMatch_);
    if (out.size() != ++want) break;
  }
  if (out.size() == want) return true;
  while (out.size() > before) out.pop_back();
  return false;
}

long long ZRegExp::FindLiteral(const char* text, unsigned int n) const {
  unsigned int m = GetLength();
  if (m > n) return -1;
  if (m == 0) return 0;
  const char* literal = *this;
  unsigned int last = startAnchor_ ? 0 : n - m;
  for (unsigned int at = 0; at <= last; ++at) {
    if (text[at] == literal[0] && memcmp(text + at, literal, m) == 0) return at;
  }
  return -1;
}

namespace {

// Upper case for A-Z/a-z only, whatever the locale.
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool ZRegExp::Accepts(char c) const {
  bool member =
      GetLength() > 0 && memchr(static_cast<const char*>(*this), c, GetLength()) != nullptr;
  return member != negated_;
}

unsigned int ZRegExp::RunLength(const char* text, unsigned int n) const {
  unsigned int count = 0;
  switch (kind_) {
    case kCharStar:
    case kCharPlus: {
      char c = AsciiUpper(ByteAt(*this, 0));
      while (count < n && AsciiUpper(text[count]) == c) ++count;
      break;
    }
    case kAnyStar:
    case kAnyPlus:
      count = n;
      break;
    case kSetStar:
    case kSetPlus:
      while (count < n && Accepts(text[count])) ++count;
      break;
    default:
      break;
  }
  return count;
}

bool ZRegExp::operator==(ZString& text) {
  if (g_plainBacktracking) return PlainMatch(text);
  long long end = ZRegExpMatcher::Run(this, text, text.GetLength());
  if (end < 0) return false;
  DropFront(text, static_cast<unsigned int>(end));
  return true;
}

// The plain matcher consumes as it goes, so it runs on a copy.
long long ZRegExp::MatchLength(const ZString& text) {
  if (!g_plainBacktracking) return ZRegExpMatcher::Run(this, text, text.GetLength());
  ZString rest(text);
  if (rest.GetLength() != text.GetLength() || !PlainMatch(rest)) return -1;
  return static_cast<long long>(text.GetLength()) - rest.GetLength();
}

bool ZRegExp::MatchRemainder(ZString& text) {
  if (endAnchor_) return text.IsEmpty();
  if (next_ != nullptr) return *next_ == text;
  return true;
}

bool ZRegExp::DecrementingMatch(int minimum, int start, ZString& text) {
  long long k = static_cast<long long>(start) - 1;
  if (k > text.GetLength()) k = text.GetLength();
  for (; k >= minimum && k >= 0; --k) {
    ZString rest(text);
    DropFront(rest, static_cast<unsigned int>(k));
    if (MatchRemainder(rest)) {
      lastMatch_.Empty();
      lastMatch_.Append(text, static_cast<unsigned int>(k));
      text = rest;
      return true;
    }
  }
  return false;
}

bool ZRegExp::MatchesAtEnd() const {
  return kind_ == kCharStar || kind_ == kAnyStar || kind_ == kSetStar || kind_ == kAlternation ||
         (kind_ == kLiteral && IsEmpty());
}

bool ZRegExp::MatchRemainderAfter(unsigned int k, ZString& text) {
  ZString rest(text);
  DropFront(rest, k);
  if (!MatchRemainder(rest)) return false;
  text = rest;
  return true;
}

// Plain backtracking, step by step as the matcher is defined; every
// attempt works on a copy, so a failure leaves the text alone.
bool ZRegExp::PlainMatch(ZString& text) {
  if (kind_ == kEmpty) return false;
  lastMatch_.Empty();
  const unsigned int n = text.GetLength();
  const char* s = text;
  if (n == 0 && kind_ != kAlternation) return MatchesAtEnd() && MatchRemainder(text);
  switch (kind_) {
    case kLiteral: {
      long long at = FindLiteral(s, n);
      if (at < 0) return false;
      lastMatch_ = static_cast<const ZString&>(*this);
      return MatchRemainderAfter(static_cast<unsigned int>(at) + GetLength(), text);
    }
    case kCharStar:
    case kAnyStar:
    case kSetStar:
      return DecrementingMatch(0, static_cast<int>(RunLength(s, n)) + 1, text);
    case kCharPlus:
    case kAnyPlus:
    case kSetPlus:
      return DecrementingMatch(1, static_cast<int>(RunLength(s, n)) + 1, text);
    case kAny:
    case kSet:
      if (kind_ == kSet && !Accepts(s[0])) return false;
      lastMatch_.Append(s, 1);
      return MatchRemainderAfter(1, text);
    default:  // kAlternation, the last kind: kEmpty returned above
      return PlainAlternation(text);
  }
}

// The first alternative that matches becomes the group's match; when the
// rest of the chain fails after it, the rest is tried as if the group had
// consumed nothing, and no later alternative is tried.
bool ZRegExp::PlainAlternation(ZString& text) {
  for (ZListRegExpP::ZIterator it = alts_.begin(); it != alts_.end(); ++it) {
    ZString rest(text);
    if (!(**it == rest)) continue;
    lastMatch_ = (*it)->lastMatch_;
    if (MatchRemainder(rest)) {
      text = rest;
      return true;
    }
    lastMatch_.Empty();
    return MatchRemainderAfter(0, text);
  }
  return false;
}
