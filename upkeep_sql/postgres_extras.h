// What only the PostgreSQL backend uses: quoted key column lists, the guard against column type
// changes the server cannot make, and the creation of the system table with its schema.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "upkeep/postgres_bytea.h"

namespace upkeep_sql {

// The text of a bytea value, which the record copy writes too (upkeep/postgres_bytea.h).
using upkeep::ds_PostGresParseBinaryString;
using upkeep::NeedsOctalEscape;
using upkeep::OctalEscape;

// The blank-separated names of `list`, each quoted, one blank apart.
std::string PostgresColumnList(std::string_view list);

// 1 (after telling the user in a message box) when changing column `fieldName` of `tableName`
// from `currentType` to `newType` is one PostgreSQL cannot make between the number, date and
// time, text and bytea families; else 0. The spare texts and the column name are not read.
std::int32_t ds_PostGresWarnForIllegalFieldChanges(std::string_view spare1, std::string_view spare2,
                                                   std::string_view newType,
                                                   std::string_view currentType,
                                                   std::string_view columnName,
                                                   std::string_view fieldName,
                                                   std::string_view tableName);

// Creates the system table that the current backend FILE names, and its schema first when it
// is not "public": 0 created, 1 the CREATE TABLE was refused.
std::int32_t CreatePOSTGRESUpkeepTable();

}  // namespace upkeep_sql
