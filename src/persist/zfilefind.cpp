// ZFileFind over the Win32 find functions.
#include "orbcmn/zfilefind.h"

#include <cstring>

#include "lib/alloc.h"
#include "platform/win32.h"

ORBCMN_DEFINE_ALLOC(ZFileFind)

ZFileFind::ZFileFind(const char* pattern)
    : restart_(true), pattern_(pattern != nullptr ? pattern : ""), search_(INVALID_HANDLE_VALUE) {
  static_assert(sizeof(WIN32_FIND_DATAA) <= sizeof entry_, "entry storage too small");
  std::memset(entry_, 0, sizeof entry_);
  bool lost = pattern != nullptr && pattern_.GetLength() != std::strlen(pattern);
  unsigned long refusals = orb::Refusals();
  unsigned int last = pattern_.GetLength();
  unsigned int slash =
      last == 0 ? 0 : pattern_.FindChar(ZString::eInSet, ZString("\\"), ZString::eBackward, last);
  if (slash != 0) directory_ = ZString(static_cast<const char*>(pattern_), slash);
  if (lost || orb::Refusals() != refusals) Forget();
}

ZFileFind::~ZFileFind() { Reset(); }

ZFileFind::ZFileFind(const ZFileFind& other)
    : restart_(true),
      pattern_(other.pattern_),
      directory_(other.directory_),
      search_(INVALID_HANDLE_VALUE) {
  std::memcpy(entry_, other.entry_, sizeof entry_);
  if (!SameText(other)) Forget();
}

ZFileFind& ZFileFind::operator=(const ZFileFind& other) {
  if (this != &other) {
    Reset();
    pattern_ = other.pattern_;
    directory_ = other.directory_;
    std::memcpy(entry_, other.entry_, sizeof entry_);
    if (!SameText(other)) Forget();
  }
  return *this;
}

bool ZFileFind::Next() {
  WIN32_FIND_DATAA data;
  if (restart_) {
    restart_ = false;
    search_ = pattern_.IsEmpty() ? INVALID_HANDLE_VALUE
                                 : FindFirstFileA(static_cast<const char*>(pattern_), &data);
    if (search_ == INVALID_HANDLE_VALUE) {
      restart_ = true;
      return false;
    }
  } else if (search_ == INVALID_HANDLE_VALUE || !FindNextFileA(search_, &data)) {
    return false;
  }
  std::memcpy(entry_, &data, sizeof data);
  return true;
}

bool ZFileFind::Reset() {
  restart_ = true;
  if (search_ != INVALID_HANDLE_VALUE) {
    FindClose(search_);
    search_ = INVALID_HANDLE_VALUE;
  }
  return true;
}

bool ZFileFind::SameText(const ZFileFind& other) const {
  return pattern_.GetLength() == other.pattern_.GetLength() &&
         directory_.GetLength() == other.directory_.GetLength();
}

void ZFileFind::Forget() {
  pattern_.Empty();
  directory_.Empty();
}

ZString ZFileFind::GetPathName() const {
  WIN32_FIND_DATAA data;
  std::memcpy(&data, entry_, sizeof data);
  data.cFileName[sizeof data.cFileName - 1] = '\0';
  ZString path(directory_);
  path += data.cFileName;
  // Memory ran out: an empty path, never a part of one.
  if (path.GetLength() != directory_.GetLength() + std::strlen(data.cFileName)) path.Empty();
  return path;
}
