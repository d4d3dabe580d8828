#include "classlib/ini_manager.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/runtime/ini_file.h"
#include "tests/support/scratch_folder.h"

namespace classlib {
namespace {

using support::ScratchFolder;

class IniManagerTest : public ::testing::Test {
 protected:
  ScratchFolder folder_;
  std::string file_ = folder_.file("game_dock.INI");
  IniManager ini_;
};

TEST_F(IniManagerTest, PositionsSortOrdersAndListsComeBackAsStored) {
  ASSERT_TRUE(ini_.init(file_));
  EXPECT_EQ(ini_.fetchPosition("Main"), std::nullopt);
  EXPECT_EQ(ini_.fetchSortOrder("Main", 7), 7);

  ASSERT_TRUE(ini_.storePosition("Main", {10, -20, 640, 480}));
  ASSERT_TRUE(ini_.storeSortOrder("Main", 3));
  ASSERT_TRUE(ini_.storeSortOrder("Main", 2, "SortOrder2"));
  ASSERT_TRUE(ini_.storeList("browse_codeby", "Column", {"120", "", "40"}));

  // A second manager on the same file reads what the first stored.
  IniManager again;
  ASSERT_TRUE(again.init(file_));
  EXPECT_EQ(again.fetchPosition("main"), (WindowPosition{10, -20, 640, 480}));
  EXPECT_EQ(again.fetchSortOrder("Main", 1), 3);
  EXPECT_EQ(again.fetchSortOrder("Main", 1, "SortOrder2"), 2);
  EXPECT_EQ(again.fetchList("browse_codeby", "Column"),
            (std::vector<std::string>{"120", "", "40"}));
  EXPECT_EQ(runtime::GETINI("Main", "Width", "", file_), "640");
}

TEST_F(IniManagerTest, AShorterListRemovesTheItemsOfTheLongerOne) {
  ASSERT_TRUE(ini_.init(file_));
  ASSERT_TRUE(ini_.storeList("Main", "Column", {"a", "b", "c"}));
  ASSERT_TRUE(ini_.storeList("Main", "Column", {"x"}));
  EXPECT_EQ(ini_.fetchList("Main", "Column"), (std::vector<std::string>{"x"}));
  EXPECT_EQ(runtime::iniEntries("Main", file_),
            (std::vector<std::string>{"ColumnCount", "Column1"}));
}

TEST_F(IniManagerTest, BadOrMissingNumbersGiveTheDefaults) {
  ASSERT_TRUE(runtime::PUTINI("Main", "XPos", "12", file_));
  ASSERT_TRUE(runtime::PUTINI("Main", "YPos", "abc", file_));
  ASSERT_TRUE(runtime::PUTINI("Main", "Width", "1.5", file_));
  ASSERT_TRUE(runtime::PUTINI("Main", "Height", "99999999999", file_));
  ASSERT_TRUE(runtime::PUTINI("Main", "SortOrder", "x", file_));
  ASSERT_TRUE(runtime::PUTINI("Main", "ColumnCount", "many", file_));
  ASSERT_TRUE(ini_.init(file_));
  EXPECT_EQ(ini_.fetchPosition("Main"), std::nullopt);
  EXPECT_EQ(ini_.fetchSortOrder("Main", 4), 4);
  EXPECT_TRUE(ini_.fetchList("Main", "Column").empty());
}

TEST_F(IniManagerTest, KillWritesTheKnownSectionsAndTheNextRunKeepsThem) {
  ASSERT_TRUE(runtime::PUTINI("Sectors", "SectorCount", "1", file_));
  ASSERT_TRUE(runtime::PUTINI("Sectors", "Sector1", "Setup_Paths", file_));
  ASSERT_TRUE(ini_.init(file_));
  ASSERT_TRUE(ini_.storeSortOrder("Main", 1));
  ASSERT_TRUE(ini_.storePosition("MAIN", {1, 2, 3, 4}));  // the same section in other letters
  ASSERT_TRUE(ini_.update("browse_Templates", "Thumb", "3"));
  EXPECT_EQ(ini_.sectors(), (std::vector<std::string>{"Setup_Paths", "Main", "browse_Templates"}));
  EXPECT_TRUE(ini_.kill());
  EXPECT_FALSE(ini_.initialised());

  EXPECT_EQ(runtime::GETINI("Sectors", "SectorCount", "", file_), "3");
  EXPECT_EQ(runtime::GETINI("Sectors", "Sector2", "", file_), "Main");
  IniManager next;
  ASSERT_TRUE(next.init(file_));
  EXPECT_EQ(next.sectors(), (std::vector<std::string>{"Setup_Paths", "Main", "browse_Templates"}));
}

// A count read from the file cannot make the manager read more items than the file holds, and a
// run that changed nothing leaves the file as it was.
TEST_F(IniManagerTest, ListsAreBoundedByTheFileAndKillRewritesNothingUnchanged) {
  const struct {
    const char* count;
    std::vector<std::string> read;
  } cases[] = {
      {"100000000", {"Main", "Setup_Paths", ""}},  // two items and the count entry
      {"2147483647", {"Main", "Setup_Paths", ""}},
      {"2", {"Main", "Setup_Paths"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    support::writeFile(file_, std::string("[Sectors]\nSectorCount=") + c.count +
                                  "\nSector1=Main\nSector2=Setup_Paths\n");
    IniManager manager;
    ASSERT_TRUE(manager.init(file_));
    EXPECT_EQ(manager.fetchList("Sectors", "Sector"), c.read);
    EXPECT_TRUE(manager.kill());  // looks at the items the file holds, not up to the count
    EXPECT_EQ(runtime::GETINI("Sectors", "SectorCount", "", file_), std::to_string(c.read.size()));
  }

  // Many sections, all of them listed: the start and the end stay linear and write nothing.
  std::string text = "[Sectors]\nSectorCount=20000\n";
  for (int i = 1; i <= 20000; ++i)
    text += "Sector" + std::to_string(i) + "=S" + std::to_string(i) + "\n";
  for (int i = 1; i <= 20000; ++i) text += "[S" + std::to_string(i) + "]\nX=1\n";
  support::writeFile(file_, text);
  IniManager manager;
  ASSERT_TRUE(manager.init(file_));
  EXPECT_EQ(manager.sectors().size(), 20000u);
  EXPECT_EQ(manager.fetch("S19999", "X", ""), "1");
  EXPECT_TRUE(manager.kill());
  EXPECT_EQ(support::readFile(file_), text);
}

TEST_F(IniManagerTest, BadNamesAreRefusedAndAnUninitialisedManagerNeverWrites) {
  // Writing without a file would reach the default profile: point it at the scratch folder and
  // prove it stays untouched.
  const std::string profile = folder_.file("profile.ini");
  ASSERT_EQ(setenv("GAME_DOCK_PROFILE", profile.c_str(), 1), 0);
  EXPECT_FALSE(ini_.init(""));
  EXPECT_FALSE(ini_.init(std::string(IniManager::kMaxFileNameLength + 1, 'a')));
  EXPECT_FALSE(ini_.initialised());
  EXPECT_FALSE(ini_.storePosition("Main", {1, 2, 3, 4}));
  EXPECT_FALSE(ini_.storeList("Main", "Column", {"1"}));
  EXPECT_EQ(ini_.fetch("Main", "XPos", "none"), "none");
  EXPECT_TRUE(ini_.kill());
  EXPECT_FALSE(std::filesystem::exists(profile));
  unsetenv("GAME_DOCK_PROFILE");

  const std::string longest = folder_.file("") + std::string(60, 'n');
  ASSERT_LE(longest.size(), IniManager::kMaxFileNameLength);
  EXPECT_TRUE(ini_.init(longest));
}

TEST_F(IniManagerTest, AFailedWriteIsReportedAndKillStillEnds) {
  ASSERT_TRUE(ini_.init(folder_.file("missing/game_dock.INI")));
  EXPECT_FALSE(ini_.storeSortOrder("Main", 1));
  EXPECT_TRUE(ini_.sectors().empty());
  ASSERT_TRUE(ini_.init(file_));
  ASSERT_TRUE(ini_.storeSortOrder("Main", 1));
  // The settings file turns into a folder: no write can replace it.
  std::filesystem::remove(file_);
  std::filesystem::create_directory(file_);
  EXPECT_FALSE(ini_.kill());
  EXPECT_FALSE(ini_.initialised());
  EXPECT_TRUE(std::filesystem::is_directory(file_));
}

}  // namespace
}  // namespace classlib
