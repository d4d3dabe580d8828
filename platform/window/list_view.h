// The state of a LIST (and of the list part of a DROP or COMBO): its format, row source,
// selection, scrolling, icons and styles, and the geometry the mouse properties need. Rows are
// read from the source only when asked for, one visible row at a time.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>

#include "platform/window/list_format.h"
#include "platform/window/list_source.h"
#include "platform/window/properties.h"

namespace window {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool contains(int px, int py) const {
    return px >= x && px <= x + width && py >= y && py <= y + height;
  }
  bool operator==(const Rect&) const = default;
};

// What the user's scrolling (wheel, scroll bar) asks of a list.
enum class ScrollStep { Lines, Pages, Thumb };
// The thumb of a paged list's scroll bar runs from 0 (the start) to this (the end).
inline constexpr int kThumbRange = 100;
// The width of a list's vertical scroll bar and the height of its horizontal one, in dialog
// units.
inline constexpr int kScrollBarWidth = 10;
inline constexpr int kScrollBarHeight = 10;
struct ScrollRequest {
  ScrollStep step = ScrollStep::Lines;
  int amount = 0;  // Lines, Pages: how many, negative upwards; Thumb: 0 to kThumbRange
  bool operator==(const ScrollRequest&) const = default;
};

struct ListStyle {
  int fontStyle = 0;
  int fontColor = -1;
};

class ListView {
 public:
  // Height of a row (and of the heading) when LineHeight is 0.
  static constexpr int kDefaultLineHeight = 10;

  ListFormat format;
  int lineHeight = 0;
  int selected = 0;  // 1-based; 0 = none
  int top = 1;       // the first row shown
  // The rows the backend's screen shows wholly, as it lays the list out; 0 when it does not say.
  int shownRows = 0;
  std::map<int, std::string> icons;  // icon number -> name ("~name.ico")
  std::map<int, ListStyle> styles;
  // Mouse and click state read through the list properties.
  int mouseRow = 0;
  int mouseColumn = 0;
  int mouseZone = ListZoneOutside;
  int clickColumn = 0;
  // A list paged by its owner: its rows are one page of a longer sequence that the owner
  // reads. Scrolling is asked of the owner (a request here and an EventScrolled for each);
  // `thumb` is where the owner says the page stands, 0 to kThumbRange, -1 when it cannot tell.
  bool paged = false;
  int thumb = -1;
  std::deque<ScrollRequest> scrollRequests;

  // Rows come from `source` (kept by the caller), or from a From text the list owns.
  void setSource(ListSource* source);
  void setFromText(std::string_view items);
  const ListSource* source() const { return source_; }
  std::size_t rowCount() const { return source_ ? source_->rowCount() : 0; }

  bool hasHeadings() const;
  int rowHeight() const { return lineHeight > 0 ? lineHeight : kDefaultLineHeight; }
  // The rows wholly visible in a list at `at` (at least 1): those the backend shows, else
  // those that fit under the headings and above the horizontal scroll bar that columns wider
  // than the room beside the vertical one bring.
  int visibleRows(const Rect& at) const;

  // The text of a cell: the column's field formatted by its picture. Empty outside the rows.
  std::string cellText(std::size_t row, int column) const;
  // The icon number of a cell, 0 when its column has no icon.
  int iconNumber(std::size_t row, int column) const;
  // The style number of a cell: its row's style field, else the column's cell style.
  int cellStyle(std::size_t row, int column) const;

  // Makes `row` visible in a list at `at` by moving the first row shown as little as needed.
  void ensureVisible(int row, const Rect& at);
  // Scrolls so that `row` is the first shown, kept within the rows.
  void scrollTo(int row, const Rect& at);

  // Geometry within the list's rectangle `at`: the column (1-based) at an x position, 0 beyond
  // the columns; the row at a y position (0 when none); the rectangle of a cell.
  int columnAt(const Rect& at, int x) const;
  int rowAt(const Rect& at, int y) const;
  int zoneAt(const Rect& at, int x, int y) const;
  // The cell's rectangle, cut to the part of the list left of its vertical scroll bar, so that
  // an editor over it covers neither the bar nor what stands beside the list.
  Rect cellRect(const Rect& at, int row, int column) const;

  // Moves column `from` to position `to` (both 1-based); its fields move with it.
  bool moveColumn(int from, int to);

 private:
  ListSource* source_ = nullptr;
  std::shared_ptr<ListSource> owned_;
};

}  // namespace window
