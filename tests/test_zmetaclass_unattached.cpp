// Loading through a base class before ZMetaClass::Attach: this program never
// calls Attach, so subclass records have no parent yet.
#include <gtest/gtest.h>

#include <memory>

#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

TEST(UnattachedRegistry, SubclassIsUnknownToItsBase) {
  EXPECT_EQ(ZString::c_ZString.GetParent(), nullptr);
  TempDir dir;
  std::string path = dir.File("s.bin");
  ASSERT_TRUE(
      WriteBytes(path, {0x00, 0x01, 0xFF, 0xEA, 0x18, 0xF5, 0x7F, 0x00, 0xFF, 0xEB, 0,   0,
                        0,    1,    0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'a', 'b'}));
  ZFile file;
  ZBuffer* p = nullptr;  // the ZString is not yet known as a ZBuffer
  ASSERT_TRUE(file.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  EXPECT_FALSE(ZBuffer::Load(*std::make_unique<ZStreamer>(&file, false), p) || p != nullptr);
  file.Close();
  // Loaded as what it is, it is found.
  ZString* q = nullptr;
  ASSERT_TRUE(file.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  EXPECT_TRUE(ZString::Load(*std::make_unique<ZStreamer>(&file, false), q) && *q == "ab");
  delete q;
}

}  // namespace
