// The upgrade of one file end to end, through the program's own registration: a projects file
// written by the older declaration is converted when today's program opens it.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/dictionary/declarations.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/properties.h"
#include "tests/upkeep/upgrade_fixture.h"
#include "upkeep/upgrade_file.h"
#include "upkeep/upgrade_log.h"
#include "upkeep/upgrade_wait_window.h"

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
  const auto look = [&](window::Window& w) {
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
