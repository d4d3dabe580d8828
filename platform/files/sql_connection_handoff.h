// While a conversion runs on a thread, the SQL connection of a file that closed (or whose open
// failed) is kept and handed to the next open of the same driver and owner on that thread,
// instead of a new connection for each of the conversion's opens. Only a connection whose
// session is still as it was connected is kept: in autocommit, no transaction open, and having
// run only statements that change no session state. A kept connection belongs to no file, so
// a statement never runs inside another file's transaction.
#pragma once

#include <memory>
#include <string_view>

#include "platform/files/file_declaration.h"
#include "platform/files/sql_connection.h"

namespace files {

// Connections are kept while one of these lives on the thread; the last one to end closes
// the connection still kept.
class SqlConnectionHandOff {
 public:
  SqlConnectionHandOff();
  ~SqlConnectionHandOff();
  SqlConnectionHandOff(const SqlConnectionHandOff&) = delete;
  SqlConnectionHandOff& operator=(const SqlConnectionHandOff&) = delete;
};

// Keeps `connection` for the next open of `driver` and `owner` on this thread when a hand-off
// is running and the connection was never lost (no SQLSTATE of class 08); else it is closed.
void keepSqlConnection(Driver driver, std::string_view owner,
                       std::unique_ptr<SqlConnection> connection);

// The kept connection of `driver` and `owner`, taken from the keeping; null when there is none.
std::unique_ptr<SqlConnection> takeKeptSqlConnection(Driver driver, std::string_view owner);

// Whether `statement` leaves the session as it was: a query, a change of rows, or the creation,
// change or removal of a lasting table or index. Anything else (SET, a procedure call, a
// temporary table, a transaction statement) may change the session and is taken as doing so.
bool keepsSessionState(std::string_view statement);

}  // namespace files
