// The program on the Qt backend (offscreen): its window opens, a click on Close ends it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/core/program.h"
#include "app/windows/main_window.h"
#include "platform/os/desktop_settings.h"
#include "platform/qt/qt_backend.h"
#include "platform/runtime/message.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "tests/app/app_fixture.h"
#include "tests/app_qt/qt_screen.h"

namespace app {
namespace {

TEST(ProgramOnQt, TheMainWindowOpensAndItsCloseButtonEndsTheProgram) {
  testing::TempFolder folder;
  folder.writeProfile("[Desktop]\nDragFullWindows=1\n");
  auto qt = std::make_unique<testing::QtScreen>();
  qtui::QtBackend& screen = qt->backend();

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
  qt.reset();

  EXPECT_EQ(waits, 1);
  EXPECT_EQ(window::openWindows(), 0);
  EXPECT_TRUE(dragOffMeanwhile);
  EXPECT_TRUE(os::dragFullWindows());
  EXPECT_TRUE(std::filesystem::exists(folder.path("projects.aaa")));
}

TEST(ProgramOnQt, ACorruptProjectsFileShowsTheStopBoxAndEndsTheProgram) {
  testing::TempFolder folder;
  folder.writeCorruptProjects("projects.aaa");
  auto qt = std::make_unique<testing::QtScreen>();
  testing::ThrowingHalter halter;
  QString shown;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = dynamic_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    poll.stop();
    shown = box->windowTitle() + ": " + box->text();
    QDir().mkpath(GD_SCREENSHOT_DIR);
    box->grab().save(QString(GD_SCREENSHOT_DIR) + "/upkeep_corrupt_file.png");
    box->button(QMessageBox::Ignore)->click();
  });
  poll.start();

  runtime::resetModuleInitialisers();
  registerProgramModules();
  runtime::runProcessStart();
  runtime::runThreadStart();
  EXPECT_THROW(runProgram(), std::runtime_error);
  while (window::openWindows() > 0) window::CLOSE();
  runtime::runThreadEnd();
  runtime::runProcessEnd();
  runtime::resetModuleInitialisers();
  qt.reset();

  EXPECT_EQ(shown.toStdString(),
            "Stop: Upkeep: File Corrupt. Restart program to invoke Reviver. Name : projects.aaa");
  EXPECT_TRUE(std::filesystem::exists(std::string(GD_SCREENSHOT_DIR) + "/upkeep_corrupt_file.png"));
}

}  // namespace
}  // namespace app
