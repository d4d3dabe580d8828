// The report of a failed statement on the UPG catalogue.
#pragma once

#include <string>

namespace upkeep {

// Shows, for the statement that just failed on the current UPG table, STOP with "Upkeep: " +
// M2 + the error code and text, the driver's code and text and the table's name, and writes
// the same to the detail trace.
void stopUpgFailure();

// Shows STOP with `text`, the report of the failure that just happened on the UPG catalogue,
// unless the same failure (same catalogue, same error and driver codes) was already shown since
// the engine started: a catalogue that cannot be opened fails the same way for every file, and
// the user who chose Ignore once is not asked again for each of them.
void stopUpgFailureOnce(const std::string& text);

// Forgets the failures shown, for a fresh engine.
void resetShownUpgFailures();

}  // namespace upkeep
