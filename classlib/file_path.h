// The path a user knows a data file by, for messages about it.
#pragma once

#include <string>

namespace files {
class FileDeclaration;
}

namespace classlib {

// The operating-system path of `file`'s data file as it stands now: its name completed as its
// driver completes it (a Caskfile name gets ".VKF" when it has no extension; a table inside a
// file gives the file), made absolute from the current directory.
std::string filePath(const files::FileDeclaration& file);

}  // namespace classlib
