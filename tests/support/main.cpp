// Test main: after every test the host allocator, and on the POSIX
// stand-in the global and local memory, must hold exactly the live blocks
// they held before it, so every test is also a leak test.
#include <gtest/gtest.h>

#include <cstdio>

#include "hostkit/hostkit.h"
#include "platform/win32.h"

namespace {

struct Live {
  long host, global, local;
};

Live Count() {
#if defined(_WIN32)
  return {HostKit_LiveBlocks(nullptr), 0, 0};
#else
  return {HostKit_LiveBlocks(nullptr), OrbWin_LiveGlobalBlocks(), OrbWin_LiveLocalBlocks()};
#endif
}

class LeakListener : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override { before_ = Count(); }
  void OnTestEnd(const testing::TestInfo& info) override {
    Live after = Count();
    Report(info, "host allocator", after.host - before_.host);
    Report(info, "global memory", after.global - before_.global);
    Report(info, "local memory", after.local - before_.local);
  }

 private:
  static void Report(const testing::TestInfo& info, const char* kind, long leaked) {
    if (leaked != 0) {
      ADD_FAILURE_AT(info.file(), info.line())
          << kind << ": " << leaked << " block(s) leaked by " << info.name();
    }
  }
  Live before_ = {0, 0, 0};
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
