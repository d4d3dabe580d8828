#include "platform/os/termination.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/child_process.h"

namespace os {
namespace {

// In a child process: a termination signal reaches the callback, on a thread of its own, and
// the process ends the way the callback chooses instead of being killed.
TEST(Termination, ASignalBecomesACallInsteadOfKillingTheProcess) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    support::ChildProcess child([](support::ChildSide& side) {
      const pthread_t main = pthread_self();
      const bool watching = watchTerminationRequests([main] {
        if (pthread_equal(pthread_self(), main)) _exit(3);  // must not run on the main thread
        _exit(42);
      });
      if (!watching) return 4;
      if (!side.tell()) return 5;
      for (;;) pause();
    });
    ASSERT_TRUE(child.waitForPause()) << child.wait().text();
    child.signal(signal);
    const support::ChildEnd end = child.wait();
    EXPECT_TRUE(end.exitedWith(42)) << "signal " << signal << ": " << end.text();
  }
}

// In a child process whose main thread never takes the request: the timer the callback starts
// runs the last step and ends the process with its code, also when the signal comes again.
TEST(Termination, ABusyProcessIsEndedAfterTheGraceWithItsLastStep) {
  int lastStep[2];
  ASSERT_EQ(pipe(lastStep), 0);
  support::ChildProcess child([&](support::ChildSide& side) {
    close(lastStep[0]);
    const int marker = lastStep[1];
    watchTerminationRequests([marker] {
      endProcessAfter(
          std::chrono::milliseconds(200), [marker] { (void)!write(marker, "r", 1); }, 7);
    });
    if (!side.tell()) return 5;
    for (;;) pause();  // the busy window thread
  });
  close(lastStep[1]);
  ASSERT_TRUE(child.waitForPause()) << child.wait().text();
  child.signal(SIGTERM);
  child.signal(SIGINT);
  const support::ChildEnd end = child.wait();
  EXPECT_TRUE(end.exitedWith(7)) << end.text();
  std::string steps;
  char byte = 0;
  while (read(lastStep[0], &byte, 1) == 1) steps += byte;
  close(lastStep[0]);
  EXPECT_EQ(steps, "r");
}

}  // namespace
}  // namespace os
