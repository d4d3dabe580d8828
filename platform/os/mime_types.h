// The MIME type of a file name extension, from the shared MIME database: the globs2 file of
// $XDG_DATA_HOME/mime and of each $XDG_DATA_DIRS folder's mime/, in that order, the first file
// that knows the extension deciding; when none does (or none is installed), /etc/mime.types.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace os {

// The MIME type of files whose names end in `extension` (".htm", with its dot); nothing when
// no database knows it. globs2 patterns match without regard to letter case unless marked "cs";
// of several matches the highest weight wins, then the longest pattern. mime.types extensions
// match without regard to letter case.
std::optional<std::string> mimeTypeOfExtension(std::string_view extension);

// The same answer from the text of one globs2 file ("weight:type:pattern[:flags]" lines).
std::optional<std::string> mimeTypeFromGlobs2(std::string_view globs2, std::string_view extension);

// The same answer from the text of one mime.types file ("type ext ext..." lines).
std::optional<std::string> mimeTypeFromMimeTypes(std::string_view mimeTypes,
                                                 std::string_view extension);

}  // namespace os
