// A LIST over a source far larger than the screen: the table reads only the rows it shows,
// and scrolling and keys move the engine's first and selected rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>

#include "platform/window/key_codes.h"
#include "qt_test_support.h"

namespace qtui::testing {
namespace {

using namespace window::testing;
using window::EventNewSelection;
using window::EventScrolled;
using window::EventSelected;
using window::Value;

// Rows made up when asked for, counting the fields read.
class CountingRows : public window::ListSource {
 public:
  explicit CountingRows(std::size_t rows) : rows_(rows) {}
  std::size_t rowCount() const override { return rows_; }
  Value field(std::size_t row, int field) const override {
    ++reads;
    switch (field) {
      case 1: return Value::text("Row " + std::to_string(row));
      case 2: return Value::number(static_cast<double>(row));
      case 4: return Value::number(static_cast<double>(row % 3));
      default: return Value::text("");
    }
  }
  mutable std::size_t reads = 0;

 private:
  std::size_t rows_;
};

QTableView* table(Window& w) { return dynamic_cast<QTableView*>(widgetOf(w, kList)); }

TEST(QtList, ReadsOnlyTheRowsItShowsAndFollowsScrollingAndKeys) {
  constexpr std::size_t kRows = 100000;
  // Far fewer reads than one per row: a few screens' worth.
  constexpr std::size_t kFewReads = 2000;
  CountingRows rows(kRows);
  reset();
  const auto events = withoutMouse(
      runInQt({
                  [&](Window& w) {
                    EXPECT_LT(rows.reads, kFewReads) << "reads when the list is first shown";
                    rows.reads = 0;
                    chooseRow(kList, 2)(w);
                  },
                  [&](Window& w) { table(w)->verticalScrollBar()->setValue(50000); },
                  [&](Window& w) {
                    EXPECT_EQ(w.control(kList)->list.top, 50001);
                    EXPECT_EQ(table(w)->rowAt(0), 50000);
                    QTest::keyClick(table(w), Qt::Key_End);
                  },
                  [&](Window& w) {
                    EXPECT_EQ(w.control(kList)->list.selected, static_cast<int>(kRows));
                    // The last row is in view, in the engine and on the screen alike.
                    const int top = w.control(kList)->list.top;
                    EXPECT_GT(top, static_cast<int>(kRows) - 10);
                    EXPECT_EQ(table(w)->rowAt(0), top - 1);
                    EXPECT_LT(rows.reads, kFewReads) << "reads while scrolling";
                    closeBox()(w);
                  },
              },
              {}, &rows));
  const std::vector<EventRecord> expected{
      {window::EventOpenWindow, 0},  {EventSelected, kNameEntry},
      {EventSelected, kList},        {EventNewSelection, kList, window::MouseLeft},
      {EventScrolled, kList},        {EventNewSelection, kList, window::EndKey},
      {window::EventCloseWindow, 0},
  };
  EXPECT_EQ(events, expected) << describeEvents(events);
}

// The rows the table shows whole, from its first one shown.
int wholeRowsShown(const QTableView& view) {
  const int first = view.rowAt(0);
  int rows = 0;
  for (int r = first; r >= 0 && r < view.model()->rowCount(); ++r) {
    const QRect row = view.visualRect(view.model()->index(r, 0));
    if (row.top() < 0 || row.bottom() > view.viewport()->rect().bottom()) break;
    ++rows;
  }
  return rows;
}

// Page Down makes the row after the last one shown whole the selected one, and shows it
// whole; Page Up goes back by as many. The list is a little higher than its whole rows.
TEST(QtList, PageDownAndPageUpMoveByTheRowsShownWhole) {
  CountingRows rows(1000);
  reset();
  int shown = 0;
  runInQt({
              [](Window& w) {
                const window::Rect& at = w.control(kList)->at;
                w.setPosition(kList, at.x, at.y, at.width, at.height + 5);
                chooseRow(kList, 1)(w);
              },
              [&](Window& w) {
                shown = wholeRowsShown(*table(w));
                EXPECT_EQ(w.control(kList)->list.visibleRows(w.control(kList)->at), shown);
                QTest::keyClick(table(w), Qt::Key_PageDown);
              },
              [&](Window& w) {
                const int selected = w.control(kList)->list.selected;
                EXPECT_EQ(selected, 1 + shown);
                const QRect row = table(w)->visualRect(table(w)->model()->index(selected - 1, 0));
                EXPECT_TRUE(table(w)->viewport()->rect().contains(row));
                EXPECT_EQ(wholeRowsShown(*table(w)), shown);
                QTest::keyClick(table(w), Qt::Key_PageUp);
              },
              [&](Window& w) {
                EXPECT_EQ(w.control(kList)->list.selected, 1);
                closeBox()(w);
              },
          },
          {}, &rows);
  EXPECT_GT(shown, 1);
}

// A list paged by its owner: its scroll bar runs over the owner's sequence and shows the
// owner's thumb, and the wheel and the scroll bar's lines, pages and thumb come to the engine
// as scroll requests while the rows stay where they are.
TEST(QtList, APagedListsWheelAndScrollBarAskItsOwner) {
  using window::ScrollRequest;
  using window::ScrollStep;
  CountingRows rows(3);
  std::vector<ScrollRequest> asked;
  std::vector<std::pair<int, int>> bars;  // the scroll bar's value and maximum, each step
  const auto bar = [](Window& w) { return table(w)->verticalScrollBar(); };
  const auto look = [&](Window& w) { bars.emplace_back(bar(w)->value(), bar(w)->maximum()); };
  const auto wheel = [](QWidget* to, int delta) {
    const QPointF at(to->width() / 2.0, to->height() / 2.0);
    QWheelEvent turn(at, to->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(to, &turn);
  };
  // The owner puts its thumb where it is dragged, and ten further for each other step.
  const auto owner = [&](Window& w) {
    if (w.current().event != EventScrolled) return;
    while (const auto request = w.takeScrollRequest(kList)) {
      asked.push_back(*request);
      w.setListThumb(kList, request->step == ScrollStep::Thumb ? request->amount
                                                               : w.control(kList)->list.thumb + 10);
    }
  };
  reset();
  runInQt({
              [&](Window& w) {
                w.setListPaged(kList, true);
                w.setListThumb(kList, 30);
                look(w);
                wheel(table(w)->viewport(), -QWheelEvent::DefaultDeltasPerStep);
              },
              [&](Window& w) {
                look(w);
                wheel(bar(w), QWheelEvent::DefaultDeltasPerStep);
              },
              [&](Window& w) { bar(w)->triggerAction(QAbstractSlider::SliderSingleStepAdd); },
              [&](Window& w) {
                look(w);
                bar(w)->triggerAction(QAbstractSlider::SliderPageStepSub);
              },
              [&](Window& w) {
                bar(w)->setSliderDown(true);
                bar(w)->setSliderPosition(75);
              },
              [&](Window& w) {
                look(w);  // the held thumb stays under the mouse
                bar(w)->setSliderDown(false);
                bar(w)->triggerAction(QAbstractSlider::SliderToMaximum);
              },
              [&](Window& w) {
                look(w);
                EXPECT_EQ(table(w)->rowAt(0), 0) << "the page's first row stays at the top";
                w.setListPaged(kList, false);
                closeBox()(w);
              },
          },
          owner, &rows);
  const int lines = QApplication::wheelScrollLines();
  const std::vector<ScrollRequest> expected = {
      {ScrollStep::Lines, lines}, {ScrollStep::Lines, -lines}, {ScrollStep::Lines, 1},
      {ScrollStep::Pages, -1},    {ScrollStep::Thumb, 75},     {ScrollStep::Thumb, 100},
  };
  EXPECT_EQ(asked, expected);
  const std::vector<std::pair<int, int>> expectedBars = {
      {30, 100}, {40, 100}, {60, 100}, {75, 100}, {100, 100}};
  EXPECT_EQ(bars, expectedBars);
}

}  // namespace
}  // namespace qtui::testing
