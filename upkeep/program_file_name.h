// The program's own file: its name without the folder (the section of the BadFile marker) and
// its folder (where the settings INI and, by default, the UPG file live).
#pragma once

#include <string>

namespace upkeep {

// The program's file name with its extension, without its folder, at most 100 characters.
// Computed once per run.
std::string ProgramFileName();

// The folder of the program's executable, ending in its separator.
std::string programFolder();

}  // namespace upkeep
