// createmainagc, the "Create Main.agc" window: a progress bar alone, shown while the file work
// of a new project is done as the window opens. It writes main.agc (GLO:MAINAGCFILE) from a
// comment header and the lines of the chosen template's line file, copies the IDE's project
// definition file (templates/classic.def or templates/studio.def of the current directory) to
// the project's .agk file, sets GLO:PROJECT to that file, inserts the project into the projects
// file, and closes itself.
//
// A template line file is INI text with one section "template": "total" the number of lines,
// "1" ... "total" the lines (a missing one is an empty line).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kCreateMainAgcKey = "game_dock$game_dock007";
inline constexpr std::string_view kCreateMainAgcLabel = "P1$WINDOW";
inline constexpr int kCreateMainAgcProgress = 1;

// Adds the window resource of createmainagc (module 007's process start calls it).
void addCreateMainAgcResource();

// The .agk file of the new project: GLO:PROJECTNAME with ".agk" in the project's folder.
std::string newProjectFile();

// Does the file work of a new project of IDE kind `ideKind` ("Classic" copies classic.def, any
// other kind studio.def) from template `templateId` (TPL:ID; 0: none, and main.agc gets no
// line). Appends to a main.agc that exists already. The writes are not checked, except the
// insert, whose failure the projects file manager reports. On return GLO:PROJECT is the .agk
// file; the window's response is in the thread's response byte.
void createmainagc(std::int32_t templateId, std::string_view ideKind);

}  // namespace app
