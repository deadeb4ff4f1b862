// The host services library: allocator accounting and bad-release
// detection, and the defaults that hold without a client.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"

TEST(HostKitAllocator, TagsZeroFillAndBadReleases) {
  long all = HostKit_LiveBlocks(nullptr);
  long bad = HostKit_BadReleases();
  void* a = HostKit_Alloc("tA", 10, 0);
  unsigned char* b = static_cast<unsigned char*>(HostKit_Alloc("tA", 64, 1));
  void* c = HostKit_Alloc("tB", 30, 0);
  EXPECT_EQ(2, HostKit_LiveBlocks("tA"));
  EXPECT_EQ(all + 3, HostKit_LiveBlocks(nullptr));
  for (int i = 0; i < 64; i++) ASSERT_EQ(0, b[i]);
  // The release tag need not be the allocation tag; a block counts under
  // the tag it was allocated (or last resized) with. Growing keeps the
  // contents and zero-fills the rest.
  HostKit_Free("other", a);
  EXPECT_EQ(1, HostKit_LiveBlocks("tA"));
  std::memcpy(b, "abcdef", 6);
  b = static_cast<unsigned char*>(HostKit_Realloc("tB", b, 4096, 1));
  ASSERT_NE(nullptr, b);
  EXPECT_EQ(0, std::memcmp(b, "abcdef", 6));
  EXPECT_EQ(0, b[4095]);
  EXPECT_EQ(0, HostKit_LiveBlocks("tA"));
  EXPECT_EQ(2, HostKit_LiveBlocks("tB"));
  EXPECT_EQ(4096u, HostKit_BlockSize(b));
  HostKit_Free("tB", b);
  HostKit_Free("tB", c);
  EXPECT_EQ(all, HostKit_LiveBlocks(nullptr));

  // Bad releases are reported, not performed; null is no release at all.
  HostKit_Free("x", nullptr);
  HostKit_Free("x", c);  // twice
  int local = 0;
  HostKit_Free("x", &local);  // never allocated here
  EXPECT_EQ(nullptr, HostKit_Realloc("x", &local, 16, 0));
  EXPECT_EQ(bad + 3, HostKit_BadReleases());
  EXPECT_EQ(all, HostKit_LiveBlocks(nullptr));
}

// Enough blocks to make the block table grow several times, released in
// an order unrelated to their addresses, with a bad release in between: the
// sizes, counts and bad-release reports stay exact throughout.
TEST(HostKitAllocator, ManyBlocksKeepTheirRecords) {
  long all = HostKit_LiveBlocks(nullptr);
  long bad = HostKit_BadReleases();
  const unsigned kBlocks = 20000;
  std::vector<void*> blocks;
  for (unsigned i = 0; i < kBlocks; i++) {
    blocks.push_back(HostKit_Alloc(i % 2 ? "many1" : "many2", 1 + i % 97, 0));
  }
  EXPECT_EQ(long{kBlocks / 2}, HostKit_LiveBlocks("many1"));
  // Free every third block (stride coprime with the count), then grow the
  // odd survivors so that some move.
  std::vector<bool> freed(kBlocks, false);
  for (unsigned k = 0, i = 0; k < kBlocks / 3; k++, i = (i + 7919) % kBlocks) {
    HostKit_Free("many", blocks[i]);
    freed[i] = true;
  }
  HostKit_Free("many", blocks[0]);  // freed above (k = 0), so reported
  EXPECT_EQ(bad + 1, HostKit_BadReleases());
  for (unsigned i = 1; i < kBlocks; i += 2) {
    if (!freed[i]) blocks[i] = HostKit_Realloc("many3", blocks[i], 500 + i % 13, 0);
  }
  long live = 0;
  for (unsigned i = 0; i < kBlocks; i++) {
    if (freed[i]) continue;  // the address may have been handed out again
    live++;
    ASSERT_EQ(i % 2 ? 500 + i % 13 : 1 + i % 97, HostKit_BlockSize(blocks[i])) << i;
  }
  EXPECT_EQ(0, HostKit_LiveBlocks("many1"));
  EXPECT_EQ(all + live, HostKit_LiveBlocks(nullptr));
  for (unsigned i = 0; i < kBlocks; i++) {
    if (!freed[i]) HostKit_Free("many", blocks[i]);
  }
  EXPECT_EQ(all, HostKit_LiveBlocks(nullptr));
  EXPECT_EQ(bad + 1, HostKit_BadReleases());
}

// Every request reaches the observer, a release of null too, so that tests
// can prove the library makes no such call.
TEST(HostKitAllocator, ObserverSeesEveryRequest) {
  static std::vector<std::string> seen;
  seen.clear();
  HostKit_SetAllocObserver(
      [](void*, int entry, const char* tag, void*, unsigned size) {
        seen.push_back(std::to_string(entry) + " " + tag + " " + std::to_string(size));
      },
      nullptr);
  void* p = HostKit_Alloc("o1", 16, 0);
  p = HostKit_Realloc("o3", p, 25, 0);
  HostKit_Free("o2", p);
  HostKit_Free("o4", nullptr);
  HostKit_SetAllocObserver(nullptr, nullptr);
  EXPECT_EQ((std::vector<std::string>{"106 o1 16", "107 o3 25", "108 o2 0", "108 o4 0"}), seen);
}

TEST(HostKitDefaults, WithoutHandlers) {
  intptr_t args[1] = {5};
  EXPECT_EQ(0, HostKit_ToolCall(1, 24, 4, HostKit_Context(), 1, args));
  EXPECT_EQ(0, IDB_Exists(1, 1234));
  EXPECT_NE(0, HostKit_CheckPath("/tmp/nospace"));
  EXPECT_EQ(0, HostKit_CheckPath("/tmp/with space"));

  // Directories are made with their parents; "\" separates them too.
  char dir[] = "/tmp/hostkitXXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dir));
  std::string deep = std::string(dir) + "\\a\\b/c";
  EXPECT_NE(0, HostKit_MakePath(deep.c_str()));
  struct stat st;
  EXPECT_EQ(0, stat((std::string(dir) + "/a/b/c").c_str(), &st));
  EXPECT_NE(0, HostKit_MakePath(deep.c_str()));  // already there
  for (const char* sub : {"/a/b/c", "/a/b", "/a", ""}) rmdir((std::string(dir) + sub).c_str());
}
