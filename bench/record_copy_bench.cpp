// The record copy of an upgrade over a 200-byte layout (one field added, one text widened),
// beside the raw cost of the same per-record transformation written field by field in plain
// code, in the same run. After Google Benchmark's table it prints the records per second of
// each and "ratio record_copy <ours/raw>".
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/project_records.h"
#include "bench/times_reporter.h"
#include "platform/files/file_declaration.h"
#include "upkeep/declaration_reader.h"
#include "upkeep/record_copy.h"

namespace {

using bench::NewProject;
using bench::OldProject;

files::FileSpec specOf(std::span<const runtime::FieldDef> fields, std::uint32_t size) {
  return {.label = "projects",
          .prefix = "PRO",
          .name = "projects.aaa",
          .fields = fields,
          .recordSize = size};
}

void fill(OldProject& old) {
  old.ID = 4711;
  old.DESCRIPTION = "A platform game with three levels";
  old.CATEGORY = "Games";
  bench::fillFixedFields(old);
}

void BM_RecordCopy(benchmark::State& state) {
  const std::vector<runtime::FieldDef> oldFields = bench::oldProjectFields();
  const std::vector<runtime::FieldDef> fields = bench::newProjectFields();
  files::FileDeclaration oldFile(specOf(oldFields, sizeof(OldProject)));
  files::FileDeclaration newFile(specOf(fields, sizeof(NewProject)));
  fill(oldFile.recordAs<OldProject>());
  upkeep::FieldQueue dst;
  upkeep::FieldQueue src;
  upkeep::LoadpQueue(newFile, dst, true);
  upkeep::LoadpQueue(oldFile, src, false);
  upkeep::RecordCopy copy;
  copy.DST = &dst;
  copy.SRC = &src;
  copy.filePrefix = "PRO";
  const upkeep::RecordCopier copier(copy);
  for (auto _ : state) {
    copier.copy(oldFile, newFile);
    benchmark::DoNotOptimize(newFile.record().data());
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_RawCopy(benchmark::State& state) {
  OldProject old;
  fill(old);
  NewProject record;
  for (auto _ : state) {
    bench::convertByHand(old, record);
    benchmark::DoNotOptimize(&record);
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_RecordCopy);
BENCHMARK(BM_RawCopy);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // nanoseconds per record
  reporter.printRecordRates("record_copy", "BM_RecordCopy", "BM_RawCopy", 1, 1e9);
  return 0;
}
