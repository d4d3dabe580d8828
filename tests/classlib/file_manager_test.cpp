#include "classlib/file_manager.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "platform/files/file_driver.h"
#include "platform/runtime/expression.h"
#include "tests/classlib/item_file.h"
#include "upkeep/call_recorder.h"

namespace classlib {
namespace {

using testing::Item;
using testing::kItemByName;
using testing::kItemFlag;
using testing::kItemPrimary;
using testing::Line;

class FileManagerTest : public testing::ManagerTest {
 protected:
  void SetUp() override { prepare(manager_); }

  // Gives `manager` the items file the way the dictionary does.
  void prepare(FileManager& manager) {
    manager.setName("items");
    manager.initWith(file_, errors_);
    manager.setCreate(true);
    ASSERT_TRUE(manager.addKey(kItemPrimary, "ITM:P_ID", true));
    ASSERT_TRUE(manager.addKey(kItemByName, "Item name"));
  }

  Item& item() { return file_.recordAs<Item>(); }
  files::Memo& notes() { return *file_.memo(1); }

  // Inserts a new item (auto-numbered) and answers its number.
  std::int32_t add(std::string_view name, int flag = 0, std::string_view text = {}) {
    EXPECT_EQ(manager_.primeRecord(), 0);
    item().ID = 0;
    item().NAME = name;
    item().FLAG = static_cast<std::uint8_t>(flag);
    notes().assign(text);
    EXPECT_EQ(manager_.insert(), LevelBenign) << name;
    return item().ID;
  }

  // Reads item `id` into the buffer; answers the error code.
  int read(std::int32_t id) {
    item().ID = id;
    return manager_.tryFetch(kItemPrimary);
  }

