// Loading through a base class before ZMetaClass::Attach: this program never
// calls Attach, so subclass records have no parent yet.
#include <gtest/gtest.h>

#include "orbcmn/orbcmn.h"
#include "support/streamfile.h"

namespace {

class UnattachedRegistry : public StreamFileTest {};

TEST_F(UnattachedRegistry, SubclassIsUnknownToItsBase) {
  const Bytes bytes = {0x00, 0x01, 0xFF, 0xEA, 0x18, 0xF5, 0x7F, 0x00, 0xFF, 0xEB, 0,   0,
                       0,    1,    0x00, 0x01, 0x00, 0x01, 0xFF, 0xED, 0x00, 0x02, 'a', 'b'};
  ZBuffer* p = nullptr;  // the ZString is not yet known as a ZBuffer
  EXPECT_TRUE(ZString::c_ZString.GetParent() == nullptr && !ZBuffer::Load(Loader(bytes), p) &&
              p == nullptr);
}

}  // namespace
