// The names of the SQL table the backends are working on, set by the SQL table manager before
// it reads, creates or compares the table.
#pragma once

#include <string>

namespace upkeep_sql {

struct TableInHand {
  std::string SqlTableName;      // the table name used in statements
  std::string OutFileName;       // the FILE's name, shown in traces and the wait window
  std::string TableSchema;       // the table's schema, blank when the name has none
  std::string TableLabel;        // the FILE's label
  std::string LinkedServerName;  // SQL Server: the server part of the owner string
  std::string TableZone;         // SQL Server: the database of the table
  std::string SystemTableName;   // the name of the system table last opened
};

// The process's table in hand (used under ds_FileOpen's lock).
TableInHand& tableInHand();

}  // namespace upkeep_sql
