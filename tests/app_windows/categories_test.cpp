// The category list, edited in its rows, and the category form: what each request stores and
// answers, duplicates refused whatever their case, and the list as a lookup.
#include <gtest/gtest.h>

#include <string>

#include "app/dictionary/services.h"
#include "app/windows/browse_categories.h"
#include "app/windows/update_categories.h"
#include "classlib/request.h"
#include "platform/runtime/message.h"
#include "platform/window/key_codes.h"
#include "platform/window/window.h"
#include "tests/app_windows/window_fixture.h"

namespace app {
namespace {

using testing::Shown;
using window::HeadlessBackend;
using window::Window;

constexpr int kEditor = kCategoriesClose + 1;  // the row editor, the first control made at run time

class CategoriesTest : public testing::WindowTest {
 protected:
  int runList(HeadlessBackend& script, int request = 0) {
    return run(script, request, browse_Categories);
  }
  int runForm(HeadlessBackend& script, int request) {
    return run(script, request, update_categories);
  }
  // Reads category `name` into the buffer, as a list does before it runs the form.
  void read(std::string_view name) {
    relationManager(categort)->open();
    CAT->CATDESCRIPTION = name;
    ASSERT_EQ(fileManager(categort)->tryFetch(1), 0);
    relationManager(categort)->close();
  }
};

TEST_F(CategoriesTest, InsertChangeAndDeleteWorkInTheListRow) {
  addCategory("Games");
  addCategory("Tools");
  HeadlessBackend script;
  std::vector<Shown> pages;
  const auto look = [&](Window& w) { pages.push_back(shown(w, kCategoriesList)); };
  script.click(kCategoriesInsert)
      .checkpoint("an editable row, not the form",
                  [&](Window& w) {
                    EXPECT_EQ(w.focus(), kEditor);
                    EXPECT_EQ(w.title(), "Categories");
                  })
      .type(kEditor, "Demos")
      .key(window::EnterKey)
      .checkpoint("inserted", look)
      .chooseRow(kCategoriesList, 3)
      .click(kCategoriesChange)
      .type(kEditor, "Utilities")
      .key(window::EnterKey)
      .checkpoint("changed", look)
      .chooseRow(kCategoriesList, 1)
      .click(kCategoriesDelete)
      .answer(runtime::ButtonYes)
      .checkpoint("deleted", look)
      .click(kCategoriesClose);
  EXPECT_EQ(runList(script), classlib::ResponseCompleted) << "Close from the menu answers 1";
  EXPECT_EQ(pages, (std::vector<Shown>{{"[Demos]", "Games", "Tools"},
                                       {"Demos", "Games", "[Utilities]"},
                                       {"[Games]", "Utilities"}}));
  EXPECT_EQ(categories(), (std::vector<std::string>{"Games", "Utilities"}));
}

TEST_F(CategoriesTest, DownInTheEditorSavesTheRowAndEditsTheNext) {
  addCategory("Games");
  addCategory("Tools");
  HeadlessBackend script;
  script.chooseRow(kCategoriesList, 1)
      .click(kCategoriesChange)
      .type(kEditor, "Arcade")
      .key(window::DownKey)
      .checkpoint("the next row edited",
                  [&](Window& w) {
                    EXPECT_EQ(w.focus(), kEditor);
                    EXPECT_EQ(runtime::CLIP(w.control(kEditor)->screenText), "Tools");
                  })
      .key(window::EscKey)
      .click(kCategoriesClose);
  runList(script);
  EXPECT_EQ(categories(), (std::vector<std::string>{"Arcade", "Tools"}));
}

TEST_F(CategoriesTest, ADuplicateIsRefusedWhateverItsCase) {
  addCategory("Games");
  for (const char* typed : {"Games", "GAMES", "games"}) {
    SCOPED_TRACE(typed);
    HeadlessBackend script;
    script.click(kCategoriesInsert)
        .type(kEditor, typed)
        .key(window::EnterKey)
        .answer(runtime::ButtonOk)
        .checkpoint("still editing what was typed",
                    [&](Window& w) {
                      EXPECT_EQ(w.focus(), kEditor);
                      EXPECT_EQ(runtime::CLIP(w.control(kEditor)->screenText), typed);
                    })
        .key(window::EscKey)
        .click(kCategoriesClose);
    runList(script);
    ASSERT_EQ(script.boxes().size(), 1u);
    EXPECT_NE(script.boxes()[0].text.find("Creates Duplicate Key"), std::string::npos)
        << script.boxes()[0].text;
    EXPECT_EQ(categories(), (std::vector<std::string>{"Games"}));
  }
}

TEST_F(CategoriesTest, AfterARefusedDuplicateTheRowSelectedBeforeStaysSelected) {
  addCategory("Games");
  addCategory("Tools");
  const struct {
    const char* name;
    int row;  // selected before
    int button;
    const char* typed;
    Shown after;
  } cases[] = {
      {"an insert", 1, kCategoriesInsert, "tools", {"[Games]", "Tools"}},
      {"an insert after the last row", 2, kCategoriesInsert, "games", {"Games", "[Tools]"}},
      {"a change", 2, kCategoriesChange, "GAMES", {"Games", "[Tools]"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessBackend script;
    Shown seen;
    script.chooseRow(kCategoriesList, c.row)
        .click(c.button)
        .type(kEditor, c.typed)
        .key(window::EnterKey)
        .answer(runtime::ButtonOk)
        .key(window::EscKey)
        .checkpoint("given up", [&](Window& w) { seen = shown(w, kCategoriesList); })
        .click(kCategoriesClose);
    runList(script);
    EXPECT_EQ(seen, c.after);
    EXPECT_EQ(categories(), (std::vector<std::string>{"Games", "Tools"}));
  }
}

TEST_F(CategoriesTest, AsALookupSelectAnswersTheRecordAndCloseCancels) {
  addCategory("Demos");
  addCategory("Games");
  addCategory("Tools");
  const struct {
    const char* name;
    std::function<void(HeadlessBackend&)> choose;
    int response;
    const char* buffer;
  } cases[] = {
      {"double click", [](HeadlessBackend& b) { b.doubleClick(kCategoriesList, 2); },
       classlib::ResponseCompleted, "Games"},
      {"select",
       [](HeadlessBackend& b) { b.chooseRow(kCategoriesList, 3).click(kCategoriesSelect); },
       classlib::ResponseCompleted, "Tools"},
      {"close", [](HeadlessBackend& b) { b.click(kCategoriesClose); }, classlib::ResponseCancelled,
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeadlessBackend script;
    c.choose(script);
    EXPECT_EQ(runList(script, classlib::RequestSelect), c.response);
    if (c.buffer) {
      EXPECT_EQ(CAT->CATDESCRIPTION.view(), c.buffer);
    }
  }
}

TEST_F(CategoriesTest, ACategoryOf49CharactersIsStoredWhole) {
  const std::string longest(49, 'c');
  HeadlessBackend script;
  script.click(kCategoriesInsert)
      .type(kEditor, longest + "xyz")
      .key(window::EnterKey)
      .click(kCategoriesClose);
  runList(script);
  EXPECT_EQ(categories(), (std::vector<std::string>{longest}));
}

TEST_F(CategoriesTest, TheViewRequestOffersNoEditing) {
  addCategory("Games");
  HeadlessBackend script;
  script
      .checkpoint("disabled",
                  [](Window& w) {
                    for (int c : {kCategoriesInsert, kCategoriesChange, kCategoriesDelete})
                      EXPECT_TRUE(w.control(c)->disabled) << c;
                  })
      .key(window::DeleteKey)
      .click(kCategoriesClose);
  runList(script, classlib::RequestView);
  EXPECT_EQ(categories(), (std::vector<std::string>{"Games"}));
}

TEST_F(CategoriesTest, TheFormStoresTheCategoryForEachRequest) {
  addCategory("Games");
  HeadlessBackend insert;
  std::string status;
  insert.checkpoint("status", [&](Window& w) { status = w.statusText(2); })
      .type(kCategoryEntry, "Tools")
      .click(kCategoryOk);
  EXPECT_EQ(runForm(insert, classlib::RequestInsert), classlib::ResponseCompleted);
  EXPECT_EQ(status, "Record Will Be Added");

  read("Games");
  HeadlessBackend duplicate;
  duplicate.type(kCategoryEntry, "TOOLS")
      .click(kCategoryOk)
      .answer(runtime::ButtonOk)
      .click(kCategoryCancel)
      .answer(runtime::ButtonYes);
  EXPECT_EQ(runForm(duplicate, classlib::RequestChange), classlib::ResponseCancelled);
  ASSERT_FALSE(duplicate.boxes().empty());
  EXPECT_NE(duplicate.boxes()[0].text.find("Creates Duplicate Key"), std::string::npos);

  read("Games");
  HeadlessBackend view;
  bool readOnly = false;
  view.checkpoint("view",
                  [&](Window& w) {
                    status = w.statusText(2);
                    readOnly = w.control(kCategoryEntry)->readOnly;
                  })
      .click(kCategoryOk);
  EXPECT_EQ(runForm(view, classlib::RequestView), classlib::ResponseCancelled);
  EXPECT_EQ(status, "View Record");
  EXPECT_TRUE(readOnly);

  read("Games");
  HeadlessBackend remove;
  remove.checkpoint("status", [&](Window& w) { status = w.statusText(2); })
      .click(kCategoryOk)
      .answer(runtime::ButtonYes);
  EXPECT_EQ(runForm(remove, classlib::RequestDelete), classlib::ResponseCompleted);
  EXPECT_EQ(status, "");
  EXPECT_EQ(categories(), (std::vector<std::string>{"Tools"}));
}

}  // namespace
}  // namespace app
