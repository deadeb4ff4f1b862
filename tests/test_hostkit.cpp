// The host services library: allocator accounting and bad-release
// detection, and the defaults that hold without a client.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "hostkit/hostkit.h"

TEST(HostKitAllocator, CountsLiveBlocksPerTag) {
  long all = HostKit_LiveBlocks(nullptr);
  void* a = HostKit_Alloc("tA", 10, 0);
  void* b = HostKit_Alloc("tA", 20, 0);
  void* c = HostKit_Alloc("tB", 30, 0);
  EXPECT_EQ(2, HostKit_LiveBlocks("tA"));
  EXPECT_EQ(1, HostKit_LiveBlocks("tB"));
  EXPECT_EQ(all + 3, HostKit_LiveBlocks(nullptr));
  // The release tag need not be the allocation tag; the block counts under
  // the tag it was allocated (or last resized) with.
  HostKit_Free("other", a);
  EXPECT_EQ(1, HostKit_LiveBlocks("tA"));
  b = HostKit_Realloc("tB", b, 40, 0);
  EXPECT_EQ(0, HostKit_LiveBlocks("tA"));
  EXPECT_EQ(2, HostKit_LiveBlocks("tB"));
  EXPECT_EQ(40u, HostKit_BlockSize(b));
  HostKit_Free("tB", b);
  HostKit_Free("tB", c);
  EXPECT_EQ(all, HostKit_LiveBlocks(nullptr));
}

TEST(HostKitAllocator, ZeroFillAndReallocKeepContents) {
  unsigned char* p = static_cast<unsigned char*>(HostKit_Alloc("z", 64, 1));
  ASSERT_NE(nullptr, p);
  for (int i = 0; i < 64; i++) EXPECT_EQ(0, p[i]);
  std::memcpy(p, "abcdef", 6);
  p = static_cast<unsigned char*>(HostKit_Realloc("z", p, 4096, 1));
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(0, std::memcmp(p, "abcdef", 6));
  EXPECT_EQ(0, p[4095]);
  HostKit_Free("z", p);
}

TEST(HostKitAllocator, BadReleasesAreReportedNotPerformed) {
  long bad = HostKit_BadReleases();
  HostKit_Free("x", nullptr);  // nothing at all
  EXPECT_EQ(bad, HostKit_BadReleases());
  void* p = HostKit_Alloc("x", 8, 0);
  HostKit_Free("x", p);
  HostKit_Free("x", p);  // twice
  int local = 0;
  HostKit_Free("x", &local);  // never allocated here
  EXPECT_EQ(nullptr, HostKit_Realloc("x", &local, 16, 0));
  EXPECT_EQ(bad + 3, HostKit_BadReleases());
  EXPECT_EQ(0, HostKit_LiveBlocks("x"));
}

// Enough blocks to make the block table grow several times, released in
// an order unrelated to their addresses, with bad releases in between: the
// sizes, counts and bad-release reports stay exact throughout.
TEST(HostKitAllocator, ManyBlocksKeepTheirRecords) {
  long all = HostKit_LiveBlocks(nullptr);
  long bad = HostKit_BadReleases();
  const unsigned kBlocks = 20000;
  std::vector<void*> blocks;
  for (unsigned i = 0; i < kBlocks; i++) {
    blocks.push_back(HostKit_Alloc(i % 2 ? "many1" : "many2", 1 + i % 97, 0));
    ASSERT_NE(nullptr, blocks.back());
  }
  EXPECT_EQ(long{kBlocks / 2}, HostKit_LiveBlocks("many1"));
  EXPECT_EQ(long{kBlocks / 2}, HostKit_LiveBlocks("many2"));
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
    if (freed[i]) continue;
    blocks[i] = HostKit_Realloc("many3", blocks[i], 500 + i % 13, 0);
    ASSERT_NE(nullptr, blocks[i]);
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

TEST(HostKitAllocator, ObserverSeesEveryRequest) {
  struct Seen {
    int entry;
    std::string tag;
    unsigned size;
  };
  static std::vector<Seen> seen;
  seen.clear();
  HostKit_SetAllocObserver(
      [](void*, int entry, const char* tag, void*, unsigned size) {
        seen.push_back({entry, tag, size});
      },
      nullptr);
  void* p = HostKit_Alloc("o1", 16, 0);
  p = HostKit_Realloc("o3", p, 25, 0);
  HostKit_Free("o2", p);
  HostKit_Free("o4", nullptr);  // a call all the same
  HostKit_SetAllocObserver(nullptr, nullptr);
  ASSERT_EQ(4u, seen.size());
  EXPECT_EQ(106, seen[0].entry);
  EXPECT_EQ(16u, seen[0].size);
  EXPECT_EQ(107, seen[1].entry);
  EXPECT_EQ("o3", seen[1].tag);
  EXPECT_EQ(25u, seen[1].size);
  EXPECT_EQ(108, seen[2].entry);
  EXPECT_EQ("o2", seen[2].tag);
  EXPECT_EQ(108, seen[3].entry);
  EXPECT_EQ("o4", seen[3].tag);
  seen.clear();
  seen.shrink_to_fit();
}

TEST(HostKitDefaults, WithoutHandlers) {
  intptr_t args[1] = {5};
  EXPECT_EQ(0, HostKit_ToolCall(1, 24, 4, HostKit_Context(), 1, args));
  EXPECT_EQ(0, IDB_Exists(1, 1234));
  EXPECT_EQ(0, HostKit_Context()[0]);
  EXPECT_NE(0, HostKit_CheckPath("/tmp/nospace"));
  EXPECT_EQ(0, HostKit_CheckPath("/tmp/with space"));

  char dir[] = "/tmp/hostkitXXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dir));
  std::string deep = std::string(dir) + "\\a\\b/c";
  EXPECT_NE(0, HostKit_MakePath(deep.c_str()));
  struct stat st;
  EXPECT_EQ(0, stat((std::string(dir) + "/a/b/c").c_str(), &st));
  EXPECT_NE(0, HostKit_MakePath(deep.c_str()));  // already there
  rmdir((std::string(dir) + "/a/b/c").c_str());
  rmdir((std::string(dir) + "/a/b").c_str());
  rmdir((std::string(dir) + "/a").c_str());
  rmdir(dir);
}

TEST(HostKitDefaults, HandlersReceiveTheCall) {
  struct Call {
    int tool, selector, argc;
    intptr_t first;
    void* context;
  } call{};
  HostKit_SetToolHandler(
      [](void* user, int tool, int selector, void* context, int argc, const intptr_t* argv) {
        *static_cast<Call*>(user) = Call{tool, selector, argc, argc ? argv[0] : -1, context};
        return intptr_t{77};
      },
      &call);
  intptr_t args[2] = {32, 9};
  EXPECT_EQ(77, HostKit_ToolCall(1, 1, 267, HostKit_Context(), 2, args));
  HostKit_SetToolHandler(nullptr, nullptr);
  EXPECT_EQ(1, call.tool);
  EXPECT_EQ(267, call.selector);
  EXPECT_EQ(2, call.argc);
  EXPECT_EQ(32, call.first);
  EXPECT_EQ(HostKit_Context(), call.context);
  EXPECT_EQ(0, HostKit_ToolCall(1, 1, 267, HostKit_Context(), 0, nullptr));
}
