// The statements that create a table and its keys, as a scripted server receives them: the
// whole CREATE TABLE of one declaration on six backends, each key kind on each backend, the
// key statements the comparison asks for, and a creation the server refuses.
#include <gtest/gtest.h>

#include "platform/runtime/field_types.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep/open_flags.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/interpret_structure.h"
#include "upkeep_sql/key_statements.h"
#include "upkeep_sql/sql_datatype.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using runtime::ButtonNo;

struct Item {
  Item() {}
  runtime::Long ID;
  runtime::CString<31> NAME;
  runtime::DecimalField<7, 2> PRICE;
  runtime::UShort QTY;
  runtime::String<4> CODE;
};
constexpr runtime::FieldDef kItemFields[] = {
    GD_FIELD(Item, ID, "ITM:ID"),       GD_FIELD(Item, NAME, "ITM:NAME"),
    GD_FIELD(Item, PRICE, "ITM:PRICE"), GD_FIELD(Item, QTY, "ITM:QTY"),
    GD_FIELD(Item, CODE, "ITM:CODE"),
};
// Every key kind: a one-column primary key (written inline), a unique key, a DUP key the
// declaration is master of (an index), a DUP key it is not (nothing), a unique key with a
// descending component.
constexpr files::KeySpec kItemKeys[] = {
    {"ITM:P_ID", files::KeyPrimary, {1}},
    {"ITM:K_NAME", files::KeyNoCase, {2}},
    {"ITM:K_PRICE", files::KeyDup, {3, -4}},
    {"ITM:K_QTY", files::KeyDup, {4}},
    {"ITM:K_CODE", 0, {5, -2}},
};
constexpr files::MemoSpec kItemMemos[] = {{"ITM:NOTES", 2000, files::MemoKindMemo}};
constexpr files::FileSpec kItemSpec{.label = "items",
                                    .prefix = "ITM",
                                    .fields = kItemFields,
                                    .recordSize = sizeof(Item),
                                    .keys = kItemKeys,
                                    .memos = kItemMemos};

struct Backend {
  const char* code;
  const char* kind;
  std::int32_t caseMode;
};
constexpr Backend kMss{"MSS", "", 0}, kOra{"ORA", "", 0}, kAsa{"ASA", "", 0},
    kMySql{"ODB", "MYODBC 3", 0}, kFirebird{"ODB", "FIREBIRD", 2}, kPostgres{"ODB", "POSTGRES", -1};

class TableStatementsTest : public testing::SqlEngineTest {
 protected:
  // Reads the declaration for `backend` as the table manager does before a creation; the
  // K_PRICE key is one the declaration is master of, ID an autonumber column.
  void prepare(const Backend& backend, const char* table = "Items") {
    upkeep::registration().options.ODBCDB = backend.kind;
    caseState() = {.CaseMode = backend.caseMode, .CaseModeSet = 1};
    tableInHand().SqlTableName = table;
    tableInHand().OutFileName = "items";
    statementQueues() = {};
    columnTables().IQ = {{.TABLENAME = table, .FIELDNAME = CasedName("ITM:ID")}};
    const files::FileDeclaration file(kItemSpec);
    ds_InterpretStructure(file);
    declaredStructure().KDQ.entries[2].DCTMASTER = 1;
    ds_SetSQLNames(backend.code);
    script->clearCalls();
  }
  std::vector<std::string> create(const Backend& backend) {
    prepare(backend);
    EXPECT_EQ(ds_CreateSQLTable(backend.code), 0);
    return script->statements();
  }
};

