// The first open of an unchanged managed PostgreSQL table (the live structure read from the
// catalogue, the declaration read, columns and keys compared, no statement queued) against the
// same catalogue queries sent raw through unixODBC and their rows fetched. Run it with the test
// servers: scripts/with-sql-servers.sh build/bench/sql_manage_bench
// Prints Google Benchmark's table, then "ratio sql_manage <ours/raw>".
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/raw_odbc.h"
#include "bench/times_reporter.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/sql_driver.h"
#include "platform/files/sql_odbc_connection.h"
#include "platform/files/sql_owner.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep_sql/recording_connection.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/field_comparison.h"
#include "upkeep_sql/interpret_structure.h"
#include "upkeep_sql/key_comparison.h"
#include "upkeep_sql/sql_backends.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/system_table.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/table_manager.h"

namespace {

using namespace upkeep_sql;

constexpr int kRounds = 20;

// A projects-like table of twenty columns and five keys.
struct Project {
  runtime::Long ID;
  runtime::CString<61> NAME;
  runtime::CString<256> DESCRIPTION;
  runtime::CString<41> CATEGORY;
  runtime::CString<21> IDE;
  runtime::Long CREATED;
  runtime::Long CHANGED;
  runtime::CString<41> CODEBY;
  runtime::CString<256> FORUM;
  runtime::CString<256> FOLDER;
  runtime::Byte WINDOWS;
  runtime::Byte LINUX;
  runtime::Byte MAC;
  runtime::Byte ANDROID;
  runtime::Byte IOS;
  runtime::Byte HTML5;
  runtime::DecimalField<9, 2> SIZE;
  runtime::Short RATING;
  runtime::CString<21> VERSION;
  runtime::CString<101> TAGS;
};
constexpr runtime::FieldDef kFields[] = {
    GD_FIELD(Project, ID, "PRJ:ID"),
    GD_FIELD(Project, NAME, "PRJ:NAME"),
    GD_FIELD(Project, DESCRIPTION, "PRJ:DESCRIPTION"),
    GD_FIELD(Project, CATEGORY, "PRJ:CATEGORY"),
    GD_FIELD(Project, IDE, "PRJ:IDE"),
    GD_FIELD(Project, CREATED, "PRJ:CREATED"),
    GD_FIELD(Project, CHANGED, "PRJ:CHANGED"),
    GD_FIELD(Project, CODEBY, "PRJ:CODEBY"),
    GD_FIELD(Project, FORUM, "PRJ:FORUM"),
    GD_FIELD(Project, FOLDER, "PRJ:FOLDER"),
    GD_FIELD(Project, WINDOWS, "PRJ:WINDOWS"),
    GD_FIELD(Project, LINUX, "PRJ:LINUX"),
    GD_FIELD(Project, MAC, "PRJ:MAC"),
    GD_FIELD(Project, ANDROID, "PRJ:ANDROID"),
    GD_FIELD(Project, IOS, "PRJ:IOS"),
    GD_FIELD(Project, HTML5, "PRJ:HTML5"),
    GD_FIELD(Project, SIZE, "PRJ:SIZE"),
    GD_FIELD(Project, RATING, "PRJ:RATING"),
    GD_FIELD(Project, VERSION, "PRJ:VERSION"),
    GD_FIELD(Project, TAGS, "PRJ:TAGS"),
};
constexpr files::KeySpec kKeys[] = {{"PRJ:P_ID", files::KeyPrimary, {1}},
                                    {"PRJ:K_NAME", files::KeyNoCase, {2}},
                                    {"PRJ:K_CATEGORY", files::KeyDup, {4, 2}},
                                    {"PRJ:K_CODEBY", files::KeyDup, {8}},
                                    {"PRJ:K_CHANGED", files::KeyDup, {-7}}};

const char* kTable = "bench_managed_projects";
const char* kSystem = "bench_managed_system";

// The engine as a program with this table has it: the system table as the backend FILE.
struct Engine {
  std::string owner = bench::pgConnection();
  files::FileDeclaration system{files::FileSpec{.label = "UpkeepSQLFile",
                                                .prefix = "UPK",
                                                .driver = files::Driver::Odbc,
                                                .name = kSystem,
                                                .owner = owner,
                                                .fields = sqlRowFields(),
                                                .recordSize = sizeof(SqlRowBuffer)}};
  files::FileDeclaration table{files::FileSpec{.label = "Projects",
                                               .prefix = "PRJ",
                                               .driver = files::Driver::Odbc,
                                               .name = kTable,
                                               .owner = owner,
                                               .fields = kFields,
                                               .recordSize = sizeof(Project),
                                               .keys = kKeys}};
  Engine() {
    resetSqlBackendState();
    upkeep::resetRegistrationTables();
    upkeep::registration().options.ODBCDB = "POSTGRES";
    upkeep::ds_SetOption("dctmasterkeys", "1");
    upkeep::ds_AddDriver("ODB", system, sizeof(SqlRowBuffer), system.record().data());
    upkeep::registration().CurrentSqlDriver = *upkeep::sqlDriverSlot("ODB");
    tableInHand().OutFileName = kTable;
    tableInHand().SqlTableName = kTable;
    tableInHand().TableSchema = "public";
    tableInHand().FileKeysMaster = 1;
  }
  // Makes the table as its first managed open does.
  bool make() {
    if (OpenUpkeepSQLFile(0, "ODB") != 0) return false;
    ExecuteStatement(std::string("DROP TABLE IF EXISTS ") + kTable, 0);
    ds_InterpretStructure(table);
    ds_SetSQLNames("ODB");
    return ds_CreateSQLTable("ODB") == 0;
  }
  // The comparison of an unchanged table: answers the statements it would queue.
  std::size_t compare() {
    statementQueues() = {};
    if (LoadSQLStructure("ODB") != 0) return 1;
    ds_InterpretStructure(table);
    ds_SetSQLNames("ODB");
    CompareFields("ODB");
    CompareKeys("ODB");
    const StatementQueues& queues = statementQueues();
    return queues.SQ.size() + queues.DQ.size() + queues.AQ.size();
  }
};

std::vector<std::string>& catalogueQueries() {
  static std::vector<std::string> queries;
  return queries;
}

void BM_ours_sql_manage(benchmark::State& state) {
  Engine engine;
  if (engine.owner.empty()) return state.SkipWithError("GD_SQL_PG is not set");
  if (!engine.make()) return state.SkipWithError(LastSQLError().c_str());
  // The catalogue queries of one comparison, for the raw side.
  std::vector<std::string> sent;
  const files::SqlConnector previous =
      files::setSqlConnector([&](files::Driver driver, std::string_view text,
                                 files::SqlError& error) -> std::unique_ptr<files::SqlConnection> {
        auto inner = files::connectOdbc(files::odbcConnectionText(driver, text), error);
        if (inner == nullptr) return nullptr;
        return std::make_unique<testing::RecordingConnection>(std::move(inner), sent);
      });
  files::CLOSE(engine.system);
  files::OPEN(engine.system, 0x42);
  sent.clear();
  const std::size_t queued = engine.compare();
  catalogueQueries() = sent;
  files::CLOSE(engine.system);
  files::setSqlConnector(previous);
  files::OPEN(engine.system, 0x42);
  if (queued != 0) {
    for (const SqEntry& entry : statementQueues().SQ)
      std::fprintf(stderr, "%s\n", entry.SQL.c_str());
    for (const KeyStatement& entry : statementQueues().DQ)
      std::fprintf(stderr, "%s\n", entry.SQL.c_str());
    return state.SkipWithError("the unchanged table queued statements");
  }
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) benchmark::DoNotOptimize(engine.compare());
  }
  ExecuteStatement(std::string("DROP TABLE IF EXISTS ") + kTable, 0);
  ExecuteStatement(std::string("DROP TABLE IF EXISTS ") + kSystem, 0);
  files::CLOSE(engine.system);
}

