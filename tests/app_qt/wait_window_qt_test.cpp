// The upgrade's wait window on Qt (offscreen): its title, its activity, bar and file name as
// the desktop shows them while a file is converted.
#include <gtest/gtest.h>

#include <QDir>
#include <QWidget>

#include "platform/window/engine.h"
#include "tests/qt/qt_test_support.h"
#include "upkeep/file_upgrade_wait_window.h"

namespace app {
namespace {

TEST(WaitWindowOnQt, TheUpgradesWaitWindowHasItsOwnTitle) {
  qtui::QtBackend& b = qtui::testing::backend();
  const window::InstalledBackend installed(b);
  upkeep::FileUpgradeWaitWindow wait;
  wait.open("projects.aaa");
  wait.activity("Please wait - Upgrading file", 40);
  ASSERT_TRUE(wait.shown());
  QWidget* top = b.windowWidget(*window::currentWindow());
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->windowTitle().toStdString(), "Upkeep") << "the desktop names the process";
  QDir().mkpath(QStringLiteral(GD_SCREENSHOT_DIR));
  EXPECT_TRUE(top->grab().save(QStringLiteral(GD_SCREENSHOT_DIR "/upgrade_wait_window.png")));
  wait.close();
  EXPECT_EQ(window::openWindows(), 0);
}

}  // namespace
}  // namespace app
