// The ODBC file driver against a raw prepared-insert loop through unixODBC on the same
// PostgreSQL: ADD of 100,000 rows in one transaction into tables of the same schema. Run it
// with the test servers: scripts/with-sql-servers.sh build/bench/sql_driver_bench
// Prints Google Benchmark's table, then "ratio sql_add <ours/raw>".
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/raw_odbc.h"
#include "bench/times_reporter.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace {

using namespace files;

constexpr int kRows = 100000;

struct Row {
  runtime::Long ID;
  runtime::CString<40> NAME;
  runtime::String<60> CITY;
  runtime::Real SCORE;
  runtime::Date BORN;
};

constexpr runtime::FieldDef kFields[] = {
    GD_FIELD(Row, ID, "BEN:ID"),     GD_FIELD(Row, NAME, "BEN:NAME"),
    GD_FIELD(Row, CITY, "BEN:CITY"), GD_FIELD(Row, SCORE, "BEN:SCORE"),
    GD_FIELD(Row, BORN, "BEN:BORN"),
};
constexpr KeySpec kKeys[] = {{"BEN:P_ID", KeyPrimary, {1}}};

// A fresh, empty table `name` of the benchmark's schema, declared with the ODBC driver.
std::unique_ptr<FileDeclaration> freshTable(const std::string& name, const std::string& owner) {
  static std::map<std::string, std::string> names;  // the specs point at these texts
  names[name] = name;
  names[name + "#owner"] = owner;
  const FileSpec spec{.label = "bench",
                      .prefix = "BEN",
                      .driver = Driver::Odbc,
                      .name = names[name],
                      .owner = names[name + "#owner"],
                      .fields = kFields,
                      .recordSize = sizeof(Row),
                      .keys = kKeys};
  auto file = std::make_unique<FileDeclaration>(spec);
  REMOVE(*file);
  CREATE(*file);
  if (runtime::ERRORCODE() != 0) return nullptr;
  return file;
}

void fill(Row& row, int i) {
  row.ID = i + 1;
  row.NAME = "name " + std::to_string(i);
  row.CITY = "city " + std::to_string(i % 97);
  row.SCORE = i * 0.25;
  row.BORN = runtime::Date(1950 + i % 60, 1 + i % 12, 1 + i % 28);
}

void BM_ours_sql_add(benchmark::State& state) {
  const std::string owner = bench::pgConnection();
  if (owner.empty()) return state.SkipWithError("GD_SQL_PG is not set");
  for (auto _ : state) {
    state.PauseTiming();
    auto file = freshTable("bench_ours", owner);
    if (file == nullptr) return state.SkipWithError(runtime::FILEERROR().c_str());
    OPEN(*file, 0x42);
    state.ResumeTiming();
    LOGOUT(10, *file);
    Row& row = file->recordAs<Row>();
    for (int i = 0; i < kRows; ++i) {
      fill(row, i);
      ADD(*file);
      if (runtime::ERRORCODE() != 0) return state.SkipWithError(runtime::FILEERROR().c_str());
    }
    COMMIT();
    state.PauseTiming();
    CLOSE(*file);
    REMOVE(*file);
    state.ResumeTiming();
  }
}

// The same inserts straight through unixODBC: one prepared statement, bound buffers, one
// transaction.
void BM_raw_sql_add(benchmark::State& state) {
  const std::string owner = bench::pgConnection();
  if (owner.empty()) return state.SkipWithError("GD_SQL_PG is not set");
  SQLHENV env = bench::odbcEnvironment();
  for (auto _ : state) {
    state.PauseTiming();
    auto file = freshTable("bench_raw", owner);
    if (file == nullptr) return state.SkipWithError(runtime::FILEERROR().c_str());
    const SQLHDBC dbc = bench::odbcConnect(env, owner);
    if (dbc == SQL_NULL_HDBC) return state.SkipWithError("cannot connect");
    state.ResumeTiming();
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                      0);
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    SQLPrepare(stmt,
               (SQLCHAR*)"INSERT INTO \"bench_raw\" (\"id\", \"name\", \"city\", \"score\", "
                         "\"born\") VALUES (?, ?, ?, ?, ?)",
               SQL_NTS);
    SQLINTEGER id = 0;
    char name[41];
    char city[61];
    double score = 0;
    SQL_DATE_STRUCT born{};
    SQLLEN nameLength = SQL_NTS;
    SQLLEN cityLength = SQL_NTS;
    SQLBindParameter(stmt, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &id, 0, nullptr);
    SQLBindParameter(stmt, 2, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 40, 0, name, 0,
                     &nameLength);
    SQLBindParameter(stmt, 3, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 60, 0, city, 0,
                     &cityLength);
    SQLBindParameter(stmt, 4, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &score, 0, nullptr);
    SQLBindParameter(stmt, 5, SQL_PARAM_INPUT, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0, &born, 0,
                     nullptr);
    Row row;
    for (int i = 0; i < kRows; ++i) {
      fill(row, i);
      id = row.ID;
      std::snprintf(name, sizeof name, "%s", std::string(row.NAME).c_str());
      std::snprintf(city, sizeof city, "%s", std::string(row.CITY).c_str());
      score = row.SCORE;
      born = {static_cast<SQLSMALLINT>(row.BORN.year()),
              static_cast<SQLUSMALLINT>(row.BORN.month()),
              static_cast<SQLUSMALLINT>(row.BORN.day())};
      if (!SQL_SUCCEEDED(SQLExecute(stmt))) return state.SkipWithError("raw insert failed");
    }
    SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_COMMIT);
    state.PauseTiming();
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    bench::odbcDisconnect(dbc);
    REMOVE(*file);
    state.ResumeTiming();
  }
  SQLFreeHandle(SQL_HANDLE_ENV, env);
}

BENCHMARK(BM_raw_sql_add)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_sql_add)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  bench::runComparisons(argc, argv, {"sql_add"});
  return 0;
}
