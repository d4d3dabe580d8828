// A SQL FILE's owner as an ODBC connection text. The owner is either a connection text itself
// ("DSN=x;UID=u;PWD=p", "DRIVER=...;SERVER=...") or the short form of its driver:
//   MSSQL        "dsn,database,user,password"
//   ORACLE       "user/password@dsn", or "dsn,user,password"
//   SQLANYWHERE  "dsn,user,password"
//   ODBC         "dsn,user,password"
// Parts left out are left out of the text.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/file_declaration.h"

namespace files {

std::string odbcConnectionText(Driver driver, std::string_view owner);

}  // namespace files