  files::FileDeclaration file_{itemSpec()};
  FileManager manager_;
};

TEST_F(FileManagerTest, TheFirstUseCreatesAMissingFileAndOpensItThroughDsFileOpen) {
  upkeep::CallLog log;
  upkeep::ScopedCallRecorder recording(log);
  ASSERT_FALSE(files::EXISTS(itemPath_));
  EXPECT_EQ(manager_.use(), LevelBenign);
  EXPECT_EQ(manager_.use(), LevelBenign);
  EXPECT_TRUE(files::EXISTS(itemPath_));
  EXPECT_EQ(files::STATUS(file_), kDefaultAccessMode);
  EXPECT_EQ(manager_.users(), 2);
  // The missing file's open, the open after the create; the second use opens nothing.
  EXPECT_EQ(log.texts(), (std::vector<std::string>{"ds_FileOpen(FILE(items), 66)",
                                                   "ds_FileOpen(FILE(items), 66)"}));
  EXPECT_TRUE(answerer_.shown().empty());
}

TEST_F(FileManagerTest, WithoutTheCreateFlagAMissingFileIsReported) {
  manager_.setCreate(false);
  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(manager_.use(), LevelNotify);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileNotFoundErr);
  EXPECT_EQ(manager_.users(), 0);
  EXPECT_FALSE(manager_.opened());
  // The message names the file's path on its last line.
  EXPECT_EQ(shownTexts(),
            (std::vector<std::string>{"Unable to open the items file.\nFile Not Found (error 2)\n" +
                                      itemPath_}));
  EXPECT_TRUE(manager_.openFailureReported());
  EXPECT_FALSE(files::EXISTS(itemPath_));
}

TEST_F(FileManagerTest, TheLastUserClosesAndKillClosesWhatWasOpened) {
  manager_.setAccessMode(0x22);
  ASSERT_EQ(manager_.use(), LevelBenign);
  ASSERT_EQ(manager_.use(), LevelBenign);
  EXPECT_EQ(files::STATUS(file_), 0x22);
  manager_.close();
  EXPECT_EQ(files::STATUS(file_), 0x22) << "one user is left";
  manager_.close();
  EXPECT_EQ(files::STATUS(file_), 0);
  manager_.close();  // no user: nothing happens
  EXPECT_EQ(manager_.users(), 0);

  ASSERT_EQ(manager_.use(), LevelBenign);
  manager_.kill();
  EXPECT_EQ(files::STATUS(file_), 0);
  EXPECT_TRUE(manager_.killed());
  EXPECT_FALSE(manager_.initialised());
  EXPECT_EQ(manager_.users(), 0);
  EXPECT_TRUE(manager_.keys().empty());
}

TEST_F(FileManagerTest, AFileOpenedByOthersCountsAsOpenButIsNotClosedByTheManager) {
  ASSERT_EQ(manager_.use(), LevelBenign);  // creates the file
  manager_.close();
  files::OPEN(file_, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  EXPECT_EQ(manager_.use(), LevelBenign);  // 52: already open
  EXPECT_EQ(runtime::ERRORCODE(), 0);
  EXPECT_FALSE(manager_.opened());
  manager_.close();
  manager_.kill();
  EXPECT_EQ(files::STATUS(file_), 0x42);
}

TEST_F(FileManagerTest, FetchesFindByKeyAndTellNothingFoundApart) {
  ASSERT_EQ(manager_.use(), LevelBenign);
  add("Alpha", 1, "first notes");
  add("Beta", 2);

  item().NAME = "BETA";  // the key ignores case
  EXPECT_EQ(manager_.tryFetch(kItemByName), 0);
  EXPECT_EQ(item().ID, 2);
  EXPECT_EQ(item().FLAG, 2);

  // Nothing found: try fetch leaves the buffer, fetch blanks it and shows no box.
  item().NAME = "Gamma";
  EXPECT_EQ(manager_.tryFetch(kItemByName), runtime::RecordNotFoundErr);
  EXPECT_EQ(item().NAME.view(), "Gamma");
  notes().assign("left over");
  EXPECT_EQ(manager_.fetch(kItemByName), LevelNotify);
  EXPECT_EQ(item().NAME.view(), "");
  EXPECT_EQ(item().ID, 0);
  EXPECT_EQ(notes().content(), "");
  EXPECT_TRUE(answerer_.shown().empty());

  item().ID = 1;
  EXPECT_EQ(manager_.fetch(kItemPrimary), LevelBenign);
  EXPECT_EQ(item().NAME.view(), "Alpha");
  EXPECT_EQ(notes().content(), "first notes");
}

TEST_F(FileManagerTest, TryNextReadsOnUntilTheEnd) {
  ASSERT_EQ(manager_.use(), LevelBenign);
  add("Charlie");
  add("alpha");
  add("Bravo");
  files::SET(file_, *file_.key(kItemByName));
  std::vector<std::string> names;
  while (manager_.tryNext() == 0) names.emplace_back(item().NAME.view());
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Bravo", "Charlie"}));
  EXPECT_NE(manager_.tryNext(), 0);
}

TEST_F(FileManagerTest, InsertNumbersOnFromTheLastRecordAndKeepsTheMemo) {
  ASSERT_EQ(manager_.use(), LevelBenign);
  EXPECT_EQ(add("one", 0, "notes of one"), 1);
  EXPECT_EQ(add("two"), 2);
  item().ID = 10;  // a number given by the caller is kept
  item().NAME = "ten";
  ASSERT_EQ(manager_.insert(), LevelBenign);
  EXPECT_EQ(add("eleven", 0, "kept"), 11);
  EXPECT_EQ(notes().content(), "kept");
  ASSERT_EQ(read(1), 0);
  EXPECT_EQ(notes().content(), "notes of one");
  EXPECT_EQ(files::RECORDS(file_), 4);
}

TEST_F(FileManagerTest, ANumberTakenMeanwhileIsReplacedByTheNextOne) {
  ASSERT_EQ(manager_.use(), LevelBenign);
  add("one");
  ASSERT_EQ(manager_.primeRecord(), 0);
  EXPECT_EQ(item().ID, 2);
  const Item primed = item();
  // Another user adds number 2 first.
  add("two, elsewhere");
  item() = primed;
  item().NAME = "mine";
  EXPECT_EQ(manager_.insert(), LevelBenign);
  EXPECT_EQ(item().ID, 3);
  EXPECT_TRUE(answerer_.shown().empty());
}

// A manager whose auto numbers are always taken.
class StuckNumbers : public FileManager {
 public:
  int nextAutoNumber(int, std::int32_t& number) override {
    ++asked;
    number = 1;
    return 0;
  }
  int asked = 0;
};

TEST_F(FileManagerTest, AfterThreeTakenNumbersTheInsertIsRefusedAsADuplicate) {
  ASSERT_EQ(manager_.use(), LevelBenign);
  add("one");
  manager_.close();
  StuckNumbers stuck;
  prepare(stuck);
  ASSERT_EQ(stuck.use(), LevelBenign);
  item().ID = 1;
  item().NAME = "other";
  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(stuck.insert(), LevelNotify);
  EXPECT_EQ(stuck.asked, kAutoNumberTries - 1);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::DuplicateKeyErr);
  EXPECT_EQ(files::RECORDS(file_), 1);
  ASSERT_EQ(answerer_.shown().size(), 1u);
  EXPECT_EQ(answerer_.shown()[0].text,
            "Creates Duplicate Key: another items record already has this ITM:P_ID.\n"
            "The record was not saved.");
}

TEST_F(FileManagerTest, ADuplicateKeyRefusesTheWriteAndLeavesTheDataAsItWas) {
  ASSERT_EQ(manager_.use(), LevelBenign);
  add("Alpha", 1);
  add("Beta", 2);

  answerer_.addAnswer(runtime::ButtonOk);
  ASSERT_EQ(manager_.primeRecord(), 0);
  item().NAME = "ALPHA";
  EXPECT_EQ(manager_.insert(), LevelNotify);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::DuplicateKeyErr);
  EXPECT_EQ(item().NAME.view(), "ALPHA") << "the buffer is the user's";

