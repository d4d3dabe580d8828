// The live-table structure loaders: each asks its server's catalogue what the table in hand
// (tableInHand()) holds now and fills SFDQ with its columns and SKDQ with its keys, marking
// every column a key uses. Each answers 0 when loaded, 1 when a catalogue statement failed
// (already reported with M34 at level 1; the entries read so far stay, and the caller leaves
// the table alone rather than compare it with a partial structure).
#pragma once

#include <cstdint>

namespace upkeep_sql {

// SQL Anywhere (driver code "ASA").
std::int32_t ds_ASAStructure();
std::int32_t ds_ASALoadFieldQ();
std::int32_t ds_ASALoadKeyQ();

// Firebird (driver code "ODB", kind "FIREBIRD").
std::int32_t ds_FireBirdStructure();
std::int32_t ds_FIRLoadFieldQ();
std::int32_t ds_FIRLoadKeyQ();

// SQL Server (driver code "MSS"); the structure loader links the server between the two.
std::int32_t ds_MSSQLStructure();
std::int32_t ds_MSSLoadFieldQ();
std::int32_t ds_MSSLoadKeyQ();

// Oracle (driver code "ORA").
std::int32_t ds_OracleStructure();
std::int32_t ds_ORALoadFieldQ();
std::int32_t ds_ORALoadKeyQ();

// PostgreSQL (driver code "ODB", kind "POSTGRES"); a blank schema becomes "public".
std::int32_t ds_PostgreSQLStructure();
std::int32_t ds_PostgreSQLLoadFieldQ();
std::int32_t ds_PostgreSQLLoadKeyQ();

}  // namespace upkeep_sql
