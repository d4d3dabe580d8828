// update_functions, the functions form: adds, changes, deletes or shows one function of the
// func file (title, description, forum link, example code, whether the code is a complete
// example). "Goto Web" opens the forum link in the web browser. The window's title tells the
// request: "View Record", "Record Will Be Added", "Record Will Be Changed".
#pragma once

#include <string_view>

#include "linkpulse/link_system.h"

namespace app {

inline constexpr std::string_view kUpdateFunctionsKey = "game_dock$game_dock016";

// The form's controls (1 and 2 are its sheet and tab).
enum UpdateFunctionsControl : int {
  kFunctionTitleEntry = 4,
  kFunctionDescriptionText = 6,
  kFunctionForumLinkEntry = 8,
  kFunctionGotoWeb = 9,
  kFunctionCodeText = 11,
  kFunctionWorkingCheck = 12,
  kFunctionSave = 13,
  kFunctionCancel = 14,
};

// Adds the window resource of update_functions (module 016's process start calls it).
void addUpdateFunctionsResource();

// Runs the form for the request in the thread's request byte on the func record in the
// buffer; its response goes to the response byte (2 for a view-only request). The forum link
// is opened through `links`.
void update_functions(linkpulse::LinkSystem& links = linkpulse::osLinkSystem());

}  // namespace app
