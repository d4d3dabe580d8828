// browse_Categories, "Categories": the category names, edited in the list row itself (Insert
// adds a row to type into, Change edits the selected row, Delete removes it, asking first),
// with Select for a lookup and Close. Its run-a-form step is wired to update_categories, which
// the list does not use.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kBrowseCategoriesKey = "game_dock$game_dock009";

enum BrowseCategoriesControl : int {
  kCategoriesList = 1,
  kCategoriesInsert = 2,
  kCategoriesChange = 3,
  kCategoriesDelete = 4,
  kCategoriesSelect = 5,
  kCategoriesClose = 6,
};

// Adds the window resource and registers it as WindowProcedure::browse_Categories (module 009's
// process start calls it).
void addBrowseCategoriesResource();

// The list. With request 4 in the thread's request byte it is a lookup: it opens at the record
// in CAT's buffer, and Select (or a double click) answers 1 with the chosen record in the
// buffer, Close answers 2. Otherwise Close answers 1. The answer goes to the thread's response
// byte.
void browse_Categories();

}  // namespace app
