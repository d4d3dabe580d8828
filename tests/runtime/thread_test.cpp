#include "platform/runtime/thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <latch>
#include <stdexcept>
#include <thread>
#include <vector>

namespace runtime {
namespace {

int numberOfNewThread() {
  int number = 0;
  std::thread([&] {
    number = THREAD();
    EXPECT_EQ(THREAD(), number) << "a thread keeps its number";
  }).join();
  return number;
}

TEST(Thread, TheStartingThreadIsOneAndLaterThreadsCountOnInOrderOfFirstCall) {
  startThreadNumbering();
  EXPECT_EQ(THREAD(), 1);
  EXPECT_EQ(numberOfNewThread(), 2);
  EXPECT_EQ(numberOfNewThread(), 3);
  EXPECT_EQ(THREAD(), 1);

  // Threads that ask at the same time still get distinct numbers, the next ones in line.
  std::vector<int> numbers(8);
  std::latch go(8);
  std::vector<std::thread> threads;
  for (int& number : numbers) {
    threads.emplace_back([&] {
      go.arrive_and_wait();
      number = THREAD();
    });
  }
  for (auto& thread : threads) thread.join();
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(Thread, NumberingStartedAfreshMakesTheCallerOne) {
  std::thread([] {
    startThreadNumbering();
    EXPECT_EQ(THREAD(), 1);
  }).join();
  EXPECT_EQ(THREAD(), 2) << "a thread numbered before the new start gets a new number";
}

TEST(CriticalSection, TheOwnerReentersAndOthersWaitUntilItLeavesAsOftenAsItEntered) {
  CriticalSection section;
  section.enter();
  section.enter();
  std::atomic<bool> otherEntered{false};
  std::thread other([&] {
    EXPECT_FALSE(section.heldByCaller());
    CriticalSectionGuard guard(section);
    otherEntered = true;
    EXPECT_TRUE(section.heldByCaller());
  });
  section.leave();
  // Give the other thread the chance to get in wrongly while one hold remains.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(otherEntered);
  EXPECT_TRUE(section.heldByCaller());
  section.leave();
  other.join();
  EXPECT_TRUE(otherEntered);
  EXPECT_FALSE(section.heldByCaller());
}

TEST(CriticalSection, KeepsThreadsOutOfEachOthersNestedWork) {
  CriticalSection section;
  long counter = 0;  // deliberately not atomic: the section alone protects it
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 5000; ++i) {
        CriticalSectionGuard outer(section);
        const long seen = counter;
        CriticalSectionGuard inner(section);
        counter = seen + 1;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 8 * 5000);
}

TEST(OnceGuard, OneOfEightRacingThreadsRunsTheBlockAndTheOthersWaitForItsEnd) {
  OnceGuard guard;
  std::atomic<int> runs{0};
  std::atomic<int> ready{0};  // written at the end of the block
  std::atomic<int> ranHere{0};
  std::atomic<int> sawUnfinished{0};
  std::latch go(8);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      go.arrive_and_wait();
      const bool ran = guard.run([&] {
        ++runs;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ready = 42;
      });
      if (ran) ++ranHere;
      if (ready != 42 || !guard.done()) ++sawUnfinished;
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(ranHere, 1);
  EXPECT_EQ(sawUnfinished, 0) << "a thread returned before the block was done";
  EXPECT_FALSE(guard.run([&] { ++runs; }));
  EXPECT_EQ(runs, 1);
}

TEST(OnceGuard, ABlockThatThrowsLeavesTheGuardForTheNextCaller) {
  OnceGuard guard;
  EXPECT_THROW(guard.run([] { throw std::runtime_error("failed"); }), std::runtime_error);
  EXPECT_FALSE(guard.done());
  int runs = 0;
  EXPECT_TRUE(guard.run([&] { ++runs; }));
  EXPECT_TRUE(guard.done());
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace runtime
