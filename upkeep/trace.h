// The upgrade engine's trace: one line per call to the debug sink of platform/os, in place of a
// debugger's output window.
#pragma once

#include <cstddef>
#include <string_view>

namespace upkeep {

// The longest trace line handed on, in bytes ("[Upkeep] " included).
inline constexpr std::size_t kMaxTraceLine = 29999;

// Writes "[Upkeep] " + `text` without its trailing spaces as one line, cut to kMaxTraceLine
// bytes. Tests no switch: every caller tests the switch its line belongs to (debug_switches.h).
void WriteTrace(std::string_view text);

}  // namespace upkeep
