// File names at the boundary between the runtime and the operating system. The runtime accepts
// both "\" and "/" as folder separators (".\x" is "x" in the current directory) and converts a
// name only where it is handed to the system. Drive letters ("C:\x") have no meaning here: such
// a name is converted like any other and names a relative path beginning with "C:".
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// `path` as the operating system reads it: every "\" becomes "/" (so ".\x" becomes "./x").
std::string toOsPath(std::string_view path);

// The short form of `path`. Linux names have no short form, so this is the path itself; an empty
// path stands for the current directory and answers it as an absolute path.
std::string SHORTPATH(std::string_view path);

// The process's current directory as an absolute path; empty (error 3) when it cannot be read,
// for example after the folder was removed.
std::string currentDirectory();

// Makes `path` the process's current directory. Answers false and sets the error state when it
// cannot (3 a missing folder, 5 access denied); clears it on success. The current directory belongs
// to the whole process, not to the calling thread.
bool setCurrentDirectory(std::string_view path);

}  // namespace runtime
