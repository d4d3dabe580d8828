#include "upkeep_sql/table_manager.h"

#include <algorithm>
#include <string>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/file_property.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/open_flags.h"
#include "upkeep/pending_conversion.h"
#include "upkeep/profile.h"
#include "upkeep/registration_tables.h"
#include "upkeep/sql_insert_lists.h"
#include "upkeep/upgrade_faults.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/field_comparison.h"
#include "upkeep_sql/interpret_structure.h"
#include "upkeep_sql/key_comparison.h"
#include "upkeep_sql/key_statements.h"
#include "upkeep_sql/mss_utility_procedures.h"
#include "upkeep_sql/mysql_structure.h"
#include "upkeep_sql/owner_and_zone.h"
#include "upkeep_sql/owner_mask.h"
#include "upkeep_sql/rename_check.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/sql_wait_window.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_loaders.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/system_table.h"
#include "upkeep_sql/table_creation.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/version_tracking.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

constexpr int kTestOpenMode = 0x22;  // read/write, deny write

bool silent() { return upkeep::debugLevels().silentUpgrading != 0; }

// The part of `name` after its first ".", or all of it.
std::string afterFirstDot(const std::string& name) {
  const std::size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(dot + 1);
}

// The table manager's one call: the steps of managing one table. A step that ends the call
// early answers false.
class TableManager {
 public:
  TableManager(files::FileDeclaration& file, std::string_view code)
      : file_(file), code_(runtime::UPPER(runtime::CLIP(code))) {}

  void run();

 private:
  void prepareTableWork();
  void systemTableOpened();
  bool setOwnerAndZone();
  void createNewSqlTable();
  void goInDeepComparison();
  void addToManagedFiles();
  void writeVersionRow() { updategsqlfile(declaredStructure().InterpretedPrefix, code_); }
  void upkeepReturn();
  void showWait(const std::string& text) {
    WaitProgress& progress = waitProgress();
    progress.activity = text;
    progress.SQLProgressPercent = 0;
    showProgress(0);
  }
  // The table is there when "select * from" it is accepted. The name is quoted as the table's
  // own statements write it, so that no FILE name can add a statement of its own.
  bool selectTest() const {
    const std::string name = outFileName();
    const std::size_t dot = name.find('.');
    const std::string table = QuotedTableNameIn(dot == std::string::npos ? "" : name.substr(0, dot),
                                                afterFirstDot(name), code_);
    const bool found = ExecuteStatement("select * from " + table, 0) == StatementAccepted;
    traceDetail(found ? "Table FOUND: " + outFileName() + ", Verified by Upkeep select."
                      : "Table NOT found: " + outFileName() +
                            ", BUT WITH ERR 90: " + runtime::FILEERROR());
    return found;
  }
  std::string outFileName() const { return runtime::CLIP(tableInHand().OutFileName); }
  bool testOpenFindsTable();

  files::FileDeclaration& file_;
  std::string code_;
  std::string owner_;
  std::string kind_ = ODBCDB();
  SqlWaitWindow wait_;  // on the screen from the first wait text shown to the end of the call
};

