#include "platform/window/list_view.h"

#include <algorithm>
#include <vector>

#include "platform/window/picture_bridge.h"

namespace window {

void ListView::setSource(ListSource* source) {
  owned_.reset();
  source_ = source;
  selected = std::min<int>(selected, static_cast<int>(rowCount()));
  top = 1;
}

void ListView::setFromText(std::string_view items) {
  owned_ = std::make_shared<TextListSource>(items);
  source_ = owned_.get();
  selected = rowCount() > 0 ? std::max(selected, 1) : 0;
  selected = std::min<int>(selected, static_cast<int>(rowCount()));
  top = 1;
}

bool ListView::hasHeadings() const {
  return std::any_of(format.columns.begin(), format.columns.end(),
                     [](const ListColumn& c) { return c.heading.has_value(); });
}

int ListView::visibleRows(const Rect& at) const {
  if (shownRows > 0) return shownRows;
  int columnsWidth = 0;
  for (const ListColumn& c : format.columns) columnsWidth += c.width;
  const bool horizontalBar = columnsWidth > at.width - kScrollBarWidth;
  const int dataHeight =
      at.height - (hasHeadings() ? rowHeight() : 0) - (horizontalBar ? kScrollBarHeight : 0);
  return std::max(1, dataHeight / rowHeight());
}

std::string ListView::cellText(std::size_t row, int column) const {
  if (!source_ || row < 1 || row > rowCount()) return {};
  if (format.columns.empty()) {
    return column == 1 ? screenTextOf(source_->field(row, 1), "") : std::string();
  }
  if (column < 1 || column > static_cast<int>(format.columns.size())) return {};
  const ListColumn& c = format.columns[column - 1];
  return screenTextOf(source_->field(row, c.field), c.picture.value_or(""));
}

int ListView::iconNumber(std::size_t row, int column) const {
  if (!source_ || column < 1 || column > static_cast<int>(format.columns.size())) return 0;
  const ListColumn& c = format.columns[column - 1];
  return c.icon ? static_cast<int>(source_->field(row, c.iconField()).toNumber()) : 0;
}

int ListView::cellStyle(std::size_t row, int column) const {
  if (column < 1 || column > static_cast<int>(format.columns.size())) return 0;
  const ListColumn& c = format.columns[column - 1];
  if (c.styleField && source_) {
    return static_cast<int>(source_->field(row, c.styleFieldNo()).toNumber());
  }
  return c.cellStyle;
}

void ListView::ensureVisible(int row, const Rect& at) {
  if (row < 1) return;
  const int shown = visibleRows(at);
  if (row < top) top = row;
  if (row >= top + shown) top = row - shown + 1;
}

void ListView::scrollTo(int row, const Rect& at) {
  const int last = std::max(1, static_cast<int>(rowCount()) - visibleRows(at) + 1);
  top = std::clamp(row, 1, last);
}

int ListView::columnAt(const Rect& at, int x) const {
  int left = at.x;
  for (std::size_t i = 0; i < format.columns.size(); ++i) {
    const int right = left + format.columns[i].width;
    if (x >= left && x < right) return static_cast<int>(i) + 1;
    left = right;
  }
  return format.columns.empty() && x >= at.x && x <= at.x + at.width ? 1 : 0;
}

int ListView::rowAt(const Rect& at, int y) const {
  const int dataTop = at.y + (hasHeadings() ? rowHeight() : 0);
  if (y < dataTop || y > at.y + at.height) return 0;
  const int row = top + (y - dataTop) / rowHeight();
  return row <= static_cast<int>(rowCount()) ? row : 0;
}

int ListView::zoneAt(const Rect& at, int x, int y) const {
  if (!at.contains(x, y)) return ListZoneOutside;
  if (hasHeadings() && y < at.y + rowHeight()) return ListZoneHeader;
  return columnAt(at, x) != 0 && rowAt(at, y) != 0 ? ListZoneCells : ListZoneRight;
}

Rect ListView::cellRect(const Rect& at, int row, int column) const {
  Rect r;
  r.x = at.x;
  for (int i = 1; i < column && i <= static_cast<int>(format.columns.size()); ++i) {
    r.x += format.columns[i - 1].width;
  }
  r.width = column >= 1 && column <= static_cast<int>(format.columns.size())
                ? format.columns[column - 1].width
                : at.width;
  r.y = at.y + (hasHeadings() ? rowHeight() : 0) + (row - top) * rowHeight();
  r.height = rowHeight();
  const int right = std::max(at.x, at.x + at.width - kScrollBarWidth);
  r.x = std::min(r.x, right);
  r.width = std::max(0, std::min(r.x + r.width, right) - r.x);
  return r;
}

bool ListView::moveColumn(int from, int to) {
  const int n = static_cast<int>(format.columns.size());
  if (from < 1 || from > n || to < 1 || to > n) return false;
  std::vector<int> fields;
  for (const ListColumn& c : format.columns) fields.push_back(c.field);
  ListColumn moving = std::move(format.columns[from - 1]);
  format.columns.erase(format.columns.begin() + (from - 1));
  format.columns.insert(format.columns.begin() + (to - 1), std::move(moving));
  const int moved = fields[from - 1];
  fields.erase(fields.begin() + (from - 1));
  fields.insert(fields.begin() + (to - 1), moved);
  // Each column keeps its row fields: a column that would now read other fields gets an
  // explicit field number, which can shift the columns after it, so repeat until none moves.
  for (bool changed = true; changed;) {
    changed = false;
    resolveFields(format);
    for (std::size_t i = 0; i < format.columns.size(); ++i) {
      ListColumn& c = format.columns[i];
      if (c.field != fields[i]) {
        c.fieldNumber = fields[i];
        c.modifiers += "#" + std::to_string(fields[i]) + "#";
        changed = true;
        break;
      }
    }
  }
  return true;
}

}  // namespace window
