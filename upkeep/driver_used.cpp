#include "upkeep/driver_used.h"

#include <optional>

#include "platform/files/file_declaration.h"
#include "upkeep/debug_switches.h"
#include "upkeep/registration_tables.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

// The code of `driver` (none for a VIEW), with its traces.
std::string codeOf(std::optional<files::Driver> driver) {
  for (const DriverEntry& entry : registration().DR) {
    if (entry.PTR != driver) continue;
    if (debugLevels().detailTrace) {
      WriteTrace("Driver found : " + std::to_string(static_cast<int>(entry.PTR)));
    }
    if (debugLevels().perFieldTrace) WriteTrace("DriverUsed Out Found " + entry.NAME);
    return entry.NAME;
  }
  if (debugLevels().inOutTrace) WriteTrace("DriverUsed Out Not Found");
  return {};
}

}  // namespace

std::string DriverUsed(const files::FileDeclaration& file) { return codeOf(file.driver()); }

std::string DriverUsed(const files::FileView&) { return codeOf(std::nullopt); }

}  // namespace upkeep
