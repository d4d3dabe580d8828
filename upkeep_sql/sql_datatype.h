// The SQL type of a declared field on each backend: GetSQLDatatype with its length thresholds,
// forced types, PostgreSQL serial columns and the date-time column that replaces a STRING(8)
// laid over a DATE and a TIME.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace upkeep_sql {

// The type word of the field `label` (cased prefix ":" name) declared as `type` (an FDQ TYPE:
// "cstring(20)", "decimal(7,2)", "long" ...) on driver code `code`, the field standing at
// 1-based `position` of the thread's FDQ. Blank when the field gets no column type (a GROUP,
// a type the backend lacks); an unknown type reports M27 at level 0. Sets or clears
// GroupDetected and DateTimeGroupDetected (column_tables.h) unless a forced or serial type
// answers.
std::string GetSQLDatatype(std::string_view label, std::string_view type, std::string_view code,
                           std::int32_t position);

// 1 when the STRING of length `length` at 1-based `position` of FDQ is followed by a GROUP of
// a DATE and a TIME: adds the DTQ entry and marks the three fields matched. Else 0. FDQ's
// current entry is the STRING again afterwards.
std::int32_t AddToDateTimeQ(std::string_view length, std::int32_t position);

// Forces the column type of field `label` to `type` (cut to 100 characters). A type ending in
// " - no replacing" keeps an earlier forced type and only sets whether it is binary.
void ds_ForceSQLDataType(std::string_view type, std::string_view label);
// 1 when the field labelled `label` ("PRE:NAME") was given a binary SQL type by
// ds_ForceSQLDataType (its FSDQ entry's ISBINARY), else 0.
std::uint8_t CheckIfbinary(std::string_view label);

}  // namespace upkeep_sql
