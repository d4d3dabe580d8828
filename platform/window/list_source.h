// Where a list, drop or combo gets its rows: a source of rows of fields. The list reads only the
// rows it shows, so a source may stand for far more rows than it ever hands out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/use_variable.h"

namespace window {

class ListSource {
 public:
  virtual ~ListSource() = default;
  // The number of rows.
  virtual std::size_t rowCount() const = 0;
  // Field `field` (1-based, in row order) of row `row` (1-based). A field beyond the row's
  // fields reads as an empty text.
  virtual Value field(std::size_t row, int field) const = 0;
};

// Rows given as a text of items separated by "|" (the From text of a drop or list): one field
// per row.
class TextListSource : public ListSource {
 public:
  explicit TextListSource(std::string_view items);
  std::size_t rowCount() const override { return items_.size(); }
  Value field(std::size_t row, int field) const override;
  // The item text of a row (1-based); empty beyond the end.
  const std::string& item(std::size_t row) const;

 private:
  std::vector<std::string> items_;
};

// Rows held in memory as values, for tests and small fixed lists.
class VectorListSource : public ListSource {
 public:
  using Row = std::vector<Value>;
  explicit VectorListSource(std::vector<Row> rows = {}) : rows_(std::move(rows)) {}
  std::size_t rowCount() const override { return rows_.size(); }
  Value field(std::size_t row, int field) const override;
  std::vector<Row>& rows() { return rows_; }

 private:
  std::vector<Row> rows_;
};

}  // namespace window
