// Writes the fuzzer's starting corpus: the sample old file of the tests, clear and encrypted,
// with and without records, into the folder named by the first argument.
#include <cstdio>
#include <string>

#include "tests/upkeep/old_data_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s folder\n", argv[0]);
    return 2;
  }
  using namespace upkeep::testing;
  const std::string folder = argv[1];
  OldFileDescription clear = sampleOldFile();
  OldFileDescription scrambled = clear;
  scrambled.attr = 0x02;
  OldFileDescription filled = clear;
  filled.records = {{.fields = OldBytes(44, 'a'), .deleted = false},
                    {.fields = OldBytes(44, 'b'), .deleted = true}};
  writeOldFile(folder + "/clear.Dat", oldDataFile(clear));
  writeOldFile(folder + "/scrambled.Dat", oldDataFile(scrambled));
  writeOldFile(folder + "/filled.Dat", oldDataFile(filled));
  return 0;
}
