// The SQL connection over unixODBC: PostgreSQL through psqlODBC, MariaDB and MySQL through the
// MariaDB connector, SQL Server through FreeTDS, or any other driver with a DSN.
#pragma once

#include <memory>
#include <string_view>

#include "platform/files/sql_connection.h"

namespace files {

// Connects with the ODBC connection text `connection` ("DSN=x;UID=u;PWD=p" or
// "DRIVER=...;SERVER=...", see sql_owner.h). Null, with
// the driver's SQLSTATE and text in `error`, when the connection fails. The text never holds
// the password: where the driver repeats it, it is masked.
std::unique_ptr<SqlConnection> connectOdbc(std::string_view connection, SqlError& error);

// The dialect of a server from the product name the ODBC driver reports ("PostgreSQL",
// "MariaDB", "Microsoft SQL Server" ...).
SqlBackend backendOfProduct(std::string_view productName);

}  // namespace files
