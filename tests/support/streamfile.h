// Test fixture for stream formats: the bytes a saving streamer writes, and
// a loading streamer over given bytes, both through a file in a temporary
// directory.
#ifndef ORB_TESTS_SUPPORT_STREAMFILE_H_
#define ORB_TESTS_SUPPORT_STREAMFILE_H_

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

class StreamFileTest : public testing::Test {
 protected:
  // The bytes body writes; the streamer is gone before the file closes.
  template <typename Body>
  Bytes Save(Body body) {
    ZFile file;
    EXPECT_TRUE(file.Open(path_.c_str(), ZFile::eWrite, ZFile::eBinary));
    body(*std::make_unique<ZStreamer>(&file, true));
    file.Close();
    return ReadBytes(path_);
  }

  // A loading streamer over bytes; it replaces the one before.
  ZStreamer& Loader(const Bytes& bytes) {
    loader_.reset();
    file_.Close();
    EXPECT_TRUE(WriteBytes(path_, bytes));
    EXPECT_TRUE(file_.Open(path_.c_str(), ZFile::eRead, ZFile::eBinary));
    return loader_.emplace(&file_, false);
  }

  TempDir dir_;
  std::string path_ = dir_.File("stream.bin");
  ZFile file_;
  std::optional<ZStreamer> loader_;
};

#endif  // ORB_TESTS_SUPPORT_STREAMFILE_H_
