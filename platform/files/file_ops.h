// REMOVE, RENAME and COPY of whole files, on names and for the drivers. A file that another
// open holds (share_lock.h) is not removed, renamed or copied over (5); a target that exists
// is never replaced (5); a copy or move is built under a temporary name and put in place only
// when complete. A rollback journal beside a data file goes with it: an interrupted write is
// rolled back before the file is renamed or copied, and the journal is removed with the file.
#pragma once

#include <string>
#include <string_view>

namespace files {

// The name forms of REMOVE, RENAME and COPY: "file\!table" names a table of a Caskfile data
// file (as the FILE forms of cask_file_ops.h), any other name a file as it is named. Answer 0
// or the error number (set): 2 a missing file, 3 a missing folder, 5 a file in use, an
// existing target or no permission, 90 another failure.
int removeNamedFile(std::string_view name);
int renameNamedFile(std::string_view name, std::string_view target);
int copyNamedFile(std::string_view name, std::string_view target);

// Puts the whole file `name` in the place of `target` with one rename, which needs no room on
// the disk, replacing the file that stands there (none needs to); the replaced file's rollback
// journal is removed first, as it would be taken for one of the file put there. Neither name may
// name a table. Answers 0, or 2 when `name` is missing, 5 when another open holds either file,
// 90 another failure (set).
int replaceNamedFile(std::string_view name, std::string_view target);

// The same on operating-system paths, for callers that already hold the source's share lock
// (exclusively for removing and moving, for reading for copying); `sourceFd` is the lock's
// descriptor, through which the source is read (closing another descriptor of the file would
// drop SQLite's locks of this process on it).
int unlinkDataFile(const std::string& osPath);
int moveFile(const std::string& from, const std::string& to, int sourceFd);
int copyFileContents(const std::string& from, const std::string& to, int sourceFd);

// Makes the file at `osPath` an empty file: a new one when it is missing, an existing one
// emptied (5 when another open holds it). Answers 0, or 3, 5 or 90 (set).
int createEmptyFile(const std::string& osPath);

}  // namespace files
