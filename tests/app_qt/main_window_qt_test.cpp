// The real main window on the Qt backend (offscreen) over a seeded data folder: a user
// chooses a project, goes through the three tabs and filters the search list; a screenshot
// of each tab is saved in the build's screenshots folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPixmap>
#include <QTableView>
#include <QTest>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/main_window.h"
#include "app/windows/window_procedures.h"
#include "app/windows/window_requests.h"
#include "classlib/request.h"
#include "platform/runtime/text.h"
#include "platform/window/key_codes.h"
#include "tests/app/app_fixture.h"
#include "tests/app_qt/scripted_run.h"
#include "tests/app_windows/main_fixture.h"
#include "tests/qt/frame_lines.h"
#include "tests/qt/qt_test_support.h"

namespace app {
namespace {

using qtui::testing::Action;
using testing::MainSurroundings;
using window::Window;

// Twelve projects of both IDEs and others, on several platforms, in three categories.
void seed() {
  const struct {
    const char* description;
    const char* category;
    const char* kind;
    int platforms;  // bits: Windows, Android, Mac OS, HTML 5
    const char* link;
  } projects[] = {
      {"Dragon Quest", "RPG", "Studio", 0b1111, "https://forum.example/t/101"},
      {"Space Blaster", "Shooter", "Classic", 0b0011, ""},
      {"Tetris Clone", "Puzzle", "Classic", 0b1001, "https://forum.example/t/7"},
      {"Sokoban Deluxe", "Puzzle", "Studio", 0b0110, ""},
      {"Asteroids 3D", "Shooter", "Studio", 0b1000, "https://forum.example/t/55"},
      {"Knight's Tour", "Puzzle", "Other", 0b0001, ""},
      {"Pixel Farm", "RPG", "Classic", 0b0111, ""},
      {"Neon Racer", "Racing", "Studio", 0b1101, "https://forum.example/t/3"},
      {"Dungeon Crawl", "RPG", "Studio", 0b0100, ""},
      {"Match Three", "Puzzle", "Classic", 0b1111, ""},
      {"Bullet Storm", "Shooter", "Classic", 0b0001, ""},
      {"Rally Kart", "Racing", "Studio", 0b1010, ""},
  };
  int day = 0;
  for (const auto& p : projects) {
    Projects record = MainSurroundings::project(p.description, p.category, p.kind);
    record.WINDOWSEXE = (p.platforms >> 3) & 1;
    record.ANDROID = (p.platforms >> 2) & 1;
    record.IOS = (p.platforms >> 1) & 1;
    record.HTML5 = p.platforms & 1;
    record.THREADLINK = p.link;
    record.CODEBY = "agk_fan";
    record.LASTDATE = runtime::Date(2024, 1 + day % 12, 1 + day);
    record.CREATETIONDATE = runtime::Date(2023, 1 + day % 12, 1 + day);
    record.LONGDESCRIPTION = std::string(p.description) + ": a game made with AGK " + p.kind +
                             ", in the category " + p.category + ".";
    ++day;
    MainSurroundings::addProject(record);
  }
  for (const char* category : {"Puzzle", "Racing", "RPG", "Shooter"})
    MainSurroundings::addCategory(category);
}

// Saves the window as `name`.png in the screenshots folder and answers the file's path.
std::string screenshot(const Window& w, const char* name) {
  QDir().mkpath(QStringLiteral(GD_SCREENSHOT_DIR));
  const QString path = QStringLiteral(GD_SCREENSHOT_DIR "/%1.png").arg(QLatin1String(name));
  QWidget* top = qtui::testing::backend().windowWidget(w);
  EXPECT_TRUE(top && top->grab().save(path)) << path.toStdString();
  return path.toStdString();
}

// Runs Main on the Qt backend, one action each time it waits; every action must be used.
void runMain(MainSurroundings& main, const std::vector<Action>& actions) {
  testing::runScripted([&main] { Main(main.links); }, actions);
}

TEST(MainWindowQt, EachTabOfTheSeededWindowIsShownAndSaved) {
  testing::TempFolder folder;
  MainSurroundings main;
  seed();
  GLO.CATEGORY = "Puzzle";
  folder.write("gamedock.ini", "[path]\nclassic=/opt/agk/classic\nstudio=/opt/agk/studio\n");

  std::vector<std::string> saved;
  std::vector<std::vector<std::string>> shown;  // the first column of each tab's list
  const auto look = [&](int list, int column, const char* name) -> Action {
    return [&, list, column, name](Window& w) {
      std::vector<std::string> texts;
      const window::ListView& l = w.control(list)->list;
      for (std::size_t r = 1; r <= l.rowCount(); ++r) texts.push_back(l.cellText(r, column));
      shown.push_back(texts);
      saved.push_back(screenshot(w, name));
    };
  };
  const auto then = [](Action first, Action second) -> Action {
    return [first, second](Window& w) {
      first(w);
      second(w);
    };
  };
  using namespace qtui::testing;
  const std::vector<Action> actions = {
      chooseRow(kMainProjectsList, 3),
      then(look(kMainProjectsList, 6, "main_projects"), clickTab(kMainSheet, 1)),
      then(look(kMainCategoryList, 1, "main_by_category"), clickTab(kMainSheet, 2)),
      typeInto(kMainFindEntry, "ra"),
      click(kMainFindSwitch),
      then(look(kMainSearchList, 1, "main_search"), click(kMainCloseButton)),
  };
  runMain(main, actions);

  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].size(), 12u);
  EXPECT_EQ(shown[1], (std::vector<std::string>{"Tetris Clone", "Sokoban Deluxe", "Knight's Tour",
                                                "Match Three"}));
  // "ra" in any letter case, in the description or elsewhere in the record (its category,
  // its long description).
  EXPECT_FALSE(shown[2].empty());
  for (const std::string& name : shown[2]) {
    EXPECT_NE(runtime::UPPER(name).find("RA"), std::string::npos) << name;
  }
  EXPECT_EQ(saved.size(), 3u);
}

