// The Caskfile driver against plain SQLite doing the same work on the same data with the same
// schema (the packed record bytes, three key image columns, a unique and two duplicate indexes,
// the same pragmas): ADD of a million 200-byte records (--records=N for another number) with
// three keys in one transaction, GET by the unique key, a full read in the unique key's order,
// one over a key of six values only (many duplicates) and one in physical order. Plain SQLite
// packs each record as the driver does and unpacks what it reads; it reads each order in one
// statement (ORDER BY the key column, then the record number), as a program on SQLite would.
// Prints Google Benchmark's table, then "ratio <operation> <ours/raw>" for each operation.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/raw_database.h"
#include "bench/record_count.h"
#include "bench/times_reporter.h"
#include "platform/files/cask_packing.h"
#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace {

using namespace files;

int recordCount = 1000000;
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
    {"BEN:K_CITY", KeyDup, {3}},
};

const char* const kCities[] = {"Berlin", "Paris", "Athens", "Oslo", "Rome", "Lisbon"};

// The record numbers in the order they are added: every number once, scattered.
int idAt(int i) {
  return static_cast<int>((static_cast<long long>(i) * 7919 + 13) % recordCount) + 1;
}

// The record number the `i`-th GET asks for: every record is as likely.
int idToGet(int i) {
  return idAt(static_cast<int>(static_cast<long long>(i) * 104729 % recordCount));
}

void fillRecord(BenchRecord& record, int i) {
  record = BenchRecord();
  const int id = idAt(i);
  record.ID = id;
  record.NAME = "name " + std::to_string(id % 50000);
  record.CITY = kCities[i % 6];
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

// A text's key image, built as simply as the data allows: the text with a terminator.
void rawTextImage(std::string_view text, std::string& image) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  image.assign(text);
  image.push_back('\0');
}

// The key images: the id sign-flipped big-endian, the name and the city as texts.
void rawImages(const BenchRecord& record, unsigned char idImage[4], std::string& nameImage,
               std::string& cityImage) {
  const auto id = static_cast<std::uint32_t>(record.ID.value()) ^ 0x80000000u;
  for (int b = 0; b < 4; ++b) idImage[b] = static_cast<unsigned char>(id >> (24 - 8 * b));
  rawTextImage(record.NAME.view(), nameImage);
  rawTextImage(record.CITY.view(), cityImage);
}

// Unpacks a record read by plain SQLite, as the driver does.
void rawRecord(sqlite3_stmt* statement, int column, BenchRecord& record) {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
  const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
  check(unpackBytes(std::string_view(bytes, size), reinterpret_cast<unsigned char*>(&record),
                    sizeof record) >= 0,
        "raw unpack");
}

bool rawLoaded = false;
bool oursLoaded = false;

