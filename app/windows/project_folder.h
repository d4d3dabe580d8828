// Where a new project goes: one folder under the projects base path, named by the project's
// description. Its paths are built with "/", so the main.agc and .agk paths that are stored,
// shown and handed to the IDE name files the system can open.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Why `name` cannot name one folder or file inside another, as a sentence that starts with
// `what` (such as "The description"); empty when it can. A name is refused when it is blank,
// holds a folder separator ("/" or "\") or is "." or "..".
std::string folderNameProblem(std::string_view name, std::string_view what);

// The new project's folder: GLO:BASEPATH and GLO:DESCRIPTION joined by one "/".
std::string projectFolder();

// `name` inside the new project's folder.
std::string inProjectFolder(std::string_view name);

}  // namespace app