TEST(MainWindowQt, TheArrowPageHomeAndEndKeysMoveTheProjectsListsSelection) {
  testing::TempFolder folder;
  MainSurroundings main;
  seed();
  std::vector<std::size_t> rows;
  const auto row = [&](Window& w) {
    EXPECT_EQ(w.focus(), kMainProjectsList);
    rows.push_back(w.control(kMainProjectsList)->list.selected);
  };
  // Each step looks at what the step before did once the window has taken it.
  const auto lookAndPress = [&](int code) -> Action {
    return [&, code](Window& w) {
      row(w);
      qtui::testing::key(code)(w);
    };
  };
  using namespace qtui::testing;
  runMain(main,
          {chooseRow(kMainProjectsList, 1), lookAndPress(window::DownKey),
           lookAndPress(window::DownKey), lookAndPress(window::UpKey), lookAndPress(window::EndKey),
           lookAndPress(window::HomeKey), lookAndPress(window::PgDnKey), [&](Window& w) {
             row(w);
             click(kMainCloseButton)(w);
           }});
  // The twelve projects fit one page: Page Down goes to the last.
  EXPECT_EQ(rows, (std::vector<std::size_t>{1, 2, 3, 2, 12, 1, 12}));
}

// The open popup menu, nullptr when none is open.
QMenu* openMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

// Where the keys of `w` go: its focused widget, else the window.
QWidget* keyTarget(Window& w) {
  QWidget* focus = QApplication::focusWidget();
  return focus ? focus : qtui::testing::backend().windowWidget(w);
}

