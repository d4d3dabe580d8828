// The number of records a benchmark fills its files with: "--records=N" on its command line,
// taken out of argv before Google Benchmark reads the rest.
#pragma once

#include <cstdlib>
#include <cstring>

namespace bench {

inline int takeRecordCount(int& argc, char** argv, int fallback) {
  constexpr const char* kFlag = "--records=";
  int count = fallback;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kFlag, std::strlen(kFlag)) == 0) {
      count = std::atoi(argv[i] + std::strlen(kFlag));
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return count > 0 ? count : fallback;
}

}  // namespace bench
