// Plain SQLite reading the records of a Caskfile table, as a baseline for the driver: one
// prepared query whose first column is the packed record bytes and whose second, when it has
// one, a key image. Each record read is unpacked as the driver unpacks it.
#pragma once

#include <sqlite3.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/files/cask_packing.h"

namespace bench {

class RawQuery {
 public:
  RawQuery(sqlite3* db, const std::string& sql) {
    if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr) !=
        SQLITE_OK)
      std::abort();
  }
  ~RawQuery() { sqlite3_finalize(statement_); }
  RawQuery(const RawQuery&) = delete;
  RawQuery& operator=(const RawQuery&) = delete;

  // The query's ?1: a key image, kept alive by the caller until the rows are read.
  void bind(std::string_view image) {
    sqlite3_bind_blob(statement_, 1, image.data(), static_cast<int>(image.size()), SQLITE_STATIC);
  }
  // The query's ?1: a record number.
  void bindNumber(sqlite3_int64 number) { sqlite3_bind_int64(statement_, 1, number); }
  // Reads the next row, unpacking its record into `record`; at the end, false (and the query
  // can run again).
  template <class Record>
  bool next(Record& record) {
    if (sqlite3_step(statement_) != SQLITE_ROW) {
      sqlite3_reset(statement_);
      return false;
    }
    const auto* packed = static_cast<const char*>(sqlite3_column_blob(statement_, 0));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, 0));
    if (files::unpackBytes(std::string_view(packed, size),
                           reinterpret_cast<unsigned char*>(&record), sizeof record) < 0)
      std::abort();
    return true;
  }
  // Ends a run before its end, so the query can run again.
  void reset() { sqlite3_reset(statement_); }
  // The key image of the row read last.
  std::string image() const {
    return std::string(static_cast<const char*>(sqlite3_column_blob(statement_, 1)),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement_, 1)));
  }
  // Reads every row; answers how many, with the last one's key image in `last`.
  template <class Record>
  int run(Record& record, std::string& last) {
    int rows = 0;
    for (; next(record); ++rows) last = image();
    return rows;
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// The number of the record table of the only table of the data file `db`: "r<number>".
inline std::string onlyRecordTable(sqlite3* db) {
  sqlite3_stmt* table = nullptr;
  sqlite3_prepare_v2(db, "SELECT id FROM cask_table", -1, &table, nullptr);
  if (sqlite3_step(table) != SQLITE_ROW) std::abort();
  std::string name = "r" + std::to_string(sqlite3_column_int64(table, 0));
  sqlite3_finalize(table);
  return name;
}

}  // namespace bench