void TableManager::run() {
  TableInHand& table = tableInHand();
  upkeep::OpenFlags& flags = upkeep::openFlags();
  traceInOut("Upkeep SQL files detected! Table: " + runtime::CLIP(files::NAME(file_)) +
             ", Owner: " + runtime::CLIP(ds_EncryptOwner(code_, OwnerForDriver(code_))) +
             ", Label: " + runtime::CLIP(file_.label()) + " Outfile: " + outFileName());
  prepareTableWork();
  SetCaseSensitivity(code_);
  traceDetail("Name of incoming file: " + table.OutFileName + " ?= Upkeep sql file name: " +
              table.SystemTableName + " owner: " + ds_EncryptOwner(code_, file_.owner()));
  if (outFileName() == runtime::CLIP(table.SystemTableName)) {
    systemTableOpened();
    traceFieldCopy("Upkeep returning - Upkeep System table detected...");
    return;
  }
  const std::vector<VcqEntry>& versions = versionTracking().VCQ;
  const auto version = std::find_if(versions.begin(), versions.end(),
                                    [&](const VcqEntry& e) { return e.FILE == outFileName(); });
  if (version == versions.end()) {
    traceDetail("File was not added to VCQ! Please ensure you are calling ds_UsingFile! " +
                outFileName() + " " + table.SystemTableName + " error:30 - Entry Not Found");
    traceDetail("Error warning: File not in VCQ, returning...");
    return;
  }
  flags.GoInDeep = version->GOINDEEP;
  if (flags.GoInDeep != 0) traceDetail("GoInDeep: 1 reason: version change in gsqlfile.");
  if (!runtime::COMMAND("/goindeep").empty()) {
    flags.GoInDeep = 1;
    traceDetail("GoInDeep: 1 reason: commandline parameter.");
  }
  traceDetail("About to open: " + runtime::CLIP(files::NAME(file_)) + ";" + file_.label() +
              " OutFileName: " + outFileName() + " ODBCDB: " + kind_);
  if (kind_ == "FIREBIRD") {
    flags.DateFormat = 10;
    traceDeveloper("Set DateFormat to 10.");
  } else if (kind_ == "MYODBC 3") {
    flags.DateFormat = 110;
    traceDeveloper("Set DateFormat to 110.");
  }
  if (testOpenFindsTable()) {
    traceDeveloper("TableFound, goindeep? " + std::to_string(flags.GoInDeep));
    if (flags.GoInDeep != 0 && !setOwnerAndZone()) return;
    if (flags.GoInDeep != 0) goInDeepComparison();
  } else {
    switch (ds_RenameCheck(code_)) {
      case 0:
        addToManagedFiles();
        traceDetail(
            "Table did not exist, but renamed, added file to ManagedFiles, therefore returning "
            "NOW..." +
            outFileName());
        break;
      case 1:
        traceDetail("Table does not exist, about to Create it..." + outFileName() +
                    ", conversion detected!");
        if (!setOwnerAndZone()) return;
        if (upkeep::markConversionPending(file_)) {
          createNewSqlTable();
        } else {
          flags.SQLTableFailed = 1;
          flags.SQLTableError = ": the upgrade marker of the conversion cannot be written";
        }
        traceDeveloper("after createnewsqltable routine");
        // Only a table that was made takes the old file's records.
        if (flags.SQLTableFailed == 0) flags.SQLConversion = 1;
        break;
      case 2:
        traceDetail("Table does not exist, about to Create it..." + outFileName());
        if (!setOwnerAndZone()) return;
        createNewSqlTable();
        break;
      default: break;
    }
  }
  traceDeveloper("about to check /profile");
  if (!runtime::COMMAND("/profile").empty()) upkeep::ProfileReport(2);
  traceDeveloper("about to do upkeepreturn routine");
  upkeepReturn();
  // The conversion that follows sends its INSERTs through the backend FILE.
  if (flags.SQLConversion != 0) OpenUpkeepSQLFile(0, code_);
}

void TableManager::prepareTableWork() {
  upkeep::OpenFlags& flags = upkeep::openFlags();
  TableInHand& table = tableInHand();
  owner_ = OwnerForDriver(code_);
  flags.SQLConversion = 0;
  flags.SQLTableFailed = 0;
  flags.IdentityInsertNeeded = 0;
  flags.DateFormat = 12;
  table.OutFileName = runtime::CLIP(files::NAME(file_));
  table.TableLabel = runtime::CLIP(file_.label());
  table.FirebirdCharacterBytes = 0;
  waitProgress().fileName = table.OutFileName;
  if (table.TableLabel.empty()) table.TableLabel = afterFirstDot(table.OutFileName);
  if (files::FileDeclaration* backend = upkeep::registration().CurrentSqlDriver.file)
    table.SystemTableName = runtime::CLIP(files::NAME(*backend));
  traceDetail("Upkeep System File name: " + table.SystemTableName);
  upkeep::DTQ().clear();
  StatementQueues& queues = statementQueues();
  queues.DQ.clear();
  queues.AQ.clear();
  queues.SQ.clear();
  if (table.UtilitySPsChecked == 0 && upkeep::registration().options.spCreate != 0)
    CreateUtilitySPs(code_);
  table.UtilitySPsChecked = 1;
}

void TableManager::systemTableOpened() {
  if (code_ != "ODB") return;
  if (kind_ == "MYODBC 2" || kind_ == "MYODBC 3") {
    traceFieldCopy("b4 OpenUpkeepSQLFile: " + ds_EncryptOwner(code_, file_.owner()) +
                   " ?= " + ds_EncryptOwner(code_, owner_));
    if (OpenUpkeepSQLFile(0, code_) != 0) {
      ds_Error("M22", runtime::FILEERRORCODE() + " " + runtime::FILEERROR(), "", 0);
      return;
    }
    traceInOut("OpenUpkeepSQLFile Success: " + ds_EncryptOwner(code_, file_.owner()) +
               " ?= " + ds_EncryptOwner(code_, owner_));
    if (!runtime::CLIP(owner_).empty()) {
      traceInOut("2. About to set " + runtime::CLIP(files::NAME(file_)) + " owner from: " +
                 ds_EncryptOwner(code_, file_.owner()) + " to: " + ds_EncryptOwner(code_, owner_));
      file_.setOwner(runtime::CLIP(owner_));
    }
    files::SEND(file_, "/VERIFYVIASELECT=TRUE");
  } else if (kind_ == "FIREBIRD" || kind_ == "POSTGRES") {
    if (OpenUpkeepSQLFile(0, code_) != 0) {
      ds_Error("M22", runtime::FILEERRORCODE() + " " + runtime::FILEERROR(), "", 0);
    } else {
      files::CLOSE(file_);
    }
  }
}

