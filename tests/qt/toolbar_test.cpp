// A resizable window with a toolbar above its client area and a status bar below: the
// toolbar's buttons stand on it and are pressed like any other; sizing it is reported.
#include <gtest/gtest.h>

#include <QDir>
#include <QToolBar>
#include <mutex>

#include "platform/window/window_definition.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using window::ControlType;

constexpr const char* kKey = "qt$qt001";
constexpr const char* kLabel = "P1$TOOLS";
enum : int { kToolbar = 1, kInsert = 2, kDelete = 3, kPrompt = 4, kEntry = 5, kClose = 6 };

void registerToolWindow() {
  static std::once_flag once;
  std::call_once(once, [] {
    window::WindowDefinition d;
    d.key = kKey;
    d.label = kLabel;
    d.title = "Tools";
    d.icon = "AutoformatDoc.ico";
    d.at = window::Rect{0, 0, 160, 40};
    d.statusZones = {60, -1};
    d.resizable = true;
    d.add(kToolbar, ControlType::Toolbar).at(0, 0, 160, 16);
    d.add(kInsert, ControlType::Button)
        .parent(kToolbar)
        .icon("~14.ico")
        .tip("Insert")
        .at(2, 2, 14, 12);
    d.add(kDelete, ControlType::Button)
        .parent(kToolbar)
        .icon("~16.ico")
        .tip("Delete")
        .at(18, 2, 14, 12);
    d.add(kPrompt, ControlType::Prompt).text("&Find:").at(4, 8, 30, 10);
    d.add(kEntry, ControlType::Entry).picture("@s20").at(36, 8, 80, 10);
    d.add(kClose, ControlType::Button).text("Close").at(120, 8, 36, 14);
    window::resources().add(std::move(d));
  });
}

TEST(QtToolbar, ToolbarButtonsAreAcceptedAndSizingIsReported) {
  registerToolWindow();
  const auto closeOnClose = [](Window&) {
    if (window::ACCEPTED() == kClose) window::POST(window::EventCloseWindow);
  };
  const auto events =
      withoutMouse(runWindowInQt(kKey, kLabel,
                                 {
                                     [](Window& w) {
                                       QWidget* bar = widgetOf(w, kToolbar);
                                       QWidget* insert = widgetOf(w, kInsert);
                                       EXPECT_TRUE(bar->isAncestorOf(insert));
                                       EXPECT_TRUE(dynamic_cast<QToolBar*>(bar));
                                       QDir folder(QStringLiteral(GD_SCREENSHOT_DIR));
                                       ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
                                       EXPECT_TRUE(backend().windowWidget(w)->grab().save(
                                           folder.filePath(QStringLiteral("toolbar_window.png"))));
                                       click(kInsert)(w);
                                     },
                                     click(kDelete),
                                     [](Window& w) {
                                       QWidget* top = backend().windowWidget(w);
                                       top->resize(top->width() + 70, top->height() + 35);
                                     },
                                     [](Window& w) {
                                       // The engine has the client area's new size.
                                       EXPECT_GT(w.at().width, 160);
                                       EXPECT_GT(w.at().height, 40);
                                       click(kClose)(w);
                                     },
                                 },
                                 closeOnClose));
  const std::vector<EventRecord> expected{
      {window::EventOpenWindow, 0},     {window::EventSelected, kInsert},
      {window::EventAccepted, kInsert}, {window::EventSelected, kDelete},
      {window::EventAccepted, kDelete}, {window::EventSized, 0},
      {window::EventSelected, kClose},  {window::EventAccepted, kClose},
      {window::EventCloseWindow, 0},
  };
  EXPECT_EQ(events, expected) << window::testing::describeEvents(events);
}

}  // namespace
}  // namespace qtui::testing