TEST_F(TableStatementsTest, CreateTableWithItsKeysOnEachBackend) {
  EXPECT_EQ(create(kMss),
            (std::vector<std::string>{
                "Create Table [Items] ([ID] int IDENTITY(1,1) NOT NULL CONSTRAINT [ITEMS_P_ID] "
                "PRIMARY KEY, [NAME] varchar(30), [PRICE] decimal(7,2), [QTY] integer, [CODE] "
                "char(4), [NOTES] image)",
                "ALTER TABLE [Items] ADD CONSTRAINT [ITEMS_K_NAME] UNIQUE ([NAME])",
                "CREATE INDEX [ITEMS_K_PRICE] ON [Items] ([PRICE], [QTY] DESC)",
                "ALTER TABLE [Items] ADD CONSTRAINT [ITEMS_K_CODE] UNIQUE ([CODE], [NAME] DESC)"}));
  EXPECT_EQ(upkeep::openFlags().IdentityInsertNeeded, 1);

  EXPECT_EQ(create(kOra),
            (std::vector<std::string>{
                "Create Table Items (\"ID\" number(10,0) CONSTRAINT nn_ITM_ID NOT NULL "
                "CONSTRAINT \"ITEMS_P_ID\" PRIMARY KEY, \"NAME\" varchar2(30), \"PRICE\" "
                "number(7,2), \"QTY\" number(5,0), \"CODE\" char(4), \"NOTES\" blob)",
                "ALTER TABLE Items ADD CONSTRAINT \"ITEMS_K_NAME\" UNIQUE (NAME)",
                "CREATE INDEX ITEMS_K_PRICE ON Items (PRICE, QTY DESC)",
                "CREATE UNIQUE INDEX ITEMS_K_CODE ON Items (CODE, NAME DESC)"}));

  EXPECT_EQ(create(kAsa),
            (std::vector<std::string>{
                "Create Table \"Items\" (\"ID\" integer IDENTITY NOT NULL PRIMARY KEY, \"NAME\" "
                "varchar(30), \"PRICE\" decimal(7,2), \"QTY\" integer, \"CODE\" char(4), "
                "\"NOTES\" blob)",
                "ALTER TABLE \"Items\" ADD UNIQUE (\"NAME\")",
                "CREATE INDEX \"K_PRICE\" ON \"Items\" (\"PRICE\", \"QTY\" DESC)",
                "ALTER TABLE \"Items\" ADD UNIQUE (\"CODE\", \"NAME\" DESC)"}));

  EXPECT_EQ(create(kMySql),
            (std::vector<std::string>{
                "Create Table `Items` ( `ID` int NOT NULL AUTO_INCREMENT PRIMARY KEY,  `NAME` "
                "varchar(30),  `PRICE` decimal(8,2),  `QTY` smallint unsigned,  `CODE` char(4),  "
                "`NOTES` blob) ENGINE = MyISAM",
                "ALTER TABLE `Items` ADD CONSTRAINT `K_NAME` UNIQUE (`NAME`)",
                "CREATE INDEX `K_PRICE` ON `Items` (`PRICE`, `QTY` DESC)",
                "ALTER TABLE `Items` ADD CONSTRAINT `K_CODE` UNIQUE (`CODE`, `NAME` DESC)"}));
  EXPECT_EQ(upkeep::registration().options.mysqlType, "MyISAM");

  EXPECT_EQ(create(kFirebird),
            (std::vector<std::string>{
                "Create Table \"ITEMS\" ( \"ID\" integer NOT NULL CONSTRAINT \"ITEMS_P_ID\" "
                "PRIMARY KEY,  \"NAME\" varchar(30),  \"PRICE\" decimal(7,2),  \"QTY\" integer,  "
                "\"CODE\" char(4),  \"NOTES\" blob)",
                "ALTER TABLE \"ITEMS\" ADD CONSTRAINT \"ITEMS_K_NAME\" UNIQUE (NAME)",
                "CREATE INDEX \"ITEMS_K_PRICE\" ON \"ITEMS\" (PRICE, QTY)",
                "ALTER TABLE \"ITEMS\" ADD CONSTRAINT \"ITEMS_K_CODE\" UNIQUE (CODE, NAME)",
                "Create Generator \"ITM_ID\"",
                "Create Trigger \"Get_Next_ITM_ID\" for \"ITEMS\" Active Before Insert position 0 "
                "as Begin  if (New.\"ID\" = 0 or New.\"ID\" is NULL ) then   New.\"ID\" = "
                "GEN_ID(\"ITM_ID\",1); end"}));

  EXPECT_EQ(create(kPostgres),
            (std::vector<std::string>{
                "Create Table \"public\".\"items\" ( \"id\" serial CONSTRAINT \"items_p_id\" "
                "PRIMARY KEY,  \"name\" varchar(30),  \"price\" numeric(8,2),  \"qty\" integer,  "
                "\"code\" char(4),  \"notes\" bytea) WITHOUT OIDS;",
                "ALTER TABLE \"public\".\"items\" ADD CONSTRAINT \"items_k_name\" UNIQUE "
                "(\"name\")",
                "CREATE INDEX \"items_k_price\" ON \"public\".\"items\" (\"price\", \"qty\")",
                "ALTER TABLE \"public\".\"items\" ADD CONSTRAINT \"items_k_code\" UNIQUE "
                "(\"code\", \"name\")"}));
}

