// ZRegExp: the library's small regular-expression engine.
//
// A compiled expression is a chain of atoms, each one a ZRegExp; the object
// the caller holds is the head. The pattern syntax:
//   c* c+        a character repeated (zero or more, one or more); the run
//                is counted without regard to the case of A-Z/a-z
//   .  .*  .+    any character, any run, any non-empty run
//   [set] [^set] one member (or non-member); "a-z" ranges, a leading "-" is
//   [..]* [..]+  a member; ranges compare bytes as signed values
//   {a|b|c}      the first alternative that matches (groups do not nest
//                and cannot be repeated)
//   &            before an atom: the text it matches is a parameter
//   $            the text must end here; the rest of the pattern is ignored
//   \c           c taken literally
//   ^            under the caret rule, at the head only: anchors the match
//                at the start ("^.*" at the head is dropped)
// Everything else is literal text. A literal at the head without "^" may
// match further into the text; the text before it is consumed too.
//
// Out of memory: an expression whose compilation or copy runs out of
// memory matches nothing (as the empty pattern), and a match that runs out
// of memory fails; neither reports a partial result.
//
// Every text compiles; malformed patterns are read as far as the rules
// above go (a "[" without "]" is literal, a "{" without "}" runs to the end,
// a "*" or "+" with nothing before it makes the rest one literal). An empty
// pattern never matches.
//
// Matching consumes what it matches from the front of the caller's text.
// It backtracks through repeated atoms greedily, but remembers the atoms
// that failed at a position during one match, so its cost stays polynomial
// in the length of the text, and it needs no recursion that grows with the
// text or the pattern.
#ifndef ORBCMN_ZREGEXP_H_
#define ORBCMN_ZREGEXP_H_

#include <stddef.h>
#include <stdint.h>

#include "orbcmn/export.h"
#include "orbcmn/zlist.h"
#include "orbcmn/zstring.h"

class ORBCMN_API ZRegExp : public ZString {
 public:
  ORBCMN_DECLARE_ALLOC

  // Empty pattern: never matches. caretRule says whether a leading "^"
  // anchors the expression (true) or is an ordinary character (false).
  ZRegExp(bool caretRule = true);
  // Compiles the NUL-terminated pattern (a null pointer gives the empty
  // pattern).
  ZRegExp(const char* pattern, bool caretRule = true);
  // Compiles the one-character pattern c.
  ZRegExp(char c, bool caretRule = true);
  // Compiles the pattern held in a string (all of its bytes).
  ZRegExp(const ZString& pattern, bool caretRule = true);
  // An independent deep copy that matches exactly what other matches. When
  // memory runs out, or other was discarded, the copy matches nothing and
  // IsCompiled is false.
  ZRegExp(const ZRegExp& other);
  // Destroys the whole chain and every alternative.
  ~ZRegExp() override;

  // Replaces this expression with a deep copy of other; nothing on
  // self-assignment.
  ZRegExp& operator=(const ZRegExp& other);
  // Discards the compiled expression and compiles pattern with the caret
  // rule on.
  ZRegExp& operator=(const ZString& pattern);
  ZRegExp& operator=(const char* pattern);

  // Matches the expression against the front of text. On success returns
  // true and leaves in text what the match did not consume; on failure
  // returns false and leaves text as it was. Records what each atom matched
  // for GetParameters. When memory runs out during the match, the match
  // fails.
  bool operator==(ZString& text);

  // Appends to out, in chain order, a copy of the text matched by every
  // atom marked with "&" in the latest match. out is not emptied first.
  // Atoms inside alternatives are not visited (a "&" before a group marks
  // the group itself). True; false with out as it was when memory runs out.
  bool GetParameters(ZListString& out) const;
  // False when memory ran out compiling or copying this expression, which
  // then matches nothing.
  bool IsCompiled() const { return !lost_; }

 protected:
  // Compiles this atom's own text into the chain, discarding any compiled
  // form first. Called by every constructor and assignment. When memory runs
  // out, the whole expression is discarded and matches nothing.
  void ParseAtoms();
  // What this atom consumed in the latest successful match.
  const ZString& LastMatch() const { return lastMatch_; }
  // The greedy repetition search: for k from start - 1 down to minimum,
  // tries the rest of the chain on text without its first k characters;
  // the first k that succeeds becomes this atom's match and text keeps what
  // the rest left. False, with text untouched, when no k succeeds.
  bool DecrementingMatch(int minimum, int start, ZString& text);
  // The end test and hand-over: with the end anchor, true when text is
  // empty; otherwise the next atom's match on text, or true when this atom
  // is the last.
  bool MatchRemainder(ZString& text);

