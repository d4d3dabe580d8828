// The live-table structure loaders of SQL Server, Oracle, SQL Anywhere, Firebird and
// PostgreSQL against a scripted server whose answers are shaped like those servers'
// catalogues: the catalogue statements word for word, the entries they become, empty answers,
// and a failing statement failing the load.
#include "upkeep_sql/structure_loaders.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/files/file_property.h"
#include "platform/runtime/message.h"
#include "tests/upkeep_sql/catalogue_rows.h"
#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using testing::columnLines;
using testing::keyLines;
using testing::row;
using Lines = std::vector<std::string>;

class LoaderTest : public testing::SqlEngineTest {
 protected:
  LoaderTest(files::Driver driver, std::string code, std::string odbcKind = {})
      : SqlEngineTest(driver, std::move(code), sqlRowFields(), sizeof(SqlRowBuffer)) {
    upkeep::registration().options.ODBCDB = std::move(odbcKind);
  }
  // An Oracle FILE's owner is "user/password@service".
  void reopenOracleBackend() {
    files::CLOSE(*backend);
    files::setProperty(*backend, files::PropOwner, "user/secret@db");
    // Oracle keeps unquoted names in upper case.
    std::vector<files::SqlColumnInfo> columns;
    for (int n = 1; n <= kSqlRowColumns; ++n)
      columns.push_back({"DS_FIELD" + std::to_string(n), "VARCHAR2"});
    script->setColumns("UPKEEP_BACKEND", columns);
    files::OPEN(*backend, 0x42);
    script->clearCalls();
  }
  void rows(std::string match, std::vector<files::SqlRow> answer, int times = -1) {
    script->answer({.match = std::move(match), .rows = std::move(answer), .times = times});
  }
};

class MssLoaderTest : public LoaderTest {
 protected:
  MssLoaderTest() : LoaderTest(files::Driver::Mssql, "MSS") {
    tableInHand().SqlTableName = "Orders";
    tableInHand().TableSchema = "dbo";
    tableInHand().LinkedServerName = "DBHOST";
    tableInHand().TableZone = "shop";
  }
};

