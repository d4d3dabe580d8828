#include "upkeep_sql/version_tracking.h"

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/file_property.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "upkeep/open_flags.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/owner_mask.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/system_table.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kOlderStructures =
    " Upkeep detects that this application possibly contains older file structures than the "
    "current backend version. File involved: ";

// The backend code of a driver name: its first three letters, "SQL" (SQLANYWHERE) read "ASA".
std::string codeOfDriverName(std::string_view driverName) {
  const std::string code = runtime::SUB(driverName, 1, 3);
  return code == "SQL" ? "ASA" : code;
}

// The backend slot of `file`'s driver; nullptr for a driver that is not a SQL driver.
upkeep::SqlDriverSlot* SelectBackendForFile(files::FileDeclaration& file) {
  const std::string driver = runtime::UPPER(files::driverName(file.driver()));
  if (driver == "SQLANYWHERE") traceDeveloper("SQLANYWHERE detected...");
  if (driver == "MSSQL") return upkeep::sqlDriverSlot("MSS");
  if (driver == "ORACLE") return upkeep::sqlDriverSlot("ORA");
  if (driver == "SQLANYWHERE") return upkeep::sqlDriverSlot("ASA");
  if (driver == "ODBC") return upkeep::sqlDriverSlot("ODB");
  return nullptr;
}

