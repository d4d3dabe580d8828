// The comparison of a live table's columns (SFDQ) with the declared fields and blobs (FDQ, MDQ):
// which column belongs to which field, and the statements that bring the table in line per
// backend (renames, type, NOT NULL and autonumber changes, new columns with their defaults,
// dropped columns), with the keys of a changed column dropped before the run (DQ) and made
// again after it (AQ). Nothing is sent here: every statement is queued for RunSQLScripts.
#pragma once

#include <cstdint>
#include <string_view>

namespace upkeep_sql {

// Pairs the declared fields and blobs with the live columns of the table in hand on driver
// code `code` and queues the statements in SQ, DQ and AQ, moving the wait window's progress.
// Answers the number of changes it could not queue: a change a server guard refused (the user
// has been told) or a column kept because it still holds data. The table then does not match
// its declaration and must not be recorded as managed.
std::int32_t CompareFields(std::string_view code);

// For the current SFDQ column: queues in DQ the drop of every live key that contains it (once
// per key) and in AQ its re-creation, from the declared key of that name, else from the live
// definition unless the declaration is master of the file's keys.
void HandleDependancies(std::string_view code);

}  // namespace upkeep_sql
