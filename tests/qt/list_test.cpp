// A LIST over a source far larger than the screen: the table reads only the rows it shows,
// and scrolling and keys move the engine's first and selected rows.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTableView>
#include <QTest>

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

}  // namespace
}  // namespace qtui::testing
