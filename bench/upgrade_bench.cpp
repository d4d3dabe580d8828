// The upgrade of one file of 1,000,000 records (--records=N sets another count) through
// ds_FileOpen, against plain SQLite in the same run. Each iteration starts from a copy of the
// same old file.
//  - upgrade: a 200-byte layout with two keys (one field added, one text widened), against
//    plain SQLite doing the same conversion: a new table, the records unpacked, transformed and
//    packed again as the driver stores them, in a prepared-statement loop in one transaction,
//    the two indexes created after the copy, the old table dropped.
//  - upgrade_projects: the program's projects file from its older declaration (THREADLINK
//    added), against a plain SQLite copy of the same file's table into a new file with its four
//    indexes, as the sqlite3 shell would make it.
// Prints Google Benchmark's table, the records per second of both sides of each, then
// "ratio upgrade <ours/raw>" and "ratio upgrade_projects <ours/raw>".
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/old_projects.h"
#include "bench/project_records.h"
#include "bench/raw_database.h"
#include "bench/raw_query.h"
#include "bench/record_count.h"
#include "bench/times_reporter.h"
#include "platform/files/cask_packing.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/file_open.h"
#include "upkeep/registration.h"
#include "upkeep/upgrade_log.h"

namespace {

using bench::NewProject;
using bench::OldProject;

int recordCount = 1'000'000;  // "--records=N" sets it

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "upgrade_bench: %s failed: %s\n", what, runtime::ERROR().c_str());
    std::exit(1);
  }
}

const std::vector<runtime::FieldDef> kOldFields = bench::oldProjectFields();
const std::vector<runtime::FieldDef> kNewFields = bench::newProjectFields();
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

void fill(OldProject& old, int i) {
  old.ID = i;
  old.DESCRIPTION = "A platform game with three levels, number " + std::to_string(i);
  old.CATEGORY = "Games " + std::to_string(i % 50);
  bench::fillFixedFields(old);
}

// ---- ours: the old file written once under version 1, upgraded to version 2 ----

files::FileDeclaration& driverFile() {
  static files::FileDeclaration file(specOf(kOldFields, sizeof(OldProject)));
  return file;
}

// A start of the engine registered as the program registers it: no BadFile marker written in the
// profile around each open, the Caskfile driver added.
void freshEngine() {
  upkeep::upkeepProcessStart();
  runtime::setCommandLine("/silentupgrading");
  upkeep::ds_SetOption("BadFile", "0");
  upkeep::ds_AddDriver("Vkf", driverFile(), 1, driverFile().record().data());
}

void writeOldFile() {
  files::FileDeclaration old(specOf(kOldFields, sizeof(OldProject)));
  freshEngine();
  upkeep::ds_UsingFile("PRO", "projects", old, 1, 0);
  files::CREATE(old);
  files::OPEN(old, 0x12);
  check(runtime::ERRORCODE() == 0, "open old");
  files::STREAM(old);
  for (int i = 1; i <= recordCount; ++i) {
    fill(old.recordAs<OldProject>(), i);
    files::APPEND(old);
  }
  files::FLUSH(old);
  files::BUILD(old);
  check(runtime::ERRORCODE() == 0, "build old");
  files::CLOSE(old);
  files::COPY("projects.aaa", "pristine.aaa");
}

void BM_upgrade_ours(benchmark::State& state) {
  files::FileDeclaration today(specOf(kNewFields, sizeof(NewProject)));
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
    check(files::RECORDS(today) == recordCount, "records");
    files::CLOSE(today);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * recordCount);
}

// ---- raw SQLite: a table of the same record blobs and key columns ----

// The key images: the id sign-flipped big-endian, the category in upper case with a terminator.
void keyImages(std::int32_t id, std::string_view category, unsigned char idImage[4],
               std::string& categoryImage) {
  const auto flipped = static_cast<std::uint32_t>(id) ^ 0x80000000u;
  for (int b = 0; b < 4; ++b) idImage[b] = static_cast<unsigned char>(flipped >> (24 - 8 * b));
  categoryImage.clear();
  for (const char c : category) categoryImage.push_back(static_cast<char>(std::toupper(c)));
  categoryImage.push_back('\0');
}

// Inserts a row of `record`, packed as the driver packs it, with the key images of `id` and
// `category` through `insert`, whose parameters are the record, the id key and the category key.
template <class Record>
void insertRow(sqlite3_stmt* insert, const Record& record, std::int32_t id,
               std::string_view category) {
  static std::string packed;
  unsigned char idImage[4];
  std::string categoryImage;
  keyImages(id, category, idImage, categoryImage);
  files::packBytes(std::string_view(reinterpret_cast<const char*>(&record), sizeof record), packed);
  sqlite3_bind_blob(insert, 1, packed.data(), static_cast<int>(packed.size()), SQLITE_STATIC);
  sqlite3_bind_blob(insert, 2, idImage, 4, SQLITE_STATIC);
  sqlite3_bind_blob(insert, 3, categoryImage.data(), static_cast<int>(categoryImage.size()),
                    SQLITE_STATIC);
  check(sqlite3_step(insert) == SQLITE_DONE, "raw insert");
  sqlite3_reset(insert);
}

