// A plain SQLite database for a benchmark's baseline, opened with the journal, sync and cache
// settings the Caskfile driver uses, so both sides pay the same for durability. Any failure
// ends the program with the statement that failed.
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files/cask_data_file.h"

namespace bench {

struct RawDatabase {
  sqlite3* db = nullptr;

  explicit RawDatabase(const std::string& path) {
    check(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "open raw");
    exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
    exec(files::kCachePragmas);
  }
  ~RawDatabase() { sqlite3_close_v2(db); }
  RawDatabase(const RawDatabase&) = delete;
  RawDatabase& operator=(const RawDatabase&) = delete;

  void exec(const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sql);
  }
  // A prepared statement the caller finalizes.
  sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK, sql);
    return stmt;
  }
  // Ends the program when `ok` is false.
  void check(bool ok, const char* what) const {
    if (ok) return;
    std::fprintf(stderr, "%s failed: %s\n", what, db != nullptr ? sqlite3_errmsg(db) : "");
    std::exit(1);
  }
};

}  // namespace bench
