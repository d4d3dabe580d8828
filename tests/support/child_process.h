// A child process for tests that need a second process: one that runs beside the test on the
// same files, one that is killed as a crash would kill it, or one whose end (exit code, signal)
// is what the test looks at. The parent keeps only its own ends of the pipes it talks through,
// so a child that ends early ends every wait at once; every wait has a deadline, after which the
// child is killed, so no test waits for ever.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

namespace support {

// How long a wait on a child lasts by default: far beyond any child's work, well within a
// test's own time limit.
inline constexpr std::chrono::milliseconds kChildDeadline{std::chrono::seconds(120)};

// The exit code of a child whose body threw.
inline constexpr int kChildThrew = 250;

// How a child ended.
struct ChildEnd {
  enum class How { Exited, Signalled, TimedOut, NotStarted };
  How how = How::NotStarted;
  int code = -1;   // the exit code, when it exited
  int signal = 0;  // the signal that ended it, when signalled (SIGKILL when it timed out)

  bool exitedWith(int expected) const { return how == How::Exited && code == expected; }
  bool killedBy(int expected) const { return how == How::Signalled && signal == expected; }
  // "exit 3", "signal 9", "timed out" or "not started", for failure messages.
  std::string text() const;
};

// The child's side of the handshake with the parent.
class ChildSide {
 public:
  ChildSide(int toParent, int fromParent) : toParent_(toParent), fromParent_(fromParent) {}
  // Tells the parent that the child has reached a pause and waits until the parent resumes it
  // (or has ended). Answers false when the parent can no longer be told or has gone.
  bool pause();
  // Tells the parent the same without waiting.
  bool tell();

 private:
  int toParent_;
  int fromParent_;
};

class ChildProcess {
 public:
  // Forks a child that runs `body` and ends with the code it answers (kChildThrew when it
  // throws), without running the parent's exit steps.
  explicit ChildProcess(std::function<int(ChildSide&)> body);
  explicit ChildProcess(const std::function<int()>& body)
      : ChildProcess([body](ChildSide&) { return body(); }) {}
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // A child still running is killed and reaped.
  ~ChildProcess();

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

  // Waits until the child pauses. False when it ended first or the deadline passed.
  bool waitForPause(std::chrono::milliseconds deadline = kChildDeadline);
  // Lets a paused child go on.
  void resume();
  // Sends `signal` to the child while it runs.
  void signal(int signal);
  // Waits for the child's end; past the deadline it is killed (How::TimedOut). Later calls
  // answer the same.
  ChildEnd wait(std::chrono::milliseconds deadline = kChildDeadline);
  // Kills the child at once, as a crash would, and answers its end.
  ChildEnd kill();

 private:
  void closeOwnEnds();

  pid_t pid_ = -1;
  int fromChild_ = -1;  // the parent's read end of the child's pauses
  int toChild_ = -1;    // the parent's write end of the resumes
  bool reaped_ = false;
  ChildEnd end_;
};

// In a child: limits every file it writes to `bytes` (a full disk, or a file-size limit), with
// the signal SIGXFSZ left as the process has it.
void limitFileSize(rlim_t bytes);

// In a child: mounts an empty file system of `bytes` bytes at the folder `path`, seen by this
// process alone (a disk that fills up). False when the system does not allow it.
bool mountSmallFileSystem(const std::string& path, std::size_t bytes);

// In a child: goes on as an ordinary user when it runs as root, so that file permissions hold.
// False when that fails.
bool dropRoot();

}  // namespace support
