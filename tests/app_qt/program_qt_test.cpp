// The program on the Qt backend (offscreen): its window opens, a click on Close ends it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>

#include "app/program.h"
#include "app/windows/main_window.h"
#include "platform/os/desktop_settings.h"
#include "platform/qt/qt_backend.h"
#include "platform/runtime/message.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "tests/app/app_fixture.h"

namespace app {
namespace {

TEST(ProgramOnQt, TheMainWindowOpensAndItsCloseButtonEndsTheProgram) {
  testing::TempFolder folder;
  folder.writeProfile("[Desktop]\nDragFullWindows=1\n");
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "app_qt_tests";
  static char* argv[] = {name, nullptr};
  qtui::QtBackend screen(argc, argv);
  window::setBackend(&screen);
  runtime::setMessageAnswerer(&window::backendAnswerer());

  int waits = 0;
  bool dragOffMeanwhile = false;
  screen.setWaitHook([&](window::Window& w) {
    if (++waits > 1) throw std::runtime_error("Main is still open after its Close was clicked");
    EXPECT_EQ(w.title(), "AGK - Game Dock and Projects Database");
    dragOffMeanwhile = !os::dragFullWindows();
    QWidget* top = screen.windowWidget(w);
    ASSERT_NE(top, nullptr);
    QDir().mkpath(GD_SCREENSHOT_DIR);
    top->grab().save(QString(GD_SCREENSHOT_DIR) + "/main_window_smallest.png");
    auto* close = qobject_cast<QAbstractButton*>(screen.controlWidget(w, kMainCloseButton));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), "&Close");
    window::Window* waiting = &w;
    QTimer::singleShot(0, [&screen, close, waiting] {
      QTest::mouseClick(close, Qt::LeftButton);
      screen.interruptWait(*waiting);
    });
  });

  runtime::resetModuleInitialisers();
  registerProgramModules();
  runtime::runProcessStart();
  runtime::runThreadStart();
  runProgram();
  runtime::runThreadEnd();
  runtime::runProcessEnd();
  runtime::resetModuleInitialisers();
  screen.setWaitHook({});
  runtime::setMessageAnswerer(nullptr);
  window::setBackend(nullptr);

  EXPECT_EQ(waits, 1);
  EXPECT_EQ(window::openWindows(), 0);
  EXPECT_TRUE(dragOffMeanwhile);
  EXPECT_TRUE(os::dragFullWindows());
  EXPECT_TRUE(std::filesystem::exists(folder.path("projects.aaa")));
}

}  // namespace
}  // namespace app
