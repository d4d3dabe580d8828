#include "platform/os/termination.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace os {
namespace {

// In a child process: a termination signal reaches the callback, on a thread of its own, and
// the process ends the way the callback chooses instead of being killed.
TEST(Termination, ASignalBecomesACallInsteadOfKillingTheProcess) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(ready[0]);
      const pthread_t main = pthread_self();
      const bool watching = watchTerminationRequests([main] {
        if (pthread_equal(pthread_self(), main)) _exit(3);  // must not run on the main thread
        _exit(42);
      });
      if (!watching) _exit(4);
      if (write(ready[1], "x", 1) != 1) _exit(5);
      for (;;) pause();
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    kill(child, signal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << signal << " killed the process";
    EXPECT_EQ(WEXITSTATUS(status), 42) << "signal " << signal;
  }
}

// In a child process whose main thread never takes the request: the timer the callback starts
// runs the last step and ends the process with its code, also when the signal comes again.
TEST(Termination, ABusyProcessIsEndedAfterTheGraceWithItsLastStep) {
  int ready[2];
  int lastStep[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(lastStep), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(ready[0]);
    close(lastStep[0]);
    const int marker = lastStep[1];
    watchTerminationRequests([marker] {
      endProcessAfter(
          std::chrono::milliseconds(200), [marker] { (void)!write(marker, "r", 1); }, 7);
    });
    if (write(ready[1], "x", 1) != 1) _exit(5);
    for (;;) pause();  // the busy window thread
  }
  close(ready[1]);
  close(lastStep[1]);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  close(ready[0]);
  kill(child, SIGTERM);
  kill(child, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "a signal killed the process";
  EXPECT_EQ(WEXITSTATUS(status), 7);
  std::string steps;
  while (read(lastStep[0], &byte, 1) == 1) steps += byte;
  close(lastStep[0]);
  EXPECT_EQ(steps, "r");
}

}  // namespace
}  // namespace os
