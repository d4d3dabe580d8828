// browse_Categories, "Categories": the category names, edited in the list row itself (Insert
// adds a row to type into, Change edits the selected row, Delete removes it, asking first),
// with Select for a lookup and Close. update_categories, "Category Updates": the form of one
// category, wired to the list's run-a-form step, which the list does not use.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kBrowseCategoriesKey = "game_dock$game_dock009";
inline constexpr std::string_view kUpdateCategoriesKey = "game_dock$game_dock010";

enum BrowseCategoriesControl : int {
  kCategoriesList = 1,
  kCategoriesInsert = 2,
  kCategoriesChange = 3,
  kCategoriesDelete = 4,
  kCategoriesSelect = 5,
  kCategoriesClose = 6,
};

enum UpdateCategoriesControl : int {
  kCategoryPrompt = 3,
  kCategoryEntry = 4,
  kCategoryOk = 5,
  kCategoryCancel = 6,
};

// Add the window resources (the process starts of modules 009 and 010 call them).
void addBrowseCategoriesResource();
void addUpdateCategoriesResource();

// The list. With request 4 in the thread's request byte it is a lookup: Select (or a double
// click) answers 1 with the chosen record in CAT's buffer, Close answers 2. Otherwise Close
// answers 1. The answer goes to the thread's response byte.
void browse_Categories();
// The form of the category in CAT's buffer for the request in the thread's request byte (1, 2,
// 3 or 6); answers 1 (completed) or 2 (cancelled) in the response byte.
void update_categories();

}  // namespace app
