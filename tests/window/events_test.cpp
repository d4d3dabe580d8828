// The events the test window's controls produce, in order, for scripted user actions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/key_codes.h"
#include "test_window.h"

namespace window::testing {
namespace {

using Script = std::function<void(HeadlessBackend&)>;
using After = std::function<void()>;

struct Case {
  const char* name;
  Script script;
  std::vector<EventRecord> expected;  // after OpenWindow and Selected of the first entry
  After after;
};

EventRecord ev(int event, int control, int key = 0) { return EventRecord{event, control, key}; }

// Events compared without their mouse positions.
std::vector<EventRecord> withoutMouse(std::vector<EventRecord> events) {
  for (EventRecord& e : events) e.mouseX = e.mouseY = 0;
  return events;
}

// The procedure's own handling: the File menu's Open asks for a file, Exit asks whether to
// leave.
void fileMenu(Window&) {
  if (ACCEPTED() == kItemOpen) {
    FileDialogRequest request;
    request.title = "Select A File";
    request.masks = {{"AGK Project Files", "*.agk"}};
    const auto name = fileDialog(request, true);
    CHANGE(kNameEntry, Value::text(name.value_or("")));
  }
  if (ACCEPTED() == kItemExit) {
    if (runtime::MESSAGE("Leave the window?", "Exit", runtime::kIconQuestion,
                         runtime::ButtonYes | runtime::ButtonNo,
                         runtime::ButtonNo) == runtime::ButtonYes) {
      POST(EventCloseWindow);
    }
  }
}

TEST(WindowEvents, OpeningGivesOpenWindowThenTheFirstControl) {
  reset();
  HeadlessBackend b;
  b.closeBox();
  const auto events = withoutMouse(runTestWindow(b));
  EXPECT_EQ(events, (std::vector<EventRecord>{ev(EventOpenWindow, 0), ev(EventSelected, kNameEntry),
                                              ev(EventCloseWindow, 0)}))
      << describeEvents(events);
  EXPECT_EQ(b.openedWindows(), std::vector<std::string>{kTestLabel});
}

TEST(WindowEvents, UserActionsProduceTheirEventsInOrder) {
  const TestVars& v = vars();
  const Case cases[] = {
      {"a changed entry is accepted when left with Tab",
       [](HeadlessBackend& b) { b.type(kNameEntry, "Ann").key(TabKey); },
       {ev(EventAccepted, kNameEntry), ev(EventSelected, kCountEntry)},
       [&] { EXPECT_STREQ(v.name, "Ann"); }},
      {"an unchanged entry is not accepted",
       [](HeadlessBackend& b) { b.key(TabKey); },
       {ev(EventSelected, kCountEntry)},
       {}},
      {"Enter accepts a changed entry and the focus stays",
       [](HeadlessBackend& b) { b.type(kCountEntry, "1,234").key(EnterKey).key(EnterKey); },
       {ev(EventSelected, kCountEntry), ev(EventAccepted, kCountEntry)},
       [&] { EXPECT_EQ(v.count, 1234); }},
      {"a button click selects and accepts it",
       [](HeadlessBackend& b) { b.click(kOkButton); },
       {ev(EventSelected, kOkButton), ev(EventAccepted, kOkButton)},
       {}},
      {"a check toggles its variable both ways",
       [](HeadlessBackend& b) { b.click(kActiveCheck).click(kActiveCheck).click(kActiveCheck); },
       {ev(EventSelected, kActiveCheck), ev(EventAccepted, kActiveCheck),
        ev(EventAccepted, kActiveCheck), ev(EventAccepted, kActiveCheck)},
       [&] { EXPECT_EQ(v.active, 1); }},
      {"a radio gives its option its value",
       [](HeadlessBackend& b) { b.click(kStudioRadio); },
       {ev(EventSelected, kStudioRadio), ev(EventAccepted, kStudioRadio)},
       [&] { EXPECT_STREQ(v.ide, "Studio"); }},
      {"a list row chosen by click, then by double click",
       [](HeadlessBackend& b) { b.chooseRow(kList, 2).doubleClick(kList, 3); },
       {ev(EventSelected, kList), ev(EventNewSelection, kList, MouseLeft),
        ev(EventNewSelection, kList, MouseLeft), ev(EventAccepted, kList, MouseLeft2)},
       {}},
      {"Enter on a list chooses its row",
       [](HeadlessBackend& b) { b.chooseRow(kList, 1).key(DownKey).key(EnterKey); },
       {ev(EventSelected, kList), ev(EventNewSelection, kList, MouseLeft),
        ev(EventNewSelection, kList, DownKey), ev(EventAccepted, kList, EnterKey)},
       {}},
      {"a menu item is accepted without taking the focus",
       [](HeadlessBackend& b) { b.click(kItemOpen).answerFile("/tmp/x.agk"); },
       {ev(EventAccepted, kItemOpen)},
       [&] { EXPECT_STREQ(v.name, "/tmp/x.agk"); }},
      {"a message box answer closes the window",
       [](HeadlessBackend& b) { b.click(kItemExit).answer(4).click(kItemExit).answer(2); },
       {ev(EventAccepted, kItemExit), ev(EventAccepted, kItemExit), ev(EventCloseWindow, 0)},
       {}},
      {"Alt and a letter presses the control that has it",
       [](HeadlessBackend& b) { b.key(AltKey + 'A').key(AltKey + 'Q').key(AltKey + 'O'); },
       {ev(EventSelected, kActiveCheck), ev(EventAccepted, kActiveCheck),
        ev(EventSelected, kOkButton), ev(EventAccepted, kOkButton)},
       [&] { EXPECT_EQ(v.active, 1); }},
      {"a letter that two controls share moves the focus between them and presses nothing",
       [](HeadlessBackend& b) {
         b.checkpoint("OK takes Cancel's letter",
                      [](Window& w) { w.setProperty(kOkButton, PropText, "&Close"); })
             .key(AltKey + 'C')
             .key(AltKey + 'C')
             .key(AltKey + 'C');
       },
       {ev(EventSelected, kOkButton), ev(EventSelected, kCancelButton),
        ev(EventSelected, kOkButton)},
       {}},
      {"Escape is the close box: the edited entry is accepted, then the window closes",
       [](HeadlessBackend& b) { b.type(kNameEntry, "Esc").key(EscKey); },
       {ev(EventAccepted, kNameEntry), ev(EventCloseWindow, 0)},
       [&] { EXPECT_STREQ(v.name, "Esc"); }},
      {"an alerted Escape is the procedure's",
       [](HeadlessBackend& b) {
         b.checkpoint("alert it", [](Window& w) {
            w.setProperty(0, PropAlrt, EscKey, 1);
          }).key(EscKey);
       },
       {ev(EventAlertKey, kNameEntry, EscKey)},
       {}},
      {"a prompt's shortcut moves to the control after it",
       [](HeadlessBackend& b) { b.key(TabKey).key(AltKey + 'N'); },
       {ev(EventSelected, kCountEntry), ev(EventSelected, kNameEntry)},
       {}},
      {"a click on another control accepts the edited entry first",
       [](HeadlessBackend& b) { b.type(kNameEntry, "Bo").click(kCancelButton); },
       {ev(EventAccepted, kNameEntry), ev(EventSelected, kCancelButton),
        ev(EventAccepted, kCancelButton)},
       [&] { EXPECT_STREQ(v.name, "Bo"); }},
      {"the close box accepts the edited entry, then closes",
       [](HeadlessBackend& b) { b.type(kNameEntry, "Zed"); },
       {ev(EventAccepted, kNameEntry)},
       [&] { EXPECT_STREQ(v.name, "Zed"); }},
      {"choosing from a drop sets its variable",
       [](HeadlessBackend& b) { b.chooseRow(kDrop, 2); },
       {ev(EventSelected, kDrop), ev(EventNewSelection, kDrop, MouseLeft),
        ev(EventAccepted, kDrop, MouseLeft)},
       [&] { EXPECT_STREQ(v.colour, "Green"); }},
      {"a region click is accepted",
       [](HeadlessBackend& b) { b.click(kRegion); },
       {ev(EventAccepted, kRegion)},
       {}},
      {"a tab click changes the sheet and its controls join the tab order",
       [](HeadlessBackend& b) {
         b.click(kTabTwo)
             .type(kNotesText, "one")
             .key(EnterKey)
             .key(TabKey)
             .type(kLineText, "l")
             .key(EnterKey);
       },
       {ev(EventNewSelection, kSheet), ev(EventSelected, kNotesText), ev(EventAccepted, kNotesText),
        ev(EventSelected, kLineText), ev(EventAccepted, kLineText)},
       [&] {
         EXPECT_EQ(std::string(v.notes, 7), "one\r\n  ");
         EXPECT_STREQ(v.line, "l");
       }},
      {"a read-only entry keeps its text",
       [](HeadlessBackend& b) {
         b.checkpoint("make it read-only",
                      [](Window& w) { w.setProperty(kNameEntry, PropReadOnly, 1); })
             .type(kNameEntry, "no")
             .key(TabKey);
       },
       {ev(EventSelected, kCountEntry)},
       [&] { EXPECT_STREQ(v.name, ""); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    HeadlessBackend b;
    c.script(b);
    b.closeBox();
    std::vector<EventRecord> events;
    try {
      events = withoutMouse(runTestWindow(b, fileMenu));
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
      continue;
    }
    ASSERT_GE(events.size(), 2u) << describeEvents(events);
    events.erase(events.begin(), events.begin() + 2);
    if (!events.empty() && events.back().event == EventCloseWindow &&
        (c.expected.empty() || c.expected.back().event != EventCloseWindow)) {
      events.pop_back();
    }
    EXPECT_EQ(events, c.expected) << describeEvents(events);
    EXPECT_TRUE(b.finished() || c.expected.back().event == EventCloseWindow ||
                c.expected.back().control == kOkButton);
    if (c.after) c.after();
  }
}

TEST(WindowEvents, F10OrAltAloneOpensTheMenuBarWhoseItemIsThenChosen) {
  reset();
  HeadlessBackend b;
  b.type(kNameEntry, "typed")
      .key(F10Key)
      .checkpoint("F10 opened it, the entry taken first",
                  [&b](Window&) {
                    EXPECT_EQ(b.menuBarOpenings(), 1);
                    EXPECT_STREQ(vars().name, "typed");
                  })
      .key(AltKey + AltKeyAlone)
      .checkpoint("Alt alone too", [&b](Window&) { EXPECT_EQ(b.menuBarOpenings(), 2); })
      .click(kItemOpen)
      .answerFile("/tmp/menu.agk")
      .checkpoint("no usable menu: the keys do nothing",
                  [](Window& w) { w.setProperty(kMenuFile, PropDisable, 1); })
      .key(F10Key)
      .key(AltKey + AltKeyAlone)
      .closeBox();
  const auto events = withoutMouse(runTestWindow(b, fileMenu));
  EXPECT_EQ(b.menuBarOpenings(), 2);
  EXPECT_STREQ(vars().name, "/tmp/menu.agk");
  EXPECT_EQ(std::count(events.begin(), events.end(), ev(EventAccepted, kItemOpen)), 1);
}

TEST(WindowEvents, AHandlerCanKeepTheWindowOpenOnCloseWindow) {
  reset();
  HeadlessBackend b;
  int refused = 0;
  const Handler refuseOnce = [&](Window& w) {
    if (EVENT() == EventCloseWindow && refused++ == 0) w.cancelClose();
  };
  b.closeBox().type(kNameEntry, "still open").closeBox();
  const auto events = runTestWindow(b, refuseOnce);
  EXPECT_EQ(refused, 2);
  EXPECT_STREQ(vars().name, "still open");
  EXPECT_TRUE(b.finished());
  EXPECT_EQ(events.back().event, EventCloseWindow);
}

TEST(WindowEvents, DisplayShowsVariablesThroughTheirPictures) {
  reset();
  std::strcpy(vars().name, "A very long name");
  vars().count = 123456;
  vars().active = 1;
  std::strcpy(vars().ide, "Studio");
  std::strcpy(vars().colour, "Blue");
  HeadlessBackend b;
  b.checkpoint("shown at opening", [](Window& w) {
     EXPECT_EQ(w.control(kNameEntry)->screenText, "A very long name");
     EXPECT_EQ(w.control(kNameString)->screenText, "A very lon");  // @s10
     EXPECT_EQ(w.control(kCountEntry)->screenText, "123,456");
     EXPECT_TRUE(w.control(kActiveCheck)->checked);
     EXPECT_TRUE(w.control(kStudioRadio)->checked);
     EXPECT_FALSE(w.control(kClassicRadio)->checked);
     EXPECT_EQ(w.choice(kDrop), 3);
     EXPECT_EQ(w.control(kNamePrompt)->screenText, "Name:");
     // The variable changes; the screen follows only on DISPLAY.
     std::strcpy(vars().name, "Bo");
     EXPECT_EQ(w.control(kNameEntry)->screenText, "A very long name");
     DISPLAY(kNameEntry, kNameEntry);
     EXPECT_EQ(w.control(kNameEntry)->screenText, "Bo");
     EXPECT_EQ(w.control(kNameString)->screenText, "A very lon");
     DISPLAY();
     EXPECT_EQ(w.control(kNameString)->screenText, "Bo");
     CHANGE(kCountEntry, Value::text("42"));
     EXPECT_EQ(vars().count, 42);
     EXPECT_EQ(w.control(kCountEntry)->screenText, "     42");
   }).closeBox();
  runTestWindow(b);
  EXPECT_TRUE(b.finished());
}

}  // namespace
}  // namespace window::testing
