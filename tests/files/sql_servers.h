// The live SQL servers of the tests: the connection texts that scripts/with-sql-servers.sh
// exports. A test that needs a server that is not there fails under CI=true and otherwise
// skips with one line saying how to start the servers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/files/sql_quoting.h"

namespace files::test {

struct LiveServer {
  const char* name;               // "PostgreSQL", "MariaDB"
  const char* environment;        // the variable holding its connection text
  const char* missingTableState;  // the SQLSTATE of a statement on a table that is not there
  SqlBackend backend;
  const char* schema;  // the schema the test tables are made in
};

inline constexpr LiveServer kLiveServers[] = {
    {"PostgreSQL", "GD_SQL_PG", "42P01", SqlBackend::PostgreSQL, "public"},
    {"MariaDB", "GD_SQL_MARIADB", "42S02", SqlBackend::MySql, "gd_test"}};

// The server's connection text, or empty when it is not running (the test then ends: failed in
// CI, skipped elsewhere).
#define GD_LIVE_CONNECTION(server, into)                                                     \
  do {                                                                                       \
    const char* text = std::getenv((server).environment);                                    \
    if (text == nullptr || *text == '\0') {                                                  \
      const char* ci = std::getenv("CI");                                                    \
      if (ci != nullptr && std::string(ci) == "true")                                        \
        FAIL() << (server).name << " is not running (" << (server).environment << " unset)"; \
      GTEST_SKIP() << (server).name                                                          \
                   << " is not running; start the test servers with "                        \
                      "scripts/with-sql-servers.sh <test command>";                          \
    }                                                                                        \
    (into) = text;                                                                           \
  } while (false)

// A table name of this process and test, so that test programs running at once never share.
inline std::string uniqueTableName(const std::string& stem) {
  return stem + "_" + std::to_string(::getpid());
}

}  // namespace files::test
