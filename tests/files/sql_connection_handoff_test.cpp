// The connection a closed SQL file leaves to the next open of its owner during a hand-off: it
// is taken over only while its session is still as connected, and never outside a hand-off.
#include "platform/files/sql_connection_handoff.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/files/file_driver.h"
#include "platform/files/sql_driver.h"
#include "platform/files/sql_scripted_connection.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"

namespace files {
namespace {

struct Row {
  runtime::Long ID;
};
constexpr runtime::FieldDef kRowFields[] = {GD_FIELD(Row, ID, "ROW:ID")};

FileDeclaration declareTable(const std::string& name) {
  return FileDeclaration{FileSpec{.label = name,
                                  .prefix = "ROW",
                                  .driver = Driver::Mssql,
                                  .name = name,
                                  .owner = "server,db,user,secret",
                                  .fields = kRowFields,
                                  .recordSize = sizeof(Row)}};
}

class ConnectionHandOffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    script->setColumns("first", {{"ID", "int"}});
    script->setColumns("second", {{"ID", "int"}});
    previous = setSqlConnector([this](Driver, std::string_view, SqlError& error) {
      ++connects;
      return SqlScript::connect(script, error);
    });
  }
  void TearDown() override { setSqlConnector(previous); }

  std::shared_ptr<SqlScript> script = std::make_shared<SqlScript>(SqlBackend::SqlServer);
  SqlConnector previous;
  int connects = 0;
  FileDeclaration first = declareTable("first");
  FileDeclaration second = declareTable("second");
  FileDeclaration missing = declareTable("missing");
};

TEST_F(ConnectionHandOffTest, TheNextOpenTakesOverOnlyASessionAsConnected) {
  // What the first file does before it closes, and how many connections the two opens made.
  struct Case {
    const char* what;
    std::optional<std::string> statement;  // sent on the first file
    bool transaction;                      // LOGOUT, closed without a COMMIT
    int connects;
  };
  const Case cases[] = {
      {"nothing", std::nullopt, false, 1},
      {"a query", "select ID from first", false, 1},
      {"a lasting table made", "create table third (a int)", false, 1},
      {"a session setting", "SET DATEFORMAT ymd", false, 2},
      {"a procedure call", "CALL sp_who", false, 2},
      {"a temporary table", "create table #scratch (a int)", false, 2},
      {"a temporary table", "SELECT 1 INTO TEMP scratch", false, 2},
      {"an open transaction", std::nullopt, true, 2},
      {"a lost connection", "select ID from first where lost", false, 2},
  };
  script->answer({.match = "where lost", .error = SqlError{"08S01", "communication link failure"}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    connects = 0;
    const SqlConnectionHandOff handOff;
    OPEN(first, 0x42);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    if (c.statement) sendSqlStatement(first, *c.statement);
    if (c.transaction) LOGOUT(1, first);
    CLOSE(first);
    OPEN(second, 0x42);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    CLOSE(second);
    EXPECT_EQ(connects, c.connects);
  }
}

TEST_F(ConnectionHandOffTest, AFailedOpenAndAStatementByOwnerLeaveTheirConnectionToTheNextOpen) {
  {
    const SqlConnectionHandOff handOff;
    OPEN(missing, 0x42);
    EXPECT_EQ(runtime::ERRORCODE(), runtime::FileNotFoundErr);
    EXPECT_EQ(sendSqlStatementByOwner(missing, "create table missing (ID int)"), 0);
    OPEN(first, 0x42);
    EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    // A file still open keeps its connection: the second open connects anew.
    OPEN(second, 0x42);
    EXPECT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    CLOSE(second);
    CLOSE(first);
  }
  EXPECT_EQ(connects, 2);
  // Outside a hand-off every open connects.
  OPEN(first, 0x42);
  CLOSE(first);
  OPEN(second, 0x42);
  CLOSE(second);
  EXPECT_EQ(connects, 4);
}

}  // namespace
}  // namespace files
