// browse_Templates, "Templates": the project templates with Insert, Change and Delete through
// update_Templates, and a preview of the lines of the selected template's line file.
#pragma once

#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kBrowseTemplatesKey = "game_dock$game_dock008";

enum BrowseTemplatesControl : int {
  kTemplatesList = 1,
  kTemplatePreview = 2,
  kTemplatesInsert = 3,
  kTemplatesChange = 4,
  kTemplatesDelete = 5,
};

// The longest preview, in bytes; a longer one is cut (never inside a character).
inline constexpr std::size_t kPreviewLimit = 59999;

// Adds the window resource and registers it as WindowProcedure::browse_Templates (module 008's
// process start calls it).
void addBrowseTemplatesResource();

// The preview of the template line file `path`: its lines 1 to "total" of section "template",
// each followed by CR LF, cut to kPreviewLimit. Empty when the path is blank, the file cannot
// be read or its "total" is missing, not a number or not above 0.
std::string templatePreview(std::string_view path);

// The list; the request comes from the thread's request byte (6 view disables Insert, Change
// and Delete) and the window's answer goes to its response byte.
void browse_Templates();

}  // namespace app
