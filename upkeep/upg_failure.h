// The report of a failed statement on the UPG catalogue.
#pragma once

namespace upkeep {

// Shows, for the statement that just failed on the current UPG table, STOP with "Upkeep: " +
// M2 + the error code and text, the driver's code and text and the table's name, and writes
// the same to the detail trace.
void stopUpgFailure();

}  // namespace upkeep
