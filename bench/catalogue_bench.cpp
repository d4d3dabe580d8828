// The start-up cost of the UPG catalogue: the program's registration of its five managed files
// (each catalogue entry found and its image compared with the declaration) against plain opens
// of the same five files, in a scratch data folder whose catalogue already holds them. Prints
// Google Benchmark's table, then "ratio catalogue_check <registration/plain opens>".
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/dictionary/declarations.h"
#include "app/dictionary/upgrade_registration.h"
#include "bench/times_reporter.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/paths.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/registration_tables.h"

namespace {

const files::PerThreadFile* const kManaged[] = {&app::categort, &app::codeby, &app::func,
                                                &app::projects, &app::template_};

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "catalogue_bench: %s failed\n", what);
    std::exit(1);
  }
}

// The program's start as far as the catalogue goes: a fresh engine and the registration.
void registerAgain() {
  upkeep::upkeepProcessStart();
  app::resetUpgradeRegistration();
  app::registerWithUpgradeEngine();
}

void BM_registration(benchmark::State& state) {
  for (auto _ : state) {
    registerAgain();
    check(upkeep::registration().UF.size() == 5, "registration");
  }
}

void BM_plain_opens(benchmark::State& state) {
  for (auto _ : state) {
    for (const files::PerThreadFile* file : kManaged) {
      files::OPEN(file->get(), 0x42);
      check(runtime::ERRORCODE() == 0, "open");
      files::CLOSE(file->get());
    }
  }
}

BENCHMARK(BM_plain_opens)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_registration)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "gd_catalogue_XXXXXX").string();
  check(mkdtemp(pattern.data()) != nullptr, "scratch folder");
  const std::string previous = runtime::currentDirectory();
  runtime::setCurrentDirectory(pattern);
  for (const files::PerThreadFile* file : kManaged) {
    files::CREATE(file->get());
    check(runtime::ERRORCODE() == 0, "create");
  }
  registerAgain();  // the first start fills the catalogue

  benchmark::Initialize(&argc, argv);
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double plain = reporter.times["BM_plain_opens"];
  if (plain > 0)
    std::printf("ratio catalogue_check %.2f\n", reporter.times["BM_registration"] / plain);
  runtime::setCurrentDirectory(previous);
  std::filesystem::remove_all(pattern);
  benchmark::Shutdown();
  return 0;
}
