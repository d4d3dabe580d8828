// The categories list on Qt (offscreen), edited in place: an empty list shows no thumb, the
// editor of a new row stays inside the list (off its scroll bar and the buttons beside it) and
// takes no more than the category field holds.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <string>

#include "app/windows/browse_categories.h"
#include "app/windows/window_requests.h"
#include "tests/app/app_fixture.h"
#include "tests/app_qt/scripted_run.h"
#include "tests/app_windows/main_fixture.h"

namespace app {
namespace {

using qtui::testing::Action;
using window::Window;

QRect globalRect(const QWidget* w) { return QRect(w->mapToGlobal(QPoint()), w->size()); }

// A key press as the keyboard makes it, with its text.
void typeLetter(QWidget* to, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &release);
}

void screenshot(Window& w, const char* name) {
  QDir().mkpath(QStringLiteral(GD_SCREENSHOT_DIR));
  const QString path = QStringLiteral(GD_SCREENSHOT_DIR "/%1.png").arg(QLatin1String(name));
  EXPECT_TRUE(qtui::testing::backend().windowWidget(w)->grab().save(path)) << path.toStdString();
}

TEST(CategoriesOnQt, TheInPlaceEditorStaysInTheListAndTakesNoMoreThanTheFieldHolds) {
  testing::TempFolder folder;
  testing::MainSurroundings main;
  const auto table = [](Window& w) {
    return qobject_cast<QTableView*>(qtui::testing::widgetOf(w, kCategoriesList));
  };
  std::string typed;
  const std::vector<Action> actions = {
      [&](Window& w) {
        QScrollBar* bar = table(w)->verticalScrollBar();
        EXPECT_FALSE(bar->isEnabled()) << "an empty list has nothing to scroll";
        EXPECT_EQ(bar->maximum(), 0);
        screenshot(w, "categories_empty");
        qtui::testing::click(kCategoriesInsert)(w);
      },
      [&](Window& w) {
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << "the new row is edited in place";
        QTableView* list = table(w);
        // Left to right within the list, short of its scroll bar (an entry may stand a few
        // pixels taller than a row).
        const QRect inside = globalRect(list->viewport());
        const QRect edited = globalRect(editor);
        EXPECT_GE(edited.left(), globalRect(list).left());
        EXPECT_LE(edited.right(), inside.right()) << "the editor covers the scroll bar";
        EXPECT_FALSE(globalRect(editor).intersects(
            globalRect(qtui::testing::widgetOf(w, kCategoriesInsert))));
        // Sixty letters, with "é" of two bytes each: the field holds 49 bytes.
        for (int i = 0; i < 20; ++i) typeLetter(editor, Qt::Key_Eacute, QStringLiteral("é"));
        for (int i = 0; i < 40; ++i) typeLetter(editor, Qt::Key_X, QStringLiteral("x"));
        typed = editor->text().toStdString();
        screenshot(w, "categories_editing");
        QTest::keyClick(editor, Qt::Key_Escape);
      },
      qtui::testing::click(kCategoriesClose),
  };
  windowRequests().request = 0;
  testing::runScripted(browse_Categories, actions);
  EXPECT_EQ(typed, [] {
    std::string s;
    for (int i = 0; i < 20; ++i) s += "é";
    return s + std::string(9, 'x');
  }());
}

TEST(CategoriesOnQt, TheInPlaceEditorCoversItsRowAndNoOther) {
  testing::TempFolder folder;
  testing::MainSurroundings main;
  for (const char* name : {"Arcade", "Puzzle", "Racing"})
    testing::MainSurroundings::addCategory(name);
  const auto table = [](Window& w) {
    return qobject_cast<QTableView*>(qtui::testing::widgetOf(w, kCategoriesList));
  };
  const auto rowRect = [&](Window& w, int row) {
    QTableView* list = table(w);
    const QRect r = list->visualRect(list->model()->index(row, 0));
    return QRect(list->viewport()->mapToGlobal(r.topLeft()), r.size());
  };
  bool looked = false;
  const std::vector<Action> actions = {
      qtui::testing::chooseRow(kCategoriesList, 2),
      qtui::testing::click(kCategoriesChange),
      [&](Window& w) {
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << "the row is edited in place";
        EXPECT_EQ(editor->text().toStdString(), "Puzzle");
        const QRect edited = globalRect(editor);
        EXPECT_TRUE(rowRect(w, 1).contains(edited))
            << "the editor is not within its row: " << edited.top() << ".." << edited.bottom()
            << " in " << rowRect(w, 1).top() << ".." << rowRect(w, 1).bottom();
        EXPECT_FALSE(edited.intersects(rowRect(w, 0))) << "the editor covers the row above";
        EXPECT_FALSE(edited.intersects(rowRect(w, 2))) << "the editor covers the row below";
        screenshot(w, "categories_changing");
        looked = true;
        QTest::keyClick(editor, Qt::Key_Escape);
      },
      qtui::testing::click(kCategoriesClose),
  };
  windowRequests().request = 0;
  testing::runScripted(browse_Categories, actions);
  EXPECT_TRUE(looked);
}

}  // namespace
}  // namespace app
