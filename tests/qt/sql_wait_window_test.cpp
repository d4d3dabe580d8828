// The SQL wait window as the Qt backend draws it, kept as build/screenshots/sql_wait_window.png
// to be looked at by eye: the wait text, the bar and the table's name, centred, without a title.
#include "upkeep_sql/sql_wait_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include "platform/window/engine.h"
#include "qt_test_support.h"
#include "upkeep_sql/sql_backends.h"
#include "upkeep_sql/wait_progress.h"

namespace qtui::testing {
namespace {

bool showsText(const QWidget* widget, const QString& text) {
  for (const QLabel* label : widget->findChildren<QLabel*>())
    if (label->text() == text) return true;
  return false;
}

TEST(QtSqlWaitWindow, ShowsTheWaitTextTheBarAndTheTablesName) {
  QtBackend& b = backend();
  const window::InstalledBackend installed(b);
  upkeep_sql::resetSqlBackendState();
  upkeep_sql::WaitProgress& progress = upkeep_sql::waitProgress();
  progress.activity = "Creating New SQL Table... dbo.customers";
  progress.fileName = "dbo.customers";
  progress.SQLProgressPercent = 40;
  {
    upkeep_sql::SqlWaitWindow wait;
    wait.makeVisible();
    ASSERT_TRUE(wait.shown());
    QWidget* widget = b.windowWidget(*window::currentWindow());
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(widget->windowTitle().toStdString(), "Upkeep") << "the desktop names the process";
    EXPECT_TRUE(showsText(widget, "Creating New SQL Table... dbo.customers"));
    EXPECT_TRUE(showsText(widget, "dbo.customers"));
    const QProgressBar* bar = widget->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 40);
    QDir folder(QStringLiteral(GD_SCREENSHOT_DIR));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    EXPECT_TRUE(widget->grab().save(folder.filePath(QStringLiteral("sql_wait_window.png"))));
    upkeep_sql::showProgress(75);
    EXPECT_EQ(bar->value(), 75) << "each progress shown redraws the bar";
  }
  EXPECT_EQ(window::openWindows(), 0);
  upkeep_sql::resetSqlBackendState();
}

}  // namespace
}  // namespace qtui::testing
