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
    if (feed != nullptr) {
      unsigned int count = static_cast<unsigned int>(feed - next_);
      line.Append(next_, count);
      next_ = feed + 1;
      remaining_ -= count + 1;
      return true;
    }
    line.Append(next_, remaining_);
    remaining_ = 0;
    if (!Refill()) return true;
  }
}

bool ZTextFile::UnreadLine(const ZString& line) {
  pushed_.push_front(line);
  return true;
}

bool ZTextFile::WriteLine(const ZString&) { return false; }
