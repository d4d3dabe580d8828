#include "upkeep/upgrade_log.h"

namespace upkeep {

std::vector<UpgradedFile>& UPKQ() {
  static std::vector<UpgradedFile> log;
  return log;
}

UpgradedFile& upgradeInHand() {
  static UpgradedFile entry{};
  return entry;
}

void LogUpgradedFile() {
  upgradeInHand().RESERVED.clear();
  UPKQ().push_back(upgradeInHand());
}

void resetUpgradeLog() {
  UPKQ().clear();
  upgradeInHand() = {};
}

}  // namespace upkeep
