// Names of Caskfile data: "file\!table" names a table inside a data file, a name without "\!"
// the file's default table. A file part without an extension gets the driver's default one.
#pragma once

#include <string>
#include <string_view>

namespace files {

// The driver's default file extension.
inline constexpr std::string_view kCaskExtension = ".VKF";

struct CaskName {
  std::string file;   // the data file as an operating-system path
  std::string table;  // the table inside it, case folded; empty for the default table
};

// Splits a declared name into its file and table and completes the file's name.
CaskName parseCaskName(std::string_view name);

// True when `name` names a table inside a file ("file\!table").
bool namesTable(std::string_view name);

}  // namespace files
