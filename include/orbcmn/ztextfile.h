// ZTextFile: a ZFile read line by line through its own buffer, with lines
// that can be pushed back.
#ifndef ORBCMN_ZTEXTFILE_H_
#define ORBCMN_ZTEXTFILE_H_

#include "orbcmn/export.h"
#include "orbcmn/zfile.h"
#include "orbcmn/zlist.h"
#include "orbcmn/zstring.h"

class ORBCMN_API ZTextFile : public ZFile {
 public:
  ORBCMN_DECLARE_ALLOC

  // Closed, no buffer, nothing pushed back.
  ZTextFile();
  // Releases the buffer and the pushed-back lines, then closes.
  ~ZTextFile() override;

  // ZFile::Open. The buffer and the pushed-back lines are kept.
  bool Open(const char* const path, EAction action, EType type);
  bool Open(const char* const path, int action, int type) {
    return Open(path, static_cast<EAction>(action), static_cast<EType>(type));
  }

  // Empties line, then gives the most recently pushed-back line, or the
  // next line of the file without its line feed. In binary mode a CR
  // before the line feed stays in line. A last line without a line feed is
  // still a line. False at end of file (and when no buffer can be
  // allocated). Lines may be of any length. When memory runs out holding
  // a line, that line is passed over, line is left empty and the result is
  // false.
  bool ReadLine(ZString& line);
  // Puts a copy of line in front of the pushed-back lines: the next
  // ReadLine gives it. True; false, with nothing pushed back, when memory
  // ran out.
  bool UnreadLine(const ZString& line);
  // Line writing is not supported: writes nothing, false.
  bool WriteLine(const ZString& line);

 protected:
  // Reads up to 8192 bytes into the buffer (allocated by the first call).
  // False when nothing was read or no buffer could be allocated.
  bool Refill();

 private:
  ZTextFile(const ZTextFile&) = delete;
  ZTextFile& operator=(const ZTextFile&) = delete;

  char* buffer_;            // 8192 bytes from the first Refill; null before
  char* next_;              // first byte not yet handed out
  unsigned int remaining_;  // bytes left from next_ on
  ZListString pushed_;      // pushed-back lines, most recent first
};

#endif  // ORBCMN_ZTEXTFILE_H_
