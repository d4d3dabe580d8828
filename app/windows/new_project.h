// New_Project, the "New Project" window: the IDE kind, a description (the project's folder
// under GLO:BASEPATH), a project file name, a category and a template, all but the template
// kept in the globals between uses. "Create Project" makes the folder and its "media" folder,
// has createmainagc write main.agc, the .agk file and the projects record, and starts the
// chosen IDE on the new .agk file.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kNewProjectKey = "game_dock$game_dock003";
inline constexpr std::string_view kNewProjectLabel = "P1$WINDOW";

// The window's controls.
enum NewProjectControl : int {
  kNewProjectIdeOption = 1,
  kNewProjectClassicRadio = 2,
  kNewProjectStudioRadio = 3,
  kNewProjectDescriptionPrompt = 4,
  kNewProjectDescriptionEntry = 5,
  kNewProjectCategoryPrompt = 6,
  kNewProjectCategoryEntry = 7,
  kNewProjectCategoryLookup = 8,
  kNewProjectFileNamePrompt = 9,
  kNewProjectFileNameEntry = 10,
  kNewProjectTemplatePrompt = 11,
  kNewProjectTemplateEntry = 12,
  kNewProjectTemplateLookup = 13,
  kNewProjectCancel = 14,
  kNewProjectCreate = 15,
};

// Adds the window resource of New_Project and makes it the procedure that runs for
// WindowProcedure::New_Project (module 003's process start calls it).
void addNewProjectResource();

// Opens the "New Project" window and runs it until it closes; its response goes to the
// thread's response byte.
// Nothing of the file work is checked: a folder that cannot be made or an IDE that does not
// start goes unreported (the IDE's outcome is in the runtime's error state).
void New_Project();

}  // namespace app
