// The profile of elapsed times: process-wide counters of the engine's phases (sums of CLOCK
// hundredths) and events, written by ProfileReport when /Profile is on the command line.
// Counters are touched only inside ds_FileOpen's lock or during start-up, so they have no lock.
#pragma once

#include <array>
#include <cstdint>

namespace upkeep {

struct Profile {
  std::int32_t startTime = 0;                  // CLOCK at the start of the phase being measured
  std::array<std::int32_t, 13> usingFile{};    // registration and catalogue work
  std::array<std::int32_t, 13> sqlScripts{};   // the SQL table management
  std::array<std::int32_t, 11> upgradeFile{};  // the upgrade of one file
  std::array<std::int32_t, 7> copyRec{};       // the record copy
  std::array<std::int32_t, 3> oneField{};      // the conversion of one field
  std::array<std::int32_t, 19> other{};        // further phases, reported in two lines
  std::array<std::int32_t, 12> sqlInsert{};    // the building of SQL inserts
};

// The process-wide profile.
Profile& profile();

// Starts measuring a phase: startTime := CLOCK now.
void profileStart();
// Ends the phase being measured: adds the time since startTime to `counter` and starts the next
// phase. A phase across midnight counts from midnight.
void profileLap(std::int32_t& counter);

// Writes the lines of one section when /Profile is on the command line; nothing otherwise.
// 1 "Profile of ds_UsingFile", 2 "Profile of generatescripts", 3 the upgrade, record copy and
// field lines, 4 two lines of further phases, 5 "Profile of buildsqlinsert". Other sections
// write nothing.
void ProfileReport(std::uint8_t section);

// Clears every counter (process start and end).
void resetProfile();

}  // namespace upkeep
