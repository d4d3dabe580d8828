// The desktop's default application for a MIME type, from the mimeapps.list files and the
// desktop entries they name.
//
// mimeapps.list files are read from $XDG_CONFIG_HOME, each $XDG_CONFIG_DIRS folder,
// $XDG_DATA_HOME/applications and each $XDG_DATA_DIRS/applications, in that order. The entries
// of [Default Applications] in all of them come first, then those of [Added Associations]; each
// is a ";"-separated list of desktop file names. A desktop file is looked for in
// $XDG_DATA_HOME/applications, then each $XDG_DATA_DIRS/applications; the first one found counts,
// and it serves when its [Desktop Entry] group has an Exec line, no Hidden=true and a Type that
// is absent or Application. Otherwise the next name is tried.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace os {

// The (unescaped) Exec line of the default application for `mimeType` ("text/html",
// "x-scheme-handler/mailto"); nothing when no installed application is associated with it.
std::optional<std::string> defaultApplicationExec(std::string_view mimeType);

}  // namespace os
