// Main, the program's main window, "AGK - Game Dock and Projects Database": the projects file
// in three lists on a sheet (all projects, the projects of one category, a quick-filtered
// search), the current project file in GLO:PROJECT with a file dialog for it, both AGK IDEs
// started on it, the chosen project's forum thread opened through the link manager, and the
// menu and buttons that run the program's other windows.
#pragma once

#include <string_view>

#include "linkpulse/link_system.h"

namespace app {

inline constexpr std::string_view kMainWindowKey = "game_dock$game_dock001";
inline constexpr std::string_view kMainWindowLabel = "P1$WINDOW";
inline constexpr std::string_view kMainTitle = "AGK - Game Dock and Projects Database";
// What zone 2 of the status bar shows.
inline constexpr std::string_view kMainStatusText = "Game Dock - AGK projects - version 1.0";

// The window's controls.
enum MainControl : int {
  kMainSetupMenu = 1,
  kMainPathsItem = 2,
  kMainTemplatesItem = 3,
  kMainCategoriesItem = 4,
  kMainMembersItem = 5,
  kMainFunctionsItem = 6,
  kMainProjectPrompt = 7,
  kMainProjectEntry = 8,  // GLO:PROJECT
  kMainBrowseButton = 9,
  kMainNewProjectButton = 10,
  kMainSheet = 11,
  kMainProjectsTab = 12,
  kMainProjectsList = 13,
  kMainInsertButton = 14,
  kMainChangeButton = 15,
  kMainDeleteButton = 16,
  kMainLastAccessPrompt = 17,
  kMainLastAccess = 18,
  kMainCodebyPrompt = 19,
  kMainCodeby = 20,
  kMainThreadLink = 21,
  kMainVisitButton = 22,
  kMainCreatedPrompt = 23,
  kMainCreated = 24,
  kMainCategoryTab = 25,
  kMainCategoryEntry = 26,  // GLO:CATEGORY
  kMainCategoryLookup = 27,
  kMainCategoryList = 28,
  kMainSearchTab = 29,
  kMainFindSwitch = 30,
  kMainFindPrompt = 31,
  kMainFindEntry = 32,
  kMainIgnoreCaseCheck = 33,
  kMainIncludeMemoCheck = 34,
  kMainSearchList = 35,
  kMainRunClassic = 36,
  kMainRunStudio = 37,
  kMainLongDescription = 38,
  kMainCloseButton = 39,
};

// Adds the window resource of Main (module 001's process start calls it).
void addMainWindowResource();

// Runs the main window until it closes and puts its response in the thread's response byte.
// `links` is what the "Visit" link asks for handlers and launches (the desktop's unless a test
// gives its own). Files the window could not open are reported through the error reporter
// by their file managers; the window opens all the same.
void Main(linkpulse::LinkSystem& links = linkpulse::osLinkSystem());

}  // namespace app