TEST_F(MssLoaderTest, ColumnsKeysAndDefaultsOfAServerTable) {
  //          1     2      3         4              5  6 type              7 prec 8 len 9 sc 10 11
  rows("sp_columns",
       {row({"shop", "dbo", "Orders", "Id", "4", "int identity", "10", "4", "0", "10", "0"}),
        row({"shop", "dbo", "Orders", "Total", "3", "decimal", "10", "12", "2", "10", "1"}),
        row({"shop", "dbo", "Orders", "Code", "12", "varchar", "20", "20", nullptr, nullptr, "0"}),
        row({"shop", "dbo", "Orders", "Big", "-5", "bigint identity", "19", "8", "0", "10", "0"})});
  rows("sp_pkeys", {row({"shop", "dbo", "Orders", "Id", "1", "PK_Orders"})});
  rows("sp_linkedservers", {row({"DBHOST", "SQLOLEDB"})});
  rows("sp_helpserver", {row({"DBHOST", "DBHOST", "rpc,data access"})});
  // sp_statistics: a table row (no column) first, then the index rows.
  rows("sp_statistics",
       {row({"shop", "dbo", "Orders", nullptr, nullptr, nullptr, "0", nullptr, nullptr}),
        row({"shop", "dbo", "Orders", "0", "Orders", "PK_Orders", "1", "1", "Id"}),
        row({"shop", "dbo", "Orders", "1", "Orders", "IX_Code", "3", "1", "Code"}),
        row({"shop", "dbo", "Orders", "1", "Orders", "IX_Code", "3", "2", "Total"})});
  rows("'PK_Orders')",
       {row({"DBHOST", "dbo", "Orders", "0", "Orders", "PK_Orders", "1", "1", "Id", "A"})}, 1);
  rows("'IX_Code')",
       {row({"DBHOST", "dbo", "Orders", "1", "Orders", "IX_Code", "3", "1", "Code", "D"}),
        row({"DBHOST", "dbo", "Orders", "1", "Orders", "IX_Code", "3", "2", "Total", "A"}),
        row({"DBHOST", "dbo", "Orders", "1", "Orders", "IX_Other", "3", "1", "Big", "A"})},
       1);
  refuse("sp_helpconstraint('IX_Code')");
  rows("xtype = 'D'", {row({"DF_Orders_Total", "901", "77"})});
  rows("from syscolumns", {row({"Total"})});

  answerer.addAnswer(runtime::ButtonNo);
  ASSERT_EQ(ds_MSSQLStructure(), 0);
  EXPECT_EQ(script->statements(),
            (Lines{"CALL sp_columns('Orders','dbo')", "CALL sp_linkedservers",
                   "CALL sp_helpserver('DBHOST')", "CALL sp_pkeys('Orders')",
                   "CALL sp_statistics('Orders','dbo')",
                   "CALL sp_indexes('DBHOST','Orders','dbo','shop','PK_Orders')",
                   "CALL sp_helpconstraint('PK_Orders')",
                   "CALL sp_indexes('DBHOST','Orders','dbo','shop','IX_Code')",
                   "CALL sp_helpconstraint('IX_Code')",
                   "select name, id, parent_obj from sysobjects where parent_obj = (select id "
                   "from sysobjects where name = 'Orders') and xtype = 'D'",
                   "select name from syscolumns where id = 77 and cdefault = 901"}));
  EXPECT_EQ(columnLines(), (Lines{"ID|int(4)|Id|1|0|1", "TOTAL|decimal(10,2)|Total|0|1|1",
                                  "CODE|varchar(20)|Code|0|0|1", "BIG|bigint(8)|Big|1|0|0"}));
  EXPECT_EQ(keyLines(), (Lines{"PK_ORDERS|PK_Orders|primary|0|0|[ Id]|1|1",
                               "IX_CODE|IX_Code|dup|1|0|[Code Total]|2|-1,2",
                               "DF_ORDERS_TOTAL|DF_Orders_Total|DF|0|1|[Total]|1|0"}));
}

TEST_F(MssLoaderTest, UnlistedServersAreLinkedAndSpIndexesFallsBackToTheRemoteMachine) {
  upkeep::registration().options.remoteMachineName = "WS12";
  tableInHand().LinkedServerName = "DBHOST\\SQL2005";
  rows("sp_linkedservers", {row({"OTHER"})});
  refuse("sp_addlinkedserver('DBHOST\\SQL2005'", "42000", -1, "denied");
  rows("sp_helpserver", {row({"x", "x", "rpc"})});
  rows("sp_statistics",
       {row({"shop", "dbo", "Orders", "0", "Orders", "UQ_Code", "3", "1", "Code"})});
  refuse("sp_indexes('DBHOST");
  rows("sp_indexes('WS12",
       {row({"WS12", "dbo", "Orders", "0", "Orders", "UQ_Code", "3", "1", "Code", "A"})});

  answerer.addAnswer(runtime::ButtonNo);
  ASSERT_EQ(ds_MSSQLStructure(), 0);
  const Lines sent = script->statements();
  const auto has = [&](const std::string& s) {
    return std::find(sent.begin(), sent.end(), s) != sent.end();
  };
  EXPECT_TRUE(has("CALL sp_addlinkedserver('DBHOST\\SQL2005','SQL Server')"));
  EXPECT_TRUE(has("CALL sp_addlinkedserver('WS12\\SQL2005','SQL Server')"));
  EXPECT_TRUE(has("CALL sp_serveroption('WS12\\SQL2005','DATA ACCESS','TRUE')"));
  EXPECT_TRUE(has("CALL sp_indexes('WS12\\SQL2005','Orders','dbo','shop','UQ_Code')"));
  EXPECT_EQ(upkeep::registration().options.remoteMachineName, "WS12\\SQL2005");
  ASSERT_EQ(answerer.shown().size(), 1u) << "only the refused link is asked about";
  EXPECT_NE(answerer.shown()[0].text.find("[1]DBHOST\\SQL200542000 - denied"), std::string::npos)
      << answerer.shown()[0].text;
  EXPECT_EQ(keyLines(), (Lines{"UQ_CODE|UQ_Code||0|0|[ Code]|1|1"}));
}

