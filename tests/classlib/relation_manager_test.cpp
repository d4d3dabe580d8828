#include "classlib/relation_manager.h"

#include <gtest/gtest.h>

#include "platform/files/file_driver.h"
#include "tests/classlib/item_file.h"

namespace classlib {
namespace {

// A relation manager that adds one relation in its deferred step and counts the step.
class ItemRelations : public RelationManager {
 public:
  void deferredAddRelations() override {
    ++deferredRuns;
    if (related != nullptr) {
      addRelation(*related, RelationNoAction, RelationNoAction, 1);
      addLinkPair(testing::kItemId, 1);
    }
    RelationManager::deferredAddRelations();
  }
  RelationManager* related = nullptr;
  int deferredRuns = 0;
};

class RelationManagerTest : public testing::ManagerTest {
 protected:
  RelationManagerTest() {
    items_.setName("items");
    items_.initWith(itemFile_, errors_);
    items_.setCreate(true);
    lines_.setName("lines");
    lines_.initWith(lineFile_, errors_);
    lines_.setCreate(true);
    itemRelations_.init(items_, 1);
    lineRelations_.init(lines_, 1);
  }

  files::FileDeclaration itemFile_{itemSpec()};
  files::FileDeclaration lineFile_{lineSpec()};
  FileManager items_;
  FileManager lines_;
  ItemRelations itemRelations_;
  RelationManager lineRelations_;
};

TEST_F(RelationManagerTest, OpenAddsTheRelationsOnceAndUsesTheFile) {
  itemRelations_.related = &lineRelations_;
  EXPECT_EQ(itemRelations_.open(), LevelBenign);
  EXPECT_EQ(itemRelations_.open(), LevelBenign);
  EXPECT_EQ(itemRelations_.deferredRuns, 1);
  EXPECT_EQ(items_.users(), 2);
  EXPECT_EQ(files::STATUS(lineFile_), 0) << "the related file is not opened";
  ASSERT_EQ(itemRelations_.relations().size(), 1u);
  const Relation& relation = itemRelations_.relations()[0];
  EXPECT_EQ(relation.related, &lineRelations_);
  EXPECT_EQ(relation.key, 1);
  EXPECT_EQ(relation.links, (std::vector<std::pair<int, int>>{{testing::kItemId, 1}}));

  itemRelations_.close();
  itemRelations_.close();
  EXPECT_EQ(files::STATUS(itemFile_), 0);
  itemRelations_.kill();
  EXPECT_TRUE(itemRelations_.relations().empty());
  EXPECT_EQ(itemRelations_.fileManager(), nullptr);
  EXPECT_FALSE(items_.killed()) << "the dictionary kills its file manager itself";
}

TEST_F(RelationManagerTest, RelationsAndLinksThatCannotHoldAreRefused) {
  EXPECT_FALSE(itemRelations_.addLinkPair(1, 1)) << "no relation yet";
  EXPECT_FALSE(itemRelations_.addRelation(lineRelations_, 1, RelationNoAction, 0));
  EXPECT_FALSE(itemRelations_.addRelation(lineRelations_, RelationNoAction, 2, 0));
  EXPECT_FALSE(itemRelations_.addRelation(lineRelations_, RelationNoAction, RelationNoAction, 2))
      << "lines has one key";
  RelationManager unset;
  EXPECT_FALSE(itemRelations_.addRelation(unset, RelationNoAction, RelationNoAction, 0));
  EXPECT_TRUE(itemRelations_.addRelation(lineRelations_, RelationNoAction, RelationNoAction, 0));
  EXPECT_FALSE(itemRelations_.addLinkPair(4, 1));
  EXPECT_FALSE(itemRelations_.addLinkPair(1, 3));
  EXPECT_TRUE(itemRelations_.addLinkPair(1, 2));
  EXPECT_EQ(itemRelations_.relations().size(), 1u);
}

TEST_F(RelationManagerTest, AFailedOpenIsTheFileManagersReport) {
  items_.setCreate(false);
  answerer_.addAnswer(runtime::ButtonOk);
  EXPECT_EQ(itemRelations_.open(), LevelNotify);
  EXPECT_EQ(answerer_.shown().size(), 1u);
  EXPECT_EQ(items_.users(), 0);
}

}  // namespace
}  // namespace classlib
