// Oracle tablespaces against a scripted server (found, created, refused), and the PostgreSQL
// pieces: quoted column lists, the text of bytea values, the guard against type changes the
// server cannot make, and the system table with its schema.
#include <gtest/gtest.h>

#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/interpret_structure.h"
#include "upkeep_sql/postgres_extras.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/tablespaces.h"

namespace upkeep_sql {
namespace {

using runtime::ButtonNo;
using runtime::ButtonOk;

struct Part {
  Part() {}
  runtime::Long ID;
  runtime::CString<21> NAME;
};
constexpr runtime::FieldDef kPartFields[] = {GD_FIELD(Part, ID, "PRT:ID"),
                                             GD_FIELD(Part, NAME, "PRT:NAME")};
constexpr files::KeySpec kPartKeys[] = {{"PRT:P_ID", files::KeyPrimary, {1}},
                                        {"PRT:K_NAME", files::KeyDup, {2}}};
constexpr files::FileSpec kPartSpec{.label = "parts",
                                    .prefix = "PRT",
                                    .fields = kPartFields,
                                    .recordSize = sizeof(Part),
                                    .keys = kPartKeys};

class OracleTablespaceTest : public testing::SqlEngineTest {
 protected:
  OracleTablespaceTest() : SqlEngineTest(files::Driver::Mssql, "ORA") {
    columnTables().TSQ = {
        {.NAME = "PARTS", .SPACE = "PARTS_TS", .DIR = "/u01/parts.dbf", .SIZE = "100M"}};
    columnTables().ISQ = {
        {.NAME = "DCTIDXSPC_", .SPACE = "IDX_TS", .DIR = "/u01/idx.dbf", .SIZE = "50M"}};
  }
  static files::SqlScript::Rule exists(const char* space) {
    return {.match = std::string("TABLESPACE_NAME = '") + space + "'",
            .rows = {files::SqlRow{files::SqlCell{space}}}};
  }
};

TEST_F(OracleTablespaceTest, MissingTablespaceIsCreatedAndNamedInTheStatements) {
  script->answer(exists("IDX_TS"));
  script->answer({.match = "user_tablespaces"});  // no row: PARTS_TS is missing
  caseState() = {.CaseMode = 0, .CaseModeSet = 1};
  tableInHand().SqlTableName = "PARTS";
  tableInHand().OutFileName = "parts";
  const files::FileDeclaration file(kPartSpec);
  ds_InterpretStructure(file);
  declaredStructure().KDQ.entries[1].DCTMASTER = 1;
  ds_SetSQLNames("ORA");
  script->clearCalls();
  ASSERT_EQ(ds_CreateSQLTable("ORA"), 0);
  EXPECT_EQ(script->statements(),
            (std::vector<std::string>{
                "select TABLESPACE_NAME from user_tablespaces where TABLESPACE_NAME = 'PARTS_TS'",
                "Create TableSpace \"PARTS_TS\"  Logging  Datafile '/u01/parts.dbf'  Size 100M  "
                "Extent Management Local",
                "select TABLESPACE_NAME from user_tablespaces where TABLESPACE_NAME = 'IDX_TS'",
                "Create Table PARTS (\"ID\" number(10,0) CONSTRAINT nn_PRT_ID NOT NULL "
                "CONSTRAINT \"PARTS_P_ID\" PRIMARY KEY, \"NAME\" varchar2(20)) TABLESPACE PARTS_TS",
                "CREATE INDEX PARTS_K_NAME ON PARTS (NAME) TABLESPACE IDX_TS"}));
  EXPECT_TRUE(answerer.shown().empty());
}

TEST_F(OracleTablespaceTest, LookupsWithoutEntriesAndAFailedLookup) {
  columnTables().ISQ.clear();
  EXPECT_EQ(IndexTableSpaceClause("K_NAME"), "") << "no entry and no default: no clause";
  EXPECT_EQ(GetTableSpace("X", "PARTS"), "");
  EXPECT_TRUE(script->statements().empty());

  refuse("user_tablespaces", "42000", -1, "table or view does not exist");
  EXPECT_EQ(FindTableSpace("PARTS_TS"), 0) << "a failed lookup counts as not found";
  script->answer(exists("PARTS_TS"));
  EXPECT_EQ(FindTableSpace("O'Hara"), 0);
  EXPECT_EQ(script->statements().back(),
            "select TABLESPACE_NAME from user_tablespaces where TABLESPACE_NAME = 'O''Hara'");
}

TEST_F(OracleTablespaceTest, RefusedCreationIsReportedAndAskedAbout) {
  script->answer({.match = "user_tablespaces"});
  refuse("Create TableSpace", "42000", -1, "ORA-01119: error in creating database file");
  answerer.addAnswer(ButtonNo);  // M26 of the statement
  answerer.addAnswer(ButtonNo);  // M29 of the tablespace
  EXPECT_EQ(GetTableSpace("T", "parts"), "PARTS_TS");
  ASSERT_EQ(answerer.shown().size(), 2u);
  EXPECT_NE(answerer.shown()[0].text.find("ORA-01119"), std::string::npos);
  EXPECT_NE(answerer.shown()[1].text.find("Unable to create TableSpace"), std::string::npos);
  EXPECT_NE(answerer.shown()[1].text.find("PARTS_TS"), std::string::npos);

  // A size that is not a size is never pasted into a statement.
  script->clearCalls();
  EXPECT_EQ(CreateTableSpace("1M; drop table parts", "/u01/x.dbf", "X_TS"), 1);
  EXPECT_TRUE(script->statements().empty());
}

TEST(PostgresExtras, ColumnListsQuoteEachName) {
  const std::pair<const char*, const char*> cases[] = {
      {"a b c", "\"a\" \"b\" \"c\""},
      {"ab", "\"ab\""},
      {"a  b", "\"a\" \"b\""},
      {"say\"what", "\"say\"\"what\""},
  };
  for (const auto& [list, quoted] : cases) EXPECT_EQ(PostgresColumnList(list), quoted) << list;
}

TEST(PostgresExtras, ByteaTextEscapesOnlyWhatTheLiteralCannotCarry) {
  const auto parse = [](std::string_view bytes, std::uint8_t binary) {
    std::int32_t length = static_cast<std::int32_t>(bytes.size());
    const std::unique_ptr<char[]> text = ds_PostGresParseBinaryString(length, binary, bytes.data());
    return text == nullptr ? std::string("<none>") : std::string(text.get(), length);
  };
  EXPECT_EQ(parse(std::string("\0A'", 3), 1), "\\000A\\047");
  EXPECT_EQ(parse("\xff\\~ \x7f", 1), "\\377\\134~ \\177");
  EXPECT_EQ(parse("it's a \\ path", 0), "it's a \\ path") << "a text is quoted by the helper";
  EXPECT_EQ(parse("", 1), "<none>");
  EXPECT_EQ(OctalEscape(8), "010");
}

TEST(PostgresExtras, TypeChangesTheServerCannotMakeAreRefusedWithAWarning) {
  runtime::ScriptedAnswerer answerer;
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers{answerer, halter};
  const struct {
    const char* wanted;
    const char* current;
    std::int32_t refused;
  } cases[] = {
      {"INTEGER", "TEXT", 1},
      {"numeric", "date", 1},
      {"TEXT", "BYTEA", 1},
      {"date", "date", 1},
      {"time", "integer", 1},
      {"integer", "bigint", 0},
      {"DATE", "varchar", 0},
      {"varchar(20)", "bytea", 1},
      {"bytea", "text", 0},
      // Sized types are judged by their type word, on either side.
      {"integer", "varchar(11)", 1},
      {"numeric(11,2)", "char(4)", 1},
      {"DATE", "varchar(11)", 0},
      {"varchar(40)", "varchar(20)", 0},
  };
  for (const auto& c : cases) {
    if (c.refused) answerer.addAnswer(ButtonOk);
    EXPECT_EQ(ds_PostGresWarnForIllegalFieldChanges("", "", c.wanted, c.current, "col", "PRT:NAME",
                                                    "parts"),
              c.refused)
        << c.current << " to " << c.wanted;
  }
  ASSERT_EQ(answerer.shown().size(), 8u);
  EXPECT_EQ(answerer.shown()[0].caption, "Upkeep Warning:");
  EXPECT_EQ(answerer.shown()[0].text,
            "Upkeep Warning: Attempting illegal operation on file: parts\nFor field: "
            "PRT:NAME\nConsult your application supplier for details.");
}

class PostgresSystemTableTest : public testing::SqlEngineTest {
 protected:
  PostgresSystemTableTest() : SqlEngineTest(files::Driver::Odbc, "ODB") {}
  ~PostgresSystemTableTest() override {
    if (systemTable_ != nullptr) files::CLOSE(*systemTable_);
  }
  // Statements go through a backend FILE named `name` from now on.
  void backendNamed(const std::string& name) {
    name_ = name;
    script->setColumns(name_, {{"TEXT", "varchar"}, {"MORE", "varchar"}});
    systemTable_ = std::make_unique<files::FileDeclaration>(files::FileSpec{
        .label = "system",
        .prefix = "SYS",
        .driver = files::Driver::Odbc,
        .name = name_,
        .owner = "server,db,user,secret",
        .fields = testing::kBackendFields,
        .recordSize = sizeof(testing::BackendRow),
    });
    files::OPEN(*systemTable_, 0x42);
    ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
    upkeep::registration().CurrentSqlDriver = {.file = systemTable_.get(),
                                               .record = systemTable_->record().data(),
                                               .recordSize = sizeof(testing::BackendRow)};
    script->clearCalls();
  }
  static std::string columns() {
    std::string text =
        "  DS_FIELD1 VARCHAR(255),  DS_FIELD2 VARCHAR(250) NOT NULL,  DS_FIELD3 "
        "VARCHAR(250) NOT NULL,";
    for (int n = 4; n <= 40; ++n) text += "  DS_FIELD" + std::to_string(n) + " VARCHAR(255),";
    return text + "  PRIMARY KEY(\"ds_field2\")) WITHOUT OIDS;";
  }

 private:
  std::string name_;
  std::unique_ptr<files::FileDeclaration> systemTable_;
};

TEST_F(PostgresSystemTableTest, SchemaOfTheTableNameIsMadeFirst) {
  backendNamed("Upk.UpkeepSQLFile");
  EXPECT_EQ(CreatePOSTGRESUpkeepTable(), 0);
  EXPECT_EQ(script->statements(),
            (std::vector<std::string>{"CREATE SCHEMA \"upk\"",
                                      "CREATE TABLE Upk.UpkeepSQLFile (" + columns()}));
}

TEST_F(PostgresSystemTableTest, PublicSchemaIsNotMadeAndARefusedTableFails) {
  backendNamed("UpkeepSQLFile");
  tableInHand().TableSchema = "public";
  refuse("CREATE TABLE", "42P07", -1, "relation already exists");
  EXPECT_EQ(CreatePOSTGRESUpkeepTable(), 1);
  EXPECT_EQ(script->statements(),
            (std::vector<std::string>{"CREATE TABLE UpkeepSQLFile (" + columns()}));
  EXPECT_TRUE(answerer.shown().empty()) << "the caller reports it";
}

}  // namespace
}  // namespace upkeep_sql