TEST_F(TableStatementsTest, KeyNamesOfTwoTablesNeverCollideWhereNamesArePerSchema) {
  const std::pair<Backend, const char*> primaryNames[] = {{kMss, "[ORDERS_P_ID]"},
                                                          {kOra, "\"ORDERS_P_ID\""},
                                                          {kFirebird, "\"ORDERS_P_ID\""},
                                                          {kPostgres, "\"orders_p_id\""}};
  for (const auto& [backend, name] : primaryNames) {
    prepare(backend, "Orders");
    EXPECT_EQ(declaredStructure().KDQ.entries[0].SQLKEYNAME, std::string(name).substr(1, 11));
  }
  // Per-table names stay as declared; an external name is always kept; a long table name is
  // cut so that the key's own name stays whole.
  prepare(kMySql, "Orders");
  EXPECT_EQ(declaredStructure().KDQ.entries[0].SQLKEYNAME, "P_ID");
  prepare(kOra, "A_VERY_LONG_TABLE_NAME_FOR_ORACLE");
  EXPECT_EQ(declaredStructure().KDQ.entries[1].SQLKEYNAME, "A_VERY_LONG_TABLE_NAME__K_NAME");
}

TEST_F(TableStatementsTest, PrimaryKeyOfSeveralColumnsAndAPostgresSchema) {
  prepare(kPostgres);
  tableInHand().TableSchema = "Shop";
  KdqEntry& primary = declaredStructure().KDQ.entries[0];
  primary.FIELDS = " code name";
  primary.NUMFIELDS = 2;
  primary.FIELDNUMS = {5, 2};
  columnTables().IQ.clear();
  ASSERT_EQ(ds_CreateSQLTable("ODB"), 0);
  const std::vector<std::string> sent = script->statements();
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent[0], "Create Schema \"Shop\"");
  EXPECT_EQ(sent[1].rfind("Create Table \"Shop\".\"items\" ( \"id\" integer,  ", 0), 0u);
  EXPECT_NE(sent[1].find("\"name\" varchar(30) NOT NULL"), std::string::npos);
  EXPECT_NE(sent[1].find("\"code\" char(4) NOT NULL"), std::string::npos);
  EXPECT_EQ(sent[1].find("PRIMARY KEY"), std::string::npos);
  EXPECT_EQ(sent[2],
            "ALTER TABLE \"Shop\".\"items\" ADD CONSTRAINT \"items_p_id\" PRIMARY KEY "
            "(\"code\", \"name\")");
}

TEST_F(TableStatementsTest, FirebirdKeysDescendingInEveryComponentGetDescendingIndexes) {
  // Every key of the declaration turned wholly descending; the DUP key the declaration is not
  // master of stays without a statement.
  prepare(kFirebird);
  for (KdqEntry& key : declaredStructure().KDQ.entries)
    for (std::int16_t& number : key.FIELDNUMS)
      number = static_cast<std::int16_t>(-std::abs(number));
  columnTables().IQ.clear();
  ASSERT_EQ(ds_CreateSQLTable("ODB"), 0);
  std::vector<std::string> sent = script->statements();
  ASSERT_FALSE(sent.empty());
  EXPECT_NE(sent[0].find("\"ID\" integer NOT NULL CONSTRAINT \"ITEMS_P_ID\" PRIMARY KEY USING "
                         "DESCENDING INDEX \"ITEMS_P_ID\","),
            std::string::npos)
      << sent[0];
  sent.erase(sent.begin());
  EXPECT_EQ(sent, (std::vector<std::string>{
                      "ALTER TABLE \"ITEMS\" ADD CONSTRAINT \"ITEMS_K_NAME\" UNIQUE (NAME) USING "
                      "DESCENDING INDEX \"ITEMS_K_NAME\"",
                      "CREATE DESCENDING INDEX \"ITEMS_K_PRICE\" ON \"ITEMS\" (PRICE, QTY)",
                      "ALTER TABLE \"ITEMS\" ADD CONSTRAINT \"ITEMS_K_CODE\" UNIQUE (CODE, NAME) "
                      "USING DESCENDING INDEX \"ITEMS_K_CODE\""}));

  // A primary key of several columns, added after the table.
  prepare(kFirebird);
  KdqEntry& primary = declaredStructure().KDQ.entries[0];
  primary.FIELDS = " CODE NAME";
  primary.NUMFIELDS = 2;
  primary.FIELDNUMS = {-5, -2};
  columnTables().IQ.clear();
  ASSERT_EQ(ds_CreateSQLTable("ODB"), 0);
  sent = script->statements();
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[1],
            "ALTER TABLE \"ITEMS\" ADD CONSTRAINT \"ITEMS_P_ID\" PRIMARY KEY (CODE, NAME) USING "
            "DESCENDING INDEX \"ITEMS_P_ID\"");
}

