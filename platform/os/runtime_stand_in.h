// Temporary stand-ins for runtime pieces that are still being built (paths, errno numbers, the
// default profile, the spawner). Each mirrors the runtime header it will be replaced by.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace os::stand_in {

// paths.h: every "\" becomes "/".
std::string toOsPath(std::string_view path);
// paths.h: the current folder as an absolute path; empty when it cannot be read.
std::string currentDirectory();
// os_error.h: 2 missing file, 3 missing folder on the way, 5 no permission, 8 no memory, else 90.
int errorFromErrno(int osError);
// ini_file.h: GETINI and PUTINI on the default profile only.
std::string GETINI(std::string_view section, std::string_view entry,
                   std::string_view defaultValue = {});
bool PUTINI(std::string_view section, std::string_view entry,
            std::optional<std::string_view> value);
// whole_file.h: reads the file at `osPath`; 0, or 2 missing, 3 folder missing, 5 no access.
int readWholeFile(const std::string& osPath, std::string& content);
// process.h: starts argv without a shell and without waiting; 0 or an error number.
int spawnDetached(const std::vector<std::string>& argv);

}  // namespace os::stand_in
