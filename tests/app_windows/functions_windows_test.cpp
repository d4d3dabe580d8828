// The functions windows run headless over a small func file: the list's icons and the quick
// filter over the example code, Insert through the form, the form's titles, its view mode and
// its "Goto Web" link.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "app/windows/browse_functions.h"
#include "app/windows/quick_find_state.h"
#include "app/windows/update_functions.h"
#include "app/windows/window_requests.h"
#include "classlib/error_level.h"
#include "classlib/request.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "platform/window/headless_backend.h"
#include "platform/window/properties.h"
#include "tests/app/app_fixture.h"
#include "tests/app_windows/main_fixture.h"
#include "tests/classlib/headless_fixture.h"

namespace app {
namespace {

using window::HeadlessBackend;
using window::Window;

struct Snippet {
  const char* name;
  const char* code;
  int fullCode;
  const char* link;
};

class FunctionsWindowsTest : public ::testing::Test {
 protected:
  // Stores the snippets in func, numbered 1, 2 ... in order.
  static void add(std::initializer_list<Snippet> snippets) {
    ASSERT_EQ(relationManager(func)->open(), classlib::LevelBenign);
    for (const Snippet& s : snippets) {
      fileManager(func)->primeRecord();
      FUN->NAME = s.name;
      FUN->DESCRIPTION = std::string("About ") + s.name;
      FUN->FULLCODE = s.fullCode;
      FUN->FORUMLINK = s.link;
      func.get().memo(1)->assign(s.code);
      ASSERT_EQ(fileManager(func)->insert(), classlib::LevelBenign);
    }
    relationManager(func)->close();
  }

  // The stored function `id`; its name is empty when there is none.
  static Func stored(int id) {
    Func out{};
    relationManager(func)->open();
    FUN->ID = id;
    if (fileManager(func)->tryFetch(func.get().keyNumber("FUN:P_ID")) == 0) out = *FUN;
    relationManager(func)->close();
    return out;
  }

  static std::vector<std::string> names(const Window& w) {
    std::vector<std::string> out;
    const window::ListView& l = w.control(kFunctionsList)->list;
    for (std::size_t r = 1; r <= l.rowCount(); ++r) out.push_back(l.cellText(r, 2));
    return out;
  }

  void runBrowse(HeadlessBackend& b) {
    {
      classlib::testing::HeadlessScope scope(b);
      browse_functions(main.links);
    }
    EXPECT_TRUE(b.finished()) << b.remaining() << " steps left";
  }

  void runForm(HeadlessBackend& b, int request) {
    windowRequests().request = static_cast<std::uint8_t>(request);
    {
      classlib::testing::HeadlessScope scope(b);
      update_functions(main.links);
    }
    EXPECT_TRUE(b.finished()) << b.remaining() << " steps left";
  }

