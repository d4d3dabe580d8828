// The dialect rules per backend code and ODBC kind, file-name parts, type matching, key limits
// and the SQL Server case probe over a scripted server.
#include "upkeep_sql/dialect_rules.h"

#include <gtest/gtest.h>

#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep/registration.h"
#include "upkeep_sql/sql_quote.h"
#include "upkeep_sql/structure_queues.h"

namespace upkeep_sql {
namespace {

class DialectRulesTest : public testing::SqlEngineTest {
 protected:
  void backendKind(std::string_view kind) { upkeep::ds_SetOption("ODBCDB", kind); }
};

TEST_F(DialectRulesTest, RulesPerBackendCodeAndKind) {
  struct Case {
    const char* code;
    const char* kind;
    std::int32_t tableKeyAllowed;  // CheckForValidKeyName("Table")
    std::int32_t keyKeyAllowed;    // CheckForValidKeyName("key ")
    std::int32_t longNameAllowed;  // CheckFieldNameLength of 33 characters
    const char* descending;        // DescendingColumn("COL ")
    const char* binaryBlob;        // BlobTypeWord for a binary and a text memo
    const char* textBlob;
    std::int32_t caseMode;  // after SetCaseSensitivity
    files::SqlBackend quoting;
  };
  const Case cases[] = {
      {"MSS", "", 0, 0, 1, "COL DESC", "image", "image", 1, files::SqlBackend::SqlServer},
      {"ORA", "", 1, 1, 1, "COL DESC", "blob", "blob", 0, files::SqlBackend::Oracle},
      {"ASA", "", 1, 1, 1, "COL DESC", "blob", "blob", 0, files::SqlBackend::SqlAnywhere},
      {"ODB", "MYODBC 2", 1, 0, 1, "COL DESC", "blob", "blob", 0, files::SqlBackend::MySql},
      {"ODB", "MYODBC 3", 1, 0, 1, "COL DESC", "blob", "blob", 0, files::SqlBackend::MySql},
      {"ODB", "FIREBIRD", 1, 0, 0, "COL", "blob", "blob", 2, files::SqlBackend::Firebird},
      {"ODB", "POSTGRES", 1, 0, 1, "COL ", "bytea", "text", -1, files::SqlBackend::PostgreSQL},
      // A kind in other letters is the same kind for every rule and for the quoting.
      {"ODB", "postgres", 1, 0, 1, "COL ", "bytea", "text", -1, files::SqlBackend::PostgreSQL},
      {"ODB", "Firebird", 1, 0, 0, "COL", "blob", "blob", 2, files::SqlBackend::Firebird},
      {"ODB", "", 1, 1, 1, "COL DESC", "", "", 7, files::SqlBackend::Generic},
      {"VKF", "", 1, 1, 1, "COL DESC", "", "", 7, files::SqlBackend::Generic},
  };
  script->answer({.match = "ds_GetServerCase(", .outputs = {"1"}});
  const std::string longName(33, 'x');
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code) + " " + c.kind);
    backendKind(c.kind);
    EXPECT_EQ(CheckForValidKeyName("Table", c.code), c.tableKeyAllowed);
    EXPECT_EQ(CheckForValidKeyName("key ", c.code), c.keyKeyAllowed);
    EXPECT_EQ(CheckFieldNameLength(longName, c.code, 0), c.longNameAllowed);
    EXPECT_EQ(CheckFieldNameLength(longName.substr(1), c.code, 0), 1);
    EXPECT_EQ(DescendingColumn("COL "), c.descending);
    declaredStructure().MDQ.current.ATTRIB = "Binary";
    EXPECT_EQ(BlobTypeWord(c.code), c.binaryBlob);
    declaredStructure().MDQ.current.ATTRIB = "Ascii";
    EXPECT_EQ(BlobTypeWord(c.code), c.textBlob);
    caseState() = {.CaseMode = 7};
    SetCaseSensitivity(c.code);
    EXPECT_EQ(caseState().CaseMode, c.caseMode);
    EXPECT_EQ(backendOfCode(c.code), c.quoting);
  }
  EXPECT_EQ(NotFirebirdOrPostgres("firebird  "), 0);
  EXPECT_EQ(NotFirebirdOrPostgres("Postgres"), 0);
  EXPECT_EQ(NotFirebirdOrPostgres("MYODBC 3"), 1);
}