// The same catalogue queries straight through unixODBC, every row fetched column by column.
void BM_raw_sql_manage(benchmark::State& state) {
  const std::string owner = bench::pgConnection();
  if (owner.empty() || catalogueQueries().empty())
    return state.SkipWithError("no catalogue queries recorded");
  SQLHENV env = bench::odbcEnvironment();
  const SQLHDBC dbc = bench::odbcConnect(env, owner);
  if (dbc == SQL_NULL_HDBC) return state.SkipWithError("cannot connect");
  char cell[4096];
  SQLLEN length = 0;
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      for (const std::string& query : catalogueQueries()) {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
        SQLExecDirect(stmt, (SQLCHAR*)query.c_str(), SQL_NTS);
        SQLSMALLINT columns = 0;
        SQLNumResultCols(stmt, &columns);
        while (SQL_SUCCEEDED(SQLFetch(stmt)))
          for (SQLSMALLINT c = 1; c <= columns; ++c)
            SQLGetData(stmt, static_cast<SQLUSMALLINT>(c), SQL_C_CHAR, cell, sizeof cell, &length);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
      }
    }
  }
  bench::odbcDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
}

BENCHMARK(BM_ours_sql_manage)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_raw_sql_manage)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  bench::runComparisons(argc, argv, {"sql_manage"});
  return 0;
}
