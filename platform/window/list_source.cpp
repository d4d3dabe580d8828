#include "platform/window/list_source.h"

namespace window {

TextListSource::TextListSource(std::string_view items) {
  if (items.empty()) return;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = items.find('|', start);
    items_.emplace_back(items.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
}

const std::string& TextListSource::item(std::size_t row) const {
  static const std::string empty;
  return row >= 1 && row <= items_.size() ? items_[row - 1] : empty;
}

Value TextListSource::field(std::size_t row, int field) const {
  return Value::text(field == 1 ? item(row) : std::string());
}

Value VectorListSource::field(std::size_t row, int field) const {
  if (row < 1 || row > rows_.size() || field < 1) return Value::text("");
  const Row& r = rows_[row - 1];
  return static_cast<std::size_t>(field) <= r.size() ? r[field - 1] : Value::text("");
}

}  // namespace window
