// The registration tables: what the program told the engine at start-up, process-wide, filled
// only by the registration calls (registration.h) and read by the rest of the engine under
// ds_FileOpen's lock. Texts are kept clipped (no trailing spaces); codes, prefixes and names
// in the letter case the tables' rules give them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_declaration.h"

namespace upkeep {

// One registered driver (`DR`), searched from the first entry.
struct DriverEntry {
  std::string NAME;  // the code as registered, at most 3 characters, case kept ("Vkf")
  files::Driver PTR = files::Driver::Caskfile;  // the runtime driver of the FILE registered
};

// One managed file (`UF`), kept in order of PREFIX.
struct UsingFileEntry {
  std::string PREFIX;  // upper case, at most 20 characters
  std::int32_t VERSION = 0;
  std::string LABEL;  // as the program gave it, at most 40 characters
  files::FileDeclaration* PTR = nullptr;
};

// One file without an old data-file search (`IGD`), kept in order of NAME.
struct IgnoreEntry {
  std::string NAME;         // upper case, at most 40 characters: a file label or "ALLFILES"
  std::int32_t DRIVER = 0;  // bit 0: no search for an old data-file source
};

// One alternate field name (`AFNS`), in call order.
struct AlternateFieldName {
  std::string DESTNAME1;  // the new field label with its prefix, upper case ("FUN:EXAMPLECODE")
  std::string SRCNAME2;   // the old field name, upper case ("EXAMPLECODE")
};

// One real or unreal field (`RFQ`), in call order.
struct RealFieldEntry {
  std::string NAME;   // upper case, at most 40 characters
  std::string VALUE;  // "REALFIELD" or "UNREALFIELD"
};

// The FILE through which a SQL backend's statements go (`SqlDriverSlot`, `CurrentSqlDriver`).
struct SqlDriverSlot {
  files::FileDeclaration* file = nullptr;
  std::byte* record = nullptr;
  std::int32_t recordSize = 0;
};

// The option values (`UpgradeOptions`), set by ds_SetOption.
struct UpgradeOptions {
  std::uint8_t backup = 0;           // "backup": copy rather than rename the old file
  std::uint8_t badFile = 1;          // "badfile", "usebadfile": only 1 writes the BadFile marker
  std::uint8_t spCreate = 0;         // "spcreate": create the SQL utility procedures
  std::uint8_t zeroNullCopy = 0;     // "zeronull": read by the record copy
  std::uint8_t zeroNullConvert = 0;  // "zeronull": read by the field conversions
  std::uint8_t blankZero = 0;        // "blankzero": SQL column defaults
  std::string mysqlType;             // "mysqltype": upper case, at most 6 characters
  std::uint8_t dctMasterFields = 0;  // "dctmasterfields": 1 whatever the value
  std::uint8_t dctMasterKeys = 0;    // "dctmasterkeys": 1 whatever the value
  std::string remoteMachineName;     // "remotemachinename": clipped, at most 255 characters
  std::string ODBCDB;  // "odbcdb": the server kind behind the ODBC driver ("POSTGRES",
                       // "MYODBC 3", "FIREBIRD" ...), clipped, at most 50 characters
};

// The SQL driver codes, each with its backend slot.
inline constexpr std::string_view kSqlDriverCodes[] = {"MSS", "ORA", "ASA", "ODB"};

struct RegistrationTables {
  std::vector<DriverEntry> DR;
  std::vector<UsingFileEntry> UF;
  std::vector<IgnoreEntry> IGD;
  std::vector<AlternateFieldName> AFNS;
  std::vector<RealFieldEntry> RFQ;
  SqlDriverSlot sqlDriverSlots[4];  // in the order of kSqlDriverCodes
  SqlDriverSlot CurrentSqlDriver;
  std::uint8_t CorvidDriverRegistered = 0;  // "COR" registered: old .DAT files are searched
  UpgradeOptions options;
};

// The process-wide tables.
RegistrationTables& registration();

// Empties every table and puts the options back to their start values (process start and end).
void resetRegistrationTables();

// True when `code` (compared in upper case) is one of the SQL driver codes.
bool isSqlDriverCode(std::string_view code);

// The backend slot of a SQL driver code (compared in upper case); nullptr for any other code.
SqlDriverSlot* sqlDriverSlot(std::string_view code);

// The `UF` entry of `prefix` (compared in upper case); nullptr when the prefix is not managed.
const UsingFileEntry* usingFileEntry(std::string_view prefix);

}  // namespace upkeep
