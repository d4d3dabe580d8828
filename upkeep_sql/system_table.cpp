#include "upkeep_sql/system_table.h"

#include <algorithm>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/file_property.h"
#include "platform/files/sql_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/key_statements.h"
#include "upkeep_sql/owner_mask.h"
#include "upkeep_sql/postgres_extras.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/version_tracking.h"

namespace upkeep_sql {
namespace {

constexpr int kOpenFlag = files::PropSqlOpenFlag;
constexpr int kSystemTableAccess = 0x10;

files::FileDeclaration* backendFile() { return upkeep::registration().CurrentSqlDriver.file; }

std::string fileName(files::FileDeclaration& file) {
  return runtime::CLIP(files::getProperty(file, files::PropName));
}

std::string errorFields() {
  return std::to_string(runtime::ERRORCODE()) + " - " + runtime::ERROR() +
         " :: " + runtime::FILEERRORCODE() + " - " + runtime::FILEERROR();
}

// OPEN of the system table as every open of it is made; answers ERRORCODE().
int openSystemTable(files::FileDeclaration& file) {
  files::setProperty(file, kOpenFlag, "0");
  files::OPEN(file, kSystemTableAccess);
  return runtime::ERRORCODE();
}

// On MySQL the system table lives in the database of the table in hand.
void SetMySQLSystemTableName(files::FileDeclaration& backend, const std::string& tableName) {
  const std::string kind = ODBCDB();
  const std::string systemName = fileName(backend);
  if ((kind == "MYODBC 2" || kind == "MYODBC 3") && systemName.find('.') == std::string::npos) {
    const std::size_t dot = tableName.find('.');
    if (dot == std::string::npos) {
      traceDetail("MySQL requires db.tablename format in your full path name! Ending Program. " +
                  tableName);
      runtime::HALT(kUpkeepErrorExitCode,
                    "MySQL requires db.tablename format in your full path name!|Ending Program.");
    }
    backend.setName(tableName.substr(0, dot + 1) + systemName);
  }
  traceDetail("Upkeep SQL File name set to: " + fileName(backend));
}

// Sends a CREATE TABLE of the system table, which does not exist yet: over the FILE's owner.
std::int32_t createWith(const std::string& statement, const char* routine) {
  traceInOut(std::string(routine) + " IN.");
  files::FileDeclaration* backend = backendFile();
  const std::int32_t result =
      backend != nullptr && files::sendSqlStatementByOwner(*backend, statement) == 0 ? 0 : 1;
  traceInOut(std::string(routine) + " OUT: ret: " + std::to_string(result) +
             "; err: " + runtime::FILEERRORCODE() + " " + runtime::CLIP(runtime::FILEERROR()));
  return result;
}

// The server's clock as the version row's statements write it.
std::string serverClock(std::string_view code) {
  if (code == "MSS") return "getdate()";
  if (code == "ORA") return "sysdate";
  if (code == "ASA") return "now(*)";
  return ODBCDB() == "FIREBIRD" ? "current_timestamp" : "now()";
}

}  // namespace

std::string systemTableReference(std::string_view code, std::string_view name) {
  const std::string clipped = runtime::CLIP(name);
  const std::size_t dot = clipped.rfind('.');
  if (dot == std::string::npos) return bareName(code, clipped);
  return bareName(code, clipped.substr(0, dot)) + "." + bareName(code, clipped.substr(dot + 1));
}

std::int32_t OpenUpkeepSQLFile(std::int32_t, std::string_view code) {
  traceInOut("OpenUpkeepSQLFile IN");
  files::FileDeclaration* backend = backendFile();
  if (backend == nullptr) return 1;
  traceDetail("About to open upkeep system file as is.. before real open...");
  if (openSystemTable(*backend) != 0)
    traceDetail("Err opening Upkeep System Table? [1] (not too serious) " + errorFields());

  const std::string tableName = runtime::CLIP(tableInHand().OutFileName);
  const std::string owner = runtime::CLIP(OwnerForDriver(code));
  std::string systemName = fileName(*backend);
  const std::string systemOwner = runtime::CLIP(backend->owner());
  const std::string maskedOwner = ds_EncryptOwner(code, systemOwner);
  if (!owner.empty() && !systemOwner.empty() && owner != systemOwner) {
    traceFieldCopy("File Not in manageable zone: " + tableName);
    traceInOut("OpenUpkeepSQLFile OUT(1): " + maskedOwner + "; ERR: 1");
    return 1;
  }
  if (systemName.empty()) {
    systemName = keptSystemTableName(code);
    backend->setName(systemName);
    tableInHand().SystemTableName = systemName;
    traceDetail("Check point1. Upkeep name: " + systemName);
  }
  SetMySQLSystemTableName(*backend, tableName);

  std::int32_t result = 0;
  const int error = openSystemTable(*backend);
  if (error != 0 && error != runtime::FileAlreadyOpenErr) {
    traceDetail("Err opening Upkeep System Table? [2] " + errorFields());
    result = CreateUpkeepSQLFile(code);
  }
  if (ds_EncryptOwner(code, backend->owner()) != maskedOwner)
    traceDetail("OpenUpkeepSQLFile: Owners don't match!!!: " + backend->owner() + " <> " +
                maskedOwner);
  traceInOut("OpenUpkeepSQLFile OUT(2): " + maskedOwner + "; ERR: " + std::to_string(result));
  return result;
}

std::int32_t CreateUpkeepSQLFile(std::string_view code) {
  traceInOut("CreateUpkeepSQLFile IN.");
  files::FileDeclaration* backend = backendFile();
  std::int32_t result = 2;
  if (backend == nullptr) {
    result = 1;
  } else if (code == "MSS" || code == "ORA" || code == "ASA") {
    files::CREATE(*backend);
    result = runtime::ERRORCODE() != 0 || openSystemTable(*backend) != 0 ? 1 : 0;
  } else if (code == "ODB") {
    const std::string kind = ODBCDB();
    if (kind == "MYODBC 2" || kind == "MYODBC 3") {
      result = CreateMySQLUpkeepTable();
    } else if (kind == "FIREBIRD") {
      traceDeveloper("About to create FireBird Upkeep System table...");
      result = CreateFireBirdUpkeepTable();
    } else if (kind == "POSTGRES") {
      result = CreatePOSTGRESUpkeepTable();
    }
    // Created is not yet open: the version row is read and written through the open FILE.
    if (result == 0 && openSystemTable(*backend) != 0) result = 1;
  }
  traceInOut("CreateUpkeepSQLFile OUT: ret: " + std::to_string(result) + ", err: " + errorFields());
  return result;
}

std::int32_t CreateMySQLUpkeepTable() {
  files::FileDeclaration* backend = backendFile();
  std::string statement = "CREATE TABLE " +
                          systemTableReference("ODB", backend ? fileName(*backend) : "") + " (" +
                          "  DS_FIELD1 VARCHAR(255)," + "  DS_FIELD2 VARCHAR(250) NOT NULL," +
                          "  DS_FIELD3 VARCHAR(250) NOT NULL,";
  for (int n = 4; n <= 40; ++n) statement += "  DS_FIELD" + std::to_string(n) + " VARCHAR(255),";
  statement += " PRIMARY KEY PK_GODBCFILE (DS_FIELD2,DS_FIELD3))";
  return createWith(statement, "CreateMySQLUpkeepTable");
}

std::int32_t CreateFireBirdUpkeepTable() {
  files::FileDeclaration* backend = backendFile();
  const std::string name = backend ? fileName(*backend) : "";
  std::string statement =
      "CREATE TABLE " + systemTableReference("ODB", name) + " (" + "  DS_FIELD1 VARCHAR(255)," +
      "  DS_FIELD2 VARCHAR(250) NOT NULL CONSTRAINT " + bareName("ODB", "PK_" + name) +
      " PRIMARY KEY," + "  DS_FIELD3 VARCHAR(250) NOT NULL,";
  for (int n = 4; n <= 39; ++n) statement += "  DS_FIELD" + std::to_string(n) + " VARCHAR(255),";
  statement += "  DS_FIELD40 VARCHAR(255))";
  return createWith(statement, "CreateFireBirdUpkeepTable");
}

void updategsqlfile(std::string_view prefix, std::string_view code) {
  const std::string upper = runtime::UPPER(runtime::CLIP(prefix));
  const std::vector<IvqEntry>& incoming = versionTracking().IVQ;
  const auto entry = std::find_if(incoming.begin(), incoming.end(),
                                  [&](const IvqEntry& e) { return e.PREFIX == upper; });
  if (entry == incoming.end()) {
    ds_Error("M23", upper, "", 0);
  } else {
    std::string& systemName = tableInHand().SystemTableName;
    if (runtime::CLIP(systemName).empty()) systemName = keptSystemTableName(code);
    const std::string table = systemTableReference(code, systemName);
    const std::string name = quotedLiteral(code, entry->FILENAME);
    const std::string key = quotedLiteral(code, entry->PREFIX);
    const std::string version = quotedLiteral(code, std::to_string(entry->VERSION));
    const std::string clock = serverClock(code);
    if (ExecuteStatement("select * from " + table + " where DS_FIELD2 = " + key, 0) ==
        StatementAccepted) {
      files::FileDeclaration* backend = backendFile();
      files::NEXT(*backend);
      const bool missing = runtime::ERRORCODE() != 0;
      if (!missing) copyBackendRecord();
      if (missing) {
        if (ExecuteStatement("insert into " + table +
                                 " (DS_FIELD1, DS_FIELD2, DS_FIELD3, DS_FIELD4) values (" + name +
                                 "," + key + "," + version + ", " + clock + ")",
                             0) != StatementAccepted)
          ds_Error("M24", runtime::FILEERRORCODE() + " " + runtime::CLIP(runtime::FILEERROR()), "",
                   0);
        traceInOut("Upkeep: Upkeep System file update complete.");
      } else if (ExecuteStatement("update " + table + " set DS_FIELD1 = " + name +
                                      ", DS_FIELD2 = " + key + ", DS_FIELD3 = " + version +
                                      ", DS_FIELD4 = " + clock + " where DS_FIELD2 = " + key,
                                  0) != StatementAccepted) {
        ds_Error("M25", runtime::FILEERRORCODE() + " " + runtime::CLIP(runtime::FILEERROR()), "",
                 0);
      }
    }
  }
  traceDeveloper("end of updategsqlfile routine");
}

}  // namespace upkeep_sql
