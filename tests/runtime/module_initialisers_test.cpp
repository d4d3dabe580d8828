#include "platform/runtime/module_initialisers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/runtime/thread.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

namespace runtime {
namespace {

// Registers modules that write each call, with the calling thread's number, into one log.
class ModuleInitialisersTest : public ::testing::Test {
 protected:
  void SetUp() override { resetModuleInitialisers(); }
  void TearDown() override { resetModuleInitialisers(); }

  void registerRecordingModule(const std::string& name) {
    const auto record = [this, name](const char* event) {
      return [this, name, event] {
        std::lock_guard lock(mutex_);
        log_.push_back(name + " " + event + " " + std::to_string(THREAD()));
      };
    };
    registerModule({name, record("process start"), record("thread-file start"),
                    record("thread start"), record("thread end"), record("process end")});
  }

  std::vector<std::string> takeLog() {
    std::lock_guard lock(mutex_);
    return std::exchange(log_, {});
  }

  std::mutex mutex_;
  std::vector<std::string> log_;
};

// A write past the process's file-size limit fails with an error once the process has
// started, instead of the signal SIGXFSZ ending the process.
TEST_F(ModuleInitialisersTest, AfterTheProcessStartAWritePastTheFileSizeLimitFails) {
  const support::ScratchFolder folder;
  const std::string path = folder.file("limited");
  support::ChildProcess child([&] {
    signal(SIGXFSZ, SIG_DFL);
    support::limitFileSize(1024);
    runProcessStart();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string bytes(4096, 'x');
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    const ssize_t beyond = write(fd, bytes.data(), bytes.size());
    return written == 1024 && beyond == -1 && errno == EFBIG ? 0 : 1;
  });
  EXPECT_TRUE(child.wait().exitedWith(0)) << child.wait().text();
}

TEST_F(ModuleInitialisersTest, RunInTheDocumentedOrderOverTheLifeOfTheProcess) {
  registerRecordingModule("main");
  registerRecordingModule("001");
  registerRecordingModule("002");

  runProcessStart();
  runThreadStart();
  EXPECT_TRUE(threadStarted());
  runThreadEnd();
  EXPECT_FALSE(threadStarted());
  runProcessEnd();
  EXPECT_EQ(takeLog(),
            (std::vector<std::string>{
                "main process start 1", "001 process start 1", "002 process start 1",
                "main thread-file start 1", "001 thread-file start 1", "002 thread-file start 1",
                "main thread start 1", "001 thread start 1", "002 thread start 1",
                "002 thread end 1", "001 thread end 1", "main thread end 1", "002 process end 1",
                "001 process end 1", "main process end 1"}));
}

TEST_F(ModuleInitialisersTest, EachEventRunsOnceAndEndsWithoutStartsDoNothing) {
  registerRecordingModule("main");
  runThreadEnd();
  runProcessEnd();
  EXPECT_TRUE(takeLog().empty());

  runProcessStart();
  runProcessStart();
  runThreadStart();
  runThreadStart();
  runThreadEnd();
  runThreadEnd();
  runProcessEnd();
  runProcessEnd();
  EXPECT_EQ(takeLog(), (std::vector<std::string>{"main process start 1", "main thread-file start 1",
                                                 "main thread start 1", "main thread end 1",
                                                 "main process end 1"}));
}

TEST_F(ModuleInitialisersTest, AnotherThreadRunsItsOwnStartAndEndUnderItsOwnNumber) {
  registerRecordingModule("main");
  runProcessStart();
  runThreadStart();
  takeLog();
  std::thread([] {
    EXPECT_FALSE(threadStarted()) << "the first thread's start is not this thread's";
    runThreadStart();
    runThreadEnd();
  }).join();
  EXPECT_TRUE(threadStarted());
  EXPECT_EQ(takeLog(), (std::vector<std::string>{"main thread-file start 2", "main thread start 2",
                                                 "main thread end 2"}));
  runThreadEnd();
  runProcessEnd();
}

TEST_F(ModuleInitialisersTest, AResetAllowsTheWholeSequenceAgain) {
  for (const char* name : {"first", "second"}) {
    resetModuleInitialisers();
    registerModule({name, nullptr, nullptr, nullptr, nullptr, nullptr});  // routines left out
    registerRecordingModule(name);
    runProcessStart();
    runThreadStart();
    runThreadEnd();
    runProcessEnd();
    EXPECT_EQ(takeLog().size(), 5u) << name;
  }
}

}  // namespace
}  // namespace runtime