// The part of `text` from `start` up to, not including, the first ";" after it.
std::string upToSemicolon(const std::string& text, std::size_t start) {
  const std::size_t end = text.find(';', start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The stored version against the declared one: whether to compare the table in full. A newer
// stored version ends the program, unless /downgrade is given and the user goes on.
std::uint8_t compareVersions(std::int32_t stored, std::int32_t declared,
                             const std::string& fileName) {
  if (stored == declared) return 0;
  if (stored < declared) return 1;
  if (!runtime::COMMAND("/downgrade").empty()) {
    const std::string warning = runtime::SUB(
        "WARNING:" + std::string(kOlderStructures) + fileName + std::string(kCrLf) +
            std::string(kCrLf) + "To END PROGRAM NOW and upgrade your program, click ABORT!" +
            std::string(kCrLf) + "To continue DOWNGRADING this file, click IGNORE.",
        1, 2000);
    traceDetail(warning);
    runtime::STOP(warning);
    return 1;
  }
  const std::string error =
      "ERROR:" + std::string(kOlderStructures) + fileName + std::string(kCrLf) +
      "Please upgrade your program, or contact your program supplier." + std::string(kCrLf) +
      std::string(kCrLf) + "Click OK to end the program!";
  traceDetail(error);
  runtime::MESSAGE(error, {}, {}, runtime::ButtonOk);
  runtime::HALT(kUpkeepErrorExitCode);
}

// Reads the version row of `name` from the system table; true when one came.
bool readVersionRow(std::string_view code, const std::string& systemName, const std::string& name) {
  ExecuteStatement("Select * from " + systemTableReference(code, systemName) +
                       " where DS_FIELD1 = " + quotedLiteral(code, name),
                   0);
  files::FileDeclaration& backend = *upkeep::registration().CurrentSqlDriver.file;
  files::NEXT(backend);
  if (runtime::ERRORCODE() != 0) return false;
  copyBackendRecord();
  return true;
}

void RecordVersionChange(std::string_view code, const std::string& systemName,
                         const std::string& fileName, const std::string& label,
                         std::int16_t version) {
  VcqEntry entry;
  entry.FILE = fileName;
  entry.NEWVERSION = version;
  // The row may stand under the file's name or under its label.
  if (readVersionRow(code, systemName, fileName) || readVersionRow(code, systemName, label)) {
    entry.OLDVERSION = static_cast<std::int32_t>(runtime::textToLong(rowColumn(3)));
    entry.GOINDEEP = compareVersions(entry.OLDVERSION, version, fileName);
  } else {
    entry.GOINDEEP = 1;
  }
  versionTracking().VCQ.push_back(entry);
  traceInOut("Added file to VCQ: " + entry.FILE + " old: " + std::to_string(entry.OLDVERSION) +
             " new: " + std::to_string(entry.NEWVERSION) +
             " goindeep: " + std::to_string(entry.GOINDEEP));
}

void RecordUnmanagedFile(files::FileDeclaration& file, const std::string& backendCode,
                         const std::string& fileDriver) {
  VcqEntry entry;
  entry.FILE = runtime::CLIP(files::getProperty(file, files::PropName));
  entry.GOINDEEP = 0;
  versionTracking().VCQ.push_back(entry);
  traceInOut("Added non manageable file to VCQ: " + entry.FILE +
             " goindeep: 0 upkeep: " + backendCode + " dr: " + fileDriver);
}

}  // namespace

VersionTracking& versionTracking() {
  static VersionTracking tracking;
  return tracking;
}

std::string& keptSystemTableName(std::string_view code) {
  VersionTracking& t = versionTracking();
  if (code == "MSS") return t.MSSSystemTableName;
  if (code == "ORA") return t.ORASystemTableName;
  if (code == "ODB") return t.ODBSystemTableName;
  if (code == "ASA") return t.ASASystemTableName;
  static std::string none;
  none.clear();
  return none;
}

std::string ComputeManageableZone(std::string_view code, std::string_view owner,
                                  std::string_view current) {
  const std::string o(owner);
  const std::size_t comma = o.find(',');
  if (code == "MSS") {
    if (comma == std::string::npos) return o;
    const std::size_t next = o.find(',', comma + 1);
    return o.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
  }
  if (code == "ORA") return "NULL";
  if (code == "ASA") return o.substr(0, comma);
  if (code == "ODB") {
    if (const std::size_t at = o.find("DATABASE="); at != std::string::npos) {
      traceDeveloper("ODB DATABASE=? " + std::to_string(at + 1));
      return upToSemicolon(o, at + 9);
    }
    if (const std::size_t at = o.find("DBNAME="); at != std::string::npos) {
      traceDeveloper("ODB DBNAME=? " + std::to_string(at + 1));
      return upToSemicolon(o, at + 7);
    }
    if (comma != std::string::npos) {
      traceDeveloper("ODB ,? " + std::to_string(comma + 1));
      return o.substr(0, comma);
    }
    return "NULL";
  }
  return std::string(current);
}

void LoadVersionInfoQueues(files::FileDeclaration& file, std::int16_t version,
                           std::string_view prefix, std::string_view label) {
  traceInOut("LoadVersionInfoQueues IN.");
  upkeep::SqlDriverSlot* slot = SelectBackendForFile(file);
  upkeep::openFlags().IsSQLDriver = slot != nullptr ? 1 : 0;
  if (slot == nullptr || slot->file == nullptr) {
    // Not a SQL file, or no backend FILE registered to reach its database.
    traceInOut("LoadVersionInfoQueues OUT.");
    return;
  }
  upkeep::registration().CurrentSqlDriver = *slot;
  files::FileDeclaration& backend = *slot->file;
  files::CLEAR(backend);

  const std::string fileOwner = runtime::CLIP(file.owner());
  const std::string fileName = runtime::CLIP(files::getProperty(file, files::PropName));
  const std::string fileDriver = runtime::CLIP(files::driverName(file.driver()));
  const std::string clippedLabel = runtime::CLIP(label);
  const std::string systemOwner = runtime::CLIP(backend.owner());
  const std::string systemName = runtime::CLIP(files::getProperty(backend, files::PropName));
  const std::string backendCode = codeOfDriverName(files::driverName(backend.driver()));

  VersionTracking& tracking = versionTracking();
  if (runtime::CLIP(tracking.ManageableZone).empty()) {
    tracking.ManageableZone =
        ComputeManageableZone(backendCode, systemOwner, tracking.ManageableZone);
    traceDetail("Manageable Zone: " + tracking.ManageableZone + ", upkeepdr: " + backendCode);
  }
  keptSystemTableName(backendCode) = systemName;

  traceDeveloper(
      "2. loc:filename: " + fileName + " owner: " + ds_EncryptOwner(backendCode, fileOwner) +
      " system table: " + systemName + " owner: " + ds_EncryptOwner(backendCode, systemOwner));
  traceDeveloper("3. About to set UpkeepSQLfile owner from: " + backend.owner() +
                 " to: " + fileOwner);
  // The system table is reached with the managed file's connection.
  backend.setOwner(fileOwner);
  const std::string driverCode = codeOfDriverName(fileDriver);
  const std::int32_t opened = OpenUpkeepSQLFile(0, driverCode);
  if (opened == 1) {
    RecordUnmanagedFile(file, backendCode, fileDriver);
  } else if (opened == 0) {
    RecordVersionChange(driverCode, runtime::CLIP(files::getProperty(backend, files::PropName)),
                        fileName, clippedLabel, version);
  } else {
    // No way to keep versions on this backend: the program cannot go on safely.
    runtime::HALT(kUpkeepErrorExitCode);
  }
  files::CLOSE(backend);
  if (!systemOwner.empty()) {
    traceDeveloper("1. About to set UpkeepSQLfile owner from: " + backend.owner() +
                   " to: " + systemOwner);
    backend.setOwner(systemOwner);
  }
  tracking.IVQ.push_back({fileName, runtime::UPPER(runtime::CLIP(prefix)), version});
  traceInOut("LoadVersionInfoQueues OUT.");
}

}  // namespace upkeep_sql