TEST_F(MssLoaderTest, NamesFromTheProgramAreQuotedAsLiterals) {
  tableInHand().SqlTableName = "O'Brien";
  ASSERT_EQ(ds_MSSLoadFieldQ(), 0);
  EXPECT_EQ(script->statements(), (Lines{"CALL sp_columns('O''Brien','dbo')"}));
}

class OracleLoaderTest : public LoaderTest {
 protected:
  OracleLoaderTest() : LoaderTest(files::Driver::Oracle, "ORA") {
    reopenOracleBackend();
    tableInHand().SqlTableName = "orders";
  }
};

TEST_F(OracleLoaderTest, IndexesAndConstraintsBecomeOneEntryEach) {
  //                   1 table   2 column  3 type      4  5  6 len 7 prec 8 scale 9 null
  rows("user_tab_columns",
       {row({"ORDERS", "ID", "NUMBER", "", "", "22", "10", "0", "N"}),
        row({"ORDERS", "MADE", "DATE", "", "", "7", nullptr, nullptr, "Y"}),
        row({"ORDERS", "CODE", "VARCHAR2", "", "", "20", nullptr, nullptr, "N"})});
  rows("user_ind_columns", {row({"PK_ORDERS", "ORDERS", "ID", "1", "22", "0", "ASC"}),
                            row({"IX_MADE", "ORDERS", "MADE", "1", "7", "0", "DESC"}),
                            row({"IX_MADE", "ORDERS", "CODE", "2", "20", "0", "ASC"})});
  rows("user_cons_columns", {row({"SHOP", "PK_ORDERS", "ORDERS", "ID", "1"}),
                             row({"SHOP", "SYS_C0012", "ORDERS", "CODE", nullptr})});
  rows("index_name = 'IX_MADE'", {row({"NONUNIQUE"})});
  rows("constraint_name = 'PK_ORDERS'", {row({"P"})});
  rows("constraint_name = 'SYS_C0012'", {row({"C"})});

  ASSERT_EQ(ds_OracleStructure(), 0);
  EXPECT_EQ(script->statements(),
            (Lines{"select * from user_tab_columns where table_name = 'ORDERS' order by column_id",
                   "select * from user_ind_columns where table_name = 'ORDERS' order by "
                   "index_name, column_position",
                   "select * from user_cons_columns where table_name = 'ORDERS' order by "
                   "constraint_name, position",
                   "select CONSTRAINT_TYPE from user_constraints where table_name = 'ORDERS' and "
                   "constraint_name = 'PK_ORDERS'",
                   "select UNIQUENESS from user_indexes where table_name = 'ORDERS' and "
                   "index_name = 'IX_MADE'",
                   "select CONSTRAINT_TYPE from user_constraints where table_name = 'ORDERS' and "
                   "constraint_name = 'SYS_C0012'"}));
  EXPECT_EQ(columnLines(), (Lines{"ID|NUMBER(10,0)|ID|0|0|1", "MADE|DATE(7)|MADE|0|1|1",
                                  "CODE|VARCHAR2(20)|CODE|0|0|1"}));
  EXPECT_EQ(keyLines(), (Lines{"PK_ORDERS|PK_ORDERS|primary|0|0|[ID]|1|1",
                               "IX_MADE|IX_MADE|dup|1|0|[MADE CODE]|2|-1,2",
                               "SYS_C0012|SYS_C0012|dup|0|0|[CODE]|1|1"}));
}

