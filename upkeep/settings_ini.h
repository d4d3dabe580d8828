// The engine's settings INI ("Upkeep.Ini" in the program's folder unless named otherwise):
// replacement message texts in section "Messages", the UPG file's folder as "Path" of section
// "Upkept", and "Silent" of section "Command". A missing file or entry gives the defaults.
#pragma once

#include <string>
#include <string_view>

namespace upkeep {

inline constexpr std::string_view kMessagesSection = "Messages";

// Sets the settings INI's name: the program's folder followed by `name`, or by "Upkeep.Ini" when
// `name` is empty. An empty `name` changes nothing once a name is set.
void SetTranslationIni(std::string_view name);

// The settings INI's full name; set to the default first when none is set.
std::string settingsIniName();

// The folder of the UPG file: entry "Path" of section "Upkept", ending in a separator; the
// current directory (the program's data folder) when the entry is missing or empty, or empty
// when even that cannot be read.
std::string upgFolderSetting();

// True when entry "Silent" of section "Command" reads "TRUE" in any letter case.
bool silentSetting();

// Forgets the name (process start and end).
void resetSettingsIni();

}  // namespace upkeep
