// A live server behind the backend FILE: a connection of the test's own for plain SQL made by
// hand, and the backend FILE (the system table's row) registered as "ODB" with the ODBC kind.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/sql_connect.h"
#include "platform/files/sql_connection_text.h"
#include "platform/files/sql_driver.h"
#include "platform/files/sql_owner.h"
#include "platform/runtime/scripted_answerer.h"
#include "tests/files/sql_servers.h"
#include "tests/upkeep/engine_fixture.h"
#include "tests/upkeep_sql/recording_connection.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/sql_backends.h"
#include "upkeep_sql/sql_row_buffer.h"

namespace upkeep_sql::testing {

// A live server as the engine meets it: the ODBC backend kind it is registered with and the part
// in front of its table names (MySQL needs the database).
struct ServerCase {
  const files::test::LiveServer& server;
  const char* kind;
  const char* database;
};
inline void PrintTo(const ServerCase& live, std::ostream* out) { *out << live.server.name; }

inline const ServerCase kServerCases[] = {{files::test::kLiveServers[0], "POSTGRES", ""},
                                          {files::test::kLiveServers[1], "MYODBC 3", "gd_test."},
                                          {files::test::kLiveServers[2], "FIREBIRD", ""}};

// The server cases on Firebird (`firebird`) or on the other servers.
inline std::vector<ServerCase> serverCasesOnFirebird(bool firebird) {
  std::vector<ServerCase> cases;
  for (const ServerCase& live : kServerCases)
    if ((live.server.backend == files::SqlBackend::Firebird) == firebird) cases.push_back(live);
  return cases;
}

// The owner MySQL structures are read with, "dsn,user,password", from an ODBC connection text.
inline std::string mySqlOwner(const std::string& text) {
  return files::connectionEntry(text, "DSN") + "," + files::connectionEntry(text, "UID") + "," +
         files::connectionEntry(text, "PWD");
}

class LiveBackendTest : public upkeep::testing::EngineTest {
 protected:
  LiveBackendTest() { resetSqlBackendState(); }
  ~LiveBackendTest() override {
    if (backend) files::CLOSE(*backend);
    for (const std::string& table : made_) dropTable(table);
    resetSqlBackendState();
    if (recording_) files::setSqlConnector(std::move(previousConnector_));
  }

  // From now on every connection the drivers make keeps the text of each statement it runs in
  // `sent`, as `options` says.
  void recordStatements(RecordingOptions options = {}) {
    recording_ = true;
    previousConnector_ = files::setSqlConnector(
        [this, options](files::Driver driver, std::string_view text,
                        files::SqlError& error) -> std::unique_ptr<files::SqlConnection> {
          auto inner = files::connectSql(files::odbcConnectionText(driver, text), error);
          if (inner == nullptr) return nullptr;
          return std::make_unique<RecordingConnection>(std::move(inner), sent, options);
        });
  }

  // Connects to `server` (the test skips or fails when it is not running, see sql_servers.h).
  bool connect(const files::test::LiveServer& server) {
    const char* text = std::getenv(server.environment);
    if (text == nullptr || *text == '\0') return false;
    owner = text;
    files::SqlError error;
    plain = files::connectSql(owner, error);
    EXPECT_NE(plain, nullptr) << error.state << " " << error.text;
    return plain != nullptr;
  }

  // Runs plain SQL on the test's own connection.
  void run(const std::string& sql) {
    if (plain == nullptr) return;
    EXPECT_TRUE(plain->execute(sql, {})) << sql << ": " << plain->lastError().text;
  }
  // Drops `table` when it is there.
  void dropTable(const std::string& table) {
    if (plain == nullptr) return;
    // Firebird has no IF EXISTS here: its refusal of a missing table is the same answer.
    if (plain->backend() == files::SqlBackend::Firebird) {
      plain->execute("DROP TABLE " + table, {});
      return;
    }
    run("DROP TABLE IF EXISTS " + table);
  }
  // Drops `table` now and again when the test ends.
  void remember(const std::string& table) {
    made_.push_back(table);
    dropTable(table);
  }

  // Makes `name` by hand as a table with the system table's forty columns.
  void makeRowTable(const std::string& name) {
    remember(name);
    std::string columns;
    for (int n = 1; n <= kSqlRowColumns; ++n)
      columns += (n > 1 ? ", ds_field" : "ds_field") + std::to_string(n) + " VARCHAR(255)";
    run("CREATE TABLE " + name + " (" + columns + ")");
  }

  // Declares the backend FILE named `name` over the server, registers it as "ODB" and makes it
  // the current backend. Opens it when `open`.
  void declareBackend(const std::string& name, std::string kind, bool open) {
    backend = std::make_unique<files::FileDeclaration>(files::FileSpec{
        .label = "UpkeepSQLFile",
        .prefix = "UPK",
        .driver = files::Driver::Odbc,
        .name = name,
        .owner = owner,
        .fields = sqlRowFields(),
        .recordSize = sizeof(SqlRowBuffer),
    });
    if (open) {
      files::OPEN(*backend, 0x42);
      EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERRORCODE() << " " << runtime::FILEERROR();
    }
    upkeep::registration().options.ODBCDB = std::move(kind);
    upkeep::ds_AddDriver("ODB", *backend, sizeof(SqlRowBuffer), backend->record().data());
    upkeep::registration().CurrentSqlDriver = *upkeep::sqlDriverSlot("ODB");
  }

  std::string owner;
  std::vector<std::string> sent;  // with recordStatements()
  std::unique_ptr<files::SqlConnection> plain;
  std::unique_ptr<files::FileDeclaration> backend;
  runtime::ScriptedAnswerer answerer;
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers{answerer, halter};

 private:
  std::vector<std::string> made_;
  bool recording_ = false;
  files::SqlConnector previousConnector_;
};

}  // namespace upkeep_sql::testing
