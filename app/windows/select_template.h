// select_template, "Select Template": the lookup in which New_Project lets the user choose a
// project template.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kSelectTemplateKey = "game_dock$game_dock006";

enum SelectTemplateControl : int {
  kSelectTemplateList = 1,
  kSelectTemplateButton = 2,
};

// Adds the window resource (module 006's process start calls it).
void addSelectTemplateResource();

// The lookup: Select (or, with request 4 in the thread's request byte, a double click) answers
// 1 in the thread's response byte with the chosen record in TPL's buffer (TPL:ID,
// TPL:DESCRIPTION, TPL:PROJECTPATH); closing the window without choosing answers 2.
void select_template();

}  // namespace app
