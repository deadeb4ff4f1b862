// ZFile over the runtime's buffered streams.
#include "orbcmn/zfile.h"

#include <cstdio>

#include "lib/alloc.h"
#include "platform/win32.h"

ORBCMN_DEFINE_ALLOC(ZFile)

namespace {
// The mode text of the last Open, shared by all files.
char g_mode[3];
// Files at or above this size are refused by Read(ZBuffer&).
const long kReadLimit = 65000;
// Reads and writes of up to this many bytes go byte by byte.
const unsigned int kSmallItem = 16;
}  // namespace

ZFile::ZFile() : stream_(nullptr) {}

ZFile::~ZFile() { Close(); }

bool ZFile::Open(const char* const path, EAction action, EType type) {
  g_mode[0] = action == eRead ? 'r' : action == eWrite ? 'w' : 'a';
  g_mode[1] = type == eBinary ? 'b' : 't';
  g_mode[2] = '\0';
  if (path == nullptr) return false;
  std::FILE* stream = _fsopen(path, g_mode, _SH_DENYNO);
  if (stream == nullptr) return false;
  stream_ = stream;
  return true;
}

bool ZFile::Close() {
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  return true;
}

bool ZFile::Flush() {
  if (stream_ == nullptr) return false;
  bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
  return _commit(_fileno(stream_)) == 0 && ok;
}

// A streamer reads and writes a tag or a value of a few bytes at a time.
// For those the stream's byte macros cost a fraction of a whole fread or
// fwrite call; a file is used by one thread at a time, so the unlocked
// forms serve.
unsigned int ZFile::Read(void* buf, unsigned int n) {
  if (stream_ == nullptr || buf == nullptr || n == 0) return 0;
  if (n > kSmallItem) return static_cast<unsigned int>(std::fread(buf, 1, n, stream_));
  unsigned char* to = static_cast<unsigned char*>(buf);
  unsigned int done = 0;
  for (int c; done < n && (c = getc_unlocked(stream_)) != EOF; ++done) {
    to[done] = static_cast<unsigned char>(c);
  }
  return done;
}

unsigned int ZFile::Write(const void* buf, unsigned int n) {
  if (stream_ == nullptr || buf == nullptr || n == 0) return 0;
  if (n > kSmallItem) return static_cast<unsigned int>(std::fwrite(buf, 1, n, stream_));
  const unsigned char* from = static_cast<const unsigned char*>(buf);
  unsigned int done = 0;
  while (done < n && putc_unlocked(from[done], stream_) != EOF) ++done;
  return done;
}

bool ZFile::Read(ZBuffer& b) {
  long n = GetLength();
  if (n < 0 || n >= kReadLimit) return false;
  unsigned int length = static_cast<unsigned int>(n);
  if (length == 0) {
    b.Empty();
    return true;
  }
  char* area = b.Lock(length);
  if (area == nullptr) return false;
  if (Read(area, length) != length) {
    // The read has overwritten the old bytes: leave nothing half-read.
    b.Release(1);
    b.Empty();
    return false;
  }
  b.Release(length);
  return true;
}

bool ZFile::Write(const ZBuffer& b) {
  unsigned int n = b.GetLength();
  return Write(static_cast<const char*>(b), n) == n;
}

long ZFile::GetLength() {
  if (stream_ == nullptr) return -1;
  return _filelength(_fileno(stream_));
}

bool ZFile::Delete(const char* path) { return path != nullptr && _unlink(path) == 0; }

bool ZFile::Exists(const char* path) { return path != nullptr && _access(path, 0) == 0; }