TEST_F(DialectRulesTest, TheFirstBackendOfTheRunDecidesTheCase) {
  SetCaseSensitivity("ORA");
  backendKind("POSTGRES");
  SetCaseSensitivity("ODB");
  EXPECT_EQ(caseState().CaseMode, 0);
  EXPECT_EQ(CasedName("MixedName"), "MIXEDNAME");
  caseState().CaseMode = -1;
  EXPECT_EQ(CasedName("MixedName"), "mixedname");
  caseState().CaseMode = 5;
  EXPECT_EQ(CasedName("MixedName"), "MixedName");
}

TEST_F(DialectRulesTest, SqlServerCaseComesFromItsProcedure) {
  script->answer({.match = "ds_GetServerCase(", .times = 1, .outputs = {"1"}});
  ds_GetServerCase();
  EXPECT_EQ(caseState().CaseMode, 1);
  const std::vector<std::string> sent = script->statements();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_TRUE(sent[0].starts_with("if exists (select name from sysobjects"));
  EXPECT_EQ(sent[1],
            "CREATE procedure ds_GetServerCase @CaseVar int output as\r\nif 'a' = 'A'\r\n"
            "  set @CaseVar = 0 \r\nelse\r\n  set @CaseVar = 1");
  EXPECT_EQ(sent[2], "{call ds_GetServerCase(?)}");

  // A failed call counts as a server that ignores case.
  refuse("ds_GetServerCase(");
  ds_GetServerCase();
  EXPECT_EQ(caseState().CaseMode, 0);
}

TEST_F(DialectRulesTest, AFirebirdNameTooLongIsReported) {
  backendKind("FIREBIRD");
  answerer.addAnswer(runtime::ButtonNo);
  EXPECT_EQ(CheckFieldNameLength(std::string(33, 'N') + "  ", "ODB", 1), 0);
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_NE(answerer.shown()[0].text.find("cannot be longer than 32 characters"),
            std::string::npos);
}

TEST(DialectRules, FileNameParts) {
  struct Case {
    const char* driver;
    const char* name;
    FileNameParts parts;
  };
  const Case cases[] = {
      {"CASKFILE", "C:\\DATA\\CUST.VKF\\!ORDERS", {"C:", "\\DATA\\", ".VKF\\!ORDERS", "CUST"}},
      {"ODBC",
       "C:\\DATA\\CUST.VKF\\!ORDERS",
       {"C:", "\\DATA\\", "", "C:\\DATA\\CUST.VKF\\!ORDERS"}},
      {"mssql", "dbo.Customers", {"", "", "", "dbo.Customers"}},
      {"CASKFILE", "projects.aaa  ", {"", "", ".aaa", "projects"}},
      {"CASKFILE", "C:name.ext", {"C:", "", ".ext", "name"}},
      {"CASKFILE", "dir.v2\\file", {"", "dir.v2\\", "", "file"}},
      {"CASKFILE", "folder\\", {"", "folder\\", "", ""}},
      // The runtime takes "/" for a folder separator as well.
      {"CASKFILE", "/home/u/data/items.vkf", {"", "/home/u/data/", ".vkf", "items"}},
      {"CASKFILE", "data/cust.vkf/!orders", {"", "data/", ".vkf/!orders", "cust"}},
  };
  for (const Case& c : cases) {
    const FileNameParts parts = nSplit(c.driver, c.name);
    EXPECT_EQ(parts.drive, c.parts.drive) << c.name;
    EXPECT_EQ(parts.folder, c.parts.folder) << c.name;
    EXPECT_EQ(parts.extension, c.parts.extension) << c.name;
    EXPECT_EQ(parts.base, c.parts.base) << c.name;
  }
}

