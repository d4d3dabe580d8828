// The main window over a data folder of 10,000 projects (short and long descriptions mixed),
// headless: opening it until its three lists show their first page, re-sorting the projects
// list by a column heading, and the quick filter for a text that 1% of the projects hold. Each
// beside the raw cost, in the same run, of reading the same records straight from the driver.
// Prints Google Benchmark's table, then "ratio <operation> <ours/raw>" for each operation.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "app/program.h"
#include "app/windows/main_window.h"
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

constexpr int kProjects = 10000;
constexpr int kMatchEvery = 100;           // the projects that hold the marker: 1%
constexpr const char* kMarker = "zephyr";  // found in no other record
constexpr int kDescriptionColumn = 6;      // the projects list's PRO:DESCRIPTION column
constexpr int kPage = 14;                  // rows a list of the window shows

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
  for (int id = 1; id <= kProjects; ++id) {
    files::CLEAR(file);
    PRO->ID = id;
    PRO->TYPEC = id % 3 == 0 ? "Classic" : "Studio";
    PRO->DESCRIPTION = "Project " + std::to_string((id * 7919) % kProjects) +
                       (id % kMatchEvery == 0 ? std::string(" ") + kMarker : "");
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
  window::Backend* previous = window::setBackend(&script);
  runtime::MessageAnswerer* answerer = runtime::setMessageAnswerer(&window::backendAnswerer());
  Main();
  runtime::setMessageAnswerer(answerer);
  window::setBackend(previous);
  check(script.finished() && script.boxes().empty(), "the scripted run");
  const auto seconds = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
  };
  return {seconds(start, opened), action ? seconds(opened, acted) : 0.0};
}

// Reads up to `count` records of `file` in the order of key `key` that `take` lets through,
// after opening it; answers the records read.
template <class Take>
int rawRead(const char* keyLabel, int count, Take take) {
  files::FileDeclaration& file = projects.get();
  files::OPEN(file, 0x42);
  check(runtime::ERRORCODE() == 0, "raw open");
  files::SET(file, *file.key(file.keyNumber(keyLabel)));
  int read = 0;
  int taken = 0;
  for (files::NEXT(file); runtime::ERRORCODE() == 0 && taken < count; files::NEXT(file)) {
    ++read;
    if (take()) ++taken;
  }
  files::CLOSE(file);
  return read;
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

// The category list's reads: its filter on a blank GLO:CATEGORY lets no project through.
void categoryListReads() {
  benchmark::DoNotOptimize(
      rawRead("PRO:K_CATEGORY", kPage, [] { return PRO->CATEGORY.view().empty(); }));
}
int pageReads() {
  return rawRead("PRO:P_ID", kPage, [] { return true; });
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

// Sorting by a column reads every record.
void BM_RawSort(benchmark::State& state) {
  timedReads(state, "sort_raw",
             [] { benchmark::DoNotOptimize(rawRead("PRO:P_ID", kProjects, [] { return true; })); });
}

void BM_FilterMain(benchmark::State& state) {
  timed(state, "filter", [] {
    return runMain([](window::HeadlessBackend& b) {
             b.click(kMainSearchTab).type(kMainFindEntry, kMarker).click(kMainFindSwitch);
           })
        .second;
  });
}

// The filter reads until its page holds kPage projects with the marker (the whole record
// searched, as the filter does), and the window's reset reads the other two lists again.
void BM_RawFilter(benchmark::State& state) {
  const files::FileDeclaration& file = projects.get();
  timedReads(state, "filter_raw", [&] {
    benchmark::DoNotOptimize(rawRead("PRO:P_ID", kPage, [&] {
      const std::string_view bytes(reinterpret_cast<const char*>(file.record().data()),
                                   file.record().size());
      return bytes.find("ZEPHYR") != std::string_view::npos ||
             bytes.find(kMarker) != std::string_view::npos;
    }));
    benchmark::DoNotOptimize(pageReads());
    categoryListReads();
  });
}

BENCHMARK(BM_OpenMain)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawOpen)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SortMain)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawSort)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FilterMain)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawFilter)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
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

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const char* operation : {"open", "sort", "filter"}) {
    const double ours = meanSeconds[operation];
    const double raw = meanSeconds[std::string(operation) + "_raw"];
    if (ours > 0 && raw > 0) {
      std::printf("ratio %s %.2f (%.1f ms against %.1f ms)\n", operation, ours / raw, ours * 1e3,
                  raw * 1e3);
    }
  }

  iniManager().kill();
  runtime::runThreadEnd();
  runtime::runProcessEnd();
  std::filesystem::current_path(before);
  std::filesystem::remove_all(folder);
  return 0;
}
