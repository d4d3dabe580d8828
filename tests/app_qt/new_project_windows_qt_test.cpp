// The New Project, Create Main.agc and functions windows on the Qt backend (offscreen): each
// opens, a screenshot of it is kept, and it closes.
#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/dictionary/globals.h"
#include "app/windows/browse_functions.h"
#include "app/windows/new_project.h"
#include "app/windows/update_functions.h"
#include "app/windows/window_requests.h"
#include "platform/classlib/request.h"
#include "platform/qt/qt_backend.h"
#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "tests/app/app_fixture.h"
#include "tests/app_windows/main_fixture.h"

namespace app {
namespace {

TEST(NewProjectWindowsOnQt, EachWindowOpensAndIsKeptAsAScreenshot) {
  testing::TempFolder folder;
  testing::MainSurroundings surroundings;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "app_qt_tests";
  static char* argv[] = {name, nullptr};
  qtui::QtBackend screen(argc, argv);
  window::setBackend(&screen);
  runtime::setMessageAnswerer(&window::backendAnswerer());

  std::vector<std::string> titles;
  screen.setWaitHook([&](window::Window& w) {
    titles.push_back(w.title());
    QWidget* top = screen.windowWidget(w);
    ASSERT_NE(top, nullptr);
    QDir().mkpath(GD_SCREENSHOT_DIR);
    top->grab().save(QString(GD_SCREENSHOT_DIR) + "/" + QString::number(titles.size()) + "_" +
                     QString::fromStdString(w.title()).replace(' ', '_') + ".png");
    w.post(window::EventCloseWindow);
    window::Window* waiting = &w;
    QTimer::singleShot(0, [&screen, waiting] { screen.interruptWait(*waiting); });
  });

  GLO.DESCRIPTION = "Space Game";
  New_Project();
  browse_functions(surroundings.links);
  windowRequests().request = classlib::RequestInsert;
  update_functions(surroundings.links);

  screen.setWaitHook({});
  runtime::setMessageAnswerer(nullptr);
  window::setBackend(nullptr);
  EXPECT_EQ(titles, (std::vector<std::string>{"New Project", "AGK Functions Database",
                                              "Record Will Be Added"}));
  EXPECT_EQ(window::openWindows(), 0);
}

}  // namespace
}  // namespace app