TEST(DialectRules, DeclaredTypesAgainstServerTypes) {
  struct Case {
    const char* server;
    const char* declared;
    std::int32_t matches;
  };
  const Case cases[] = {
      {"INT(11)", "int", 1},
      {"VARCHAR(20)", "varchar(20)", 1},
      {"varchar(30)", "varchar(20)", 0},
      {"int(10) unsigned", "int unsigned", 1},
      {"BLOB", "blob sub_type 1", 1},
      {"decimal(7,2)", "decimal(7,2)", 1},
      {"decimal(8,0)", "decimal(7,0)", 0},
      {"text", "varchar(10)", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DCTTypeMatchesSQLType(c.server, c.declared), c.matches) << c.server;
}

TEST_F(DialectRulesTest, UniqueKeyTypesAndLengthOnMySql) {
  DeclaredStructure& declared = declaredStructure();
  declared.FDQ.entries = {{.NAME = "Notes", .LENGTH = 10},
                          {.NAME = "Big", .LENGTH = 600},
                          {.NAME = "Other", .LENGTH = 500}};
  declared.KDQ.entries = {{.FIELDS = " NOTES", .SQLKEYNAME = "K_NOTES"},
                          {.FIELDS = " BIG OTHER", .SQLKEYNAME = "K_Wide"}};
  liveStructure().SFDQ.entries = {{"NOTES", "text"}, {"BIG", "char(600)"}, {"OTHER", "char(500)"}};
  backendKind("MYODBC 3");
  EXPECT_EQ(ValidFieldTypesForUniqueKey("K_NOTES", "ODB"), 1);
  EXPECT_EQ(ValidFieldTypesForUniqueKey("k_wide", "ODB"), 2);
  EXPECT_EQ(ValidFieldTypesForUniqueKey("K_NONE", "ODB"), 0);
  EXPECT_EQ(ValidFieldTypesForUniqueKey("K_NOTES", "MSS"), 0);
  backendKind("POSTGRES");
  EXPECT_EQ(ValidFieldTypesForUniqueKey("K_NOTES", "ODB"), 0);
}

TEST_F(DialectRulesTest, DescendingKeysAndBlobColumns) {
  declaredStructure().KDQ.current = {.NUMFIELDS = 2, .FIELDNUMS = {1, -2}};
  liveStructure().SKDQ.current = {.NUMFIELDS = 1, .FIELDNUMS = {3, -4}};
  EXPECT_EQ(KeyContainsDescending("D"), 1);
  EXPECT_EQ(KeyContainsDescending("S"), 0) << "only NUMFIELDS components count";
  EXPECT_EQ(KeyContainsDescending("X"), 0);
  EXPECT_EQ(KeyAttributesMatch("S", "ORA", 1), 1);
  EXPECT_EQ(KeyAttributesMatch("D", "ORA", 0), 1);
  EXPECT_EQ(KeyAttributesMatch("D", "MSS", 0), 0);

  struct Case {
    const char* kind;
    const char* type;
    std::int32_t blob;
  };
  const Case cases[] = {{"POSTGRES", "TEXT ", 1}, {"POSTGRES", "bytea", 1},
                        {"POSTGRES", "oid", 0},   {"MYODBC 3", "longblob", 1},
                        {"", "image", 1},         {"MYODBC 3", "text", 0}};
  for (const Case& c : cases) {
    backendKind(c.kind);
    liveStructure().SFDQ.current.TYPE = c.type;
    EXPECT_EQ(IsBlobColumn(), c.blob) << c.kind << " " << c.type;
  }
}

}  // namespace
}  // namespace upkeep_sql
