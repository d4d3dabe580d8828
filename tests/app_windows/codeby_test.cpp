// The forum-member list and form: members by name (the same name twice shown twice), the
// locator, the form for insert, change and delete, the popup without editing, and the list as
// a lookup.
#include <gtest/gtest.h>

#include <string>

#include "app/windows/browse_codeby.h"
#include "app/windows/updatecodeby.h"
#include "classlib/request.h"
#include "platform/runtime/message.h"
#include "platform/window/key_codes.h"
#include "platform/window/window.h"
#include "tests/app_windows/window_fixture.h"

namespace app {
namespace {

using classlib::RequestSelect;
using classlib::RequestView;
using classlib::ResponseCancelled;
using classlib::ResponseCompleted;
using testing::Shown;
using window::HeadlessBackend;
using window::Window;

class CodebyTest : public testing::WindowTest {
 protected:
  int runList(HeadlessBackend& script, int request = 0) {
    return run(script, request, browse_codeby);
  }
  Shown names(Window& w) { return shown(w, kMembersList); }
};

TEST_F(CodebyTest, TheFormInsertsChangesAndDeletesAndEqualNamesAreBothListed) {
  addMember("Zoe");
  addMember("Adam");
  HeadlessBackend script;
  std::vector<Shown> pages;
  const auto look = [&](Window& w) { pages.push_back(names(w)); };
  script.checkpoint("sorted by name", look)
      .click(kMembersInsert)
      .in("Form codeby")
      .type(kMemberEntry, "Adam")
      .click(kMemberOk)
      .checkpoint("the same name twice", look)
      .chooseRow(kMembersList, 3)
      .click(kMembersChange)
      .in("Form codeby")
      .type(kMemberEntry, "Mia")
      .click(kMemberOk)
      .checkpoint("changed", look)
      .chooseRow(kMembersList, 1)
      .click(kMembersDelete)
      .in("Form codeby")
      .click(kMemberOk)
      .answer(runtime::ButtonYes)
      .checkpoint("deleted", look)
      .click(kMembersClose);
  EXPECT_EQ(runList(script), ResponseCompleted);
  EXPECT_EQ(pages, (std::vector<Shown>{{"[Adam]", "Zoe"},
                                       {"Adam", "[Adam]", "Zoe"},
                                       {"Adam", "Adam", "[Mia]"},
                                       {"[Adam]", "Mia"}}));
  EXPECT_EQ(members(), (std::vector<std::string>{"Adam", "Mia"}));
}

TEST_F(CodebyTest, TypingANameLocatesTheFirstMemberAtOrAfterIt) {
  for (const char* name : {"Adam", "Bea", "Carl", "Cora", "Dan"}) addMember(name);
  HeadlessBackend script;
  std::vector<std::string> selected;
  const auto look = [&](Window&) { selected.push_back(std::string(COD->NAME.view())); };
  script.key('C')
      .checkpoint("c", look)
      .key('O')
      .checkpoint("co", look)
      .key('Z')
      .checkpoint("coz", look)
      .click(kMembersClose);
  runList(script);
  EXPECT_EQ(selected, (std::vector<std::string>{"Carl", "Cora", "Dan"}));
}

TEST_F(CodebyTest, AsALookupSelectAnswersTheMemberAndCloseCancels) {
  addMember("Adam");
  addMember("Bea");
  HeadlessBackend select;
  select.chooseRow(kMembersList, 2).click(kMembersSelect);
  EXPECT_EQ(runList(select, RequestSelect), ResponseCompleted);
  EXPECT_EQ(COD->NAME.view(), "Bea");
  HeadlessBackend close;
  close.click(kMembersClose);
  EXPECT_EQ(runList(close, RequestSelect), ResponseCancelled);
}

TEST_F(CodebyTest, ThePopupOffersNoEditingAndTheViewRequestDisablesIt) {
  addMember("Adam");
  HeadlessBackend popup;
  popup.rightClick(kMembersList, 1).answerPopup(0).click(kMembersClose);
  runList(popup);
  ASSERT_EQ(popup.popups().size(), 1u);
  for (const auto& item : popup.popups()[0].items) {
    EXPECT_NE(item.text, "&Insert");
    EXPECT_NE(item.text, "&Delete");
  }
  HeadlessBackend view;
  view.checkpoint("disabled",
                  [](Window& w) {
                    for (int c : {kMembersInsert, kMembersChange, kMembersDelete})
                      EXPECT_TRUE(w.control(c)->disabled) << c;
                  })
      .doubleClick(kMembersList, 1)
      .click(kMembersClose);
  EXPECT_EQ(runList(view, RequestView), ResponseCompleted);
  EXPECT_EQ(view.openedWindows().size(), 1u) << "no form";
}

}  // namespace
}  // namespace app