TEST_F(OracleLoaderTest, AFailingConstraintQueryReportsM42AndFailsTheLoad) {
  refuse("user_cons_columns", "42000", -1, "ORA-00942");
  answerer.addAnswer(runtime::ButtonNo);
  EXPECT_EQ(ds_ORALoadKeyQ(), 1);
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_NE(answerer.shown()[0].text.find("[constraints] Error: 42000 - ORA-00942"),
            std::string::npos);
}

class AsaLoaderTest : public LoaderTest {
 protected:
  AsaLoaderTest() : LoaderTest(files::Driver::SqlAnywhere, "ASA") {
    tableInHand().SqlTableName = "orders";
  }
};

TEST_F(AsaLoaderTest, PrimaryKeyFromColumnsAndIndexesInColumnOrder) {
  //                    1 name   2 nulls 3 width 4 scale 5 domain 6 default 7 pkey
  rows("sys.syscolumn", {row({"id", "0", "4", "0", "integer", "autoincrement", "Y", "1"}),
                         row({"shop", "0", "10", "0", "char", nullptr, "Y", "2"}),
                         row({"total", "1", "10", "2", "numeric", "0", "N", "3"}),
                         row({"code", "Y", "20", "0", "varchar", nullptr, "N", "4"})});
  // Ordered by column name: ix_a's rows are split by ix_b's.
  rows("from sysindex", {row({"ix_a", "code", "N", "1", "A", "orders"}),
                         row({"ix_b", "shop", "U", "1", "D", "orders"}),
                         row({"ix_a", "total", "N", "2", "A", "orders"})});
  ASSERT_EQ(ds_ASAStructure(), 0);
  EXPECT_EQ(script->statements(),
            (Lines{"select c.column_name, c.nulls, c.width, c.scale, d.domain_name, c.\"default\", "
                   "c.pkey, c.column_id from sys.syscolumn c inner join sys.systable t on "
                   "c.table_id = t.table_id inner join sys.sysdomain d on c.domain_id = "
                   "d.domain_id where t.table_name = 'orders' order by c.column_id",
                   "select i.index_name, c.column_name, i.\"unique\", ic.sequence, ic.\"order\", "
                   "t.table_name from sysindex i, syscolumn c, sysixcol ic, systable t where "
                   "t.table_name = 'orders'and i.table_id = t.table_id and c.table_id = "
                   "t.table_id and ic.table_id = t.table_id and i.index_id = ic.index_id and "
                   "c.column_id = ic.column_id order by c.column_name, ic.sequence"}));
  EXPECT_EQ(columnLines(),
            (Lines{"ID|integer(4)|id|1|0|1", "SHOP|char(10)|shop|0|0|1",
                   "TOTAL|numeric(10,2)|total|0|1|1", "CODE|varchar(20)|code|0|0|1"}));
  EXPECT_EQ(keyLines(), (Lines{"PRIMARYKEY|PrimaryKey|primary|0|0|[id shop]|2|1,2",
                               "IX_A|ix_a|dup|1|0|[code]|1|1", "IX_B|ix_b||0|0|[shop]|1|-1",
                               "IX_A|ix_a|dup|1|0|[total]|1|1"}));

  // The next table loaded starts its own primary key.
  script->clearCalls();
  ASSERT_EQ(ds_ASAStructure(), 0);
  EXPECT_EQ(keyLines().front(), "PRIMARYKEY|PrimaryKey|primary|0|0|[id shop]|2|1,2");
}

class FirebirdLoaderTest : public LoaderTest {
 protected:
  FirebirdLoaderTest() : LoaderTest(files::Driver::Odbc, "ODB", "FIREBIRD") {
    tableInHand().SqlTableName = "ORDERS";
  }
};