  testing::TempFolder folder;
  testing::MainSurroundings main;
};

TEST_F(FunctionsWindowsTest, WorkingCodeShowsItsIconAndTheFilterSearchesTheCode) {
  add({{"Move", "SetSpritePosition(1, x, y)", 1, ""},
       {"Sound", "PlaySound(2)", 0, ""},
       {"Blink", "SetSpriteVisible(1, 0)", 2, ""}});
  HeadlessBackend b;
  b.checkpoint(
       "all three, icons by FUN:FULLCODE",
       [](Window& w) {
         EXPECT_EQ(names(w), (std::vector<std::string>{"Move", "Sound", "Blink"}));
         const window::ListView& l = w.control(kFunctionsList)->list;
         EXPECT_EQ(l.iconNumber(1, 1), kIconWorkingCode);
         EXPECT_EQ(l.iconNumber(2, 1), kIconSnippet);
         EXPECT_EQ(l.iconNumber(3, 1), kIconSnippet);
         EXPECT_EQ(w.property(kFunctionsList, window::PropIconList, kIconWorkingCode), "~14.ico");
         EXPECT_EQ(w.property(kFunctionsList, window::PropIconList, kIconSnippet), "~16.ico");
       })
      .chooseRow(kFunctionsList, 2)
      .checkpoint("the chosen function under the list",
                  [](Window& w) {
                    EXPECT_EQ(runtime::CLIP(w.control(kFunctionsCode)->screenText), "PlaySound(2)");
                    EXPECT_EQ(runtime::CLIP(w.control(kFunctionsDescription)->screenText),
                              "About Sound");
                  })
      .type(kFunctionsFindEntry, "setsprite")  // only in the example code, in another case
      .click(kFunctionsFindSwitch)
      .checkpoint("the two whose code holds it",
                  [](Window& w) {
                    EXPECT_EQ(names(w), (std::vector<std::string>{"Move", "Blink"}));
                    EXPECT_EQ(quickFind.QuickFindText.clipped(), "SETSPRITE");
                  })
      .click(kFunctionsClose);
  runBrowse(b);
  EXPECT_EQ(windowRequests().response, classlib::ResponseCompleted);
  EXPECT_EQ(quickFind.QuickFindText.clipped(), "");  // closing blanks the shared text
  EXPECT_EQ(globalErrors().procedureName(), "");
}

TEST_F(FunctionsWindowsTest, InsertRunsTheFormWhichTitlesItsRequest) {
  HeadlessBackend b;
  b.click(kFunctionsInsert)
      .checkpoint(
          "the form",
          [](Window& w) { EXPECT_EQ(w.property(0, window::PropText), "Record Will Be Added"); })
      .type(kFunctionTitleEntry, "Jump")
      .type(kFunctionCodeText, "SetSpritePhysicsImpulse(1)")
      .click(kFunctionWorkingCheck)
      .click(kFunctionSave)
      .checkpoint("listed",
                  [](Window& w) { EXPECT_EQ(names(w), std::vector<std::string>{"Jump"}); })
      .click(kFunctionsClose);
  runBrowse(b);
  const Func jump = stored(1);
  EXPECT_EQ(jump.NAME.text(), "Jump");
  EXPECT_EQ(jump.FULLCODE.value(), 1);
}

// What the fields under the list show: the code, the description, the poster and the link.
std::vector<std::string> fieldsShown(const Window& w) {
  std::vector<std::string> out;
  for (int control : {kFunctionsCode, kFunctionsDescription, kFunctionsUser, kFunctionsForumLink})
    out.push_back(runtime::CLIP(w.control(control)->screenText));
  return out;
}

TEST_F(FunctionsWindowsTest, TheFieldsUnderTheListShowTheSelectedFunctionAfterTheForm) {
  // The function the form inserts, changes or deletes, each time the form closes.
  const auto fill = [](const char* title, const char* code, const char* description,
                       const char* link) {
    return [=](HeadlessBackend& b) -> HeadlessBackend& {
      return b.type(kFunctionTitleEntry, title)
          .type(kFunctionDescriptionText, description)
          .type(kFunctionForumLinkEntry, link)
          .type(kFunctionCodeText, code)
          .click(kFunctionSave);
    };
  };
  const auto showing = [](std::string selected, std::vector<std::string> fields) {
    return [=](Window& w) {
      const window::ListView& l = w.control(kFunctionsList)->list;
      ASSERT_GT(l.selected, 0);
      EXPECT_EQ(names(w)[static_cast<std::size_t>(l.selected) - 1], selected);
      EXPECT_EQ(fieldsShown(w), fields);
    };
  };
  HeadlessBackend b;
  b.click(kFunctionsInsert);
  fill("Jump", "Jump()", "Makes it jump", "https://forum.example/t/1")(b)
      .checkpoint("the first insert",
                  showing("Jump", {"Jump()", "Makes it jump", "", "https://forum.example/t/1"}))
      .click(kFunctionsInsert);
  fill("Run", "Run()", "Makes it run", "https://forum.example/t/2")(b)
      .checkpoint("the second insert",
                  showing("Run", {"Run()", "Makes it run", "", "https://forum.example/t/2"}))
      .chooseRow(kFunctionsList, 1)
      .click(kFunctionsChange)
      .type(kFunctionDescriptionText, "Makes it leap")
      .type(kFunctionCodeText, "Leap()")
      .click(kFunctionSave)
      .checkpoint("the change",
                  showing("Jump", {"Leap()", "Makes it leap", "", "https://forum.example/t/1"}))
      .click(kFunctionsDelete)
      .click(kFunctionSave)
      .answer(runtime::ButtonYes)
      .checkpoint("the delete",
                  showing("Run", {"Run()", "Makes it run", "", "https://forum.example/t/2"}))
      .click(kFunctionsClose);
  runBrowse(b);
}

TEST_F(FunctionsWindowsTest, ViewingWritesNothingAndTheLinkIsOff) {
  add({{"Move", "SetSpritePosition(1, x, y)", 1, "https://forum.example/t/7"}});
  FUN->ID = 1;
  relationManager(func)->open();
  fileManager(func)->fetch(func.get().keyNumber("FUN:P_ID"));
  relationManager(func)->close();
  HeadlessBackend b;
  b.checkpoint("view", [](Window& w) {
     EXPECT_EQ(w.property(0, window::PropText), "View Record");
     EXPECT_EQ(w.propertyNumber(kFunctionTitleEntry, window::PropReadOnly), 1);
     EXPECT_EQ(w.propertyNumber(kFunctionForumLinkEntry, window::PropReadOnly), 1);
     EXPECT_EQ(w.propertyNumber(kFunctionGotoWeb, window::PropDisable), 1);
   }).click(kFunctionSave);  // only closes
  runForm(b, classlib::RequestView);
  EXPECT_EQ(windowRequests().response, classlib::ResponseCancelled);
  EXPECT_EQ(stored(1).NAME.text(), "Move");
  EXPECT_TRUE(main.links.opened.empty());
}

TEST_F(FunctionsWindowsTest, GotoWebOpensTheLinkTheEntryHolds) {
  add({{"Move", "SetSpritePosition(1, x, y)", 1, "https://forum.example/t/7"}});
  FUN->ID = 1;
  HeadlessBackend b;
  b.checkpoint(
       "changing",
       [](Window& w) { EXPECT_EQ(w.property(0, window::PropText), "Record Will Be Changed"); })
      .type(kFunctionForumLinkEntry, "https://forum.example/t/8")
      .click(kFunctionGotoWeb)
      .click(kFunctionSave);
  runForm(b, classlib::RequestChange);
  EXPECT_EQ(main.links.opened, std::vector<std::string>{"https://forum.example/t/8"});
  EXPECT_EQ(stored(1).FORUMLINK.text(), "https://forum.example/t/8");
}

}  // namespace
}  // namespace app
