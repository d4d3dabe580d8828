// browse_codeby, "Browse the codeby file": the forum members by name (a name may repeat), with
// a locator on the name typed into the list, Select for a lookup, Insert, Change and Delete
// through Updatecodeby, and Close.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kBrowseCodebyKey = "game_dock$game_dock011";

enum BrowseCodebyControl : int {
  kMembersList = 1,
  kMembersSelect = 2,
  kMembersInsert = 3,
  kMembersChange = 4,
  kMembersDelete = 5,
  kMembersSheet = 6,
  kMembersTab = 7,
  kMembersClose = 8,
};

// Adds the window resource and registers it as WindowProcedure::browse_codeby (module 011's process
// start calls it).
void addBrowseCodebyResource();

// The list. With request 4 in the thread's request byte it is a lookup: Select (or a double
// click) answers 1 with the chosen record in COD's buffer, Close answers 2. Otherwise Close
// answers 1. The answer goes to the thread's response byte.
void browse_codeby();

}  // namespace app