TEST_F(FirebirdLoaderTest, TypesTriggersAndIndexSegments) {
  //                     1 name  2 null 3 len 4 prec 5 scale 6 type 7 sub 8 name 9 charset
  rows("RDB$Relation_Fields", {row({"ID", "1", "4", "0", "0", "8", "0", "LONG"}),
                               row({"TOTAL", nullptr, "8", "10", "-2", "16", "1", "INT64"}),
                               row({"RATE", nullptr, "4", "9", "-3", "8", "2", "LONG"}),
                               row({"CODE", "1", "20", nullptr, "0", "37", "0", "VARYING"}),
                               row({"LATER", nullptr, "4", "0", "0", "8", "0", "LONG"}),
                               row({"ODD", nullptr, "8", "0", "0", "9", "0", "QUAD"}),
                               row({"RAW", nullptr, "4", nullptr, "0", "14", "0", "TEXT", "1"}),
                               row({"TAG", nullptr, "4", nullptr, "0", "14", "0", "TEXT", "4"})});
  const std::string late = "AS BEGIN " + std::string(260, ' ') + "new.later = gen_id(g, 1); END";
  rows("RDB$TRIGGERS",
       {row({"BI_ORDERS", "ORDERS", "AS BEGIN new.ID = GEN_ID(GEN_ORDERS, 1); END"}),
        row({"BI_LATE", "ORDERS", late.c_str()})});
  rows("from rdb$indices", {row({"RDB$PRIMARY1", "1", "1", nullptr}),
                            row({"IX_CODE_TOTAL", "0", "2", "1"}), row({"IX_ASC", "0", "1", "0"})});
  rows("rdb$index_name = 'RDB$PRIMARY1' and", {row({"INTEG_1", "PRIMARY KEY"})});
  rows("rdb$index_name = 'RDB$PRIMARY1' order", {row({"ID", "0"})});
  rows("rdb$index_name = 'IX_CODE_TOTAL' order", {row({"CODE", "0"}), row({"TOTAL", "1"})});
  rows("rdb$index_name = 'IX_ASC' order", {row({"RATE", "0"})});

  ASSERT_EQ(ds_FireBirdStructure(), 0);
  const Lines sent = script->statements();
  ASSERT_EQ(sent.size(), 9u);
  EXPECT_EQ(
      sent[0],
      "select rn.RDB$Field_Name, rn.RDB$Null_Flag, "
      "coalesce(f.RDB$Character_Length, f.RDB$Field_Length), f.RDB$Field_Precision, "
      "f.RDB$Field_Scale, f.RDB$Field_Type, f.RDB$Field_Sub_Type, "
      "t.RDB$Type_Name, f.RDB$Character_Set_Id from RDB$Relation_Fields rn join RDB$Fields f on "
      "(rn.RDB$Field_Source = f.RDB$Field_Name) join RDB$Types t on (f.RDB$Field_Type = "
      "t.RDB$Type) where rn.RDB$Relation_Name = 'ORDERS' and t.RDB$Field_Name = "
      "'RDB$FIELD_TYPE' order by rn.RDB$Field_Position");
  EXPECT_EQ(sent[1],
            "select RDB$Trigger_Name, RDB$Relation_Name, RDB$Trigger_Source from RDB$TRIGGERS "
            "where RDB$Relation_Name = 'ORDERS'");
  EXPECT_EQ(sent[2],
            "select rdb$index_name, rdb$unique_flag, rdb$segment_count, rdb$index_type from "
            "rdb$indices where rdb$relation_name = 'ORDERS'");
  EXPECT_EQ(sent[3],
            "select rdb$constraint_name, rdb$constraint_type from rdb$relation_constraints "
            "where rdb$index_name = 'RDB$PRIMARY1' and rdb$relation_name = 'ORDERS'");
  EXPECT_EQ(sent[4],
            "select rdb$field_name, rdb$field_position from rdb$index_segments where "
            "rdb$index_name = 'RDB$PRIMARY1' order by rdb$index_name, rdb$field_position");
  // The trigger source is read as far as its 250 characters hold it.
  EXPECT_EQ(columnLines(),
            (Lines{"ID|integer|ID|1|0|1", "TOTAL|numeric(10,2)|TOTAL|0|1|1",
                   "RATE|decimal(9,3)|RATE|0|1|1", "CODE|varchar(20)|CODE|0|0|1",
                   "LATER|integer|LATER|0|1|0", "ODD||ODD|0|1|0",
                   "RAW|char(4) character set octets|RAW|0|1|0", "TAG|char(4)|TAG|0|1|0"}));
  // A key that is a constraint goes by the constraint's name, not its index's.
  EXPECT_EQ(keyLines(), (Lines{"INTEG_1|INTEG_1|primary|0|0|[ ID]|1|1",
                               "IX_CODE_TOTAL|IX_CODE_TOTAL|dup|1|0|[CODE TOTAL]|2|-1,-2",
                               "IX_ASC|IX_ASC|dup|1|0|[ RATE]|1|1"}));
}

