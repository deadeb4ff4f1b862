// ZTextFile: line reading through an 8192-byte buffer, with push-back.
#include "orbcmn/ztextfile.h"

#include <cstring>
#include <new>

#include "lib/alloc.h"

ORBCMN_DEFINE_ALLOC(ZTextFile)

namespace {
const unsigned int kBufferSize = 8192;
}

ZTextFile::ZTextFile() : buffer_(nullptr), next_(nullptr), remaining_(0) {}

ZTextFile::~ZTextFile() { delete[] buffer_; }

bool ZTextFile::Open(const char* const path, EAction action, EType type) {
  return ZFile::Open(path, action, type);
}

bool ZTextFile::Refill() {
  if (buffer_ == nullptr) {
    buffer_ = new (std::nothrow) char[kBufferSize];
    if (buffer_ == nullptr) return false;
  }
  remaining_ = Read(buffer_, kBufferSize);
  if (remaining_ == 0) return false;
  next_ = buffer_;
  return true;
}

bool ZTextFile::ReadLine(ZString& line) {
  line.Empty();
  if (pushed_.size() > 0) {
    line = *pushed_.begin();
    pushed_.pop_front();
    return true;
  }
  if (remaining_ == 0 && !Refill()) return false;
  for (;;) {
    char* feed = static_cast<char*>(std::memchr(next_, '\n', remaining_));
    unsigned int count = feed != nullptr ? static_cast<unsigned int>(feed - next_) : remaining_;
    unsigned int before = line.GetLength();
    bool whole = line.Append(next_, count).GetLength() == before + count;
    next_ += count + (feed != nullptr ? 1 : 0);
    remaining_ -= count + (feed != nullptr ? 1 : 0);
    if (!whole) {
      line.Empty();  // memory ran out: no part of a line
      return false;
    }
    if (feed != nullptr || !Refill()) return true;
  }
}

bool ZTextFile::UnreadLine(const ZString& line) {
  int before = pushed_.size();
  pushed_.push_front(line);
  return pushed_.size() != before;
}

bool ZTextFile::WriteLine(const ZString&) { return false; }
