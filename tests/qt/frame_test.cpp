// The window frame as the desktop sees it: the buttons and size grip of a window that cannot be
// resized, and a window larger than the screen, limited to it with every control in reach.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QSizeGrip>
#include <QStatusBar>
#include <mutex>

#include "platform/window/key_codes.h"
#include "platform/window/properties.h"
#include "platform/window/window_definition.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using namespace window::testing;
using window::ControlType;

constexpr const char* kHugeKey = "qt$qt002";
constexpr const char* kHugeLabel = "P1$HUGE";
enum : int { kHugePrompt = 1, kHugeClose = 2, kHugeTop = 3 };

// Twice as wide and high as any screen the tests draw on, with Close at the far corner.
void registerHugeWindow() {
  static std::once_flag once;
  std::call_once(once, [] {
    window::WindowDefinition d;
    d.key = kHugeKey;
    d.label = kHugeLabel;
    d.title = "Huge";
    d.at = window::Rect{0, 0, 2400, 1600};
    d.statusZones = {100};
    d.add(kHugePrompt, ControlType::Prompt).text("Top left").at(4, 4, 60, 10);
    d.add(kHugeClose, ControlType::Button).text("Close").at(2330, 1580, 60, 14);
    d.add(kHugeTop, ControlType::Button).text("Top").at(4, 20, 60, 14);
    window::resources().add(std::move(d));
  });
}

TEST(QtFrame, AWindowThatCannotBeResizedHasNoMaximizeButtonOrSizeGrip) {
  bool looked = false;
  runInQt({[&](Window& w) {
    auto* top = static_cast<QMainWindow*>(backend().windowWidget(w));
    EXPECT_FALSE(top->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(top->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(top->statusBar()->isSizeGripEnabled());
    EXPECT_EQ(top->minimumSize(), top->maximumSize());
    looked = true;
    click(kOkButton)(w);
  }});
  EXPECT_TRUE(looked);
}

TEST(QtFrame, AWindowLargerThanTheScreenIsLimitedToItAndItsFarControlsCanBeReached) {
  registerHugeWindow();
  backend();  // the application, and with it the screen
  const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
  const auto closeOnClose = [](Window&) {
    if (window::ACCEPTED() == kHugeClose) window::POST(window::EventCloseWindow);
  };
  const auto events = runWindowInQt(
      kHugeKey, kHugeLabel, {[&](Window& w) {
        QWidget* top = backend().windowWidget(w);
        EXPECT_LE(top->width(), room.width());
        EXPECT_LE(top->height(), room.height());
        auto* scroller = top->findChild<QScrollArea*>();
        ASSERT_NE(scroller, nullptr);
        QWidget* close = widgetOf(w, kHugeClose);
        scroller->ensureWidgetVisible(close);
        EXPECT_FALSE(close->visibleRegion().isEmpty());
        QDir folder(QStringLiteral(GD_SCREENSHOT_DIR));
        ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
        EXPECT_TRUE(top->grab().save(folder.filePath(QStringLiteral("huge_window_limited.png"))));
        click(kHugeClose)(w);
      }},
      closeOnClose);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().event, window::EventCloseWindow);
}

// The part of `w` the screen shows of the client area's scroller.
bool inView(QWidget* w) { return !w->visibleRegion().isEmpty(); }

TEST(QtFrame, TheFocusIsScrolledIntoViewWhereverItGoes) {
  registerHugeWindow();
  const auto closeOnClose = [](Window&) {
    if (window::ACCEPTED() == kHugeClose) window::POST(window::EventCloseWindow);
  };
  runWindowInQt(kHugeKey, kHugeLabel,
                {[&](Window& w) {
                   // The first control that takes the focus is Close, at the far corner.
                   EXPECT_EQ(w.focus(), kHugeClose);
                   EXPECT_TRUE(inView(widgetOf(w, kHugeClose))) << "the focus opened out of view";
                   key(window::TabKey)(w);
                 },
                 [&](Window& w) {
                   EXPECT_EQ(w.focus(), kHugeTop);
                   EXPECT_TRUE(inView(widgetOf(w, kHugeTop))) << "Tab went out of view";
                   EXPECT_FALSE(inView(widgetOf(w, kHugeClose)));
                   key(window::ShiftKey + window::TabKey)(w);
                 },
                 [&](Window& w) {
                   EXPECT_EQ(w.focus(), kHugeClose);
                   EXPECT_TRUE(inView(widgetOf(w, kHugeClose))) << "Shift+Tab went out of view";
                   click(kHugeClose)(w);
                 }},
                closeOnClose);
}

TEST(QtFrame, AKeptPlaceOffTheScreenIsMovedSoThatTheWholeWindowIsOnIt) {
  const struct {
    const char* name;
    int x;
    int y;
  } cases[] = {
      {"past the bottom right", 600, 500},
      {"past the top left", -300, -200},
      {"far away", 20000, 20000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset();
    registerTestWindow();
    backend();  // the application, and with it the screen
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const auto keptPlace = [&](Window& w) {
      w.setProperty(0, window::PropXpos, c.x);
      w.setProperty(0, window::PropYpos, c.y);
    };
    bool looked = false;
    runWindowInQt(kTestKey, kTestLabel, {[&](Window& w) {
                    const QWidget* top = backend().windowWidget(w);
                    EXPECT_TRUE(room.contains(top->frameGeometry()))
                        << top->frameGeometry().x() << "," << top->frameGeometry().y() << " "
                        << top->frameGeometry().width() << "x" << top->frameGeometry().height();
                    looked = true;
                    closeBox()(w);
                  }},
                  {}, keptPlace);
    EXPECT_TRUE(looked);
  }
}

}  // namespace
}  // namespace qtui::testing
