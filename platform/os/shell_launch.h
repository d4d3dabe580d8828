// Opening an address or a file with the program the desktop associates with it, with the
// results of the shell's open call.
//
// The address is never run as a program and never passed through a shell: the handler's desktop
// Exec line (registry.h) is turned into an argument vector with the address as one argument
// (desktop_exec.h) and the handler is started directly, without waiting for it.
//   - An address with a URL scheme ("http:", "mailto:", "callto:", "skype:" ...; a single letter
//     before ":" is no scheme) opens with the handler of "<scheme>\shell\open\command"; for http
//     and https without one, with the handler of the type of ".htm". An address that begins with
//     "www." is opened as "http://" followed by it.
//   - A "file:" URL (file:///path or file://localhost/path, %XX escapes decoded) is the local
//     path it names.
//   - Anything else is a local path ("\" or "/" separators), made absolute against `directory`
//     or, without one, the current folder, and opened with the handler of its type: the type of
//     its extension (".ext"), or inode/directory for a folder. An executable file is opened like
//     any other file, never executed.
#pragma once

#include <string_view>

namespace os {

// Results of shellExecute. Values above 32 are success.
enum ShellResult : int {
  ShellOutOfResources = 0,
  ShellFileNotFound = 2,
  ShellPathNotFound = 3,
  ShellAccessDenied = 5,
  ShellOutOfMemory = 8,
  ShellBadFormat = 11,
  ShellSharingViolation = 26,
  ShellAssociationIncomplete = 27,
  ShellDdeTimeout = 28,
  ShellDdeFailed = 29,
  ShellDdeBusy = 30,
  ShellNoAssociation = 31,
  ShellDllNotFound = 32,
  ShellStarted = 33,
};

// The show flag callers pass; handlers decide for themselves how they show.
constexpr int SW_SHOWNORMAL = 1;

// Opens `file` (an address or a local path, see above) with its handler. `operation` must be
// empty (the default) or "open" in any letter case; `parameters` must be empty, since they are
// for starting a program, which this never does. `showCommand` is accepted and not used.
// Answers ShellStarted when the handler has started, else:
//   ShellFileNotFound       the file is missing, `file` is empty, holds a NUL or begins with "-"
//                           (never handed on, so it cannot pass for an option), or the handler
//                           program is missing;
//   ShellPathNotFound       a folder on the way to the file or the handler, or `directory`, is
//                           missing;
//   ShellAccessDenied       no permission for the file, a handler that is not executable, or
//                           `parameters` given;
//   ShellOutOfMemory        the handler could not be started for want of memory;
//   ShellBadFormat          the handler is no program the system can start;
//   ShellAssociationIncomplete  the handler's Exec line is unusable (unclosed quote, no
//                           program, or the address as the program);
//   ShellNoAssociation      no handler for the scheme or file type, or another operation.
int shellExecute(std::string_view operation, std::string_view file, std::string_view parameters,
                 std::string_view directory, int showCommand);

}  // namespace os
