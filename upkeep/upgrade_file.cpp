#include "upkeep/upgrade_file.h"

#include "upkeep/call_recorder.h"
#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"

namespace upkeep {

void ds_UpgradeFileEx(files::FileDeclaration&, std::int32_t) {}

void ds_UpgradeFile(files::FileDeclaration& file) {
  EntryCallBuilder("ds_UpgradeFile").file(file).send();
  if (debugLevels().inOutTrace) WriteTrace("ds_UpgradeFile In ");
  ds_UpgradeFileEx(file, 0);
  if (debugLevels().inOutTrace) WriteTrace("ds_UpgradeFile Out ");
}

}  // namespace upkeep
