// The one small interface through which the SQL file drivers reach a server: run a statement
// with bound parameters, fetch its answer rows, read the catalogue's columns of a table, and
// report the last failure as an SQLSTATE with the server's text. Implementations: unixODBC
// (sql_odbc_connection.h), the Firebird client library (sql_firebird_connection.h), chosen by
// sql_connect.h, and a scripted connection for tests (sql_scripted_connection.h).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/sql_quoting.h"

namespace files {

// The SQL type a parameter is sent as.
enum class SqlType : std::uint8_t {
  Text,     // character data
  Binary,   // bytes
  Integer,  // a whole number, sent as its decimal text
  Real,     // a double, sent as text that reads back exactly
  Decimal,  // an exact number as text, with `size` digits and `scale` after the point
  Date,     // "yyyy-mm-dd"
  Time,     // "hh:mm:ss.ff"
};

// One parameter of a statement: a value, or NULL, of a type. An output parameter (of a
// procedure call) gets the value the server gives back in `value`.
struct SqlParam {
  SqlType type = SqlType::Text;
  std::optional<std::string> value;  // nothing = NULL
  std::uint32_t size = 0;            // Decimal: digits; Text and Binary: 0 = as long as the value
  std::uint8_t scale = 0;            // Decimal: digits after the point
  bool output = false;

  static SqlParam text(std::string v) { return {SqlType::Text, std::move(v)}; }
  static SqlParam null(SqlType type) { return {type, std::nullopt}; }
};

// One cell of an answer row: NULL, or its value as text (bytes for binary columns).
struct SqlCell {
  std::optional<std::string> value;
};
using SqlRow = std::vector<SqlCell>;

// One column of a table as the catalogue reports it.
struct SqlColumnInfo {
  std::string name;
  std::string typeName;  // the server's own word: "varchar", "int4", "DECIMAL" ...
  std::int64_t size = 0;
  std::int32_t scale = 0;
  bool nullable = true;
};

// The last failure: the SQLSTATE ("42P01", "08001" ...) and the server's text.
struct SqlError {
  std::string state;
  std::string text;
};

// The one INSERT of several rows: `head` ("INSERT INTO t (a, b)"), " VALUES " and `rows`
// (value lists, "(1, 'x')") separated by ", ".
inline std::string multiRowInsert(std::string_view head, std::span<const std::string> rows) {
  std::size_t size = head.size() + 8;
  for (const std::string& row : rows) size += row.size() + 2;
  std::string statement;
  statement.reserve(size);
  statement.append(head).append(" VALUES ");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) statement.append(", ");
    statement.append(rows[i]);
  }
  return statement;
}

class SqlConnection {
 public:
  virtual ~SqlConnection() = default;

  // Runs `statement`, with `params` bound to its "?" markers in order, and keeps its answer
  // rows for fetch(). False with lastError() set when the server refuses it. A statement run
  // again with the same text reuses its prepared form.
  virtual bool execute(std::string_view statement, std::span<SqlParam> params) = 0;
  // Whether insertRows() sends several rows in one statement on this connection.
  virtual bool takesManyRows() const { return false; }
  // Sends the rows `rows` (each a value list, "(1, 'x')") as the one statement `head` ("INSERT
  // INTO t (a, b)") + " VALUES " + the rows separated by ", ". True when the table took them
  // all; false (lastError() set) when the server refused the statement, none of the rows then
  // being in the table, or when the connection does not take several rows (nothing sent).
  virtual bool insertRows(std::string_view head, std::span<const std::string> rows) {
    (void)head;
    (void)rows;
    return false;
  }
  // The next answer row of the last statement into `row`; false when there is none (or the
  // fetch failed: lastError() then has a state).
  virtual bool fetch(SqlRow& row) = 0;
  // The columns of `table` in `schema` (empty: the connection's default), in table order;
  // nothing when the catalogue cannot be read (lastError() set). An empty list: no such table.
  virtual std::optional<std::vector<SqlColumnInfo>> columns(std::string_view schema,
                                                            std::string_view table) = 0;
  // Transactions: autocommit off starts one; commit() and rollback() end it.
  virtual bool setAutoCommit(bool on) = 0;
  virtual bool commit() = 0;
  virtual bool rollback() = 0;

  // The dialect the server speaks, and its product version text.
  virtual SqlBackend backend() const = 0;
  virtual std::string serverVersion() = 0;

  const SqlError& lastError() const { return error_; }
  // The note the server gave with the last statement it accepted (a SQL Server PRINT comes as
  // "01000"); empty when there was none.
  const SqlError& lastWarning() const { return warning_; }

 protected:
  void fail(std::string state, std::string text) { error_ = {std::move(state), std::move(text)}; }
  void warn(std::string state, std::string text) { warning_ = {std::move(state), std::move(text)}; }
  void clearFailure() { error_ = warning_ = {}; }

 private:
  SqlError error_;
  SqlError warning_;
};

}  // namespace files
