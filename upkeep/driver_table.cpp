#include "upkeep/driver_table.h"

namespace upkeep {

std::vector<DriverEntry>& DR() {
  static std::vector<DriverEntry> table;
  return table;
}

}  // namespace upkeep