 private:
  friend class ZRegExpMatcher;
  friend class ZSyntax;
  friend struct ZRegExpProbe;  // inspection hook for the library's tests

  enum Kind : uint32_t {
    kEmpty = 0,
    kLiteral = 1,
    kCharStar = 2,
    kCharPlus = 3,
    kAny = 4,
    kAnyStar = 5,
    kAnyPlus = 6,
    kSet = 7,
    kSetStar = 8,
    kSetPlus = 9,
    kAlternation = 10,
  };

  // Sets the flags and kind to their initial values.
  void ClearFlags();
  // Destroys the next atom, the alternatives and all they own, without
  // recursion.
  void DestroyOwned();
  // Copies other's whole chain into this atom, which owns nothing yet; when
  // memory runs out the expression is discarded.
  void CopyFrom(const ZRegExp& other);
  // ParseAtoms when the pattern's length bytes were all copied into this
  // atom's text; Discard otherwise.
  void Compile(size_t length);
  // Drops the compiled chain: the expression matches nothing.
  void Discard();
  // A new uncompiled alternative appended to alts_; null when memory ran
  // out.
  ZRegExp* AddAlternative();
  // Compiles this atom alone from its own text: sets its kind, flags and
  // text, makes (uncompiled) alternatives, and stores in rest what the next
  // atom is built from. False when no atom was cut. Sets lost_ when memory
  // ran out on the way (as do ApplyCut, BuildMembers and SplitGroup).
  bool CutAtom(ZString& rest);
  struct Cut;
  // Parse step of CutAtom: walks the text to the mark that ends the atom,
  // removing escapes and a leading "&" as it goes, so the atom text and the
  // rest agree up to the cut. cut.found is false when no mark ends it.
  void ScanAtom(Cut& cut);
  // Describes the cut made by mark at 0-based index i; escapedBefore tells
  // whether the character before it was escaped.
  void MarkCut(char mark, unsigned int i, bool escapedBefore, Cut& cut) const;
  // Act step of CutAtom: sets the kind and end anchor, stores the rest,
  // builds set members or group alternatives, and trims the text to the
  // atom. False when no atom was cut.
  bool ApplyCut(const Cut& cut, ZString& rest);
  // Builds the member list of a set atom whose text is s, closing "]" at
  // 1-based position close.
  void BuildMembers(const ZString& s, unsigned int close);
  // Splits the group text at every "|" into new uncompiled alternatives.
  void SplitGroup(const char* group, unsigned int n);

  // Shared by both matchers. Offset in text[0, n) where this literal
  // matches, or -1.
  long long FindLiteral(const char* text, unsigned int n) const;
  // Length of the run of text[0, n) that a repeat atom may consume.
  unsigned int RunLength(const char* text, unsigned int n) const;
  // True when a set atom accepts c.
  bool Accepts(char c) const;
  // True when this atom may match where no text is left: an empty literal,
  // a repeat that may match nothing, or a group (its alternatives decide).
  bool MatchesAtEnd() const;
  // The plain backtracking match, recursive over the chain.
  bool PlainMatch(ZString& text);
  // operator== without consuming: how many characters at the front of
  // text the expression matches, or -1.
  long long MatchLength(const ZString& text);
  // PlainMatch of a group atom.
  bool PlainAlternation(ZString& text);
  // MatchRemainder on text without its first k characters; text keeps what
  // the rest left when it succeeds, and stays untouched when it fails.
  bool MatchRemainderAfter(unsigned int k, ZString& text);

  ZRegExp* next_;      // next atom, owned; null for the last atom
  bool caretRule_;     // leading "^" handling at this atom
  bool parameter_;     // "&": the matched text is a parameter
  bool startAnchor_;   // a literal must match at the start of the text
  bool endAnchor_;     // "$": the text must be exhausted after this atom
  bool negated_;       // "[^": a set matches characters not in it
  uint32_t kind_;      // Kind
  ZString lastMatch_;  // what this atom consumed in the latest match
  ZListRegExpP alts_;  // alternatives of a group, owned
  // Memory ran out cutting this atom; at the head: the expression was
  // discarded.
  bool lost_ = false;
};

#endif  // ORBCMN_ZREGEXP_H_
