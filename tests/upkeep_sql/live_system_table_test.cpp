// The system table on the live test servers: made once at the first start, the version row
// written back and read at the next start, and a changed version recognised when the program
// registers the file.
#include <gtest/gtest.h>

#include "tests/upkeep_sql/live_backend.h"
#include "upkeep/registration.h"
#include "upkeep/sql_backend.h"
#include "upkeep_sql/system_table.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/version_tracking.h"

namespace upkeep_sql {
namespace {

struct ItemRow {
  runtime::CString<20> CODE;
};
constexpr runtime::FieldDef kItemFields[] = {GD_FIELD(ItemRow, CODE, "ITM:CODE")};

class LiveSystemTableTest : public testing::LiveBackendTest,
                            public ::testing::WithParamInterface<testing::ServerCase> {
 protected:
  // One start of the program: a fresh engine registers `items` at `version`.
  void start(files::FileDeclaration& items, std::int16_t version) {
    if (backend) files::CLOSE(*backend);
    resetSqlBackendState();
    declareBackend(systemTable, GetParam().kind, false);
    LoadVersionInfoQueues(items, version, "itm", "Items");
  }
  std::unique_ptr<files::FileDeclaration> itemsFile(const std::string& name) {
    return std::make_unique<files::FileDeclaration>(files::FileSpec{
        .label = "Items",
        .prefix = "ITM",
        .driver = files::Driver::Odbc,
        .name = name,
        .owner = owner,
        .fields = kItemFields,
        .recordSize = sizeof(ItemRow),
    });
  }
  // The number of version rows the system table holds.
  long long versionRows() {
    if (!plain->execute("SELECT COUNT(*) FROM " + systemTable, {})) return -1;
    files::SqlRow row;
    return plain->fetch(row) && row[0].value ? std::stoll(*row[0].value) : -1;
  }

  std::string systemTable;
};

TEST_P(LiveSystemTableTest, CreatedOnceVersionsWrittenAndReadBack) {
  std::string server;
  GD_LIVE_CONNECTION(GetParam().server, server);
  ASSERT_TRUE(connect(GetParam().server));
  const std::string database = GetParam().database;
  systemTable = database + files::test::uniqueTableName("upk_system");
  remember(systemTable);
  const std::string itemsName = database + files::test::uniqueTableName("upk_items");
  auto items = itemsFile(itemsName);

  // First start: no system table yet; it is made, and the file is new to it.
  start(*items, 3);
  const VersionTracking& tracking = versionTracking();
  ASSERT_EQ(tracking.VCQ.size(), 1u);
  EXPECT_EQ(tracking.VCQ[0].FILE, itemsName);
  EXPECT_EQ(tracking.VCQ[0].NEWVERSION, 3);
  EXPECT_EQ(tracking.VCQ[0].GOINDEEP, 1);
  EXPECT_EQ(versionRows(), 0);
  // The table brought up to date, its version is written back.
  ASSERT_EQ(OpenUpkeepSQLFile(0, "ODB"), 0);
  updategsqlfile("ITM", "ODB");
  updategsqlfile("ITM", "ODB");
  EXPECT_EQ(versionRows(), 1) << "the second write updates the row";

  // Next start: the table is there (made once), the version read back, nothing to compare.
  takeTrace();
  start(*items, 3);
  ASSERT_EQ(versionTracking().VCQ.size(), 1u);
  EXPECT_EQ(versionTracking().VCQ[0].OLDVERSION, 3);
  EXPECT_EQ(versionTracking().VCQ[0].GOINDEEP, 0);

  // A program with version 4 registers the file: the change is recognised.
  if (backend) files::CLOSE(*backend);
  resetSqlBackendState();
  declareBackend(systemTable, GetParam().kind, false);
  installSqlBackends();
  upkeep::sqlBackend()->LoadVersionInfoQueues(*items, 4, "ITM", "Items");
  ASSERT_EQ(versionTracking().VCQ.size(), 1u);
  EXPECT_EQ(versionTracking().VCQ[0].OLDVERSION, 3);
  EXPECT_EQ(versionTracking().VCQ[0].NEWVERSION, 4);
  EXPECT_EQ(versionTracking().VCQ[0].GOINDEEP, 1);
  EXPECT_EQ(versionTracking().IVQ[0].VERSION, 4);
  EXPECT_EQ(versionRows(), 1);
}

INSTANTIATE_TEST_SUITE_P(Servers, LiveSystemTableTest, ::testing::ValuesIn(testing::kServerCases),
                         [](const auto& info) { return std::string(info.param.server.name); });

}  // namespace
}  // namespace upkeep_sql
