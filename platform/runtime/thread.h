// Threads of the process: their numbers, re-entrant critical sections and one-time
// initialisation blocks.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace runtime {

// The calling thread's number. The thread that started the numbering (the main thread, at
// process start) is 1; every other thread gets the next number, 2, 3, ..., on its first call
// and keeps it for its life. Numbers are never reused.
int THREAD();

// Starts the numbering afresh with the calling thread as number 1; the process start calls it.
// A thread numbered before gets a new number at its next call.
void startThreadNumbering();

// A re-entrant lock: the owning thread may enter it again and must leave it as often as it
// entered; other threads wait in enter() until it is free. Created by construction and
// destroyed by destruction, which must not happen while a thread holds it.
class CriticalSection {
 public:
  CriticalSection() = default;
  ~CriticalSection();
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  // Waits until no other thread holds the section, then holds it (once more, for the owner).
  void enter();
  // Gives up one hold of the calling thread, which must hold the section; the last one frees it.
  void leave();
  // True when the calling thread holds the section.
  bool heldByCaller() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable freed_;
  std::thread::id owner_;
  int depth_ = 0;
};

// Holds a critical section for the guard's scope.
class CriticalSectionGuard {
 public:
  explicit CriticalSectionGuard(CriticalSection& section) : section_(section) { section_.enter(); }
  ~CriticalSectionGuard() { section_.leave(); }
  CriticalSectionGuard(const CriticalSectionGuard&) = delete;
  CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

 private:
  CriticalSection& section_;
};

// Lets exactly one thread run an initialisation block. Threads that arrive while it runs wait
// until it is done. When the block throws, the exception goes to the thread that ran it and
// the guard stays unrun, so the next caller runs the block again.
class OnceGuard {
 public:
  // Runs `block` unless it has already run (or is running, in which case it waits for the end).
  // Returns true when this call ran it. The block must not call run() on the same guard.
  template <typename Block>
  bool run(Block&& block) {
    if (!claim()) return false;
    try {
      std::forward<Block>(block)();
    } catch (...) {
      finish(false);
      throw;
    }
    finish(true);
    return true;
  }

  // True once a block has run to its end.
  bool done() const;

 private:
  enum class State { NotRun, Running, Done };

  // Waits while another thread runs the block; true when the caller is to run it now.
  bool claim();
  // Ends the caller's run: done, or back to not run after a failure. Wakes the waiters.
  void finish(bool succeeded);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  State state_ = State::NotRun;
  std::thread::id runner_;
};

}  // namespace runtime
