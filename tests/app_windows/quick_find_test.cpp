// The quick filter over a small list of projects and of functions: what it finds, when it
// refills the list, and what it leaves in the shared state.
#include "app/windows/quick_find.h"

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/list_source.h"
#include "tests/classlib/headless_fixture.h"

namespace app {
namespace {

using namespace window;

constexpr const char* kKey = "quickfind$quickfind001";
constexpr int kCloseButton = 50;
constexpr int kRefreshButton = 51;  // rebuilds the list, as a window's forced reset does

// A window with the filter's controls at the numbers `c` gives.
void registerWindow(const char* label, const QuickFind::Controls& c) {
  WindowDefinition d;
  d.key = kKey;
  d.label = label;
  d.title = label;
  d.at = Rect{0, 0, 300, 200};
  d.add(c.switchButton, ControlType::Button).text("Find Off").at(4, 4, 40, 12);
  d.add(c.findEntry, ControlType::Entry).picture("@s20").at(50, 4, 80, 10);
  d.add(c.ignoreCaseCheck, ControlType::Check).text("Ingore Case").at(140, 4, 50, 10);
  d.add(c.includeMemoCheck, ControlType::Check).text("Include Memo").at(200, 4, 50, 10);
  d.add(c.list, ControlType::List).format("80L(2)|M~Name~@s40@").at(4, 20, 200, 150);
  d.add(kCloseButton, ControlType::Button).text("&Close").at(250, 180, 40, 12);
  d.add(kRefreshButton, ControlType::Button).text("&Refresh").at(200, 180, 40, 12);
  resources().add(std::move(d));
}

constexpr const char* kProjectsLabel = "P1$PROJECTS";
constexpr const char* kFunctionsLabel = "P1$FUNCTIONS";

void registerWindows() {
  static std::once_flag once;
  std::call_once(once, [] {
    registerWindow(kProjectsLabel, QuickFind::kMainControls);
    registerWindow(kFunctionsLabel, QuickFind::kFunctionsControls);
  });
}

Projects project(int id, const char* description, runtime::Date created = {}) {
  Projects p{};
  p.ID = id;
  p.DESCRIPTION = description;
  p.TYPEC = "Studio";
  p.CREATETIONDATE = created;
  return p;
}

struct Function {
  Func record;
  std::string code;
};

Function function(int id, const char* name, const char* code) {
  Function f{};
  f.record.ID = id;
  f.record.NAME = name;
  f.code = code;
  return f;
}

// A list over records kept in memory, as the class library's browse fills it: every record goes
// through the filter's record test into the list's rows, and the filter hears of the result.
struct Browse {
  std::vector<Projects> projects;
  std::vector<Function> functions;
  VectorListSource rows;
  QuickFind* filter = nullptr;
  int refills = 0;

  void refill() {
    ++refills;
    rows.rows().clear();
    for (const Projects& p : projects) {
      *PRO = p;
      if (filter->recordPasses()) rows.rows().push_back({Value::text(PRO->DESCRIPTION.text())});
    }
    for (const Function& f : functions) {
      *FUN = f.record;
      func.get().memo(1)->assign(f.code);
      if (filter->recordPasses()) rows.rows().push_back({Value::text(FUN->NAME.text())});
    }
    currentWindow()->refreshList(listControl);
    filter->listRebuilt(rows.rows().size());
  }
  int listControl = 0;

