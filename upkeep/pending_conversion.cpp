#include "upkeep/pending_conversion.h"

#include <string>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/structure_search.h"
#include "upkeep/trace.h"
#include "upkeep/upgrade_marker.h"
#include "upkeep/upgrade_marker_lock.h"

namespace upkeep {
namespace {

// The pending conversion of this process: one at a time, under ds_FileOpen's lock.
struct Pending {
  std::string table;   // the table's completed name; empty: none pending
  std::string source;  // the old file's completed name
  UpgradeMarkerLock lock;
};

Pending& pending() {
  static Pending state;
  return state;
}

void detail(const std::string& text) {
  if (debugLevels().detailTrace) WriteTrace(text);
}

}  // namespace

bool markConversionPending(const files::FileDeclaration& table) {
  takeOverPendingConversion();  // one left by an open that never ended (a HALT) is given up
  Pending& state = pending();
  const std::string name = runtime::CLIP(files::NAME(table));
  const std::string old = oldNameSourceOf(name);
  if (old.empty()) return true;
  const std::string source = completedFileName(files::Driver::Caskfile, old);
  if (files::EXISTS(source) == 0) return true;
  const std::string target = completedFileName(table.driver(), name);
  if (writeUpgradeMarker(target, {{}, false, false, source, {}}) != 0) {
    detail("Upkeep: the conversion's marker cannot be written: " + upgradeMarkerPath(target));
    return false;
  }
  state.table = target;
  state.source = source;
  state.lock.acquire(upgradeMarkerPath(target), true);
  return true;
}

bool conversionPending() { return !pending().table.empty(); }

void takeOverPendingConversion() {
  Pending& state = pending();
  state.lock.release();
  state.table.clear();
}

bool endPendingConversion(files::FileDeclaration& table, bool tableMade) {
  Pending& state = pending();
  if (state.table.empty()) return true;
  const std::string target = state.table;
  const std::string source = state.source;
  if (!tableMade) removeUpgradeMarker(target);
  takeOverPendingConversion();
  if (!tableMade) return true;
  detail("Upkeep: the conversion ended before its backup: " + target);
  // The lock is given up first: the settling takes it itself.
  return settleInterruptedUpgrade(target, &table) && files::EXISTS(source) == 0;
}

}  // namespace upkeep
