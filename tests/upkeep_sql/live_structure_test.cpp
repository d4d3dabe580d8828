// The structure loaders against the live test servers: a table made by hand with plain SQL
// (autonumbered column, on Firebird through a generator trigger; NOT NULL, defaults, primary
// key, unique constraint, descending and multi-column indexes) loads into SFDQ and SKDQ exactly
// as each server's golden table says.
#include <gtest/gtest.h>

#include "platform/runtime/field_types.h"
#include "tests/upkeep_sql/catalogue_rows.h"
#include "tests/upkeep_sql/live_backend.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/interpret_structure.h"
#include "upkeep_sql/mysql_structure.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_loaders.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using Lines = std::vector<std::string>;
constexpr const files::test::LiveServer& kPostgres = files::test::kLiveServers[0];
constexpr const files::test::LiveServer& kMariaDb = files::test::kLiveServers[1];
constexpr const files::test::LiveServer& kFirebird = files::test::kLiveServers[2];

// The loaded columns, "int(11)" written "int": the server writes integer widths only in older
// versions.
Lines columnsWithoutIntegerWidths() {
  Lines columns = testing::columnLines();
  for (std::string& line : columns) {
    const std::size_t width = line.find("int(");
    if (width != std::string::npos) line.erase(width + 3, line.find(')', width) - width - 2);
  }
  return columns;
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
  mySqlOwnerParts() = {files::connectionEntry(owner, "DSN"), files::connectionEntry(owner, "UID"),
                       files::connectionEntry(owner, "PWD")};
  tableInHand().SqlTableName = table;
  ASSERT_EQ(ds_MySQLStructure(0, "MYODBC 3"), 0);
  EXPECT_EQ(
      columnsWithoutIntegerWidths(),
      (Lines{"ID|int|id|1|0|0", "CODE|varchar(20)|code|0|0|0", "TOTAL|decimal(12,3)|total|0|1|0",
             "MADE|date|made|0|1|0", "QTY|smallint|qty|0|0|0"}));
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

TEST_F(LiveStructureTest, FirebirdTableMadeByHandLoadsAsItsGoldenTable) {
  std::string server;
  GD_LIVE_CONNECTION(kFirebird, server);
  ASSERT_TRUE(connect(kFirebird));
  const std::string system = files::test::uniqueTableName("UPK_SYS");
  const std::string table = files::test::uniqueTableName("UPK_ORDERS");
  remember(table);
  makeRowTable(system);
  run("CREATE TABLE " + table +
      " (ID INTEGER NOT NULL, CODE VARCHAR(20) NOT NULL, TOTAL NUMERIC(12,3) DEFAULT 0,"
      " MADE DATE, NOTE CHAR(10) DEFAULT 'x', QTY SMALLINT NOT NULL, RATE DOUBLE PRECISION,"
      " BODY BLOB SUB_TYPE 1, CONSTRAINT PK_" +
      table + " PRIMARY KEY (ID), CONSTRAINT UQ_" + table + " UNIQUE (CODE))");
  // The usual autonumber: a generator that a BEFORE INSERT trigger fills the column from.
  plain->execute("DROP SEQUENCE G_" + table, {});
  run("CREATE SEQUENCE G_" + table);
  run("CREATE TRIGGER T_" + table + " FOR " + table +
      " ACTIVE BEFORE INSERT POSITION 0 AS BEGIN IF (NEW.ID IS NULL) THEN NEW.ID = GEN_ID(G_" +
      table + ", 1); END");
  run("CREATE DESCENDING INDEX IX_" + table + "_MADE ON " + table + " (MADE)");
  run("CREATE INDEX IX_" + table + "_CQ ON " + table + " (CODE, QTY)");

  declareBackend(system, "FIREBIRD", true);
  tableInHand().SqlTableName = table;
  ASSERT_EQ(ds_FireBirdStructure(), 0);
  EXPECT_EQ(
      testing::columnLines(),
      (Lines{"ID|integer|ID|1|0|1", "CODE|varchar(20)|CODE|0|0|1",
             "TOTAL|numeric(12,3)|TOTAL|0|1|0", "MADE|date|MADE|0|1|1", "NOTE|char(10)|NOTE|0|1|0",
             "QTY|smallint|QTY|0|0|1", "RATE|double|RATE|0|1|0", "BODY|blob|BODY|0|1|0"}));
  Lines keys = testing::keyLines();
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (Lines{"IX_" + table + "_CQ|IX_" + table + "_CQ|dup|1|0|[CODE QTY]|2|1,2",
                         "IX_" + table + "_MADE|IX_" + table + "_MADE|dup|1|0|[ MADE]|1|-1",
                         "PK_" + table + "|PK_" + table + "|primary|0|0|[ ID]|1|1",
                         "UQ_" + table + "|UQ_" + table + "||0|0|[ CODE]|1|1"}));

  // A table that is not there loads nothing.
  liveStructure() = {};
  tableInHand().SqlTableName = "NO_SUCH_" + table;
  EXPECT_EQ(ds_FireBirdStructure(), 0);
  EXPECT_TRUE(liveStructure().SFDQ.entries.empty());
  EXPECT_TRUE(liveStructure().SKDQ.entries.empty());
  dropTable(table);
  run("DROP SEQUENCE G_" + table);
}

