// The main window over a data folder of 100,000 projects (--records=N for another number; short
// and long descriptions mixed), headless: opening it until its three lists show their first
// page and it waits for the user, re-sorting the projects list by a column heading, and the
// quick filter for a text that 1% of the projects hold and for one that a single project holds.
// Each beside plain SQLite, in the same run and on the same file, doing the same work: the
// opening reads the same pages by keyset over the same indexes; the sort is one ORDER BY over
// the column's key image and then the unique key's, whose first page is then read; the filter
// reads the records in the list's order and searches each whole record, letter case aside, by
// SQLite's own LIKE, until the list's page is full or the file ends, on a new connection
// as each run of the program has. Every record read is
// unpacked as the driver unpacks it. Prints Google Benchmark's table, then
// "ratio <operation> <ours/raw>" for each operation.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/core/program.h"
#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "app/windows/main_window.h"
#include "bench/raw_query.h"
#include "bench/record_count.h"
#include "platform/files/cask_data_file.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace app;

int projectCount = 100000;
constexpr int kMatchEvery = 100;               // the projects that hold the marker: 1%
constexpr const char* kMarker = "zephyr";      // found in no other record
constexpr const char* kRareMarker = "Quasar";  // held by one project only, half way through
constexpr int kDescriptionColumn = 6;          // the projects list's PRO:DESCRIPTION column
constexpr int kPage = 14;                      // rows a list of the window shows

const char* const kCategories[] = {"Arcade", "Puzzle", "Racing", "RPG", "Shooter", "Tools"};

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "%s failed: %d %s\n", what, runtime::ERRORCODE(),
                 runtime::ERROR().c_str());
    std::exit(1);
  }
}

// Writes the projects into the thread's projects FILE in one transaction.
void seed() {
  files::FileDeclaration& file = projects.get();
  files::CREATE(file);
  files::OPEN(file, 0x42);
  check(runtime::ERRORCODE() == 0, "open to seed");
  files::LOGOUT(0, file);
  const std::string longText(6000, 'l');
  for (int id = 1; id <= projectCount; ++id) {
    files::CLEAR(file);
    PRO->ID = id;
    PRO->TYPEC = id % 3 == 0 ? "Classic" : "Studio";
    PRO->DESCRIPTION = "Project " +
                       std::to_string(static_cast<long long>(id) * 7919 % projectCount) +
                       (id % kMatchEvery == 0 ? std::string(" ") + kMarker : "") +
                       (id == projectCount / 2 ? std::string(" ") + kRareMarker : "");
    PRO->PROJECTPATH = "/home/me/agk/project" + std::to_string(id) + "/game.agk";
    PRO->CATEGORY = kCategories[id % 6];
    PRO->LASTDATE = runtime::Date(2020 + id % 5, 1 + id % 12, 1 + id % 28);
    PRO->CREATETIONDATE = runtime::Date(2019, 1 + id % 12, 1 + id % 28);
    PRO->WINDOWSEXE = id % 2;
    PRO->ANDROID = id % 3 == 0;
    PRO->CODEBY = "member" + std::to_string(id % 40);
    PRO->LONGDESCRIPTION = id % 2 == 0 ? "A short one." : longText;
    files::ADD(file);
    check(runtime::ERRORCODE() == 0, "add");
  }
  files::COMMIT();
  files::CLOSE(file);
}

std::map<std::string, double> meanSeconds;

// One run of Main: `before` runs when its lists are filled; `action` then scripts what is
// timed, up to the checkpoint that ends it. Answers the seconds of the opening and of the
// action.
std::pair<double, double> runMain(
    const std::function<void(window::HeadlessBackend&)>& action = {}) {
  std::filesystem::remove("game_dock.INI");  // no sort kept from the run before
  window::HeadlessBackend script;
  Clock::time_point start = Clock::now();
  Clock::time_point opened;
  Clock::time_point acted;
  // A checkpoint right after an action would also run inside the long reads (they let the
  // windows draw), so a mouse move comes first: it is taken only once the window waits again.
  script.mouseAt(1, 1).checkpoint("open", [&](window::Window&) { opened = Clock::now(); });
  if (action) {
    action(script);
    script.mouseAt(1, 1).checkpoint("done", [&](window::Window&) { acted = Clock::now(); });
  }
  script.click(kMainCloseButton);
  {
    const window::InstalledBackend installed(script);
    runtime::MessageAnswerer* answerer = runtime::setMessageAnswerer(&window::backendAnswerer());
    Main();
    runtime::setMessageAnswerer(answerer);
  }
  check(script.finished() && script.boxes().empty(), "the scripted run");
  const auto seconds = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
  };
  return {seconds(start, opened), action ? seconds(opened, acted) : 0.0};
}

