// What the backend in use allows and how it spells things: driver kinds, file-name parts, the
// case of SQL names, reserved key names, field-name and unique-key limits, descending and blob
// columns, and whether a declared type equals the type a server reports. Codes are the
// three-letter driver codes "MSS", "ORA", "ASA" and "ODB"; the server kind behind "ODB" is the
// registration option ODBCDB.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "upkeep/sql_file_rules.h"
#include "upkeep_sql/structure_queues.h"

namespace upkeep_sql {

// The rules the engine shares (upkeep/sql_file_rules.h): DriverKind, nSplit and
// NotFirebirdOrPostgres.
using upkeep::DriverKind;
using upkeep::FileNameParts;
using upkeep::NotFirebirdOrPostgres;
using upkeep::nSplit;

// How SQL names are cased: 0 upper (the start), 1 upper on a case-sensitive SQL Server, 2 upper
// (Firebird), -1 lower (PostgreSQL).
struct CaseState {
  std::int32_t CaseMode = 0;
  std::uint8_t CaseModeSet = 0;
};
CaseState& caseState();

// The ODBC backend kind as registered, in upper case and without trailing spaces ("POSTGRES",
// "MYODBC 3" ...): "Postgres" is the same kind as "POSTGRES" for every rule.
std::string ODBCDB();

// Sets CaseMode from the first backend met in the run; later calls only trace.
void SetCaseSensitivity(std::string_view code);
// Asks SQL Server whether it compares case-sensitively, through a procedure it creates.
void ds_GetServerCase();
// `name` in the case CaseMode asks for.
std::string CasedName(std::string_view name);

// 1 when `name` may be a column name; a Firebird name above 32 characters is refused (0), with
// M67 through ds_Error at level 1 when `report` is non-zero.
std::int32_t CheckFieldNameLength(std::string_view name, std::string_view code,
                                  std::int32_t report);
// 1 when `keyName` may name a key of the backend, 0 when it is a reserved word.
std::int32_t CheckForValidKeyName(std::string_view keyName, std::string_view code);
// 0 when the key named `keySqlName` may be unique on the backend, 1 when a field has a type that
// may not be in a unique key (a MySQL text), 2 when its fields add up to more than 1000 bytes.
std::int32_t ValidFieldTypesForUniqueKey(std::string_view keySqlName, std::string_view code);
// Whether the current key ("D" declared, "S" live) has a descending component: 1 or 0.
std::int32_t KeyContainsDescending(std::string_view which);
// Whether a key of `count` components numbered `numbers` (negative: descending) has components
// that all run descending. A Firebird index orders all its columns one way: it runs descending
// for such a key only, and ascending for a key that mixes directions.
bool EveryComponentDescending(std::int32_t count,
                              const std::array<std::int16_t, kMaxKeyFieldNumbers>& numbers);
// EveryComponentDescending of the current key ("D" declared, "S" live); false for another letter.
bool KeyWhollyDescending(std::string_view which);
// Whether two key definitions count as equal: always 1 with bit 0 of `force` set; otherwise
// Oracle answers KeyContainsDescending and the others 0.
std::int32_t KeyAttributesMatch(std::string_view which, std::string_view code, std::int32_t force);
// A descending key column: "name DESC", or the name alone on PostgreSQL (as given) and
// Firebird (clipped), which take no direction inside a column list.
std::string DescendingColumn(std::string_view name);
// The column type of a memo or blob (the current MDQ entry); blank for unknown backends.
std::string BlobTypeWord(std::string_view code);
// 1 when the current SFDQ column is a memo or blob column of the backend.
std::int32_t IsBlobColumn();
// 1 when the declared type word equals the server's type (its size dropped when the declared
// word has none).
std::int32_t DCTTypeMatchesSQLType(std::string_view serverType, std::string_view declaredType);

}  // namespace upkeep_sql
