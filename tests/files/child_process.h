// A forked child process for tests that need a second process on the same files: it runs a
// body, says it is ready, then holds its state (open files and their locks) until it is told
// to finish or is killed.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace files::test {

class ChildProcess {
 public:
  // Forks a child that runs `body`, reports ready and waits; its exit status is what `body`
  // answered. Returns when the child is ready (or has died), or at once without
  // `waitUntilReady`.
  explicit ChildProcess(const std::function<int()>& body, bool waitUntilReady = true) {
    int ready[2];
    int go[2];
    if (pipe(ready) != 0 || pipe(go) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(go[1]);
      const int status = body();
      const char byte = 'r';
      (void)!write(ready[1], &byte, 1);
      char ignored = 0;
      (void)!read(go[0], &ignored, 1);
      _exit(status);
    }
    close(ready[1]);
    close(go[0]);
    goFd_ = go[1];
    char byte = 0;
    if (waitUntilReady) (void)!read(ready[0], &byte, 1);
    close(ready[0]);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() { finish(); }

  // Lets the child end and answers its exit status (-1 when it was killed).
  int finish() {
    if (pid_ <= 0) return status_;
    if (goFd_ >= 0) close(goFd_);
    goFd_ = -1;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return status_;
  }

  // Kills the child at once, as a crash would.
  void kill() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
    finish();
  }

 private:
  pid_t pid_ = -1;
  int goFd_ = -1;
  int status_ = -1;
};

// Runs `body` in a child process and answers its exit status: as another user than root when
// the tests run as root (so file permissions apply), and with writes limited to `fileSizeLimit`
// bytes per file when it is not 0 (a full disk).
inline int runInChild(const std::function<int()>& body, bool asOtherUser,
                      rlim_t fileSizeLimit = 0) {
  ChildProcess child([&] {
    if (asOtherUser && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 255;
    if (fileSizeLimit != 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    return body();
  });
  return child.finish();
}

}  // namespace files::test
