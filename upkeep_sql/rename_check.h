// The rename of an old SQL table to the name of the table in hand, when the program's list of
// old file names says the table had another name before.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace upkeep_sql {

// Looks for the table in hand (OutFileName, else TableLabel) in the old-file-name list OFN by
// its new name and renames the first old table found: 0 renamed, 1 the rename failed (or the
// backend is Firebird, which has none), 2 no old name is recorded for the table.
std::int32_t ds_RenameCheck(std::string_view code);

// The statement that renames table `oldName` to `newName` on backend `code` (for "ODB" by the
// ODBC kind); blank where none is known (Firebird, other kinds and codes).
std::string renameTableStatement(std::string_view code, std::string_view oldName,
                                 std::string_view newName);

}  // namespace upkeep_sql
