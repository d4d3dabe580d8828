// Reading a whole file and replacing a whole file so that a crash never leaves half of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace runtime {

// The largest file readWholeFile reads: 16 MiB, far above any settings, template or desktop file.
inline constexpr std::size_t kWholeFileLimit = 16u << 20;

// Reads the file at `osPath` (an operating-system path) into `content`. Answers 0, or the
// runtime's error number when it cannot (2 missing, 3 a folder on the way missing, 5 no access or
// not a regular file, such as a folder, a pipe or a device, 8 larger than kWholeFileLimit);
// `content` is then empty. Opening never waits for a writer, so a pipe cannot block the caller.
int readWholeFile(const std::string& osPath, std::string& content);

// Replaces the file at `osPath` with `content`, or creates it. The text is written to a new file
// in the same folder, flushed to the disk and renamed over the old one, so readers see the old or
// the new file, never a mix. An existing file keeps its permissions; when `osPath` is a symbolic
// link the file it points to is replaced. Answers 0, or the error number when nothing was changed
// (3 the folder is missing, 5 the folder is read-only, 90 the disk refused the write).
int replaceWholeFile(const std::string& osPath, std::string_view content);

// As replaceWholeFile, but only where no file stands at `osPath`: when one does (also one that
// appeared while the text was written) nothing is changed and the answer is 5.
int createWholeFile(const std::string& osPath, std::string_view content);

}  // namespace runtime
