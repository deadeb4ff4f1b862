// ZString: a ZBuffer used as single-byte text, with searching, editing,
// case conversion, number conversion and formatting.
//
// Positions are 1-based and a position result of 0 means not found.
// Everything works on bytes: bytes from 0x80 up are never letters or
// digits, and case mapping and case-insensitive comparison touch only A-Z
// and a-z, whatever the process locale.
//
// Out of memory: an edit or assignment that needs more room than the host
// allocator gives leaves the string exactly as it was (Format included); a
// constructor or copy that cannot get its block gives an empty string with
// no block (a null pointer).
#ifndef ORBCMN_ZSTRING_H_
#define ORBCMN_ZSTRING_H_

#include "orbcmn/export.h"
#include "orbcmn/zbuffer.h"

class ORBCMN_API ZString : public ZBuffer {
 public:
  ORBCMN_DECLARE_ALLOC

  // The enumerations have a fixed underlying type so that callers may pass
  // any number: a direction other than 0 or 1 finds nothing, an inclusion
  // other than 0 acts as eNotInSet, a strip type above 3 acts as eBoth.
  enum EDirection : int { eForward = 0, eBackward = 1 };
  enum EInclusive : int { eInSet = 0, eNotInSet = 1 };
  enum EStripType : int { eTrailing = 0, eLeading = 1, eBoth = 2, eAll = 3 };

  // Empty, no block.
  ZString();
  // Empty with room reserved for n characters, as ZBuffer(unsigned int).
  ZString(unsigned int n);
  // The same as ZString(unsigned int), so that ZString(64) is not ambiguous.
  explicit ZString(int n);
  // The one character c.
  ZString(char c);
  // The characters of s up to its terminating zero (s is never null).
  ZString(const char* const s);
  // n bytes from p.
  ZString(const char* const p, unsigned int n);
  ZString(const ZString& other);
  ~ZString() override;

  // Persistence (the protocol is described in zmetaclass.h). The record:
  // the schema value 1 (00 01), then the ZBuffer record.
  class ORBCMN_API ZMetaZString : public ZBuffer::ZMetaZBuffer {
   public:
    ORBCMN_DECLARE_ALLOC
    ZMetaZString(const char* name, const char* parentName);
    // A new empty ZString, as a ZBuffer pointer.
    void* Make() override;
  };
  static const char* const n_ZString;
  static ZMetaZString c_ZString;
  // Saving and loading by value are ZBuffer's.
  using ZBuffer::Load;
  using ZBuffer::Save;
  // Accepts a stored ZString or subclass of ZString.
  static bool Load(ZStreamer& s, ZString*& p);
  static bool LoadList(ZStreamer& s, ZString** head, int linkOffset);
  // Saving: the schema value, then ZBuffer::File (false when the schema
  // value could not be written). Loading: false on a schema value other
  // than 1, else ZBuffer::File, appending to the string.
  bool File(ZStreamer& s) override;
  // &c_ZString, typed as ZBuffer's meta-class.
  ZMetaZBuffer* Class() override;

  // Nothing on self-assignment; otherwise as ZBuffer::operator=.
  ZString& operator=(const ZString& other);
  // Empties the string, then appends the characters of s. s may point into
  // this string's own text.
  ZString& operator=(const char* const s);

  using ZBuffer::operator+=;
  // Appends the characters of s (s may point into this string).
  ZString& operator+=(const char* const s);
  // Appends one byte.
  ZString& operator+=(char c);
  ZString& operator+=(unsigned char c);

  // Case-sensitive, byte-wise: true when the lengths are equal and all bytes
  // are equal (two empty strings are equal).
  bool operator==(const ZString& other) const;
  // False when s is null; otherwise true when the length equals the length
  // of s and all bytes are equal.
  bool operator==(const char* const s) const;
  bool operator!=(const ZString& other) const { return !(*this == other); }
  bool operator!=(const char* const s) const { return !(*this == s); }

