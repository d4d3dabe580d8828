// Waits that nest and things that come by themselves: a window opened from an event handler
// runs its own wait over the disabled window below; the window's timer and popup menus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "platform/window/dialogs.h"
#include "platform/window/properties.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using namespace window::testing;
using window::EventAccepted;
using window::EventCloseWindow;
using window::EventOpenWindow;
using window::EventSelected;

TEST(QtModal, AWindowOpenedFromAHandlerWaitsOverTheDisabledCaller) {
  reset();
  std::vector<EventRecord> inner;
  Window* outer = nullptr;
  // Cancel opens the same window again, modal, and runs its loop to the end.
  const auto handler = [&](Window& w) {
    if (window::ACCEPTED() != kCancelButton) return;
    outer = &w;
    Window& nested = window::OPEN(kTestKey, kTestLabel);
    nested.setListSource(kList, &testRows());
    while (window::ACCEPT()) inner.push_back(nested.current());
    window::CLOSE();
  };
  const auto events = withoutMouse(
      runInQt({
                  click(kCancelButton),
                  [&](Window& w) {
                    ASSERT_NE(outer, nullptr);
                    EXPECT_NE(&w, outer) << "the nested window waits";
                    EXPECT_FALSE(backend().windowWidget(*outer)->isEnabled());
                    EXPECT_TRUE(backend().windowWidget(w)->isEnabled());
                    // Tied to its caller, so the desktop keeps it above it.
                    EXPECT_EQ(backend().windowWidget(w)->windowHandle()->transientParent(),
                              backend().windowWidget(*outer)->windowHandle());
                    typeInto(kNameEntry, "Nested")(w);
                  },
                  closeBox(),
                  [&](Window& w) {
                    EXPECT_EQ(&w, outer) << "the caller waits again";
                    EXPECT_TRUE(backend().windowWidget(w)->isEnabled());
                    EXPECT_STREQ(vars().name, "Nested");
                    closeBox()(w);
                  },
              },
              handler));
  const std::vector<EventRecord> outerExpected{
      {EventOpenWindow, 0},           {EventSelected, kNameEntry}, {EventSelected, kCancelButton},
      {EventAccepted, kCancelButton}, {EventCloseWindow, 0},
  };
  const std::vector<EventRecord> innerExpected{
      {EventOpenWindow, 0},
      {EventSelected, kNameEntry},
      {EventAccepted, kNameEntry},
      {EventCloseWindow, 0},
  };
  EXPECT_EQ(events, outerExpected) << describeEvents(events);
  EXPECT_EQ(withoutMouse(inner), innerExpected) << describeEvents(inner);
}

TEST(QtModal, AWindowShowsProgressDuringWorkWithoutWaiting) {
  registerTestWindow();
  BackendScope scope(backend());
  Window& w = window::OPEN(kTestKey, kTestLabel);
  const QPointer<QWidget> top = backend().windowWidget(w);
  auto* bar = dynamic_cast<QProgressBar*>(widgetOf(w, kProgress));
  ASSERT_NE(bar, nullptr);
  for (int step = 1; step <= 3; ++step) {
    w.setProperty(kProgress, window::PropProgress, step * 3);
    window::PendingEvents();
    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(bar->value(), step * 3);
  }
  window::CLOSE();
  EXPECT_TRUE(top.isNull()) << "the window is gone with CLOSE";
}

TEST(QtModal, ALoopOfParentsNeitherHangsNorCrashesTheWindow) {
  reset();
  const auto handler = [](Window& w) {
    // The spin stands in the group; now the group stands in the spin as well.
    if (window::EVENT() == EventOpenWindow) {
      EXPECT_TRUE(w.setProperty(kGroup, window::PropParent, kSpin));
      window::HIDE(kGroup);
      window::SETPOSITION(kGroup, 200, 90, 50, 40);
    }
  };
  const auto events = withoutMouse(runInQt({closeBox()}, handler));
  EXPECT_EQ(events.back().event, EventCloseWindow);
}

TEST(QtModal, TheWindowTimerGivesTimerEvents) {
  reset();
  int ticks = 0;
  const auto handler = [&](Window& w) {
    if (window::EVENT() == EventOpenWindow) w.setProperty(0, window::PropTimer, 2);
    if (window::EVENT() == window::EventTimer && ++ticks == 2) {
      w.setProperty(0, window::PropTimer, 0);
      window::POST(EventCloseWindow);
    }
  };
  const auto events = withoutMouse(runInQt({idle(), idle()}, handler));
  const std::vector<EventRecord> expected{
      {EventOpenWindow, 0},    {EventSelected, kNameEntry}, {window::EventTimer, 0},
      {window::EventTimer, 0}, {EventCloseWindow, 0},
  };
  EXPECT_EQ(events, expected) << describeEvents(events);
}

TEST(QtModal, PopupMenusAnswerTheChosenItem) {
  struct Case {
    const char* name;
    Qt::Key key;
    int answer;
  };
  const Case cases[] = {
      {"an item by its letter", Qt::Key_W, 3},
      {"a disabled item cannot be chosen", Qt::Key_P, 0},
      {"Escape dismisses the menu", Qt::Key_Escape, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    int answer = -1;
    std::vector<std::string> items;
    const auto handler = [&](Window&) {
      if (window::ACCEPTED() == kCancelButton) answer = window::POPUP("&Copy|-|~&Paste|+&Wrap");
    };
    const Qt::Key key = c.key;
    const Action choose = [&items, key](Window& w) {
      QTimer::singleShot(0, [&items, key] {
        QMenu* menu = dynamic_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (const QAction* a : menu->actions()) items.push_back(a->text().toStdString());
        QTest::keyClick(menu, key);
        // A key that chose nothing leaves the menu up.
        if (menu->isVisible()) menu->close();
      });
      click(kCancelButton)(w);
    };
    runInQt({choose, closeBox()}, handler);
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(items, (std::vector<std::string>{"&Copy", "", "&Paste", "&Wrap"}));
  }
}

}  // namespace
}  // namespace qtui::testing
