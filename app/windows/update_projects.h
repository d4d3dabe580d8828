// update_projects, "Form projects": the form of one projects record, for adding, changing,
// deleting or viewing a project. It edits every field but the ID and the three dates: the
// description, the long description, the project path (with a file dialog for ".agk" files),
// the category and the forum member (each with a lookup into its list), the IDE kind, the four
// target platforms and the forum-thread link.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kUpdateProjectsKey = "game_dock$game_dock004";

enum UpdateProjectsControl : int {
  kProjectSheet = 1,
  kProjectTab = 2,
  kDescriptionPrompt = 3,
  kDescriptionEntry = 4,
  kLongDescriptionText = 5,
  kProjectPathPrompt = 6,
  kProjectPathEntry = 7,
  kProjectPathLookup = 8,
  kCategoryPromptOfProject = 9,
  kCategoryEntryOfProject = 10,
  kCategoryLookup = 11,
  kIdeOption = 12,
  kClassicRadio = 13,
  kStudioRadio = 14,
  kWindowsExeCheck = 15,
  kAndroidCheck = 16,
  kMacOsCheck = 17,
  kHtml5Check = 18,
  kCodebyPrompt = 19,
  kThreadlinkPrompt = 20,
  kThreadlinkEntry = 21,
  kCodebyEntry = 22,
  kCodebyLookup = 23,
  kProjectOk = 24,
  kProjectCancel = 25,
};

// Adds the window resource (module 004's process start calls it).
void addUpdateProjectsResource();

// The form of the project in PRO's buffer for the request in the thread's request byte (1
// insert, 2 change, 3 delete, 6 view); answers 1 (completed) or 2 (cancelled, and always in the
// view request) in the thread's response byte.
void update_projects();

}  // namespace app
