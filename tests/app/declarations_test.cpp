#include "app/dictionary/declarations.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/files/record_descriptor.h"
#include "tests/files/test_records.h"

namespace app {
namespace {

struct ExpectedKey {
  std::string label;
  std::uint32_t flags;
  std::vector<std::int32_t> components;
};

struct ExpectedFile {
  const files::PerThreadFile* file;
  std::string label;
  std::string prefix;
  files::Driver driver;
  std::string name;  // empty: bound to GLO:MAINAGCFILE
  std::uint32_t recordLength;
  std::vector<ExpectedKey> keys;
  std::vector<std::string> memos;  // each of 64000 bytes
};

const std::vector<ExpectedFile>& expectedFiles() {
  using files::Driver;
  constexpr std::uint32_t dupNoCaseOpt = KeyDup | KeyNoCase | KeyOpt;
  constexpr std::uint32_t primary = KeyPrimary | KeyNoCase | KeyOpt;
  static const std::vector<ExpectedFile> files = {
      {&projects,
       "projects",
       "PRO",
       Driver::Caskfile,
       "projects.aaa",
       10800,
       {{"PRO:K_CODEBY", dupNoCaseOpt, {13}},
        {"PRO:K_DESCRIPTION", dupNoCaseOpt, {3}},
        {"PRO:K_CATEGORY", dupNoCaseOpt, {5}},
        {"PRO:P_ID", primary, {1}}},
       {}},
      {&categort,
       "categort",
       "CAT",
       Driver::Caskfile,
       "category.aaa",
       50,
       {{"CAT:P_CAT", primary, {1}}},
       {}},
      {&template_,
       "template",
       "TPL",
       Driver::Caskfile,
       "template.aaa",
       359,
       {{"TPL:K_DESCRIPTION", dupNoCaseOpt, {2}}, {"TPL:P_ID", primary, {1}}},
       {"TPL:CODING"}},
      {&codeby,
       "codeby",
       "COD",
       Driver::Caskfile,
       "codeby.aaa",
       100,
       {{"COD:P_NAME", dupNoCaseOpt, {1}}},
       {}},
      {&func,
       "func",
       "FUN",
       Driver::Caskfile,
       "FUNC",
       1414,
       {{"FUN:P_ID", primary, {1}}},
       {"FUN:EXAMPLECODE"}},
      {&mainagc, "mainagc", "AGC", Driver::Ascii, "", 1024, {}, {}},
      {&formats,
       "Formats",
       "CFG",
       Driver::Caskfile,
       "Formats.FDB",
       7265,
       {{"CFG:KEY_MAIN", KeyNoCase | KeyOpt, {1, 2, 3, 4, 5}}},
       {}},
  };
  return files;
}

TEST(Declarations, EachFileHasItsDriverNameKeysAndMemos) {
  for (const ExpectedFile& expected : expectedFiles()) {
    SCOPED_TRACE(expected.label);
    const files::FileDeclaration& file = expected.file->get();
    EXPECT_EQ(file.label(), expected.label);
    EXPECT_EQ(file.prefix(), expected.prefix);
    EXPECT_EQ(file.driver(), expected.driver);
    EXPECT_EQ(file.nameIsBound(), expected.name.empty());
    if (!expected.name.empty()) {
      EXPECT_EQ(file.currentName(), expected.name);
    }
    EXPECT_TRUE(file.createAttribute());
    EXPECT_EQ(file.recordLength(), expected.recordLength);
    ASSERT_EQ(file.keyCount(), expected.keys.size());
    for (std::size_t k = 0; k < expected.keys.size(); ++k) {
      const files::KeyDef& key = file.keys()[k];
      EXPECT_EQ(key.label, expected.keys[k].label);
      EXPECT_EQ(key.flags, expected.keys[k].flags) << key.label;
      EXPECT_EQ(key.components, expected.keys[k].components) << key.label;
    }
    ASSERT_EQ(file.memoCount(), expected.memos.size());
    for (std::size_t m = 0; m < expected.memos.size(); ++m) {
      EXPECT_EQ(file.memos()[m].label(), expected.memos[m]);
      EXPECT_EQ(file.memos()[m].size(), 64000u);
    }
  }
}

// The upgrade engine compares descriptors byte for byte: the records here must describe
// themselves exactly as the tables the descriptor's golden bytes were taken from.
TEST(Declarations, DescriptorsMatchTheGoldenTables) {
  const auto descriptorOf = [](const files::FileSpec& spec) {
    const files::FileDeclaration file(spec);
    return std::vector<std::uint8_t>(file.descriptor().begin(), file.descriptor().end());
  };
  EXPECT_EQ(descriptorOf(kProjectsSpec), descriptorOf(files::test::kProjectsSpec));
  EXPECT_EQ(descriptorOf(kFuncSpec), descriptorOf(files::test::kFuncSpec));
}

TEST(Declarations, TextFieldsCutAtTheirCapacity) {
  const std::string ninetyNine(99, 'd');
  PRO->DESCRIPTION = ninetyNine;
  EXPECT_EQ(PRO->DESCRIPTION.view(), ninetyNine);
  PRO->DESCRIPTION = ninetyNine + "e";
  EXPECT_EQ(PRO->DESCRIPTION.view(), ninetyNine);
  AGC->PLINE = "line";
  EXPECT_EQ(AGC->PLINE.clipped(), "line");
  EXPECT_EQ(AGC->PLINE.view().size(), 1024u);
}

TEST(Declarations, MainagcIsNamedByTheGlobalAtEachOpen) {
  GLO.MAINAGCFILE = "/tmp/one/main.agc";
  EXPECT_EQ(mainagc.get().currentName(), "/tmp/one/main.agc");
  GLO.MAINAGCFILE = "/tmp/two/main.agc";
  EXPECT_EQ(mainagc.get().currentName(), "/tmp/two/main.agc");
  GLO.MAINAGCFILE.clear();
}

TEST(Declarations, EveryThreadHasItsOwnRecords) {
  PRO->ID = 7;
  COD->NAME = "first thread";
  std::int32_t otherId = -1;
  std::string otherName = "unset";
  std::thread([&] {
    otherId = PRO->ID;
    otherName = COD->NAME.text();
    PRO->ID = 9;
    files::releaseThreadFiles();
  }).join();
  EXPECT_EQ(otherId, 0);
  EXPECT_EQ(otherName, "");
  EXPECT_EQ(PRO->ID, 7);
  EXPECT_EQ(COD->NAME.view(), "first thread");
}

TEST(Declarations, GlobalsAreSharedByAllThreads) {
  GLO.CATEGORY = "Games";
  std::string seen;
  std::thread([&] { seen = GLO.CATEGORY.text(); }).join();
  EXPECT_EQ(seen, "Games");
  GLO.CATEGORY.clear();
}

TEST(Declarations, TheRelationLinksCodebyNameToProjectsCodeby) {
  EXPECT_EQ(kCodebyProjects.parent, &codeby);
  EXPECT_EQ(kCodebyProjects.child, &projects);
  EXPECT_EQ(projects.get().keyNumber(kCodebyProjects.childKey), 1);
  EXPECT_EQ(codeby.get().layout().field(kCodebyProjects.parentField)->label, "COD:NAME");
  EXPECT_EQ(projects.get().layout().field(kCodebyProjects.childField)->label, "PRO:CODEBY");
  EXPECT_EQ(kCodebyProjects.updateMode, 0);
  EXPECT_EQ(kCodebyProjects.deleteMode, 0);
}

}  // namespace
}  // namespace app
