// Allocation failure as input, in the manner of malloc-failure test suites:
// a scenario runs once without faults for its reference outcome, then with
// the N-th allocation failing for N = 1, 2, ... until a run meets no fault,
// then again with every allocation from the N-th on failing. Allocations
// are the host allocator's requests and, on the POSIX stand-in, local and
// global memory too. Every faulted run must end in the reference outcome
// or in the scenario's failure outcome (kFailed, which a scenario gives
// only after checking that the failure is the one the interface promises),
// and leave no block live.
#ifndef ORB_TESTS_SUPPORT_FAULTRUN_H_
#define ORB_TESTS_SUPPORT_FAULTRUN_H_

#include <functional>
#include <string>

#include "hostkit/hostkit.h"
#include "platform/win32.h"

// The outcome of a run that failed as its interface says it may.
inline const std::string kFailed = "<failed as promised>";

struct FaultTally {
  unsigned long runs = 0, faults = 0, wrong = 0, leaks = 0;
  std::string firstWrong;  // "at N: outcome" of the first wrong run
};

class FaultRun {
 public:
  // Number of requests refused so far, in every run: a scenario whose call
  // failed can tell whether memory ran out during it.
  static inline unsigned long refused = 0;

  // Runs body for every fault position, failing the N-th request alone
  // and then every request from the N-th on; each run counts in the tally.
  FaultTally Run(const std::function<std::string()>& body) {
    FaultTally t;
    const std::string reference = Once(body, 0, &t);
    for (persist_ = false;; persist_ = true) {
      for (unsigned long n = 1; n <= kLimit; n++) {
        hit_ = false;
        std::string outcome = Once(body, n, &t);
        if (!hit_) break;
        t.faults++;
        if (outcome != reference && outcome != kFailed && t.wrong++ == 0) {
          t.firstWrong = (persist_ ? "from " : "at ") + std::to_string(n) + ": " + outcome +
                         " (reference " + reference + ")";
        }
      }
      if (persist_) return t;
    }
  }

 private:
  static constexpr unsigned long kLimit = 20000;  // bounds the time of one scenario

  std::string Once(const std::function<std::string()>& body, unsigned long n, FaultTally* t) {
    long live = Live();
    RefuseFrom(n);
    std::string outcome = body();
    RefuseFrom(0);
    t->runs++;
    t->leaks += Live() != live;
    return outcome;
  }

  // Refuses the n-th request from now on (and every later one when
  // persist_); none for 0.
  void RefuseFrom(unsigned long n) {
    target_ = n;
    seen_ = 0;
    HostKit_SetFailHandler(n == 0 ? nullptr : HostFail, this);
#if !defined(_WIN32)
    OrbWin_SetAllocFailHandler(n == 0 ? nullptr : Refuse, this);
#endif
  }

  static long Live() {
#if defined(_WIN32)
    return HostKit_LiveBlocks(nullptr);
#else
    return HostKit_LiveBlocks(nullptr) + OrbWin_LiveLocalBlocks() + OrbWin_LiveGlobalBlocks();
#endif
  }

  static int HostFail(void* user, int, const char*, unsigned, unsigned long) {
    return Refuse(user);
  }

  // Counts one more allocation of the run; nonzero when it is to fail.
  static int Refuse(void* user) {
    FaultRun* self = static_cast<FaultRun*>(user);
    self->seen_++;
    bool fail = self->seen_ == self->target_ || (self->persist_ && self->seen_ > self->target_);
    self->hit_ = self->hit_ || fail;
    refused += fail;
    return fail;
  }

  unsigned long target_ = 0, seen_ = 0;
  bool persist_ = false, hit_ = false;
};

#endif  // ORB_TESTS_SUPPORT_FAULTRUN_H_
