// Timer events at the window's Timer property; mouse events over controls and regions that ask
// for them; the window's size.
#include <gtest/gtest.h>

#include "test_window.h"

namespace window::testing {
namespace {

TEST(Timer, TicksAtTheTimerPropertyBecomeTimerEvents) {
  reset();
  HeadlessBackend b;
  int timerAtOpen = -1;
  const Handler setTimer = [&](Window& w) {
    if (EVENT() == EventOpenWindow) {
      w.setProperty(0, PropTimer, 8);
      timerAtOpen = b.timerOf(w);
    }
  };
  b.timer()
      .timer()
      .checkpoint("ticks faster than the loop make one event",
                  [](Window& w) {
                    w.timerTick();
                    w.timerTick();
                  })
      .closeBox();
  int timers = 0;
  for (const EventRecord& e : runTestWindow(b, setTimer)) timers += e.event == EventTimer;
  EXPECT_EQ(timerAtOpen, 8);
  EXPECT_EQ(timers, 3);
}

TEST(Timer, AWindowWithoutATimerCannotTick) {
  reset();
  HeadlessBackend b;
  b.timer();
  EXPECT_THROW(runTestWindow(b), ScriptError);
}

TEST(Mouse, RegionsThatAskReportInMoveAndOut) {
  reset();
  HeadlessBackend b;
  int region = 0;
  const Handler createRegion = [&](Window& w) {
    if (EVENT() == EventOpenWindow) {
      // A link region over the string control, as a link manager makes it.
      region = CREATE(kNameString + 2800, ControlType::Region);
      const Rect r = w.control(kNameString)->at;
      SETPOSITION(region, r.x, r.y, r.width, r.height);
      w.setProperty(region, PropImm, 1);
      w.setProperty(region, PropCursor, "~hand2.cur");
      UNHIDE(region);
    }
  };
  b.mouseOver(kNameString)
      .mouseAt(10, 172)
      .mouseOver(kOkButton)  // no Imm: no events, but the region is left
      .mouseOver(kRegion)    // the test window's own region asks too
      .checkpoint("disable it", [](Window& w) { w.setProperty(kRegion, PropDisable, 1); })
      .mouseOver(kRegion)
      .mouseOver(kNameString)
      .closeBox();
  std::vector<EventRecord> mouse;
  for (const EventRecord& e : runTestWindow(b, createRegion)) {
    if (e.event == EventMouseIn || e.event == EventMouseOut || e.event == EventMouseMove) {
      mouse.push_back(e);
    }
  }
  ASSERT_EQ(region, 2819);
  const std::vector<EventRecord> expected = {
      {EventMouseIn, 2819, 0, 34, 175},      {EventMouseMove, 2819, 0, 10, 172},
      {EventMouseOut, 2819, 0, 230, 11},     {EventMouseIn, kRegion, 0, 155, 175},
      {EventMouseOut, kRegion, 0, 155, 175}, {EventMouseIn, 2819, 0, 34, 175},
  };
  EXPECT_EQ(mouse, expected) << describeEvents(mouse);
}

TEST(Mouse, MouseFunctionsGiveThePositionOfTheEvent) {
  reset();
  HeadlessBackend b;
  std::vector<std::pair<int, int>> at;
  const Handler record = [&](Window&) {
    if (EVENT() == EventMouseIn) at.emplace_back(MOUSEX(), MOUSEY());
  };
  b.mouseAt(141, 171).closeBox();
  runTestWindow(b, record);
  EXPECT_EQ(at, (std::vector<std::pair<int, int>>{{141, 171}}));
}

TEST(Sized, ResizingReportsSizedWithTheNewSize) {
  reset();
  HeadlessBackend b;
  b.resize(300, 220).resize(300, 220).closeBox();
  int sized = 0;
  const Handler check = [&](Window& w) {
    if (EVENT() == EventSized) {
      ++sized;
      EXPECT_EQ(w.propertyNumber(0, PropWidth), 300);
      EXPECT_EQ(w.propertyNumber(0, PropHeight), 220);
    }
  };
  runTestWindow(b, check);
  EXPECT_EQ(sized, 1);  // the same size again is no change
}

}  // namespace
}  // namespace window::testing
