// The SQL drivers of the servers that cannot run here ("MSSQL", "ORACLE", "SQLANYWHERE") over
// a scripted connection: the statements they send, with every value a bound parameter, and
// how they take the server's answers and refusals.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/files/file_driver.h"
#include "platform/files/file_property.h"
#include "platform/files/sql_driver.h"
#include "platform/files/sql_scripted_connection.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace files {
namespace {

struct Item {
  runtime::Long ID;
  runtime::CString<30> NAME;
  runtime::Date ADDED;
};
constexpr runtime::FieldDef kItemFields[] = {
    GD_FIELD(Item, ID, "ITM:ID"),
    GD_FIELD(Item, NAME, "ITM:NAME").withExternalName("ItemName"),
    GD_FIELD(Item, ADDED, "ITM:ADDED"),
};
constexpr KeySpec kItemKeys[] = {{"ITM:P_ID", KeyPrimary, {1}}, {"ITM:K_NAME", KeyDup, {2, -1}}};
constexpr MemoSpec kItemMemos[] = {{"ITM:NOTES", 200, MemoKindBlob}};

struct Server {
  Driver driver;
  SqlBackend backend;
  std::string table;        // as the catalogue names it
  std::string quotedTable;  // as the driver's statements name it
  std::string insert;       // the driver's INSERT
  std::string columns;      // the column definitions of its CREATE TABLE
};

const Server kServers[] = {
    {Driver::Mssql, SqlBackend::SqlServer, "dbo.Items", "[dbo].[Items]",
     "INSERT INTO [dbo].[Items] ([ID], [ITEMNAME], [ADDED], [NOTES]) VALUES (?, ?, ?, ?)",
     "[ID] INTEGER, [ITEMNAME] VARCHAR(30), [ADDED] DATE, [NOTES] VARCHAR(MAX)"},
    {Driver::Oracle, SqlBackend::Oracle, "SCOTT.ITEMS", "\"SCOTT\".\"ITEMS\"",
     "INSERT INTO \"SCOTT\".\"ITEMS\" (\"ID\", \"ITEMNAME\", \"ADDED\", \"NOTES\") VALUES (?, ?, "
     "?, ?)",
     "\"ID\" NUMBER(10), \"ITEMNAME\" VARCHAR2(30), \"ADDED\" DATE, \"NOTES\" CLOB"},
    {Driver::SqlAnywhere, SqlBackend::SqlAnywhere, "Items", "\"Items\"",
     "INSERT INTO \"Items\" (\"ID\", \"ITEMNAME\", \"ADDED\", \"NOTES\") VALUES (?, ?, ?, ?)",
     "\"ID\" INTEGER, \"ITEMNAME\" VARCHAR(30), \"ADDED\" DATE, \"NOTES\" LONG VARCHAR"},
};

class ScriptedDriverTest : public ::testing::TestWithParam<Server> {
 protected:
  void SetUp() override {
    script = std::make_shared<SqlScript>(GetParam().backend, "12.00.2000");
    previous = setSqlConnector([script = script](Driver, std::string_view, SqlError& error) {
      return SqlScript::connect(script, error);
    });
    script->setColumns(
        GetParam().table,
        {{"ID", "int"}, {"ITEMNAME", "varchar"}, {"ADDED", "date"}, {"NOTES", "text"}});
    name = GetParam().table;
    file = std::make_unique<FileDeclaration>(FileSpec{.label = "items",
                                                      .prefix = "ITM",
                                                      .driver = GetParam().driver,
                                                      .name = name,
                                                      .owner = "server,db,user,secret",
                                                      .fields = kItemFields,
                                                      .recordSize = sizeof(Item),
                                                      .keys = kItemKeys,
                                                      .memos = kItemMemos});
  }
  void TearDown() override { setSqlConnector(previous); }

  Item& item() { return file->recordAs<Item>(); }

