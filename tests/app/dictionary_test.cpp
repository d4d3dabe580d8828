#include "app/dictionary/dictionary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/managed_files.h"
#include "classlib/error_level.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/expression.h"
#include "tests/app/app_fixture.h"

namespace app {
namespace {

using classlib::LevelBenign;

class DictionaryTest : public ::testing::Test {
 protected:
  DictionaryTest() { dictionary_create_init(); }
  ~DictionaryTest() override {
    dictionary_kill();
    files::releaseThreadFiles();
    GLO.MAINAGCFILE.clear();
  }

  // Opens `file` through its relation manager, runs `work` and closes it again.
  template <class Work>
  void withOpen(const files::PerThreadFile& file, Work work) {
    ASSERT_EQ(relationManager(file)->open(), LevelBenign) << file.spec().label;
    work(*fileManager(file));
    relationManager(file)->close();
  }

  testing::TempFolder folder;
  testing::Services services;
  testing::RecordedBoxes boxes;
};

struct ExpectedKey {
  std::string description;
  bool autoNumber;
};

TEST_F(DictionaryTest, EachFileManagerIsToldItsNameKeysCreateFlagAndLockWait) {
  const struct {
    const files::PerThreadFile* file;
    std::vector<ExpectedKey> keys;  // in the order added, with their key numbers 1, 2, ...
  } cases[] = {
      {&projects,
       {{"PRO:K_Codeby", false},
        {"PRO:k_description", false},
        {"PRO:k_category", false},
        {"PRO:P_ID", true}}},
      {&codeby, {{"COD:P_Name", false}}},
      {&mainagc, {}},
      {&template_, {{"tpl:k_description", false}, {"tpl:P_ID", true}}},
      {&categort, {{"CAT:P_Cat", false}}},
      {&func, {{"FUN:P_ID", true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file->spec().label);
    classlib::FileManager* manager = fileManager(*c.file);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->name(), c.file->spec().label);
    EXPECT_EQ(manager->file(), &c.file->get());
    EXPECT_EQ(manager->buffer().data(), c.file->get().record().data());
    EXPECT_EQ(manager->buffer().size(), c.file->spec().recordSize);
    // Keys, create flag and lock wait come with the first use, whatever its type.
    EXPECT_TRUE(manager->keys().empty());
    EXPECT_EQ(manager->use(classlib::UseInitialises), LevelBenign);
    EXPECT_TRUE(manager->createsMissingFile());
    EXPECT_EQ(manager->lockWait(), 10);
    ASSERT_EQ(manager->keys().size(), c.keys.size());
    for (std::size_t k = 0; k < c.keys.size(); ++k) {
      EXPECT_EQ(manager->keys()[k].number, static_cast<int>(k + 1));
      EXPECT_EQ(manager->keys()[k].description, c.keys[k].description);
      EXPECT_EQ(manager->keys()[k].autoNumber, c.keys[k].autoNumber);
    }
  }
  EXPECT_EQ(fileManager(formats), nullptr);
  EXPECT_EQ(relationManager(formats), nullptr);
}

TEST_F(DictionaryTest, AnOpenBeforeAnyInitialiseAddsTheKeysFirstAndCreatesTheFile) {
  classlib::FileManager& manager = *fileManager(projects);
  ASSERT_EQ(manager.use(classlib::UseOpens), LevelBenign);
  EXPECT_EQ(manager.keys().size(), 4u);
  EXPECT_TRUE(std::filesystem::exists(folder.path("projects.aaa")));
  manager.close();
}

TEST_F(DictionaryTest, TheFirstOpenCreatesEachMissingDataFileUnderItsName) {
  const struct {
    const files::PerThreadFile* file;
    const char* onDisk;
  } cases[] = {{&projects, "projects.aaa"},
               {&codeby, "codeby.aaa"},
               {&template_, "template.aaa"},
               {&categort, "category.aaa"},
               {&func, "FUNC.VKF"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.onDisk);
    EXPECT_FALSE(std::filesystem::exists(folder.path(c.onDisk)));
    withOpen(*c.file, [](classlib::FileManager&) {});
    EXPECT_TRUE(std::filesystem::exists(folder.path(c.onDisk)));
  }
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(DictionaryTest, MainagcOpensThePathTheGlobalHoldsAtEachOpen) {
  GLO.MAINAGCFILE = folder.path("first.agc");
  withOpen(mainagc, [](classlib::FileManager&) {});
  GLO.MAINAGCFILE = folder.path("second.agc");
  withOpen(mainagc, [](classlib::FileManager&) {});
  EXPECT_TRUE(std::filesystem::exists(folder.path("first.agc")));
  EXPECT_TRUE(std::filesystem::exists(folder.path("second.agc")));
}

TEST_F(DictionaryTest, InsertNumbersTheAutoNumberKeys) {
  withOpen(projects, [](classlib::FileManager& manager) {
    for (const char* description : {"first", "second"}) {
      manager.primeRecord();
      PRO->DESCRIPTION = description;
      ASSERT_EQ(manager.insert(), LevelBenign);
    }
    EXPECT_EQ(PRO->ID, 2);
  });
}

TEST_F(DictionaryTest, CategoriesAreUniqueRegardlessOfCaseAndForumMembersMayRepeat) {
  withOpen(categort, [&](classlib::FileManager& manager) {
    CAT->CATDESCRIPTION = "Games";
    EXPECT_EQ(manager.insert(), LevelBenign);
    CAT->CATDESCRIPTION = "GAMES";
    EXPECT_EQ(manager.insert(), classlib::LevelNotify);
    EXPECT_EQ(files::RECORDS(categort.get()), 1);
  });
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find("CAT:P_Cat"), std::string::npos) << boxes.texts[0];
  withOpen(codeby, [](classlib::FileManager& manager) {
    for (int i = 0; i < 2; ++i) {
      COD->NAME = "Same Member";
      EXPECT_EQ(manager.insert(), LevelBenign);
    }
    EXPECT_EQ(files::RECORDS(codeby.get()), 2);
  });
}

TEST_F(DictionaryTest, AProjectWithoutCategoryIsLeftOutOfTheCategoryKey) {
  withOpen(projects, [](classlib::FileManager& manager) {
    for (const char* category : {"Tools", ""}) {
      manager.primeRecord();
      PRO->CATEGORY = category;
      ASSERT_EQ(manager.insert(), LevelBenign);
    }
    files::FileDeclaration& file = projects.get();
    files::SET(file, *file.key(file.keyNumber("PRO:K_CATEGORY")));
    std::vector<std::string> listed;
    for (files::NEXT(file); runtime::ERRORCODE() == 0; files::NEXT(file))
      listed.push_back(PRO->CATEGORY.text());
    EXPECT_EQ(listed, std::vector<std::string>{"Tools"});
  });
}

TEST_F(DictionaryTest, CodebyIsTheParentOfProjectsWithoutReferentialActions) {
  withOpen(codeby, [](classlib::FileManager&) {});
  withOpen(projects, [](classlib::FileManager&) {});
  const auto codebyRelations = relationManager(codeby)->relations();
  ASSERT_EQ(codebyRelations.size(), 1u);
  EXPECT_EQ(codebyRelations[0].related, relationManager(projects));
  EXPECT_EQ(codebyRelations[0].updateMode, 0);
  EXPECT_EQ(codebyRelations[0].deleteMode, 0);
  EXPECT_EQ(codebyRelations[0].key, projects.get().keyNumber("PRO:K_CODEBY"));
  EXPECT_EQ(codebyRelations[0].links, (std::vector<std::pair<int, int>>{{1, 13}}));
  const auto projectsRelations = relationManager(projects)->relations();
  ASSERT_EQ(projectsRelations.size(), 1u);
  EXPECT_EQ(projectsRelations[0].related, relationManager(codeby));
  EXPECT_EQ(projectsRelations[0].key, 0);
  EXPECT_TRUE(projectsRelations[0].links.empty());
  EXPECT_TRUE(relationManager(categort)->relations().empty());
}

TEST_F(DictionaryTest, DeletingAForumMemberLeavesTheProjectsThatNameIt) {
  withOpen(codeby, [&](classlib::FileManager& members) {
    withOpen(projects, [&](classlib::FileManager& list) {
      COD->NAME = "Member";
      ASSERT_EQ(members.insert(), LevelBenign);
      list.primeRecord();
      PRO->CODEBY = "Member";
      ASSERT_EQ(list.insert(), LevelBenign);
      ASSERT_EQ(members.fetch(1), LevelBenign);
      ASSERT_EQ(members.deleteRecord(), LevelBenign);
      EXPECT_EQ(files::RECORDS(codeby.get()), 0);
      PRO->ID = 1;
      ASSERT_EQ(list.fetch(projects.get().keyNumber("PRO:P_ID")), LevelBenign);
      EXPECT_EQ(PRO->CODEBY.view(), "Member");
    });
  });
}

TEST_F(DictionaryTest, TheMemosAreBoundByNameForFilters) {
  const struct {
    const files::PerThreadFile* file;
    const char* expression;
  } cases[] = {{&template_, "tpl:Coding = 'first line'"},
               {&func, "FUN:examplecode = 'first line'"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expression);
    fileManager(*c.file)->use(classlib::UseInitialises);
    c.file->get().memo(1)->assign("first line");
    const runtime::ParseResult parsed = runtime::Expression::parse(c.expression);
    ASSERT_TRUE(parsed.ok()) << parsed.error.message;
    EXPECT_TRUE(parsed.expression->evaluate().isTrue());
  }
  dictionary_kill();
  EXPECT_EQ(runtime::boundVariable("tpl:Coding"), nullptr);
  EXPECT_EQ(runtime::boundVariable("FUN:examplecode"), nullptr);
}

TEST_F(DictionaryTest, KillClosesTheFilesAndClearsEveryReference) {
  withOpen(projects, [](classlib::FileManager&) {});
  ASSERT_EQ(relationManager(projects)->open(), LevelBenign);
  EXPECT_TRUE(projects.get().openState().isOpen());
  dictionary_kill();
  EXPECT_FALSE(projects.get().openState().isOpen());
  for (const ManagedFileSpec& managed : kManagedFiles) {
    EXPECT_EQ(fileManager(*managed.file), nullptr);
    EXPECT_EQ(relationManager(*managed.file), nullptr);
  }
  dictionary_kill();  // a second kill finds nothing to do
}

TEST_F(DictionaryTest, CreateInitOnAThreadWithADictionaryKeepsIt) {
  classlib::RelationManager* first = relationManager(projects);
  dictionary_create_init();
  EXPECT_EQ(relationManager(projects), first);
  classlib::RelationManager* other = nullptr;
  std::thread([&] {
    dictionary_create_init();
    other = relationManager(projects);
    dictionary_kill();
    files::releaseThreadFiles();
  }).join();
  EXPECT_NE(other, nullptr);
  EXPECT_NE(other, first);
}

}  // namespace
}  // namespace app
