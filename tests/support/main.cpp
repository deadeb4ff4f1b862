// Test main: after every test the host allocator, and on the POSIX
// stand-in the global and local memory, must hold exactly the live blocks
// they held before it, so every test is also a leak test.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "hostkit/hostkit.h"
#include "platform/win32.h"

namespace {

const char* const kKinds[] = {"host allocator", "global memory", "local memory"};

// The live blocks of each kind.
std::vector<long> Count() {
#if defined(_WIN32)
  return {HostKit_LiveBlocks(nullptr), 0, 0};
#else
  return {HostKit_LiveBlocks(nullptr), OrbWin_LiveGlobalBlocks(), OrbWin_LiveLocalBlocks()};
#endif
}

class LeakListener : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { before_ = Count(); }
  void OnTestEnd(const testing::TestInfo& info) override {
    std::vector<long> after = Count();
    for (size_t i = 0; i < after.size(); i++) {
      if (after[i] == before_[i]) continue;
      ADD_FAILURE_AT(info.file(), info.line())
          << kKinds[i] << ": " << after[i] - before_[i] << " block(s) leaked by " << info.name();
    }
  }
  std::vector<long> before_;
};

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
  // Character classes, case and file names follow the ANSI code page.
  if (GetACP() != 1252) {
    std::fprintf(stderr, "the tests expect the ANSI code page 1252, not %u\n", GetACP());
    return 1;
  }
#endif
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new LeakListener);
  return RUN_ALL_TESTS();
}