  // The names the list shows.
  std::vector<std::string> shown() {
    std::vector<std::string> out;
    for (const auto& row : rows.rows()) out.push_back(row[0].toText());
    return out;
  }
};

// Runs the window of one of the two filters through the script: the opening fills the list,
// the entry and the switch reach the filter, closing closes it.
void run(HeadlessBackend& b, QuickFind& filter, Browse& browse, const char* label,
         const QuickFind::Controls& c) {
  registerWindows();
  classlib::testing::HeadlessScope scope(b);
  OPEN(kKey, label);
  browse.filter = &filter;
  browse.listControl = c.list;
  currentWindow()->setListSource(c.list, &browse.rows);
  filter.open();
  browse.refill();
  while (ACCEPT()) {
    if (ACCEPTED() == c.findEntry) filter.textAccepted();
    if (ACCEPTED() == c.switchButton) filter.switchAccepted();
    if (ACCEPTED() == kCloseButton) POST(EventCloseWindow);
    if (ACCEPTED() == kRefreshButton) browse.refill();
  }
  filter.close();
}

class QuickFindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    browse.projects = {project(1, "Dragon Quest"), project(2, "space blaster"),
                       project(12345, "Tetris Clone", runtime::Date(2021, 3, 5)),
                       project(4, "Über Racer")};
    browse.projects[3].LONGDESCRIPTION = "Knights on wheels";
  }

  void runProjects(HeadlessBackend& b) {
    run(b, projects, browse, kProjectsLabel, QuickFind::kMainControls);
  }

  Browse browse;
  QuickFind projects = QuickFind::forProjects([this] { browse.refill(); });
  static constexpr QuickFind::Controls c = QuickFind::kMainControls;
};

TEST_F(QuickFindTest, FindsTheTextWhateverItsLetterCase) {
  const struct {
    const char* typed;
    std::vector<std::string> shown;
  } cases[] = {
      {"dragon", {"Dragon Quest"}},     {"SPACE", {"space blaster"}},
      {"tRIS cl", {"Tetris Clone"}},    {"a", {"Dragon Quest", "space blaster", "Über Racer"}},
      {"über", {"Über Racer"}},          // letters beyond ASCII fold too
      {"knights on", {"Über Racer"}},    // anywhere in the record, past the padding of others
      {"05/03/2021", {"Tetris Clone"}},  // the creation date as @d6 shows it
      {"12,345", {"Tetris Clone"}},      // PRO:ID as @n-14 shows it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    HeadlessBackend b;
    std::vector<std::string> shown;
    b.type(this->c.findEntry, c.typed)
        .click(this->c.switchButton)
        .checkpoint("filtered",
                    [&](Window& w) {
                      shown = browse.shown();
                      EXPECT_EQ(w.control(this->c.switchButton)->text, "Find On");
                      EXPECT_EQ(w.focus(), this->c.list);
                    })
        .click(kCloseButton);
    runProjects(b);
    EXPECT_EQ(shown, c.shown);
  }
}

TEST_F(QuickFindTest, TheCheckBoxesChangeOnlyTheirOwnValues) {
  HeadlessBackend b;
  b.click(c.ignoreCaseCheck)
      .click(c.ignoreCaseCheck)  // ticked and cleared again: both leave ignore-case on
      .type(c.findEntry, "dragon")
      .click(c.switchButton)
      .checkpoint("still ignores case",
                  [&](Window&) {
                    EXPECT_EQ(browse.shown(), std::vector<std::string>{"Dragon Quest"});
                    EXPECT_EQ(projects.UPPERCASE, 0);
                    EXPECT_TRUE(projects.ignoreCase());
                  })
      .click(kCloseButton);
  runProjects(b);
}

TEST_F(QuickFindTest, SwitchingOnWithABlankTextOnlyPutsTheFocusInTheEntry) {
  HeadlessBackend b;
  int refills = 0;
  b.checkpoint("opened", [&](Window&) { refills = browse.refills; })
      .click(c.switchButton)
      .checkpoint("no refill",
                  [&](Window& w) {
                    EXPECT_EQ(browse.refills, refills);
                    EXPECT_EQ(w.focus(), c.findEntry);
                    EXPECT_TRUE(projects.findOn());
                    EXPECT_EQ(browse.shown().size(), 4u);
                  })
      .type(c.findEntry, "quest")  // the text takes effect at once while the filter is on
      .click(c.list)
      .checkpoint(
          "filtered by the new text",
          [&](Window&) { EXPECT_EQ(browse.shown(), std::vector<std::string>{"Dragon Quest"}); })
      .click(kCloseButton);
  runProjects(b);
}

