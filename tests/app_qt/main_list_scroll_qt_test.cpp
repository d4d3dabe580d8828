// The main window's projects list on the Qt backend (offscreen) over a few hundred projects:
// the wheel, the scroll bar and the keys move its page through all of them, and every row of
// a page is shown whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <string>
#include <vector>

#include "app/windows/main_window.h"
#include "platform/qt/qt_backend.h"
#include "platform/runtime/text.h"
#include "platform/window/key_codes.h"
#include "tests/app/app_fixture.h"
#include "tests/app_qt/qt_screen.h"
#include "tests/app_qt/scripted_run.h"
#include "tests/app_windows/main_fixture.h"
#include "tests/qt/qt_test_support.h"

namespace app {
namespace {

using qtui::testing::Action;
using testing::MainSurroundings;
using window::Window;

constexpr int kProjects = 300;

std::string projectName(int i) {
  const std::string n = std::to_string(i);
  return "Game " + std::string(3 - n.size(), '0') + n;
}

TEST(MainWindowOnQt, TheWheelAndTheScrollBarTakeTheProjectsListThroughEveryProject) {
  testing::TempFolder folder;
  MainSurroundings main;
  for (int i = 1; i <= kProjects; ++i)
    MainSurroundings::addProject(MainSurroundings::project(projectName(i)));
  testing::QtScreen qt;
  qtui::QtBackend& screen = qt.backend();

  std::vector<std::vector<std::string>> pages;
  std::size_t mostRows = 0;
  const auto table = [&](window::Window& w) {
    return qobject_cast<QTableView*>(screen.controlWidget(w, kMainProjectsList));
  };
  const auto look = [&](window::Window& w) {
    const window::ListView& l = w.control(kMainProjectsList)->list;
    std::vector<std::string> names;
    for (std::size_t r = 1; r <= l.rowCount(); ++r) {
      for (int c = 1; c <= static_cast<int>(l.format.columns.size()); ++c) {
        const std::string text = l.cellText(r, c);
        if (text.rfind("Game ", 0) == 0) names.push_back(text.substr(0, 8));
      }
    }
    pages.push_back(names);
    mostRows = std::max(mostRows, l.rowCount());
  };
  const std::vector<std::function<void(window::Window&)>> steps = {
      [&](window::Window& w) {
        QWidget* to = table(w)->viewport();
        const QPointF at(to->width() / 2.0, to->height() / 2.0);
        QWheelEvent turn(at, to->mapToGlobal(at), {}, {0, -QWheelEvent::DefaultDeltasPerStep},
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(to, &turn);
      },
      [&](window::Window& w) {
        table(w)->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
      },
      [&](window::Window& w) {
        QScrollBar* bar = table(w)->verticalScrollBar();
        bar->setSliderDown(true);
        bar->setSliderPosition(bar->maximum());
        bar->setSliderDown(false);
      },
      [&](window::Window& w) {
        table(w)->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
      },
      [&](window::Window& w) {
        QTest::mouseClick(screen.controlWidget(w, kMainCloseButton), Qt::LeftButton);
      },
  };
  std::size_t next = 0;
  screen.setWaitHook([&](window::Window& w) {
    if (w.control(kMainProjectsList) == nullptr) return;
    if (next >= steps.size()) throw std::runtime_error("Main is still open after its Close");
    look(w);
    steps[next++](w);
  });
  Main(main.links);

  ASSERT_EQ(pages.size(), steps.size());
  ASSERT_FALSE(pages[0].empty());
  const int page = static_cast<int>(pages[0].size());
  const auto run = [](int first, int count) {
    std::vector<std::string> names;
    for (int i = first; i < first + count; ++i) names.push_back(projectName(i));
    return names;
  };
  const int lines = QApplication::wheelScrollLines();
  EXPECT_EQ(pages[0], run(1, page));
  EXPECT_EQ(pages[1], run(1 + lines, page)) << "a notch of the wheel";
  EXPECT_EQ(pages[2], run(1 + lines + page, page)) << "a page of the scroll bar";
  EXPECT_EQ(pages[3], run(kProjects - page + 1, page)) << "the thumb at the end";
  EXPECT_EQ(pages[4], run(1, page)) << "the thumb at the start";
  EXPECT_LT(mostRows, static_cast<std::size_t>(kProjects)) << "the list holds a page, not the file";
}

// Every row of the table's page lies wholly in its viewport, the first at the top.
::testing::AssertionResult pageWhollyShown(const QTableView& table) {
  const int rows = table.model()->rowCount();
  const QRect room = table.viewport()->rect();
  for (int r = 0; r < rows; ++r) {
    const QRect row = table.visualRect(table.model()->index(r, 0));
    if ((r == 0 && row.top() != 0) || row.top() < 0 || row.bottom() > room.bottom()) {
      return ::testing::AssertionFailure()
             << "row " << r + 1 << " of " << rows << " stands at y " << row.top() << " to "
             << row.bottom() << " in a viewport of height " << room.height();
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(MainWindowOnQt, EveryRowOfAPageIsWhollyShownAndPageDownShowsTheNextPage) {
  testing::TempFolder folder;
  MainSurroundings main;
  for (int i = 1; i <= kProjects; ++i)
    MainSurroundings::addProject(MainSurroundings::project(projectName(i)));

  struct Look {
    std::vector<std::string> names;  // the page's projects, first to last
    int selected = 0;
  };
  std::vector<Look> looks;
  const auto look = [&](Window& w, const char* when, const char* screenshot = nullptr) {
    SCOPED_TRACE(when);
    const auto& table = *qobject_cast<QTableView*>(qtui::testing::widgetOf(w, kMainProjectsList));
    const window::ListView& l = w.control(kMainProjectsList)->list;
    EXPECT_TRUE(pageWhollyShown(table));
    EXPECT_EQ(table.model()->rowCount(), l.visibleRows(w.control(kMainProjectsList)->at))
        << "the page holds the rows shown";
    Look seen;
    for (std::size_t r = 1; r <= l.rowCount(); ++r)
      seen.names.push_back(runtime::CLIP(l.cellText(r, 6)));
    seen.selected = l.selected;
    if (seen.selected >= 1) {
      const QRect row = table.visualRect(table.model()->index(seen.selected - 1, 0));
      EXPECT_TRUE(table.viewport()->rect().contains(row)) << "the selected row is whole";
    }
    looks.push_back(seen);
    if (screenshot) {
      QDir().mkpath(QStringLiteral(GD_SCREENSHOT_DIR));
      qtui::testing::backend().windowWidget(w)->grab().save(
          QStringLiteral(GD_SCREENSHOT_DIR "/%1.png").arg(QLatin1String(screenshot)));
    }
  };
  const auto lookThen = [&](const char* when, Action then, const char* screenshot = nullptr) {
    return Action([&look, when, then, screenshot](Window& w) {
      look(w, when, screenshot);
      then(w);
    });
  };
  using namespace qtui::testing;
  testing::runScripted(
      [&main] { Main(main.links); },
      {
          lookThen("at the first show", chooseRow(kMainProjectsList, 1), "main_list_first_show"),
          lookThen("after a click on the first row", key(window::EndKey)),
          lookThen("after End", key(window::HomeKey), "main_list_after_end"),
          lookThen("after Home", key(window::PgDnKey)),
          lookThen("after Page Down", key(window::PgUpKey), "main_list_after_page_down"),
          lookThen("after Page Up", click(kMainCloseButton)),
      });

  ASSERT_EQ(looks.size(), 6u);
  const std::size_t page = looks[0].names.size();
  ASSERT_GT(page, 1u);
  EXPECT_EQ(looks[0].names.front(), projectName(1)) << "the first project is at the top";
  EXPECT_EQ(looks[2].names.back(), projectName(kProjects));
  EXPECT_EQ(looks[2].selected, static_cast<int>(page)) << "End selects the last project";
  // Page Down shows the page after the one shown, the highlight in the same place.
  EXPECT_EQ(looks[4].names.front(), projectName(static_cast<int>(page) + 1));
  EXPECT_EQ(looks[4].selected, 1);
  EXPECT_EQ(looks[5].names, looks[3].names) << "Page Up shows the first page again";
}

}  // namespace
}  // namespace app