TEST(CheckOdbcResult, CodesWithoutADiagnostic) {
  EXPECT_EQ(CheckODBCResult(0, "SQLFreeEnv [1]"), "SQLFreeEnv [1] completed successfully! [0]");
  EXPECT_EQ(CheckODBCResult(100, "SQLFetch [7]"),
            "SQLFetch [7] DID NOT complete successfully! [100] : Record not available!");
  EXPECT_EQ(CheckODBCResult(5, "x"), "");
}

// A failure whose diagnostic cannot be read (here: no load, so no handles to read it from) ends
// the program as every forced end does, never with the exit code of success.
TEST(CheckOdbcResult, AnUnreadableDiagnosticEndsTheProgramWithExitCode3) {
  runtime::ScriptedAnswerer answerer;
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers{answerer, halter};
  answerer.addAnswer(runtime::ButtonOk);
  try {
    CheckODBCResult(-1, "SQLExecute [0]");
    FAIL() << "the program goes on";
  } catch (const runtime::HaltRequested& halt) {
    EXPECT_EQ(halt.exitCode, kUpkeepErrorExitCode);
  }
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_EQ(answerer.shown()[0].text, "Upkeep MySQL (2) Fatal Error occured!");
}

// A declaration the table builders make into a table: a primary key, a DUP index, a unique
// key over two columns with one descending.
struct Part {
  runtime::Long ID;
  runtime::CString<30> NAME;
  runtime::String<10> CODE;
  runtime::DecimalField<9, 2> AMOUNT;
};
constexpr runtime::FieldDef kPartFields[] = {
    GD_FIELD(Part, ID, "PRT:ID"),
    GD_FIELD(Part, NAME, "PRT:NAME"),
    GD_FIELD(Part, CODE, "PRT:CODE"),
    GD_FIELD(Part, AMOUNT, "PRT:AMOUNT"),
};
constexpr files::KeySpec kPartKeys[] = {
    {"PRT:P_ID", files::KeyPrimary, {1}},
    {"PRT:K_NAME", files::KeyDup, {2}},
    {"PRT:K_CODE", 0, {3, -4}},
};

struct BuiltCase {
  const files::test::LiveServer& server;
  const char* kind;
  std::int32_t (*load)();  // the backend's loader; nullptr: MySQL over ODBC
  Lines columns;
  Lines keys;  // sorted
};

class LiveBuiltTableTest : public testing::LiveBackendTest,
                           public ::testing::WithParamInterface<BuiltCase> {};

TEST_P(LiveBuiltTableTest, ATableMadeByTheBuildersLoadsAsDeclared) {
  const BuiltCase& c = GetParam();
  std::string server;
  GD_LIVE_CONNECTION(c.server, server);
  ASSERT_TRUE(connect(c.server));
  const std::string system = files::test::uniqueTableName("upk_sys3");
  const std::string table = files::test::uniqueTableName("upk_parts");
  makeRowTable(system);
  remember(table);
  declareBackend(system, c.kind, true);

  files::FileDeclaration parts(files::FileSpec{.label = "parts",
                                               .prefix = "PRT",
                                               .driver = files::Driver::Odbc,
                                               .name = table,
                                               .owner = owner,
                                               .fields = kPartFields,
                                               .recordSize = sizeof(Part),
                                               .keys = kPartKeys});
  tableInHand().SqlTableName = table;
  tableInHand().OutFileName = table;
  ds_InterpretStructure(parts);
  SetCaseSensitivity("ODB");
  for (KdqEntry& key : declaredStructure().KDQ.entries) key.DCTMASTER = 1;  // make every key
  ds_SetSQLNames("ODB");
  ASSERT_EQ(ds_CreateSQLTable("ODB"), 0);

  if (c.load != nullptr) {
    ASSERT_EQ(c.load(), 0);
  } else {
    mySqlOwnerParts() = {files::connectionEntry(owner, "DSN"), files::connectionEntry(owner, "UID"),
                         files::connectionEntry(owner, "PWD")};
    ASSERT_EQ(ds_MySQLStructure(0, c.kind), 0);
  }
  EXPECT_EQ(columnsWithoutIntegerWidths(), c.columns);
  Lines keys = testing::keyLines();
  for (std::string& key : keys) {
    for (std::size_t at = key.find(table); at != std::string::npos; at = key.find(table))
      key.replace(at, table.size(), "T");
  }
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, c.keys);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, LiveBuiltTableTest,
    ::testing::Values(
        BuiltCase{kPostgres,
                  "POSTGRES",
                  ds_PostgreSQLStructure,
                  {"id|integer|id|0|0|1", "name|varchar(29)|name|0|1|1", "code|char(10)|code|0|1|1",
                   "amount|numeric(10,2)|amount|0|1|1"},
                  {"T_k_code|T_k_code||1|0|[code amount]|2|1,2",
                   "T_k_name|T_k_name|dup|1|0|[ name]|1|1", "T_p_id|T_p_id|primary|0|0|[ id]|1|1"}},
        BuiltCase{kMariaDb,
                  "MYODBC 3",
                  nullptr,
                  {"ID|int|ID|0|0|0", "NAME|varchar(29)|NAME|0|1|0", "CODE|char(10)|CODE|0|1|0",
                   "AMOUNT|decimal(10,2)|AMOUNT|0|1|0"},
                  {"K_CODE|K_CODE||0|0|[CODE AMOUNT]|2|0,0", "K_NAME|K_NAME|dup|0|0|[NAME]|1|0",
                   "PRIMARY|PRIMARY|primary|0|0|[ID]|1|0"}}),
    [](const auto& info) { return std::string(info.param.server.name); });

}  // namespace
}  // namespace upkeep_sql
