// The system table and the version check against a scripted server: the version rows and what
// they decide, the zones, the creation statements per backend, the MySQL name rule and the
// version row written back.
#include "upkeep_sql/version_tracking.h"

#include <gtest/gtest.h>

#include "platform/files/file_property.h"
#include "platform/runtime/message.h"
#include "tests/upkeep_sql/catalogue_rows.h"
#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep/open_flags.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/system_table.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using runtime::HaltRequested;
using testing::row;
using Lines = std::vector<std::string>;

constexpr runtime::FieldDef kItemFields[] = {GD_FIELD(testing::BackendRow, TEXT, "ITM:TEXT")};

class VersionTrackingTest : public testing::SqlEngineTest {
 protected:
  explicit VersionTrackingTest(files::Driver driver = files::Driver::Mssql,
                               std::string code = "MSS")
      : SqlEngineTest(driver, std::move(code), sqlRowFields(), sizeof(SqlRowBuffer)) {}

  // A managed FILE of the program on the backend's driver.
  std::unique_ptr<files::FileDeclaration> managed(std::string_view name,
                                                  files::Driver driver = files::Driver::Mssql) {
    return std::make_unique<files::FileDeclaration>(files::FileSpec{
        .label = "Items",
        .prefix = "ITM",
        .driver = driver,
        .name = name,
        .owner = "server,db,user,secret",
        .fields = kItemFields,
        .recordSize = sizeof(testing::BackendRow),
    });
  }
  // One select whose statement holds `match` answers a version row.
  void storedVersion(std::string match, const char* version) {
    script->answer(
        {.match = std::move(match), .rows = {row({"dbo.Items", "ITM", version})}, .times = 1});
  }
  const VcqEntry& lastChange() { return versionTracking().VCQ.back(); }
};

TEST_F(VersionTrackingTest, TheStoredVersionDecidesTheComparison) {
  struct Case {
    const char* stored;  // nullptr: no row
    std::int32_t old;
    std::uint8_t goInDeep;
  };
  const Case cases[] = {{"3", 3, 0}, {"2", 2, 1}, {nullptr, 0, 1}};
  for (const Case& c : cases) {
    resetSqlBackendState();
    if (c.stored != nullptr) storedVersion("DS_FIELD1 = 'dbo.Items'", c.stored);
    auto items = managed("dbo.Items");
    LoadVersionInfoQueues(*items, 3, "itm", "Items");
    ASSERT_EQ(versionTracking().VCQ.size(), 1u);
    EXPECT_EQ(lastChange().FILE, "dbo.Items");
    EXPECT_EQ(lastChange().OLDVERSION, c.old);
    EXPECT_EQ(lastChange().NEWVERSION, 3);
    EXPECT_EQ(lastChange().GOINDEEP, c.goInDeep) << (c.stored ? c.stored : "no row");
    ASSERT_EQ(versionTracking().IVQ.size(), 1u);
    EXPECT_EQ(versionTracking().IVQ[0].PREFIX, "ITM");
    EXPECT_EQ(versionTracking().IVQ[0].VERSION, 3);
    script->clearCalls();
  }
  // The backend FILE is left closed, with its own owner again.
  EXPECT_FALSE(backend->openState().isOpen());
  EXPECT_EQ(backend->owner(), "server,db,user,secret");
}

TEST_F(VersionTrackingTest, ARowUnderTheLabelIsFoundBySecondSelect) {
  storedVersion("DS_FIELD1 = 'Items'", "3");
  auto items = managed("dbo.Items");
  LoadVersionInfoQueues(*items, 3, "ITM", "Items");
  EXPECT_EQ(script->statements(),
            (Lines{"Select * from [upkeep_backend] where DS_FIELD1 = 'dbo.Items'",
                   "Select * from [upkeep_backend] where DS_FIELD1 = 'Items'"}));
  EXPECT_EQ(lastChange().GOINDEEP, 0);
}

