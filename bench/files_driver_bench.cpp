// The Caskfile driver against plain SQLite doing the same work on the same data with the same
// schema (a record blob, two key image columns, a unique and a duplicate index, the same
// pragmas): ADD of a million 200-byte records with two keys in one transaction, GET by the
// unique key, a full read in key order and one in physical order. Prints Google Benchmark's
// table, then "ratio <operation> <ours/raw>" for each operation.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace {

using namespace files;

constexpr int kRecords = 1000000;
constexpr int kGets = 200000;

struct BenchRecord {
  runtime::Long ID;
  runtime::CString<40> NAME;
  runtime::String<60> CITY;
  runtime::Date BORN;
  runtime::Real SCORE;
  runtime::CString<84> NOTE;
};
static_assert(sizeof(BenchRecord) == 200);

constexpr runtime::FieldDef kFields[] = {
    GD_FIELD(BenchRecord, ID, "BEN:ID"),       GD_FIELD(BenchRecord, NAME, "BEN:NAME"),
    GD_FIELD(BenchRecord, CITY, "BEN:CITY"),   GD_FIELD(BenchRecord, BORN, "BEN:BORN"),
    GD_FIELD(BenchRecord, SCORE, "BEN:SCORE"), GD_FIELD(BenchRecord, NOTE, "BEN:NOTE"),
};
constexpr KeySpec kKeys[] = {
    {"BEN:P_ID", KeyPrimary, {1}},
    {"BEN:K_NAME", KeyDup, {2}},
};

// The record numbers in the order they are added: every number once, scattered.
int idAt(int i) { return static_cast<int>((static_cast<long long>(i) * 7919 + 13) % kRecords) + 1; }

// The record number the `i`-th GET asks for: every record is as likely.
int idToGet(int i) { return idAt(static_cast<int>(static_cast<long long>(i) * 104729 % kRecords)); }

void fillRecord(BenchRecord& record, int i) {
  record = BenchRecord();
  const int id = idAt(i);
  record.ID = id;
  record.NAME = "name " + std::to_string(id % 50000);
  record.CITY = i % 3 == 0 ? "Berlin" : i % 3 == 1 ? "Paris" : "Athens";
  record.BORN = runtime::Date(1950 + id % 60, 1 + id % 12, 1 + id % 28);
  record.SCORE = id * 0.25;
  record.NOTE = "note";
}

struct Paths {
  std::string folder;
  std::string ours;
  std::string raw;
};

Paths& paths() {
  static Paths p = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "gd_bench_XXXXXX").string();
    Paths made;
    made.folder = mkdtemp(pattern.data());
    made.ours = made.folder + "/ours.VKF";
    made.raw = made.folder + "/raw.db";
    return made;
  }();
  return p;
}

std::unique_ptr<FileDeclaration> declaration() {
  const FileSpec spec{.label = "bench",
                      .prefix = "BEN",
                      .name = paths().ours,
                      .fields = kFields,
                      .recordSize = sizeof(BenchRecord),
                      .keys = kKeys};
  return std::make_unique<FileDeclaration>(spec);
}

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s failed: %d %s\n", what, runtime::ERRORCODE(),
                 runtime::FILEERROR().c_str());
    std::exit(1);
  }
}

// ---- plain SQLite ----

struct Raw {
  sqlite3* db = nullptr;
  ~Raw() { sqlite3_close_v2(db); }
  void exec(const char* sql) {
    check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sql);
  }
  sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    check(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK, sql);
    return stmt;
  }
};

void openRaw(Raw& raw) {
  check(sqlite3_open(paths().raw.c_str(), &raw.db) == SQLITE_OK, "open raw");
  raw.exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-16384");
}

// The key images, built as simply as the data allows: the id sign-flipped big-endian, the name
// text with a terminator.
void rawImages(const BenchRecord& record, unsigned char idImage[4], std::string& nameImage) {
  const auto id = static_cast<std::uint32_t>(record.ID.value()) ^ 0x80000000u;
  for (int b = 0; b < 4; ++b) idImage[b] = static_cast<unsigned char>(id >> (24 - 8 * b));
  std::string_view name = record.NAME.view();
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  nameImage.assign(name);
  nameImage.push_back('\0');
}

bool rawLoaded = false;
bool oursLoaded = false;

void loadRaw() {
  std::filesystem::remove(paths().raw);
  Raw raw;
  openRaw(raw);
  raw.exec(
      "CREATE TABLE r1(id INTEGER PRIMARY KEY, rec BLOB NOT NULL, k1 BLOB, k2 BLOB); "
      "CREATE UNIQUE INDEX r1_k1 ON r1(k1); CREATE INDEX r1_k2 ON r1(k2)");
  sqlite3_stmt* insert = raw.prepare("INSERT INTO r1(rec, k1, k2) VALUES(?1, ?2, ?3)");
  BenchRecord record;
  unsigned char idImage[4];
  std::string nameImage;
  raw.exec("BEGIN");
  for (int i = 0; i < kRecords; ++i) {
    fillRecord(record, i);
    rawImages(record, idImage, nameImage);
    sqlite3_bind_blob(insert, 1, &record, sizeof record, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 2, idImage, 4, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 3, nameImage.data(), static_cast<int>(nameImage.size()),
                      SQLITE_STATIC);
    check(sqlite3_step(insert) == SQLITE_DONE, "raw insert");
    sqlite3_reset(insert);
  }
  raw.exec("COMMIT");
  sqlite3_finalize(insert);
  rawLoaded = true;
}

