// Streams over memory for the fuzz programs: a ZFile reading the fuzz
// input through fmemopen, and one collecting what a saving streamer writes
// through open_memstream. No file is touched.
#ifndef ORB_FUZZ_STREAM_H_
#define ORB_FUZZ_STREAM_H_

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "orbcmn/zfile.h"

// A ZFile open for reading over n bytes at p (which must outlive it).
class FuzzReadFile : public ZFile {
 public:
  FuzzReadFile(const void* p, size_t n) {
    // fmemopen refuses an empty area: an empty input reads as /dev/null.
    stream_ = n == 0 ? fopen("/dev/null", "rb") : fmemopen(const_cast<void*>(p), n, "rb");
    if (stream_ == nullptr) abort();
  }
};

// A ZFile open for writing into memory; Bytes() closes it and gives what
// was written.
class FuzzWriteFile : public ZFile {
 public:
  FuzzWriteFile() : data_(nullptr), size_(0) {
    stream_ = open_memstream(&data_, &size_);
    if (stream_ == nullptr) abort();
  }
  ~FuzzWriteFile() override {
    Close();
    free(data_);
  }
  std::string Bytes() {
    Close();
    return std::string(data_, size_);
  }

 private:
  char* data_;
  size_t size_;
};

#endif  // ORB_FUZZ_STREAM_H_
