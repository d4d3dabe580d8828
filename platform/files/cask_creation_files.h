// The temporary files in which a data file is created ("<file>.new" and a number beside it, with
// SQLite's journal "<that>-journal" while it is written), and the removal of those that a
// creation killed half-way left behind. A creation holds an exclusive lock (flock) on its
// temporary file for as long as it works, so a removal never takes one that is still in use.
#pragma once

#include <string>

namespace files {

// Makes a new temporary file beside `osPath` for its creation and locks it. Answers its
// descriptor, to be closed once the creation is over (which gives the lock up), and sets
// `temporary` to its path; -1 with the error set (3 when the folder is missing, 5 when it may
// not be written).
int makeCreationFile(const std::string& osPath, std::string& temporary);

// Removes what killed creations of `osPath` left beside it: temporary files named as above that
// no creation holds and that hold nothing but the start of a new data file (or nothing at all),
// and the journals of such files. Never removes anything else; a file that cannot be removed is
// left.
void removeCreationLeftovers(const std::string& osPath);

}  // namespace files
