// The cost of opening the program's five data files through ds_FileOpen, registered with the
// upgrade engine as the program registers them, against plain OPENs of the same files and
// against plain SQLite opens of them: each iteration opens all five and closes them again. A
// plain SQLite open connects to the file and reads its table's row of the table list, the least
// a program must read to know what the file holds. After Google Benchmark's table it prints
// "ratio engine_open <ds_FileOpen/OPEN>" and "ratio engine_open_sqlite <ds_FileOpen/SQLite>".
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/dictionary/declarations.h"
#include "app/dictionary/upgrade_registration.h"
#include "bench/times_reporter.h"
#include "platform/files/cask_name.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "upkeep/file_open.h"

namespace {

const files::PerThreadFile* const kDataFiles[] = {&app::projects, &app::categort, &app::template_,
                                                  &app::codeby, &app::func};
constexpr int kMode = 0x42;

// Opens every data file with `open`, then closes them; ends the run when an open fails.
template <class Open>
void openAndClose(Open open) {
  for (const files::PerThreadFile* file : kDataFiles) {
    open(file->get());
    if (runtime::ERRORCODE() != 0) {
      std::fprintf(stderr, "open of %s failed: %s\n", file->spec().label.data(),
                   runtime::ERROR().c_str());
      std::exit(1);
    }
  }
  for (const files::PerThreadFile* file : kDataFiles) files::CLOSE(file->get());
}

void plainOpen(benchmark::State& state) {
  for (auto _ : state) openAndClose([](files::FileDeclaration& file) { files::OPEN(file, kMode); });
}

// Opens every data file with plain SQLite as the driver's connections are opened, reads its
// table's row of the table list, and closes it again.
void sqliteOpen(benchmark::State& state) {
  std::vector<std::string> paths;
  for (const files::PerThreadFile* file : kDataFiles)
    paths.push_back(files::parseCaskName(files::NAME(file->get())).file);
  for (auto _ : state) {
    for (const std::string& path : paths) {
      sqlite3* db = nullptr;
      sqlite3_stmt* meta = nullptr;
      if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                          nullptr) != SQLITE_OK ||
          sqlite3_prepare_v2(db,
                             "SELECT id, record_size, unique_keys, memo_count, layout, keys, "
                             "owner, stale FROM cask_table WHERE name = ''",
                             -1, &meta, nullptr) != SQLITE_OK ||
          sqlite3_step(meta) != SQLITE_ROW) {
        std::fprintf(stderr, "plain open of %s failed: %s\n", path.c_str(), sqlite3_errmsg(db));
        std::exit(1);
      }
      sqlite3_finalize(meta);
      sqlite3_close_v2(db);
    }
  }
}

void engineOpen(benchmark::State& state) {
  for (auto _ : state) {
    openAndClose([](files::FileDeclaration& file) { upkeep::ds_FileOpen(file, kMode); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = (std::filesystem::temp_directory_path() / "gd_bench_XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return 1;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  for (const files::PerThreadFile* file : kDataFiles) files::CREATE(file->get());
  app::registerWithUpgradeEngine();

  benchmark::RegisterBenchmark("open/sqlite", sqliteOpen)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("open/raw", plainOpen)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("open/engine", engineOpen)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double raw = reporter.times["open/raw"];
  if (raw > 0) std::printf("ratio engine_open %.2f\n", reporter.times["open/engine"] / raw);
  const double sqlite = reporter.times["open/sqlite"];
  if (sqlite > 0)
    std::printf("ratio engine_open_sqlite %.2f\n", reporter.times["open/engine"] / sqlite);
  benchmark::Shutdown();

  for (const files::PerThreadFile* file : kDataFiles) file->release();
  std::filesystem::current_path(before);
  std::filesystem::remove_all(folder);
  return 0;
}
