// update_categories, "Category Updates": the form of one category.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kUpdateCategoriesKey = "game_dock$game_dock010";

enum UpdateCategoriesControl : int {
  kCategoryPrompt = 3,
  kCategoryEntry = 4,
  kCategoryOk = 5,
  kCategoryCancel = 6,
};

// Adds the window resource (module 010's process start calls it).
void addUpdateCategoriesResource();

// The form of the category in CAT's buffer for the request in the thread's request byte (1, 2,
// 3 or 6); answers 1 (completed) or 2 (cancelled) in the response byte.
void update_categories();

}  // namespace app
