#include "upkeep/sql_insert_batch.h"

#include <utility>

#include "platform/files/sql_driver.h"

namespace upkeep {

SqlInsertBatch::SqlInsertBatch(files::FileDeclaration& backend, std::string table,
                               SendAlone sendAlone)
    : backend_(backend), table_(std::move(table)), sendAlone_(std::move(sendAlone)) {}

void SqlInsertBatch::add(std::string_view names, std::string_view values) {
  if (!rows_.empty() &&
      (names != names_ || rows_.size() >= kMostRows || bytes_ + values.size() > kMostBytes))
    written_ += flush();
  if (rows_.empty()) names_ = names;
  rows_.push_back("(" + std::string(values) + ")");
  bytes_ += rows_.back().size();
}

std::int64_t SqlInsertBatch::flush() {
  std::int64_t written = std::exchange(written_, 0);
  if (rows_.empty()) return written;
  const std::string head = "INSERT INTO " + table_ + " (" + names_ + ")";
  if (rows_.size() > 1 && files::sendSqlRows(backend_, head, rows_) == 0) {
    written += static_cast<std::int64_t>(rows_.size());
  } else {
    // One record alone, or a refused INSERT: each record as its own INSERT, as it is reported.
    for (const std::string& row : rows_) sendAlone_(head + " VALUES " + row);
  }
  rows_.clear();
  bytes_ = 0;
  return written;
}

}  // namespace upkeep