  // Position of the first c at or after position start. The search stops at
  // the first zero byte, so searching for 0 finds the terminator at
  // length + 1. 0 when there is no block, the string is empty, start is 0 or
  // start exceeds the length, or c does not occur.
  unsigned int Find(char c, unsigned int start = 1) const;
  // Position where sub begins, or 0. Forward: tries start, start + 1, ...
  // while sub fits in the string. Backward: 0 when sub does not fit at
  // start, otherwise tries start, start - 1, ..., 1. Comparisons stop at a
  // zero byte in either text; without case sensitivity A-Z equal a-z. An
  // empty sub matches at start (when start is at most length + 1). 0 when
  // start is 0 or dir is neither direction.
  unsigned int FindSubstring(const ZString& sub, EDirection dir = eForward, unsigned int start = 1,
                             bool caseSensitive = true) const;
  // Position of the first character, from start in direction dir, that is
  // in the set (eInSet) or not in it (eNotInSet); membership ignores letter
  // case. 0 when start is 0, start exceeds the length, dir is neither
  // direction, or nothing matches.
  unsigned int FindChar(EInclusive inc, const ZString& set, EDirection dir = eForward,
                        unsigned int start = 1) const;
  // True when c occurs in the string, A-Z and a-z compared without regard
  // to case; false for an empty string.
  bool IsCharInString(char c) const;

  // Not numeric when empty. "0x" or "0X" followed by hexadecimal digits
  // only (length above 2); else a last character X or x preceded by
  // hexadecimal digits only (length above 1); else decimal digits only.
  // No sign, blank or point is accepted.
  bool IsNumeric() const;
  // False when empty; otherwise true when every character is A-Z or a-z.
  bool IsAlphabetic() const;

  // The number in the text, as a 32-bit value. 0 without a block. When the
  // length is at least 2 and the last character is X or x: the leading
  // hexadecimal digits in base 16. Otherwise automatic base (0x: hex,
  // leading 0: octal, else decimal). Leading blanks and a sign are
  // accepted; conversion stops at the first character outside the number;
  // text without a number gives 0. Out-of-range values clamp to the 32-bit
  // limits as a 32-bit strtol does (-2147483648 and 2147483647).
  operator long() const;
  operator int() const;
  // The same with 32-bit strtoul rules: overflow gives 4294967295 and a
  // minus sign negates modulo 2^32.
  operator unsigned long() const;
  operator unsigned int() const;

  // A-Z become a-z; other bytes unchanged.
  ZString& MakeLower();
  // a-z become A-Z; other bytes unchanged.
  ZString& MakeUpper();

  // pos above the length appends s; otherwise the string becomes its first
  // pos - 1 characters, then s, then the rest. pos 0 acts as 1. s may be
  // this string itself.
  ZString& Insert(const ZString& s, unsigned int pos);
  // ZBuffer::Remove.
  ZString& Remove(unsigned int pos, unsigned int count);
  // Remove(pos, count), then Insert(s, pos); room is made first, so the
  // string is left as it was when memory runs out.
  ZString& Replace(unsigned int pos, unsigned int count, const ZString& s);
  // Strips set characters (membership ignores letter case): eLeading from
  // the start (the rest moves to the block start), eTrailing from the end,
  // eBoth both, eAll both and then every set character inside too. A string
  // made only of set characters becomes empty.
  ZString& Strip(EStripType type, const ZString& set);
  // Returns the text before the first CR or LF (the whole text when there is
  // none), removes it, then strips every CR and LF from both ends of what
  // is left. Lines ending in CR, LF or CR LF come out one after the other and
  // empty lines are skipped. When memory runs out the result is empty and
  // the string is left as it was.
  ZString ExtractLine();

  // Formats with the printf rules into a 1024-byte work area, then replaces
  // the content with the result. The string may be one of the arguments.
  // A long argument of %ld, %li, %lu, %lo, %lx or %lX prints as its 32-bit
  // value (all 32 bits set: -1 with %ld). %n stores nothing; a '%' that
  // starts no known conversion is kept as written. A result longer than
  // 1023 characters is cut to its first 1023; a null fmt gives an empty
  // result. When memory runs out the string is left as it was.
  ZString& Format(const char* fmt, ...);
  // The same, but the result is appended.
  ZString& FormatAdd(const char* fmt, ...);

 private:
  // FindChar and Strip over a set given as n raw bytes.
  unsigned int FindInSet(EInclusive inc, const char* set, unsigned int n, EDirection dir,
                         unsigned int start) const;
  ZString& StripSet(EStripType type, const char* set, unsigned int n);
};

#endif  // ORBCMN_ZSTRING_H_