// Plain SQLite on the projects file: every record by P_ID (key column k4), the first page by
// P_ID, the range of a blank category in K_CATEGORY (k3), the record numbers by DESCRIPTION
// (K_DESCRIPTION, k2) and then P_ID, and one record by its number.
struct RawProjects {
  sqlite3* db = nullptr;
  std::unique_ptr<bench::RawQuery> all;
  std::unique_ptr<bench::RawQuery> page;
  std::unique_ptr<bench::RawQuery> category;
  sqlite3_stmt* byDescription = nullptr;
  std::unique_ptr<bench::RawQuery> byNumber;
};
RawProjects raw;

// Opens the raw side with the page cache the driver's connections have (16 MB, nothing
// mapped), empty as theirs is when the program starts.
void openRaw() {
  if (sqlite3_open_v2("projects.aaa", &raw.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
      sqlite3_exec(raw.db, files::kCachePragmas, nullptr, nullptr, nullptr) != SQLITE_OK)
    std::abort();
  const std::string table = bench::onlyRecordTable(raw.db);
  const auto query = [&](const char* k, const std::string& rest) {
    return std::make_unique<bench::RawQuery>(
        raw.db, std::string("SELECT rec, ") + k + " FROM " + table + " " + rest);
  };
  const std::string limit = " LIMIT " + std::to_string(kPage);
  raw.all = query("k4", "WHERE k4 IS NOT NULL ORDER BY k4");
  raw.page = query("k4", "WHERE k4 IS NOT NULL ORDER BY k4" + limit);
  // The image of a blank text is one 00h: its range runs up to 01h.
  raw.category = query("k3", "WHERE k3 >= x'00' AND k3 < x'01' ORDER BY k3" + limit);
  raw.byNumber = query("k4", "WHERE id = ?1");
  if (sqlite3_prepare_v2(raw.db, ("SELECT id FROM " + table + " ORDER BY k2, k4").c_str(), -1,
                         &raw.byDescription, nullptr) != SQLITE_OK)
    std::abort();
}

void closeRaw() {
  raw.all.reset();
  raw.page.reset();
  raw.category.reset();
  raw.byNumber.reset();
  sqlite3_finalize(raw.byDescription);
  sqlite3_close_v2(raw.db);
}

// A projects record with a NUL after it, so that its last text ends as a C text.
struct EndedProjects {
  Projects record;
  char end = 0;
};

// Whether one of the record's texts (its runs of bytes other than NUL) is LIKE `pattern`, by
// SQLite's own case-insensitive LIKE. The NUL padding is passed over a word at a time.
bool rawHolds(const EndedProjects& ended, const char* pattern) {
  const char* p = reinterpret_cast<const char*>(&ended.record);
  const char* const end = p + sizeof ended.record;
  while (p < end) {
    for (std::uint64_t word; p + sizeof word <= end; p += sizeof word) {
      std::memcpy(&word, p, sizeof word);
      if (word != 0) break;
    }
    while (p < end && *p == '\0') ++p;
    if (p == end) return false;
    if (sqlite3_strlike(pattern, p, 0) == 0) return true;
    p += std::strlen(p);
  }
  return false;
}

// Reads by P_ID until `count` records hold `pattern` (rawHolds); answers the records read.
int rawFilterRead(int count, const char* pattern) {
  EndedProjects ended;
  int read = 0;
  int taken = 0;
  while (taken < count && raw.all->next(ended)) {
    ++read;
    if (rawHolds(ended, pattern)) ++taken;
  }
  raw.all->reset();
  return read;
}

// A list's first page by P_ID.
int pageReads() {
  Projects record;
  std::string last;
  return raw.page->run(record, last);
}

// The category list's reads: the range of a blank GLO:CATEGORY, which holds no project.
void categoryListReads() {
  Projects record;
  std::string last;
  benchmark::DoNotOptimize(raw.category->run(record, last));
}

// Times `run` (which answers the seconds it measured) for each iteration and keeps the mean
// under `name`.
template <class Run>
void timed(benchmark::State& state, const char* name, Run run) {
  double total = 0;
  for (auto _ : state) {
    const double seconds = run();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  meanSeconds[name] = total / static_cast<double>(state.iterations());
}

// Times `reads`, the driver's raw reads of an operation.
template <class Reads>
void timedReads(benchmark::State& state, const char* name, Reads reads) {
  timed(state, name, [&] {
    const Clock::time_point start = Clock::now();
    reads();
    return std::chrono::duration<double>(Clock::now() - start).count();
  });
}

void BM_OpenMain(benchmark::State& state) {
  timed(state, "open", [] { return runMain().first; });
}

// The records the opening reads: a page of the projects list and of the search list, and the
// category list's.
void BM_RawOpen(benchmark::State& state) {
  timedReads(state, "open_raw", [] {
    benchmark::DoNotOptimize(pageReads());
    benchmark::DoNotOptimize(pageReads());
    categoryListReads();
  });
}

void BM_SortMain(benchmark::State& state) {
  timed(state, "sort", [] {
    return runMain([](window::HeadlessBackend& b) {
             b.headerClick(kMainProjectsList, kDescriptionColumn);
           })
        .second;
  });
}

// The ORDER BY of every record number, then the first page of records by number.
void BM_RawSort(benchmark::State& state) {
  timedReads(state, "sort_raw", [] {
    std::vector<sqlite3_int64> numbers;
    while (sqlite3_step(raw.byDescription) == SQLITE_ROW)
      numbers.push_back(sqlite3_column_int64(raw.byDescription, 0));
    sqlite3_reset(raw.byDescription);
    Projects record;
    std::string image;
    for (std::size_t i = 0; i < numbers.size() && i < kPage; ++i) {
      raw.byNumber->bindNumber(numbers[i]);
      benchmark::DoNotOptimize(raw.byNumber->run(record, image));
    }
  });
}

// The quick filter for `text`: the search tab, the text, "Find On".
double filterFor(const char* text) {
  return runMain([text](window::HeadlessBackend& b) {
           b.click(kMainSearchTab).type(kMainFindEntry, text).click(kMainFindSwitch);
         })
      .second;
}

// The filter reads until its page holds kPage projects with `text` (the whole record searched,
// letter case aside, as the filter does), and the window's reset reads the other two lists.
// Each run of Main opens the file anew, so the raw side does too: a new connection that reads
// what the opening reads (not timed) before the timed filter, as the user meets both.
double rawFilterFor(const char* text) {
  closeRaw();
  openRaw();
  benchmark::DoNotOptimize(pageReads());
  benchmark::DoNotOptimize(pageReads());
  categoryListReads();
  const std::string pattern = std::string("%") + text + "%";
  const Clock::time_point start = Clock::now();
  benchmark::DoNotOptimize(rawFilterRead(kPage, pattern.c_str()));
  benchmark::DoNotOptimize(pageReads());
  categoryListReads();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_FilterMain(benchmark::State& state) {
  timed(state, "filter", [] { return filterFor(kMarker); });
}

void BM_RawFilter(benchmark::State& state) {
  timed(state, "filter_raw", [] { return rawFilterFor(kMarker); });
}

void BM_RareFilterMain(benchmark::State& state) {
  timed(state, "rare_filter", [] { return filterFor(kRareMarker); });
}

void BM_RawRareFilter(benchmark::State& state) {
  timed(state, "rare_filter_raw", [] { return rawFilterFor(kRareMarker); });
}

BENCHMARK(BM_OpenMain)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SortMain)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawSort)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FilterMain)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawFilter)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RareFilterMain)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawRareFilter)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  projectCount = bench::takeRecordCount(argc, argv, projectCount);
  std::string pattern = (std::filesystem::temp_directory_path() / "gd_main_bench_XXXXXX").string();
  const std::filesystem::path folder = mkdtemp(pattern.data());
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  setenv("GAME_DOCK_PROFILE", (folder / "profile.ini").c_str(), 1);

  registerProgramModules();
  runtime::runProcessStart();
  runtime::runThreadStart();
  globalErrors().init();
  iniManager().init(".\\game_dock.INI");
  seed();
  dictionary_create_init();
  openRaw();

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const char* operation : {"open", "sort", "filter", "rare_filter"}) {
    const double ours = meanSeconds[operation];
    const double raw = meanSeconds[std::string(operation) + "_raw"];
    if (ours > 0 && raw > 0) {
      std::printf("ratio %s %.2f (%.1f ms against %.1f ms)\n", operation, ours / raw, ours * 1e3,
                  raw * 1e3);
    }
  }

  closeRaw();
  iniManager().kill();
  runtime::runThreadEnd();
  runtime::runProcessEnd();
  std::filesystem::current_path(before);
  std::filesystem::remove_all(folder);
  return 0;
}
