// Opens a SQL connection from a connection text, choosing the implementation by its DRIVER
// entry: "Firebird" goes through the Firebird client library, everything else through
// unixODBC. Callers above this point never learn which one runs.
#pragma once

#include <memory>
#include <string_view>

#include "platform/files/sql_connection.h"

namespace files {

// Null, with the SQLSTATE and text of the failure in `error` (never the password), when the
// connection fails.
std::unique_ptr<SqlConnection> connectSql(std::string_view connection, SqlError& error);

}  // namespace files
