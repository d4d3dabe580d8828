#include "platform/files/sql_connect.h"

#include "platform/files/sql_connection_text.h"
#include "platform/files/sql_firebird_connection.h"
#include "platform/files/sql_odbc_connection.h"
#include "platform/runtime/case_fold.h"

namespace files {

std::unique_ptr<SqlConnection> connectSql(std::string_view connection, SqlError& error) {
  if (runtime::foldCase(connectionEntry(connection, "DRIVER")) == "FIREBIRD")
    return connectFirebird(connection, error);
  return connectOdbc(connection, error);
}

}  // namespace files
