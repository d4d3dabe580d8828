// update_Templates, "Template Updates": the form of one template record, its description and
// the path of its template line file (with a file dialog for ".tpl" files).
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kUpdateTemplatesKey = "game_dock$game_dock005";

enum UpdateTemplatesControl : int {
  kTemplateDescriptionPrompt = 3,
  kTemplateDescriptionEntry = 4,
  kTemplatePathPrompt = 5,
  kTemplatePathEntry = 6,
  kTemplatePathLookup = 7,
  kTemplateOk = 8,
  kTemplateCancel = 9,
};

// Adds the window resource (module 005's process start calls it).
void addUpdateTemplatesResource();

// The form of the template in TPL's buffer for the request in the thread's request byte (1, 2,
// 3 or 6); answers 1 (completed) or 2 (cancelled) in the response byte.
void update_Templates();

}  // namespace app
