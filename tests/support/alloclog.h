// Test helper: what is asked of the host allocator while a log lives.
#ifndef ORB_TESTS_SUPPORT_ALLOCLOG_H_
#define ORB_TESTS_SUPPORT_ALLOCLOG_H_

#include <string>
#include <vector>

#include "hostkit/hostkit.h"

// Records every request as "entry tag size" (size 0 for a release), and
// the block each request named.
class AllocLog {
 public:
  AllocLog() { HostKit_SetAllocObserver(&Observe, this); }
  ~AllocLog() { HostKit_SetAllocObserver(nullptr, nullptr); }

  // The requests since the last Take, ", " between them.
  std::string Take() {
    std::string out;
    for (const std::string& call : calls) out += (out.empty() ? "" : ", ") + call;
    calls.clear();
    blocks.clear();
    return out;
  }

  std::vector<std::string> calls;
  std::vector<void*> blocks;

 private:
  static void Observe(void* user, int entry, const char* tag, void* block, unsigned size) {
    AllocLog* log = static_cast<AllocLog*>(user);
    log->calls.push_back(std::to_string(entry) + " " + tag + " " + std::to_string(size));
    log->blocks.push_back(block);
  }
};

#endif  // ORB_TESTS_SUPPORT_ALLOCLOG_H_
