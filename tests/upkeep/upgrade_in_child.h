// An upgrade killed as a crash would kill it: the work runs in a child process that answers
// Ignore to every message box and dies by SIGKILL at the step of the upgrade chosen, or when the
// parent kills it after a delay.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/runtime/message.h"
#include "tests/support/child_process.h"
#include "upkeep/upgrade_faults.h"

namespace upkeep::testing {

// Runs `work` (answering the child's exit code) in a child process whose step hook asks
// `killHere` before each step of the upgrade and kills the child there when it answers true.
// With a `delay`, the parent kills the child after it. Answers whether the child died by
// SIGKILL.
template <class KillHere, class Work>
bool upgradeKilledInChild(KillHere killHere, Work work, std::chrono::microseconds delay = {}) {
  support::ChildProcess child([&] {
    struct Ignore : runtime::MessageAnswerer {
      int answer(const runtime::MessageRequest&) override { return runtime::ButtonIgnore; }
    } ignore;
    runtime::setMessageAnswerer(&ignore);
    setUpgradeStepHook([killHere](UpgradeStep step) mutable {
      if (killHere(step)) kill(getpid(), SIGKILL);
      return 0;
    });
    return work();
  });
  if (delay.count() > 0) {
    std::this_thread::sleep_for(delay);
    child.kill();
  }
  return child.wait().killedBy(SIGKILL);
}

}  // namespace upkeep::testing