TEST_F(VersionTrackingTest, ANewerDatabaseEndsTheProgramUnlessDowngrading) {
  script->answer({.match = "DS_FIELD1", .rows = {row({"dbo.Items", "ITM", "5"})}});
  auto items = managed("dbo.Items");
  answerer.addAnswer(runtime::ButtonOk);
  try {
    LoadVersionInfoQueues(*items, 3, "ITM", "Items");
    FAIL() << "a database newer than the program ends it";
  } catch (const HaltRequested& halt) {
    EXPECT_NE(halt.exitCode, 0) << "an error end is never reported as success";
  }
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_EQ(answerer.shown()[0].text,
            "ERROR: Upkeep detects that this application possibly contains older file "
            "structures than the current backend version. File involved: dbo.Items\nPlease "
            "upgrade your program, or contact your program supplier.\n\nClick OK to end "
            "the program!")
      << "CR LF pairs start new lines in the box";

  commandLine("/DOWNGRADE");
  answerer.addAnswer(runtime::ButtonIgnore);
  LoadVersionInfoQueues(*items, 3, "ITM", "Items");
  ASSERT_EQ(answerer.shown().size(), 2u);
  EXPECT_EQ(answerer.shown()[1].caption, "Stop");
  EXPECT_EQ(answerer.shown()[1].text.substr(0, 24), "WARNING: Upkeep detects ");
  EXPECT_NE(answerer.shown()[1].text.find("dbo.Items\n\nTo END PROGRAM NOW and upgrade your "
                                          "program, click ABORT!\nTo continue DOWNGRADING "
                                          "this file, click IGNORE."),
            std::string::npos);
  EXPECT_EQ(lastChange().OLDVERSION, 5);
  EXPECT_EQ(lastChange().GOINDEEP, 1);
}

TEST_F(VersionTrackingTest, OutsideTheZoneAndOnOtherDrivers) {
  // An owner stored for the backend that differs from the system table's: not managed here.
  upkeep::openFlags().MSSFileOwner = "other,db2,user,pw";
  storedVersion("DS_FIELD1", "3");
  auto items = managed("dbo.Items");
  LoadVersionInfoQueues(*items, 3, "ITM", "Items");
  ASSERT_EQ(versionTracking().VCQ.size(), 1u);
  EXPECT_EQ(lastChange().GOINDEEP, 0);
  EXPECT_EQ(lastChange().NEWVERSION, 0);
  EXPECT_EQ(versionTracking().IVQ.size(), 1u);
  EXPECT_TRUE(script->statements().empty());

  // A file of the local driver is no business of the system table.
  auto local = managed("items.vkf", files::Driver::Caskfile);
  LoadVersionInfoQueues(*local, 3, "LOC", "Local");
  EXPECT_EQ(versionTracking().VCQ.size(), 1u);
  EXPECT_EQ(versionTracking().IVQ.size(), 1u);
  EXPECT_EQ(upkeep::openFlags().IsSQLDriver, 0);
}

