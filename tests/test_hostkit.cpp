// The host services library: allocator accounting and bad-release
// detection, and the defaults that hold without a client. That every test
// leaves the live blocks as it found them is the test main's check.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "hostkit/hostkit.h"
#include "support/alloclog.h"

// The observer sees every request, a release of null too, so that tests can
// prove the library makes no such call. A block counts under the tag it was
// allocated (or last resized) with; growing keeps the contents and
// zero-fills the rest. Without a client tool calls answer 0.
TEST(HostKitAllocator, TagsZeroFillAndTheObserver) {
  AllocLog log;
  void* a = HostKit_Alloc("tA", 10, 0);
  unsigned char* b = static_cast<unsigned char*>(HostKit_Alloc("tA", 64, 1));
  EXPECT_EQ(std::vector<unsigned char>(64, 0), std::vector<unsigned char>(b, b + 64));
  HostKit_Free("other", a);
  EXPECT_EQ(1, HostKit_LiveBlocks("tA"));
  std::memcpy(b, "abcdef", 6);
  b = static_cast<unsigned char*>(HostKit_Realloc("tB", b, 4096, 1));
  ASSERT_NE(nullptr, b);
  EXPECT_EQ(0, std::memcmp(b, "abcdef", 6));
  EXPECT_EQ(0, b[4095]);
  EXPECT_EQ(1, HostKit_LiveBlocks("tB"));
  HostKit_Free("tB", b);
  HostKit_Free("x", nullptr);
  EXPECT_EQ("106 tA 10, 106 tA 64, 108 other 0, 107 tB 4096, 108 tB 0, 108 x 0", log.Take());
  intptr_t context[2] = {0, 0};
  EXPECT_EQ(0, HostKit_ToolCall(1, 24, 4, context, 0, nullptr));
}

// The fail handler sees every allocate and resize request, numbered (n)
// from 1 since it was set; a refused resize leaves the old block as it was.
TEST(HostKitAllocator, TheFailHandlerRefusesChosenRequests) {
  static std::string seen;
  HostKit_SetFailHandler(
      [](void*, int entry, const char* tag, unsigned size, unsigned long n) {
        seen += std::to_string(entry) + tag + std::to_string(size) + "#" + std::to_string(n) + " ";
        return static_cast<int>(n > 1);
      },
      nullptr);
  char* a = static_cast<char*>(HostKit_Alloc("fA", 8, 0));
  ASSERT_NE(nullptr, a);
  std::memcpy(a, "1234567", 8);
  EXPECT_EQ(nullptr, HostKit_Alloc("fA", 9, 0));
  EXPECT_EQ(nullptr, HostKit_Realloc("fB", a, 16, 0));
  HostKit_SetFailHandler(nullptr, nullptr);
  EXPECT_STREQ("1234567", a);
  EXPECT_EQ(8u, HostKit_BlockSize(a));
  HostKit_Free("f", a);
  EXPECT_EQ("106fA8#1 106fA9#2 107fB16#3 ", seen);
}

// The block table grows several times and loses blocks in an order unrelated
// to their addresses (every third, by a stride coprime with the count); sizes
// and bad-release reports stay exact. Bad releases are reported, not
// performed: a block freed twice, a block never allocated here, released
// or resized.
TEST(HostKitAllocator, ManyBlocksKeepTheirRecords) {
  long bad = HostKit_BadReleases();
  std::vector<void*> blocks(20000);
  for (unsigned i = 0; i < blocks.size(); i++) blocks[i] = HostKit_Alloc("many", 1 + i % 97, 0);
  void* first = blocks[0];
  for (unsigned k = 0, i = 0; k < blocks.size() / 3; k++, i = (i + 7919) % blocks.size()) {
    HostKit_Free("many", std::exchange(blocks[i], nullptr));
  }
  HostKit_Free("many", first);
  int local = 0;
  HostKit_Free("x", &local);
  EXPECT_EQ(nullptr, HostKit_Realloc("x", &local, 16, 0));
  for (unsigned i = 0; i < blocks.size(); i++) {
    if (blocks[i] == nullptr) continue;
    ASSERT_EQ(1 + i % 97, HostKit_BlockSize(blocks[i])) << i;
    HostKit_Free("many", blocks[i]);
  }
  EXPECT_EQ(bad + 3, HostKit_BadReleases());
}
