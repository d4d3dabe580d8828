// The SQL wait window while a table is managed through ds_FileOpen on a scripted server: what
// it shows at each step, that it stands only while the table is managed, and not at all when
// upgrading silently.
#include "upkeep_sql/sql_wait_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/properties.h"
#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep/debug_switches.h"
#include "upkeep/file_open.h"
#include "upkeep/open_flags.h"
#include "upkeep/wait_window_layout.h"
#include "upkeep_sql/version_tracking.h"

namespace upkeep_sql {
namespace {

struct Item {
  runtime::Long ID;
};
constexpr runtime::FieldDef kItemFields[] = {GD_FIELD(Item, ID, "ITM:ID")};

// What the window showed each time it let the screen draw: its wait text, bar and file name.
struct Shown {
  std::string text;
  int percent;
  std::string file;
  bool operator==(const Shown&) const = default;
};
void PrintTo(const Shown& s, std::ostream* out) {
  *out << '"' << s.text << "\" " << s.percent << "% \"" << s.file << '"';
}

class WatchingBackend : public window::HeadlessBackend {
 public:
  void processPending() override {
    window::Window* w = window::currentWindow();
    if (w != nullptr && w->label() == "UpkeptB$WAITWIN") {
      shown.push_back(
          {window::getProperty(upkeep::kWaitTextControl, window::PropText),
           std::stoi(window::getProperty(upkeep::kWaitBarControl, window::PropProgress)),
           window::getProperty(upkeep::kWaitFileControl, window::PropText)});
    }
    HeadlessBackend::processPending();
  }
  std::vector<Shown> shown;
};

class SqlWaitWindowTest : public testing::SqlEngineTest {
 protected:
  // Opens the table "items", which the server does not have, so that it is made.
  void openMissingTable() {
    installSqlBackends();
    versionTracking().ManageableZone = "db";
    versionTracking().VCQ.push_back({.FILE = "items", .NEWVERSION = 1, .GOINDEEP = 1});
    versionTracking().IVQ.push_back({.FILENAME = "items", .PREFIX = "ITM", .VERSION = 1});
    files::FileDeclaration items(files::FileSpec{.label = "Items",
                                                 .prefix = "ITM",
                                                 .driver = files::Driver::Mssql,
                                                 .name = "items",
                                                 .owner = "server,db,user,secret",
                                                 .fields = kItemFields,
                                                 .recordSize = sizeof(Item)});
    refuse("select * from [items]", "42S02", -1, "Invalid object name");
    const window::InstalledBackend installed(screen);
    upkeep::ds_FileOpen(items, 0x42);
    EXPECT_EQ(upkeep::openFlags().MFQ, std::vector<std::string>{"items"}) << "the table was made";
    EXPECT_EQ(window::openWindows(), 0) << "the window is gone once the table is managed";
    files::CLOSE(items);
  }

  WatchingBackend screen;
};

TEST_F(SqlWaitWindowTest, ShowsEachStepOfMakingATableAndGoesWhenItIsMade) {
  openMissingTable();
  EXPECT_EQ(screen.openedWindows(), std::vector<std::string>{"UpkeptB$WAITWIN"});
  ASSERT_FALSE(screen.shown.empty());
  EXPECT_EQ(screen.shown.front(), (Shown{"Interpreting File Structures... items", 0, "items"}));
  const auto showed = [&](const std::string& text) {
    return std::any_of(screen.shown.begin(), screen.shown.end(),
                       [&](const Shown& s) { return s.text == text; });
  };
  EXPECT_TRUE(showed("Reading Fields...items"));
  EXPECT_TRUE(showed("Creating New SQL Table... items"));
  for (const Shown& s : screen.shown) {
    EXPECT_EQ(s.file, "items");
    EXPECT_GE(s.percent, 0);
    EXPECT_LE(s.percent, 100);
  }
  EXPECT_TRUE(std::any_of(screen.shown.begin(), screen.shown.end(), [](const Shown& s) {
    return s.percent > 0;
  })) << "the bar moves while the table is made";
}

TEST_F(SqlWaitWindowTest, NothingShowsWhenUpgradingSilently) {
  commandLine("/silentupgrading");
  upkeep::resetDebugSettings();
  upkeep::LoadDebugSettings();
  openMissingTable();
  EXPECT_TRUE(screen.openedWindows().empty());
  EXPECT_TRUE(screen.shown.empty());
}

}  // namespace
}  // namespace upkeep_sql