TEST_F(QuickFindTest, NoMatchesIsShownOnceAndSwitchesTheFilterOff) {
  HeadlessBackend b;
  b.type(c.findEntry, "zzz")
      .click(c.switchButton)
      .answer(runtime::ButtonOk)
      .checkpoint("off again",
                  [&](Window& w) {
                    EXPECT_FALSE(projects.findOn());
                    EXPECT_EQ(w.control(c.switchButton)->text, "Find Off");
                    EXPECT_EQ(browse.shown().size(), 4u);
                    EXPECT_EQ(w.focus(), c.list);
                  })
      .click(kCloseButton);
  runProjects(b);
  ASSERT_EQ(b.boxes().size(), 1u);
  const runtime::MessageRequest& box = b.boxes()[0];
  EXPECT_EQ(box.text, kNoMatchesText);
  EXPECT_EQ(box.caption, "No Matches");
  EXPECT_EQ(box.icon, runtime::kIconExclamation);
  EXPECT_EQ(box.buttons, runtime::ButtonOk);
  EXPECT_STREQ(projects.FINDSTR.clipped().c_str(), "ZZZ");  // the main window keeps the text
}

TEST_F(QuickFindTest, SwitchingOffInTheMainWindowKeepsTheTextInTheFunctionsWindowBlanksIt) {
  const struct {
    bool functions;
    const char* left;
  } cases[] = {{false, "QUEST"}, {true, ""}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.functions ? "functions" : "main");
    Browse fb;
    if (!k.functions) fb.projects = browse.projects;
    QuickFind filter = k.functions ? QuickFind::forFunctions([&] { fb.refill(); })
                                   : QuickFind::forProjects([&] { fb.refill(); });
    const QuickFind::Controls& fc =
        k.functions ? QuickFind::kFunctionsControls : QuickFind::kMainControls;
    if (k.functions) fb.functions = {function(1, "Quest", "")};
    HeadlessBackend b;
    b.type(fc.findEntry, "quest")
        .click(fc.switchButton)
        .click(fc.switchButton)
        .checkpoint("off",
                    [&](Window& w) {
                      EXPECT_EQ(filter.FINDSTR.clipped(), k.left);
                      EXPECT_EQ(runtime::CLIP(filter.workingText()), k.left);
                      EXPECT_EQ(runtime::CLIP(w.control(fc.findEntry)->screenText), k.left);
                    })
        .click(kCloseButton);
    run(b, filter, fb, k.functions ? kFunctionsLabel : kProjectsLabel, fc);
  }
}

TEST_F(QuickFindTest, OnlyTwentyBytesOfTheUpperCasedTextComeBackIntoTheEntry) {
  // "ɐ" takes two bytes and its capital "Ɐ" three: ten of them fill the entry, and
  // upper-cased they no longer fit it.
  std::string typed;
  for (int i = 0; i < 10; ++i) typed += "ɐ";
  std::string capitals;
  for (int i = 0; i < 10; ++i) capitals += "Ɐ";
  HeadlessBackend b;
  b.type(c.findEntry, typed)
      .click(c.switchButton)
      .answer(runtime::ButtonOk)  // nothing holds it
      .checkpoint("cut",
                  [&](Window&) {
                    EXPECT_EQ(runtime::CLIP(projects.workingText()), capitals);
                    EXPECT_EQ(projects.FINDSTR.clipped(), capitals.substr(0, 18));
                  })
      .click(kCloseButton);
  runProjects(b);
}

