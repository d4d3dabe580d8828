// A SQL table created from the declaration read into the thread's FDQ, KDQ and MDQ: the SQL
// names of its fields, blobs and keys, then the CREATE TABLE with its columns, defaults,
// autonumber column and inline primary key, followed by the key statements, all run through
// RunSQLScripts.
#pragma once

#include <cstdint>
#include <string_view>

namespace upkeep_sql {

// Gives every FDQ, MDQ and KDQ entry its SQL name for driver code `code`. An external name in
// double quotes is taken between them; "Name|READONLY", "Name|CHECKFORNULL" and "Name|BINARY"
// name the column Name (BINARY also forces a binary type). A key without an external name on a
// server whose key names are unique per schema (SQL Server, Oracle, Firebird, PostgreSQL) is
// named after its table as well ("projects_P_ID"), so that two tables' keys never collide.
void ds_SetSQLNames(std::string_view code);

// Builds and runs the statements that create the table in hand on driver code `code`: 0 when
// they ran, 1 when RunSQLScripts reported a failure (the table must then not be taken as made).
std::int32_t ds_CreateSQLTable(std::string_view code);

}  // namespace upkeep_sql
