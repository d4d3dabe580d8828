// The conversion of a local keyed file of 25,001 records (--records=N sets another count), a
// text, a text memo and a binary memo each, into a new PostgreSQL table through the first open
// of the table, against plain unixODBC writing the same rows in one transaction: one prepared
// insert with its parameters bound as arrays of kBatch rows, each execute sending a whole
// array. The raw side's timed part holds what any conversion must do besides the rows: connect
// once and create the table; dropping the table of the last run is not timed on either side.
// Each iteration of ours works in a scratch folder of its own, removed after it. Run it
// with the test servers:
//   scripts/with-sql-servers.sh build/bench/sql_convert_bench
// Prints Google Benchmark's table, then "ratio sql_convert <ours/raw>".
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "bench/raw_odbc.h"
#include "bench/record_count.h"
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

int recordCount = 25001;      // --records=N sets another
constexpr int kBatch = 1000;  // rows of one array-bound execute of the raw side

std::string nameOf(int i) { return "O'Brien " + std::to_string(i) + " G\xC3\xA4mma"; }
std::string notesOf(int i) { return "Notes of " + std::to_string(i) + ": 'quoted'"; }
std::string bytesOf(int i) {
  std::string bytes;
  for (int b = 0; b < 64; ++b) bytes += static_cast<char>((b * 7 + i) % 256);
  return bytes;
}

const char* kTable = "bench_converted_items";

// A new folder under the temporary directory, made the current directory while it lives, then
// removed with what it holds and the previous current directory put back.
class ScratchFolder {
 public:
  ScratchFolder() : previous_(std::filesystem::current_path()) {
    std::string pattern = std::filesystem::temp_directory_path() / "gd_sql_convert_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    if (chdir(folder_.c_str()) != 0) folder_.clear();
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  explicit operator bool() const { return !folder_.empty(); }

 private:
  std::filesystem::path previous_;
  std::string folder_;
};
const char* kSystem = "bench_convert_system";

void BM_ours_sql_convert(benchmark::State& state) {
  const std::string owner = bench::pgConnection();
  if (owner.empty()) return state.SkipWithError("GD_SQL_PG is not set");
  const ScratchFolder scratch;
  if (!scratch) return state.SkipWithError("no scratch folder");
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
  const int written =
      upkeep_sql::testing::writeOlderFile(driverFile, local, recordCount, [&](int i) {
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

// The same rows straight through unixODBC: one connection and one CREATE TABLE, then one
// prepared statement, its parameters bound as arrays of kBatch rows, one transaction.
void BM_raw_sql_convert(benchmark::State& state) {
  const std::string owner = bench::pgConnection();
  if (owner.empty()) return state.SkipWithError("GD_SQL_PG is not set");
  SQLHENV env = bench::odbcEnvironment();
  const SQLHDBC dbc = bench::odbcConnect(env, owner);
  if (dbc == SQL_NULL_HDBC) return state.SkipWithError("cannot connect");
  const auto run = [](SQLHDBC on, const char* sql) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, on, &stmt);
    SQLExecDirect(stmt, (SQLCHAR*)sql, SQL_NTS);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  };
  constexpr int kNameSize = 64;
  constexpr int kNotesSize = 128;
  constexpr int kBytesSize = 64;
  std::vector<SQLINTEGER> ids(kBatch);
  std::vector<char> names(kBatch * kNameSize);
  std::vector<char> notes(kBatch * kNotesSize);
  std::vector<char> bytes(kBatch * kBytesSize);
  std::vector<SQLLEN> nameLengths(kBatch, SQL_NTS);
  std::vector<SQLLEN> notesLengths(kBatch, SQL_NTS);
  std::vector<SQLLEN> bytesLengths(kBatch, kBytesSize);
  std::vector<SQLUSMALLINT> statuses(kBatch);
  for (auto _ : state) {
    state.PauseTiming();
    run(dbc, "DROP TABLE IF EXISTS bench_raw_items");
    state.ResumeTiming();
    const SQLHDBC conversion = bench::odbcConnect(env, owner);
    if (conversion == SQL_NULL_HDBC) return state.SkipWithError("cannot connect");
    run(conversion,
        "CREATE TABLE bench_raw_items (id integer PRIMARY KEY, name varchar(60), notes text, "
        "bytes bytea)");
    SQLSetConnectAttr(conversion, SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, conversion, &stmt);
    SQLPrepare(stmt,
               (SQLCHAR*)"INSERT INTO bench_raw_items (id, name, notes, bytes) VALUES (?, ?, ?, ?)",
               SQL_NTS);
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_BIND_TYPE, SQL_PARAM_BIND_BY_COLUMN, 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_STATUS_PTR, statuses.data(), 0);
    SQLBindParameter(stmt, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, ids.data(), 0,
                     nullptr);
    SQLBindParameter(stmt, 2, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 60, 0, names.data(),
                     kNameSize, nameLengths.data());
    SQLBindParameter(stmt, 3, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_LONGVARCHAR, 2000, 0, notes.data(),
                     kNotesSize, notesLengths.data());
    SQLBindParameter(stmt, 4, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY, 1000, 0,
                     bytes.data(), kBytesSize, bytesLengths.data());
    for (int first = 1; first <= recordCount; first += kBatch) {
      const int rows = std::min(kBatch, recordCount - first + 1);
      for (int r = 0; r < rows; ++r) {
        const int i = first + r;
        ids[r] = i;
        std::snprintf(&names[r * kNameSize], kNameSize, "%s", nameOf(i).c_str());
        std::snprintf(&notes[r * kNotesSize], kNotesSize, "%s", notesOf(i).c_str());
        const std::string raw = bytesOf(i);
        std::copy(raw.begin(), raw.end(), &bytes[r * kBytesSize]);
      }
      SQLSetStmtAttr(stmt, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0);
      if (!SQL_SUCCEEDED(SQLExecute(stmt))) return state.SkipWithError("raw insert failed");
    }
    SQLEndTran(SQL_HANDLE_DBC, conversion, SQL_COMMIT);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    state.PauseTiming();
    bench::odbcDisconnect(conversion);
    state.ResumeTiming();
  }
  run(dbc, "DROP TABLE IF EXISTS bench_raw_items");
  bench::odbcDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
}

BENCHMARK(BM_raw_sql_convert)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_sql_convert)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  recordCount = bench::takeRecordCount(argc, argv, recordCount);
  bench::runComparisons(argc, argv, {"sql_convert"});
  return 0;
}
