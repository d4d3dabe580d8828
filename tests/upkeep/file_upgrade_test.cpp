// The upgrade of one file end to end, through the program's own registration: a projects file
// written by the older declaration is converted when today's program opens it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/properties.h"
#include "tests/upkeep/upgrade_fixture.h"
#include "upkeep/file_upgrade_wait_window.h"
#include "upkeep/structure_search.h"
#include "upkeep/upgrade_file.h"
#include "upkeep/upgrade_log.h"

namespace upkeep::testing {
namespace {

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(UpgradeTest, AnOlderProjectsFileIsConvertedRecordByRecordAndItsKeysRebuilt) {
  constexpr int kCount = 25001;
  writeOldProjects(kCount);
  commandLine("/debugupk");
  startProgram();

  // The wait window as a user sees it: the file's name, the activity and the whole percentage.
  window::HeadlessBackend screen;
  std::vector<std::string> seen;
  std::set<std::string> titles;
  const auto look = [&](window::Window& w) {
    titles.insert(w.title());
    seen.push_back(w.property(kWaitMessage, window::PropText) + "|" +
                   w.property(kProgressPercent, window::PropProgress) + "|" +
                   w.property(kNameOutFile, window::PropText));
  };
  for (int i = 0; i < 110; ++i) screen.checkpoint("step " + std::to_string(i), look);
  int error = 0;
  {
    const window::InstalledBackend installed(screen);
    takeTrace();
    error = openProjects();
  }

  ASSERT_EQ(error, 0) << runtime::ERROR();
  EXPECT_TRUE(boxTexts().empty());
  expectConverted(kCount);

  const std::vector<std::string> trace = takeTrace();
  for (const char* line :
       {"[Upkeep] Commit after record 10001", "[Upkeep] Commit after record 20001",
        "[Upkeep] Commit after record 25001"}) {
    EXPECT_TRUE(hasLine(trace, line)) << line;
  }
  EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                          [](const std::string& l) { return l.starts_with("[Upkeep] Commit"); }),
            3);

  EXPECT_EQ(screen.openedWindows(), std::vector<std::string>{"P42$WAITWIN"});
  EXPECT_EQ(titles, std::set<std::string>{"Upkeep"});
  EXPECT_EQ(window::openWindows(), 0);
  // Each whole percentage is drawn once.
  std::vector<std::string> expected{"Please wait - Copying file|0|projects.aaa"};
  for (int percent = 0; percent <= 100; ++percent)
    expected.push_back("Please wait - Upgrading file|" + std::to_string(percent) + "|projects.aaa");
  expected.push_back("Please wait - Building Keys|0|projects.aaa");
  ASSERT_GE(seen.size(), expected.size());
  seen.resize(expected.size());
  EXPECT_EQ(seen, expected);

  ASSERT_EQ(UPKQ().size(), 1u);
  EXPECT_EQ(UPKQ()[0].PREFIX, "PRO");
  EXPECT_EQ(UPKQ()[0].FILENAME, "projects.aaa");
  EXPECT_EQ(UPKQ()[0].FROMVERSION, 7);
  EXPECT_EQ(UPKQ()[0].TOVERSION, 8);
  EXPECT_TRUE(UPKQ()[0].RESERVED.empty());

  // The old file went to a numbered temporary name and is gone; so is the marker.
  EXPECT_FALSE(files::EXISTS("dstmp001.VKF"));
  EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));

  // The next start opens the converted file at once.
  startProgram();
  EXPECT_EQ(openProjects(), 0);
  EXPECT_TRUE(UPKQ().empty());
}

TEST_F(UpgradeTest, WithTheBackupOptionTheOldFileStaysBesideTheNewOne) {
  writeOldProjects(30);
  commandLine("/silentupgrading");
  startProgram({{"backup", "1"}});
  window::HeadlessBackend screen;
  {
    const window::InstalledBackend installed(screen);
    ASSERT_EQ(openProjects(), 0) << runtime::ERROR();
  }
  EXPECT_TRUE(screen.openedWindows().empty());
  expectConverted(30);
  files::CLOSE(app::projects.get());
  EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
  ASSERT_TRUE(files::EXISTS("proje001.VKF"));
  files::COPY("proje001.VKF", "old-copy.aaa");
  files::REMOVE("projects.aaa");
  files::RENAME("old-copy.aaa", "projects.aaa");
  expectOld(30);
}

// A file under today's name that no recorded structure reads is not replaced by a file found
// under an old name: no backup holds it, so the old file is not converted over it and both
// stay as they were.
TEST_F(UpgradeTest, AFileUnderTodaysNameIsNotReplacedByOneUnderAnOldName) {
  writeOldProjects(30);
  files::RENAME("projects.aaa", "oldproj.aaa");
  // Today's name holds records of a layout the catalogue never recorded: the old fields with
  // the primary key alone.
  files::FileSpec spec = kOldProjectsSpec;
  spec.keys = spec.keys.subspan(3, 1);
  files::FileDeclaration other(spec);
  files::CREATE(other);
  files::OPEN(other, 0x12);
  for (int i = 1; i <= 5; ++i) {
    fillOldProject(other, 100 + i);
    files::ADD(other);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  }
  files::CLOSE(other);
  commandLine("/silentupgrading");
  startProgram();
  OFN().push_back({"oldproj.aaa", "PROJECTS.AAA", "", "", ""});
  for (int i = 0; i < 4; ++i) answers.addAnswer(runtime::ButtonIgnore);

  EXPECT_NE(openProjects(), 0) << "the file under today's name is not read";
  files::CLOSE(app::projects.get());
  EXPECT_FALSE(files::EXISTS("projects.aaa.upk"));
  EXPECT_FALSE(files::EXISTS("dstmp001.VKF"));
  files::OPEN(other, 0x40);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::ERROR();
  EXPECT_EQ(files::RECORDS(other), 5);
  files::CLOSE(other);
  files::REMOVE(other);
  files::RENAME("oldproj.aaa", "projects.aaa");
  expectOld(30);
}

TEST_F(UpgradeTest, RefreshAddsEveryRecordWithItsKeysAndBuildsNone) {
  writeOldProjects(300);
  startProgram();
  window::HeadlessBackend screen;
  std::vector<std::string> texts;
  const auto look = [&](window::Window& w) {
    texts.push_back(w.property(kWaitMessage, window::PropText));
  };
  for (int i = 0; i < 110; ++i) screen.checkpoint("step " + std::to_string(i), look);
  {
    const window::InstalledBackend installed(screen);
    ds_UpgradeFileEx(app::projects.get(), 1);
  }
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Please wait - Refreshing file"), texts.end());
  EXPECT_EQ(std::find(texts.begin(), texts.end(), "Please wait - Building Keys"), texts.end());
  ASSERT_EQ(openProjects(), 0) << runtime::ERROR();
  expectConverted(300);
  EXPECT_EQ(UPKQ().size(), 1u);
}

}  // namespace
}  // namespace upkeep::testing
