#include "classlib/view_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/file_manager.h"
#include "platform/files/file_driver.h"
#include "platform/files/view_driver.h"
#include "tests/classlib/item_file.h"
#include "upkeep/call_recorder.h"

namespace classlib {
namespace {

using testing::Item;
using testing::kItemByName;
using testing::kItemFlag;

class ViewManagerTest : public testing::ManagerTest {
 protected:
  ViewManagerTest() {
    items_.setName("items");
    items_.initWith(file_, errors_);
    items_.setCreate(true);
    views_.init(view_, items_);
  }

  void addItems() {
    EXPECT_EQ(items_.use(), LevelBenign);
    for (const auto& [name, flag] : std::vector<std::pair<const char*, int>>{
             {"delta", 4}, {"Alpha", 1}, {"charlie", 3}, {"Bravo", 2}}) {
      items_.primeRecord();
      Item& item = file_.recordAs<Item>();
      item.NAME = name;
      item.FLAG = static_cast<std::uint8_t>(flag);
      EXPECT_EQ(items_.insert(), LevelBenign);
    }
    items_.close();
  }

  // The names read through the view from a reset to the end.
  std::vector<std::string> names() {
    std::vector<std::string> read;
    EXPECT_EQ(views_.reset(), 0);
    while (views_.next() == 0) read.emplace_back(file_.recordAs<Item>().NAME.view());
    return read;
  }

  files::FileDeclaration file_{itemSpec()};
  files::FileView view_{file_};
  FileManager items_;
  ViewManager views_;
};

TEST_F(ViewManagerTest, TheViewOpensOnceThroughDsFileOpenAndReadsInItsOrderAndFilter) {
  addItems();
  ASSERT_TRUE(views_.setOrder(kItemByName));
  ASSERT_TRUE(views_.setFilter("ITM:FLAG > 1"));
  upkeep::CallLog calls;
  {
    upkeep::ScopedCallRecorder recording(calls);
    EXPECT_EQ(views_.open(), LevelBenign);
    EXPECT_EQ(views_.open(), LevelBenign);
  }
  EXPECT_EQ(calls.texts(), (std::vector<std::string>{"ds_FileOpen(VIEW(items), 34)"}));
  EXPECT_EQ(calls.calls()[0].object, &view_);
  EXPECT_EQ(files::STATUS(view_), kViewAccessMode);
  EXPECT_EQ(names(), (std::vector<std::string>{"Bravo", "charlie", "delta"}));

  ASSERT_TRUE(views_.setOrderFields({-kItemFlag}));
  ASSERT_TRUE(views_.setFilter(""));
  EXPECT_EQ(names(), (std::vector<std::string>{"delta", "charlie", "Bravo", "Alpha"}));
  ASSERT_TRUE(views_.setOrder(0));
  EXPECT_EQ(names(), (std::vector<std::string>{"delta", "Alpha", "charlie", "Bravo"}));

  views_.close();
  EXPECT_FALSE(views_.isOpen());
  EXPECT_EQ(files::STATUS(view_), 0);
  EXPECT_TRUE(answerer_.shown().empty());
}

TEST_F(ViewManagerTest, AFailedOpenShowsMessage43AndTheNextOpenTriesAgain) {
  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(views_.open(), LevelNotify);
  EXPECT_FALSE(views_.isOpen());
  ASSERT_EQ(answerer_.shown().size(), 1u);
  EXPECT_EQ(answerer_.shown()[0].caption, "View Open Error");
  EXPECT_EQ(answerer_.shown()[0].text,
            "Unable to open the view of the items file.\nFile Not Found (error 2)\n" + itemPath_);

  addItems();
  EXPECT_EQ(views_.open(), LevelBenign);
  EXPECT_TRUE(views_.isOpen());
  EXPECT_EQ(names().size(), 4u);
}

TEST_F(ViewManagerTest, AFileItsManagerCouldNotOpenIsReportedOnceNotAgainByItsView) {
  items_.setCreate(false);
  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(items_.use(), LevelNotify);
  EXPECT_EQ(views_.open(), LevelNotify);
  ASSERT_EQ(answerer_.shown().size(), 1u);
  EXPECT_EQ(answerer_.shown()[0].caption, "File Open Error");

  // Once the file opens, a view that still fails says so itself.
  items_.setCreate(true);
  EXPECT_EQ(items_.use(), LevelBenign);
  EXPECT_FALSE(items_.openFailureReported());
}

TEST_F(ViewManagerTest, AViewOpenedElsewhereCountsAsOpenAndStaysOpen) {
  addItems();
  files::OPEN(view_, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  EXPECT_EQ(views_.open(), LevelBenign);  // 52
  EXPECT_TRUE(views_.isOpen());
  views_.kill();
  EXPECT_EQ(files::STATUS(view_), 0x42);
  EXPECT_EQ(views_.view(), nullptr);
}

TEST_F(ViewManagerTest, OrdersAndFiltersThatCannotHoldAreRefused) {
  ASSERT_TRUE(views_.setFilter("ITM:FLAG = 1"));
  EXPECT_FALSE(views_.setFilter("ITM:FLAG = ("));
  EXPECT_EQ(views_.filter(), "ITM:FLAG = 1");
  EXPECT_FALSE(views_.setOrder(3));
  EXPECT_FALSE(views_.setOrderFields({}));
  EXPECT_FALSE(views_.setOrderFields({1, 4}));
  EXPECT_FALSE(views_.setOrderFields({0}));
}

}  // namespace
}  // namespace classlib