void writeRawFile() {
  std::filesystem::remove("raw.db");
  bench::RawDatabase raw("raw.db");
  raw.exec(
      "CREATE TABLE r1(id INTEGER PRIMARY KEY, rec BLOB NOT NULL, k1 BLOB, k2 BLOB); "
      "CREATE UNIQUE INDEX r1_k1 ON r1(k1); CREATE INDEX r1_k2 ON r1(k2)");
  sqlite3_stmt* insert = raw.prepare("INSERT INTO r1(rec, k1, k2) VALUES(?1, ?2, ?3)");
  OldProject record;
  raw.exec("BEGIN");
  for (int i = 1; i <= recordCount; ++i) {
    fill(record, i);
    insertRow(insert, record, record.ID.value(), record.CATEGORY.view());
  }
  raw.exec("COMMIT");
  sqlite3_finalize(insert);
}

void convertRaw() {
  bench::RawDatabase raw("raw-copy.db");
  raw.exec("BEGIN; CREATE TABLE r2(id INTEGER PRIMARY KEY, rec BLOB NOT NULL, k1 BLOB, k2 BLOB)");
  sqlite3_stmt* read = raw.prepare("SELECT rec FROM r1");
  sqlite3_stmt* insert = raw.prepare("INSERT INTO r2(rec, k1, k2) VALUES(?1, ?2, ?3)");
  OldProject old;
  NewProject record{};
  while (sqlite3_step(read) == SQLITE_ROW) {
    const std::string_view packed(static_cast<const char*>(sqlite3_column_blob(read, 0)),
                                  static_cast<std::size_t>(sqlite3_column_bytes(read, 0)));
    check(files::unpackBytes(packed, reinterpret_cast<unsigned char*>(&old), sizeof old) >= 0,
          "raw unpack");
    bench::convertByHand(old, record);
    insertRow(insert, record, record.BODY.ID.value(), record.BODY.CATEGORY.view());
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
  state.SetItemsProcessed(state.iterations() * recordCount);
}

// ---- the projects file: ours converts it, plain SQLite copies its table into a new file ----

void writeOldProjects() {
  files::FileDeclaration old(bench::kOldProjectsSpec);
  freshEngine();
  upkeep::ds_UsingFile("PRO", "projects", old, 7, 0);
  files::REMOVE("projects.aaa");
  files::CREATE(old);
  files::OPEN(old, 0x12);
  check(runtime::ERRORCODE() == 0, "open old projects");
  files::STREAM(old);
  for (int i = 1; i <= recordCount; ++i) {
    bench::fillOldProject(old.recordAs<bench::OldProjects>(), i);
    files::APPEND(old);
  }
  files::FLUSH(old);
  files::BUILD(old);
  check(runtime::ERRORCODE() == 0, "build old projects");
  files::CLOSE(old);
  files::COPY("projects.aaa", "projects-pristine.aaa");
  std::filesystem::copy_file("projects-pristine.aaa", "raw-projects.db");
  files::REMOVE("projects.aaa");
}

void BM_upgrade_projects_ours(benchmark::State& state) {
  files::FileDeclaration today(app::kProjectsSpec);
  for (auto _ : state) {
    state.PauseTiming();
    files::REMOVE("projects.aaa");
    files::COPY("projects-pristine.aaa", "projects.aaa");
    freshEngine();
    upkeep::ds_UsingFile("PRO", "projects", today, 8, 0);
    state.ResumeTiming();
    upkeep::ds_FileOpen(today, 0x42);
    check(runtime::ERRORCODE() == 0 && upkeep::UPKQ().size() == 1, "projects upgrade");
    state.PauseTiming();
    check(files::RECORDS(today) == recordCount, "projects records");
    files::CLOSE(today);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * recordCount);
}

// The record table of the old projects file copied as it stands into a new file, its indexes
// made after the rows, in one transaction.
void copyRawProjects() {
  bench::RawDatabase raw("raw-projects.db");
  const std::string table = bench::onlyRecordTable(raw.db);
  raw.exec("ATTACH 'raw-projects-new.db' AS fresh; PRAGMA fresh.journal_mode=DELETE");
  raw.exec(
      "BEGIN; CREATE TABLE fresh.r1(id INTEGER PRIMARY KEY, rec BLOB NOT NULL, k1 BLOB, k2 BLOB, "
      "k3 BLOB, k4 BLOB)");
  raw.exec(("INSERT INTO fresh.r1 SELECT id, rec, k1, k2, k3, k4 FROM main." + table).c_str());
  raw.exec(
      "CREATE INDEX fresh.r1_k1 ON r1(k1); CREATE INDEX fresh.r1_k2 ON r1(k2); "
      "CREATE INDEX fresh.r1_k3 ON r1(k3); CREATE UNIQUE INDEX fresh.r1_k4 ON r1(k4); COMMIT");
}

void BM_upgrade_projects_raw(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove("raw-projects-new.db");
    state.ResumeTiming();
    copyRawProjects();
  }
  state.SetItemsProcessed(state.iterations() * recordCount);
}

BENCHMARK(BM_upgrade_ours)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_upgrade_raw)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_upgrade_projects_ours)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_upgrade_projects_raw)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "gd_upgrade_XXXXXX").string();
  recordCount = bench::takeRecordCount(argc, argv, recordCount);
  check(mkdtemp(pattern.data()) != nullptr, "scratch folder");
  const std::string previous = runtime::currentDirectory();
  runtime::setCurrentDirectory(pattern);
  writeOldProjects();
  writeOldFile();
  writeRawFile();

  benchmark::Initialize(&argc, argv);
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // milliseconds per upgrade
  reporter.printRecordRates("upgrade", "BM_upgrade_ours", "BM_upgrade_raw", recordCount, 1e3);
  reporter.printRecordRates("upgrade_projects", "BM_upgrade_projects_ours",
                            "BM_upgrade_projects_raw", recordCount, 1e3);
  runtime::setCurrentDirectory(previous);
  std::filesystem::remove_all(pattern);
  return 0;
}
