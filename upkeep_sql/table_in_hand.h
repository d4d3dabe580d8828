// The names of the SQL table the backends are working on, set by the SQL table manager before
// it reads, creates or compares the table.
#pragma once

#include <cstdint>
#include <string>

namespace upkeep_sql {

struct TableInHand {
  std::string SqlTableName;            // the table name used in statements
  std::string OutFileName;             // the FILE's name, shown in traces and the wait window
  std::string TableSchema;             // the table's schema, blank when the name has none
  std::string TableLabel;              // the FILE's label
  std::string LinkedServerName;        // SQL Server: the server part of the owner string
  std::string TableZone;               // SQL Server: the database of the table
  std::string SystemTableName;         // the name of the system table last opened
  std::string ServerVersion;           // the server's version class ("9", "8i" ...), for renames
  std::uint8_t FileFieldsMaster = 0;   // the declaration is master of the columns: drop extras
  std::uint8_t FileKeysMaster = 0;     // the declaration is master of the keys: drop extras
  std::uint8_t UtilitySPsChecked = 0;  // the first managed table dealt with the procedures
  std::int32_t FirebirdCharacterBytes = 0;  // Firebird: bytes per character, 0 not yet asked
};

// The process's table in hand (used under ds_FileOpen's lock).
TableInHand& tableInHand();

}  // namespace upkeep_sql
