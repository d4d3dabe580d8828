#include "platform/runtime/process.h"

#include <features.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cassert>
#include <cerrno>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"
#include "platform/runtime/paths.h"

extern char** environ;

namespace runtime {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The program name at the start of `line`; `position` is left just after it.
std::string programName(std::string_view line, std::size_t& position) {
  std::string name;
  bool quoted = false;
  for (; position < line.size(); ++position) {
    const char c = line[position];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && isBlank(c)) {
      break;
    } else {
      name += c;
    }
  }
  return name;
}

// One argument starting at `position`; `position` is left just after it.
std::string argument(std::string_view line, std::size_t& position) {
  std::string word;
  bool quoted = false;
  for (;;) {
    std::size_t backslashes = 0;
    while (position < line.size() && line[position] == '\\') {
      ++backslashes;
      ++position;
    }
    bool copy = true;
    if (position < line.size() && line[position] == '"') {
      if (backslashes % 2 == 0) {
        if (quoted && position + 1 < line.size() && line[position + 1] == '"') {
          ++position;  // two quotes inside a quoted part: the second is kept as a literal quote
        } else {
          copy = false;
          quoted = !quoted;
        }
      }
      backslashes /= 2;
    }
    word.append(backslashes, '\\');
    if (position >= line.size() || (!quoted && isBlank(line[position]))) return word;
    if (copy) word += line[position];
    ++position;
  }
}

std::mutex& spawnerLock() {
  static std::mutex lock;
  return lock;
}

Spawner& currentSpawner() {
  static Spawner spawner = spawnDetached;
  return spawner;
}

// Spawn attributes for a detached child: a new session, default signals, an empty signal mask.
class DetachedAttributes {
 public:
  DetachedAttributes() {
    posix_spawnattr_init(&attributes_);
    sigset_t signals;
    sigfillset(&signals);
    sigdelset(&signals, SIGKILL);
    sigdelset(&signals, SIGSTOP);
    posix_spawnattr_setsigdefault(&attributes_, &signals);
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes_, &signals);
    posix_spawnattr_setflags(&attributes_,
                             POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_init(&actions_);
#ifdef __GLIBC__
#if __GLIBC_PREREQ(2, 34)
    posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
#endif
#endif
  }
  DetachedAttributes(const DetachedAttributes&) = delete;
  DetachedAttributes& operator=(const DetachedAttributes&) = delete;
  ~DetachedAttributes() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  const posix_spawnattr_t* attributes() const { return &attributes_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attributes_;
  posix_spawn_file_actions_t actions_;
};

// Waits for the child in the background so that it is reaped when it ends. Only this pid is
// waited for, so other code that waits for its own children is not disturbed.
void reapWhenDone(pid_t pid) {
  try {
    std::thread([pid] {
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the child runs on and is reaped when this process ends.
  }
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
  std::vector<std::string> words;
  std::size_t position = 0;
  while (position < commandLine.size() && isBlank(commandLine[position])) ++position;
  if (position == commandLine.size()) return words;
  words.push_back(programName(commandLine, position));
  for (;;) {
    while (position < commandLine.size() && isBlank(commandLine[position])) ++position;
    if (position == commandLine.size()) return words;
    words.push_back(argument(commandLine, position));
  }
}

int spawnDetached(const std::vector<std::string>& argv) {
  if (argv.empty() || argv.front().empty()) return FileNotFoundErr;
  std::vector<char*> pointers;
  pointers.reserve(argv.size() + 1);
  for (const std::string& word : argv) pointers.push_back(const_cast<char*>(word.c_str()));
  pointers.push_back(nullptr);

  const DetachedAttributes detached;
  pid_t pid = 0;
  // posix_spawnp reports a failed exec as its result (the child never runs the program) and
  // never falls back to a shell.
  const int result = posix_spawnp(&pid, pointers.front(), detached.actions(), detached.attributes(),
                                  pointers.data(), environ);
  if (result != 0) return errorFromErrno(result);
  reapWhenDone(pid);
  return NoError;
}

Spawner setSpawner(Spawner spawner) {
  std::lock_guard guard(spawnerLock());
  Spawner previous = std::exchange(currentSpawner(), spawner ? std::move(spawner) : spawnDetached);
  return previous;
}

void RUN(std::string_view commandLine, int waitFlag) {
  assert(waitFlag == 0);
  (void)waitFlag;
  std::vector<std::string> argv = splitCommandLine(commandLine);
  if (argv.empty()) {
    setError(FileNotFoundErr);
    return;
  }
  argv.front() = toOsPath(argv.front());
  setError(spawnProgram(argv));
}

int spawnProgram(const std::vector<std::string>& argv) {
  Spawner spawner;
  {
    std::lock_guard guard(spawnerLock());
    spawner = currentSpawner();
  }
  return spawner(argv);
}

}  // namespace runtime
