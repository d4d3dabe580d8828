// Lists: rows read from a source, scrolling, headings, columns, popup menus and cell editors.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "platform/window/dialogs.h"
#include "platform/window/key_codes.h"
#include "test_window.h"

namespace window::testing {
namespace {

// A source of many rows that records which rows were read.
class CountingSource : public ListSource {
 public:
  explicit CountingSource(std::size_t rows) : rows_(rows) {}
  std::size_t rowCount() const override { return rows_; }
  Value field(std::size_t row, int field) const override {
    read.insert(row);
    if (field == 1) return Value::text("row " + std::to_string(row));
    if (field == 2) return Value::number(static_cast<double>(row * 1000));
    if (field == 3) return Value::text("");
    return Value::number(row % 2 ? 1 : 2);
  }
  mutable std::set<std::size_t> read;

 private:
  std::size_t rows_;
};

TEST(List, CellsOfShownRowsOnlyAreReadFromTheSource) {
  reset();
  CountingSource source(100000);
  HeadlessBackend b;
  b.checkpoint("rows",
               [&](Window& w) {
                 w.setListSource(kList, &source);
                 const Control& list = *w.control(kList);
                 EXPECT_EQ(w.propertyNumber(kList, PropRowCount), 100000);
                 EXPECT_EQ(list.list.cellText(2, 1), "row 2");
                 EXPECT_EQ(list.list.cellText(2, 2), "  2,000");  // @n-7
                 EXPECT_EQ(list.list.iconNumber(3, 3), 1);
                 EXPECT_EQ(list.list.iconNumber(4, 3), 2);
                 EXPECT_EQ(list.list.iconNumber(4, 1), 0);  // no icon in that column
                 EXPECT_EQ(list.list.cellText(100001, 1), "");
               })
      .chooseRow(kList, 5)
      .key(PgDnKey)
      .key(EndKey)
      .checkpoint("scrolled to the end",
                  [&](Window& w) {
                    EXPECT_EQ(w.choice(kList), 100000);
                    EXPECT_EQ(w.propertyNumber(kList, PropTopRow),
                              100000 - 5 + 1);  // five rows shown
                    EXPECT_LE(source.read.size(), 10u);
                  })
      .scroll(kList, 1)
      .checkpoint("scrolled back",
                  [](Window& w) {
                    EXPECT_EQ(w.propertyNumber(kList, PropTopRow), 1);
                    EXPECT_EQ(w.choice(kList), 100000);  // scrolling leaves the selection
                  })
      .closeBox();
  const auto events = runTestWindow(b);
  EXPECT_EQ(events[events.size() - 2].event, EventScrolled);
  EXPECT_EQ(events[5].keyCode, EndKey);
}

// Wheel, scroll-bar and thumb steps move a plain list's first row; a list paged by its owner
// keeps them, in order, for the owner instead.
TEST(List, ScrollStepsMoveAPlainListAndAreKeptForAPagedOne) {
  reset();
  CountingSource source(1000);
  HeadlessBackend b;
  std::vector<int> tops;
  const auto top = [&](Window& w) { tops.push_back(w.propertyNumber(kList, PropTopRow)); };
  std::vector<std::optional<ScrollRequest>> taken;
  b.checkpoint("rows", [&](Window& w) { w.setListSource(kList, &source); })
      .scroll(kList, ScrollStep::Lines, 3)
      .checkpoint("lines", top)
      .scroll(kList, ScrollStep::Pages, 2)  // five rows shown
      .checkpoint("pages", top)
      .scroll(kList, ScrollStep::Lines, -50)
      .checkpoint("before the first", top)
      .scroll(kList, ScrollStep::Thumb, kThumbRange)
      .checkpoint("thumb at the end", top)
      .scroll(kList, ScrollStep::Thumb, kThumbRange / 2)
      .checkpoint("thumb in the middle", top)
      .checkpoint("paged", [](Window& w) { w.setListPaged(kList, true); })
      .scroll(kList, ScrollStep::Lines, -3)
      .scroll(kList, ScrollStep::Thumb, kThumbRange + 5)
      .checkpoint("kept",
                  [&](Window& w) {
                    top(w);
                    for (int i = 0; i < 3; ++i) taken.push_back(w.takeScrollRequest(kList));
                  })
      .closeBox();
  const auto events = runTestWindow(b);
  EXPECT_EQ(tops, (std::vector<int>{4, 14, 1, 996, 498, 498}));
  EXPECT_EQ(taken, (std::vector<std::optional<ScrollRequest>>{
                       ScrollRequest{ScrollStep::Lines, -3},
                       ScrollRequest{ScrollStep::Thumb, kThumbRange}, std::nullopt}));
  // One Scrolled event for each step that moved the list or went to its owner.
  EXPECT_EQ(std::count_if(events.begin(), events.end(),
                          [](const EventRecord& e) { return e.event == EventScrolled; }),
            7);
}

// A page holds the rows shown whole: under the headings, above the horizontal scroll bar that
// columns wider than the room beside the vertical bar bring; a backend that lays the list out
// itself says how many it shows.
TEST(List, APageHoldsTheRowsShownWhole) {
  const struct {
    const char* what;
    const char* format;
    Rect at;
    int shownByBackend;
    int rows;
  } cases[] = {
      {"headings, narrow columns", "40L~Name~@s20@30R~Count~@n-7@", {0, 0, 190, 60}, 0, 5},
      {"no headings", "40L@s20@", {0, 0, 190, 60}, 0, 6},
      {"columns as wide as the room", "180L~Name~@s20@", {0, 0, 190, 60}, 0, 5},
      {"columns wider than the room", "181L~Name~@s20@", {0, 0, 190, 60}, 0, 4},
      {"a row cut by the bar", "400L~Name~@s20@", {0, 0, 190, 59}, 0, 3},
      {"too low for a row", "400L~Name~@s20@", {0, 0, 190, 12}, 0, 1},
      {"the backend's count", "400L~Name~@s20@", {0, 0, 190, 60}, 7, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ListView l;
    l.format = *parseListFormat(c.format);
    l.shownRows = c.shownByBackend;
    EXPECT_EQ(l.visibleRows(c.at), c.rows);
  }
}

// When the backend shows fewer rows of a plain list, the selected row stays in view; the
// owner of a paged list is told, to fit its page.
TEST(List, RowsShownByTheBackendKeepTheSelectionInViewOrGoToThePagesOwner) {
  reset();
  CountingSource source(1000);
  HeadlessBackend b;
  b.checkpoint("rows", [&](Window& w) { w.setListSource(kList, &source); })
      .chooseRow(kList, 5)
      .checkpoint("three rows shown",
                  [](Window& w) {
                    w.setListRowsShown(kList, 3);
                    EXPECT_EQ(w.propertyNumber(kList, PropItems), 3);
                    EXPECT_EQ(w.propertyNumber(kList, PropTopRow), 3);
                    EXPECT_EQ(w.choice(kList), 5);
                    w.setListPaged(kList, true);
                    w.setListRowsShown(kList, 4);
                    w.setListRowsShown(kList, 4);  // no change, no event
                  })
      .closeBox();
  const auto events = runTestWindow(b);
  EXPECT_EQ(std::count_if(events.begin(), events.end(),
                          [](const EventRecord& e) { return e.event == EventScrolled; }),
            1);
}

TEST(List, HeadingsAndColumnsFollowTheUser) {
  reset();
  HeadlessBackend b;
  b.headerClick(kList, 2)
      .resizeColumn(kList, 1, 55)
      .resizeColumn(kList, 3, 30)  // no M: not resizable
      .moveColumn(kList, 1, 2)
      .checkpoint("columns",
                  [](Window& w) {
                    EXPECT_EQ(w.propertyNumber(kList, PropListClickColumn), 2);
                    // Each column keeps showing its own fields, by field numbers where it needs
                    // them.
                    EXPECT_EQ(w.property(kList, PropListColumnFormat, 1),
                              "30R(2)|M#2#~Count~L@n-7@");
                    EXPECT_EQ(w.property(kList, PropListColumnFormat, 2), "55L(2)|M#1#~Name~@s20@");
                    EXPECT_EQ(w.property(kList, PropListColumnFormat, 3), "12C(2)J#3#@p p@");
                    const ListView& l = w.control(kList)->list;
                    EXPECT_EQ(l.cellText(2, 1), "     22");
                    EXPECT_EQ(l.cellText(2, 2), "Bob");
                    EXPECT_EQ(l.iconNumber(2, 3), 2);
                    // The whole format reads back and parses to the same columns.
                    const auto again = parseListFormat(w.property(kList, PropFormat));
                    ASSERT_TRUE(again);
                    EXPECT_EQ(again->columns[0].field, 2);
                    EXPECT_EQ(again->columns[1].field, 1);
                    EXPECT_EQ(again->columns[2].field, 3);
                  })
      .closeBox();
  std::vector<int> kinds;
  for (const EventRecord& e : runTestWindow(b)) kinds.push_back(e.event);
  EXPECT_EQ(kinds, (std::vector<int>{EventOpenWindow, EventSelected, EventHeaderPressed,
                                     EventColumnResized, EventColumnMoved, EventCloseWindow}));
}

TEST(List, MouseRowColumnAndZone) {
  reset();
  HeadlessBackend b;
  // The list lies at (8, 80), 190 x 60; a heading row of 10, rows of 10; columns 40, 30, 12.
  b.mouseAt(20, 95)
      .checkpoint("over row 1, column 1",
                  [](Window& w) {
                    EXPECT_EQ(w.propertyNumber(kList, PropListMouseRow), 1);
                    EXPECT_EQ(w.propertyNumber(kList, PropListMouseColumn), 1);
                    EXPECT_EQ(w.propertyNumber(kList, PropListMouseZone), ListZoneCells);
                  })
      .mouseAt(60, 85)
      .checkpoint("over the heading of column 2",
                  [](Window& w) {
                    EXPECT_EQ(w.propertyNumber(kList, PropListMouseColumn), 2);
                    EXPECT_EQ(w.propertyNumber(kList, PropListMouseRow), 0);
                    EXPECT_NE(w.propertyNumber(kList, PropListMouseZone), ListZoneCells);
                  })
      .mouseAt(150, 95)
      .checkpoint("beside the columns",
                  [](Window& w) {
                    EXPECT_EQ(w.propertyNumber(kList, PropListMouseColumn), 0);
                    EXPECT_NE(w.propertyNumber(kList, PropListMouseZone), ListZoneCells);
                  })
      .closeBox();
  runTestWindow(b);
  EXPECT_TRUE(b.finished());
}

TEST(List, PopupClickAndPopupMenu) {
  reset();
  HeadlessBackend b;
  int chosen = -1;
  int disabled = -1;
  const Handler popup = [&](Window&) {
    if (EVENT() == EventNewSelection && FIELD() == kList && KEYCODE() == MouseRightUp) {
      const char* menu = "&Insert|&Change|~&Delete|-|+Sorted|Format";
      if (chosen < 0) {
        chosen = POPUP(menu);
      } else {
        disabled = POPUP(menu);
      }
    }
  };
  b.rightClick(kList, 2).answerPopup(5).rightClick(kList, 3).answerPopup(3).closeBox();
  runTestWindow(b, popup);
  EXPECT_EQ(chosen, 5);    // "Format": the line does not count
  EXPECT_EQ(disabled, 0);  // "Delete" is disabled
  ASSERT_EQ(b.popups().size(), 2u);
  EXPECT_EQ(b.popups()[0].items.size(), 6u);
  EXPECT_EQ(b.popups()[0].x, -1);  // at the mouse
}

TEST(List, PopupTextsParse) {
  const PopupRequest p = parsePopup("&Insert|-|~Gone|+On|-Off");
  ASSERT_EQ(p.items.size(), 5u);
  EXPECT_EQ(p.items[0].text, "&Insert");
  EXPECT_EQ(p.items[0].number, 1);
  EXPECT_TRUE(p.items[1].line);
  EXPECT_EQ(p.items[1].number, 0);
  EXPECT_TRUE(p.items[2].disabled);
  EXPECT_EQ(p.items[2].text, "Gone");
  EXPECT_EQ(p.items[2].number, 2);
  EXPECT_TRUE(p.items[3].checked);
  EXPECT_FALSE(p.items[4].checked);
  EXPECT_EQ(p.items[4].text, "Off");
  EXPECT_EQ(p.items[4].number, 4);
  EXPECT_TRUE(parsePopup("").items.empty());
}

TEST(List, CellEditorOverARow) {
  reset();
  char edited[21] = "Bob";
  int editor = 0;
  HeadlessBackend b;
  b.checkpoint("edit row 2",
               [&](Window& w) {
                 editor = w.createCellEditor(kList, 2, 1, UseVariable::cstring(edited, 21), "@s20");
                 ASSERT_NE(editor, 0);
                 EXPECT_EQ(w.control(editor)->at, (Rect{8, 100, 40, 10}));
                 EXPECT_EQ(w.control(editor)->screenText, "Bob");
                 EXPECT_EQ(w.focus(), editor);
                 EXPECT_EQ(w.createCellEditor(kList, 9, 1, UseVariable(), ""), 0);
               })
      .key(EnterKey)  // unchanged: nothing to accept
      .checkpoint("typed", [&](Window& w) { w.textEdited(editor, "Bobby"); })
      .key(EnterKey)
      .closeBox();
  const auto events = runTestWindow(b);
  EXPECT_STREQ(edited, "Bobby");
  int accepted = 0;
  for (const EventRecord& e : events) accepted += e.event == EventAccepted && e.control == editor;
  EXPECT_EQ(accepted, 1);
}

TEST(List, ACellEditorStaysLeftOfTheListsScrollBar) {
  reset();
  char edited[21] = "Bob";
  HeadlessBackend b;
  b.resizeColumn(kList, 1, 300)  // wider than the list (190)
      .checkpoint("edit row 1",
                  [&](Window& w) {
                    const int first =
                        w.createCellEditor(kList, 1, 1, UseVariable::cstring(edited, 21), "@s20");
                    EXPECT_EQ(w.control(first)->at, (Rect{8, 90, 190 - kScrollBarWidth, 10}));
                    // A column that starts past the list's edge has no room at all.
                    EXPECT_EQ(w.cellRect(kList, 1, 2).width, 0);
                  })
      .closeBox();
  runTestWindow(b);
}

}  // namespace
}  // namespace window::testing
