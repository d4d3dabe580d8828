// The upgrade of one file of 1,000,000 records of a 200-byte layout with two keys (one field
// added, one text widened) through ds_FileOpen, against plain SQLite doing the same conversion
// in the same run: a new table, the same per-record transformation in a prepared-statement loop
// in one transaction, the two indexes created after the copy, the old table dropped. Each
// iteration starts from a copy of the same old file. Prints Google Benchmark's table, the
// records per second of both, then "ratio upgrade <ours/raw>".
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/times_reporter.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/file_open.h"
#include "upkeep/registration.h"
#include "upkeep/upgrade_log.h"

namespace {

constexpr int kRecords = 1'000'000;

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "upgrade_bench: %s failed: %s\n", what, runtime::ERROR().c_str());
    std::exit(1);
  }
}

template <std::size_t DescriptionSize>
struct Body {
  runtime::Long ID;
  runtime::CString<DescriptionSize> DESCRIPTION;
  runtime::CString<50> CATEGORY;
  runtime::String<40> PATH;
  runtime::Date CREATED;
  runtime::Time AT;
  runtime::DecimalField<9, 2> PRICE;
  runtime::Real RATE;
  runtime::Short LEVEL;
  runtime::Byte FLAGS[4];
  runtime::CString<19> CODEBY;
};
using OldRecord = Body<60>;
static_assert(sizeof(OldRecord) == 200);
struct NewRecord {
  Body<100> BODY;
  runtime::CString<80> THREADLINK;
};

template <class R>
std::vector<runtime::FieldDef> bodyFields() {
  return {GD_FIELD(R, ID, "PRO:ID"),
          GD_FIELD(R, DESCRIPTION, "PRO:DESCRIPTION"),
          GD_FIELD(R, CATEGORY, "PRO:CATEGORY"),
          GD_FIELD(R, PATH, "PRO:PATH"),
          GD_FIELD(R, CREATED, "PRO:CREATED"),
          GD_FIELD(R, AT, "PRO:AT"),
          GD_FIELD(R, PRICE, "PRO:PRICE"),
          GD_FIELD(R, RATE, "PRO:RATE"),
          GD_FIELD(R, LEVEL, "PRO:LEVEL"),
          GD_FIELD(R, FLAGS, "PRO:FLAGS"),
          GD_FIELD(R, CODEBY, "PRO:CODEBY")};
}

const std::vector<runtime::FieldDef> kOldFields = bodyFields<OldRecord>();
const std::vector<runtime::FieldDef> kNewFields = [] {
  std::vector<runtime::FieldDef> fields = bodyFields<Body<100>>();
  fields.push_back(GD_FIELD(NewRecord, THREADLINK, "PRO:THREADLINK"));
  return fields;
}();
constexpr files::KeySpec kKeys[] = {
    {"PRO:P_ID", files::KeyPrimary, {1}},
    {"PRO:K_CATEGORY", files::KeyDup | files::KeyNoCase, {3}},
};

files::FileSpec specOf(std::span<const runtime::FieldDef> fields, std::uint32_t size) {
  return {.label = "projects",
          .prefix = "PRO",
          .name = "projects.aaa",
          .create = true,
          .fields = fields,
          .recordSize = size,
          .keys = kKeys};
}

void fill(OldRecord& old, int i) {
  old.ID = i;
  old.DESCRIPTION = "A platform game with three levels, number " + std::to_string(i);
  old.CATEGORY = "Games " + std::to_string(i % 50);
  old.PATH = "C:\\AGK\\Projects\\Platformer";
  old.CREATED = runtime::dateFromYmd(2020, 12, 31);
  old.AT = runtime::timeFromHms(12, 30, 0, 0);
  old.PRICE = runtime::Decimal::parse("1234.56");
  old.RATE = 0.75;
  old.LEVEL = 3;
  for (int b = 0; b < 4; ++b) old.FLAGS[b] = static_cast<std::uint8_t>(b);
  old.CODEBY = "someone";
}

// ---- ours: the old file written once under version 1, upgraded to version 2 ----

files::FileDeclaration& driverFile() {
  static files::FileDeclaration file(specOf(kOldFields, sizeof(OldRecord)));
  return file;
}

void freshEngine() {
  upkeep::upkeepProcessStart();
  runtime::setCommandLine("/silentupgrading");
  upkeep::ds_AddDriver("Vkf", driverFile(), 1, driverFile().record().data());
}

void writeOldFile() {
  files::FileDeclaration old(specOf(kOldFields, sizeof(OldRecord)));
  freshEngine();
  upkeep::ds_UsingFile("PRO", "projects", old, 1, 0);
  files::CREATE(old);
  files::OPEN(old, 0x12);
  check(runtime::ERRORCODE() == 0, "open old");
  files::STREAM(old);
  for (int i = 1; i <= kRecords; ++i) {
    fill(old.recordAs<OldRecord>(), i);
    files::APPEND(old);
  }
  files::FLUSH(old);
  files::BUILD(old);
  check(runtime::ERRORCODE() == 0, "build old");
  files::CLOSE(old);
  files::COPY("projects.aaa", "pristine.aaa");
}

