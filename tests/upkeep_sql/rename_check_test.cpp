// The rename of an old SQL table per backend, against a scripted server.
#include "upkeep_sql/rename_check.h"

#include <gtest/gtest.h>

#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep/registration_tables.h"
#include "upkeep/structure_search.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using Lines = std::vector<std::string>;

TEST(RenameStatement, EachBackendItsOwn) {
  struct Case {
    const char* code;
    const char* kind;
    const char* statement;
  };
  const Case cases[] = {
      {"MSS", "", "CALL sp_rename('old_orders','orders')"},
      {"ODB", "MSSQL", "CALL sp_rename('old_orders','orders')"},
      {"ORA", "", "Rename old_orders to orders;"},
      {"ASA", "", "Alter table \"old_orders\" rename \"orders\""},
      {"ODB", "MYODBC 3", "ALTER TABLE `old_orders` RENAME `orders`"},
      {"ODB", "POSTGRES", "ALTER TABLE old_orders RENAME TO orders"},
      {"ODB", "FIREBIRD", ""},
      {"VKF", "", ""},
  };
  for (const Case& c : cases) {
    upkeep::registration().options.ODBCDB = c.kind;
    EXPECT_EQ(renameTableStatement(c.code, "old_orders", "orders"), c.statement)
        << c.code << " " << c.kind;
  }
  upkeep::registration().options.ODBCDB.clear();
  EXPECT_EQ(renameTableStatement("MSS", "o'ld", "new"), "CALL sp_rename('o''ld','new')");
}

class RenameCheckTest : public testing::SqlEngineTest {
 protected:
  RenameCheckTest()
      : SqlEngineTest(files::Driver::Mssql, "MSS", sqlRowFields(), sizeof(SqlRowBuffer)) {
    tableInHand().OutFileName = "orders";
    tableInHand().TableLabel = "Orders";
  }
  ~RenameCheckTest() override { upkeep::OFN().clear(); }
  static void oldNames(std::vector<std::pair<std::string, std::string>> names) {
    upkeep::OFN().clear();
    for (auto& [newName, sqlOldName] : names) {
      upkeep::OldFileName entry;
      entry.NEWNAME = newName;
      entry.SQLOLDNAME = sqlOldName;
      upkeep::OFN().push_back(entry);
    }
  }
};

TEST_F(RenameCheckTest, FoundNamesAreRenamedAndFailuresSaySo) {
  EXPECT_EQ(ds_RenameCheck("MSS"), 2) << "no old names recorded";
  oldNames({{"OTHER", "old_other"}});
  EXPECT_EQ(ds_RenameCheck("MSS"), 2);
  EXPECT_TRUE(script->statements().empty());

  oldNames({{"OTHER", "old_other"}, {"orders", "old_orders"}});
  EXPECT_EQ(ds_RenameCheck("MSS"), 0);
  EXPECT_EQ(script->statements(), Lines{"CALL sp_rename('old_orders','orders')"});

  refuse("sp_rename", "42000", -1, "in use");
  EXPECT_EQ(ds_RenameCheck("MSS"), 1);

  // Found by the label when the name does not match.
  tableInHand().OutFileName = "dbo.orders2";
  oldNames({{"Orders", "old_orders"}});
  EXPECT_EQ(ds_RenameCheck("MSS"), 1);
  EXPECT_EQ(script->statements().back(), "CALL sp_rename('old_orders','dbo.orders2')");
}

}  // namespace
}  // namespace upkeep_sql
