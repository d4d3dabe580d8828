// Tab order, alert keys and the key buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/window/key_codes.h"
#include "test_window.h"

namespace window::testing {
namespace {

// The controls that received the focus, in order.
std::vector<int> selections(const std::vector<EventRecord>& events) {
  std::vector<int> out;
  for (const EventRecord& e : events) {
    if (e.event == EventSelected) out.push_back(e.control);
  }
  return out;
}

TEST(TabOrder, TabAndShiftTabWalkTheControlsThatCanTakeTheFocus) {
  const struct {
    const char* name;
    std::function<void(Window&)> setUp;
    int key;
    std::vector<int> expected;  // the first entry's Selected, then one per key
  } cases[] = {
      {"forward, wrapping, one radio of the option, the list on its tab",
       {},
       TabKey,
       {5, 6, 7, 9, 13, 17, 18, 26, 27, 28, 5}},
      {"backward", {}, ShiftKey + TabKey, {5, 28, 27, 26, 18, 17, 13, 9, 7, 6, 5}},
      {"the chosen radio is the option's tab stop",
       [](Window&) {
         std::strcpy(vars().ide, "Studio");
         DISPLAY();
       },
       TabKey,
       {5, 6, 7, 10, 13, 17, 18, 26, 27, 28, 5}},
      {"disabled, hidden and disabled-parent controls are skipped",
       [](Window& w) {
         DISABLE(kCountEntry);
         HIDE(kCancelButton);
         w.setProperty(kGroup, PropDisable, 1);
       },
       TabKey,
       {5, 7, 9, 13, 17, 5, 7, 9, 13, 17, 5}},
      {"the other tab's controls replace the first tab's",
       [](Window& w) { w.setProperty(kSheet, PropSelected, 2); },
       TabKey,
       {5, 6, 7, 9, 15, 16, 17, 18, 26, 27, 28}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    HeadlessBackend b;
    if (c.setUp) b.checkpoint("set up", c.setUp);
    for (int i = 0; i < 10; ++i) b.key(c.key);
    b.closeBox();
    EXPECT_EQ(selections(runTestWindow(b)), c.expected);
  }
}

TEST(TabOrder, NextAndPrevTabStopProperties) {
  reset();
  HeadlessBackend b;
  b.checkpoint("read", [](Window& w) {
     EXPECT_EQ(w.propertyNumber(0, PropNextTabStop), kCountEntry);  // after the focus
     EXPECT_EQ(w.propertyNumber(0, PropPrevTabStop), kCombo);
     EXPECT_EQ(w.propertyNumber(0, PropNextTabStop, kActiveCheck), kClassicRadio);
     EXPECT_EQ(w.propertyNumber(kList, PropNextTabStop), kOkButton);
     EXPECT_EQ(w.propertyNumber(kNamePrompt, PropNextTabStop), kNameEntry);  // not a stop
     EXPECT_FALSE(w.setProperty(0, PropNextTabStop, 3));
   }).closeBox();
  runTestWindow(b);
}

TEST(AlertKeys, AnAlertedKeyIsReportedInsteadOfItsAction) {
  reset();
  HeadlessBackend b;
  // Enter, Down and Up alerted on the name entry, as a form's navigation does; its handler
  // turns Enter and Down into Tab through the key buffer and Up into Shift+Tab.
  const Handler navigate = [](Window& w) {
    if (EVENT() == EventOpenWindow) {
      w.setProperty(kNameEntry, PropAlrt, DownKey, 253);
      w.setProperty(kNameEntry, PropAlrt, EnterKey, 254);
      w.setProperty(kNameEntry, PropAlrt, UpKey, 255);
      w.setProperty(kCountEntry, PropAlrt, UpKey);  // the first free slot
    }
    if (EVENT() == EventAlertKey) {
      if (KEYCODE() == EnterKey || KEYCODE() == DownKey) PRESSKEY(TabKey);
      if (KEYCODE() == UpKey) PRESSKEY(ShiftKey + TabKey);
    }
  };
  b.type(kNameEntry, "x").key(EnterKey).key(UpKey).key(DownKey).key(LeftKey).closeBox();
  const auto events = runTestWindow(b, navigate);
  const std::vector<EventRecord> expected = {
      {EventOpenWindow, 0},
      {EventSelected, kNameEntry},
      {EventAlertKey, kNameEntry, EnterKey},
      {EventAccepted, kNameEntry},
      {EventSelected, kCountEntry},
      {EventAlertKey, kCountEntry, UpKey},
      {EventSelected, kNameEntry},
      {EventAlertKey, kNameEntry, DownKey},
      {EventSelected, kCountEntry},
      {EventCloseWindow, 0},
  };
  std::vector<EventRecord> plain = events;
  for (EventRecord& e : plain) e.mouseX = e.mouseY = 0;
  EXPECT_EQ(plain, expected) << describeEvents(events);
  EXPECT_STREQ(vars().name, "x");
}

TEST(AlertKeys, WindowWideKeysListKeysAndTexts) {
  reset();
  HeadlessBackend b;
  const Handler setUp = [](Window& w) {
    if (EVENT() == EventOpenWindow) {
      w.setProperty(0, PropAlrt, CtrlH);  // the history key, in every control
      w.setProperty(kList, PropAlrt, RightKey, 254);
      w.setProperty(kList, PropAlrt, MouseRightUp);
      w.setProperty(kNotesText, PropAlrt, EnterKey, 254);
    }
    if (EVENT() == EventAlertKey && FIELD() == kNotesText) {
      PRESSKEY(ShiftKey + EnterKey);  // a multi-line text gets its new line back
      PRESSKEY(ShiftKey + ShiftKeyAlone);
    }
  };
  b.key(CtrlH)
      .chooseRow(kList, 1)
      .key(RightKey)
      .key(DownKey)  // not alerted: the platform moves the selection
      .rightClick(kList, 3)
      .click(kTabTwo)
      .type(kNotesText, "a")
      .key(EnterKey)
      .checkpoint("new line",
                  [](Window& w) {
                    EXPECT_EQ(w.control(kNotesText)->screenText, "a\r\n");
                    EXPECT_EQ(w.property(kList, PropAlrt, 1), std::to_string(MouseRightUp));
                    EXPECT_EQ(w.property(kList, PropAlrt, 254), std::to_string(RightKey));
                    EXPECT_EQ(w.property(0, PropAlrt), std::to_string(CtrlH));
                  })
      .closeBox();
  const auto events = runTestWindow(b, setUp);
  std::vector<EventRecord> alerts;
  for (EventRecord e : events) {
    if (e.event == EventAlertKey || e.event == EventNewSelection) {
      e.mouseX = e.mouseY = 0;
      alerts.push_back(e);
    }
  }
  const std::vector<EventRecord> expected = {
      {EventAlertKey, kNameEntry, CtrlH},    {EventNewSelection, kList, MouseLeft},
      {EventAlertKey, kList, RightKey},      {EventNewSelection, kList, DownKey},
      {EventAlertKey, kList, MouseRightUp},  {EventNewSelection, kSheet, 0},
      {EventAlertKey, kNotesText, EnterKey},
  };
  EXPECT_EQ(alerts, expected) << describeEvents(events);
}

TEST(ListKeys, CtrlEnterInAListIsItsDoubleClickWhateverEnterIsAlertedFor) {
  reset();
  HeadlessBackend b;
  const Handler setUp = [](Window& w) {
    if (EVENT() == EventOpenWindow) w.setProperty(kList, PropAlrt, EnterKey, 253);
  };
  b.chooseRow(kList, 2)
      .key(EnterKey)  // alerted: only reported
      .key(CtrlKey + EnterKey)
      .checkpoint("the focus stays on the list", [](Window& w) { EXPECT_EQ(w.focus(), kList); })
      .closeBox();
  const auto events = runTestWindow(b, setUp);
  std::vector<EventRecord> seen;
  for (EventRecord e : events) {
    if (e.control != kList || (e.event != EventAlertKey && e.event != EventAccepted)) continue;
    e.mouseX = e.mouseY = 0;
    seen.push_back(e);
  }
  const std::vector<EventRecord> expected = {{EventAlertKey, kList, EnterKey},
                                             {EventAccepted, kList, CtrlKey + EnterKey}};
  EXPECT_EQ(seen, expected) << describeEvents(events);
}

}  // namespace
}  // namespace window::testing
