// Failures at each step of an upgrade: what the user is told, and what stays on disk, which is
// never less than the old data.
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "app/dictionary/declarations.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/paths.h"
#include "tests/support/child_process.h"
#include "tests/upkeep/upgrade_fixture.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/structure_search.h"
#include "upkeep/upgrade_faults.h"
#include "upkeep/upgrade_log.h"
#include "upkeep/upgrade_marker.h"

namespace upkeep::testing {
namespace {

constexpr int kCount = 60;

// What stays on disk after the failure.
enum class Outcome {
  OldFileBack,  // "projects.aaa" is the old file again, nothing else is left
  BackupKept,   // the new file stands and the backup, named to the user, keeps every record
};

struct Case {
  const char* what;
  UpgradeStep step;
  int nth;    // the step's occurrence that fails (from 1); 0: every one
  int error;  // the error it fails with
  Outcome outcome;
  std::vector<std::string> boxes;  // the start of each box's text
};

class UpgradeFailureTest : public UpgradeTest {
 protected:
  ~UpgradeFailureTest() override { setUpgradeStepHook({}); }

  void failAt(UpgradeStep step, int nth, int error) {
    setUpgradeStepHook([step, nth, error, seen = 0](UpgradeStep s) mutable {
      return s == step && (nth == 0 || ++seen == nth) ? error : 0;
    });
  }

