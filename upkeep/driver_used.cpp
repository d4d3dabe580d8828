#include "upkeep/driver_used.h"

#include "platform/files/file_declaration.h"
#include "upkeep/debug_switches.h"
#include "upkeep/registration_tables.h"
#include "upkeep/trace.h"

namespace upkeep {

std::string DriverUsed(const files::FileDeclaration& file) {
  for (const DriverEntry& entry : registration().DR) {
    if (entry.PTR != file.driver()) continue;
    if (debugLevels().detailTrace) {
      WriteTrace("Driver found : " + std::to_string(static_cast<int>(entry.PTR)));
    }
    if (debugLevels().perFieldTrace) WriteTrace("DriverUsed Out Found " + entry.NAME);
    return entry.NAME;
  }
  if (debugLevels().inOutTrace) WriteTrace("DriverUsed Out Not Found");
  return {};
}

}  // namespace upkeep