void loadOurs() {
  std::filesystem::remove(paths().ours);
  auto file = declaration();
  CREATE(*file);
  OPEN(*file, 0x12);
  check(runtime::ERRORCODE() == 0, "open ours");
  LOGOUT(10, *file);
  auto& record = file->recordAs<BenchRecord>();
  for (int i = 0; i < kRecords; ++i) {
    fillRecord(record, i);
    ADD(*file);
    check(runtime::ERRORCODE() == 0, "ADD");
  }
  COMMIT();
  check(runtime::ERRORCODE() == 0, "COMMIT");
  CLOSE(*file);
  oursLoaded = true;
}

void BM_ours_add(benchmark::State& state) {
  for (auto _ : state) loadOurs();
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_raw_add(benchmark::State& state) {
  for (auto _ : state) loadRaw();
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ours_get(benchmark::State& state) {
  if (!oursLoaded) loadOurs();
  auto file = declaration();
  OPEN(*file, 0x40);
  check(runtime::ERRORCODE() == 0, "open ours");
  const KeyDef& key = *file->key(1);
  auto& record = file->recordAs<BenchRecord>();
  for (auto _ : state) {
    for (int i = 0; i < kGets; ++i) {
      record.ID = idToGet(i);
      GET(*file, key);
      check(runtime::ERRORCODE() == 0, "GET");
    }
  }
  state.SetItemsProcessed(state.iterations() * kGets);
}

void BM_raw_get(benchmark::State& state) {
  if (!rawLoaded) loadRaw();
  Raw raw;
  openRaw(raw);
  sqlite3_stmt* find = raw.prepare("SELECT id, rec FROM r1 WHERE k1 = ?1 ORDER BY k1, id LIMIT 1");
  BenchRecord record;
  unsigned char idImage[4];
  std::string nameImage;
  for (auto _ : state) {
    for (int i = 0; i < kGets; ++i) {
      record.ID = idToGet(i);
      rawImages(record, idImage, nameImage);
      sqlite3_bind_blob(find, 1, idImage, 4, SQLITE_STATIC);
      check(sqlite3_step(find) == SQLITE_ROW, "raw get");
      std::memcpy(&record, sqlite3_column_blob(find, 1), sizeof record);
      sqlite3_reset(find);
    }
  }
  sqlite3_finalize(find);
  state.SetItemsProcessed(state.iterations() * kGets);
}

void oursScan(benchmark::State& state, bool keyOrder) {
  if (!oursLoaded) loadOurs();
  auto file = declaration();
  OPEN(*file, 0x40);
  check(runtime::ERRORCODE() == 0, "open ours");
  for (auto _ : state) {
    keyOrder ? SET(*file, *file->key(1)) : SET(*file);
    int count = 0;
    for (NEXT(*file); runtime::ERRORCODE() == 0; NEXT(*file)) ++count;
    check(count == kRecords, "scan");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void rawScan(benchmark::State& state, bool keyOrder) {
  if (!rawLoaded) loadRaw();
  Raw raw;
  openRaw(raw);
  sqlite3_stmt* scan = raw.prepare(keyOrder ? "SELECT id, rec, k1 FROM r1 ORDER BY k1, id"
                                            : "SELECT id, rec FROM r1 ORDER BY id");
  BenchRecord record;
  for (auto _ : state) {
    int count = 0;
    while (sqlite3_step(scan) == SQLITE_ROW) {
      std::memcpy(&record, sqlite3_column_blob(scan, 1), sizeof record);
      ++count;
    }
    sqlite3_reset(scan);
    check(count == kRecords, "raw scan");
  }
  sqlite3_finalize(scan);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ours_key_scan(benchmark::State& state) { oursScan(state, true); }
void BM_raw_key_scan(benchmark::State& state) { rawScan(state, true); }
void BM_ours_physical_scan(benchmark::State& state) { oursScan(state, false); }
void BM_raw_physical_scan(benchmark::State& state) { rawScan(state, false); }

BENCHMARK(BM_raw_add)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_add)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_raw_get)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_get)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_raw_key_scan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_key_scan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_raw_physical_scan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_physical_scan)->Iterations(3)->Unit(benchmark::kMillisecond);

// Prints the table and remembers each benchmark's real time per iteration.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) times_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  void printRatios() const {
    for (const std::string operation : {"add", "get", "key_scan", "physical_scan"}) {
      const auto ours = times_.find("BM_ours_" + operation);
      const auto raw = times_.find("BM_raw_" + operation);
      if (ours != times_.end() && raw != times_.end() && raw->second > 0)
        std::printf("ratio %s %.2f\n", operation.c_str(), ours->second / raw->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  std::filesystem::remove_all(paths().folder);
  benchmark::Shutdown();
  return 0;
}
