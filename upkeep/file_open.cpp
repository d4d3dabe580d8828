#include "upkeep/file_open.h"

#include <algorithm>
#include <string>

#include "platform/files/file_driver.h"
#include "platform/files/file_property.h"
#include "platform/files/sql_connection_handoff.h"
#include "platform/files/view_driver.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "upkeep/bad_file_marker.h"
#include "upkeep/call_recorder.h"
#include "upkeep/debug_switches.h"
#include "upkeep/driver_used.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/open_flags.h"
#include "upkeep/pending_conversion.h"
#include "upkeep/profile.h"
#include "upkeep/registration_tables.h"
#include "upkeep/sql_backend.h"
#include "upkeep/trace.h"
#include "upkeep/upgrade_file.h"
#include "upkeep/upgrade_lock.h"
#include "upkeep/upgrade_marker.h"
#include "upkeep/upkeep_state.h"

namespace upkeep {
namespace {

constexpr int kFatalOpenErr = 530;

// Holds the lock with UPK_Upgrading at 1 for a scope; the exits write their own lines.
class OpenInProgress {
 public:
  OpenInProgress() : guard_(upkeepLock()) { upgradingFlag() = 1; }
  ~OpenInProgress() { upgradingFlag() = 0; }
  OpenInProgress(const OpenInProgress&) = delete;
  OpenInProgress& operator=(const OpenInProgress&) = delete;

 private:
  runtime::CriticalSectionGuard guard_;
};

void traceIf(bool on, const std::string& text) {
  if (on) WriteTrace(text);
}

// The OWNER as the traces show it: owners are passwords, shown in clear only at the developer
// level.
std::string ownerForTrace(const files::FileDeclaration& file) {
  if (debugLevels().developerLevel != 0 || file.owner().empty()) return file.owner();
  return "(hidden)";
}

// The error of the open just made, as the traces write it.
std::string errorNow() { return std::to_string(runtime::ERRORCODE()) + " " + runtime::ERROR(); }

// "Opening file: ..." with the prefix, the field labels and the key count.
std::string openingLine(const files::FileDeclaration& file, const std::string& name,
                        const std::string& code) {
  const int fields =
      static_cast<int>(runtime::textToLong(files::getProperty(file, files::PropFieldCount)));
  std::string line = "Opening file: " + name + ", driver: " + code + " Prefix: " + file.prefix() +
                     " Fields: " + std::to_string(fields);
  for (int field = 1; field <= fields; ++field) {
    line += ";" + files::getProperty(file, files::PropLabel, field);
  }
  return line + " Keys: " + std::to_string(file.keyCount());
}

// One call of ds_FileOpen on a FILE, or on a VIEW, which is named and described by its primary
// file and, having no registered driver, is opened plainly: its name, its driver code and what
// the steps decided.
class FileOpen {
 public:
  FileOpen(files::FileDeclaration& file, int accessMode)
      : file_(file), mode_(accessMode), levels_(debugLevels()) {}
  FileOpen(files::FileView& view, int accessMode)
      : file_(view.primary()), view_(&view), mode_(accessMode), levels_(debugLevels()) {}

  void run();

 private:
  bool isSql() const { return openFlags().IsSQLDriver != 0; }
  void open() {
    if (view_ != nullptr) {
      files::OPEN(*view_, mode_);
    } else {
      files::OPEN(file_, mode_);
    }
  }
  // The open with the BadFile marker standing while it runs.
  void guardedOpen() {
    writeBadFileMarker(name_);
    open();
    removeBadFileMarker();
  }
  // The policy: what the error of the guarded open leads to.
  void actOnError(int error);
  void shortExit();
  void normalExit();
  void keepOwner();
  void manageSqlTable();
  void failedSqlTable();
  void upgradeAndOpenAgain(bool withSqlStep, const char* finishedLine);
  void upgradeInvalidFile();
  void finalOpenError(int error);

