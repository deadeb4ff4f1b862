// Test main: after every test the host allocator must hold exactly the
// live blocks it held before it, so every test is also a leak test.
#include <gtest/gtest.h>

#include <cstdio>

#include "hostkit/hostkit.h"
#include "platform/win32.h"

namespace {

class LeakListener : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override { before_ = HostKit_LiveBlocks(nullptr); }
  void OnTestEnd(const testing::TestInfo& info) override {
    long after = HostKit_LiveBlocks(nullptr);
    if (after != before_) {
      ADD_FAILURE_AT(info.file(), info.line())
          << "host allocator: " << after - before_ << " block(s) leaked by " << info.name();
    }
  }

 private:
  long before_ = 0;
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
