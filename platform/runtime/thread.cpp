#include "platform/runtime/thread.h"

#include <atomic>
#include <cassert>

namespace runtime {
namespace {

// The numbering: a generation that startThreadNumbering moves on, so that numbers handed out
// before it no longer count, and the next number to hand out.
std::mutex numberingMutex;
std::atomic<unsigned> numberingGeneration{0};
int nextThreadNumber = 1;

struct ThreadNumber {
  unsigned generation = 0;
  int number = 0;
};
thread_local ThreadNumber threadNumber;

}  // namespace

int THREAD() {
  if (threadNumber.number != 0 && threadNumber.generation == numberingGeneration.load()) {
    return threadNumber.number;
  }
  std::lock_guard lock(numberingMutex);
  threadNumber.generation = numberingGeneration.load();
  threadNumber.number = nextThreadNumber++;
  return threadNumber.number;
}

void startThreadNumbering() {
  std::lock_guard lock(numberingMutex);
  threadNumber.generation = numberingGeneration.load() + 1;
  threadNumber.number = 1;
  nextThreadNumber = 2;
  numberingGeneration.store(threadNumber.generation);
}

CriticalSection::~CriticalSection() {
  assert(depth_ == 0 && "critical section destroyed while held");
}

void CriticalSection::enter() {
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock lock(mutex_);
  if (depth_ > 0 && owner_ == self) {
    ++depth_;
    return;
  }
  freed_.wait(lock, [this] { return depth_ == 0; });
  owner_ = self;
  depth_ = 1;
}

void CriticalSection::leave() {
  std::unique_lock lock(mutex_);
  assert(depth_ > 0 && owner_ == std::this_thread::get_id() && "leave by a thread not holding it");
  if (--depth_ > 0) return;
  owner_ = std::thread::id();
  lock.unlock();
  freed_.notify_one();
}

bool CriticalSection::heldByCaller() const {
  std::lock_guard lock(mutex_);
  return depth_ > 0 && owner_ == std::this_thread::get_id();
}

bool OnceGuard::done() const {
  std::lock_guard lock(mutex_);
  return state_ == State::Done;
}

bool OnceGuard::claim() {
  std::unique_lock lock(mutex_);
  assert(!(state_ == State::Running && runner_ == std::this_thread::get_id()) &&
         "once block re-entered by its own thread");
  changed_.wait(lock, [this] { return state_ != State::Running; });
  if (state_ == State::Done) return false;
  state_ = State::Running;
  runner_ = std::this_thread::get_id();
  return true;
}

void OnceGuard::finish(bool succeeded) {
  {
    std::lock_guard lock(mutex_);
    state_ = succeeded ? State::Done : State::NotRun;
    runner_ = std::thread::id();
  }
  changed_.notify_all();
}

}  // namespace runtime