  files::FileDeclaration& file_;
  files::FileView* view_ = nullptr;
  const int mode_;
  const DebugLevels& levels_;
  std::string name_;
  std::string code_;
  UpgradeLock upgradeLock_;
};

void FileOpen::run() {
  traceIf(levels_.inOutTrace, "ds_FileOpen In: " + ownerForTrace(file_));
  traceIf(levels_.detailTrace, "UPK_Upgrading: " + std::to_string(upgradingFlag()));
  name_ = runtime::CLIP(runtime::SUB(files::NAME(file_), 1, 255));
  if (name_.empty()) {
    traceIf(levels_.detailTrace, "Possible \"phantom\" file! Checking name...");
    traceIf(levels_.detailTrace, "Ignoring \"phantom\" file: " + file_.label());
    open();
    return shortExit();
  }
  traceIf(levels_.detailTrace, "Name found: " + name_);
  const std::vector<std::string>& ignored = openFlags().IFQ;
  if (const auto entry = std::find(ignored.begin(), ignored.end(), name_); entry != ignored.end()) {
    traceIf(levels_.detailTrace, "Ignoring this file: " + *entry);
    open();
    return shortExit();
  }
  code_ = runtime::UPPER(view_ != nullptr ? DriverUsed(*view_) : DriverUsed(file_));
  if (code_.empty()) {
    traceIf(levels_.detailTrace,
            "Driver NOT registered in Upkeep - this table cannot be managed!! " +
                std::string(view_ != nullptr ? "VIEW" : files::driverName(file_.driver())));
  }
  traceIf(levels_.detailTrace, "Driver: " + code_);
  if (!code_.empty()) {
    // Another process opening the same file waits for this open, upgrade included, to end.
    const std::string completed = completedFileName(file_.driver(), name_);
    if (!upgradeLock_.acquire(completed)) {
      runtime::setFileError(runtime::AccessDeniedErr, "",
                            "the file is being upgraded in another process");
      return normalExit();
    }
    if (!settleInterruptedUpgrade(completed, isSqlDriverCode(code_) ? &file_ : nullptr)) {
      // A half-converted file or table is never opened: the upgrade still runs elsewhere, or
      // its marker could not be settled yet and the backup holds the old records.
      runtime::setFileError(runtime::AccessDeniedErr, "", "an upgrade of the file is unfinished");
      return normalExit();
    }
  }
  keepOwner();
  OpenFlags& flags = openFlags();
  flags.GoInDeep = 0;
  flags.Error36Detected = 0;
  flags.SQLConversion = 0;
  flags.SQLTableFailed = 0;
  traceIf(levels_.detailTrace, openingLine(file_, name_, code_));
  traceIf(levels_.detailTrace, "Opening file: " + name_ + " owner: " + ownerForTrace(file_));
  if (isSql()) manageSqlTable();
  if (flags.SQLTableFailed != 0) return failedSqlTable();
  if (code_.empty()) {
    open();
    traceIf(levels_.inOutTrace,
            "Driver not used : File Opened. This caused an error : " + errorNow());
    return normalExit();
  }
  traceIf(levels_.perFieldTrace, "ds_FileOpen Driver found.");
  if (flags.SQLConversion != 0) {
    traceIf(levels_.detailTrace, "SQL conversion detected - calling UpgradeFile...");
    SqlBackend* backend = sqlBackend();
    const std::string table = "SET IDENTITY_INSERT " + runtime::CLIP(flags.SqlTableName);
    if (flags.IdentityInsertNeeded != 0 && backend) backend->ExecuteStatement(table + " ON", 0);
    ds_UpgradeFile(file_);
    if (flags.IdentityInsertNeeded != 0 && backend) backend->ExecuteStatement(table + " OFF", 0);
    if (!endPendingConversion(file_, true)) {
      // The old file's records are not in the table: the next open converts them.
      runtime::setFileError(runtime::AccessDeniedErr, "",
                            "the conversion of the file is unfinished");
      return normalExit();
    }
    guardedOpen();
    return normalExit();
  }
  traceIf(levels_.developerLevel != 0, "ds_FileOpen About to open. Owner: " + file_.owner() +
                                           " pars: " + std::to_string(mode_) + " name: " + name_);
  guardedOpen();
  const int error = runtime::ERRORCODE();
  if (error != 0) {
    traceIf(levels_.detailTrace, "Opening " + name_ + " caused an error : " + errorNow() + " " +
                                     runtime::FILEERRORCODE() + ": " + runtime::FILEERROR() +
                                     "\r\nOwner: " + ownerForTrace(file_) + " Name: " + name_);
  }
  actOnError(error);
  normalExit();
}

void FileOpen::actOnError(int error) {
  switch (error) {
    case 0: break;
    case runtime::FileNotFoundErr:
    case runtime::EntryNotFoundErr:
    case runtime::InvalidRecordDeclarationErr:
    case runtime::InvalidKeyLengthErr: upgradeAndOpenAgain(true, "Finished upgrade file"); break;
    case runtime::InvalidDataFileErr: upgradeInvalidFile(); break;
    case runtime::KeyFileRebuildErr:
      if (!runtime::COMMAND("/upkept46").empty())
        upgradeAndOpenAgain(false, "Finshed upgrade file");
      break;
    case runtime::FileSystemErr:
      if (!runtime::COMMAND("/upkept90").empty()) {
        upgradeAndOpenAgain(false, "Finshed upgrade file");
      } else {
        finalOpenError(error);
      }
      break;
    case kFatalOpenErr: finalOpenError(error); break;
    default:
      traceIf(levels_.detailTrace, "Upkeep Errorcode received on open: " + runtime::ERROR() + " " +
                                       std::to_string(error));
      break;
  }
}

void FileOpen::shortExit() {
  upgradingFlag() = 0;
  traceIf(levels_.detailTrace, "UPK_Upgrading: 0");
}

void FileOpen::normalExit() {
  upgradingFlag() = 0;
  traceIf(levels_.fieldCopyDetail, "UPK_Upgrading: 0");
  traceIf(levels_.inOutTrace, "ds_FileOpen Complete!");
}

void FileOpen::keepOwner() {
  OpenFlags& flags = openFlags();
  flags.IsSQLDriver = isSqlDriverCode(code_) ? 1 : 0;
  if (code_ == "ODB") {
    traceIf(levels_.developerLevel != 0, "4. About to set ODBFileOwner owner from: " +
                                             flags.ODBFileOwner + " to: " + file_.owner());
  }
  std::string* owners[] = {&flags.MSSFileOwner, &flags.ORAFileOwner, &flags.ASAFileOwner,
                           &flags.ODBFileOwner};
  const auto* sql = std::find(std::begin(kSqlDriverCodes), std::end(kSqlDriverCodes), code_);
  std::string& owner = sql == std::end(kSqlDriverCodes)
                           ? flags.FileOwner
                           : *owners[sql - std::begin(kSqlDriverCodes)];
  owner = file_.owner();
}

void FileOpen::manageSqlTable() {
  RegistrationTables& tables = registration();
  tables.CurrentSqlDriver = *sqlDriverSlot(code_);
  const std::vector<std::string>& managed = openFlags().MFQ;
  const std::string key = runtime::CLIP(runtime::SUB(name_, 1, 50));
  if (std::find(managed.begin(), managed.end(), key) != managed.end()) {
    traceIf(levels_.detailTrace, "ds_FileOpen File has already been managed: " + name_);
    return;
  }
  SqlBackend* backend = sqlBackend();
  if (backend == nullptr) return;
  traceIf(levels_.detailTrace, "1. Opening file: " + name_ + " owner: " + ownerForTrace(file_));
  backend->ManageSQLTable(file_, code_);
  traceIf(levels_.detailTrace, "2. Opening file: " + name_ + " owner: " + ownerForTrace(file_));
}

// The table could not be made on the server: the open fails with the server's refusal, and the
// next open tries again.
void FileOpen::failedSqlTable() {
  traceIf(levels_.detailTrace, "SQL table could not be made: " + name_);
  endPendingConversion(file_, false);
  const std::string& refusal = openFlags().SQLTableError;
  const std::size_t colon = refusal.find(": ");
  runtime::setFileError(runtime::FileSystemErr, refusal.substr(0, colon),
                        colon == std::string::npos ? refusal : refusal.substr(colon + 2));
  normalExit();
}

void FileOpen::upgradeAndOpenAgain(bool withSqlStep, const char* finishedLine) {
  if (withSqlStep && isSql() && runtime::ERRORCODE() == runtime::InvalidRecordDeclarationErr) {
    traceIf(levels_.detailTrace, "Error 47 occured on SQL file! File Error? " +
                                     runtime::FILEERRORCODE() + runtime::FILEERROR());
    openFlags().GoInDeep = 1;
    if (SqlBackend* backend = sqlBackend()) backend->ManageSQLTable(file_, code_);
    open();
  }
  traceIf(levels_.detailTrace, "About to upgrade file : reason " + runtime::ERROR() + " " +
                                   std::to_string(runtime::ERRORCODE()) +
                                   " IsSQLDriver: " + std::to_string(openFlags().IsSQLDriver));
  // A file the driver left open with its error (stale keys) is closed so it can be converted.
  if (!isSql()) {
    if (files::STATUS(file_) != 0) files::CLOSE(file_);
    ds_UpgradeFile(file_);
  }
  traceIf(levels_.detailTrace, finishedLine);
  guardedOpen();
}

void FileOpen::upgradeInvalidFile() {
  if (!isSql()) openFlags().Error36Detected = 1;
  ds_UpgradeFile(file_);
  // The caller sees 36 unless the upgrade left the file open: an upgrade that closed it again
  // must not read as success.
  if (files::STATUS(file_) == 0 && runtime::ERRORCODE() == 0) {
    runtime::setError(runtime::InvalidDataFileErr);
  }
}

void FileOpen::finalOpenError(int error) {
  const std::string detail = name_ + " :" + std::to_string(error) + " " + runtime::FILEERRORCODE() +
                             ": " + runtime::FILEERROR();
  // Error 530 goes straight to the marker and the message.
  traceIf(levels_.detailTrace && error != kFatalOpenErr,
          "Upkeep File error on final open: " + detail);
  writeBadFileMarker(name_);
  std::string message = "M19";
  if (error != kFatalOpenErr && code_ != "VKF") {
    SqlBackend* backend = sqlBackend();
    if (code_ == "BTR") {
      message = "M37";
    } else if (backend != nullptr && runtime::UPPER(backend->odbcBackendKind()) == "FIREBIRD") {
      backend->ds_Error("M33", detail, "", 6);
      return;
    } else {
      message = "M11";
    }
  }
  runtime::STOP("Upkeep: " + messageText(message) + " Name : " + name_);
  runtime::HALT(kFatalOpenExitCode);
}

}  // namespace

void ds_FileOpen(files::FileDeclaration& file, int accessMode) {
  EntryCallBuilder("ds_FileOpen").file(file).number(accessMode).send();
  profileStart();
  const OpenInProgress inProgress;
  const files::SqlConnectionHandOff oneConnection;
  FileOpen(file, accessMode).run();
}

void ds_FileOpen(files::FileView& view, int accessMode) {
  EntryCallBuilder("ds_FileOpen")
      .object("VIEW", view.primary().label(), &view)
      .number(accessMode)
      .send();
  profileStart();
  const OpenInProgress inProgress;
  const files::SqlConnectionHandOff oneConnection;
  FileOpen(view, accessMode).run();
}

}  // namespace upkeep
