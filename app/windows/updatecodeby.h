// Updatecodeby, "Form codeby": the form of one forum member.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kUpdatecodebyKey = "game_dock$game_dock013";

enum UpdatecodebyControl : int {
  kMemberPrompt = 3,
  kMemberEntry = 4,
  kMemberOk = 5,
  kMemberCancel = 6,
};

// Adds the window resource (module 013's process start calls it).
void addUpdatecodebyResource();

// The form of the member in COD's buffer for the request in the thread's request byte (1, 2, 3
// or 6); answers 1 (completed) or 2 (cancelled) in the response byte.
void Updatecodeby();

}  // namespace app
