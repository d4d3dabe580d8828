// The upgrade engine's debug switches, read once per run from the command line. Switches are
// matched as COMMAND matches them: letter case ignored, by first characters, so every switch
// that begins with "/debugupk" also turns on the in/out and detail traces.
#pragma once

#include <cstdint>

namespace upkeep {

struct DebugLevels {
  std::uint8_t inOutTrace = 0;       // one line on entry and exit of each procedure
  std::uint8_t detailTrace = 0;      // steps, decisions, errors with their codes and texts
  std::uint8_t perFieldTrace = 0;    // lines inside the loops over fields, keys and images
  std::uint8_t fieldCopyDetail = 0;  // details of the record copy and the SQL comparison
  std::uint8_t perValueTrace = 0;    // each value converted by the record copy
  std::uint8_t imageDump = 0;        // sizes and dumps of structure images
  std::int32_t developerLevel = 0;   // everything else, owner strings in clear; 0 = off
  std::int32_t windowLevel = 0;      // the wait windows of the upgrade
  std::uint8_t silentUpgrading = 0;  // no wait window and no progress display
  std::uint8_t loaded = 0;           // the switches have been read
};

// The switches as loaded (all 0 before LoadDebugSettings). Read without a lock: they change
// only in LoadDebugSettings, at start-up.
const DebugLevels& debugLevels();

// Reads the switches on the first call of the run and does nothing afterwards: /debugupkgpf,
// /debugupk, /debugupkall, /debugupkfull, /debugwinupk, /silentupgrading. With /debugupkall or
// /debugupkfull the developer level comes from the default profile (section
// "VendorStaffInternalOnly", entry "PermitDevTraceForXOnly___Yes"). With the in/out trace on it
// traces the engine's version and the first word of the command line; with the developer level
// on, a warning that owner strings show in clear.
void LoadDebugSettings();

// Clears the switches and the loaded flag (process start and end).
void resetDebugSettings();

}  // namespace upkeep