  // The backup "dstmp001" holds every old record.
  void expectBackupWhole() {
    files::FileDeclaration backup(kOldProjectsSpec);
    ASSERT_TRUE(files::EXISTS("dstmp001.VKF"));
    files::RENAME("projects.aaa", "new.aaa");
    files::RENAME("dstmp001.VKF", "projects.aaa");
    expectOld(kCount);
  }
};

// Writes the text of every box to a file, one line each, and answers Ignore: a child process's
// boxes, read by the test.
struct BoxesToFile : runtime::MessageAnswerer {
  explicit BoxesToFile(const std::string& path) : out(path) {}
  int answer(const runtime::MessageRequest& box) override {
    out << box.text << "\n";
    out.flush();
    return runtime::ButtonIgnore;
  }
  std::ofstream out;
};

std::string m(std::string_view code) {
  std::string text = messageText(code);
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n"))
    text.replace(at, 2, "\n");
  return "Upkeep: " + text;
}

TEST_F(UpgradeFailureTest, EachFailingStepIsReportedAndLeavesTheDataWhole) {
  const std::string denied = runtime::errorText(runtime::AccessDeniedErr);
  const Case cases[] = {
      // Every backup name refused: the old file is never touched and the user is told.
      {"backup", UpgradeStep::Backup, 0, 5, Outcome::OldFileBack, {m("M5")}},
      {"marker", UpgradeStep::Marker, 1, 5, Outcome::OldFileBack, {m("M5")}},
      {"remove",
       UpgradeStep::Remove,
       1,
       5,
       Outcome::OldFileBack,
       {m("M6") + "projects.aaa 5 " + denied}},
      {"create",
       UpgradeStep::Create,
       1,
       5,
       Outcome::OldFileBack,
       {m("M6") + "projects.aaa 5 " + denied}},
      {"open new",
       UpgradeStep::OpenNew,
       1,
       5,
       Outcome::OldFileBack,
       {m("M6") + " projects.aaa " + denied}},
      {"open source", UpgradeStep::OpenSource, 1, 5, Outcome::OldFileBack, {m("M7") + " dstmp001"}},
      {"commit",
       UpgradeStep::Commit,
       1,
       90,
       Outcome::OldFileBack,
       {m("M8") + " projects.aaa: the new file lost records, the old file was put back."}},
      {"write",
       UpgradeStep::Write,
       7,
       90,
       Outcome::BackupKept,
       {m("M8") + " 90 " + runtime::errorText(90),
        "Upkeep: Upgrade of projects.aaa incomplete: 60 of 60 records read, 1 refused. The old "
        "file is kept as: dstmp001"}},
      // A duplicate key is passed over without a box of its own, but its record is only in
      // the backup, which stays.
      {"duplicate",
       UpgradeStep::Write,
       7,
       runtime::DuplicateKeyErr,
       Outcome::BackupKept,
       {"Upkeep: Upgrade of projects.aaa incomplete: 60 of 60 records read, 0 refused. Duplicate "
        "keys left out: 1. The old file is kept as: dstmp001"}},
      // The new file does not reach the disk whole: it is not kept.
      {"sync",
       UpgradeStep::Sync,
       1,
       90,
       Outcome::OldFileBack,
       {m("M8") + " projects.aaa: the new file lost records, the old file was put back."}},
      {"build",
       UpgradeStep::Build,
       1,
       90,
       Outcome::BackupKept,
       {"Upkeep: Error building keys [2] : 90 " + runtime::errorText(90) +
            " projects.aaa. The old file is kept as: dstmp001",
        "Upkeep: Upgrade of projects.aaa incomplete: 60 of 60 records read, 0 refused. The old "
        "file is kept as: dstmp001"}},
  };
  writeOldProjects(kCount);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files::COPY("projects.aaa", "pristine.aaa");
    startProgram();
    failAt(c.step, c.nth, c.error);
    for (std::size_t i = 0; i < c.boxes.size(); ++i) answers.addAnswer(runtime::ButtonIgnore);
    const std::size_t shownBefore = answers.shown().size();
    openProjects();
    setUpgradeStepHook({});
    files::CLOSE(app::projects.get());
    std::vector<std::string> shown;
    for (std::size_t i = shownBefore; i < answers.shown().size(); ++i)
      shown.push_back(answers.shown()[i].text);
    ASSERT_EQ(shown.size(), c.boxes.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
      EXPECT_TRUE(shown[i].starts_with(c.boxes[i])) << shown[i] << "\nexpected: " << c.boxes[i];
    }
    EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
    EXPECT_TRUE(UPKQ().empty());
    if (c.outcome == Outcome::OldFileBack) {
      EXPECT_FALSE(files::EXISTS("dstmp001.VKF"));
      expectOld(kCount);
      files::REMOVE("projects.aaa");
    } else {
      expectBackupWhole();
      files::REMOVE("projects.aaa");
      files::REMOVE("new.aaa");
    }
    files::RENAME("pristine.aaa", "projects.aaa");
  }
}

// A full disk, as a file size limit in a child process: whatever the upgrade reached, the old
// records are all still on disk.
TEST_F(UpgradeFailureTest, AFullDiskLeavesTheOldDataWhole) {
  constexpr int kMany = 3000;
  writeOldProjects(kMany);
  startProgram();  // the catalogue takes today's structures here, before the limit
  files::CLOSE(app::projects.get());
  struct stat info {};
  ASSERT_EQ(stat("projects.aaa", &info), 0);
  const std::string boxes = folder.file("boxes.txt");
  support::ChildProcess child([&] {
    BoxesToFile told(boxes);
    runtime::setMessageAnswerer(&told);
    std::signal(SIGXFSZ, SIG_IGN);
    support::limitFileSize(static_cast<rlim_t>(info.st_size / 3));
    startProgram();
    openProjects();
    return 0;
  });
  ASSERT_TRUE(child.wait().exitedWith(0)) << child.wait().text();
  std::ifstream in(boxes);
  std::string first;
  std::getline(in, first);
  EXPECT_NE(first, "") << "the user is told";
  EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
  if (files::EXISTS("dstmp001.VKF")) {
    EXPECT_NE(first.find("The old file is kept as: dstmp001"), std::string::npos) << first;
    files::RENAME("projects.aaa", "new.aaa");
    files::RENAME("dstmp001.VKF", "projects.aaa");
  } else {
    EXPECT_NE(first.find("the old file was put back"), std::string::npos) << first;
  }
  expectOld(kMany);
}

// The new file cannot be made on a full disk, as a file-size limit or as a file system with a
// little room left, at every amount of room: the old file goes back under its own name, which
// a rename does without room, and the box says what the system refused.
TEST_F(UpgradeFailureTest, ADiskTooFullForTheNewFilePutsTheOldFileBackAndSaysWhy) {
  writeOldProjects(kCount);
  startProgram();
  files::CLOSE(app::projects.get());
  files::COPY("projects.aaa", "pristine.aaa");
  const std::string boxes = folder.file("boxes.txt");
  const std::string small = folder.file("small");
  std::filesystem::create_directory(small);
  // The run in a child: the data folder on a small file system filled up to `room` bytes, or
  // (room 0) in place under a file-size limit. The data files come back beside the test's own.
  const auto runFull = [&](std::size_t room) {
    support::ChildProcess child([&] {
      BoxesToFile told(boxes);
      runtime::setMessageAnswerer(&told);
      if (room == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        support::limitFileSize(8 * 1024);
      } else {
        if (!support::mountSmallFileSystem(small, 1 << 20)) return 20;
        for (const char* name : {"projects.aaa", "Upg.Vkf"})
          std::filesystem::copy_file(name, small + "/" + name);
        runtime::setCurrentDirectory(small);
        std::ofstream filler("filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size())) filler.flush();
        filler.close();
        std::filesystem::resize_file("filler", std::filesystem::file_size("filler") - room);
      }
      startProgram();
      openProjects();
      files::CLOSE(app::projects.get());
      runtime::setCurrentDirectory(folder.path().string());
      if (room != 0) {
        for (const auto& entry : std::filesystem::directory_iterator(small))
          if (entry.path().filename() != "filler")
            std::filesystem::copy_file(entry.path(), entry.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
      }
      return 0;
    });
    return child.wait();
  };
  for (const std::size_t room : {std::size_t{0}, std::size_t{4096}, std::size_t{8192},
                                 std::size_t{12288}, std::size_t{16384}, std::size_t{24576}}) {
    SCOPED_TRACE("room " + std::to_string(room));
    std::remove(boxes.c_str());
    const support::ChildEnd end = runFull(room);
    if (end.exitedWith(20)) GTEST_SKIP() << "no file system of a fixed size can be mounted";
    ASSERT_TRUE(end.exitedWith(0)) << end.text();
    std::ifstream in(boxes);
    std::string first;
    std::getline(in, first);
    EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
    if (first.rfind(m("M6"), 0) == 0) {
      const char* refusal = room == 0 ? "File too large" : "No space left on device";
      EXPECT_NE(first.find(refusal), std::string::npos) << first;
    }
    if (files::EXISTS("dstmp001.VKF")) {
      EXPECT_NE(first.find("The old file is kept as: dstmp001"), std::string::npos) << first;
      files::REMOVE("projects.aaa");
      files::RENAME("dstmp001.VKF", "projects.aaa");
    }
    files::FileDeclaration& today = app::projects.get();
    files::OPEN(today, 0x40);
    if (runtime::ERRORCODE() == 0) {
      expectConverted(kCount);
      files::CLOSE(today);
    } else {
      expectOld(kCount);
    }
    files::REMOVE("projects.aaa");
    files::COPY("pristine.aaa", "projects.aaa");
  }
}

// A file found under an old name is copied aside, so it still stands under that name when the
// conversion fails: only the copy goes, and the old file stays whole where it was.
TEST_F(UpgradeFailureTest, AFailedConversionOfAFileUnderItsOldNameLeavesItInPlace) {
  writeOldProjects(kCount);
  startProgram();
  files::CLOSE(app::projects.get());
  files::RENAME("projects.aaa", "oldproj.aaa");
  OFN().push_back({"oldproj.aaa", "PROJECTS.AAA", "", "", ""});
  for (int i = 0; i < 4; ++i) answers.addAnswer(runtime::ButtonIgnore);
  failAt(UpgradeStep::Finish, 0, runtime::FileSystemErr);
  openProjects();
  setUpgradeStepHook({});
  EXPECT_FALSE(boxTexts().empty()) << "the failure is told";
  EXPECT_FALSE(files::EXISTS("projects.aaa"));
  EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
  EXPECT_FALSE(files::EXISTS("dstmp001.VKF"));
  files::RENAME("oldproj.aaa", "projects.aaa");
  expectOld(kCount);
}

}  // namespace
}  // namespace upkeep::testing
