// ZFile: a binary or text file over a runtime stream.
//
// Text mode translates CR LF to LF when reading and LF to CR LF when
// writing, on every platform. Paths may separate directories with "\" or
// "/".
#ifndef ORBCMN_ZFILE_H_
#define ORBCMN_ZFILE_H_

#include <cstdio>

#include "orbcmn/export.h"
#include "orbcmn/zbuffer.h"

class ORBCMN_API ZFile {
 public:
  ORBCMN_DECLARE_ALLOC

  // What Open does with the file: read it (r), create or truncate it and
  // write (w), or append to it (a). Any value other than 0 and 1 appends.
  enum EAction : int { eRead = 0, eWrite = 1, eAppend = 2 };
  // Binary (b) or text (t). Any non-zero value means text.
  enum EType : int { eBinary = 0, eText = 1 };

  // Closed.
  ZFile();
  // Closes the stream when one is open.
  virtual ~ZFile();
  // A file owns its stream: copying is refused, so that no stream is
  // closed twice.
  ZFile(const ZFile&) = delete;
  ZFile& operator=(const ZFile&) = delete;

  // Opens path with the two-character mode of action and type (wb, rt, ab,
  // ...). True when a stream was obtained. A stream already open is not
  // closed first: it stays open and can no longer be reached.
  bool Open(const char* const path, EAction action, EType type);
  // The same with the values given as numbers.
  bool Open(const char* const path, int action, int type) {
    return Open(path, static_cast<EAction>(action), static_cast<EType>(type));
  }
  // Closes an open stream. Always true: a caller who must know that the
  // bytes written reached the file calls Flush first.
  bool Close();
  // Hands every buffered byte to the system and asks it to put them on
  // disk. True when that worked and no write since Open failed (a write
  // cut short by a full disk, one still in the buffer included); false
  // when closed.
  bool Flush();

  // Reads up to n bytes into buf; the number read (0 when closed).
  unsigned int Read(void* buf, unsigned int n);
  // Writes n bytes from buf; the number written (0 when closed).
  unsigned int Write(const void* buf, unsigned int n);
  // Reads the file's length in bytes from the current position (the file
  // is expected to be at its start) into b, whose content becomes exactly
  // those bytes; an empty file empties b. False with b unchanged when the
  // file is closed or holds 65000 bytes or more; false with b emptied when
  // fewer bytes arrive than the length (as in text mode, where line ends
  // shrink).
  bool Read(ZBuffer& b);
  // Writes b's data bytes; true when all were written.
  bool Write(const ZBuffer& b);
  // Length in bytes of the open file as stored on disk; -1 when closed.
  long GetLength();

  // True when the file path was removed.
  static bool Delete(const char* path);
  // True when path exists.
  static bool Exists(const char* path);

 protected:
  std::FILE* stream_;  // null while closed
};

#endif  // ORBCMN_ZFILE_H_
