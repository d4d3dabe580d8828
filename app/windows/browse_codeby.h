// browse_codeby, "Browse the codeby file": the forum members by name, with a locator on the
// name typed into the list, Select for a lookup, Insert, Change and Delete through the form
// and Close. Updatecodeby, "Form codeby": the form of one member. Names may repeat.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kBrowseCodebyKey = "game_dock$game_dock011";
inline constexpr std::string_view kUpdatecodebyKey = "game_dock$game_dock013";

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

enum UpdatecodebyControl : int {
  kMemberPrompt = 3,
  kMemberEntry = 4,
  kMemberOk = 5,
  kMemberCancel = 6,
};

// Add the window resources (the process starts of modules 011 and 013 call them).
void addBrowseCodebyResource();
void addUpdatecodebyResource();

// The list. With request 4 in the thread's request byte it is a lookup: Select (or a double
// click) answers 1 with the chosen record in COD's buffer, Close answers 2. Otherwise Close
// answers 1. The answer goes to the thread's response byte.
void browse_codeby();
// The form of the member in COD's buffer for the request in the thread's request byte (1, 2, 3
// or 6); answers 1 (completed) or 2 (cancelled) in the response byte.
void Updatecodeby();

}  // namespace app
