// Test main: after every test the host allocator must hold exactly the
// live blocks it held before it, so every test is also a leak test.
#include <gtest/gtest.h>

#include "hostkit/hostkit.h"

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
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new LeakListener);
  return RUN_ALL_TESTS();
}
