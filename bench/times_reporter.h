// A console reporter that also keeps each benchmark's real time per iteration by its name, so a
// benchmark program can print its "ratio <operation> <ours/raw>" lines after the table. With
// repetitions, the mean of the repetitions is kept.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace bench {

class TimesReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean") continue;
      times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The time of benchmark `ours` over that of `raw`; 0 unless both ran.
  double ratio(const std::string& ours, const std::string& raw) const {
    const auto oursTime = times.find(ours);
    const auto rawTime = times.find(raw);
    if (oursTime == times.end() || rawTime == times.end() || rawTime->second <= 0) return 0;
    return oursTime->second / rawTime->second;
  }
  // Prints "ratio <operation> <ours/raw>" for BM_ours_<operation> against BM_raw_<operation>,
  // when both ran.
  void printRatio(const std::string& operation) const {
    const double value = ratio("BM_ours_" + operation, "BM_raw_" + operation);
    if (value > 0) std::printf("ratio %s %.2f\n", operation.c_str(), value);
  }
  // Prints "records_per_second <operation> <ours> raw <raw>" and "ratio <operation> <ours/raw>"
  // for benchmarks `ours` and `raw`, when both ran; each iteration handles `records` records and
  // their time unit is 1/`unitsPerSecond` of a second.
  void printRecordRates(const std::string& operation, const std::string& ours,
                        const std::string& raw, double records, double unitsPerSecond) const {
    if (ratio(ours, raw) <= 0) return;
    std::printf("records_per_second %s %.0f raw %.0f\n", operation.c_str(),
                records * unitsPerSecond / times.at(ours),
                records * unitsPerSecond / times.at(raw));
    std::printf("ratio %s %.2f\n", operation.c_str(), ratio(ours, raw));
  }
};

// The main() of a benchmark program that compares BM_ours_<operation> with BM_raw_<operation>:
// runs the benchmarks the command line selects, printing Google Benchmark's table, then one
// ratio line for each of `operations`.
inline void runComparisons(int& argc, char** argv, std::initializer_list<const char*> operations) {
  benchmark::Initialize(&argc, argv);
  TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* operation : operations) reporter.printRatio(operation);
  benchmark::Shutdown();
}

}  // namespace bench