  // A change of Beta's name to Alpha's.
  ASSERT_EQ(read(2), 0);
  item().NAME = "alpha";
  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(manager_.update(), LevelNotify);

  const std::string refusal =
      "Creates Duplicate Key: another items record already has this Item name.\n"
      "The record was not saved.";
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{refusal, refusal}));
  EXPECT_EQ(answerer_.shown()[0].caption, "Creates Duplicate Key");
  EXPECT_EQ(files::RECORDS(file_), 2);
  ASSERT_EQ(read(2), 0);
  EXPECT_EQ(item().NAME.view(), "Beta");
  ASSERT_EQ(read(1), 0);
  EXPECT_EQ(item().NAME.view(), "Alpha");
}

TEST_F(FileManagerTest, UpdateWritesTheRecordLastReadBack) {
  ASSERT_EQ(manager_.use(), LevelBenign);
  add("Alpha", 1);
  add("Beta", 2);
  ASSERT_EQ(read(1), 0);
  item().NAME = "Aleph";
  item().FLAG = 9;
  notes().assign("changed");
  EXPECT_EQ(manager_.update(), LevelBenign);
  ASSERT_EQ(read(2), 0);
  ASSERT_EQ(read(1), 0);
  EXPECT_EQ(item().NAME.view(), "Aleph");
  EXPECT_EQ(item().FLAG, 9);
  EXPECT_EQ(notes().content(), "changed");
}

TEST_F(FileManagerTest, DeleteRemovesTheRecordLastReadUnlessTheUserSaysNo) {
  ASSERT_EQ(manager_.use(), LevelBenign);
  add("Alpha");
  add("Beta");
  ASSERT_EQ(read(1), 0);
  answerer_.addAnswer(runtime::ButtonNo);
  EXPECT_EQ(manager_.deleteRecord(true), LevelCancel);
  EXPECT_EQ(files::RECORDS(file_), 2);
  answerer_.addAnswer(runtime::ButtonYes);
  EXPECT_EQ(manager_.deleteRecord(true), LevelBenign);
  EXPECT_EQ(shownTexts()[0], "Are you sure you want to delete this items record?");
  EXPECT_EQ(read(1), runtime::RecordNotFoundErr);
  ASSERT_EQ(read(2), 0);
  EXPECT_EQ(manager_.deleteRecord(), LevelBenign);
  EXPECT_EQ(files::RECORDS(file_), 0);

  // Nothing read: the delete fails and says so.
  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(manager_.deleteRecord(), LevelNotify);
  EXPECT_EQ(answerer_.shown().back().caption, "Delete Record Error");
}

