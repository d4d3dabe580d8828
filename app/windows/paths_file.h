// The paths file ".\gamedock.ini": the executables of the two IDEs and the folder new projects
// are created under, kept in section "path" of an INI file in the current directory. It is
// separate from ".\game_dock.INI", where the windows keep their positions and list settings.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kPathsFile = ".\\gamedock.ini";
inline constexpr std::string_view kPathsSection = "path";

// Reads CLASSICEXE (key "classic"), STUDIOEXE ("studio") and GLO:BASEPATH ("basepath") from
// the paths file, each cut to 254 bytes; a missing file or key reads as an empty text.
void readPathsFile();

// Writes the three globals to the paths file, creating it when missing. Answers false when a
// value could not be written, with the runtime's error state telling why (3 the folder is
// missing, 5 it is read-only, 90 the disk refused).
bool writePathsFile();

}  // namespace app
