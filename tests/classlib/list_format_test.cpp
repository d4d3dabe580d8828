// The list format manager: formats kept across runs and sort orders, its popup entries, and
// what it does when its file is missing, damaged or not a list-format file at all.
#include "classlib/list_format_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "formats_file.h"
#include "headless_fixture.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/ini_file.h"
#include "platform/runtime/scripted_answerer.h"
#include "tests/support/scratch_folder.h"

namespace classlib {
namespace {

using testing::Boxes;
using testing::HeadlessScope;
using window::ControlType;

constexpr int kList = 3;
constexpr const char* kDeclared = "60L(2)|M~Name~@s29@40L(2)|M~City~@s19@";

std::string formatsWindow() {
  static const std::string label =
      testing::defineWindow("Formats", [](window::WindowDefinition& d) {
        d.add(kList, ControlType::List).at(2, 2, 120, 50).format(kDeclared);
      });
  return label;
}

class ListFormatTest : public ::testing::Test {
 protected:
  // One window's life: opens the window, sets a manager up, runs `body` and kills it.
  void session(const std::function<void(ListFormatManager&, window::Window&)>& body,
               bool restore = true, bool save = true) {
    window::HeadlessBackend script;
    HeadlessScope scope(script, Boxes::AsBefore);
    window::Window& w = window::OPEN(testing::kTestKey, formatsWindow());
    ListFormatManager lfm;
    lfm.setStore(*store_);
    lfm.init("browse_people", "game_dock", kList, restore, save, true);
    lfm.options(ini_, 0, true, 0);
    body(lfm, w);
    lfm.kill();
    EXPECT_EQ(files::STATUS(*store_), 0) << "the last manager lets go of the file";
  }

  std::string format(window::Window& w) { return w.property(kList, window::PropFormat); }

