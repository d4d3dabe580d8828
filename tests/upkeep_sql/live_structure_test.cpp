// The structure loaders against the live test servers: a table made by hand with plain SQL
// (autonumbered column, NOT NULL, defaults, primary key, unique constraint, descending and
// multi-column indexes) loads into SFDQ and SKDQ exactly as each server's golden table says.
#include <gtest/gtest.h>

#include "tests/upkeep_sql/catalogue_rows.h"
#include "tests/upkeep_sql/live_backend.h"
#include "upkeep_sql/mysql_structure.h"
#include "upkeep_sql/structure_loaders.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using Lines = std::vector<std::string>;
constexpr const files::test::LiveServer& kPostgres = files::test::kLiveServers[0];
constexpr const files::test::LiveServer& kMariaDb = files::test::kLiveServers[1];

// The value of `key` ("UID") in an ODBC connection text.
std::string connectionPart(const std::string& text, const std::string& key) {
  const std::size_t at = text.find(key + "=");
  if (at == std::string::npos) return {};
  const std::size_t start = at + key.size() + 1;
  return text.substr(start, text.find(';', start) - start);
}

class LiveStructureTest : public testing::LiveBackendTest {};

TEST_F(LiveStructureTest, PostgresTableMadeByHandLoadsAsItsGoldenTable) {
  std::string server;
  GD_LIVE_CONNECTION(kPostgres, server);
  ASSERT_TRUE(connect(kPostgres));
  const std::string system = files::test::uniqueTableName("upk_sys");
  const std::string table = files::test::uniqueTableName("upk_orders");
  remember(table);
  makeRowTable(system);
  run("CREATE TABLE " + table +
      " (id SERIAL PRIMARY KEY, code VARCHAR(20) NOT NULL, total NUMERIC(12,3) DEFAULT 0,"
      " made DATE, note CHAR(10) DEFAULT 'x', qty SMALLINT NOT NULL, rate FLOAT8,"
      " CONSTRAINT uq_" +
      table + "_code UNIQUE (code))");
  run("CREATE INDEX ix_" + table + "_made ON " + table + " (made DESC)");
  run("CREATE INDEX ix_" + table + "_code_qty ON " + table + " (code, qty)");

  declareBackend(system, "POSTGRES", true);
  tableInHand().SqlTableName = table;
  ASSERT_EQ(ds_PostgreSQLStructure(), 0);
  EXPECT_EQ(tableInHand().TableSchema, "public");
  EXPECT_EQ(
      testing::columnLines(),
      (Lines{"id|serial|id|1|0|1", "code|varchar(20)|code|0|0|1", "total|numeric(12,3)|total|0|1|0",
             "made|date|made|0|1|1", "note|char(10)|note|0|1|0", "qty|smallint|qty|0|0|1",
             "rate|double precision|rate|0|1|0"}));
  Lines keys = testing::keyLines();
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys,
            (Lines{"ix_" + table + "_code_qty|ix_" + table + "_code_qty|dup|1|0|[code qty]|2|1,2",
                   "ix_" + table + "_made|ix_" + table + "_made|dup|1|0|[ made]|1|1",
                   table + "_pkey|" + table + "_pkey|primary|0|0|[ id]|1|1",
                   "uq_" + table + "_code|uq_" + table + "_code||0|0|[ code]|1|1"}));
}

TEST_F(LiveStructureTest, PostgresMissingTableLoadsNothingAndAFailingQueryFails) {
  std::string server;
  GD_LIVE_CONNECTION(kPostgres, server);
  ASSERT_TRUE(connect(kPostgres));
  const std::string system = files::test::uniqueTableName("upk_sys2");
  makeRowTable(system);
  declareBackend(system, "POSTGRES", true);
  tableInHand().SqlTableName = "no_such_table";
  EXPECT_EQ(ds_PostgreSQLStructure(), 0);
  EXPECT_TRUE(liveStructure().SFDQ.entries.empty());
  EXPECT_TRUE(liveStructure().SKDQ.entries.empty());

  // The FILE closed under the loader: the catalogue cannot be asked, and the load fails.
  files::CLOSE(*backend);
  answerer.addAnswer(runtime::ButtonNo);
  EXPECT_EQ(ds_PostgreSQLLoadFieldQ(), 1);
  EXPECT_EQ(answerer.shown().size(), 1u);
}

TEST_F(LiveStructureTest, MariaDbTableMadeByHandLoadsOverOdbcAsItsGoldenTable) {
  std::string server;
  GD_LIVE_CONNECTION(kMariaDb, server);
  ASSERT_TRUE(connect(kMariaDb));
  const std::string table = files::test::uniqueTableName("upk_items");
  remember(table);
  run("CREATE TABLE " + table +
      " (id INT AUTO_INCREMENT, code VARCHAR(20) NOT NULL, total DECIMAL(12,3) DEFAULT 0,"
      " made DATE, qty SMALLINT NOT NULL, PRIMARY KEY (id), UNIQUE KEY uq_code (code),"
      " KEY ix_made (made DESC), KEY ix_code_qty (code, qty))");
  mySqlOwnerParts() = {connectionPart(owner, "DSN"), connectionPart(owner, "UID"),
                       connectionPart(owner, "PWD")};
  tableInHand().SqlTableName = table;
  ASSERT_EQ(ds_MySQLStructure(0, "MYODBC 3"), 0);
  Lines columns = testing::columnLines();
  // The server writes integer widths only in older versions.
  for (std::string& line : columns) {
    const std::size_t width = line.find("int(");
    if (width != std::string::npos) line.erase(width + 3, line.find(')', width) - width - 2);
  }
  EXPECT_EQ(columns, (Lines{"ID|int|id|1|0|0", "CODE|varchar(20)|code|0|0|0",
                            "TOTAL|decimal(12,3)|total|0|1|0", "MADE|date|made|0|1|0",
                            "QTY|smallint|qty|0|0|0"}));
  EXPECT_EQ(testing::keyLines(),
            (Lines{"PRIMARY|PRIMARY|primary|0|0|[id]|1|0", "uq_code|uq_code||0|0|[code]|1|0",
                   "ix_made|ix_made|dup|0|0|[made]|1|0",
                   "ix_code_qty|ix_code_qty|dup|0|0|[code qty]|2|0,0"}))
      << "the MySQL loader numbers no components and marks no columns";

  // A table that is not there, or a server that cannot be reached, fails the load.
  liveStructure() = {};
  tableInHand().SqlTableName = "no_such_" + table;
  answerer.addAnswer(runtime::ButtonNo);
  EXPECT_EQ(ds_MySQLStructure(0, "MYODBC 3"), 1);
  mySqlOwnerParts().MySQLOwnerPart1 = "no_such_dsn";
  answerer.addAnswer(runtime::ButtonNo);
  EXPECT_EQ(ds_MySQLStructure(0, "MYODBC 3"), 1);
  EXPECT_TRUE(liveStructure().SFDQ.entries.empty());
  EXPECT_EQ(answerer.shown().size(), 2u);
}

TEST(CheckOdbcResult, CodesWithoutADiagnostic) {
  EXPECT_EQ(CheckODBCResult(0, "SQLFreeEnv [1]"), "SQLFreeEnv [1] completed successfully! [0]");
  EXPECT_EQ(CheckODBCResult(100, "SQLFetch [7]"),
            "SQLFetch [7] DID NOT complete successfully! [100] : Record not available!");
  EXPECT_EQ(CheckODBCResult(5, "x"), "");
}

}  // namespace
}  // namespace upkeep_sql
