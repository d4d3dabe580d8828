// Creating folders.
#pragma once

#include <string_view>

namespace os {

// Creates the folder `path` and any missing folders above it. "\" and "/" both separate
// folders, and a trailing separator is allowed. Answers 0 when the folder exists afterwards
// (also when it existed before); otherwise the runtime's error number: 3 when the path is empty
// or a part of it is a file, 5 when permission is denied, 90 for any other failure.
int VUCREATEDIRECTORY(std::string_view path);

}  // namespace os
