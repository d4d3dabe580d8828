// The version check of the SQL files a program registers: each file's version as the system
// table UpkeepSQLFile holds it, compared at start-up with the version the program declares.
// VCQ tells the SQL table manager which tables to compare in full; IVQ keeps the declared
// versions it writes back; ManageableZone is the database the system table lives in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace files {
class FileDeclaration;
}

namespace upkeep_sql {

// One registered SQL file's version change (`VCQ`).
struct VcqEntry {
  std::string FILE;             // the file's clipped NAME
  std::int32_t OLDVERSION = 0;  // the stored version, when a row was found
  std::int32_t NEWVERSION = 0;  // the declared version (unset outside the manageable zone)
  std::uint8_t GOINDEEP = 0;    // 1: compare the table in full with its declaration
};

// One registered SQL file's declared version (`IVQ`).
struct IvqEntry {
  std::string FILENAME;  // the file's clipped NAME
  std::string PREFIX;    // upper case
  std::int32_t VERSION = 0;
};

struct VersionTracking {
  std::vector<VcqEntry> VCQ;
  std::vector<IvqEntry> IVQ;
  std::string ManageableZone;
  // The NAME the backend's FILE had when a file of that backend was last registered.
  std::string MSSSystemTableName;
  std::string ORASystemTableName;
  std::string ODBSystemTableName;
  std::string ASASystemTableName;
};

// The process's version tracking (filled at start-up, read under ds_FileOpen's lock).
VersionTracking& versionTracking();

// The system table name kept for backend `code`; a blank text for any other code.
std::string& keptSystemTableName(std::string_view code);

// The manageable zone that the owner string `owner` of backend `code` names: MSS the database
// (between the first and second comma), ORA "NULL", ASA the text before the first comma, ODB
// the DATABASE= or DBNAME= value, else the text before a comma, else "NULL". `current` for
// any other code.
std::string ComputeManageableZone(std::string_view code, std::string_view owner,
                                  std::string_view current);

// The system-table check of `file` at its registration (does nothing for a file whose driver
// is not a SQL driver): adds its VCQ and IVQ entries, creating the system table when it is
// missing. A database holding a newer version than `version` ends the program unless the
// command line holds /downgrade and the user goes on.
void LoadVersionInfoQueues(files::FileDeclaration& file, std::int16_t version,
                           std::string_view prefix, std::string_view label);

}  // namespace upkeep_sql
