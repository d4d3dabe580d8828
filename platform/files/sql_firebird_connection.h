// The SQL connection over the Firebird client library, for Firebird servers (no Firebird ODBC
// driver is packaged here). The connection text names the database and the login:
//   "DRIVER=Firebird;DATABASE=host/port:path-or-alias;USER=name;PASSWORD=secret"
// (UID and PWD are read as well). DATABASE without a host opens the file in this process
// (embedded). Texts go to and come from the server as UTF-8.
#pragma once

#include <memory>
#include <string_view>

#include "platform/files/sql_connection.h"

namespace files {

// Null, with the server's SQLSTATE and text in `error` (the password masked), when the
// database cannot be attached.
std::unique_ptr<SqlConnection> connectFirebird(std::string_view connection, SqlError& error);

}  // namespace files
