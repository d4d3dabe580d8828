// The crash harness: an upgrade in a child process is killed with SIGKILL at points spread over
// its whole run; after each kill the next open finds the whole old file or the whole new one.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "app/dictionary/declarations.h"
#include "platform/files/file_driver.h"
#include "platform/os/desktop_settings.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
#include "tests/support/child_process.h"
#include "tests/upkeep/upgrade_fixture.h"
#include "tests/upkeep/upgrade_in_child.h"
#include "upkeep/file_copy.h"
#include "upkeep/upgrade_faults.h"
#include "upkeep/upgrade_lock.h"
#include "upkeep/upgrade_marker.h"

namespace upkeep::testing {
namespace {

constexpr int kRecords = 2000;

// The test's current directory moved into memory (/dev/shm) where there is one: the kills end
// processes, not the machine, so nothing here needs the disk, whose flushes would make the
// hundreds of runs slow on a busy machine.
class MemoryFolder {
 public:
  MemoryFolder() : previous_(runtime::currentDirectory()) {
    std::string pattern = "/dev/shm/gd_crash_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern;
    runtime::setCurrentDirectory(path_);
  }
  ~MemoryFolder() {
    if (path_.empty()) return;
    runtime::setCurrentDirectory(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  MemoryFolder(const MemoryFolder&) = delete;
  MemoryFolder& operator=(const MemoryFolder&) = delete;

 private:
  std::string previous_;
  std::string path_;
};

class UpgradeCrashTest : public UpgradeTest {
 protected:
  ~UpgradeCrashTest() override {
    setUpgradeStepHook({});
    upgradeLockWait() = kUpgradeLockWait;
  }

  // Runs the upgrade in a child process, which kills itself at the step hook's `killAt`-th call
  // (0: never) or is killed by this process after `delay`. Answers whether it died by SIGKILL.
  bool upgradeInChild(int killAt, std::chrono::microseconds delay = {}) {
    return upgradeKilledInChild(
        [killAt, calls = 0](UpgradeStep) mutable { return ++calls == killAt; },
        [this] {
          startProgram();
          TempDirectory() = backupFolder;
          openProjects();
          return runtime::ERRORCODE() == 0 ? 0 : 3;
        },
        delay);
  }

  // What the next open does first, then the check: the new file whole, or the old one.
  void expectWholeOldOrNew(const std::string& point) {
    SCOPED_TRACE(point);
    settleInterruptedUpgrade(completedFileName(files::Driver::Caskfile, "projects.aaa"));
    EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
    EXPECT_FALSE(files::EXISTS(backupFolder + "dstmp001.VKF"));
    files::FileDeclaration& today = app::projects.get();
    files::OPEN(today, 0x40);
    if (runtime::ERRORCODE() == 0) {
      ++newSeen;
      expectConverted(kRecords);
      files::CLOSE(today);
    } else {
      ++oldSeen;
      expectOld(kRecords);
    }
  }

  // The program's next start opens the file converted and leaves neither marker nor backup.
  void expectConvertedAtNextStart() {
    startProgram();
    ASSERT_EQ(openProjects(), 0) << runtime::ERROR();
    expectConverted(kRecords);
    files::CLOSE(app::projects.get());
    EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
    EXPECT_FALSE(files::EXISTS("dstmp001.VKF"));
  }

  std::string backupFolder;  // where the upgrade sets the old file aside: blank, the current one
  int oldSeen = 0;
  int newSeen = 0;
};

TEST_F(UpgradeCrashTest, AKillAtAnyPointLeavesTheWholeOldOrTheWholeNewFile) {
  const MemoryFolder memory;
  writeOldProjects(kRecords);
  startProgram();  // the catalogue takes today's structures before the kills begin
  files::CLOSE(app::projects.get());
  // A byte copy keeps the header counters as the file's commits left them; a copy through the
  // database engine starts them anew, as the upgrade's own copy does.
  std::filesystem::copy_file("projects.aaa", "pristine.aaa");
  const auto restart = [] {
    std::filesystem::copy_file("pristine.aaa", "projects.aaa",
                               std::filesystem::copy_options::overwrite_existing);
  };

  // One whole run counts the steps and times the upgrade.
  int steps = 0;
  setUpgradeStepHook([&steps](UpgradeStep) { return ++steps, 0; });
  const auto started = std::chrono::steady_clock::now();
  startProgram();
  ASSERT_EQ(openProjects(), 0);
  const auto took = std::chrono::steady_clock::now() - started;
  setUpgradeStepHook({});
  files::CLOSE(app::projects.get());
  ASSERT_GT(steps, kRecords);

  // Every step before the first write and after the last one, and writes spread between.
  std::vector<int> points;
  for (int k = 1; k <= steps; ++k) {
    const bool edge = k <= 8 || k > steps - 8;
    if (edge || (k % (steps / 190) == 0)) points.push_back(k);
  }
  ASSERT_GE(points.size(), 200u);
  for (const int k : points) {
    restart();
    ASSERT_TRUE(upgradeInChild(k)) << "step " << k;
    expectWholeOldOrNew("step " + std::to_string(k) + " of " + std::to_string(steps));
    if (HasFatalFailure()) return;
  }

  // Kills at random moments, inside the driver's own writes too; the program's next start
  // then opens the file converted, whatever the kill left.
  std::mt19937 random(17);
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(took).count() * 2;
  for (int i = 0; i < 30; ++i) {
    restart();
    const std::chrono::microseconds delay(1 + random() % span);
    upgradeInChild(0, delay);
    SCOPED_TRACE("after " + std::to_string(delay.count()) + " us");
    expectConvertedAtNextStart();
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(oldSeen, 0);
  EXPECT_GT(newSeen, 0);

  // With /UpkeptCOPY the old file is copied, so a kill can find it under both names.
  commandLine("/UpkeptCOPY");
  for (int k = 1; k <= 10; ++k) {
    restart();
    ASSERT_TRUE(upgradeInChild(k)) << "copy, step " << k;
    expectWholeOldOrNew("copy, step " + std::to_string(k));
    if (HasFatalFailure()) return;
  }
}

// A backup on another file system than the data file: the old file is copied there and leaves
// its place only once the marker names the copy, so a kill at any step up to the records'
// writing finds the whole old file again, and nothing is left in either folder.
TEST_F(UpgradeCrashTest, ABackupOnAnotherFileSystemLeavesTheWholeOldFileAtEveryKill) {
  const MemoryFolder memory;
  backupFolder = folder.file("");
  struct stat data {};
  struct stat backups {};
  ASSERT_EQ(stat(".", &data), 0);
  ASSERT_EQ(stat(backupFolder.c_str(), &backups), 0);
  if (data.st_dev == backups.st_dev) GTEST_SKIP() << "/dev/shm is not a file system of its own";
  writeOldProjects(kRecords);
  startProgram();
  files::CLOSE(app::projects.get());
  std::filesystem::copy_file("projects.aaa", "pristine.aaa");
  for (int k = 1; k <= 10; ++k) {
    std::filesystem::copy_file("pristine.aaa", "projects.aaa",
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(upgradeInChild(k)) << "step " << k;
    expectWholeOldOrNew("step " + std::to_string(k));
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(oldSeen, 10);
}

// A second process opening the file while the upgrade runs in the first waits for the upgrade's
// lock and is refused when it does not come: it leaves the backup and the marker alone, and the
// first run ends with the whole new file. The pause falls where neither file is open, between
// the backup and the new file's creation, so the driver's own access modes do not keep the
// second process out.
TEST_F(UpgradeCrashTest, AnUpgradeRunningInAnotherProcessIsNotUndoneUnderIt) {
  writeOldProjects(kRecords);
  upgradeLockWait() = std::chrono::milliseconds(200);
  support::ChildProcess child([this](support::ChildSide& side) {
    setUpgradeStepHook([&](UpgradeStep step) {
      if (step == UpgradeStep::Create && !side.pause()) _exit(4);
      return 0;
    });
    startProgram();
    return openProjects() == 0 ? 0 : 3;
  });
  ASSERT_TRUE(child.waitForPause()) << "the upgrade set the old file aside";
  EXPECT_FALSE(
      settleInterruptedUpgrade(completedFileName(files::Driver::Caskfile, "projects.aaa")));
  startProgram();
  EXPECT_EQ(openProjects(), runtime::AccessDeniedErr) << "a half-converted file is not opened";
  EXPECT_TRUE(files::EXISTS("projects.aaa.upk"));
  EXPECT_TRUE(files::EXISTS("dstmp001.VKF"));
  child.resume();
  ASSERT_TRUE(child.wait().exitedWith(0)) << child.wait().text();
  expectConvertedAtNextStart();
}

// Two starts that both found the file to upgrade before either set it aside, where the folder
// gives no upgrade lock (its lock file cannot be opened): the second to reach its backup finds
// the first one's marker standing and leaves it, the file and the backup alone. When the first
// is then killed, the next open finds the whole old file again.
TEST_F(UpgradeCrashTest, AnUpgradeStartedAlongsideAnotherLeavesTheOthersMarkerStanding) {
  const MemoryFolder memory;
  std::filesystem::create_directory(kUpgradeLockFile);
  writeOldProjects(kRecords);
  startProgram();
  files::CLOSE(app::projects.get());
  support::ChildProcess first([this](support::ChildSide& side) {
    if (!side.pause()) return 4;  // until the second start has searched
    setUpgradeStepHook([&, writes = 0](UpgradeStep step) mutable {
      if (step == UpgradeStep::Write && ++writes == 5) side.pause();  // until killed
      return 0;
    });
    startProgram();
    openProjects();
    return 3;
  });
  ASSERT_TRUE(first.waitForPause());
  // The second start has searched and counted the old file when the first one begins.
  setUpgradeStepHook([&, started = false](UpgradeStep step) mutable {
    if (step == UpgradeStep::Marker && !started) {
      started = true;
      first.resume();
      if (!first.waitForPause()) return 5;
    }
    return 0;
  });
  startProgram();
  for (int i = 0; i < 4; ++i) answers.addAnswer(runtime::ButtonIgnore);
  EXPECT_NE(openProjects(), 0);
  setUpgradeStepHook({});
  files::CLOSE(app::projects.get());
  EXPECT_TRUE(files::EXISTS("projects.aaa.upk")) << "the first start's marker stands";
  ASSERT_TRUE(first.kill().killedBy(SIGKILL));
  expectWholeOldOrNew("the first start killed");
  EXPECT_EQ(oldSeen, 1);
}

// Two starts released together, again and again: of the two opens one upgrades the file and the
// other waits for it and then opens the new file; neither is shown a box, and the file is whole.
TEST_F(UpgradeCrashTest, TwoStartsTogetherUpgradeTheFileOnceAndBothOpenIt) {
  const MemoryFolder memory;
  writeOldProjects(kRecords);
  startProgram();
  files::CLOSE(app::projects.get());
  std::filesystem::copy_file("projects.aaa", "pristine.aaa");
  constexpr int kOpened = 0;
  constexpr int kShownABox = 3;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::filesystem::copy_file("pristine.aaa", "projects.aaa",
                               std::filesystem::copy_options::overwrite_existing);
    const auto start = [this](support::ChildSide& side) {
      struct Told : runtime::MessageAnswerer {
        bool shown = false;
        int answer(const runtime::MessageRequest&) override {
          shown = true;
          return runtime::ButtonIgnore;
        }
      } told;
      runtime::setMessageAnswerer(&told);
      startProgram();
      if (!side.pause()) return 4;  // the barrier
      const int error = openProjects();
      return told.shown ? kShownABox : error;
    };
    support::ChildProcess one(start);
    support::ChildProcess two(start);
    ASSERT_TRUE(one.waitForPause() && two.waitForPause());
    one.resume();
    two.resume();
    EXPECT_TRUE(one.wait().exitedWith(kOpened)) << one.wait().text();
    EXPECT_TRUE(two.wait().exitedWith(kOpened)) << two.wait().text();
    expectConvertedAtNextStart();
    files::CLOSE(app::projects.get());
    if (HasFailure()) return;
  }
}

// The program itself, told to end (as by `kill` or a logout) while it upgrades a large file: it
// ends through its exit steps with exit code 1, its desktop setting put back, and the next
// start finds the whole old file or the whole new one.
TEST_F(UpgradeCrashTest, ASignalDuringAnUpgradeEndsTheProgramWithCodeOne) {
  constexpr int kMany = 20000;
  writeOldProjects(kMany);
  support::writeFile(defaultProfile(), "[Desktop]\nDragFullWindows=1\n");
  support::ChildProcess program([&] {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);  // the profile is the test's already
    char* const argv[] = {const_cast<char*>(GD_PROGRAM), nullptr};
    execv(GD_PROGRAM, argv);
    return 127;
  });
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!files::EXISTS("projects.aaa.upk") && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(files::EXISTS("projects.aaa.upk")) << "the upgrade did not begin";
  program.signal(SIGTERM);
  const support::ChildEnd end = program.wait();
  EXPECT_TRUE(end.exitedWith(1)) << end.text();
  EXPECT_TRUE(os::dragFullWindows()) << "the setting is put back";
  startProgram();
  ASSERT_EQ(openProjects(), 0) << runtime::ERROR();
  EXPECT_EQ(files::RECORDS(app::projects.get()), kMany);
  files::CLOSE(app::projects.get());
  EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
}

}  // namespace
}  // namespace upkeep::testing
