#include "upkeep/debug_switches.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {

TableInHand& tableInHand() {
  static TableInHand table;
  return table;
}

WaitProgress& waitProgress() {
  static WaitProgress progress;
  return progress;
}

void showProgress(std::int32_t percent) {
  if (upkeep::debugLevels().silentUpgrading) return;
  WaitProgress& progress = waitProgress();
  progress.SQLProgressPercent = percent;
  if (progress.redisplay) progress.redisplay();
}

}  // namespace upkeep_sql
