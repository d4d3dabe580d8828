// The comparison of a live table with its declaration on the servers that cannot run here (SQL
// Server, Oracle, SQL Anywhere, Firebird): the table as version 1 made it is the live side, the
// declaration of version 2 the declared side, and the statements that reach the scripted
// server are compared with golden text. Then single rules: a column still holding data is not
// dropped, renames by label and by letter case, and a failed table creation failing the open.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"
#include "tests/upkeep_sql/item_versions.h"
#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep/file_open.h"
#include "upkeep/open_flags.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/field_comparison.h"
#include "upkeep_sql/interpret_structure.h"
#include "upkeep_sql/key_comparison.h"
#include "upkeep_sql/sql_datatype.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/version_tracking.h"

namespace upkeep_sql {
namespace {

using Lines = std::vector<std::string>;
using namespace testing;

std::unique_ptr<files::FileDeclaration> itemFile(files::Driver driver,
                                                 std::span<const runtime::FieldDef> fields,
                                                 std::span<const files::KeySpec> keys,
                                                 std::size_t size) {
  return std::make_unique<files::FileDeclaration>(files::FileSpec{
      .label = "Items",
      .prefix = "ITM",
      .driver = driver,
      .name = "items",
      .owner = "server,db,user,secret",
      .fields = fields,
      .recordSize = static_cast<std::uint32_t>(size),
      .keys = keys,
  });
}

// Reads `file` as the table manager does: the declared side, named for `code`.
void interpret(const files::FileDeclaration& file, std::string_view code) {
  tableInHand().OutFileName = "items";
  tableInHand().SqlTableName = "items";
  ds_InterpretStructure(file);
  SetCaseSensitivity(code);
  ds_SetSQLNames(code);
}

// The live side of the table that `file` made: its columns with their type words, its keys.
void liveFromDeclaration(const files::FileDeclaration& file, std::string_view code) {
  interpret(file, code);
  DeclaredStructure& declared = declaredStructure();
  LiveStructure& live = liveStructure();
  live = {};
  const std::string prefix = declared.InterpretedPrefix;
  for (std::size_t i = 0; i < declared.FDQ.entries.size(); ++i) {
    const FdqEntry field = declared.FDQ.entries[i];
    const std::string type = GetSQLDatatype(CasedName(prefix + ":" + field.NAME), field.TYPE, code,
                                            static_cast<std::int32_t>(i + 1));
    live.SFDQ.entries.push_back(
        {.NAME = runtime::UPPER(field.SQLNAME),
         .TYPE = runtime::LOWER(type),
         .ALTNAME = field.SQLNAME,
         .ALLOWNULLS = runtime::UPPER(field.NAME) == "ID" ? std::uint8_t{0} : std::uint8_t{1}});
  }
  for (const KdqEntry& key : declared.KDQ.entries) {
    SkdqEntry entry{.KEYNAME = key.SQLKEYNAME,
                    .ATT = runtime::LOWER(key.ATT).find("primary") != std::string::npos ? "primary"
                           : runtime::LOWER(key.ATT).find("dup") != std::string::npos   ? "dup"
                                                                                        : "",
                    .KEYFILENAME = key.SQLKEYNAME,
                    .FIELDS = key.FIELDS,
                    .NUMFIELDS = key.NUMFIELDS,
                    .FIELDNUMS = key.FIELDNUMS};
    entry.INDEX = entry.ATT == "dup" ? 1 : 0;
    for (SfdqEntry& column : live.SFDQ.entries)
      if (runtime::UPPER(key.FIELDS + " ").find(" " + column.NAME + " ") != std::string::npos)
        column.DEPENDANT = 1;
    live.SKDQ.entries.push_back(entry);
  }
}

struct GoldenCase {
  const char* name;
  files::Driver driver;
  const char* code;
  const char* kind;
  Lines statements;
};
void PrintTo(const GoldenCase& golden, std::ostream* out) { *out << golden.name; }

class ComparisonGoldenTest : public ::testing::WithParamInterface<GoldenCase>,
                             public testing::SqlEngineTest {
 protected:
  ComparisonGoldenTest() : SqlEngineTest(GetParam().driver, GetParam().code) {
    upkeep::registration().options.ODBCDB = GetParam().kind;
    // Oracle names an unquoted table in upper case.
    if (GetParam().driver == files::Driver::Oracle) {
      script->setColumns("UPKEEP_BACKEND", {{"TEXT", "varchar"}, {"MORE", "varchar"}});
      files::OPEN(*backend, 0x42);
      script->clearCalls();
    }
  }
};

TEST_P(ComparisonGoldenTest, VersionOneMadeThenAlteredToVersionTwo) {
  const std::string code = GetParam().code;
  upkeep::ds_SetOption("dctmasterkeys", "1");
  const auto v1 = itemFile(GetParam().driver, kFieldsV1, kKeysV1, sizeof(ItemV1));
  interpret(*v1, code);
  ASSERT_EQ(ds_CreateSQLTable(code), 0) << LastSQLError();
  // The statements from the CREATE TABLE on (SQL Server first asks for its letter case).
  Lines sent = script->statements();
  sent.erase(sent.begin(), std::find_if(sent.begin(), sent.end(), [](const std::string& s) {
               return s.starts_with("Create Table");
             }));

  liveFromDeclaration(*v1, code);
  const auto v2 = itemFile(GetParam().driver, kFieldsV2, kKeysV2, sizeof(ItemV2));
  interpret(*v2, code);
  tableInHand().ServerVersion = "9";
  tableInHand().FileKeysMaster = 1;
  statementQueues() = {};
  EXPECT_EQ(CompareFields(code), 0);
  CompareKeys(code);
  script->clearCalls();
  EXPECT_EQ(RunSQLScripts(), 0) << LastSQLError();
  sent.push_back("--");
  for (const std::string& statement : script->statements()) sent.push_back(statement);
  EXPECT_EQ(sent, GetParam().statements);
}

const GoldenCase kGolden[] = {
    {"SqlServer",
     files::Driver::Mssql,
     "MSS",
     "",
     {
         R"(Create Table [items] ([ID] int NOT NULL CONSTRAINT [ITEMS_P_ID] PRIMARY KEY, [NAME] varchar(20), [PRICE] decimal(7,2), [CODE] varchar(10)))",
         R"(CREATE INDEX [ITEMS_K_NAME] ON [items] ([NAME]))",
         R"(CREATE INDEX [ITEMS_K_CODE] ON [items] ([CODE]))",
         R"(--)",
         R"(Drop Index [items].[ITEMS_K_NAME])",
         R"(Alter Table [items] alter column [NAME] varchar(40))",
         R"(Alter Table [items] alter column [PRICE] decimal(11,2))",
         R"(Alter Table [items] add [QTY] int)",
         R"(Drop Index [items].[ITEMS_K_CODE])",
         R"(CREATE UNIQUE INDEX [ITEMS_K_CODE] ON [items] ([CODE]))",
         R"(CREATE  INDEX [ITEMS_K_QTY] ON [items] ([QTY] DESC))",
     }},
    {"Oracle",
     files::Driver::Oracle,
     "ORA",
     "",
     {
         R"(Create Table items ("ID" number(10,0) CONSTRAINT nn_ITM_ID NOT NULL CONSTRAINT "ITEMS_P_ID" PRIMARY KEY, "NAME" varchar2(20), "PRICE" number(7,2), "CODE" varchar2(10)))",
         R"(CREATE INDEX ITEMS_K_NAME ON items (NAME))",
         R"(CREATE INDEX ITEMS_K_CODE ON items (CODE))",
         R"(--)",
         R"(Drop Index ITEMS_K_NAME)",
         R"(Alter Table items modify NAME varchar2(40))",
         R"(Alter Table items modify PRICE number(11,2))",
         R"(Alter Table items add QTY number(10,0))",
         R"(Drop Index ITEMS_K_CODE)",
         R"(CREATE UNIQUE INDEX "ITEMS_K_CODE" ON items (CODE))",
         R"(CREATE  INDEX "ITEMS_K_QTY" ON items (QTY DESC))",
     }},
    {"SqlAnywhere",
     files::Driver::SqlAnywhere,
     "ASA",
     "",
     {
         R"(Create Table "items" ("ID" integer NOT NULL PRIMARY KEY, "NAME" varchar(20), "PRICE" decimal(7,2), "CODE" varchar(10)))",
         R"(CREATE INDEX "K_NAME" ON "items" ("NAME"))",
         R"(CREATE INDEX "K_CODE" ON "items" ("CODE"))",
         R"(--)",
         R"(Drop Index "K_NAME")",
         R"(Alter Table "items" modify "NAME" varchar(40))",
         R"(Alter Table "items" modify "PRICE" decimal(11,2))",
         R"(Alter Table "items" add "QTY" integer)",
         R"(Drop Index "K_CODE")",
         R"(CREATE UNIQUE INDEX "K_CODE" ON "items" ("CODE"))",
         R"(CREATE  INDEX "K_QTY" ON "items" ("QTY" DESC))",
     }},
    {"Firebird",
     files::Driver::Odbc,
     "ODB",
     "FIREBIRD",
     {
         R"(Create Table "ITEMS" ( "ID" integer NOT NULL CONSTRAINT "ITEMS_P_ID" PRIMARY KEY,  "NAME" varchar(20),  "PRICE" decimal(7,2),  "CODE" varchar(10)))",
         R"(CREATE INDEX "ITEMS_K_NAME" ON "ITEMS" (NAME))",
         R"(CREATE INDEX "ITEMS_K_CODE" ON "ITEMS" (CODE))",
         R"(--)",
         R"(Drop Index "ITEMS_K_NAME")",
         R"(Alter Table "ITEMS" alter NAME type varchar(40))",
         R"(Alter Table "ITEMS" alter PRICE type decimal(11,2))",
         R"(Alter Table "ITEMS" add QTY integer)",
         R"(Drop Index "ITEMS_K_CODE")",
         R"(CREATE UNIQUE INDEX "ITEMS_K_CODE" ON "ITEMS" (CODE))",
         R"(CREATE  DESCENDING INDEX "ITEMS_K_QTY" ON "ITEMS" (QTY))",
     }},
};
INSTANTIATE_TEST_SUITE_P(Backends, ComparisonGoldenTest, ::testing::ValuesIn(kGolden),
                         [](const auto& info) { return std::string(info.param.name); });

class ComparisonRuleTest : public testing::SqlEngineTest {
 protected:
  SfdqEntry& liveColumn(const std::string& name) {
    for (SfdqEntry& column : liveStructure().SFDQ.entries)
      if (column.NAME == name) return column;
    throw std::runtime_error("no column " + name);
  }
};

TEST_F(ComparisonRuleTest,
       AColumnTheDeclarationLacksIsDroppedOnlyWhenEmptyAndTheFieldsAreMastered) {
  // An extra live column: kept without the fields option; with it, asked about and dropped
  // only when no row holds a value in it.
  const auto withExtra = [&](bool master) {
    const auto v1 = itemFile(files::Driver::Mssql, kFieldsV1, kKeysV1, sizeof(ItemV1));
    liveFromDeclaration(*v1, "MSS");
    liveStructure().SFDQ.entries.push_back(
        {.NAME = "OLDNOTE", .TYPE = "varchar(30)", .ALTNAME = "OldNote", .ALLOWNULLS = 1});
    liveStructure().SFDQ.entries.push_back(
        {.NAME = "PICTURE", .TYPE = "image", .ALTNAME = "Picture", .ALLOWNULLS = 1});
    interpret(*v1, "MSS");
    tableInHand().FileFieldsMaster = master ? 1 : 0;
    statementQueues() = {};
    script->clearCalls();
    CompareFields("MSS");
    Lines queued;
    for (const SqEntry& entry : statementQueues().SQ)
      queued.push_back(std::to_string(entry.ERRORLEVEL) + " " + entry.SQL);
    return queued;
  };
  EXPECT_EQ(withExtra(false), Lines{});
  EXPECT_TRUE(script->statements().empty());

  script->answer({.match = "[OldNote] is not null", .rows = {{{std::string("3")}}}, .times = 1});
  EXPECT_EQ(withExtra(true), Lines{}) << "a column holding data stays";
  EXPECT_EQ(script->statements(),
            Lines{"select count(*) from [items] where [OldNote] is not null having count(*) > 0"});

  EXPECT_EQ(withExtra(true), Lines{"1 Alter Table [items] drop column [OldNote]"})
      << "an empty column goes, at level 1; an image column never";
}

class FirebirdKeyDirectionTest : public testing::SqlEngineTest {
 protected:
  FirebirdKeyDirectionTest() : SqlEngineTest(files::Driver::Odbc, "ODB") {
    upkeep::registration().options.ODBCDB = "FIREBIRD";
  }
};

TEST_F(FirebirdKeyDirectionTest, AnIndexRunsDescendingOnlyForAWhollyDescendingKey) {
  // A Firebird index runs one way: descending for a key whose every component is, ascending
  // for one that mixes directions. The live key is rebuilt only when its way differs.
  struct Case {
    const char* what;
    files::KeySpec declared;
    files::KeySpec live;
    Lines statements;
  };
  const Case cases[] = {
      {"a mixed key over an ascending index",
       {"ITM:K_MIX", files::KeyDup, {2, -4}},
       {"ITM:K_MIX", files::KeyDup, {2, 4}},
       {}},
      {"a descending key over a descending index",
       {"ITM:K_QTY", files::KeyDup, {-5, -4}},
       {"ITM:K_QTY", files::KeyDup, {-5, -4}},
       {}},
      {"a key turned descending",
       {"ITM:K_QTY", files::KeyDup, {-5, -4}},
       {"ITM:K_QTY", files::KeyDup, {5, 4}},
       {R"(Drop Index "ITEMS_K_QTY")",
        R"(CREATE  DESCENDING INDEX "ITEMS_K_QTY" ON "ITEMS" (QTY, CODE))"}},
      {"a key turned ascending",
       {"ITM:K_QTY", files::KeyDup, {5}},
       {"ITM:K_QTY", files::KeyDup, {-5}},
       {R"(Drop Index "ITEMS_K_QTY")", R"(CREATE  INDEX "ITEMS_K_QTY" ON "ITEMS" (QTY))"}},
      {"a key made mixed over a descending index",
       {"ITM:K_MIX", files::KeyDup, {2, -4}},
       {"ITM:K_MIX", files::KeyDup, {-2, -4}},
       {R"(Drop Index "ITEMS_K_MIX")", R"(CREATE  INDEX "ITEMS_K_MIX" ON "ITEMS" (NAME, CODE))"}},
      {"a primary key turned descending",
       {"ITM:P_ID", files::KeyPrimary, {-1}},
       {"ITM:P_ID", files::KeyPrimary, {1}},
       {R"(Alter Table "ITEMS" Drop Constraint ITEMS_P_ID)",
        R"(Alter Table "ITEMS" ADD CONSTRAINT "ITEMS_P_ID" PRIMARY KEY (ID) USING DESCENDING )"
        R"(INDEX "ITEMS_P_ID")"}},
  };
  upkeep::ds_SetOption("dctmasterkeys", "1");
  for (const Case& c : cases) {
    const auto live = itemFile(files::Driver::Odbc, kFieldsV2, {&c.live, 1}, sizeof(ItemV2));
    liveFromDeclaration(*live, "ODB");
    const auto declared =
        itemFile(files::Driver::Odbc, kFieldsV2, {&c.declared, 1}, sizeof(ItemV2));
    interpret(*declared, "ODB");
    tableInHand().FileKeysMaster = 1;
    statementQueues() = {};
    CompareKeys("ODB");
    Lines queued;
    for (const SqEntry& entry : statementQueues().SQ) queued.push_back(entry.SQL);
    EXPECT_EQ(queued, c.statements) << c.what;
  }
}

TEST_F(ComparisonRuleTest, RenamesByLabelAndLetterCaseAndAlternateName) {
  const auto v1 = itemFile(files::Driver::Mssql, kFieldsV1, kKeysV1, sizeof(ItemV1));
  liveFromDeclaration(*v1, "MSS");
  // The column carries another case; in case mode 0 that is the same name.
  liveColumn("CODE").ALTNAME = "code";
  interpret(*v1, "MSS");
  statementQueues() = {};
  CompareFields("MSS");
  EXPECT_TRUE(statementQueues().SQ.empty());

  // Case mode 1 (a case-sensitive server): one rename at level 0.
  liveFromDeclaration(*v1, "MSS");
  liveColumn("CODE").ALTNAME = "code";
  interpret(*v1, "MSS");
  caseState().CaseMode = 1;
  statementQueues() = {};
  CompareFields("MSS");
  ASSERT_EQ(statementQueues().SQ.size(), 1u);
  EXPECT_EQ(statementQueues().SQ[0].SQL, "EXEC sp_rename 'items.code','CODE','COLUMN'");
  EXPECT_EQ(statementQueues().SQ[0].ERRORLEVEL, 0);
  caseState().CaseMode = 0;

  // An alternate name: the old column renamed to the field's name (level 2), not added anew,
  // and the rename's key dropped before and made again after.
  upkeep::ds_AlternateFieldName("ITM:CODE", "REF");
  liveFromDeclaration(*v1, "MSS");
  liveColumn("CODE") = {
      .NAME = "REF", .TYPE = "varchar(10)", .ALTNAME = "Ref", .ALLOWNULLS = 1, .DEPENDANT = 1};
  liveStructure().SKDQ.entries[2].FIELDS = " REF";
  interpret(*v1, "MSS");
  statementQueues() = {};
  CompareFields("MSS");
  ASSERT_EQ(statementQueues().SQ.size(), 1u);
  EXPECT_EQ(statementQueues().SQ[0].SQL, "EXEC sp_rename 'items.Ref','CODE','COLUMN'");
  EXPECT_EQ(statementQueues().SQ[0].ERRORLEVEL, 2);
  ASSERT_EQ(statementQueues().DQ.size(), 1u);
  EXPECT_EQ(statementQueues().DQ[0].SQL, "Drop Index [items].[ITEMS_K_CODE]");
  ASSERT_EQ(statementQueues().AQ.size(), 1u);
  EXPECT_EQ(statementQueues().AQ[0].SQL, "CREATE  INDEX [ITEMS_K_CODE] ON [items] ([CODE])");
  EXPECT_TRUE(upkeep::registration().AFNS.empty()) << "the alternate name is used up";
}

// The open of a table whose creation fails: the open fails with the server's refusal, the table
// is not recorded and no version row is written; the next open makes it.
class FailedCreationTest : public testing::SqlEngineTest {};

TEST_F(FailedCreationTest, TheOpenFailsAndTheNextOpenTriesAgain) {
  installSqlBackends();
  versionTracking().ManageableZone = "db";
  versionTracking().VCQ.push_back({.FILE = "items", .NEWVERSION = 1, .GOINDEEP = 1});
  versionTracking().IVQ.push_back({.FILENAME = "items", .PREFIX = "ITM", .VERSION = 1});
  const auto items = itemFile(files::Driver::Mssql, kFieldsV1, kKeysV1, sizeof(ItemV1));
  refuse("select * from [items]", "42S02", -1, "Invalid object name");
  refuse("Create Table", "42000", 2, "CREATE TABLE permission denied");
  answerer.addAnswer(runtime::ButtonNo);  // "end the program?" after the refusal

  upkeep::ds_FileOpen(*items, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileSystemErr);
  EXPECT_EQ(runtime::FILEERRORCODE(), "42000");
  EXPECT_TRUE(upkeep::openFlags().MFQ.empty());
  for (const std::string& statement : script->statements())
    EXPECT_FALSE(statement.starts_with("insert into")) << statement;
  EXPECT_EQ(versionTracking().VCQ.size(), 1u);

  // The scripted server keeps no tables: the second open makes the table and records it, and
  // its own OPEN then finds none.
  script->clearCalls();
  upkeep::ds_FileOpen(*items, 0x42);
  EXPECT_EQ(upkeep::openFlags().MFQ, Lines{"items"});
  const Lines sent = script->statements();
  const auto sentOne = [&](std::string_view head) {
    return std::any_of(sent.begin(), sent.end(),
                       [&](const std::string& s) { return s.starts_with(head); });
  };
  EXPECT_TRUE(sentOne("Create Table [dbo].[items]"));
  EXPECT_TRUE(
      sentOne("insert into [upkeep_backend] (DS_FIELD1, DS_FIELD2, DS_FIELD3, DS_FIELD4) "
              "values ('items','ITM','1', getdate())"));
  files::CLOSE(*items);
}

// A FILE whose name holds a statement of its own: the test that looks for its table names it
// as one quoted name, so the server never runs the statement.
struct NamedTableCase {
  files::Driver driver;
  const char* code;
  const char* select;  // the table test as sent
};
void PrintTo(const NamedTableCase& c, std::ostream* out) { *out << c.code; }

class TableTestNameTest : public ::testing::WithParamInterface<NamedTableCase>,
                          public testing::SqlEngineTest {
 protected:
  TableTestNameTest() : SqlEngineTest(GetParam().driver, GetParam().code) {}
};

TEST_P(TableTestNameTest, TheTableTestQuotesTheFilesName) {
  installSqlBackends();
  const std::string name = "items; drop table canary";
  versionTracking().VCQ.push_back({.FILE = name, .NEWVERSION = 1});
  files::FileDeclaration items(files::FileSpec{.label = "Items",
                                               .prefix = "ITM",
                                               .driver = GetParam().driver,
                                               .name = name,
                                               .owner = "server,db,user,secret",
                                               .fields = kFieldsV1,
                                               .recordSize = sizeof(ItemV1),
                                               .keys = kKeysV1});
  for (int box = 0; box < 4; ++box) answerer.addAnswer(runtime::ButtonNo);
  upkeep::ds_FileOpen(items, 0x42);
  files::CLOSE(items);
  const Lines sent = script->statements();
  const auto select = std::find_if(sent.begin(), sent.end(), [](const std::string& s) {
    return s.starts_with("select * from ");
  });
  ASSERT_NE(select, sent.end()) << ::testing::PrintToString(sent);
  EXPECT_EQ(*select, GetParam().select);
}

const NamedTableCase kNamedTableCases[] = {
    {files::Driver::Mssql, "MSS", "select * from [items; drop table canary]"},
    {files::Driver::SqlAnywhere, "ASA", "select * from \"items; drop table canary\""},
};
INSTANTIATE_TEST_SUITE_P(Backends, TableTestNameTest, ::testing::ValuesIn(kNamedTableCases),
                         [](const auto& info) { return std::string(info.param.code); });

}  // namespace
}  // namespace upkeep_sql
