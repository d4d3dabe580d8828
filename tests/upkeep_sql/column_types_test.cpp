// The SQL type word of every declared type on the six backends, with the length thresholds,
// pictures, date-time pairs, forced and serial types, and the column defaults.
#include <gtest/gtest.h>

#include "tests/upkeep/engine_fixture.h"
#include "upkeep/registration_tables.h"
#include "upkeep/sql_insert_lists.h"
#include "upkeep_sql/column_default.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/sql_backends.h"
#include "upkeep_sql/sql_datatype.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

// A backend: its driver code, ODBC kind and the case mode its first table sets.
struct Backend {
  const char* code;
  const char* kind;
  std::int32_t caseMode;
};
constexpr Backend kBackends[] = {{"MSS", "", 0},         {"ORA", "", 0},
                                 {"ASA", "", 0},         {"ODB", "MYODBC 3", 0},
                                 {"ODB", "FIREBIRD", 2}, {"ODB", "POSTGRES", -1}};

class ColumnTypesTest : public upkeep::testing::EngineTest {
 protected:
  ColumnTypesTest() { resetSqlBackendState(); }
  ~ColumnTypesTest() override { resetSqlBackendState(); }

  static void use(const Backend& backend) {
    upkeep::registration().options.ODBCDB = backend.kind;
    caseState() = {.CaseMode = backend.caseMode, .CaseModeSet = 1};
  }
  // The declaration's fields: type texts with their lengths in bytes.
  static void declare(std::initializer_list<std::pair<const char*, std::int32_t>> fields) {
    DeclaredStructure& d = declaredStructure();
    d.FDQ.clear();
    d.InterpretedPrefix = "ITM";
    int n = 0;
    for (const auto& [type, length] : fields)
      d.FDQ.entries.push_back({.NAME = "F" + std::to_string(++n), .TYPE = type, .LENGTH = length});
  }
};

