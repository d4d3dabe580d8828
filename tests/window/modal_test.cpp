// A procedure called from an event handler opens its window over the caller's and runs its own
// ACCEPT loop; the caller waits, disabled, and goes on when it returns.
#include <gtest/gtest.h>

#include <mutex>

#include "test_window.h"

namespace window::testing {
namespace {

constexpr const char* kInnerKey = "test$test002";

void registerInner() {
  static std::once_flag once;
  std::call_once(once, [] {
    WindowDefinition d;
    d.key = kInnerKey;
    d.label = kTestLabel;  // the same label under another key
    d.title = "Inner";
    d.add(1, ControlType::Entry).picture("@s10").at(4, 4, 60, 10);
    d.add(2, ControlType::Button).text("&Close").at(4, 20, 40, 14);
    resources().add(std::move(d));
  });
}

// The inner procedure: its own loop; the Close button ends it.
std::vector<EventRecord> runInner() {
  registerInner();
  Window& w = OPEN(kInnerKey, kTestLabel);
  std::vector<EventRecord> events;
  while (ACCEPT()) {
    events.push_back(w.current());
    if (ACCEPTED() == 2) POST(EventCloseWindow);
  }
  CLOSE();
  return events;
}

TEST(Modal, AButtonRunsASecondWindowWhoseLoopReturns) {
  reset();
  HeadlessBackend b;
  std::vector<EventRecord> inner;
  Window* outer = nullptr;
  const Handler callInner = [&](Window& w) {
    outer = &w;
    if (ACCEPTED() == kCancelButton) {
      inner = runInner();
      // Back in the caller: its window is current and enabled again.
      EXPECT_EQ(currentWindow(), &w);
      EXPECT_TRUE(w.enabled());
    }
  };
  b.click(kCancelButton)
      .in("Inner")
      .checkpoint("the caller waits",
                  [&](Window& w) {
                    EXPECT_EQ(w.title(), "Inner");
                    EXPECT_EQ(openWindows(), 2);
                    ASSERT_NE(outer, nullptr);
                    EXPECT_FALSE(outer->enabled());
                    // Input for the waiting window is not taken.
                    outer->clicked(kOkButton);
                    EXPECT_TRUE(outer->keyPressed(9));
                  })
      .type(1, "inner")
      .click(2)
      .in(kTestLabel)
      .type(kNameEntry, "after")
      .click(kOkButton);
  const auto events = runTestWindow(b, callInner);
  EXPECT_TRUE(b.finished());
  std::vector<int> innerKinds;
  for (const EventRecord& e : inner) innerKinds.push_back(e.event);
  EXPECT_EQ(innerKinds, (std::vector<int>{EventOpenWindow, EventSelected, EventAccepted,
                                          EventSelected, EventAccepted, EventCloseWindow}));
  // The caller's loop resumed where it was: the click's events, then the later ones.
  std::vector<int> outerControls;
  for (const EventRecord& e : events) outerControls.push_back(e.control);
  EXPECT_EQ(outerControls, (std::vector<int>{0, kNameEntry, kCancelButton, kCancelButton,
                                             kNameEntry, kNameEntry, kOkButton, kOkButton, 0}));
  EXPECT_STREQ(vars().name, "after");
  EXPECT_EQ(b.openedWindows(), (std::vector<std::string>{kTestLabel, kTestLabel}));
  EXPECT_EQ(openWindows(), 0);
}

TEST(Modal, TheScriptNamesTheWindowThatMustAct) {
  reset();
  HeadlessBackend b;
  b.in("Inner").closeBox();
  try {
    runTestWindow(b);
    ADD_FAILURE() << "the script should have stopped";
  } catch (const ScriptError& e) {
    EXPECT_STREQ(e.what(),
                 "step 1 expects window Inner, but window \"Test Window\" (test$test001 "
                 "P1$WINDOW) is the one asking");
  }
  EXPECT_EQ(openWindows(), 0);
}

}  // namespace
}  // namespace window::testing
