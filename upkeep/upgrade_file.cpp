#include "upkeep/upgrade_file.h"

#include <optional>
#include <string>

#include "platform/files/file_driver.h"
#include "platform/files/file_ops.h"
#include "platform/files/file_property.h"
#include "platform/files/sql_driver.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/backup_name.h"
#include "upkeep/call_recorder.h"
#include "upkeep/debug_switches.h"
#include "upkeep/declaration_reader.h"
#include "upkeep/driver_used.h"
#include "upkeep/file_copy.h"
#include "upkeep/file_upgrade_wait_window.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/open_flags.h"
#include "upkeep/pending_conversion.h"
#include "upkeep/profile.h"
#include "upkeep/record_copy.h"
#include "upkeep/registration_tables.h"
#include "upkeep/sql_backend.h"
#include "upkeep/sql_file_rules.h"
#include "upkeep/sql_insert_batch.h"
#include "upkeep/sql_insert_lists.h"
#include "upkeep/structure_image.h"
#include "upkeep/structure_search.h"
#include "upkeep/text_buffers.h"
#include "upkeep/trace.h"
#include "upkeep/upg_catalogue.h"
#include "upkeep/upg_failure.h"
#include "upkeep/upg_file.h"
#include "upkeep/upgrade_faults.h"
#include "upkeep/upgrade_log.h"
#include "upkeep/upgrade_marker.h"
#include "upkeep/upgrade_marker_lock.h"
#include "upkeep/upkeep_state.h"

namespace upkeep {
namespace {

constexpr std::int64_t kCommitInterval = 10000;
constexpr std::int32_t kMostBackups = 999;
constexpr int kReadWriteDenyAll = 0x12;
constexpr int kShareDenyNone = 0x42;
constexpr int kLogoutSeconds = 30;
constexpr int kEndOfFileErr = 33;

void detail(const std::string& text) {
  if (debugLevels().detailTrace) WriteTrace(text);
}

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::string errorDetails() {
  return std::to_string(runtime::ERRORCODE()) + " " + runtime::CLIP(runtime::ERROR());
}

// What the driver said of the failure (a full disk, say), after ": "; empty when it said nothing.
std::string driverText() {
  const std::string text = runtime::CLIP(runtime::FILEERROR());
  return text.empty() ? text : ": " + text;
}

// What the copy loop counted.
struct CopyCounts {
  std::int64_t total = 0;       // records of the old file
  std::int64_t read = 0;        // records read from it
  std::int64_t written = 0;     // records the new file took
  std::int64_t duplicates = 0;  // records refused as duplicates, passed over
  std::int64_t refused = 0;     // records refused for any other reason
  bool readToEnd = false;       // reading ended at the end of the file, not on an error
  bool commitFailed = false;
  bool buildFailed = false;
};

// One run of ds_UpgradeFileEx; its members are the procedure's working state.
class FileUpgrade {
 public:
  FileUpgrade(files::FileDeclaration& file, std::int32_t flags) : file_(file), flags_(flags) {}
  ~FileUpgrade();
  FileUpgrade(const FileUpgrade&) = delete;
  FileUpgrade& operator=(const FileUpgrade&) = delete;

  void run();

 private:
  bool openCatalogue();
  bool declaredStructure();
  const UsingFileEntry* registrationEntry();
  bool replacesAnotherFile() const;
  bool BackupFile();
  bool markBackup(UpgradeMarker marker);
  // Elsewhere: the marker is another process's, which settled it or runs its own upgrade.
  enum class MarkerHold { Held, NotWritten, Elsewhere };
  MarkerHold holdMarker(const UpgradeMarker& marker);
  bool newFile();
  void chooseWriteMode();
  bool openSource();
  void copyRecords();
  void writeRecord(SqlInsertLists* sql);
  // Sends the INSERT of one record and reports its refusal (`refusal`, or the server's).
  void sendInsert(const std::string& statement, const std::string& refusal);
  // Sends the INSERTs gathered, counting the records they wrote.
  void sendGatheredInserts();
  // Counts the write just made and reports its failure.
  void countWrite();
  bool commit();
  // Whether the new file is written without waiting for the disk until finish().
  bool unsyncedNewFile() const {
    return !sqlConversion_ && file_.driver() == files::Driver::Caskfile;
  }
  void finishKeys();
  void finish();
  bool UndoUpgrade();
  void undoAfterFailure();
  std::string backupKeptText() const;
  std::string markedSource(const std::string& source) const;

