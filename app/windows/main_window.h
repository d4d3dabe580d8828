// Main, the program's main window, in its smallest form until the full main window replaces
// it: its title, its icon and a Close button. It opens categort and projects through their
// relation managers while it is open, as the main window's lists do.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kMainWindowKey = "game_dock$game_dock001";
inline constexpr std::string_view kMainWindowLabel = "P1$WINDOW";
inline constexpr int kMainCloseButton = 39;

// Adds the window resource of Main (module 001's process start calls it).
void addMainWindowResource();

// Opens the main window and runs it until it closes. Files it could not open are reported
// through the error reporter by their file managers; the window opens all the same.
void Main();

}  // namespace app
