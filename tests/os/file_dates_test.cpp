#include "platform/os/file_dates.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "temp_desktop.h"

namespace os {
namespace {

// Today's date as yyyymmdd in local time.
int today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

class FileDates : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = desktop_.write("project/game.agk", "x");
    // Last access 2001-02-03 23:30 UTC, last write 1999-12-31 12:00 UTC.
    const timespec times[2] = {{981243000, 0}, {946641600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file_.c_str(), times, 0), 0);
  }
  void TearDown() override {
    unsetenv("TZ");
    tzset();
  }
  static void useTimeZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }

  testing::TempDesktop desktop_;
  std::string file_;
};

TEST_F(FileDates, WriteAndAccessDatesInLocalTime) {
  const struct {
    const char* zone;
    int selector;
    int expected;
  } cases[] = {
      {"UTC0", FileLastWritten, 19991231},  {"UTC0", FileLastAccessed, 20010203},
      {"JST-9", FileLastWritten, 19991231}, {"JST-9", FileLastAccessed, 20010204},
      {"EST5", FileLastAccessed, 20010203}, {"HST10", FileLastWritten, 19991231},
  };
  for (const auto& c : cases) {
    useTimeZone(c.zone);
    EXPECT_EQ(VUFILEDATE(file_, c.selector), c.expected) << c.zone << " selector " << c.selector;
  }
}

TEST_F(FileDates, CreationDateIsWhenTheFileWasMade) {
  const int before = today();
  const std::string fresh = desktop_.write("fresh.txt", "new");
  const int created = VUFILEDATE(fresh, FileCreated);
  EXPECT_TRUE(created == before || created == today()) << created;
}

TEST_F(FileDates, BackslashesSeparateFolders) {
  useTimeZone("UTC0");
  EXPECT_EQ(VUFILEDATE(desktop_.root() + "\\project\\game.agk", FileLastWritten), 19991231);
  EXPECT_EQ(VUFILEDATE(".\\project\\game.agk", FileLastWritten), 19991231);
}

TEST_F(FileDates, ZeroForMissingFilesAndUnknownSelectors) {
  const struct {
    std::string file;
    int selector;
  } cases[] = {
      {file_, 0},
      {file_, 4},
      {file_, -1},
      {desktop_.path("project/missing.agk"), FileCreated},
      {desktop_.path("missing/game.agk"), FileLastWritten},
      {"", FileLastAccessed},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VUFILEDATE(c.file, c.selector), 0) << c.file << " " << c.selector;
}

}  // namespace
}  // namespace os
