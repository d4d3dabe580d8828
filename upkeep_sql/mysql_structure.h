// The live structure of a MySQL table read over ODBC: "show columns from" and "show keys
// from" turned into SFDQ and SKDQ. The calls go through the unixODBC driver manager, which
// finds the MySQL or MariaDB driver by the data source or connection text; nothing loads a
// driver library of its own.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace upkeep_sql {

// The connection parts of the table's owner (split by the SQL table manager): a data source
// name, or a whole connection text when it holds "DRIVER=", the user and the password.
struct MySqlOwnerParts {
  std::string MySQLOwnerPart1;
  std::string MySQLOwnerPart2;
  std::string MySQLOwnerPart3;
};
MySqlOwnerParts& mySqlOwnerParts();

// One answer row of a MySQL query (`MQ:MYDATA`): columns 1 to 10, each cut at 3000 bytes.
using MySqlAnswerRow = std::array<std::string, 10>;

// Loads the columns and keys of tableInHand().SqlTableName over a connection of its own.
// `windowHandle` is the parent window any driver dialog would have (none here: no dialog is
// ever asked for); `kind` the ODBCDB kind. 0 loaded; 1 when the server could not be reached
// or a query was refused, reported with M34 at level 1: the queues then do not describe the
// table and must not be compared.
std::int32_t ds_MySQLStructure(std::int32_t windowHandle, std::string_view kind);

// The text of an ODBC return code of the load in progress, for the trace: `context` and what
// the code means, with the driver's diagnostic for the failure codes. Ends the program (HALT,
// exit code 3 as every forced end) when that diagnostic cannot be read.
std::string CheckODBCResult(std::int16_t code, std::string_view context);

}  // namespace upkeep_sql