TEST_F(TableStatementsTest, SecondAutonumberFieldIsReportedAndStaysOrdinary) {
  prepare(kMss);
  columnTables().IQ.push_back({.TABLENAME = "Items", .FIELDNAME = "ITM:QTY"});
  upkeep::registration().options.blankZero = 1;
  answerer.addAnswer(ButtonNo);
  ASSERT_EQ(ds_CreateSQLTable("MSS"), 0);
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_NE(answerer.shown()[0].text.find("Only 1 per file permitted! Field:"), std::string::npos);
  EXPECT_NE(answerer.shown()[0].text.find("Qty Items"), std::string::npos);
  EXPECT_NE(script->statements()[0].find("[QTY] integer Default 0,"), std::string::npos);
}

TEST_F(TableStatementsTest, KeyStatementsTheComparisonAsksFor) {
  prepare(kOra);
  KdqEntry& name = declaredStructure().KDQ.entries[1];
  declaredStructure().KDQ.current = name;
  const std::string columns = CommaSeperateAndDescCheck("D", "ORA");
  EXPECT_EQ(BuildKey(name.ATT, columns, "K_NAME", "ORA", 0, 0),
            "ALTER TABLE Items ADD CONSTRAINT \"K_NAME\" UNIQUE (NAME)");
  EXPECT_EQ(BuildKey(name.ATT, columns, "K_NAME", "ORA", 1, 0),
            "CREATE UNIQUE INDEX \"K_NAME\" ON Items (NAME)");
  EXPECT_EQ(BuildKey(" dup", columns, "K_DUP", "ORA", 0, 0), "") << "DUP without force or index";
  EXPECT_EQ(BuildKey(" primary", columns, "PK", "ORA", 0, 0),
            "Alter Table Items ADD CONSTRAINT \"PK\" PRIMARY KEY (NAME)");

  prepare(kPostgres);
  declaredStructure().KDQ.current = declaredStructure().KDQ.entries[2];
  EXPECT_EQ(BuildKey(" dup", CommaSeperateAndDescCheck("D", "ODB"), "K_Price", "ODB", 1, 0),
            "CREATE  INDEX \"k_price\" ON \"public\".\"items\" USING btree (\"price\", \"qty\")");

  // On Firebird a live key put back runs as that key, whatever declared key was looked at last.
  prepare(kFirebird);
  declaredStructure().KDQ.current = declaredStructure().KDQ.entries[2];
  SkdqEntry& live = liveStructure().SKDQ.current;
  live.NUMFIELDS = 1;
  live.FIELDNUMS = {-2};
  EXPECT_EQ(BuildKey(" dup", "NAME", "K_OLD", "ODB", 1, 1, "S"),
            "CREATE  DESCENDING INDEX \"K_OLD\" ON \"ITEMS\" (NAME)");
  live.FIELDNUMS = {2};
  declaredStructure().KDQ.current.FIELDNUMS = {-4, -6};
  EXPECT_EQ(BuildKey(" dup", "NAME", "K_OLD", "ODB", 1, 1, "S"),
            "CREATE  INDEX \"K_OLD\" ON \"ITEMS\" (NAME)");

  // Drops, per backend.
  const struct {
    Backend backend;
    const char* attributes;
    std::uint8_t isIndex;
    const char* expected;
  } drops[] = {
      {kMss, " nocase", 0, "Alter Table [Items] Drop Constraint [K_NAME]"},
      {kMss, " dup", 1, "Drop Index [Items].[K_NAME]"},
      {kMySql, " primary", 0, "Alter Table `Items` Drop PRIMARY Key"},
      {kMySql, " dup", 1, "Alter Table `Items` Drop Index `PRIMARY`"},
      {kPostgres, " nocase", 0,
       "Alter Table \"public\".\"items\" Drop Constraint \"K_NAME\" "
       "RESTRICT"},
      {kFirebird, " dup", 1, "Drop Index \"K_NAME\""},
      {kAsa, " primary", 0, "Alter Table \"Items\" Drop Primary Key"},
  };
  for (const auto& d : drops) {
    prepare(d.backend);
    const char* key = std::string_view(d.backend.kind) == "MYODBC 3" ? "PRIMARY" : "K_NAME";
    EXPECT_EQ(DropKey(d.attributes, key, "Items", d.backend.code, d.isIndex), d.expected);
  }
}

