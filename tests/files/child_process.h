// A child process for tests that need a second process on the same files: it runs a body, says
// it is ready, then holds its state (open files and their locks) until it is told to finish or
// is killed.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <functional>

#include "tests/support/child_process.h"

namespace files::test {

class ChildProcess {
 public:
  // Starts a child that runs `body`, reports ready and waits; its exit status is what `body`
  // answered. Returns when the child is ready (or has died), or at once without
  // `waitUntilReady`.
  explicit ChildProcess(const std::function<int()>& body, bool waitUntilReady = true)
      : child_([body](support::ChildSide& side) {
          const int status = body();
          side.pause();
          return status;
        }) {
    if (waitUntilReady) child_.waitForPause();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() { finish(); }

  // Lets the child end and answers its exit status (-1 when it was killed).
  int finish() {
    child_.resume();
    const support::ChildEnd end = child_.wait();
    return end.how == support::ChildEnd::How::Exited ? end.code : -1;
  }

  // Kills the child at once, as a crash would.
  void kill() { child_.kill(); }

 private:
  support::ChildProcess child_;
};

// Runs `body` in a child process and answers its exit status: as another user than root when
// the tests run as root (so file permissions apply), and with writes limited to `fileSizeLimit`
// bytes per file when it is not 0 (a full disk).
inline int runInChild(const std::function<int()>& body, bool asOtherUser,
                      rlim_t fileSizeLimit = 0) {
  ChildProcess child([&] {
    if (asOtherUser && !support::dropRoot()) return 255;
    if (fileSizeLimit != 0) {
      signal(SIGXFSZ, SIG_IGN);
      support::limitFileSize(fileSizeLimit);
    }
    return body();
  });
  return child.finish();
}

}  // namespace files::test