void loadRaw() {
  std::filesystem::remove(paths().raw);
  bench::RawDatabase raw(paths().raw);
  raw.exec(
      "CREATE TABLE r1(id INTEGER PRIMARY KEY, rec BLOB NOT NULL, k1 BLOB, k2 BLOB, k3 BLOB); "
      "CREATE UNIQUE INDEX r1_k1 ON r1(k1); CREATE INDEX r1_k2 ON r1(k2); "
      "CREATE INDEX r1_k3 ON r1(k3)");
  sqlite3_stmt* insert = raw.prepare("INSERT INTO r1(rec, k1, k2, k3) VALUES(?1, ?2, ?3, ?4)");
  BenchRecord record;
  unsigned char idImage[4];
  std::string nameImage;
  std::string cityImage;
  std::string packed;
  raw.exec("BEGIN");
  for (int i = 0; i < recordCount; ++i) {
    fillRecord(record, i);
    rawImages(record, idImage, nameImage, cityImage);
    packBytes(std::string_view(reinterpret_cast<const char*>(&record), sizeof record), packed);
    sqlite3_bind_blob(insert, 1, packed.data(), static_cast<int>(packed.size()), SQLITE_STATIC);
    sqlite3_bind_blob(insert, 2, idImage, 4, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 3, nameImage.data(), static_cast<int>(nameImage.size()),
                      SQLITE_STATIC);
    sqlite3_bind_blob(insert, 4, cityImage.data(), static_cast<int>(cityImage.size()),
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
  for (int i = 0; i < recordCount; ++i) {
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
  state.SetItemsProcessed(state.iterations() * recordCount);
}

void BM_raw_add(benchmark::State& state) {
  for (auto _ : state) loadRaw();
  state.SetItemsProcessed(state.iterations() * recordCount);
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
  bench::RawDatabase raw(paths().raw);
  sqlite3_stmt* find = raw.prepare("SELECT id, rec FROM r1 WHERE k1 = ?1 ORDER BY k1, id LIMIT 1");
  BenchRecord record;
  unsigned char idImage[4];
  std::string nameImage;
  std::string cityImage;
  for (auto _ : state) {
    for (int i = 0; i < kGets; ++i) {
      record.ID = idToGet(i);
      rawImages(record, idImage, nameImage, cityImage);
      sqlite3_bind_blob(find, 1, idImage, 4, SQLITE_STATIC);
      check(sqlite3_step(find) == SQLITE_ROW, "raw get");
      rawRecord(find, 1, record);
      sqlite3_reset(find);
    }
  }
  sqlite3_finalize(find);
  state.SetItemsProcessed(state.iterations() * kGets);
}

// The key orders read: none (physical), the unique id, the city (six values).
enum class Order { Physical, Id, City };

void oursScan(benchmark::State& state, Order order) {
  if (!oursLoaded) loadOurs();
  auto file = declaration();
  OPEN(*file, 0x40);
  check(runtime::ERRORCODE() == 0, "open ours");
  for (auto _ : state) {
    order == Order::Physical ? SET(*file) : SET(*file, *file->key(order == Order::Id ? 1 : 3));
    int count = 0;
    for (NEXT(*file); runtime::ERRORCODE() == 0; NEXT(*file)) ++count;
    check(count == recordCount, "scan");
  }
  state.SetItemsProcessed(state.iterations() * recordCount);
}

// Reads every row of the one statement `sql`, whose second column is the packed record.
int rawReadAll(bench::RawDatabase& raw, const std::string& sql, BenchRecord& record) {
  sqlite3_stmt* scan = raw.prepare(sql.c_str());
  int count = 0;
  while (sqlite3_step(scan) == SQLITE_ROW) {
    rawRecord(scan, 1, record);
    ++count;
  }
  sqlite3_finalize(scan);
  return count;
}

// The statement that reads every record in `order`: by record number, or by the key column
// and then the record number.
std::string rawScanSql(Order order) {
  if (order == Order::Physical) return "SELECT id, rec FROM r1 ORDER BY id";
  const std::string k = order == Order::Id ? "k1" : "k3";
  return "SELECT id, rec FROM r1 WHERE " + k + " IS NOT NULL ORDER BY " + k + ", id";
}

void rawScan(benchmark::State& state, Order order) {
  if (!rawLoaded) loadRaw();
  bench::RawDatabase raw(paths().raw);
  BenchRecord record;
  for (auto _ : state) {
    const int count = rawReadAll(raw, rawScanSql(order), record);
    check(count == recordCount, "raw scan");
  }
  state.SetItemsProcessed(state.iterations() * recordCount);
}

void BM_ours_key_scan(benchmark::State& state) { oursScan(state, Order::Id); }
void BM_raw_key_scan(benchmark::State& state) { rawScan(state, Order::Id); }
void BM_ours_duplicate_key_scan(benchmark::State& state) { oursScan(state, Order::City); }
void BM_raw_duplicate_key_scan(benchmark::State& state) { rawScan(state, Order::City); }
void BM_ours_physical_scan(benchmark::State& state) { oursScan(state, Order::Physical); }
void BM_raw_physical_scan(benchmark::State& state) { rawScan(state, Order::Physical); }

BENCHMARK(BM_raw_add)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_add)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_raw_get)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_get)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_raw_key_scan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_key_scan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_raw_duplicate_key_scan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_duplicate_key_scan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_raw_physical_scan)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ours_physical_scan)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  recordCount = bench::takeRecordCount(argc, argv, recordCount);
  bench::runComparisons(argc, argv,
                        {"add", "get", "key_scan", "duplicate_key_scan", "physical_scan"});
  std::filesystem::remove_all(paths().folder);
  return 0;
}