TEST_F(TableStatementsTest, OneColumnMySqlKeyOverALongTextIndexesItsFirstCharacters) {
  prepare(kMySql);
  KdqEntry& name = declaredStructure().KDQ.entries[1];
  declaredStructure().FDQ.entries[1].LENGTH = 300;
  name.DCTMASTER = 1;
  CreateKeys("ODB");
  EXPECT_EQ(statementQueues().SQ.at(1).SQL,
            "CREATE UNIQUE INDEX `K_NAME` ON `Items` (`NAME`(255))");
  declaredStructure().FDQ.entries[1].LENGTH = 200;
  statementQueues() = {};
  CreateKeys("ODB");
  EXPECT_EQ(statementQueues().SQ.at(1).SQL, "CREATE UNIQUE INDEX `K_NAME` ON `Items` (`NAME`)");
}

// A time, a SREAL and the BFLOAT types, which some servers have no type of the same name for.
struct Odd {
  runtime::Long ID;
  runtime::Time T;
  runtime::SReal SR;
  runtime::String<4> BF4;
  runtime::String<8> BF8;
};
constexpr runtime::FieldDef declaredAs(runtime::FieldDef def, runtime::FieldType type) {
  def.type = type;
  return def;
}
constexpr runtime::FieldDef kOddFields[] = {
    GD_FIELD(Odd, ID, "ODD:ID"), GD_FIELD(Odd, T, "ODD:T"), GD_FIELD(Odd, SR, "ODD:SR"),
    declaredAs(GD_FIELD(Odd, BF4, "ODD:BF4"), runtime::FieldType::BFloat4),
    declaredAs(GD_FIELD(Odd, BF8, "ODD:BF8"), runtime::FieldType::BFloat8)};
constexpr files::KeySpec kOddKeys[] = {{"ODD:P_ID", files::KeyPrimary, {1}}};
constexpr files::FileSpec kOddSpec{.label = "odd",
                                   .prefix = "ODD",
                                   .fields = kOddFields,
                                   .recordSize = sizeof(Odd),
                                   .keys = kOddKeys};

TEST_F(TableStatementsTest, EveryFieldGetsAColumnOrTheTableIsRefused) {
  const auto createOdd = [&](const Backend& backend) {
    upkeep::registration().options.ODBCDB = backend.kind;
    caseState() = {.CaseMode = backend.caseMode, .CaseModeSet = 1};
    tableInHand().SqlTableName = "Odd";
    tableInHand().OutFileName = "odd";
    statementQueues() = {};
    ds_InterpretStructure(files::FileDeclaration(kOddSpec));
    ds_SetSQLNames(backend.code);
    script->clearCalls();
    return ds_CreateSQLTable(backend.code);
  };
  const std::pair<Backend, std::vector<std::string>> columns[] = {
      {kMss, {"[T] datetime", "[SR] real", "[BF4] varbinary(4)", "[BF8] varbinary(8)"}},
      {kOra, {"\"T\" varchar2(11)", "\"SR\" binary_float", "\"BF4\" raw(4)", "\"BF8\" raw(8)"}},
      {kAsa, {"\"T\" time", "\"SR\" real", "\"BF4\" varbinary(4)", "\"BF8\" varbinary(8)"}},
      {kMySql, {"`T` time(2)", "`SR` float", "`BF4` varbinary(4)", "`BF8` varbinary(8)"}},
      {kFirebird,
       {"\"T\" time", "\"SR\" float", "\"BF4\" char(4) character set octets",
        "\"BF8\" char(8) character set octets"}},
      {kPostgres, {"\"t\" time", "\"sr\" real", "\"bf4\" bytea", "\"bf8\" bytea"}},
  };
  for (const auto& [backend, words] : columns) {
    ASSERT_EQ(createOdd(backend), 0) << backend.code << " " << backend.kind;
    const std::string create = script->statements().at(0);
    for (const std::string& word : words) EXPECT_NE(create.find(word), std::string::npos) << create;
  }

  // A field forced to a type the server lacks (Oracle has no forced binary type): no table
  // without its column; the user is told which field and which server, and the open fails with
  // the same words.
  caseState() = {.CaseMode = kOra.caseMode, .CaseModeSet = 1};
  ds_ForceSQLDataType("BINARY", "ODD:SR");
  answerer.addAnswer(ButtonNo);
  EXPECT_EQ(createOdd(kOra), 1);
  EXPECT_EQ(script->statements(), std::vector<std::string>{});
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_NE(answerer.shown()[0].text.find("ODD:SR (sreal) has no column type on Oracle"),
            std::string::npos)
      << answerer.shown()[0].text;
  EXPECT_NE(LastSQLError().find("ODD:SR (sreal) has no column type on Oracle"), std::string::npos);
}

