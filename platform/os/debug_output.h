// The debug sink: where trace lines go in place of a debugger's output window.
//
// Lines go to standard error, or, when the environment variable GAME_DOCK_DEBUG_LOG names a
// file, are appended to that file (created when missing; standard error again when it cannot be
// opened). A sink set with setDebugSink takes precedence over both. Any thread may write; each
// line is handed on whole and lines never interleave.
#pragma once

#include <functional>
#include <string_view>

namespace os {

// Writes `text` as one line to the debug sink. The text ends at its first NUL, as a C string
// would; a line break is added, and line breaks inside the text are kept.
void outputDebugString(std::string_view text);

// Receives each line written by outputDebugString, without the added line break. Calls are
// serialised: it is never called by two threads at once, and it must not write debug lines
// itself.
using DebugSink = std::function<void(std::string_view line)>;

// Makes `sink` the debug sink (an empty one restores standard error or the log file) and
// answers the previous one, so a test can put it back.
DebugSink setDebugSink(DebugSink sink);

}  // namespace os