TEST(MainWindowQt, AltAloneOrF10OpensTheSetupMenuAndTheArrowsAndEnterChooseAnItem) {
  testing::TempFolder folder;
  MainSurroundings main;
  std::vector<std::string> menus;
  std::vector<std::string> titles;
  const auto lookAtMenu = [&] {
    QMenu* menu = openMenu();
    menus.push_back(menu ? menu->title().toStdString() : "none");
    return menu;
  };
  const std::vector<Action> actions = {
      [](Window& w) {
        QTest::keyPress(keyTarget(w), Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(keyTarget(w), Qt::Key_Alt, Qt::NoModifier);
      },
      [&](Window&) {
        if (QMenu* menu = lookAtMenu()) QTest::keyClick(menu, Qt::Key_Escape);
      },
      [&](Window& w) {
        menus.push_back(openMenu() ? "still open" : "closed");
        QTest::keyClick(keyTarget(w), Qt::Key_F10);
      },
      [&](Window&) {
        if (QMenu* menu = lookAtMenu()) {
          QTest::keyClick(menu, Qt::Key_Down);
          QTest::keyClick(menu, Qt::Key_Return);
        }
      },
      [&](Window& w) {
        titles.push_back(w.title());
        qtui::testing::closeBox()(w);
      },
      qtui::testing::click(kMainCloseButton),
  };
  runMain(main, actions);
  EXPECT_EQ(menus, (std::vector<std::string>{"Setup", "closed", "Setup"}));
  EXPECT_EQ(titles, std::vector<std::string>{"Paths"});
}

TEST(MainWindowQt, ANewProjectIsTheHighlightedRowAndTheRecordShown) {
  testing::TempFolder folder;
  MainSurroundings main;
  seed();
  setWindowProcedure(WindowProcedure::update_projects, [] {
    PRO->DESCRIPTION = "Zebra Run";
    PRO->LONGDESCRIPTION = "Zebra Run, the new one.";
    fileManager(projects)->insert();
    windowRequests().response = classlib::ResponseCompleted;
  });
  std::string highlighted;
  std::string shownLong;
  const auto table = [](Window& w) {
    return qobject_cast<QTableView*>(qtui::testing::backend().controlWidget(w, kMainProjectsList));
  };
  using namespace qtui::testing;
  runMain(main, {chooseRow(kMainProjectsList, 2), click(kMainInsertButton), [&](Window& w) {
                   const QModelIndexList rows = table(w)->selectionModel()->selectedRows(5);
                   if (!rows.isEmpty()) highlighted = rows.front().data().toString().toStdString();
                   shownLong = runtime::CLIP(w.control(kMainLongDescription)->screenText);
                   screenshot(w, "main_after_insert");
                   click(kMainCloseButton)(w);
                 }});
  setWindowProcedure(WindowProcedure::update_projects, {});
  EXPECT_EQ(runtime::CLIP(highlighted), "Zebra Run");
  EXPECT_EQ(shownLong, "Zebra Run, the new one.");
}

TEST(MainWindowQt, TheLongDescriptionBoxKeepsAllFourFrameLinesAtFractionalScales) {
  testing::TempFolder folder;
  MainSurroundings main;
  seed();
  using namespace qtui::testing;
  runMain(main, {chooseRow(kMainProjectsList, 1), [](Window& w) {
                   QWidget* box = backend().controlWidget(w, kMainLongDescription);
                   ASSERT_NE(box, nullptr);
                   for (const qreal scale : {1.25, 1.5}) {
                     EXPECT_THAT(missingFrameLines(*box, scale), ::testing::IsEmpty())
                         << "at scale " << scale;
                   }
                   click(kMainCloseButton)(w);
                 }});
}

TEST(MainWindowQt, WhereTheUserMovesTheWindowItOpensAtItsNextStart) {
  testing::TempFolder folder;
  MainSurroundings main;
  const QPoint by(120, 64);
  QPoint first;
  QPoint moved;
  QPoint reopened;
  const auto top = [](Window& w) { return qtui::testing::backend().windowWidget(w); };
  runMain(main, {[&](Window& w) {
                   first = top(w)->pos();
                   top(w)->move(first + by);
                   moved = top(w)->pos();
                 },
                 qtui::testing::click(kMainCloseButton)});
  const std::optional<classlib::WindowPosition> stored = iniManager().fetchPosition("Main");
  ASSERT_TRUE(stored.has_value());
  EXPECT_TRUE(stored->x != 0 || stored->y != 0) << "stored as centred";
  runMain(main,
          {[&](Window& w) { reopened = top(w)->pos(); }, qtui::testing::click(kMainCloseButton)});
  EXPECT_EQ(moved, first + by);
  // Dialog units are coarser than pixels: the place comes back within one unit.
  EXPECT_LE((reopened - moved).manhattanLength(), 4)
      << reopened.x() << "," << reopened.y() << " for " << moved.x() << "," << moved.y();
}

}  // namespace
}  // namespace app