// The driver's test open, classified: true when the table is there.
bool TableManager::testOpenFindsTable() {
  upkeep::OpenFlags& flags = upkeep::openFlags();
  const std::string name = outFileName();
  files::OPEN(file_, kTestOpenMode);
  const int error = runtime::ERRORCODE();
  const auto foundInDepth = [&](const std::string& line) {
    traceDetail(line);
    flags.GoInDeep = 1;
    return true;
  };
  switch (error) {
    case 0:
    case runtime::FileAlreadyOpenErr: files::CLOSE(file_); return true;
    case runtime::FileNotFoundErr:
      if (code_ == "ORA") {
        traceDetail("Table NOT found: " + name);
        return false;
      }
      traceDetail("Table NOT found: " + name + " - attempting verify via select...");
      OpenUpkeepSQLFile(0, code_);
      return selectTest();
    case runtime::FileSystemErr:
      if (code_ == "MSS" || code_ == "ORA" ||
          (code_ == "ODB" && (kind_ == "ORACLE" || kind_ == "MSSQL")))
        return foundInDepth("Table FOUND: " + name + ", BUT WITH ERR 90: " + runtime::FILEERROR());
      if (code_ != "ODB" || kind_ == "MYODBC 2") return false;
      if (kind_ == "MYODBC 3") return selectTest();
      if (kind_ == "FIREBIRD" || kind_ == "POSTGRES") {
        OpenUpkeepSQLFile(0, code_);
        const bool found = selectTest();
        flags.DateFormat = 10;
        return found;
      }
      return false;
    case runtime::InvalidRecordDeclarationErr:
      traceDetail("Table FOUND: " + name + ", BUT WITH ERR 47!");
      return foundInDepth("GoInDeep: 1 reason: Err 47.");
    default:
      traceDetail("Open Table Error: " + name + ": " + std::to_string(error) + " " +
                  runtime::ERROR() + " " + runtime::FILEERRORCODE() + " " + runtime::FILEERROR());
      return foundInDepth("Table FOUND: " + name + ", BUT WITH ERR's! ...");
  }
}

bool TableManager::setOwnerAndZone() {
  TableInHand& table = tableInHand();
  traceFieldCopy("Set owner to: " + ds_EncryptOwner(code_, owner_));
  if (runtime::CLIP(owner_).empty() && IsSqlDriverCode(code_) != 0)
    ds_Error("M20", table.OutFileName, "", 1);
  if (code_ == "ODB" && (kind_ == "MYODBC 2" || kind_ == "MYODBC 3")) SplitMySQLOwner(owner_);
  const OwnerZone zone = ownerZone(code_, kind_, owner_);
  if (zone.changesServer) table.LinkedServerName = zone.LinkedServerName;
  if (zone.changesZone) table.TableZone = zone.TableZone;
  code_ = zone.code;
  const std::string tableZone = runtime::CLIP(table.TableZone);
  if (tableZone != runtime::CLIP(versionTracking().ManageableZone) && tableZone != "NULL") {
    ds_Error("M21", "File: " + table.OutFileName + ", Zone: " + table.TableZone, "", 0);
    upkeepReturn();
    return false;
  }
  const std::string name = outFileName();
  const std::size_t dot = name.find('.');
  table.SqlTableName = afterFirstDot(name);
  if (caseState().CaseMode == -1) table.SqlTableName = runtime::LOWER(table.SqlTableName);
  if (dot != std::string::npos) {
    table.TableSchema = name.substr(0, dot);
  } else if (code_ == "MSS") {
    table.TableSchema = "dbo";
  } else if (kind_ == "POSTGRES") {
    table.TableSchema = "public";
  }
  upkeep::openFlags().SqlTableName = table.SqlTableName;
  traceDeveloper("SqlTableName set: " + table.SqlTableName);
  table.ServerVersion = GetSQLServerVersion(code_);
  const upkeep::UpgradeOptions& options = upkeep::registration().options;
  table.FileFieldsMaster = options.dctMasterFields;
  traceFieldCopy("DCTFieldsMaster: " + table.TableLabel + ": " +
                 std::to_string(table.FileFieldsMaster));
  table.FileKeysMaster = options.dctMasterKeys;
  traceFieldCopy("DCTKeysMaster " + table.TableLabel + ": " + std::to_string(table.FileKeysMaster));
  return true;
}

