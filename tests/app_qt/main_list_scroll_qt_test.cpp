// The main window's projects list on the Qt backend (offscreen) over a few hundred projects:
// the wheel and the scroll bar move its page through all of them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <string>
#include <vector>

#include "app/windows/main_window.h"
#include "platform/qt/qt_backend.h"
#include "tests/app/app_fixture.h"
#include "tests/app_qt/qt_screen.h"
#include "tests/app_windows/main_fixture.h"

namespace app {
namespace {

using testing::MainSurroundings;

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

}  // namespace
}  // namespace app