// A manager whose validation refuses a flag above 5, and any deletion.
class CheckedItems : public FileManager {
 public:
  bool validateField(int field) override {
    return field != kItemFlag || file()->recordAs<Item>().FLAG <= 5;
  }
  bool validateDelete() override { return false; }
};

TEST_F(FileManagerTest, TheValidationHooksCanRefuseAWrite) {
  CheckedItems checked;
  prepare(checked);
  ASSERT_EQ(checked.use(), LevelBenign);
  EXPECT_TRUE(checked.validateRecord());
  ASSERT_EQ(checked.primeRecord(), 0);
  item().NAME = "Alpha";
  item().FLAG = 6;
  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(checked.insert(), LevelNotify);
  EXPECT_EQ(checked.invalidField(), kItemFlag);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"The value of ITM:FLAG is not valid."}));
  EXPECT_EQ(files::RECORDS(file_), 0);

  item().FLAG = 5;
  ASSERT_EQ(checked.insert(), LevelBenign);
  EXPECT_EQ(checked.deleteRecord(), LevelNotify);
  EXPECT_EQ(files::RECORDS(file_), 1);
}

TEST_F(FileManagerTest, AutoNumbersCountWithinTheOtherComponentsOfTheKey) {
  files::FileDeclaration lines(lineSpec());
  FileManager manager;
  manager.setName("lines");
  manager.initWith(lines, errors_);
  manager.setCreate(true);
  ASSERT_TRUE(manager.addKey(1, "LIN:K_LINE", true));
  ASSERT_EQ(manager.use(), LevelBenign);
  std::vector<std::pair<int, int>> added;
  for (const int order : {2, 1, 2, 3, 1, 2}) {
    Line& line = lines.recordAs<Line>();
    line.ORDER = order;
    line.LINE = 0;
    ASSERT_EQ(manager.insert(), LevelBenign);
    added.emplace_back(line.ORDER, line.LINE);
  }
  EXPECT_EQ(added,
            (std::vector<std::pair<int, int>>{{2, 1}, {1, 1}, {2, 2}, {3, 1}, {1, 2}, {2, 3}}));
}

TEST_F(FileManagerTest, KeysThatCannotBeAddedAreRefused) {
  FileManager manager;
  manager.initWith(file_, errors_);
  EXPECT_FALSE(manager.addKey(3, "no such key"));
  EXPECT_FALSE(manager.addKey(kItemByName, "a text key", true));
  EXPECT_TRUE(manager.addKey(kItemByName, "Item name"));
  EXPECT_FALSE(manager.addKey(kItemByName, "twice"));
  ASSERT_NE(manager.managedKey(kItemByName), nullptr);
  EXPECT_EQ(manager.managedKey(kItemByName)->description, "Item name");
  EXPECT_EQ(manager.managedKey(kItemPrimary), nullptr);
}

TEST_F(FileManagerTest, TheFieldsAreBoundForFiltersUntilKill) {
  item().NAME = "Alpha";
  item().FLAG = 3;
  const auto filter = runtime::Expression::parse("ITM:NAME = 'Alpha' AND ITM:FLAG > 2");
  ASSERT_TRUE(filter.ok());
  EXPECT_TRUE(filter.expression->evaluate().isTrue());
  item().FLAG = 1;
  EXPECT_FALSE(filter.expression->evaluate().isTrue());
  manager_.kill();
  EXPECT_EQ(runtime::boundVariable("ITM:NAME"), nullptr);
  EXPECT_FALSE(filter.expression->evaluate().ok());
}

TEST_F(FileManagerTest, TheSettingsAreKeptAndInitResetsThem) {
  manager_.setLockWait(10);
  manager_.setAccessMode(0x12);
  EXPECT_EQ(manager_.lockWait(), 10);
  EXPECT_EQ(manager_.accessMode(), 0x12);
  EXPECT_TRUE(manager_.createsMissingFile());
  manager_.init();
  EXPECT_EQ(manager_.lockWait(), 0);
  EXPECT_EQ(manager_.accessMode(), kDefaultAccessMode);
  EXPECT_FALSE(manager_.createsMissingFile());
  EXPECT_TRUE(manager_.keys().empty());
}

}  // namespace
}  // namespace classlib
