// Thin owners of SQLite handles for the Caskfile driver, and the mapping of SQLite's result
// codes to the runtime's error numbers.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace files::sqlite {

// The runtime error number for SQLite result `rc`: 40 a unique constraint, 36 not a database,
// 5 busy, locked, read-only or no permission, 8 out of memory, 90 anything else (I/O errors,
// corruption, a full disk). Records SQLite's extended code and message (of `db` when given) as
// the driver's code and text, sets the runtime error and returns the number.
int fail(sqlite3* db, int rc);

// An open database connection; closed when the owner goes.
class Connection {
 public:
  Connection() = default;
  Connection(Connection&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}
  Connection& operator=(Connection&& other) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { close(); }

  // Opens the database at `osPath` with SQLite's open `flags`, in rollback-journal mode with
  // full syncing, defensive against crafted schemas, waiting up to `busyMs` for other
  // connections. Returns 0 or the error number (set).
  int open(const std::string& osPath, int flags, int busyMs);
  void close();
  sqlite3* get() const { return db_; }
  explicit operator bool() const { return db_ != nullptr; }

  // Runs `sql` (statements without results). Returns 0 or the error number (set).
  int exec(const char* sql);
  int exec(const std::string& sql) { return exec(sql.c_str()); }

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement; finalized when the owner goes.
class Statement {
 public:
  Statement() = default;
  Statement(Statement&& other) noexcept : stmt_(std::exchange(other.stmt_, nullptr)) {}
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { sqlite3_finalize(stmt_); }

  // Prepares `sql` on `db` for repeated use. Returns 0 or the error number (set).
  int prepare(sqlite3* db, const std::string& sql);
  explicit operator bool() const { return stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }

  // Parameters are 1-based; texts and blobs must stay alive until the statement is reset.
  void bindBlob(int index, std::string_view bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.empty() ? "" : bytes.data(),
                      static_cast<int>(bytes.size()), SQLITE_STATIC);
  }
  void bindText(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
  }
  void bindInt(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
  void bindNull(int index) { sqlite3_bind_null(stmt_, index); }

  // One step: SQLITE_ROW, SQLITE_DONE or an error result code.
  int step() { return sqlite3_step(stmt_); }
  // Makes the statement ready to run again and releases what it holds.
  void reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

  std::int64_t columnInt(int column) const { return sqlite3_column_int64(stmt_, column); }
  bool columnIsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
  // The bytes of a blob or text column, valid until the next step or reset.
  std::string_view columnBlob(int column) const {
    const void* data = sqlite3_column_blob(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return data ? std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size))
                : std::string_view();
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Runs `sql` (a ROLLBACK) to undo a failed step, keeping the error state the failure set.
void undoKeepingError(sqlite3* db, const char* sql);

// Runs a prepared statement that yields no row and resets it. Returns 0 or the error number.
int runOnce(sqlite3* db, Statement& statement);

}  // namespace files::sqlite
