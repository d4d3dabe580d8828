// The conversion of a local keyed file of 25,001 records (a text, a text memo and a binary
// memo each) into a new PostgreSQL table through the first open of the table, against a raw
// prepared-insert loop through unixODBC in one transaction writing the same rows. Run it with
// the test servers, in a scratch folder of its own:
//   scripts/with-sql-servers.sh build/bench/sql_convert_bench
// Prints Google Benchmark's table, then "ratio sql_convert <ours/raw>".
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/raw_odbc.h"
#include "bench/times_reporter.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "tests/upkeep_sql/converted_items.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/file_open.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/sql_backends.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/statement_execution.h"

namespace {

using upkeep_sql::testing::Item;
using upkeep_sql::testing::itemSpec;

constexpr int kRecords = 25001;

std::string nameOf(int i) { return "O'Brien " + std::to_string(i) + " G\xC3\xA4mma"; }
std::string notesOf(int i) { return "Notes of " + std::to_string(i) + ": 'quoted'"; }
std::string bytesOf(int i) {
  std::string bytes;
  for (int b = 0; b < 64; ++b) bytes += static_cast<char>((b * 7 + i) % 256);
  return bytes;
}

const char* kTable = "bench_converted_items";
const char* kSystem = "bench_convert_system";

void BM_ours_sql_convert(benchmark::State& state) {
  const std::string owner = bench::pgConnection();
  if (owner.empty()) return state.SkipWithError("GD_SQL_PG is not set");
  static std::string folder = std::filesystem::temp_directory_path() / "gd_sql_convert_XXXXXX";
  if (mkdtemp(folder.data()) == nullptr || chdir(folder.c_str()) != 0)
    return state.SkipWithError("no scratch folder");
  files::FileDeclaration driverFile{itemSpec(files::Driver::Caskfile, "driver.vkf", "")};
  files::FileDeclaration local{itemSpec(files::Driver::Caskfile, "items.vkf", "")};
  files::FileDeclaration system{files::FileSpec{.label = "UpkeepSQLFile",
                                                .prefix = "UPK",
                                                .driver = files::Driver::Odbc,
                                                .name = kSystem,
                                                .owner = owner,
                                                .fields = upkeep_sql::sqlRowFields(),
                                                .recordSize = sizeof(upkeep_sql::SqlRowBuffer)}};
  // The older program writes its local file once.
  const int written = upkeep_sql::testing::writeOlderFile(driverFile, local, kRecords, [&](int i) {
    local.recordAs<Item>().ID = i;
    local.recordAs<Item>().NAME = nameOf(i);
    local.memo(1)->assign(notesOf(i));
    local.memo(2)->setBytes(bytesOf(i));
  });
  if (written != 0) return state.SkipWithError("the local file cannot be written");
  for (auto _ : state) {
    state.PauseTiming();
    upkeep::upkeepProcessStart();
    upkeep_sql::resetSqlBackendState();
    upkeep::registration().options.ODBCDB = "POSTGRES";
    upkeep::ds_AddDriver("Vkf", driverFile, sizeof(Item), driverFile.record().data());
    upkeep::ds_AddDriver("ODB", system, sizeof(upkeep_sql::SqlRowBuffer), system.record().data());
    upkeep::registration().CurrentSqlDriver = *upkeep::sqlDriverSlot("ODB");
    upkeep_sql::installSqlBackends();
    files::OPEN(system, 0x42);
    upkeep_sql::ExecuteStatement(std::string("DROP TABLE IF EXISTS ") + kTable, 0);
    upkeep_sql::ExecuteStatement(std::string("DROP TABLE IF EXISTS ") + kSystem, 0);
    files::CLOSE(system);
    upkeep_sql::testing::registerOldName("items.vkf", kTable);
    files::FileDeclaration items{itemSpec(files::Driver::Odbc, kTable, owner)};
    upkeep::ds_UsingFile("ITM", "Items", items, 2, 0);
    state.ResumeTiming();
    upkeep::ds_FileOpen(items, 0x42);
    if (runtime::ERRORCODE() != 0) return state.SkipWithError(runtime::FILEERROR().c_str());
    state.PauseTiming();
    files::CLOSE(items);
    state.ResumeTiming();
  }
  // The system table's key name is the same in every schema: leave none behind.
  upkeep_sql::ExecuteStatement(std::string("DROP TABLE IF EXISTS ") + kTable, 0);
  upkeep_sql::ExecuteStatement(std::string("DROP TABLE IF EXISTS ") + kSystem, 0);
}

// The same rows straight through unixODBC: one prepared statement, bound buffers, one
// transaction.
void BM_raw_sql_convert(benchmark::State& state) {
  const std::string owner = bench::pgConnection();
  if (owner.empty()) return state.SkipWithError("GD_SQL_PG is not set");
  SQLHENV env = bench::odbcEnvironment();
  const SQLHDBC dbc = bench::odbcConnect(env, owner);
  if (dbc == SQL_NULL_HDBC) return state.SkipWithError("cannot connect");
  const auto run = [&](const char* sql) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    SQLExecDirect(stmt, (SQLCHAR*)sql, SQL_NTS);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  };
  for (auto _ : state) {
    state.PauseTiming();
    run("DROP TABLE IF EXISTS bench_raw_items");
    run("CREATE TABLE bench_raw_items (id integer PRIMARY KEY, name varchar(60), notes text, "
        "bytes bytea)");
    state.ResumeTiming();
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                      0);
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    SQLPrepare(stmt,
               (SQLCHAR*)"INSERT INTO bench_raw_items (id, name, notes, bytes) VALUES (?, ?, ?, ?)",
               SQL_NTS);
    SQLINTEGER id = 0;
    char name[64];
    char notes[128];
    char bytes[64];
    SQLLEN nameLength = SQL_NTS;
    SQLLEN notesLength = SQL_NTS;
    SQLLEN bytesLength = sizeof bytes;
    SQLBindParameter(stmt, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &id, 0, nullptr);
    SQLBindParameter(stmt, 2, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 60, 0, name, 0,
                     &nameLength);
    SQLBindParameter(stmt, 3, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_LONGVARCHAR, 2000, 0, notes, 0,
                     &notesLength);
    SQLBindParameter(stmt, 4, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY, 1000, 0, bytes, 0,
                     &bytesLength);
    for (int i = 1; i <= kRecords; ++i) {
      id = i;
      std::snprintf(name, sizeof name, "%s", nameOf(i).c_str());
      std::snprintf(notes, sizeof notes, "%s", notesOf(i).c_str());
      const std::string raw = bytesOf(i);
      std::copy(raw.begin(), raw.end(), bytes);
      if (!SQL_SUCCEEDED(SQLExecute(stmt))) return state.SkipWithError("raw insert failed");
    }
    SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  }
  run("DROP TABLE IF EXISTS bench_raw_items");
  bench::odbcDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
}

BENCHMARK(BM_raw_sql_convert)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_sql_convert)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  bench::runComparisons(argc, argv, {"sql_convert"});
  return 0;
}