  std::shared_ptr<SqlScript> script;
  SqlConnector previous;
  std::string name;
  std::unique_ptr<FileDeclaration> file;
};

TEST_P(ScriptedDriverTest, WritesSendEveryValueAsAParameter) {
  OPEN(*file, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  item().ID = 7;
  item().NAME = "x'); DROP TABLE Items; --";
  item().ADDED = runtime::Date(2024, 2, 29);
  file->memo(1)->assign("a 'note'");
  ADD(*file);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  PUT(*file);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  DELETE(*file);
  ASSERT_EQ(runtime::ERRORCODE(), 0);

  const std::vector<SqlScript::Call> calls = script->calls();
  ASSERT_EQ(calls.size(), 3u);
  const std::string& t = GetParam().quotedTable;
  EXPECT_EQ(calls[0].statement, GetParam().insert);
  ASSERT_EQ(calls[0].params.size(), 4u);
  EXPECT_EQ(calls[0].params[0].value, "7");
  EXPECT_EQ(calls[0].params[1].value, "x'); DROP TABLE Items; --");
  EXPECT_EQ(calls[0].params[2].value, "2024-02-29");
  EXPECT_EQ(calls[0].params[3].value, "a 'note'");
  const std::string q = GetParam().backend == SqlBackend::SqlServer ? "[ID]" : "\"ID\"";
  EXPECT_TRUE(calls[1].statement.starts_with("UPDATE " + t + " SET "));
  EXPECT_TRUE(calls[1].statement.ends_with(" WHERE " + q + " = ?"));
  EXPECT_EQ(calls[1].params.back().value, "7");
  EXPECT_EQ(calls[2].statement, "DELETE FROM " + t + " WHERE " + q + " = ?");
  for (const SqlScript::Call& call : calls)
    EXPECT_EQ(call.statement.find("DROP"), std::string::npos) << call.statement;
}

TEST_P(ScriptedDriverTest, StatementsAnswerRowsAndRefusalsGive90WithTheServersCode) {
  script->answer({.match = "select name", .rows = {{{"12"}, {"first"}}, {{"13"}, {"second"}}}});
  script->answer({.match = "bad", .error = SqlError{"37000", "Incorrect syntax near 'bad'."}});
  OPEN(*file, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0);

  setProperty(*file, PropSqlStatement, "select name from sysobjects");
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  EXPECT_EQ(RECORDS(*file), 2);
  NEXT(*file);
  EXPECT_EQ(item().ID.value(), 12);
  EXPECT_EQ(item().NAME, "first");
  NEXT(*file);
  EXPECT_EQ(item().NAME, "second");

  setProperty(*file, PropSqlStatement, "bad statement");
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileSystemErr);
  EXPECT_EQ(runtime::FILEERRORCODE(), "37000");
  EXPECT_EQ(runtime::FILEERROR(), "Incorrect syntax near 'bad'.");
  EXPECT_EQ(getProperty(*file, PropServerVersion), "12.00.2000");

  // Accepted with a general warning: 90 with "01000", and the answer is still there.
  script->answer({.match = "print", .rows = {{{"5"}}}, .warning = SqlError{"01000", "a note"}});
  setProperty(*file, PropSqlStatement, "print 'x'; select 5");
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileSystemErr);
  EXPECT_EQ(runtime::FILEERRORCODE(), "01000");
  NEXT(*file);
  EXPECT_EQ(item().ID.value(), 5);

  // A statement on a closed FILE reaches no server and says so.
  CLOSE(*file);
  setProperty(*file, PropSqlStatement, "select 1");
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileSystemErr);
  EXPECT_EQ(runtime::FILEERRORCODE(), "08003");

  // By its owner, a closed FILE's statement goes over a connection of its own: the table it
  // names may not exist yet. A refusal is 90 with the server's state.
  script->clearCalls();
  EXPECT_EQ(sendSqlStatementByOwner(*file, "create table t (a int)"), 0);
  EXPECT_EQ(script->statements(), std::vector<std::string>{"create table t (a int)"});
  EXPECT_EQ(getProperty(*file, PropSqlStatement), "create table t (a int)");
  script->answer({.match = "create table u", .error = SqlError{"42S01", "exists"}});
  EXPECT_EQ(sendSqlStatementByOwner(*file, "create table u (a int)"), runtime::FileSystemErr);
  EXPECT_EQ(runtime::FILEERRORCODE(), "42S01");
}

TEST_P(ScriptedDriverTest, ProcedureCallWritesItsOutputParameterBack) {
  script->answer({.match = "ds_GetServerCase", .outputs = {"1"}});
  OPEN(*file, 0x42);
  std::int32_t locCase = 0;
  ASSERT_TRUE(runtime::BIND("locCase", locCase));
  setProperty(*file, PropSqlStatement, "NORESULTCALL ds_GetServerCase(&locCase [OUT])");
  runtime::UNBIND("locCase");
  ASSERT_EQ(runtime::ERRORCODE(), 0) << runtime::FILEERROR();
  EXPECT_EQ(locCase, 1);
  const SqlScript::Call call = script->calls().back();
  EXPECT_EQ(call.statement, "{call ds_GetServerCase(?)}");
  ASSERT_EQ(call.params.size(), 1u);
  EXPECT_TRUE(call.params[0].output);

  setProperty(*file, PropSqlStatement, "NORESULTCALL ds_GetServerCase(&unbound [OUT])");
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileSystemErr);
}

TEST_P(ScriptedDriverTest, OpenChecksTheTableAndTheLogin) {
  // No such table: 2. A column of the declaration missing: 47. A refused login: 90.
  script->setColumns(GetParam().table, {});
  OPEN(*file, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileNotFoundErr);
  script->setColumns(GetParam().table, {{"ID", "int"}, {"ITEMNAME", "varchar"}});
  OPEN(*file, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::InvalidRecordDeclarationErr);
  script->refuseLogin(SqlError{"28000", "Login failed for user 'user'."});
  OPEN(*file, 0x42);
  EXPECT_EQ(runtime::ERRORCODE(), runtime::FileSystemErr);
  EXPECT_EQ(runtime::FILEERRORCODE(), "28000");
  EXPECT_FALSE(file->openState().isOpen());
}

TEST_P(ScriptedDriverTest, CreateMakesTheTableWithItsKeys) {
  CREATE(*file);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  const std::vector<std::string> statements = script->statements();
  ASSERT_EQ(statements.size(), 2u);
  EXPECT_TRUE(statements[0].starts_with("CREATE TABLE " + GetParam().quotedTable + " (" +
                                        GetParam().columns + ", PRIMARY KEY ("))
      << statements[0];
  EXPECT_NE(statements[0].find("PRIMARY KEY"), std::string::npos);
  EXPECT_TRUE(statements[1].starts_with("CREATE INDEX "));
  EXPECT_TRUE(statements[1].ends_with(" DESC)")) << statements[1];
}

INSTANTIATE_TEST_SUITE_P(Drivers, ScriptedDriverTest, ::testing::ValuesIn(kServers),
                         [](const auto& info) {
                           return std::string(driverName(info.param.driver));
                         });

}  // namespace
}  // namespace files