TEST_F(TableStatementsTest, RefusedCreationFailsAndLeavesNoHalfMadeTable) {
  // The CREATE TABLE is refused: the run fails and nothing is dropped.
  prepare(kMss);
  refuse("Create Table", "42S01", -1, "There is already an object named 'Items'");
  answerer.addAnswer(ButtonNo);
  EXPECT_EQ(ds_CreateSQLTable("MSS"), 1);
  for (const std::string& sent : script->statements())
    EXPECT_EQ(sent.find("Drop Table"), std::string::npos) << sent;
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_NE(answerer.shown()[0].text.find("There is already an object named 'Items'"),
            std::string::npos);
}

TEST_F(TableStatementsTest, RefusedKeyDropsTheTableThisRunMade) {
  prepare(kMss);
  refuse("UNIQUE ([NAME])", "42000", -1, "Column 'NAME' is invalid in a key");
  answerer.addAnswer(ButtonNo);
  EXPECT_EQ(ds_CreateSQLTable("MSS"), 1);
  EXPECT_EQ(script->statements().back(), "Drop Table [Items]");
}

TEST_F(TableStatementsTest, OraclePrimaryKeyWithADescendingComponentStops) {
  prepare(kOra);
  KdqEntry& primary = declaredStructure().KDQ.entries[0];
  primary.FIELDS = " ID NAME";
  primary.NUMFIELDS = 2;
  primary.FIELDNUMS = {1, -2};
  answerer.addAnswer(runtime::ButtonIgnore);
  CreateKeys("ORA");
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_EQ(answerer.shown()[0].text,
            "Attempting to create a Primary Constraint with a descending component: ITEMS_P_ID");
  for (const SqEntry& entry : statementQueues().SQ)
    EXPECT_EQ(entry.SQL.find("PRIMARY KEY"), std::string::npos);
}

TEST_F(TableStatementsTest, ExternalNamesGiveTheColumnNameAndItsOptions) {
  caseState() = {.CaseMode = 0, .CaseModeSet = 1};
  DeclaredStructure& d = declaredStructure();
  d.InterpretedPrefix = "ITM";
  const std::pair<const char*, const char*> names[] = {{"", "PLAIN"},
                                                       {"Name|READONLY", "Name"},
                                                       {"Raw|BINARY", "Raw"},
                                                       {"Nul|CHECKFORNULL", "Nul"},
                                                       {"\"Full Name\"", "Full Name"},
                                                       {"Other", "Other"}};
  d.FDQ.clear();
  for (const auto& [external, column] : names)
    d.FDQ.entries.push_back({.NAME = "Plain", .TYPE = "cstring(20)", .ALTNAME = external});
  ds_SetSQLNames("MSS");
  for (std::size_t i = 0; i < std::size(names); ++i)
    EXPECT_EQ(d.FDQ.entries[i].SQLNAME, names[i].second) << names[i].first;
  ASSERT_EQ(columnTables().FSDQ.size(), 1u) << "only BINARY forces a type";
  EXPECT_EQ(columnTables().FSDQ[0].FIELD, "ITM:PLAIN");
  EXPECT_EQ(columnTables().FSDQ[0].TYPE, "binary");
}

}  // namespace
}  // namespace upkeep_sql
