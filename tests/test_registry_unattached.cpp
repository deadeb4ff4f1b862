// Loading through a base class before ZMetaClass::Attach: this program never
// calls Attach, so subclass records have no parent yet.
#include <gtest/gtest.h>

#include "orbcmn/orbcmn.h"
#include "support/tempfiles.h"

namespace {

TEST(UnattachedRegistry, SubclassIsUnknownToItsBase) {
  EXPECT_EQ(ZString::c_ZString.GetParent(), nullptr);
  TempDir dir;
  std::string path = dir.File("s.bin");
  ZString str("ab");
  ZFile file;
  ASSERT_TRUE(file.Open(path.c_str(), ZFile::eWrite, ZFile::eBinary));
  {
    ZStreamer s(&file, true);
    EXPECT_TRUE(ZBuffer::Save(s, &str));
  }
  file.Close();

  ASSERT_TRUE(file.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  {
    ZStreamer s(&file, false);
    ZBuffer* p = nullptr;
    EXPECT_FALSE(ZBuffer::Load(s, p));  // a ZString is not yet known as a ZBuffer
    EXPECT_EQ(p, nullptr);
  }
  file.Close();
  // Loaded as what it is, it is found.
  ASSERT_TRUE(file.Open(path.c_str(), ZFile::eRead, ZFile::eBinary));
  ZStreamer s(&file, false);
  ZString* q = nullptr;
  EXPECT_TRUE(ZString::Load(s, q));
  EXPECT_EQ(*q, "ab");
  delete q;
}

}  // namespace
