// What the owner string (the connection) of a managed SQL table says about where the table
// lives: the linked server and the database ("zone") compared with the system table's
// manageable zone, the driver code an ODBC connection to a native backend is treated as, and
// the three parts of a MySQL owner.
#pragma once

#include <string>
#include <string_view>

namespace upkeep_sql {

struct OwnerZone {
  std::string LinkedServerName = {};  // unchanged when `changesServer` is false
  std::string TableZone = {};         // unchanged when `changesZone` is false
  std::string code = {};              // the driver code for the rest of the management
  bool changesServer = true;
  bool changesZone = true;
};

// The zone of `owner` for driver code `code` and ODBC backend kind `kind`.
OwnerZone ownerZone(std::string_view code, std::string_view kind, std::string_view owner);

// Splits a MySQL owner "dsn,user,password" into mySqlOwnerParts(). A leading comma changes
// nothing; an empty second part keeps parts 2 and 3.
void SplitMySQLOwner(std::string_view owner);

}  // namespace upkeep_sql