  files::FileDeclaration& file_;
  const std::int32_t flags_;
  std::string name_;        // the file's own name
  std::string target_;      // the same, completed (upgrade_marker.h)
  std::string prefix_;      // the record prefix, upper case
  std::string source_;      // the old file's own name, before it was set aside
  std::string backup_;      // the backup's name as formed
  std::string backupCode_;  // the backup driver code
  std::int32_t backupNumber_ = 0;
  bool addMode_ = false;
  bool appendMode_ = false;
  bool streamed_ = false;
  bool catalogueOpened_ = false;
  bool sqlConversion_ = false;
  bool markerWritten_ = false;
  bool copied_ = false;           // the backup is a copy; the old file was left where it stood
  UpgradeMarkerLock markerLock_;  // held while the marker stands, against a settling elsewhere
  CopyCounts counts_;
  std::optional<SqlInsertBatch> inserts_;  // where the server takes several rows in one INSERT
  FileUpgradeWaitWindow wait_;
};

FileUpgrade::~FileUpgrade() {
  if (catalogueOpened_) files::CLOSE(UpgFile());
  wait_.close();
  DST().clear();
  SRC().clear();
  if (debugLevels().inOutTrace) WriteTrace("ds_UpgradeFileEx Out ");
  upgradingFlag() = 0;
}

void FileUpgrade::run() {
  name_ = runtime::CLIP(files::NAME(file_));
  if (debugLevels().inOutTrace) {
    WriteTrace("ds_UpgradeFileEx In " + name_ + " " + std::to_string(flags_) + " " +
               runtime::ERROR() + " " + std::to_string(files::STATUS(file_)));
  }
  upgradingFlag() = 1;
  if (!runtime::COMMAND("/Profile").empty()) ProfileReport(1);
  sqlConversion_ = openFlags().SQLConversion != 0;
  if (!file_.createAttribute() && DriverKind(file_) == 0) {
    detail("ERROR UPGRADING FILE: File Create attribute is not on. Cannot upgrade file!");
    return;
  }
  addMode_ = !runtime::COMMAND("/AddRecords").empty() || (flags_ & 1) != 0;
  appendMode_ = !addMode_ && !runtime::COMMAND("/AppendRecords").empty();
  searchState().oldFormatSource = 0;
  searchState().oldNameAlias = 0;
  searchState().oldOwner.clear();
  target_ = completedFileName(file_.driver(), name_);
  if (!openCatalogue() || !declaredStructure()) return;
  const UsingFileEntry* uf = registrationEntry();
  if (uf == nullptr) return;
  SearchStoredStructures(name_, *uf);
  if (searchState().found == 0) {
    detail("Upkeep: no stored structure opens the file, it is left as it is: " + name_);
    return;
  }
  counts_.total = files::RECORDS(INFILE());
  files::CLOSE(INFILE());
  if (replacesAnotherFile()) {
    detail("Upkeep: the file stands under its own name, " + InFileName().clipped() +
           " is not converted over it: " + name_);
    return;
  }
  wait_.open(name_);
  wait_.activity(messageText("M16"));
  if (!BackupFile() || !newFile()) return;
  // Nobody relies on the new file before the marker says it is complete: its commits need not
  // wait for the disk until then (finish() syncs it once).
  if (unsyncedNewFile()) files::SEND(file_, "DISKSYNC=OFF");
  chooseWriteMode();
  if (!openSource()) return;
  copyRecords();
  finishKeys();
  finish();
}

bool FileUpgrade::openCatalogue() {
  SetUPGFileNames();
  files::FileDeclaration& upg = UpgFile();
  upg.setDriverValue(files::PropDriverOpenFlag, "0");
  files::OPEN(upg, kShareDenyNone);
  const int error = runtime::ERRORCODE();
  if (error == 0) catalogueOpened_ = true;
  if (error == 0 || error == runtime::FileAlreadyOpenErr) return true;
  stopUpgFailureOnce("Upkeep: " + messageText("M2") + " " + errorDetails() +
                     " FileError: " + runtime::FILEERRORCODE() + " " + runtime::FILEERROR() +
                     "\r\n Name : " + UpgFileName().clipped());
  return false;
}

bool FileUpgrade::declaredStructure() {
  const std::int32_t result = ReadFormat(file_);
  if (result == kImageDriverNotRegistered) return false;
  if (result == kImageTooLarge) {
    runtime::STOP("Upkeep: " + messageText("M14") + " " + name_);
    return false;
  }
  LoadDestQueue(file_);
  for (const char mark : {':', '_'}) {
    for (const FieldEntry& field : DST()) {
      const std::size_t at = field.NAME.find(mark);
      if (at == std::string::npos) continue;
      prefix_ = runtime::UPPER(field.NAME.substr(0, at));
      return true;
    }
  }
  if (UpgSilent() == 0) runtime::STOP("Upkeep: " + messageText("M3") + " " + name_);
  return false;
}

const UsingFileEntry* FileUpgrade::registrationEntry() {
  upgradeInHand() = {};
  upgradeInHand().PREFIX = prefix_;
  const UsingFileEntry* uf = usingFileEntry(prefix_);
  if (uf == nullptr) {
    if (debugLevels().detailTrace) {
      WriteTrace("Upkeep: Unable to upgrade file - Not \"Using\" file " + prefix_);
      for (const UsingFileEntry& entry : registration().UF)
        WriteTrace(entry.PREFIX + " " + std::to_string(entry.VERSION) + " " + entry.LABEL);
    }
    return nullptr;
  }
  AttributeNote() = (file_.attributes() & 0x20) != 0;
  return uf;
}

// True when the search found the records in another file (an old name, an old data file) while
// a file stands under the data file's own name: the new file would replace that one, which no
// backup holds. A table inside a data file is not looked at.
bool FileUpgrade::replacesAnotherFile() const {
  if (sqlConversion_ || contains(target_, "\\!")) return false;
  const std::string source = completedFileName(INFILE().driver(), InFileName().clipped());
  return source != target_ && files::EXISTS(target_) != 0;
}

// Sets the old file aside under the first backup name that takes it. The marker naming the
// backup is written first, and only for a name no file has yet, so that putting the backup
// back can never bring an older file over this one.
bool FileUpgrade::BackupFile() {
  const bool keep = registration().options.backup != 0;
  const bool copy =
      !runtime::COMMAND("/UpkeptCOPY").empty() || searchState().oldNameAlias != 0 || keep;
  const std::string inName = InFileName().clipped();
  const std::string source = completedFileName(INFILE().driver(), inName);
  bool lastFailedWith3 = false;
  for (std::int32_t n = 1; n <= kMostBackups; ++n) {
    backupCode_ = DriverUsed(INFILE());
    const std::string name = backupName(n, {inName, prefix_, backupCode_, keep, lastFailedWith3});
    if (name.empty()) break;
    const std::string completed = completedFileName(INFILE().driver(), name);
    if (!contains(completed, "\\!") && files::EXISTS(completed)) continue;
    // A move to another file system would remove the old file before the marker could name
    // the copy that replaced it; copying instead keeps the old file until the marker does.
    const bool copied = copy || !renameKeepsIdentity(source, completed);
    const UpgradeMarker marker{completed, false, keep, markedSource(source), fileIdentity(source)};
    const MarkerHold hold = holdMarker(marker);
    if (hold == MarkerHold::NotWritten) break;
    markerWritten_ = hold == MarkerHold::Held;
    if (!markerWritten_) break;
    std::int32_t result = upgradeStepFault(UpgradeStep::Backup);
    if (result == 0) {
      result =
          FileCopyRenameRemove(n, copied ? kCopyMode : kRenameMode, INFILE(), name, backupCode_);
    }
    if (result == 0) {
      copied_ = copied;
      source_ = inName;
      backup_ = name;
      backupNumber_ = n;
      setMadeFileName(1, name);
      detail("Upkeep: old file set aside as " + name);
      if (!markBackup(marker)) break;
      takeOverPendingConversion();
      return true;
    }
    lastFailedWith3 = result == runtime::PathNotFoundErr;
  }
  wait_.close();
  // A conversion whose table was made under a pending marker leaves this one to ds_FileOpen,
  // which drops the empty table before the marker goes.
  if (markerWritten_ && !conversionPending()) removeUpgradeMarker(target_);
  runtime::STOP("Upkeep: " + messageText("M5"));
  return false;
}

// Writes `marker` (flushed) and takes its lock, which a marker written anew needs again. The
// first marker of this upgrade (but for this open's pending conversion, which it replaces) is
// only created where none stands: one standing then is another start's upgrade of the file,
// begun after this open found none, and names the backup that holds the old records.
FileUpgrade::MarkerHold FileUpgrade::holdMarker(const UpgradeMarker& marker) {
  const bool first = !markerWritten_ && !conversionPending();
  int error = upgradeStepFault(UpgradeStep::Marker);
  if (error == 0)
    error = first ? createUpgradeMarker(target_, marker) : writeUpgradeMarker(target_, marker);
  if (error != 0 && first && upgradeMarkerStands(target_)) {
    detail("Upkeep: another upgrade of the file has begun, left alone: " + target_);
    return MarkerHold::Elsewhere;
  }
  if (error != 0) {
    detail("Upkeep: the upgrade marker cannot be written: " + upgradeMarkerPath(target_));
    return MarkerHold::NotWritten;
  }
  if (markerLock_.acquire(upgradeMarkerPath(target_), true)) return MarkerHold::Held;
  detail("Upkeep: the upgrade marker was settled by another process: " + target_);
  return MarkerHold::Elsewhere;
}

// Writes the marker again when the backup is not the old file moved as it was (a copy, a journal
// rolled back first), so that it names the backup's identity.
// False when that fails: the backup is undone (a copy removed, a moved file put back), unless
// another process settled the marker meanwhile and so put it back itself.
bool FileUpgrade::markBackup(UpgradeMarker marker) {
  const std::string identity = fileIdentity(marker.backupName);
  if (identity == marker.backupIdentity) return true;
  marker.backupIdentity = identity;
  const MarkerHold hold = holdMarker(marker);
  if (hold == MarkerHold::Held) return true;
  if (hold == MarkerHold::NotWritten) {
    if (!copied_) {
      undoAfterFailure();
    } else if (FileCopyRenameRemove(backupNumber_, kRemoveMode, INFILE(), {}, backupCode_) == 0 &&
               !conversionPending()) {
      removeUpgradeMarker(target_);
    }
  }
  markerWritten_ = false;
  return false;
}

bool FileUpgrade::newFile() {
  if (!sqlConversion_) {
    // A missing file is fine to create; any other failure to remove it stops the upgrade.
    if (upgradeStepFault(UpgradeStep::Remove) == 0) files::REMOVE(file_);
    const int removed = runtime::ERRORCODE();
    if (removed == 0 || removed == runtime::FileNotFoundErr) {
      if (upgradeStepFault(UpgradeStep::Create) == 0) files::CREATE(file_);
    }
    if (runtime::ERRORCODE() != 0) {
      const std::string text = "Upkeep: " + messageText("M6") + runtime::CLIP(files::NAME(file_)) +
                               " " + errorDetails() + driverText();
      wait_.close();
      undoAfterFailure();
      runtime::STOP(text);
      return false;
    }
  }
  if (upgradeStepFault(UpgradeStep::OpenNew) == 0) files::OPEN(file_, kReadWriteDenyAll);
  upgradeInHand().FILENAME = runtime::CLIP(files::NAME(file_));
  if (runtime::ERRORCODE() == runtime::AccessDeniedErr && contains(name_, "\\!")) {
    files::SHARE(file_, kShareDenyNone);
  }
  if (runtime::ERRORCODE() == 0) return true;
  const std::string text =
      "Upkeep: " + messageText("M6") + " " + runtime::CLIP(files::NAME(file_)) + " " +
      runtime::CLIP(runtime::ERROR()) + " " + runtime::CLIP(runtime::FILEERROR());
  wait_.close();
  undoAfterFailure();
  runtime::STOP(text);
  return false;
}

void FileUpgrade::chooseWriteMode() {
  streamed_ = false;
  if (sqlConversion_) {
    // The INSERTs go through the backend FILE: the transaction is its, so that the commits
    // after every 10001 records take the rows in batches rather than one at a time.
    files::FileDeclaration* backend = registration().CurrentSqlDriver.file;
    files::LOGOUT(kLogoutSeconds, backend != nullptr ? *backend : file_);
    return;
  }
  if (runtime::UPPER(files::getProperty(file_, files::PropDriverName)) != "CORVID") {
    files::LOGOUT(kLogoutSeconds, file_);
    if (runtime::ERRORCODE() == 0) return;
  }
  files::STREAM(file_);
  streamed_ = true;
}

bool FileUpgrade::openSource() {
  ReadFormat(file_);
  LoadDestQueue(file_);
  files::FileDeclaration& in = INFILE();
  if (upgradeStepFault(UpgradeStep::OpenSource) == 0) files::OPEN(in, kReadWriteDenyAll);
  if (runtime::ERRORCODE() == runtime::AccessDeniedErr && contains(InFileName().clipped(), "\\!")) {
    files::SHARE(in, kShareDenyNone);
  }
  const int error = runtime::ERRORCODE();
  if (error != 0 && error != runtime::KeyFileRebuildErr) {
    const std::string text = "Upkeep: " + messageText("M7") + " " + InFileName().clipped();
    wait_.close();
    undoAfterFailure();
    runtime::STOP(text);
    return false;
  }
  wait_.activity(messageText((flags_ & 1) != 0 ? "M18" : "M12"));
  files::STREAM(in);
  files::SEND(in, "QUICKSCAN=ON");
  LoadSourceQueue(in);
  files::SEND(in, "/QUICKSCAN=true");
  files::SET(in);
  return true;
}

// CopyRec of every record of the old file into the new one. The alternate names the copy
// reads are those registered for fields of the new declaration (RecordCopy's default).
void FileUpgrade::copyRecords() {
  files::FileDeclaration& in = INFILE();
  SqlInsertLists lists;
  RecordCopy copy;
  copy.filePrefix = prefix_;
  copy.SourceFromDatHeader = searchState().oldFormatSource != 0;
  if (sqlConversion_) {
    allocateSqlTextBuffers();
    copy.sql = &lists;
    // The date style and server kind the SQL table manager found for the new table.
    lists.DateFormat = openFlags().DateFormat;
    if (const SqlBackend* backend = sqlBackend()) lists.backendKind = backend->odbcBackendKind();
    lists.timeAloneTaken = file_.driver() == files::Driver::Mssql;
    lists.hexNumbers =
        file_.driver() == files::Driver::Mssql ||
        (file_.driver() == files::Driver::Odbc && runtime::UPPER(lists.backendKind) == "MSSQL");
    if (const SqlBackend* backend = sqlBackend()) {
      for (const FieldEntry& field : DST())
        if (backend->CheckIfbinary(field.NAME)) lists.binaryFields.insert(field.NAME);
    }
    files::FileDeclaration* backend = registration().CurrentSqlDriver.file;
    if (addMode_ || appendMode_ || backend == nullptr || !files::sqlTakesManyRows(*backend)) {
      inserts_.reset();
    } else {
      inserts_.emplace(*backend, name_, [this](const std::string& statement) {
        sendInsert(statement, {});
        countWrite();
      });
    }
  }
  const RecordCopier copier(copy);
  std::int64_t sinceCommit = 0;
  for (files::NEXT(in); runtime::ERRORCODE() == 0; files::NEXT(in)) {
    ++counts_.read;
    wait_.progress(counts_.read, counts_.total);
    lists.clear();
    lists.recordNumber = static_cast<std::int32_t>(counts_.read);
    copier.copy(in, file_);
    writeRecord(copy.sql);
    if (++sinceCommit > kCommitInterval) {
      detail("Commit after record " + std::to_string(counts_.read));
      if (!commit()) counts_.commitFailed = true;
      chooseWriteMode();
      sinceCommit = 1;
    }
  }
  counts_.readToEnd = runtime::ERRORCODE() == kEndOfFileErr;
  if (!counts_.readToEnd) detail("Upkeep: reading the old file ended on " + errorDetails());
  if (sqlConversion_) freeSqlTextBuffers();
}

void FileUpgrade::writeRecord(SqlInsertLists* sql) {
  if (upgradeStepFault(UpgradeStep::Write) == 0) {
    if (addMode_) {
      files::ADD(file_);
    } else if (appendMode_ || sql == nullptr) {
      files::APPEND(file_);
    } else if (inserts_ && sql->refusal().empty()) {
      // Counted when the records gathered are sent.
      return inserts_->add(sql->FieldNames(), sql->FieldValues());
    } else {
      // A refused record is reported in its turn, after the records before it are sent.
      sendGatheredInserts();
      // The record copy has already added the date-time pairs after the last field.
      sendInsert("INSERT INTO " + name_ + " (" + std::string(sql->FieldNames()) + ") VALUES (" +
                     std::string(sql->FieldValues()) + ")",
                 sql->refusal());
    }
  }
  countWrite();
}

void FileUpgrade::sendInsert(const std::string& statement, const std::string& refusal) {
  std::int32_t length = 0;
  SetInsertStatement(length, statement);
  if (!refusal.empty()) {
    // Refused here as a server refuses an invalid date-time value.
    runtime::setFileError(runtime::FileSystemErr, "22007", refusal);
  } else if (files::FileDeclaration* backend = registration().CurrentSqlDriver.file) {
    files::setProperty(*backend, files::PropSqlStatement, statement);
  }
  if (runtime::ERRORCODE() == runtime::FileSystemErr) {
    runtime::STOP("Upkeep Data Conversion error on insert: " + runtime::FILEERRORCODE() + " " +
                  runtime::CLIP(runtime::FILEERROR()) + "\r\n" + statement);
  }
}

void FileUpgrade::sendGatheredInserts() {
  if (inserts_) counts_.written += inserts_->flush();
}

void FileUpgrade::countWrite() {
  const int error = runtime::ERRORCODE();
  if (error == 0) {
    ++counts_.written;
  } else if (error == runtime::DuplicateKeyErr) {
    ++counts_.duplicates;
  } else {
    ++counts_.refused;
    runtime::STOP("Upkeep: " + messageText("M8") + " " + errorDetails() +
                  " File Driver Error : " + runtime::CLIP(runtime::FILEERROR()));
  }
}

// Ends the writing so far: FLUSH in stream mode, COMMIT in a transaction.
bool FileUpgrade::commit() {
  sendGatheredInserts();
  if (upgradeStepFault(UpgradeStep::Commit) == 0) {
    if (streamed_) {
      files::FLUSH(file_);
    } else {
      files::COMMIT();
    }
  }
  if (runtime::ERRORCODE() == 0) return true;
  detail("Upkeep: commit failed: " + errorDetails());
  return false;
}

void FileUpgrade::finishKeys() {
  if (addMode_) {
    if (!commit()) counts_.commitFailed = true;
    return;
  }
  wait_.activity(messageText("M17"), 0);
  detail("Commit after record " + std::to_string(counts_.read));
  if (!commit()) counts_.commitFailed = true;
  if (sqlConversion_) return;
  if (upgradeStepFault(UpgradeStep::Build) == 0) files::BUILD(file_);
  if (runtime::ERRORCODE() != 0) {
    counts_.buildFailed = true;
    runtime::STOP("Upkeep: Error building keys [2] : " + errorDetails() + " " + name_ +
                  driverText() + "." + backupKeptText());
  }
}

// Closes both files and decides: a complete copy keeps the new file and (unless the backup
// option asks to keep it) removes the backup; a copy that lost records the new file had taken
// puts the old file back; any other shortfall keeps both and names the backup.
void FileUpgrade::finish() {
  if (!sqlConversion_) files::FLUSH(file_);
  if (unsyncedNewFile()) {
    if (upgradeStepFault(UpgradeStep::Sync) == 0) files::SEND(file_, "DISKSYNC=ON");
    if (runtime::ERRORCODE() != 0) {
      detail("Upkeep: the new file cannot be synced: " + errorDetails());
      counts_.commitFailed = true;
    }
  }
  const std::int64_t held = files::RECORDS(file_);
  files::CLOSE(file_);
  files::FLUSH(INFILE());
  files::CLOSE(INFILE());
  detail("Upkeep: copied " + std::to_string(counts_.read) + " of " + std::to_string(counts_.total) +
         " records, " + std::to_string(counts_.written) + " written, " +
         std::to_string(counts_.duplicates) + " duplicates, " + std::to_string(counts_.refused) +
         " refused; the new file holds " + std::to_string(held));
  const bool lost = counts_.commitFailed || (!sqlConversion_ && held != counts_.written);
  if (lost || upgradeStepFault(UpgradeStep::Finish) != 0) {
    const std::string text = "Upkeep: " + messageText("M8") + " " + name_ +
                             ": the new file lost records, the old file was put back.";
    wait_.close();
    undoAfterFailure();
    runtime::STOP(text);
    return;
  }
  // A record left out as a duplicate key is silently passed over while copying, but it is not
  // in the new file: the backup that holds it stays.
  const bool complete = counts_.readToEnd && counts_.read == counts_.total &&
                        counts_.refused == 0 && counts_.duplicates == 0 && !counts_.buildFailed;
  const bool keep = registration().options.backup != 0 || !complete;
  const std::string backup = completedFileName(INFILE().driver(), backup_);
  writeUpgradeMarker(target_, {backup, true, keep, {}, fileIdentity(backup)});
  markerLock_.acquire(upgradeMarkerPath(target_), true);
  if (upgradeStepFault(UpgradeStep::Cleanup) == 0) {
    if (!keep) FileCopyRenameRemove(backupNumber_, kRemoveMode, INFILE(), {}, backupCode_);
    removeUpgradeMarker(target_);
  }
  if (complete) {
    LogUpgradedFile();
    return;
  }
  wait_.close();
  runtime::STOP("Upkeep: Upgrade of " + name_ + " incomplete: " + std::to_string(counts_.read) +
                " of " + std::to_string(counts_.total) + " records read, " +
                std::to_string(counts_.refused) + " refused." +
                (counts_.duplicates == 0
                     ? std::string()
                     : " Duplicate keys left out: " + std::to_string(counts_.duplicates) + ".") +
                backupKeptText());
}

// The old file's name for the marker: empty when it is the data file's own.
std::string FileUpgrade::markedSource(const std::string& source) const {
  return source == target_ ? std::string() : source;
}

std::string FileUpgrade::backupKeptText() const { return " The old file is kept as: " + backup_; }

// Removes the new file and renames the backup back to the old file's own name. A backup of the
// data file itself goes back over the new file in one rename, which needs no room on the disk.
bool FileUpgrade::UndoUpgrade() {
  if (files::STATUS(file_) != 0) files::CLOSE(file_);
  if (files::STATUS(INFILE()) != 0) files::CLOSE(INFILE());
  const std::string backup = completedFileName(INFILE().driver(), backup_);
  if (!sqlConversion_ && !copied_ && !contains(target_, "\\!") &&
      completedFileName(INFILE().driver(), source_) == target_) {
    if (files::replaceNamedFile(backup, target_) == 0) return true;
    detail("Upkeep: Error renaming old file: " + backup + " to: " + target_ + " " + errorDetails() +
           " " + runtime::FILEERROR());
    return false;
  }
  files::REMOVE(file_);
  const int removed = runtime::ERRORCODE();
  if (removed != 0 && removed != runtime::FileNotFoundErr) {
    detail("Upkeep: Error deleting created file: " + name_);
    return false;
  }
  // A copy of a file under another name left that file in place: only the copy goes.
  const bool standsStill = copied_ && files::EXISTS(source_) != 0;
  const std::string target = standsStill ? std::string() : source_;
  if (FileCopyRenameRemove(backupNumber_, standsStill ? kRemoveMode : kRenameMode, INFILE(), target,
                           backupCode_) != 0) {
    detail("Upkeep: Error renaming old file: " + files::NAME(INFILE()) + " to: " + source_);
    return false;
  }
  return true;
}

// Puts the old file back after a failure past the backup; when that cannot be done now, the
// marker stays and the next open puts it back.
void FileUpgrade::undoAfterFailure() {
  if (UndoUpgrade()) removeUpgradeMarker(target_);
}

}  // namespace

void ds_UpgradeFileEx(files::FileDeclaration& file, std::int32_t flags) {
  FileUpgrade(file, flags).run();
}

void ds_UpgradeFile(files::FileDeclaration& file) {
  EntryCallBuilder("ds_UpgradeFile").file(file).send();
  if (debugLevels().inOutTrace) WriteTrace("ds_UpgradeFile In ");
  ds_UpgradeFileEx(file, 0);
  if (debugLevels().inOutTrace) WriteTrace("ds_UpgradeFile Out ");
}

}  // namespace upkeep
