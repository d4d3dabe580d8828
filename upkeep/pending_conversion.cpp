#include "upkeep/pending_conversion.h"

#include <string>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
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

// The old file, completed, whose records the conversion into the table named `name` (prefix
// `prefix`, driver `driver`) will carry: the one the old-name list gives it when it stands, else
// the old .DAT file that the search's last step takes. Empty when there is none.
std::string conversionSource(const std::string& name, const std::string& prefix,
                             files::Driver driver) {
  if (const std::string old = oldNameSourceOf(name, files::driverName(driver)); !old.empty()) {
    const std::string source = completedFileName(files::Driver::Caskfile, old);
    if (files::EXISTS(source) != 0) return source;
  }
  const std::string data = oldDataSourceOf(name, prefix);
  return data.empty() ? std::string() : completedFileName(files::Driver::Corvid, data);
}

}  // namespace

bool markConversionPending(const files::FileDeclaration& table) {
  takeOverPendingConversion();  // one left by an open that never ended (a HALT) is given up
  Pending& state = pending();
  const std::string name = runtime::CLIP(files::NAME(table));
  const std::string source = conversionSource(name, table.prefix(), table.driver());
  if (source.empty()) return true;
  const std::string target = completedFileName(table.driver(), name);
  if (writeUpgradeMarker(target, {{}, false, false, source, {}}) != 0) {
    detail("Upkeep: the conversion's marker cannot be written: " + upgradeMarkerPath(target));
    return false;
  }
  // Another open may have settled (removed) the marker before this one holds it: the table
  // must not be made unguarded then.
  if (!state.lock.acquire(upgradeMarkerPath(target), true)) {
    detail("Upkeep: the conversion's marker was taken by another open: " +
           upgradeMarkerPath(target));
    runtime::clearError();
    return false;
  }
  state.table = target;
  state.source = source;
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
