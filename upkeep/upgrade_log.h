// UPKQ: the log of the files upgraded in this run, one entry per completed upgrade. The
// upgrade fills the entry in hand as it goes (prefix, versions, new file name) and appends it
// at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace upkeep {

struct UpgradedFile {
  std::string PREFIX;        // the file's prefix, upper case
  std::string FILENAME;      // the new file's name
  std::int32_t FROMVERSION;  // the version of the structure the old file was read with
  std::int32_t TOVERSION;    // the declared version
  std::string RESERVED;      // blank
};

// The log, process-wide.
std::vector<UpgradedFile>& UPKQ();
// The entry being filled by the upgrade in hand.
UpgradedFile& upgradeInHand();

// `LogUpgradedFile`: blanks RESERVED of the entry in hand and appends it to UPKQ.
void LogUpgradedFile();

// Empties the log and the entry in hand (process start and end).
void resetUpgradeLog();

}  // namespace upkeep
