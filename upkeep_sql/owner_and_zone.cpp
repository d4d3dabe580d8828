#include "upkeep_sql/owner_and_zone.h"

#include "platform/runtime/text.h"
#include "upkeep_sql/mysql_structure.h"

namespace upkeep_sql {
namespace {

// The text after `keyword` up to the next semicolon, or nothing when `keyword` is absent.
bool valueAfter(const std::string& owner, std::string_view keyword, std::string& value) {
  const std::size_t at = owner.find(keyword);
  if (at == std::string::npos) return false;
  const std::size_t start = at + keyword.size();
  value = owner.substr(start, owner.find(';', start) - start);
  return true;
}

std::string beforeFirstComma(const std::string& owner) { return owner.substr(0, owner.find(',')); }

// DATABASE= up to the next semicolon; else the text before the first comma; else "NULL": a
// connection that names no database is in every zone, as the system table's zone reads it.
std::string databaseZone(const std::string& owner) {
  std::string zone;
  if (valueAfter(owner, "DATABASE=", zone)) return zone;
  return owner.find(',') == std::string::npos ? "NULL" : beforeFirstComma(owner);
}

}  // namespace

OwnerZone ownerZone(std::string_view code, std::string_view kind, std::string_view owner) {
  const std::string text = runtime::CLIP(owner);
  const std::string upperCode = runtime::UPPER(runtime::CLIP(code));
  OwnerZone zone{.code = upperCode};
  if (upperCode == "MSS") {
    const std::size_t first = text.find(',');
    zone.LinkedServerName = beforeFirstComma(text);
    if (first == std::string::npos) {
      zone.TableZone = text;
    } else {
      const std::size_t second = text.find(',', first + 1);
      zone.TableZone =
          text.substr(first + 1, second == std::string::npos ? second : second - first - 1);
    }
  } else if (upperCode == "ORA") {
    zone.TableZone = "NULL";
  } else if (upperCode == "ASA") {
    zone.TableZone = beforeFirstComma(text);
  } else if (upperCode == "ODB") {
    const std::string odbc = runtime::CLIP(kind);
    if (odbc == "MYODBC 2" || odbc == "MYODBC 3") {
      zone.changesServer = false;
      zone.TableZone = "NULL";
    } else if (odbc == "MSSQL") {
      zone.TableZone = databaseZone(text);
      zone.code = "MSS";
    } else if (odbc == "ORACLE") {
      zone.TableZone = "NULL";
      zone.code = "ORA";
    } else if (odbc == "FIREBIRD") {
      if (!valueAfter(text, "DBNAME=", zone.TableZone))
        zone.TableZone = text.find(',') != std::string::npos ? beforeFirstComma(text) : "NULL";
    } else if (odbc == "ASA") {
      zone.changesServer = false;
      zone.TableZone = databaseZone(text);
      zone.code = "ASA";
    } else if (odbc == "POSTGRES") {
      zone.changesServer = false;
      zone.TableZone = databaseZone(text);
    } else {
      zone.changesServer = false;
      zone.changesZone = false;
    }
  } else {
    zone.changesServer = false;
    zone.changesZone = false;
  }
  return zone;
}

void SplitMySQLOwner(std::string_view owner) {
  const std::string text(owner);
  MySqlOwnerParts& parts = mySqlOwnerParts();
  const std::size_t first = text.find(',');
  if (first == std::string::npos) {
    parts = {text, {}, {}};
    return;
  }
  if (first == 0) return;
  parts.MySQLOwnerPart1 = text.substr(0, first);
  const std::size_t second = text.find(',', first + 1);
  if (second == first + 1) return;
  if (second == std::string::npos) {
    parts.MySQLOwnerPart3.clear();
    parts.MySQLOwnerPart2 = runtime::CLIP(text.substr(first + 1));
    return;
  }
  parts.MySQLOwnerPart2 = text.substr(first + 1, second - first - 1);
  parts.MySQLOwnerPart3 = runtime::CLIP(text.substr(second + 1));
}

}  // namespace upkeep_sql
