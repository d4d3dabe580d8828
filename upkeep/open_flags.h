// Run-wide state that ds_FileOpen shares with the upgrade and the SQL table management:
// process-wide, touched only under the engine's lock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace upkeep {

struct OpenFlags {
  std::uint8_t IsSQLDriver = 0;           // the file being opened has a SQL driver code
  std::uint8_t GoInDeep = 0;              // the SQL table management compares in depth
  std::uint8_t SQLConversion = 0;         // the table was made anew; its data is to be carried
  std::uint8_t IdentityInsertNeeded = 0;  // the new table has an identity column
  std::uint8_t Error36Detected = 0;       // the open reported 36 (read by the upgrade)
  // The OWNER of the file being opened, in the one string of its driver code.
  std::string MSSFileOwner;
  std::string ORAFileOwner;
  std::string ASAFileOwner;
  std::string ODBFileOwner;
  std::string FileOwner;         // any other driver
  std::string SqlTableName;      // the table name the SQL statements use
  std::vector<std::string> IFQ;  // files opened plainly, by clipped name
  std::vector<std::string> MFQ;  // SQL tables managed in this run, by name
};

// The process-wide flags.
OpenFlags& openFlags();

// Clears them (process start and end).
void resetOpenFlags();

}  // namespace upkeep
