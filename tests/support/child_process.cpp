#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace support {
namespace {

using Clock = std::chrono::steady_clock;

void closeFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Waits for a byte on `fd` until `deadline`: 1 a byte came, 0 the other end closed, -1 time ran
// out or the read failed.
int readByte(int fd, Clock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return -1;
    pollfd wanted{fd, POLLIN, 0};
    const int ready = poll(&wanted, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return -1;
    char byte = 0;
    const ssize_t got = read(fd, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    return got == 1 ? 1 : got == 0 ? 0 : -1;
  }
}

ChildEnd endOf(int status) {
  ChildEnd end;
  if (WIFEXITED(status)) {
    end.how = ChildEnd::How::Exited;
    end.code = WEXITSTATUS(status);
  } else {
    end.how = ChildEnd::How::Signalled;
    end.signal = WTERMSIG(status);
  }
  return end;
}

}  // namespace

std::string ChildEnd::text() const {
  switch (how) {
    case How::Exited: return "exit " + std::to_string(code);
    case How::Signalled: return "signal " + std::to_string(signal);
    case How::TimedOut: return "timed out";
    case How::NotStarted: break;
  }
  return "not started";
}

bool ChildSide::tell() {
  const char byte = 'p';
  return write(toParent_, &byte, 1) == 1;
}

bool ChildSide::pause() {
  if (!tell()) return false;
  char answer = 0;
  ssize_t got = 0;
  do {
    got = read(fromParent_, &answer, 1);
  } while (got < 0 && errno == EINTR);
  return got == 1;
}

ChildProcess::ChildProcess(std::function<int(ChildSide&)> body) {
  int pauses[2];
  int resumes[2];
  if (pipe2(pauses, O_CLOEXEC) != 0) return;
  if (pipe2(resumes, O_CLOEXEC) != 0) {
    close(pauses[0]);
    close(pauses[1]);
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    close(pauses[0]);
    close(resumes[1]);
    ChildSide side(pauses[1], resumes[0]);
    int code = kChildThrew;
    try {
      code = body(side);
    } catch (...) {
    }
    _exit(code);
  }
  // Only the child keeps the ends it writes to and reads from.
  close(pauses[1]);
  close(resumes[0]);
  fromChild_ = pauses[0];
  toChild_ = resumes[1];
  if (pid_ < 0) closeOwnEnds();
}

ChildProcess::~ChildProcess() {
  if (started() && !reaped_) kill();
  closeOwnEnds();
}

void ChildProcess::closeOwnEnds() {
  closeFd(fromChild_);
  closeFd(toChild_);
}

bool ChildProcess::waitForPause(std::chrono::milliseconds deadline) {
  if (fromChild_ < 0) return false;
  return readByte(fromChild_, Clock::now() + deadline) == 1;
}

void ChildProcess::resume() {
  const char byte = 'r';
  if (toChild_ >= 0) (void)!write(toChild_, &byte, 1);
}

void ChildProcess::signal(int signal) {
  if (started() && !reaped_) ::kill(pid_, signal);
}

ChildEnd ChildProcess::wait(std::chrono::milliseconds deadline) {
  if (!started() || reaped_) return end_;
  const auto until = Clock::now() + deadline;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      end_ = endOf(status);
      break;
    }
    if (done < 0 && errno != EINTR) break;
    if (Clock::now() >= until) {
      ::kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      end_ = {ChildEnd::How::TimedOut, -1, SIGKILL};
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  reaped_ = true;
  closeOwnEnds();
  return end_;
}

ChildEnd ChildProcess::kill() {
  signal(SIGKILL);
  return wait();
}

void limitFileSize(rlim_t bytes) {
  const rlimit limit{bytes, bytes};
  setrlimit(RLIMIT_FSIZE, &limit);
}

bool mountSmallFileSystem(const std::string& path, std::size_t bytes) {
  if (unshare(CLONE_NEWNS) != 0) return false;
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  const std::string options = "size=" + std::to_string(bytes);
  return mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

bool dropRoot() {
  constexpr uid_t kNobody = 65534;
  return geteuid() != 0 || (setgid(kNobody) == 0 && setuid(kNobody) == 0);
}

}  // namespace support
