// Dates of a file as the project list shows them.
#pragma once

#include <string_view>

namespace os {

// Which date VUFILEDATE answers.
enum FileDateSelector : int {
  FileCreated = 1,
  FileLastWritten = 2,
  FileLastAccessed = 3,
};

// The date of `file` chosen by `selector` as the number yyyymmdd in local time, e.g. 20240131.
// The creation date is the file's birth time where the file system records one; where it does
// not, it is the time of the last status change (which is never earlier than the birth).
// `file` may use "\" or "/" as separators; a symbolic link answers for the file it points to.
// Answers 0 when the file is missing or cannot be examined, or the selector is not 1, 2 or 3.
int VUFILEDATE(std::string_view file, int selector);

}  // namespace os
