// Setup_Paths, the "Paths" window: the executables of the Classic and Studio IDEs and the
// projects base folder, edited in place in CLASSICEXE, STUDIOEXE and GLO:BASEPATH, each with a
// "..." button that asks for it in a file dialog, and "Update/Save", which writes them to the
// paths file and closes the window. Closing it otherwise keeps the values for the rest of the
// run without saving them.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kSetupPathsKey = "game_dock$game_dock002";
inline constexpr std::string_view kSetupPathsLabel = "P1$WINDOW";

// The window's controls.
enum SetupPathsControl : int {
  kClassicPrompt = 1,
  kClassicEntry = 2,
  kClassicBrowse = 3,
  kClassicLine = 4,
  kStudioPrompt = 5,
  kStudioEntry = 6,
  kStudioBrowse = 7,
  kStudioLine = 8,
  kBasePathPrompt = 9,
  kBasePathEntry = 10,
  kBasePathBrowse = 11,
  kUpdateSaveButton = 12,
};

// Adds the window resource of Setup_Paths (module 002's process start calls it).
void addSetupPathsResource();

// Opens the "Paths" window and runs it until it closes; its response (1 completed, 2 cancelled)
// goes to the thread's response byte. The paths file is written only by "Update/Save"; when it
// cannot be written the user is told why and the window stays open.
void Setup_Paths();

}  // namespace app