TEST(ManageableZone, EachBackendReadsItsOwnerString) {
  struct Case {
    const char* code;
    const char* owner;
    const char* zone;
  };
  const Case cases[] = {
      {"MSS", "srv01,sales,user,pw", "sales"},
      {"MSS", "srv01,sales", "sales"},
      {"MSS", "srv01", "srv01"},
      {"ORA", "scott/tiger@orcl", "NULL"},
      {"ASA", "dsn1,uid=a", "dsn1"},
      {"ASA", "dsn1", "dsn1"},
      {"ODB", "DSN=x;DATABASE=sales;UID=u", "sales"},
      {"ODB", "DBNAME=c:\\data\\app.fdb;USER=u", "c:\\data\\app.fdb"},
      {"ODB", "myodbc,root", "myodbc"},
      {"ODB", "DSN=x", "NULL"},
      {"VKF", "anything", "kept"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComputeManageableZone(c.code, c.owner, "kept"), c.zone) << c.code << " " << c.owner;
}

TEST_F(VersionTrackingTest, TheFirstBackendSetsTheZone) {
  auto items = managed("dbo.Items");
  LoadVersionInfoQueues(*items, 3, "ITM", "Items");
  EXPECT_EQ(versionTracking().ManageableZone, "db");
  files::setProperty(*backend, files::PropOwner, "server,elsewhere,user,secret");
  LoadVersionInfoQueues(*items, 3, "IT2", "Items");
  EXPECT_EQ(versionTracking().ManageableZone, "db");
  EXPECT_EQ(versionTracking().MSSSystemTableName, "upkeep_backend");
}

TEST_F(VersionTrackingTest, TheVersionRowIsInsertedThenUpdated) {
  auto items = managed("dbo.Items");
  LoadVersionInfoQueues(*items, 7, "ITM", "Items");
  files::OPEN(*backend, 0x42);
  script->clearCalls();
  updategsqlfile("itm", "MSS");
  script->answer(
      {.match = "DS_FIELD2 = 'ITM'", .rows = {row({"dbo.Items", "ITM", "6"})}, .times = 1});
  updategsqlfile("ITM", "MSS");
  EXPECT_EQ(script->statements(),
            (Lines{"select * from [upkeep_backend] where DS_FIELD2 = 'ITM'",
                   "insert into [upkeep_backend] (DS_FIELD1, DS_FIELD2, DS_FIELD3, DS_FIELD4) "
                   "values ('dbo.Items','ITM','7', getdate())",
                   "select * from [upkeep_backend] where DS_FIELD2 = 'ITM'",
                   "update [upkeep_backend] set DS_FIELD1 = 'dbo.Items', DS_FIELD2 = 'ITM', "
                   "DS_FIELD3 = '7', DS_FIELD4 = getdate() where DS_FIELD2 = 'ITM'"}));
  script->clearCalls();
  updategsqlfile("NOPE", "MSS");
  EXPECT_TRUE(script->statements().empty()) << "a prefix never registered writes nothing";
}

// The ODBC backend: the system table is missing and made by the kind's own statement.
class OdbcSystemTableTest : public VersionTrackingTest {
 protected:
  OdbcSystemTableTest() : VersionTrackingTest(files::Driver::Odbc, "ODB") {
    files::CLOSE(*backend);
  }
  void kind(std::string odbcKind, std::string systemName) {
    upkeep::registration().options.ODBCDB = std::move(odbcKind);
    backend->setName(systemName);
  }
};

TEST_F(OdbcSystemTableTest, MySqlAndFirebirdCreateTheirSystemTable) {
  kind("MYODBC 3", "shop.upkeepsys");
  auto items = managed("shop.items", files::Driver::Odbc);
  LoadVersionInfoQueues(*items, 2, "ITM", "Items");
  std::string mysql =
      "CREATE TABLE `shop`.`upkeepsys` (  DS_FIELD1 VARCHAR(255),  DS_FIELD2 VARCHAR(250) NOT "
      "NULL,  DS_FIELD3 VARCHAR(250) NOT NULL,";
  for (int n = 4; n <= 40; ++n) mysql += "  DS_FIELD" + std::to_string(n) + " VARCHAR(255),";
  mysql += " PRIMARY KEY PK_GODBCFILE (DS_FIELD2,DS_FIELD3))";
  EXPECT_EQ(script->statements(), Lines{mysql});
  // Made but not to be opened here: the file counts as outside the zone, and nothing stops.
  EXPECT_EQ(lastChange().GOINDEEP, 0);
  EXPECT_EQ(versionTracking().IVQ.size(), 1u);

  script->clearCalls();
  kind("FIREBIRD", "UPKEEPSYS");
  LoadVersionInfoQueues(*items, 2, "IT2", "Items");
  std::string firebird =
      "CREATE TABLE UPKEEPSYS (  DS_FIELD1 VARCHAR(255),  DS_FIELD2 VARCHAR(250) NOT NULL "
      "CONSTRAINT PK_UPKEEPSYS PRIMARY KEY,  DS_FIELD3 VARCHAR(250) NOT NULL,";
  for (int n = 4; n <= 39; ++n) firebird += "  DS_FIELD" + std::to_string(n) + " VARCHAR(255),";
  firebird += "  DS_FIELD40 VARCHAR(255))";
  EXPECT_EQ(script->statements(), Lines{firebird});
}

TEST_F(OdbcSystemTableTest, MySqlTakesTheDatabaseOfTheTableInHand) {
  kind("MYODBC 3", "upkeepsys");
  tableInHand().OutFileName = "shop.orders";
  OpenUpkeepSQLFile(0, "ODB");
  EXPECT_EQ(files::getProperty(*backend, files::PropName), "shop.upkeepsys");

  kind("MYODBC 3", "upkeepsys");
  tableInHand().OutFileName = "orders";
  answerer.addAnswer(runtime::ButtonOk);
  EXPECT_THROW(OpenUpkeepSQLFile(0, "ODB"), HaltRequested);
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_EQ(answerer.shown()[0].text,
            "MySQL requires db.tablename format in your full path name!\nEnding Program.");
}

TEST_F(OdbcSystemTableTest, AKindWithoutACreationRuleEndsTheProgram) {
  kind("SOMETHING", "upkeepsys");
  auto items = managed("items", files::Driver::Odbc);
  EXPECT_THROW(LoadVersionInfoQueues(*items, 2, "ITM", "Items"), HaltRequested);
  EXPECT_TRUE(script->statements().empty());
}

}  // namespace
}  // namespace upkeep_sql
