// The PostgreSQL database of the SQL benchmarks and plain unixODBC connections to it, the
// baseline the drivers are measured against. The test servers set it up:
// scripts/with-sql-servers.sh build/bench/<benchmark>
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstdlib>
#include <string>

namespace bench {

// The connection text of the test database (GD_SQL_PG); empty when it is not set.
inline std::string pgConnection() {
  const char* text = std::getenv("GD_SQL_PG");
  return text == nullptr ? std::string() : std::string(text);
}

// A new unixODBC environment of ODBC 3; the caller frees it.
inline SQLHENV odbcEnvironment() {
  SQLHENV env = SQL_NULL_HENV;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  return env;
}

// A new connection of `env` to `text`, or SQL_NULL_HDBC when it cannot connect; the caller
// ends it with odbcDisconnect.
inline SQLHDBC odbcConnect(SQLHENV env, const std::string& text) {
  SQLHDBC dbc = SQL_NULL_HDBC;
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  if (SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, (SQLCHAR*)text.c_str(), SQL_NTS, nullptr, 0,
                                     nullptr, SQL_DRIVER_NOPROMPT)))
    return dbc;
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  return SQL_NULL_HDBC;
}

inline void odbcDisconnect(SQLHDBC dbc) {
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
}

}  // namespace bench