// Each loader against a server that refuses its first catalogue statement, and one that
// answers nothing at all.
struct LoaderCase {
  const char* name;
  files::Driver driver;
  const char* code;
  const char* kind;
  std::function<std::int32_t()> load;
  const char* tag;
};

class EveryLoaderTest : public ::testing::TestWithParam<LoaderCase> {};

class OneLoader : public LoaderTest {
 public:
  explicit OneLoader(const LoaderCase& c) : LoaderTest(c.driver, c.code, c.kind) {
    if (c.driver == files::Driver::Oracle) reopenOracleBackend();
    tableInHand().SqlTableName = "orders";
  }
  void TestBody() override {}
  using LoaderTest::answerer;
  using LoaderTest::refuse;
  using LoaderTest::script;
};

TEST_P(EveryLoaderTest, AFailingCatalogueQueryFailsTheLoadAndAnEmptyAnswerLoadsNothing) {
  const LoaderCase& c = GetParam();
  {
    OneLoader server(c);
    liveStructure().SFDQ.entries.push_back({"STALE", "int"});
    server.refuse("", "08S01", -1, "link lost");
    server.answerer.addAnswer(runtime::ButtonNo);
    EXPECT_EQ(c.load(), 1) << "a refused catalogue query never reads as an empty table";
    EXPECT_TRUE(liveStructure().SFDQ.entries.empty());
    ASSERT_EQ(server.answerer.shown().size(), 1u) << "reported at level 1";
    EXPECT_NE(server.answerer.shown()[0].text.find(std::string(c.tag) + "08S01"), std::string::npos)
        << server.answerer.shown()[0].text;
  }
  {
    OneLoader server(c);
    EXPECT_EQ(c.load(), 0);
    EXPECT_TRUE(liveStructure().SFDQ.entries.empty());
    EXPECT_TRUE(liveStructure().SKDQ.entries.empty());
    EXPECT_TRUE(server.answerer.shown().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Loaders, EveryLoaderTest,
    ::testing::Values(LoaderCase{"SqlServer", files::Driver::Mssql, "MSS", "", ds_MSSQLStructure,
                                 "[sp_columns] Error: "},
                      LoaderCase{"Oracle", files::Driver::Oracle, "ORA", "", ds_OracleStructure,
                                 "[columns] Error: "},
                      LoaderCase{"SqlAnywhere", files::Driver::SqlAnywhere, "ASA", "",
                                 ds_ASAStructure, "[fields] Error: "},
                      LoaderCase{"Firebird", files::Driver::Odbc, "ODB", "FIREBIRD",
                                 ds_FireBirdStructure, "[fields] Error: "},
                      LoaderCase{"PostgreSQL", files::Driver::Odbc, "ODB", "POSTGRES",
                                 ds_PostgreSQLStructure, "[fields] Error: "}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace upkeep_sql
