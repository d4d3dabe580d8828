// The record copy of an upgrade over a 200-byte layout (one field added, one text widened),
// beside the raw cost of the same per-record transformation written field by field in plain
// code, in the same run. After Google Benchmark's table it prints the records per second of
// each and "ratio record_copy <ours/raw>".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/times_reporter.h"
#include "platform/files/file_declaration.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"
#include "upkeep/declaration_reader.h"
#include "upkeep/record_copy.h"

namespace {

// The fields both layouts share; the new layout widens DESCRIPTION.
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

using OldRecord = Body<60>;
static_assert(sizeof(OldRecord) == 200);

// The new layout: DESCRIPTION widened, THREADLINK added.
struct NewRecord {
  Body<100> BODY;
  runtime::CString<80> THREADLINK;
};

std::vector<runtime::FieldDef> newFields() {
  std::vector<runtime::FieldDef> fields = bodyFields<Body<100>>();  // BODY lies at offset 0
  fields.push_back(GD_FIELD(NewRecord, THREADLINK, "PRO:THREADLINK"));
  return fields;
}

files::FileSpec specOf(std::span<const runtime::FieldDef> fields, std::uint32_t size) {
  return {.label = "projects",
          .prefix = "PRO",
          .name = "projects.aaa",
          .fields = fields,
          .recordSize = size};
}

void fill(OldRecord& old) {
  old.ID = 4711;
  old.DESCRIPTION = "A platform game with three levels";
  old.CATEGORY = "Games";
  old.PATH = "C:\\AGK\\Projects\\Platformer";
  old.CREATED = runtime::dateFromYmd(2020, 12, 31);
  old.AT = runtime::timeFromHms(12, 30, 0, 0);
  old.PRICE = runtime::Decimal::parse("1234.56");
  old.RATE = 0.75;
  old.LEVEL = 3;
  for (int i = 0; i < 4; ++i) old.FLAGS[i] = static_cast<std::uint8_t>(i);
  old.CODEBY = "someone";
}

void BM_RecordCopy(benchmark::State& state) {
  const std::vector<runtime::FieldDef> oldFields = bodyFields<OldRecord>();
  const std::vector<runtime::FieldDef> fields = newFields();
  files::FileDeclaration oldFile(specOf(oldFields, sizeof(OldRecord)));
  files::FileDeclaration newFile(specOf(fields, sizeof(NewRecord)));
  fill(oldFile.recordAs<OldRecord>());
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
  OldRecord old;
  fill(old);
  NewRecord record;
  Body<100>& rec = record.BODY;
  for (auto _ : state) {
    rec.ID = old.ID.value();
    rec.DESCRIPTION = old.DESCRIPTION.view();
    rec.CATEGORY = old.CATEGORY.view();
    rec.PATH = old.PATH.view();
    rec.CREATED = old.CREATED.value();
    rec.AT = old.AT.value();
    rec.PRICE = old.PRICE.value();
    rec.RATE = old.RATE.value();
    rec.LEVEL = old.LEVEL.value();
    for (int i = 0; i < 4; ++i) rec.FLAGS[i] = old.FLAGS[i].value();
    rec.CODEBY = old.CODEBY.view();
    record.THREADLINK = "";
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
  const double ours = reporter.times["BM_RecordCopy"];  // nanoseconds per record
  const double raw = reporter.times["BM_RawCopy"];
  if (ours > 0 && raw > 0) {
    std::printf("records_per_second record_copy %.0f raw %.0f\n", 1e9 / ours, 1e9 / raw);
    std::printf("ratio record_copy %.2f\n", ours / raw);
  }
  return 0;
}
