// What the engine and its SQL backends both read off a FILE's driver and the ODBC backend kind:
// whether the driver is a SQL driver, how a file name splits into its parts, and whether the kind
// takes an empty date.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace files {
class FileDeclaration;
}

namespace upkeep {

// 1 when the FILE's driver is one of the SQL drivers ("MSSQL", "ORACLE", "SQLANYWHERE",
// "ODBC"), else 0.
std::int32_t DriverKind(const files::FileDeclaration& file);

struct FileNameParts {
  std::string drive;
  std::string folder;
  std::string extension;
  std::string base;
};
// The parts of `fileName` under the driver named `driverName`: a drive ("C:"), the folder up to
// its last "\" or "/" (one followed by "!", which names a table inside a file, does not count),
// and the rest split at its last "." into base name and extension. For a SQL driver the base is
// the whole name (dots separate schema and table there) and there is no extension.
FileNameParts nSplit(std::string_view driverName, std::string_view fileName);

// 0 for the ODBC backend kinds "POSTGRES" and "FIREBIRD" (any case, trailing blanks ignored),
// which take no empty text for a date; else 1.
std::int32_t NotFirebirdOrPostgres(std::string_view kind);

}  // namespace upkeep
