// ZFileFind: the directory entries that match a wildcard pattern ("*" and
// "?", letters without regard to case, "*.*" matching every name), one at a
// time.
#ifndef ORBCMN_ZFILEFIND_H_
#define ORBCMN_ZFILEFIND_H_

#include "orbcmn/export.h"
#include "orbcmn/zstring.h"

class ORBCMN_API ZFileFind {
 public:
  ORBCMN_DECLARE_ALLOC

  // Keeps pattern (null acts as an empty pattern) and its directory part:
  // the pattern up to and including its last backslash, empty when it has
  // none (so "C:*.txt" and "dir/*.txt" have none). No search runs yet.
  // When memory runs out keeping them, the pattern is empty (as is a copy
  // or assignment that memory ran out for): Next finds nothing rather than
  // the entries of part of a pattern.
  ZFileFind(const char* pattern);
  // Ends the running search.
  ~ZFileFind();
  // A copy holds the pattern, directory and last entry of other but never
  // its search: it starts a new search at its next Next. Each object ends
  // only its own search.
  ZFileFind(const ZFileFind& other);
  ZFileFind& operator=(const ZFileFind& other);

  // Moves to the next matching entry; true when there is one. The first
  // call (and the first after Reset or after a first call that found
  // nothing) starts the search; an empty pattern finds nothing.
  bool Next();
  // Ends the running search; the next Next starts over. True.
  bool Reset();
  // The directory part followed by the name of the entry found last; empty
  // when memory ran out, never a part of the path.
  ZString GetPathName() const;

 private:
  // Whether the pattern and directory are as long as other's: a copy that
  // memory ran out for is not.
  bool SameText(const ZFileFind& other) const;
  // Drops a pattern that could not be kept whole: the search finds nothing.
  void Forget();

  bool restart_;
  ZString pattern_;
  ZString directory_;
  void* search_;  // running search; the invalid handle value when none
  // The entry found last, a WIN32_FIND_DATAA kept as bytes so that this
  // header does not need the platform's.
  alignas(4) unsigned char entry_[320];
};

#endif  // ORBCMN_ZFILEFIND_H_
