#include "upkeep/sql_file_rules.h"

#include "platform/files/file_declaration.h"
#include "platform/runtime/text.h"

namespace upkeep {
namespace {

bool isSqlDriverName(std::string_view driverName) {
  const std::string name = runtime::UPPER(runtime::CLIP(driverName));
  return name == "MSSQL" || name == "ORACLE" || name == "SQLANYWHERE" || name == "ODBC";
}

bool isFolderSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::int32_t DriverKind(const files::FileDeclaration& file) {
  return files::isSqlDriver(file.driver()) ? 1 : 0;
}

FileNameParts nSplit(std::string_view driverName, std::string_view fileName) {
  const std::string name = runtime::CLIP(fileName);
  FileNameParts parts;
  std::size_t scan = 0;  // 0-based start of the part after the drive
  if (name.size() >= 2 && name[1] == ':') {
    parts.drive = name.substr(0, 2);
    scan = 2;
  }
  std::size_t rest = scan;
  for (std::size_t i = name.size(); i > scan; --i) {
    const std::size_t at = i - 1;
    if (!isFolderSeparator(name[at])) continue;
    if (at + 1 < name.size() && name[at + 1] == '!') continue;
    parts.folder = name.substr(scan, at + 1 - scan);
    rest = at + 1;
    break;
  }
  if (isSqlDriverName(driverName)) {
    parts.base = name;
    return parts;
  }
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot >= rest) {
    parts.base = name.substr(rest, dot - rest);
    parts.extension = name.substr(dot);
  } else {
    parts.base = name.substr(rest);
  }
  return parts;
}

std::int32_t NotFirebirdOrPostgres(std::string_view kind) {
  const std::string upper = runtime::UPPER(runtime::CLIP(kind));
  return upper == "POSTGRES" || upper == "FIREBIRD" ? 0 : 1;
}

}  // namespace upkeep
