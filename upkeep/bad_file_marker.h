// The BadFile marker: entry "BadFile" in the default profile, in the section named after the
// program's file, holding the name of the file being opened. It stands while an open is in
// progress and stays behind when a fatal open ends the program. Nothing reads it; it tells a
// user which file stopped the program.
#pragma once

#include <string_view>

namespace upkeep {

// Writes the marker with `fileName` when the BadFile option is 1. Leaves the calling thread's
// error state as it was.
void writeBadFileMarker(std::string_view fileName);
// Removes the marker when the BadFile option is 1. Leaves the error state as it was.
void removeBadFileMarker();

}  // namespace upkeep