TEST_F(ColumnTypesTest, TypeWordOfEveryDeclaredTypeOnEachBackend) {
  struct Row {
    const char* type;
    std::int32_t length;   // the field's bytes (read for a type given by a picture)
    const char* words[6];  // MSS, ORA, ASA, MYODBC 3, FIREBIRD, POSTGRES
  };
  const Row rows[] = {
      {"byte",
       1,
       {"tinyint", "number(3,0)", "tinyint", "tinyint unsigned", "smallint", "smallint"}},
      {"short", 2, {"smallint", "number(5,0)", "smallint", "smallint", "smallint", "smallint"}},
      {"ushort",
       2,
       {"integer", "number(5,0)", "integer", "smallint unsigned", "integer", "integer"}},
      {"long", 4, {"int", "number(10,0)", "integer", "int", "integer", "integer"}},
      {"ulong", 4, {"bigint", "number(10,0)", "bigint", "int unsigned", "bigint", "bigint"}},
      {"sreal", 4, {"real", "binary_float", "real", "float", "float", "real"}},
      {"real", 8, {"float", "number", "double", "double", "double precision", "double precision"}},
      {"date", 4, {"datetime", "date", "date", "date", "date", "date"}},
      {"time", 4, {"datetime", "varchar2(11)", "time", "time(2)", "time", "time"}},
      {"blob", 0, {"image", "blob", "long binary", "blob", "blob", "text"}},
      {"decimal(7,2)",
       4,
       {"decimal(7,2)", "number(7,2)", "decimal(7,2)", "decimal(8,2)", "decimal(7,2)",
        "numeric(8,2)"}},
      {"decimal(7,0)",
       4,
       {"decimal(7,0)", "number(7,0)", "decimal(7,0)", "decimal(8)", "decimal(7,0)", "numeric(8)"}},
      {"pdecimal(19,10)",
       10,
       {"decimal(19,10)", "number(19,10)", "decimal(19,10)", "decimal(20,10)", "varchar(21)",
        "numeric(20,10)"}},
      {"string(20)", 20, {"char(20)", "char(20)", "char(20)", "char(20)", "char(20)", "char(20)"}},
      {"string(@s30)",
       30,
       {"char(30)", "char(30)", "char(30)", "char(30)", "char(30)", "char(30)"}},
      {"string(255)",
       255,
       {"char(255)", "char(255)", "char(255)", "char(255)", "char(255)", "char(255)"}},
      {"string(256)",
       256,
       {"char(256)", "char(256)", "char(256)", "text", "char(256)", "char(256)"}},
      {"string(2000)",
       2000,
       {"char(2000)", "char(2000)", "char(2000)", "text", "char(2000)", "char(2000)"}},
      {"string(2001)",
       2001,
       {"char(2001)", "varchar2(2001)", "char(2001)", "text", "char(2001)", "char(2001)"}},
      {"string(4001)",
       4001,
       {"char(4001)", "clob", "char(4001)", "text", "char(4001)", "char(4001)"}},
      {"string(8000)",
       8000,
       {"char(8000)", "clob", "char(8000)", "text", "char(8000)", "char(8000)"}},
      {"string(8001)", 8001, {"text", "clob", "long varchar", "text", "char(8001)", "char(8001)"}},
      {"string(8191)", 8191, {"text", "clob", "long varchar", "text", "char(8191)", "char(8191)"}},
      {"string(8192)",
       8192,
       {"text", "clob", "long varchar", "text", "blob sub_type 1", "char(8192)"}},
      {"string(32001)",
       32001,
       {"text", "clob", "long varchar", "text", "blob sub_type 1", "char(32001)"}},
      {"string(63001)", 63001, {"text", "clob", "long varchar", "text", "blob sub_type 1", "text"}},
      {"cstring(20)",
       20,
       {"varchar(19)", "varchar2(19)", "varchar(19)", "varchar(19)", "varchar(19)", "varchar(19)"}},
      {"cstring(@s99)",
       100,
       {"varchar(99)", "varchar2(99)", "varchar(99)", "varchar(99)", "varchar(99)", "varchar(99)"}},
      {"pstring(31)",
       31,
       {"varchar(30)", "varchar2(30)", "varchar(30)", "varchar(30)", "varchar(30)", "varchar(30)"}},
      {"cstring(256)",
       256,
       {"varchar(255)", "varchar2(255)", "varchar(255)", "varchar(255)", "varchar(255)",
        "varchar(255)"}},
      {"cstring(257)",
       257,
       {"varchar(256)", "varchar2(256)", "varchar(256)", "text", "varchar(256)", "varchar(256)"}},
      {"cstring(4001)",
       4001,
       {"varchar(4000)", "varchar2(4000)", "varchar(4000)", "text", "varchar(4000)",
        "varchar(4000)"}},
      {"cstring(4002)",
       4002,
       {"varchar(4001)", "clob", "varchar(4001)", "text", "varchar(4001)", "varchar(4001)"}},
      {"cstring(8001)",
       8001,
       {"varchar(8000)", "clob", "varchar(8000)", "text", "varchar(8000)", "varchar(8000)"}},
      {"cstring(8002)",
       8002,
       {"text", "clob", "long varchar", "text", "varchar(8001)", "varchar(8001)"}},
      {"cstring(8192)",
       8192,
       {"text", "clob", "long varchar", "text", "varchar(8191)", "varchar(8191)"}},
      {"cstring(8193)",
       8193,
       {"text", "clob", "long varchar", "text", "blob sub_type 1", "varchar(8192)"}},
      {"cstring(32763)",
       32763,
       {"text", "clob", "long varchar", "text", "blob sub_type 1", "varchar(32762)"}},
      {"cstring(63001)",
       63001,
       {"text", "clob", "long varchar", "text", "blob sub_type 1", "text"}},
      {"group (next 2 fields)", 4, {"", "", "", "", "", ""}},
      {"bfloat4",
       4,
       {"varbinary(4)", "raw(4)", "varbinary(4)", "varbinary(4)", "char(4) character set octets",
        "bytea"}},
      {"bfloat8",
       8,
       {"varbinary(8)", "raw(8)", "varbinary(8)", "varbinary(8)", "char(8) character set octets",
        "bytea"}},
  };
  for (const Row& row : rows) {
    for (std::size_t b = 0; b < std::size(kBackends); ++b) {
      use(kBackends[b]);
      declare({{row.type, row.length}});
      const std::string word = GetSQLDatatype("ITM:F1", row.type, kBackends[b].code, 1);
      EXPECT_EQ(word, row.words[b])
          << row.type << " on " << kBackends[b].code << " " << kBackends[b].kind;
      EXPECT_EQ(columnTables().GroupDetected, std::string_view(row.type).starts_with("group"));
    }
  }
}

TEST_F(ColumnTypesTest, FirebirdTextsAsLongAsTheDatabaseCharacterSetAllows) {
  // Without an answer from the server a text counts as UTF-8, four bytes a character; a
  // database without a character set keeps one byte a character.
  use(kBackends[4]);
  declare({{"string(9000)", 9000}, {"cstring(9001)", 9001}});
  EXPECT_EQ(GetSQLDatatype("ITM:F1", "string(9000)", "ODB", 1), "blob sub_type 1");
  tableInHand().FirebirdCharacterBytes = 1;
  EXPECT_EQ(GetSQLDatatype("ITM:F1", "string(9000)", "ODB", 1), "char(9000)");
  EXPECT_EQ(GetSQLDatatype("ITM:F2", "cstring(9001)", "ODB", 2), "varchar(9000)");
  EXPECT_EQ(GetSQLDatatype("ITM:F1", "string(32767)", "ODB", 1), "char(32767)");
  EXPECT_EQ(GetSQLDatatype("ITM:F1", "string(32768)", "ODB", 1), "blob sub_type 1");
}

