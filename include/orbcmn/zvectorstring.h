// ZVectorString: an ordered, growable sequence of ZString values, the
// argument texts that action recognition and generation exchange with their
// callers. Element i is the text of the action's argument at index i.
#ifndef ORBCMN_ZVECTORSTRING_H_
#define ORBCMN_ZVECTORSTRING_H_

#include "orbcmn/export.h"
#include "orbcmn/zstring.h"

class ORBCMN_API ZVectorString {
 public:
  ORBCMN_DECLARE_ALLOC

  // No elements, no storage.
  ZVectorString();
  // A copy of every string of other, in order (value semantics). When
  // memory runs out the copy is empty (size() 0), never a part of other.
  ZVectorString(const ZVectorString& other);
  // Makes this sequence hold exactly copies of other's strings, in order.
  // Nothing on self-assignment; when memory runs out the sequence is left
  // exactly as it was.
  ZVectorString& operator=(const ZVectorString& other);
  // Destroys every string and releases the storage.
  ~ZVectorString();

  // Number of strings.
  int size() const { return count_; }
  // The string at 0-based index i. An index outside 0..size()-1 gives a
  // library-wide empty string instead of reading outside the sequence;
  // whatever is written to it is not part of any sequence.
  ZString& operator[](int i);
  const ZString& operator[](int i) const;
  // Removes every string; the storage is kept for reuse.
  void clear();
  // Appends a copy of value. When the storage is full it grows to twice
  // the number of strings, or to 4 strings when there is none. When memory
  // runs out (for the storage or the copy) nothing is appended: a caller
  // tells by size().
  void push_back(const ZString& value);

 private:
  // Moves the strings into new storage of `capacity` strings; false when
  // memory ran out (the sequence is then unchanged).
  bool Grow(int capacity);
  // Makes this sequence hold copies of the n strings at from in new storage
  // of `capacity` strings (from may be this sequence's own); false, with
  // the sequence unchanged, when memory ran out.
  bool Adopt(const ZString* from, int n, int capacity);
  // Builds copies of the n strings at from in the raw storage at to; false,
  // with nothing left built, when a string could not be copied.
  static bool Copy(const ZString* from, int n, ZString* to);

  ZString* items_;  // storage for capacity_ strings, the first count_ built
  int count_;
  int capacity_;
};

#endif  // ORBCMN_ZVECTORSTRING_H_
