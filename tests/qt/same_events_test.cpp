// The same user actions reach the engine as the same events on the Qt backend as on the
// headless one: each case runs the test window under a headless script and under QTest
// actions that a user would do, and compares the events and the variables they leave.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/key_codes.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using namespace window::testing;
using window::AltKey;
using window::DownKey;
using window::EnterKey;
using window::HeadlessBackend;
using window::TabKey;

constexpr int kCreatedRegion = 40;

// The procedure's own handling: at opening a region is created over the name string and F1
// is alerted in the name entry; Cancel puts the focus on the list and types Down there;
// Open asks for a file, Exit asks whether to leave.
void procedure(Window& w) {
  if (window::EVENT() == window::EventOpenWindow) {
    window::CREATE(kCreatedRegion, window::ControlType::Region);
    const window::Rect at = w.control(kNameString)->at;
    window::SETPOSITION(kCreatedRegion, at.x, at.y, at.width, at.height);
    w.setProperty(kCreatedRegion, window::PropImm, 1);
    w.setProperty(kCreatedRegion, window::PropCursor, "~hand2.cur");
    window::UNHIDE(kCreatedRegion);
    w.setProperty(kNameEntry, window::PropAlrt, window::F1Key);
  }
  if (window::ACCEPTED() == kCancelButton) {
    window::SELECT(kList);
    window::PRESSKEY(window::DownKey);
  }
  if (window::ACCEPTED() == kItemOpen) {
    window::FileDialogRequest request;
    request.title = "Select A File";
    request.masks = {{"AGK Project Files", "*.agk"}};
    const auto name = window::fileDialog(request, true);
    window::CHANGE(kNameEntry, window::Value::text(name.value_or("")));
  }
  if (window::ACCEPTED() == kItemExit) {
    if (runtime::MESSAGE("Leave the window?", "Exit", runtime::kIconQuestion,
                         runtime::ButtonYes | runtime::ButtonNo,
                         runtime::ButtonNo) == runtime::ButtonYes) {
      window::POST(window::EventCloseWindow);
    }
  }
}

struct Case {
  const char* name;
  std::function<void(HeadlessBackend&)> headless;
  std::vector<Action> qt;
};