TEST_F(QuickFindTest, SharedStateFollowsTheWindowThatActedLast) {
  quickFind.QuickFindText = "left over";
  quickFind.QuickFindIgnoreCase = 1;
  quickFind.QuickFindIncludeMemo = 1;
  quickFind.QuickFindOn = 1;
  HeadlessBackend b;
  b.checkpoint("opened",
               [](Window&) {
                 EXPECT_EQ(quickFind.QuickFindText.clipped(), "");
                 EXPECT_EQ(quickFind.QuickFindIgnoreCase, 0);
                 EXPECT_EQ(quickFind.QuickFindIncludeMemo, 0);
                 EXPECT_EQ(quickFind.QuickFindOn, 0);
               })
      .type(c.findEntry, "2021")
      .click(c.list)  // leaving the entry accepts it
      .checkpoint("text accepted",
                  [](Window&) {
                    EXPECT_EQ(quickFind.QuickFindText.clipped(), "2021");
                    EXPECT_EQ(quickFind.QuickFindHasDigit, 1);
                    EXPECT_EQ(quickFind.QuickFindOn, 0);
                  })
      .click(c.switchButton)
      .checkpoint("switched on",
                  [](Window&) {
                    EXPECT_EQ(quickFind.QuickFindOn, 1);
                    EXPECT_EQ(quickFind.QuickFindIgnoreCase, 1);
                    EXPECT_EQ(quickFind.QuickFindIncludeMemo, 1);
                  })
      .type(c.findEntry, "quest")
      .click(c.list)
      .checkpoint("no digit", [](Window&) { EXPECT_EQ(quickFind.QuickFindHasDigit, 0); })
      .click(kCloseButton);
  runProjects(b);
  EXPECT_EQ(quickFind.QuickFindText.clipped(), "");
  EXPECT_EQ(quickFind.QuickFindIgnoreCase, 0);
  EXPECT_EQ(quickFind.QuickFindIncludeMemo, 0);
}

TEST_F(QuickFindTest, TheDateSearchKeepsWorkingAfterTheOtherWindowBlankedTheSharedText) {
  HeadlessBackend b;
  b.type(c.findEntry, "03/2021")
      .click(c.switchButton)
      .checkpoint("the functions window opens and closes meanwhile",
                  [&](Window&) {
                    quickFind.QuickFindText.clear();
                    quickFind.QuickFindHasDigit = 0;
                  })
      .click(kRefreshButton)
      .checkpoint(
          "still found by its date",
          [&](Window&) { EXPECT_EQ(browse.shown(), std::vector<std::string>{"Tetris Clone"}); })
      .click(kCloseButton);
  runProjects(b);
  EXPECT_TRUE(b.boxes().empty());
}

TEST_F(QuickFindTest, TheFunctionsFilterSearchesTheExampleCode) {
  Browse fb;
  fb.functions = {function(1, "Sprites", "SetSpriteImage(1, 2)"),
                  function(2, "Sounds", "PlaySound(3)"), function(7, "Music", "PlayMusic()")};
  QuickFind filter = QuickFind::forFunctions([&] { fb.refill(); });
  const QuickFind::Controls& fc = QuickFind::kFunctionsControls;
  const struct {
    const char* typed;
    std::vector<std::string> shown;
  } cases[] = {
      {"setspriteimage", {"Sprites"}},
      {"play", {"Sounds", "Music"}},
      {"music", {"Music"}},  // the name and the code both hold it: listed once
      {"7", {"Music"}},      // FUN:ID as @n-14 shows it
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.typed);
    HeadlessBackend b;
    std::vector<std::string> shown;
    b.type(fc.findEntry, k.typed)
        .click(fc.switchButton)
        .checkpoint("filtered", [&](Window&) { shown = fb.shown(); })
        .click(kCloseButton);
    run(b, filter, fb, kFunctionsLabel, fc);
    EXPECT_EQ(shown, k.shown);
  }
}

TEST_F(QuickFindTest, WithTheFilterOffEveryRecordPasses) {
  HeadlessBackend b;
  b.type(c.findEntry, "nothing like it")
      .click(kCloseButton)
      .checkpoint("all", [&](Window&) { EXPECT_EQ(browse.shown().size(), 4u); })
      .click(kCloseButton);
  runProjects(b);
  EXPECT_TRUE(b.boxes().empty());
}

}  // namespace
}  // namespace app