void BM_upgrade_ours(benchmark::State& state) {
  files::FileDeclaration today(specOf(kNewFields, sizeof(NewRecord)));
  for (auto _ : state) {
    state.PauseTiming();
    files::REMOVE("projects.aaa");
    files::COPY("pristine.aaa", "projects.aaa");
    freshEngine();
    upkeep::ds_UsingFile("PRO", "projects", today, 2, 0);
    state.ResumeTiming();
    upkeep::ds_FileOpen(today, 0x42);
    check(runtime::ERRORCODE() == 0 && upkeep::UPKQ().size() == 1, "upgrade");
    state.PauseTiming();
    check(files::RECORDS(today) == kRecords, "records");
    files::CLOSE(today);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

// ---- raw SQLite: a table of the same record blobs and key columns ----

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

void openRaw(Raw& raw, const char* name) {
  check(sqlite3_open(name, &raw.db) == SQLITE_OK, "open raw");
  raw.exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-16384");
}

// The key images: the id sign-flipped big-endian, the category in upper case with a terminator.
void keyImages(std::int32_t id, std::string_view category, unsigned char idImage[4],
               std::string& categoryImage) {
  const auto flipped = static_cast<std::uint32_t>(id) ^ 0x80000000u;
  for (int b = 0; b < 4; ++b) idImage[b] = static_cast<unsigned char>(flipped >> (24 - 8 * b));
  categoryImage.clear();
  for (const char c : category) categoryImage.push_back(static_cast<char>(std::toupper(c)));
  categoryImage.push_back('\0');
}

void writeRawFile() {
  std::filesystem::remove("raw.db");
  Raw raw;
  openRaw(raw, "raw.db");
  raw.exec(
      "CREATE TABLE r1(id INTEGER PRIMARY KEY, rec BLOB NOT NULL, k1 BLOB, k2 BLOB); "
      "CREATE UNIQUE INDEX r1_k1 ON r1(k1); CREATE INDEX r1_k2 ON r1(k2)");
  sqlite3_stmt* insert = raw.prepare("INSERT INTO r1(rec, k1, k2) VALUES(?1, ?2, ?3)");
  OldRecord record;
  unsigned char idImage[4];
  std::string categoryImage;
  raw.exec("BEGIN");
  for (int i = 1; i <= kRecords; ++i) {
    fill(record, i);
    keyImages(record.ID.value(), record.CATEGORY.view(), idImage, categoryImage);
    sqlite3_bind_blob(insert, 1, &record, sizeof record, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 2, idImage, 4, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 3, categoryImage.data(), static_cast<int>(categoryImage.size()),
                      SQLITE_STATIC);
    check(sqlite3_step(insert) == SQLITE_DONE, "raw insert");
    sqlite3_reset(insert);
  }
  raw.exec("COMMIT");
  sqlite3_finalize(insert);
}

void convertRaw() {
  Raw raw;
  openRaw(raw, "raw-copy.db");
  raw.exec("BEGIN; CREATE TABLE r2(id INTEGER PRIMARY KEY, rec BLOB NOT NULL, k1 BLOB, k2 BLOB)");
  sqlite3_stmt* read = raw.prepare("SELECT rec FROM r1");
  sqlite3_stmt* insert = raw.prepare("INSERT INTO r2(rec, k1, k2) VALUES(?1, ?2, ?3)");
  OldRecord old;
  NewRecord record{};
  Body<100>& rec = record.BODY;
  unsigned char idImage[4];
  std::string categoryImage;
  while (sqlite3_step(read) == SQLITE_ROW) {
    std::memcpy(&old, sqlite3_column_blob(read, 0), sizeof old);
    rec.ID = old.ID.value();
    rec.DESCRIPTION = old.DESCRIPTION.view();
    rec.CATEGORY = old.CATEGORY.view();
    rec.PATH = old.PATH.view();
    rec.CREATED = old.CREATED.value();
    rec.AT = old.AT.value();
    rec.PRICE = old.PRICE.value();
    rec.RATE = old.RATE.value();
    rec.LEVEL = old.LEVEL.value();
    for (int b = 0; b < 4; ++b) rec.FLAGS[b] = old.FLAGS[b].value();
    rec.CODEBY = old.CODEBY.view();
    record.THREADLINK = "";
    keyImages(rec.ID.value(), rec.CATEGORY.view(), idImage, categoryImage);
    sqlite3_bind_blob(insert, 1, &record, sizeof record, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 2, idImage, 4, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 3, categoryImage.data(), static_cast<int>(categoryImage.size()),
                      SQLITE_STATIC);
    check(sqlite3_step(insert) == SQLITE_DONE, "raw insert");
    sqlite3_reset(insert);
  }
  sqlite3_finalize(read);
  sqlite3_finalize(insert);
  raw.exec(
      "CREATE UNIQUE INDEX r2_k1 ON r2(k1); CREATE INDEX r2_k2 ON r2(k2); DROP TABLE r1; COMMIT");
}

void BM_upgrade_raw(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove("raw-copy.db");
    std::filesystem::copy_file("raw.db", "raw-copy.db");
    state.ResumeTiming();
    convertRaw();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

BENCHMARK(BM_upgrade_ours)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_upgrade_raw)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "gd_upgrade_XXXXXX").string();
  check(mkdtemp(pattern.data()) != nullptr, "scratch folder");
  const std::string previous = runtime::currentDirectory();
  runtime::setCurrentDirectory(pattern);
  writeOldFile();
  writeRawFile();

  benchmark::Initialize(&argc, argv);
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.times["BM_upgrade_ours"];  // milliseconds per upgrade
  const double raw = reporter.times["BM_upgrade_raw"];
  if (ours > 0 && raw > 0) {
    std::printf("records_per_second upgrade %.0f raw %.0f\n", kRecords * 1e3 / ours,
                kRecords * 1e3 / raw);
    std::printf("ratio upgrade %.2f\n", ours / raw);
  }
  runtime::setCurrentDirectory(previous);
  std::filesystem::remove_all(pattern);
  return 0;
}
