// The window procedures that other windows run by name: a window's module registers its
// procedure here when the program starts, and a caller runs it through runProcedure. A
// procedure that no module has registered does nothing when run, so a menu item or button
// for a window that the program does not have yet stays harmless.
#pragma once

#include <functional>

namespace app {

enum class WindowProcedure : int {
  update_projects,
  browse_Templates,
  browse_Categories,
  browse_codeby,
  browse_functions,
  New_Project,
};

// Makes `procedure` run `body`; an empty body removes it. Call it at process start, before
// any window runs.
void setWindowProcedure(WindowProcedure procedure, std::function<void()> body);

// Runs `procedure` on the calling thread. Answers false, running nothing, when it has no body.
bool runProcedure(WindowProcedure procedure);

}  // namespace app
