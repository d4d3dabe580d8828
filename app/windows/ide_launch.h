// Starting an AGK IDE on a project: the IDE's executable with the project file as its one
// argument, started through RUN (split into an argument vector, never through a shell) and
// not waited for.
#pragma once

#include <string>
#include <string_view>

namespace app {

// The command line that starts `executable` on `project`: both in double quotes, so that
// blanks in either survive the split; backslashes and quotes in the project are escaped so
// that it comes back as the very same argument. An empty project gives an empty argument
// (""). The executable's name cannot hold a double quote; one is dropped.
std::string ideCommandLine(std::string_view executable, std::string_view project);

// Starts `executable` on `project` without waiting. The project goes out as the system names
// it ("\" read as "/"), so a path stored with "\" still names the file. The outcome is only in
// the runtime's error state (0 when it started; 2 when there is no executable).
void runIde(std::string_view executable, std::string_view project);

}  // namespace app
