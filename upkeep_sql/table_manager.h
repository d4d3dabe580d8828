// The SQL table manager: what happens when ds_FileOpen meets a SQL table not yet managed in
// this run. It finds out whether the table exists, creates a missing one, compares an existing
// one with its declaration and alters it when its version changed (or /goindeep asks, or the
// driver's test open reports a mismatch), writes the table's version row into the system
// table, and records the table as managed for the rest of the run. A table is recorded only
// when it was made, renamed, or compared and altered without a failure: a run that fails
// part-way leaves it unrecorded with its old version row, so the next open tries again.
#pragma once

#include <cstdint>
#include <string_view>

namespace files {
class FileDeclaration;
}

namespace upkeep_sql {

// Manages the table of `file` (driver code `code`). When the table could not be made, the
// open flags' SQLTableFailed is set: the open that asked for it must fail.
void ManageSQLTable(files::FileDeclaration& file, std::string_view code);

// Reads the live structure of the table in hand into SFDQ and SKDQ with the loader of driver
// code `code`: 0 loaded (or no loader for the backend), 1 the loader failed (reported).
std::int32_t LoadSQLStructure(std::string_view code);

}  // namespace upkeep_sql