TEST(QtSameEvents, UserActionsGiveTheHeadlessEventsAndVariables) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString project = QDir(folder.path()).filePath(QStringLiteral("x.agk"));
  QFile file(project);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  const std::string projectPath = project.toStdString();

  const Case cases[] = {
      {"typing, then Tab",
       [](HeadlessBackend& b) { b.type(kNameEntry, "Ann").key(TabKey); },
       {typeInto(kNameEntry, "Ann"), key(TabKey)}},
      {"Enter accepts a changed entry",
       [](HeadlessBackend& b) { b.type(kCountEntry, "1,234").key(EnterKey).key(EnterKey); },
       {typeInto(kCountEntry, "1,234"), key(EnterKey), key(EnterKey)}},
      {"a button click",
       [](HeadlessBackend& b) { b.click(kCancelButton); },
       {click(kCancelButton)}},
      {"a check clicked three times",
       [](HeadlessBackend& b) { b.click(kActiveCheck).click(kActiveCheck).click(kActiveCheck); },
       {click(kActiveCheck), click(kActiveCheck), click(kActiveCheck)}},
      {"radios",
       [](HeadlessBackend& b) { b.click(kStudioRadio).click(kClassicRadio); },
       {click(kStudioRadio), click(kClassicRadio)}},
      {"a list row by click, then by double click",
       [](HeadlessBackend& b) { b.chooseRow(kList, 2).doubleClick(kList, 3); },
       {chooseRow(kList, 2), doubleClickRow(kList, 3)}},
      {"a right click on a list row",
       [](HeadlessBackend& b) { b.rightClick(kList, 3); },
       {rightClickRow(kList, 3)}},
      {"list headings: a click, a column resized and one moved",
       [](HeadlessBackend& b) {
         b.headerClick(kList, 2).resizeColumn(kList, 1, 60).moveColumn(kList, 2, 1);
       },
       {clickHeading(kList, 2), dragColumnBorder(kList, 1, 35), dragColumn(kList, 2, 1)}},
      {"the arrow and Enter keys on a list",
       [](HeadlessBackend& b) { b.chooseRow(kList, 1).key(DownKey).key(EnterKey); },
       {chooseRow(kList, 1), key(DownKey), key(EnterKey)}},
      {"a drop's item", [](HeadlessBackend& b) { b.chooseRow(kDrop, 2); }, {chooseItem(kDrop, 2)}},
      {"Alt and a letter",
       [](HeadlessBackend& b) { b.key(AltKey + 'A').key(AltKey + 'Q').key(AltKey + 'O'); },
       {key(AltKey + 'A'), key(AltKey + 'Q'), key(AltKey + 'O')}},
      {"a prompt's shortcut",
       [](HeadlessBackend& b) { b.key(TabKey).key(AltKey + 'N'); },
       {key(TabKey), key(AltKey + 'N')}},
      {"a click elsewhere accepts the edited entry",
       [](HeadlessBackend& b) { b.type(kNameEntry, "Bo").click(kCancelButton); },
       {typeInto(kNameEntry, "Bo"), click(kCancelButton)}},
      {"a region created at run time",
       [](HeadlessBackend& b) { b.click(kCreatedRegion).mouseOver(kCreatedRegion); },
       {click(kCreatedRegion), mouseOver(kCreatedRegion)}},
      {"a region click and the mouse over it",
       [](HeadlessBackend& b) { b.click(kRegion).mouseOver(kRegion).mouseOver(kNameEntry); },
       {click(kRegion), mouseOver(kRegion), mouseOver(kNameEntry)}},
      {"a tab, then texts on it",
       [](HeadlessBackend& b) {
         b.click(kTabTwo)
             .type(kNotesText, "one")
             .key(EnterKey)
             .key(TabKey)
             .type(kLineText, "l")
             .key(EnterKey);
       },
       {clickTab(kSheet, 1), typeInto(kNotesText, "one"), key(EnterKey), key(TabKey),
        typeInto(kLineText, "l"), key(EnterKey)}},
      {"a menu item with a file dialog",
       [&](HeadlessBackend& b) { b.click(kItemOpen).answerFile(projectPath); },
       {answeringFileDialog(project, trigger(kItemOpen))}},
      {"a message box answered No, then Yes",
       [](HeadlessBackend& b) {
         b.click(kItemExit).answer(runtime::ButtonNo).click(kItemExit).answer(runtime::ButtonYes);
       },
       {answeringBox(runtime::ButtonNo, trigger(kItemExit)),
        answeringBox(runtime::ButtonYes, trigger(kItemExit))}},
      {"OK closes the window", [](HeadlessBackend& b) { b.click(kOkButton); }, {click(kOkButton)}},
  };
  const QString home = QDir::currentPath();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    HeadlessBackend headless;
    c.headless(headless);
    headless.closeBox();
    std::vector<EventRecord> expected;
    try {
      expected = withoutMouse(runTestWindow(headless, procedure));
    } catch (const std::exception& e) {
      ADD_FAILURE() << "headless: " << e.what();
      continue;
    }
    const TestVars headlessVars = vars();
    QDir::setCurrent(home);

    reset();
    std::vector<Action> actions = c.qt;
    const bool closes =
        expected.back().event == window::EventCloseWindow && headless.remaining() > 0;
    if (!closes) actions.push_back(closeBox());
    std::vector<EventRecord> events;
    try {
      events = withoutMouse(runInQt(actions, procedure));
    } catch (const std::exception& e) {
      ADD_FAILURE() << "Qt: " << e.what();
      continue;
    }
    QDir::setCurrent(home);
    EXPECT_EQ(events, expected) << "Qt: " << describeEvents(events)
                                << "\nheadless: " << describeEvents(expected);
    EXPECT_EQ(std::memcmp(&vars(), &headlessVars, sizeof(TestVars)), 0)
        << "name \"" << std::string(vars().name, 21) << "\" / \""
        << std::string(headlessVars.name, 21) << "\" " << vars().count << " " << headlessVars.count;
  }
}

}  // namespace
}  // namespace qtui::testing
