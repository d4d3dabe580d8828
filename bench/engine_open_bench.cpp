// The cost of opening the program's five data files through ds_FileOpen, registered with the
// upgrade engine as the program registers them, against plain OPENs of the same files: each
// iteration opens all five and closes them again. After Google Benchmark's table it prints
// "ratio engine_open <ds_FileOpen/OPEN>".
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

  benchmark::RegisterBenchmark("open/raw", plainOpen)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("open/engine", engineOpen)->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double raw = reporter.times["open/raw"];
  if (raw > 0) std::printf("ratio engine_open %.2f\n", reporter.times["open/engine"] / raw);
  benchmark::Shutdown();

  for (const files::PerThreadFile* file : kDataFiles) file->release();
  std::filesystem::current_path(before);
  std::filesystem::remove_all(folder);
  return 0;
}