TEST_F(ColumnTypesTest, BackendsOutsideTheTableGetOnlyTheirFewWords) {
  declare({{"short", 2}});
  const std::pair<const char*, const char*> others[] = {{"ODB", "MSSQL"}, {"ODB", ""}, {"XYZ", ""}};
  for (const auto& [code, kind] : others) {
    upkeep::registration().options.ODBCDB = kind;
    EXPECT_EQ(GetSQLDatatype("ITM:F1", "short", code, 1), "smallint");
    EXPECT_EQ(GetSQLDatatype("ITM:F1", "date", code, 1), "date");
    EXPECT_EQ(GetSQLDatatype("ITM:F1", "time", code, 1), "time");
    EXPECT_EQ(GetSQLDatatype("ITM:F1", "long", code, 1), "");
    EXPECT_EQ(GetSQLDatatype("ITM:F1", "sreal", code, 1),
              std::string_view(code) == "ODB" ? "float" : "");
  }
}

TEST_F(ColumnTypesTest, StringOverDateAndTimeBecomesOneDateTimeColumn) {
  const std::pair<Backend, const char*> words[] = {
      {kBackends[0], "datetime"},    {kBackends[1], "date"},      {kBackends[2], "timestamp"},
      {kBackends[3], "datetime(2)"}, {kBackends[4], "timestamp"}, {kBackends[5], "timestamp"}};
  for (const auto& [backend, word] : words) {
    use(backend);
    upkeep::DTQ().clear();
    declare(
        {{"long", 4}, {"string(8)", 8}, {"group (next 2 fields)", 8}, {"date", 4}, {"time", 4}});
    EXPECT_EQ(GetSQLDatatype("ITM:F2", "string(8)", backend.code, 2), word) << backend.kind;
    EXPECT_EQ(columnTables().DateTimeGroupDetected, 1);
    ASSERT_EQ(upkeep::DTQ().size(), 1u);
    const upkeep::DateTimePair& pair = upkeep::DTQ()[0];
    EXPECT_EQ(pair.STRINGNAME, CasedName("ITM:F2"));
    EXPECT_EQ(pair.DATENAME, CasedName("ITM:F4"));
    EXPECT_EQ(pair.TIMENAME, CasedName("ITM:F5"));
    const auto& fields = declaredStructure().FDQ.entries;
    EXPECT_EQ(
        fields[1].MATCH + 10 * fields[2].MATCH + 100 * fields[3].MATCH + 1000 * fields[4].MATCH,
        1110);
    EXPECT_EQ(declaredStructure().FDQ.current.NAME, "F2");
  }
  // TIME before DATE, a group of three, or the string as the last field: an ordinary string.
  use(kBackends[0]);
  const std::vector<std::vector<std::pair<const char*, std::int32_t>>> plain = {
      {{"string(8)", 8}, {"group (next 2 fields)", 8}, {"time", 4}, {"date", 4}},
      {{"string(8)", 8}, {"group (next 3 fields)", 8}, {"date", 4}, {"time", 4}},
      {{"string(8)", 8}},
      {{"string(9)", 9}, {"group (next 2 fields)", 8}, {"date", 4}, {"time", 4}}};
  for (const auto& fields : plain) {
    declaredStructure().FDQ.clear();
    int n = 0;
    for (const auto& [type, length] : fields)
      declaredStructure().FDQ.entries.push_back(
          {.NAME = "F" + std::to_string(++n), .TYPE = type, .LENGTH = length});
    upkeep::DTQ().clear();
    const std::string type = fields[0].first;
    EXPECT_EQ(GetSQLDatatype("ITM:F1", type, "MSS", 1), "char(" + type.substr(7, 1) + ")");
    EXPECT_EQ(columnTables().DateTimeGroupDetected, 0);
    EXPECT_TRUE(upkeep::DTQ().empty());
  }
}

