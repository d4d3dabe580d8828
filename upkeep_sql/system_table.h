// The system table UpkeepSQLFile of a managed database, reached through the current backend
// FILE (the FILE registered for the backend, declared with the SqlRowBuffer row): opened,
// created per backend when it is missing, and its version row written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace upkeep_sql {

// Opens the system table for backend `code` ("MSS", "ORA", "ASA", "ODB"); `unused` is not
// read. 0 open; 1 the table in hand is outside the manageable zone, or creating or opening the
// table failed; 2 the backend has no way to create it. On MySQL the system table takes the
// database part of the table in hand ("shop.orders" and "upkeepsys" give "shop.upkeepsys"); a
// name without one ends the program.
std::int32_t OpenUpkeepSQLFile(std::int32_t unused, std::string_view code);

// Creates (and opens) the system table: 0 done, 1 failed, 2 no rule for the code or ODBC kind.
std::int32_t CreateUpkeepSQLFile(std::string_view code);

// The CREATE TABLE of the system table on MySQL and on Firebird: 0 created, 1 refused.
std::int32_t CreateMySQLUpkeepTable();
std::int32_t CreateFireBirdUpkeepTable();

// A table name as the system table's statements write it: each part of "schema.table" bare
// when it is a plain identifier, else quoted for backend `code`.
std::string systemTableReference(std::string_view code, std::string_view name);

// Writes the declared version of the registered file with record prefix `prefix` (IVQ) into
// its row of the system table, inserting the row when there is none, with the server's clock
// as the time of the write. Failures are traced only (M23 no such prefix, M24 insert, M25
// update).
void updategsqlfile(std::string_view prefix, std::string_view code);

}  // namespace upkeep_sql