  support::ScratchFolder folder_;
  std::string ini_ = folder_.file("game_dock.INI");
  std::string storeName_ = folder_.file("Formats.FDB");
  std::unique_ptr<files::FileDeclaration> store_ =
      std::make_unique<files::FileDeclaration>(testing::formatSpec(storeName_));
  runtime::ScriptedAnswerer answerer_;
  runtime::InterceptingHalter halter_;
  runtime::ScopedMessageHandlers handlers_{answerer_, halter_};
};

TEST_F(ListFormatTest, AUsersFormatSurvivesTheEndOfTheProgram) {
  const std::string wide = "90L(2)|M~Name~@s29@40L(2)|M~City~@s19@";
  session([&](ListFormatManager&, window::Window& w) {
    EXPECT_EQ(format(w), kDeclared);
    w.setProperty(kList, window::PropFormat, wide);  // the user widened the first column
  });
  // A new run: a new declaration of the file, as a new thread would have.
  store_ = std::make_unique<files::FileDeclaration>(testing::formatSpec(storeName_));
  session([&](ListFormatManager& lfm, window::Window& w) {
    EXPECT_EQ(format(w), wide);
    EXPECT_EQ(lfm.formatName(), "SortOrder1");
  });
  EXPECT_TRUE(std::filesystem::exists(storeName_));
  EXPECT_EQ(runtime::GETINI("browse_people", "ListFormat3", "", ini_), "SortOrder1");
  EXPECT_TRUE(answerer_.shown().empty());
}

TEST_F(ListFormatTest, EachSortOrderKeepsItsOwnFormat) {
  const std::string first = "90L(2)|M~Name~@s29@40L(2)|M~City~@s19@";
  const std::string second = "60L(2)|M~Name~@s29@80L(2)|M~City~@s19@";
  session([&](ListFormatManager& lfm, window::Window& w) {
    w.setProperty(kList, window::PropFormat, first);
    lfm.changeSort("SortOrder2");  // nothing kept for it yet: the list stays as it is
    EXPECT_EQ(format(w), first);
    w.setProperty(kList, window::PropFormat, second);
    lfm.changeSort("SortOrder1");
    EXPECT_EQ(format(w), first);
    lfm.changeSort("SortOrder2");
    EXPECT_EQ(format(w), second);
  });
  session([&](ListFormatManager& lfm, window::Window& w) {
    EXPECT_EQ(lfm.formatName(), "SortOrder2") << "the name in use comes back";
    EXPECT_EQ(format(w), second);
  });
}

TEST_F(ListFormatTest, ThePopupEntriesSaveAndRestoreTheDeclaredFormat) {
  const std::string wide = "90L(2)|M~Name~@s29@40L(2)|M~City~@s19@";
  session(
      [&](ListFormatManager& lfm, window::Window& w) {
        PopupManager popup;
        popup.addItem("&Insert");
        popup.appendSource(lfm);
        EXPECT_EQ(popup.text(), "&Insert|-|Save List Format|Restore Default Format");
        w.setProperty(kList, window::PropFormat, wide);
        EXPECT_FALSE(lfm.takePopup(1));  // not its own
        EXPECT_TRUE(lfm.takePopup(2));   // save
      },
      true, false);
  session(
      [&](ListFormatManager& lfm, window::Window& w) {
        EXPECT_EQ(format(w), wide);
        lfm.setItemRange(5, 6);
        EXPECT_TRUE(lfm.takePopup(6));  // restore the declared format
        EXPECT_EQ(format(w), kDeclared);
      },
      true, false);
  session([&](ListFormatManager&, window::Window& w) { EXPECT_EQ(format(w), kDeclared); }, true,
          false);
}

TEST_F(ListFormatTest, AMissingFolderIsMadeAndStaleKeysAreRebuiltWithoutABox) {
  const struct {
    const char* name;
    std::function<std::string(const std::string& folder)> prepare;
  } cases[] = {
      {"missing folders", [](const std::string& f) { return f + "/data/lists/Formats.FDB"; }},
      {"stale keys",
       [](const std::string& f) {
         const std::string name = f + "/stale.FDB";
         files::FileDeclaration file(testing::formatSpec(name));
         files::CREATE(file);
         files::OPEN(file, 0x12);
         file.recordAs<testing::FormatRecord>().APPNAME = "other";
         files::APPEND(file);  // leaves the keys to be rebuilt
         files::CLOSE(file);
         files::OPEN(file, 0x42);
         EXPECT_EQ(runtime::ERRORCODE(), runtime::KeyFileRebuildErr);
         files::CLOSE(file);
         return name;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    storeName_ = c.prepare(folder_.path().string());
    store_ = std::make_unique<files::FileDeclaration>(testing::formatSpec(storeName_));
    session([&](ListFormatManager& lfm, window::Window&) {
      EXPECT_TRUE(lfm.saveFormat());
      EXPECT_TRUE(lfm.storeUsable());
    });
    EXPECT_TRUE(answerer_.shown().empty());
    EXPECT_TRUE(std::filesystem::exists(storeName_));
  }
}

TEST_F(ListFormatTest, AFileThatCannotBeUsedIsReportedOnceAndTheListKeepsItsFormats) {
  support::writeFile(storeName_, "this is not a data file");
  answerer_.addAnswer(runtime::ButtonOk);
  window::HeadlessBackend script;
  HeadlessScope scope(script, Boxes::AsBefore);
  window::Window& w = window::OPEN(testing::kTestKey, formatsWindow());
  ListFormatManager first, second;
  for (ListFormatManager* lfm : {&first, &second}) {
    lfm->setStore(*store_);
    lfm->init("browse_people", "game_dock", kList, true, true, true);
    lfm->options(ini_, 0, false, 0);
  }
  EXPECT_FALSE(first.saveFormat());
  EXPECT_FALSE(second.storeUsable());
  EXPECT_EQ(first.popupText(), "~Save List Format|~Restore Default Format");
  EXPECT_EQ(w.property(kList, window::PropFormat), kDeclared);
  first.kill();
  second.kill();
  ASSERT_EQ(answerer_.shown().size(), 1u);
  EXPECT_EQ(answerer_.shown()[0].caption, "List Format Manager");
  EXPECT_EQ(answerer_.shown()[0].text, "An error occured: Invalid Data File.");
  EXPECT_EQ(support::readFile(storeName_), "this is not a data file");
}

}  // namespace
}  // namespace classlib