TEST_F(ColumnTypesTest, ForcedAndSerialTypes) {
  declare({{"cstring(20)", 20}, {"long", 4}});
  ds_ForceSQLDataType("image", "itm:f2");
  ds_ForceSQLDataType("BINARY", "ITM:F1");
  // Bytes, not characters, on every server that has a binary type.
  const char* binary[] = {
      "binary(20)", "", "binary", "varbinary(20)", "varchar(20) character set octets", "bytea"};
  for (std::size_t b = 0; b < std::size(kBackends); ++b) {
    use(kBackends[b]);
    EXPECT_EQ(GetSQLDatatype("ITM:F1", "cstring(20)", kBackends[b].code, 1), binary[b])
        << kBackends[b].code << " " << kBackends[b].kind;
  }
  use(kBackends[0]);
  EXPECT_EQ(GetSQLDatatype("ITM:F2", "long", "MSS", 2), "image");
  EXPECT_EQ(GetSQLDatatype("ITM:F1", "blob", "MSS", 1), "binary") << "no argument, no length";

  // A later force replaces the type unless it carries the marker, which only sets ISBINARY.
  ds_ForceSQLDataType("varchar(40)", "ITM:F2");
  EXPECT_EQ(columnTables().FSDQ[0].TYPE, "varchar(40)");
  EXPECT_EQ(columnTables().FSDQ[0].ISBINARY, 0);
  ds_ForceSQLDataType("BINARY - no replacing", "ITM:F2");
  EXPECT_EQ(columnTables().FSDQ[0].TYPE, "varchar(40)");
  EXPECT_EQ(columnTables().FSDQ[0].ISBINARY, 1);
  EXPECT_EQ(columnTables().FSDQ.size(), 2u);

  // An autonumber field is serial on PostgreSQL, unless its type is forced.
  use(kBackends[5]);
  declare({{"long", 4}, {"long", 4}});
  columnTables().FSDQ.clear();
  columnTables().IQ = {{.TABLENAME = "items", .FIELDNAME = "itm:f1"},
                       {.TABLENAME = "items", .FIELDNAME = "itm:f2"}};
  ds_ForceSQLDataType("bigint", "ITM:F2");
  EXPECT_EQ(GetSQLDatatype("itm:f1", "long", "ODB", 1), "serial");
  EXPECT_EQ(GetSQLDatatype("itm:f2", "long", "ODB", 2), "bigint");
  use(kBackends[3]);
  EXPECT_EQ(GetSQLDatatype("itm:f1", "long", "ODB", 1), "int");
}

TEST_F(ColumnTypesTest, ColumnDefaults) {
  declaredStructure().InterpretedPrefix = "ITM";
  tableInHand().OutFileName = "Items";
  // BlankZero: the global option, the file's entry over it, the field's entry over both.
  EXPECT_EQ(DefaultExtra("long", "QTY", "MSS"), "");
  upkeep::registration().options.blankZero = 1;
  EXPECT_EQ(DefaultExtra("long", "QTY", "MSS"), "0");
  EXPECT_EQ(DefaultExtra("decimal(7,2)", "PRICE", "MSS"), "0");
  EXPECT_EQ(DefaultExtra("cstring(20)", "NAME", "MSS"), "''");
  columnTables().BFILQ = {{.FILENAME = "items", .VALUE = 0}};
  EXPECT_EQ(DefaultExtra("long", "QTY", "MSS"), "");
  columnTables().BFQ = {{.FILENAME = "items", .FIELDNAME = "itm:qty", .VALUE = 1}};
  EXPECT_EQ(DefaultExtra("long", "QTY", "MSS"), "0");

  // SetIfNew values replace it: a server function without its marker, a text as a literal.
  columnTables().ITQ = {{.NAME = "ITM:WHEN", .VALUE = "SQLFUNC_(getdate())"},
                        {.NAME = "ITM:STAMP", .VALUE = "SQLFUNC_(getdate())"},
                        {.NAME = "ITM:ROWID", .VALUE = "SQLFUNC_(newid())"},
                        {.NAME = "ITM:OWNER", .VALUE = "O'Brien"},
                        {.NAME = "ITM:QTY", .VALUE = "12"},
                        {.NAME = "ITM:SEQ", .VALUE = " autonumber"}};
  const struct {
    const char* type;
    const char* name;
    const char* code;
    const char* expected;
  } cases[] = {
      {"long", "WHEN", "MSS", "getdate()"},
      {"cstring(30)", "STAMP", "MSS", "(getdate())"},
      {"cstring(37)", "ROWID", "MSS", "(newid()) ROWGUIDCOL"},
      {"cstring(20)", "OWNER", "MSS", "'O''Brien'"},
      {"cstring(20)", "OWNER", "ODB", "'O''Brien'"},
      {"long", "QTY", "MSS", "12"},
      {"long", "SEQ", "MSS", ""},
      {"cstring(20)", "NAME", "MSS", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DefaultExtra(c.type, c.name, c.code), c.expected) << c.name;
}

}  // namespace
}  // namespace upkeep_sql
