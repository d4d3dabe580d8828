// The SQL table manager end to end through ds_FileOpen against the live PostgreSQL, MariaDB and
// Firebird databases, one start of the program after another: version 1 creates the table, its keys
// and its version row; version 2 alters it in place with every row kept; an unchanged start sends
// no statement; a version 3 the server refuses is reported, left unmanaged and tried again,
// and succeeds once its declaration is mended. On Firebird a key turned the other way as a
// whole has its index made again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/sql_columns.h"
#include "platform/files/sql_connect.h"
#include "platform/files/sql_driver.h"
#include "platform/files/sql_owner.h"
#include "platform/files/sql_quoting.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep_sql/item_versions.h"
#include "tests/upkeep_sql/live_backend.h"
#include "tests/upkeep_sql/recording_connection.h"
#include "tests/upkeep_sql/table_manager_fixture.h"
#include "upkeep/file_open.h"
#include "upkeep/open_flags.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep/sql_backend.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/version_tracking.h"

namespace upkeep_sql {
namespace {

using namespace testing;  // the item declarations and the fixture

TEST_P(TableManagerLiveTest, VersionsOneTwoThreeThroughTheOpen) {
  ASSERT_NO_FATAL_FAILURE(startVersionOne());
  for (const char* values :
       {"1, 'O''Brien', 9.99, 'A-1'", "2, 'Gämma ünï', 9.99, 'B-2'", "3, 'Zed', 12345.67, 'C-3'"})
    run("INSERT INTO " + fullName() + " (id, name, price, code) VALUES (" + values + ")");

  // Version 2: altered in place; every row and value kept, and version 2 written.
  ASSERT_EQ(start<ItemV2>(kFieldsV2, kKeysV2, 2), 0) << runtime::FILEERROR();
  EXPECT_TRUE(managed());
  EXPECT_EQ(storedVersion(), "2");
  EXPECT_FALSE(changes().empty());
  const Lines keysV2 =
      mySql() ? Lines{"k_code:unique", "k_qty:dup", "primary:unique"}
              : Lines{key("k_code") + ":unique", key("k_qty") + ":dup", key("p_id") + ":unique"};
  EXPECT_EQ(indexes(), keysV2);
  run("UPDATE " + fullName() +
      " SET name = 'a name of forty characters, all of them', price = 123456789.01 WHERE id = 3");
  EXPECT_EQ(rows(), (Lines{"1|O'Brien|9.99|A-1|NULL", "2|Gämma ünï|9.99|B-2|NULL",
                           "3|a name of forty characters, all of them|123456789.01|C-3|NULL"}));

  // An unchanged start: its open sends no statement at all.
  ASSERT_EQ(start<ItemV2>(kFieldsV2, kKeysV2, 2), 0) << runtime::FILEERROR();
  EXPECT_EQ(sent, Lines{});
  EXPECT_FALSE(managed()) << "a table that needed nothing is not recorded";
  // Compared in full (/goindeep), an unchanged table queues nothing.
  commandLine("/goindeep");
  ASSERT_EQ(start<ItemV2>(kFieldsV2, kKeysV2, 2), 0) << runtime::FILEERROR();
  commandLine("");
  const StatementQueues& queues = statementQueues();
  EXPECT_TRUE(queues.SQ.empty() && queues.DQ.empty() && queues.AQ.empty())
      << (queues.SQ.empty() ? "" : queues.SQ.front().SQL);
  EXPECT_TRUE(managed());

  // Version 3 refused by the server: reported (the user asked whether to end), nothing marked,
  // the version row left at 2; the next start tries again.
  for (int attempt = 0; attempt < 2; ++attempt) {
    // On PostgreSQL the engine's own guard refuses the code text becoming a number (a warning),
    // and the server then refuses the unique key; elsewhere the server refuses the changes.
    if (std::string_view(GetParam().kind) == "POSTGRES") {
      answerer.addAnswer(runtime::ButtonOk);
      answerer.addAnswer(runtime::ButtonNo);
    } else {
      for (int box = 0; box < 3; ++box) answerer.addAnswer(runtime::ButtonNo);
    }
    if (mySql()) {
      start<ItemV2>(kFieldsV2, kKeysV3Refused, 3);
    } else {
      start<ItemV3Refused>(kFieldsV3Refused, kKeysV3Refused, 3);
    }
    EXPECT_FALSE(managed());
    EXPECT_EQ(storedVersion(), "2");
    EXPECT_FALSE(answerer.shown().empty()) << "the failure is reported to the user";
    EXPECT_FALSE(changes().empty()) << "attempt " << attempt << " tried the change";
  }
  // Mended (on the developer's machine, whose catalogue never saw the refused declaration):
  // version 3 succeeds, rows kept.
  std::filesystem::remove(folder.file("Upg.Vkf"));
  ASSERT_EQ(start<ItemV3>(kFieldsV3, kKeysV2, 3), 0) << runtime::FILEERROR();
  EXPECT_TRUE(managed());
  EXPECT_EQ(storedVersion(), "3");
  EXPECT_EQ(rows(),
            (Lines{"1|O'Brien|9.99|A-1|NULL|NULL", "2|Gämma ünï|9.99|B-2|NULL|NULL",
                   "3|a name of forty characters, all of them|123456789.01|C-3|NULL|NULL"}));
}

// The kind of server is one kind however its letters are written: told "Postgres", "Myodbc 3"
// or "Firebird", the engine makes the table, its keys and its version row as for the kind in
// upper case.
TEST_P(TableManagerLiveTest, TheServerKindIsReadWithoutRegardToLetterCase) {
  kind = runtime::LOWER(GetParam().kind);
  kind[0] = runtime::UPPER(kind.substr(0, 1))[0];  // "Postgres", "Myodbc 3", "Firebird"
  startVersionOne();
}

// A FILE whose name holds a statement of its own is one table name to the server: the open
// that looks for its table never runs the statement, and the table the statement names stands.
TEST_P(TableManagerLiveTest, ATableNameThatHoldsAStatementNeverRunsIt) {
  // Two tables of the user's: the FILE's name starts with the first and drops the second.
  const std::string first = files::test::uniqueTableName("t");
  const std::string canary = GetParam().database + files::test::uniqueTableName("cn");
  for (const std::string& name : {GetParam().database + first, canary}) {
    remember(name);
    run("CREATE TABLE " + name + " (id INTEGER)");
  }
  table = first + "; DROP TABLE " + canary;
  start<ItemV1>(kFieldsV1, kKeysV1, 1);
  // The table as the server keeps the name, quoted.
  const files::SqlBackend backend = plain->backend();
  const std::string made =
      GetParam().database +
      files::quoteIdentifier(backend, files::namedInCase(backend, table)).value_or("");
  plain->execute("DROP TABLE " + made, {});
  ASSERT_TRUE(plain->execute("SELECT COUNT(*) FROM " + canary, {}))
      << "the table named in the FILE's name was dropped: " << plain->lastError().text;
  files::SqlRow row;
  while (plain->fetch(row)) {
  }
}

// Columns named by external names that carry an option after a spaced separator: the table
// gets the bare names, and a key over two of them covers both.
struct Optioned {
  runtime::Long ID;
  runtime::CString<11> NAME;
};
constexpr runtime::FieldDef kOptionedFields[] = {
    GD_FIELD(Optioned, ID, "ITM:ID").withExternalName("id | READONLY"),
    GD_FIELD(Optioned, NAME, "ITM:NAME").withExternalName("name | CHECKFORNULL")};
constexpr files::KeySpec kOptionedKeys[] = {{"ITM:K_ID_NAME", 0, {1, 2}}};

TEST_P(TableManagerLiveTest, AKeyOverColumnsWithOptionsCoversEachColumn) {
  ASSERT_EQ(start<Optioned>(kOptionedFields, kOptionedKeys, 1), 0)
      << runtime::FILEERROR() << "\n"
      << ::testing::PrintToString(sent);
  run("INSERT INTO " + fullName() + " (id, name) VALUES (1, 'a')");
  run("INSERT INTO " + fullName() + " (id, name) VALUES (1, 'b')");
  EXPECT_FALSE(plain->execute("INSERT INTO " + fullName() + " (id, name) VALUES (1, 'a')", {}))
      << "the key is unique over both columns";
  Lines stored = rows();
  std::sort(stored.begin(), stored.end());
  EXPECT_EQ(stored, (Lines{"1|a", "1|b"}));
}

// Keys each way: wholly descending (a primary key, an index), ascending (a unique key) and
// mixed; then each turned the other way, the mixed one wholly descending.
constexpr files::KeySpec kKeysDescending[] = {{"ITM:P_ID", files::KeyPrimary, {-1}},
                                              {"ITM:K_NAME", files::KeyDup, {-2}},
                                              {"ITM:K_CODE", 0, {4}},
                                              {"ITM:K_MIX", files::KeyDup, {2, -4}}};
constexpr files::KeySpec kKeysTurned[] = {{"ITM:P_ID", files::KeyPrimary, {1}},
                                          {"ITM:K_NAME", files::KeyDup, {2}},
                                          {"ITM:K_CODE", 0, {-4}},
                                          {"ITM:K_MIX", files::KeyDup, {-2, -4}}};

// A Firebird index runs one way as a whole: descending for a key whose every component is,
// ascending otherwise. A key turned the other way at a new version has its index (a primary
// key's too) dropped and made again running the new way, rows kept; a full comparison then
// finds nothing to do.
class OneWayIndexLiveTest : public TableManagerLiveTest {};

TEST_P(OneWayIndexLiveTest, AKeyTurnedTheOtherWayIsRebuiltWhereAnIndexRunsOneWay) {
  const struct {
    std::span<const files::KeySpec> keys;
    Lines directions;
  } steps[] = {
      {kKeysDescending,
       {key("k_code") + ":asc", key("k_mix") + ":asc", key("k_name") + ":desc",
        key("p_id") + ":desc"}},
      {kKeysTurned,
       {key("k_code") + ":desc", key("k_mix") + ":desc", key("k_name") + ":asc",
        key("p_id") + ":asc"}},
      {kKeysDescending,
       {key("k_code") + ":asc", key("k_mix") + ":asc", key("k_name") + ":desc",
        key("p_id") + ":desc"}},
  };
  const Lines kept = {"1|O'Brien|9.99|A-1", "2|Zed|12345.67|B-2"};
  std::int16_t version = 0;
  for (const auto& step : steps) {
    SCOPED_TRACE("version " + std::to_string(++version));
    ASSERT_EQ(start<ItemV1>(kFieldsV1, step.keys, version), 0) << runtime::FILEERROR() << "\n"
                                                               << ::testing::PrintToString(sent);
    if (version == 1) {
      for (const char* values : {"1, 'O''Brien', 9.99, 'A-1'", "2, 'Zed', 12345.67, 'B-2'"})
        run("INSERT INTO " + fullName() + " (id, name, price, code) VALUES (" + values + ")");
    }
    // The rows first: a statement of the test's own connection that ordered them by the
    // primary key's index would keep that index in use, and its drop waiting.
    EXPECT_EQ(rows(), kept);
    EXPECT_EQ(storedVersion(), std::to_string(version));
    EXPECT_EQ(indexDirections(), step.directions);

    commandLine("/goindeep");
    ASSERT_EQ(start<ItemV1>(kFieldsV1, step.keys, version), 0) << runtime::FILEERROR();
    commandLine("");
    const StatementQueues& queues = statementQueues();
    EXPECT_TRUE(queues.SQ.empty() && queues.DQ.empty() && queues.AQ.empty())
        << (queues.SQ.empty() ? "" : queues.SQ.front().SQL);
  }
}

INSTANTIATE_TEST_SUITE_P(Servers, TableManagerLiveTest, ::testing::ValuesIn(kServerCases),
                         [](const auto& info) { return std::string(info.param.server.name); });
// Only Firebird orders a whole index one way.
INSTANTIATE_TEST_SUITE_P(Servers, OneWayIndexLiveTest,
                         ::testing::ValuesIn(serverCasesOnFirebird(true)),
                         [](const auto& info) { return std::string(info.param.server.name); });

}  // namespace
}  // namespace upkeep_sql
