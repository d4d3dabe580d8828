// GETINI and PUTINI: entries of INI profile files, and the default profile.
//
// The file rules are those of IniDocument (ini_document.h): names compared without regard to
// letter case, values without surrounding blanks or double quotes, comments and every untouched
// line kept as they are. A file name may use "\" or "/" as separators; a relative name is taken
// from the current directory. An empty file name means the default profile: the file named by
// the environment variable GAME_DOCK_PROFILE when it is set, otherwise
// $XDG_CONFIG_HOME/game_dock/default-profile.ini (~/.config when XDG_CONFIG_HOME is unset).
//
// Every call locks one process-wide lock, so threads may share files. A write replaces the file
// at once (whole_file.h), so a crash or a reader in another process never sees half a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// The operating-system path of the default profile, as described above.
std::string defaultProfilePath();

// The value of `entry` in `section` of `file`, or `defaultValue` when the file, the section or
// the entry is missing. An entry that is present but empty answers an empty text. Error state:
// 0 when the file was read, 2 when it is missing, 5 when it cannot be read.
std::string GETINI(std::string_view section, std::string_view entry,
                   std::string_view defaultValue = {}, std::string_view file = {});

// Writes `value` as `entry` of `section` in `file`, replacing the entry where it stands or adding
// it (and the section, and the file) when missing. With no value (std::nullopt) the entry is
// removed; removing from a missing file or section changes nothing and succeeds. A value with
// surrounding blanks, or in double quotes, is stored in quotes so that GETINI answers it as it
// was. Answers true and clears the error state on success. Answers false with the error state set
// when nothing was written: 3 the folder is missing, 5 the file or its folder is read-only,
// 90 the disk refused the write or a name or value cannot be stored (a line break in any of them,
// "=" in the entry name, "]" in the section name; IniDocument::canStore). The default profile's
// folder is created when missing.
bool PUTINI(std::string_view section, std::string_view entry, std::optional<std::string_view> value,
            std::string_view file = {});

// The section names of `file` in file order, each once; empty when the file is missing (error
// state as GETINI).
std::vector<std::string> iniSections(std::string_view file = {});

// The entry names of `section` in `file` in file order, each once; empty when the file or the
// section is missing (error state as GETINI).
std::vector<std::string> iniEntries(std::string_view section, std::string_view file = {});

}  // namespace runtime