// Makes the missing table. A table that could not be made wholly is neither recorded nor given
// its version row, and the open that asked for it fails.
void TableManager::createNewSqlTable() {
  OpenUpkeepSQLFile(0, code_);
  if (!silent()) {
    showWait(upkeep::messageText("M60") + " " + outFileName());
    wait_.makeVisible();
  }
  ds_InterpretStructure(file_);
  ds_SetSQLNames(code_);
  if (!silent()) showWait(upkeep::messageText("M61") + " " + outFileName());
  const DeclaredStructure& declared = declaredStructure();
  waitProgress().SQLStepTotal =
      static_cast<std::int32_t>(declared.FDQ.entries.size() + declared.KDQ.entries.size());
  if (upkeep::upgradeStepFault(upkeep::UpgradeStep::CreateTable) != 0 ||
      ds_CreateSQLTable(code_) != 0) {
    traceDetail("Table not made: " + outFileName() + " " + LastSQLError());
    upkeep::openFlags().SQLTableFailed = 1;
    upkeep::openFlags().SQLTableError = LastSQLError();
    return;
  }
  addToManagedFiles();
  writeVersionRow();
  traceDeveloper("about to call upkeep commit routine");
}

void TableManager::goInDeepComparison() {
  traceDeveloper("GoInDeepComparison...");
  if (!silent()) {
    showWait(upkeep::messageText("M60") + outFileName());
    wait_.makeVisible();
  }
  WaitProgress& progress = waitProgress();
  progress.SQLProgressPercent += 1;
  if (LoadSQLStructure(code_) != 0) return;
  ds_InterpretStructure(file_);
  ds_SetSQLNames(code_);
  if (upkeep::debugLevels().inOutTrace) PrintSQLStructure();
  if (!silent()) showWait(upkeep::messageText("M42") + outFileName());
  const LiveStructure& live = liveStructure();
  progress.SQLStepTotal =
      static_cast<std::int32_t>(live.SFDQ.entries.size() + live.SKDQ.entries.size());
  const std::int32_t notMade = CompareFields(code_);
  CompareKeys(code_);
  if (!silent()) showWait(upkeep::messageText("M63") + outFileName());
  const StatementQueues& queues = statementQueues();
  progress.SQLStepTotal =
      static_cast<std::int32_t>(queues.SQ.size() + queues.DQ.size() + queues.AQ.size());
  const std::int32_t failed = RunSQLScripts();
  if (failed != 0 || notMade != 0) {
    traceDetail("Comparison of " + outFileName() + " not completed: the table stays unmanaged.");
    files::ROLLBACK();
    return;
  }
  addToManagedFiles();
  writeVersionRow();
  traceDeveloper("about to call upkeep commit routine");
  traceInOut("Upkeep SQL Commit changes.");
  files::COMMIT();
}

void TableManager::addToManagedFiles() {
  std::vector<std::string>& managed = upkeep::openFlags().MFQ;
  const std::string name = runtime::CLIP(runtime::SUB(outFileName(), 1, 50));
  if (std::find(managed.begin(), managed.end(), name) == managed.end()) managed.push_back(name);
}

void TableManager::upkeepReturn() {
  traceDeveloper("upkeepreturn routine: about to free qs");
  declaredStructure().FDQ.clear();
  declaredStructure().KDQ.clear();
  LiveStructure& live = liveStructure();
  live.SFDQ.clear();
  live.SKDQ.clear();
  statementQueues().DQ.clear();
  statementQueues().AQ.clear();
  traceDeveloper("upkeepreturn routine: about to close file");
  if (files::FileDeclaration* backend = upkeep::registration().CurrentSqlDriver.file)
    files::CLOSE(*backend);
  traceDeveloper("upkeepreturn routine: about to close window");
  traceInOut("Upkeep SQL files detected - OUT!");
}

}  // namespace

void ManageSQLTable(files::FileDeclaration& file, std::string_view code) {
  TableManager(file, code).run();
}

std::int32_t LoadSQLStructure(std::string_view code) {
  OpenUpkeepSQLFile(0, code);
  const std::string kind = ODBCDB();
  std::int32_t result = 0;
  if (code == "MSS") {
    result = ds_MSSQLStructure();
  } else if (code == "ORA") {
    result = ds_OracleStructure();
  } else if (code == "ASA") {
    result = ds_ASAStructure();
  } else if (code == "ODB") {
    // A MySQL load that failed is looked at too: a partial structure must not be compared.
    if (kind == "MYODBC 2" || kind == "MYODBC 3")
      result = ds_MySQLStructure(0, kind);
    else if (kind == "FIREBIRD")
      result = ds_FireBirdStructure();
    else if (kind == "POSTGRES")
      result = ds_PostgreSQLStructure();
  }
  return result == 1 ? 1 : 0;
}

}  // namespace upkeep_sql
