// The structure loaders against the live test servers: a table made by hand with plain SQL
// (autonumbered column, NOT NULL, defaults, primary key, unique constraint, descending and
// multi-column indexes) loads into SFDQ and SKDQ exactly as each server's golden table says.
#include <gtest/gtest.h>

#include "tests/upkeep_sql/catalogue_rows.h"
#include "tests/upkeep_sql/live_backend.h"
#include "upkeep_sql/structure_loaders.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using Lines = std::vector<std::string>;
constexpr const files::test::LiveServer& kPostgres = files::test::kLiveServers[0];

class LiveStructureTest : public testing::LiveBackendTest {};

TEST_F(LiveStructureTest, PostgresTableMadeByHandLoadsAsItsGoldenTable) {
  std::string text;
  GD_LIVE_CONNECTION(kPostgres, text);
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
  std::string text;
  GD_LIVE_CONNECTION(kPostgres, text);
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

}  // namespace
}  // namespace upkeep_sql
