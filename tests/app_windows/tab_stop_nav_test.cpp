// The tab-stop navigation: which keys move the focus from each kind of control, and what it
// leaves alone.
#include "app/windows/tab_stop_nav.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/os/synthetic_keys.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/key_codes.h"
#include "platform/window/list_source.h"
#include "tests/classlib/headless_fixture.h"

namespace app {
namespace {

using namespace window;

constexpr const char* kKey = "tabstop$tabstop001";
constexpr const char* kLabel = "P1$WINDOW";

// One control of each kind, in tab order.
enum : int {
  kFirst = 1,  // BUTTON
  kEntry = 2,
  kSingleText = 3,
  kMultiText = 4,
  kSpin = 5,
  kCombo = 6,
  kList = 7,
  kDrop = 8,
  kCheck = 9,
  kOption = 10,
  kRadioA = 11,
  kRadioB = 12,
  kLast = 13,  // BUTTON
  kPrompt = 14,
};

struct Vars {
  char entry[21];
  char single[21];
  char multi[80];
  std::int32_t spin;
  char combo[10];
  char drop[10];
  std::uint8_t check;
  char radio[4];
};
Vars vars;

void registerWindow() {
  static std::once_flag once;
  std::call_once(once, [] {
    WindowDefinition d;
    d.key = kKey;
    d.label = kLabel;
    d.title = "Tab stops";
    d.at = Rect{0, 0, 200, 200};
    d.add(kFirst, ControlType::Button).text("&First").at(4, 4, 40, 12);
    d.add(kEntry, ControlType::Entry)
        .picture("@s20")
        .use(UseVariable::cstring(vars.entry, sizeof vars.entry))
        .at(4, 20, 80, 10);
    d.add(kSingleText, ControlType::Text)
        .single()
        .use(UseVariable::cstring(vars.single, sizeof vars.single))
        .at(4, 32, 80, 10);
    d.add(kMultiText, ControlType::Text)
        .use(UseVariable::cstring(vars.multi, sizeof vars.multi))
        .at(4, 44, 80, 30);
    d.add(kSpin, ControlType::Spin)
        .picture("@n3")
        .range(0, 99)
        .use(UseVariable::number(vars.spin))
        .at(4, 76, 30, 10);
    d.add(kCombo, ControlType::Combo)
        .from("x|y")
        .use(UseVariable::cstring(vars.combo, sizeof vars.combo))
        .at(4, 88, 30, 10);
    d.add(kList, ControlType::List).format("40L(2)|M~Name~@s20@").at(4, 100, 80, 40);
    d.add(kDrop, ControlType::Drop)
        .from("Red|Green")
        .use(UseVariable::cstring(vars.drop, sizeof vars.drop))
        .at(4, 142, 40, 10);
    d.add(kCheck, ControlType::Check)
        .text("&Check")
        .use(UseVariable::number(vars.check))
        .at(4, 154, 40, 10);
    d.add(kOption, ControlType::Option)
        .use(UseVariable::cstring(vars.radio, sizeof vars.radio))
        .at(4, 166, 80, 12);
    d.add(kRadioA, ControlType::Radio).text("A").value("A").parent(kOption).at(6, 167, 30, 10);
    d.add(kRadioB, ControlType::Radio).text("B").value("B").parent(kOption).at(40, 167, 30, 10);
    d.add(kLast, ControlType::Button).text("&Last").at(100, 4, 40, 12);
    d.add(kPrompt, ControlType::Prompt).text("Prompt").at(100, 20, 40, 10);
    resources().add(std::move(d));
  });
}

VectorListSource listRows({{Value::text("one")}, {Value::text("two")}, {Value::text("three")}});

struct NavRun {
  std::vector<EventRecord> events;
  std::vector<int> handled;  // the events that takeKey answered 1 for, as their key codes
};

// Opens the window, creates and builds the navigation (after `fill` has filled its queues),
// and runs the ACCEPT loop, each event going to takeKey first.
NavRun runWindow(HeadlessBackend& b, std::uint8_t option = 0,
                 const std::function<void(TabStopNav&)>& fill = {}, bool build = true) {
  registerWindow();
  vars = Vars{};
  classlib::testing::HeadlessScope scope(b);
  Window& w = OPEN(kKey, kLabel);
  w.setListSource(kList, &listRows);
  TabStopNav nav;
  nav.create();
  if (fill) fill(nav);
  if (build) nav.build(option);
  NavRun run;
  while (ACCEPT()) {
    run.events.push_back(w.current());
    if (nav.takeKey()) run.handled.push_back(KEYCODE());
  }
  nav.kill();
  return run;
}

// Puts the focus on `control` (and chooses row 1 of a list), presses `key` and answers where
// the focus is then.
int focusAfter(int control, int key, std::uint8_t option = 0,
               const std::function<void(TabStopNav&)>& fill = {}) {
  HeadlessBackend b;
  int focus = -1;
  if (control == kList) {
    b.chooseRow(kList, 1);
  } else {
    b.checkpoint("focus", [control](Window& w) { w.focusTo(control); });
  }
  b.key(key).checkpoint("after", [&](Window& w) { focus = w.focus(); }).closeBox();
  runWindow(b, option, fill);
  return focus;
}

TEST(TabStopNav, KeysMoveTheFocusByKindOfControl) {
  const int shiftTab = ShiftKey + TabKey;
  const struct {
    const char* name;
    int from;
    int key;
    int to;
    std::uint8_t option = 0;
  } cases[] = {
      {"entry: Down", kEntry, DownKey, kSingleText},
      {"entry: Enter", kEntry, EnterKey, kSingleText},
      {"entry: Up", kEntry, UpKey, kFirst},
      {"entry: Left moves the caret", kEntry, LeftKey, kEntry},
      {"entry: Right moves the caret", kEntry, RightKey, kEntry},
      {"single-line text: Enter", kSingleText, EnterKey, kMultiText},
      {"single-line text: Down", kSingleText, DownKey, kMultiText},
      {"single-line text: Up", kSingleText, UpKey, kEntry},
      {"multi-line text: Enter stays", kMultiText, EnterKey, kMultiText},
      {"multi-line text: Up stays", kMultiText, UpKey, kMultiText},
      {"multi-line text: Down stays", kMultiText, DownKey, kMultiText},
      {"spin: Enter", kSpin, EnterKey, kCombo},
      {"spin: Up stays", kSpin, UpKey, kSpin},
      {"combo: Enter", kCombo, EnterKey, kList},
      {"list: Enter", kList, EnterKey, kDrop},
      {"list: Right", kList, RightKey, kDrop},
      {"list: Left", kList, LeftKey, kCombo},
      {"list: Down moves the selection", kList, DownKey, kList},
      {"list, option set: Right stays", kList, RightKey, kList, 1},
      {"list, option set: Enter", kList, EnterKey, kDrop, 1},
      {"drop: Enter", kDrop, EnterKey, kCheck},
      {"drop: Right", kDrop, RightKey, kCheck},
      {"drop: Left", kDrop, LeftKey, kList},
      {"check: Enter", kCheck, EnterKey, kRadioA},
      {"check: Down", kCheck, DownKey, kRadioA},
      {"check: Right", kCheck, RightKey, kRadioA},
      {"check: Up", kCheck, UpKey, kDrop},
      {"check: Left", kCheck, LeftKey, kDrop},
      {"radio: Enter", kRadioA, EnterKey, kLast},
      {"button: Down", kFirst, DownKey, kEntry},
      {"button: Right", kFirst, RightKey, kEntry},
      {"button: Up wraps", kFirst, UpKey, kLast},
      {"button: Left wraps", kFirst, LeftKey, kLast},
      {"last button: Down wraps", kLast, DownKey, kFirst},
      {"Tab itself is the engine's", kEntry, TabKey, kSingleText},
      {"Shift+Tab itself is the engine's", kEntry, shiftTab, kFirst},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(focusAfter(c.from, c.key, c.option), c.to);
  }
}

// A browse alerts the arrow, page, Home and End keys of its list to scroll it: the navigation
// leaves them to it, and takes only the keys it gave the list itself.
TEST(TabStopNav, KeysThatAnotherPartAlertedOnAListStayThatPartsOwn) {
  const int keys[] = {UpKey, DownKey, PgUpKey, PgDnKey, HomeKey, EndKey};
  HeadlessBackend b;
  b.chooseRow(kList, 1).checkpoint("a browse alerts its keys", [&keys](Window& w) {
    int slot = 1;
    for (int key : keys) w.setProperty(kList, PropAlrt, key, slot++);
  });
  for (int key : keys) b.key(key);
  b.checkpoint("still on the list", [](Window& w) { EXPECT_EQ(w.focus(), kList); })
      .key(RightKey)
      .checkpoint("Right is the navigation's", [](Window& w) { EXPECT_EQ(w.focus(), kDrop); })
      .closeBox();
  const NavRun run = runWindow(b);
  std::vector<int> alerted;
  for (const EventRecord& e : run.events)
    if (e.event == EventAlertKey) alerted.push_back(e.keyCode);
  EXPECT_EQ(alerted,
            (std::vector<int>{UpKey, DownKey, PgUpKey, PgDnKey, HomeKey, EndKey, RightKey}));
  EXPECT_EQ(run.handled, (std::vector<int>{RightKey}));
}

TEST(TabStopNav, WhatTheKeysStillDoWhereTheyStay) {
  HeadlessBackend b;
  b.type(kMultiText, "ab")
      .key(EnterKey)
      .checkpoint("a new line",
                  [](Window& w) {
                    EXPECT_EQ(w.focus(), kMultiText);
                    EXPECT_EQ(w.control(kMultiText)->screenText, "ab\r\n");
                  })
      .chooseRow(kList, 1)
      .key(DownKey)
      .checkpoint("the next row", [](Window& w) { EXPECT_EQ(w.choice(kList), 2); })
      .checkpoint("to the check box", [](Window& w) { w.focusTo(kCheck); })
      .key(EnterKey)
      .checkpoint("the check box is not ticked by Enter",
                  [](Window& w) {
                    EXPECT_EQ(w.focus(), kRadioA);
                    EXPECT_FALSE(w.control(kCheck)->checked);
                  })
      .click(kFirst)
      .key(EnterKey)
      .closeBox();
  const NavRun run = runWindow(b);
  // Enter on a button presses it: the navigation leaves it alone.
  bool firstAccepted = false;
  for (const EventRecord& e : run.events)
    firstAccepted |= e.event == EventAccepted && e.control == kFirst;
  EXPECT_TRUE(firstAccepted);
  EXPECT_EQ(run.handled, (std::vector<int>{EnterKey, EnterKey}));
}

TEST(TabStopNav, EnterInAnEntryAcceptsItsNewTextOnTheWayOut) {
  HeadlessBackend b;
  b.type(kEntry, "typed").key(EnterKey).closeBox();
  const NavRun run = runWindow(b);
  bool accepted = false;
  for (const EventRecord& e : run.events)
    accepted |= e.event == EventAccepted && e.control == kEntry;
  EXPECT_TRUE(accepted);
  EXPECT_STREQ(vars.entry, "typed");
}

TEST(TabStopNav, LeavesAloneEventsBeforeTheBuildAndExcludedControls) {
  {
    SCOPED_TRACE("not built: an alerted key is the window's own");
    HeadlessBackend b;
    b.checkpoint("alert Down itself",
                 [](Window& w) {
                   w.setProperty(kEntry, PropAlrt, DownKey);
                   w.focusTo(kEntry);
                 })
        .key(DownKey)
        .checkpoint("stays", [](Window& w) { EXPECT_EQ(w.focus(), kEntry); })
        .closeBox();
    const NavRun run = runWindow(b, 0, {}, false);
    EXPECT_TRUE(run.handled.empty());
    bool alerted = false;
    for (const EventRecord& e : run.events) alerted |= e.event == EventAlertKey;
    EXPECT_TRUE(alerted);
  }
  const auto exclude = [](TabStopNav& nav) {
    nav.EXCLUDEDCONTROL->CT = kEntry;
    nav.EXCLUDEDCONTROL->ADD();
  };
  EXPECT_EQ(focusAfter(kEntry, DownKey, 0, exclude), kEntry);
  EXPECT_EQ(focusAfter(kEntry, EnterKey, 0, exclude), kEntry);
  EXPECT_EQ(focusAfter(kSingleText, UpKey, 0, exclude), kEntry);  // others still move
  {
    SCOPED_TRACE("an excluded control gets no alert keys at all");
    HeadlessBackend b;
    b.checkpoint("slots", [](Window& w) {
       for (int slot = 249; slot <= 255; ++slot) {
         EXPECT_EQ(w.propertyNumber(kEntry, PropAlrt, slot), 0) << slot;
       }
     }).closeBox();
    runWindow(b, 0, [&](TabStopNav& nav) {
      exclude(nav);
      nav.NEXTTABSTOPCONTROLQ->CT = kEntry;
      nav.NEXTTABSTOPCONTROLQ->NEXTCT = kCheck;
      nav.NEXTTABSTOPCONTROLQ->ADD();
    });
  }
}

TEST(TabStopNav, ExplicitTabOrderLinks) {
  const auto link = [](TabStopNav& nav) {
    nav.NEXTTABSTOPCONTROLQ->CT = kEntry;
    nav.NEXTTABSTOPCONTROLQ->NEXTCT = kCheck;
    nav.NEXTTABSTOPCONTROLQ->ADD();
  };
  const struct {
    const char* name;
    int from;
    int key;
    int to;
  } cases[] = {
      {"Tab follows the link", kEntry, TabKey, kCheck},
      {"Down follows it too", kEntry, DownKey, kCheck},
      {"Shift+Tab goes back along it", kCheck, ShiftKey + TabKey, kEntry},
      {"Up goes back along it", kCheck, UpKey, kEntry},
      {"Shift+Tab elsewhere is the usual order", kSingleText, ShiftKey + TabKey, kEntry},
      {"Tab on a control without a link", kSingleText, TabKey, kMultiText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(focusAfter(c.from, c.key, 0, link), c.to);
  }
  HeadlessBackend b;
  b.checkpoint("slots", [](Window& w) {
     EXPECT_EQ(w.propertyNumber(kEntry, PropAlrt, TabStopNav::kTabSlot), TabKey);
     EXPECT_EQ(w.propertyNumber(kCheck, PropAlrt, TabStopNav::kShiftTabSlot), ShiftKey + TabKey);
   }).closeBox();
  runWindow(b, 0, link);
}

TEST(TabStopNav, ShiftTabIsTypedThroughTheKeyboardLayer) {
  std::vector<int> typed;
  const os::KeySink before = os::setKeySink([&](int key) { typed.push_back(key); });
  HeadlessBackend b;
  b.checkpoint("focus", [](Window& w) { w.focusTo(kSingleText); })
      .key(UpKey)
      .checkpoint("the keystroke went to the sink, not the window",
                  [](Window& w) { EXPECT_EQ(w.focus(), kSingleText); })
      .key(DownKey)  // Tab goes through the window's own key buffer
      .checkpoint("moved on", [](Window& w) { EXPECT_EQ(w.focus(), kMultiText); })
      .closeBox();
  runWindow(b);
  os::setKeySink(before);
  EXPECT_EQ(typed, (std::vector<int>{ShiftKey + TabKey}));
}

TEST(TabStopNav, KillFreesTheQueues) {
  TabStopNav nav;
  nav.create();
  ASSERT_TRUE(nav.EXCLUDEDCONTROL && nav.NEXTTABSTOPCONTROLQ);
  EXPECT_EQ(nav.INITED, 0);
  nav.kill();
  EXPECT_FALSE(nav.EXCLUDEDCONTROL);
  EXPECT_FALSE(nav.NEXTTABSTOPCONTROLQ);
}

}  // namespace
}  // namespace app
