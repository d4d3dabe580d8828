#include "upkeep_sql/field_comparison.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/column_default.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/key_statements.h"
#include "upkeep_sql/mss_change_guard.h"
#include "upkeep_sql/postgres_extras.h"
#include "upkeep_sql/sql_datatype.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_dialect.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

using Dialect = StatementDialect;

constexpr std::int32_t kDefaultErrorLevel = 3;

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return runtime::UPPER(runtime::CLIP(a)) == runtime::UPPER(runtime::CLIP(b));
}

// `name` clipped, in the case the comparison of case mode `mode` uses: unchanged in the modes
// in `keep`, lower in -1 when it is not kept, upper otherwise.
std::string comparisonCase(std::string_view name, std::int32_t mode, bool keepLowerMode) {
  const std::string clipped = runtime::CLIP(name);
  if (mode == 1 || mode == 2 || (mode == -1 && keepLowerMode)) return clipped;
  return mode == -1 ? runtime::LOWER(clipped) : runtime::UPPER(clipped);
}

// The blank-separated names of a key's column list.
std::vector<std::string> splitNames(std::string_view list) {
  std::vector<std::string> names;
  const std::string text(list);
  for (std::size_t start = text.find_first_not_of(' '); start != std::string::npos;) {
    const std::size_t end = text.find(' ', start);
    names.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? end : text.find_first_not_of(' ', end);
  }
  return names;
}

// The declared primary key, or null.
const KdqEntry* declaredPrimaryKey() {
  for (const KdqEntry& key : declaredStructure().KDQ.entries)
    if (runtime::LOWER(key.ATT).find("primary") != std::string::npos) return &key;
  return nullptr;
}

// Whether column `name` is a component of the declared primary key (compared ignoring case:
// the key lists its components as external names or cased labels).
bool inPrimaryKey(std::string_view name) {
  const KdqEntry* primary = declaredPrimaryKey();
  if (primary == nullptr) return false;
  traceDetail("Checking null - found primary.. field: " + primary->FIELDS);
  const std::vector<std::string> parts = splitNames(primary->FIELDS);
  return std::any_of(parts.begin(), parts.end(),
                     [&](const std::string& part) { return sameIgnoringCase(part, name); });
}

// The type word's base (before "(") and argument (between the parentheses).
void splitType(const std::string& type, std::string& base, std::string& argument) {
  const std::size_t open = type.find('(');
  base = runtime::CLIP(type.substr(0, open));
  argument.clear();
  if (open == std::string::npos) return;
  const std::size_t close = type.find(')', open);
  argument = runtime::SUB(
      type.substr(open + 1, close == std::string::npos ? close : close - open - 1), 1, 10);
}

class FieldComparison {
 public:
  explicit FieldComparison(std::string_view code)
      : code_(code),
        dialect_(statementDialect(code)),
        declared_(declaredStructure()),
        live_(liveStructure()),
        caseMode_(caseState().CaseMode),
        prefix_(runtime::CLIP(declared_.InterpretedPrefix)),
        table_(runtime::CLIP(tableInHand().SqlTableName)),
        alter_("Alter Table " + QuotedTableName(table_, code)) {}

  std::int32_t run();

 private:
  FdqEntry& field() { return declared_.FDQ.entries[field_]; }
  MdqEntry& blob() { return declared_.MDQ.entries[blob_]; }
  SfdqEntry& column() { return live_.SFDQ.entries[column_]; }
  // Makes the entries in hand the queues' current entries, which the dialect rules read.
  void syncCurrent() {
    if (field_ < declared_.FDQ.entries.size()) declared_.FDQ.current = field();
    if (blob_ < declared_.MDQ.entries.size()) declared_.MDQ.current = blob();
    if (column_ < live_.SFDQ.entries.size()) live_.SFDQ.current = column();
  }
  std::string label(std::string_view name) const {
    return CasedName(prefix_ + ":" + runtime::CLIP(name));
  }
  std::string bare(std::string_view name) const { return bareName(code_, runtime::CLIP(name)); }
  std::string quoted(std::string_view name) const { return quotedName(code_, runtime::CLIP(name)); }
  void progress(std::size_t position) const {
    const std::int32_t total = waitProgress().SQLStepTotal;
    showProgress(total == 0 ? 0 : static_cast<std::int32_t>(position) * 100 / total);
  }
  // Queues `sql` (nothing for a backend that has no statement for the change).
  void queue(const std::string& sql, std::int32_t level = kDefaultErrorLevel) {
    if (runtime::CLIP(sql).empty()) return;
    statementQueues().SQ.push_back({.SQL = sql, .RETRY = 0, .ERRORLEVEL = level});
  }

  void pairByName();
  void renameThroughAlternateNames(bool fields);
  void addNewFields();
  void pairBlobs();
  void addNewBlobs();
  void dropUnpairedColumns();

  void fieldMatched();
  void blobMatched();
  void renameField();
  void renameBlob();
  void renameColumn();
  void renameFromAlternateName(bool fields);
  void addField();
  void addBlob();
  void dropColumn();
  void alterType();
  bool compatibleTypeChange();
  void alterNotNull();
  bool checkNullChange();
  void alterAutoNumber();
  std::string firebirdGenerator(const std::string& column);
  std::string postgresSerial(const std::string& column);
  bool checkOptionsMatch();
  bool columnHoldsData();
  bool refusedByGuard(std::string_view newType);

  std::string code_;
  Dialect dialect_;
  DeclaredStructure& declared_;
  LiveStructure& live_;
  std::int32_t caseMode_;
  std::string prefix_;
  std::string table_;
  std::string alter_;

  std::size_t field_ = 0;
  std::size_t blob_ = 0;
  std::size_t column_ = 0;
  std::string sqlType_;
  std::string newName_;
  std::string seedIncrement_;
  bool serialMade_ = false;
  bool pairedByLabel_ = false;
  std::int32_t notMade_ = 0;
};

std::int32_t FieldComparison::run() {
  traceInOut("-- Start of CompareFields  --");
  traceDeveloper("Fields in FDQ: " + std::to_string(declared_.FDQ.entries.size()) +
                 " in SFDQ: " + std::to_string(live_.SFDQ.entries.size()));
  pairByName();
  if (!upkeep::registration().AFNS.empty()) renameThroughAlternateNames(true);
  addNewFields();
  pairBlobs();
  if (!upkeep::registration().AFNS.empty()) renameThroughAlternateNames(false);
  addNewBlobs();
  if (tableInHand().FileFieldsMaster != 0) dropUnpairedColumns();
  traceInOut("-- End of CompareFields  --");
  return notMade_;
}

// Each declared field with the live column of its SQL name (compared ignoring case), or of its
// label; the column's type, NOT NULL and autonumber brought in line.
void FieldComparison::pairByName() {
  const std::size_t count = declared_.FDQ.entries.size();
  for (std::size_t i = 1; i <= count; ++i) {
    field_ = i - 1;
    if (field().MATCH != 0) continue;
    progress(i);
    traceInOut("----- ----- ----- -----");
    for (column_ = 0; column_ < live_.SFDQ.entries.size(); ++column_) {
      if (column().MATCH != 0) continue;
      traceFieldCopy("comparing fields: " + field().SQLNAME + " " + column().ALTNAME + " " +
                     std::to_string(column().MATCH));
      const std::string live = comparisonCase(column().ALTNAME, caseMode_, true);
      newName_ = comparisonCase(field().SQLNAME, caseMode_, true);
      syncCurrent();
      if (sameIgnoringCase(newName_, live)) {
        sqlType_ =
            GetSQLDatatype(label(field().NAME), field().TYPE, code_, static_cast<std::int32_t>(i));
        syncCurrent();
        if (DCTTypeMatchesSQLType(column().TYPE, sqlType_) != 0) {
          if (columnTables().DateTimeGroupDetected != 0) i += 3;
          if (checkOptionsMatch()) alterAutoNumber();
          if (checkNullChange()) alterNotNull();
          traceDeveloper("Comparing exact match case name fields (" + std::to_string(caseMode_) +
                         "): " + newName_ + " ?= " + live);
          if (caseMode_ != 0 && runtime::CLIP(CasedName(newName_)) != live) renameField();
        } else if (compatibleTypeChange()) {
          if (checkOptionsMatch()) alterAutoNumber();
          if (checkNullChange()) alterNotNull();
        } else {
          alterType();
        }
        fieldMatched();
        break;
      }
      if (sameIgnoringCase(field().NAME, live)) {
        pairedByLabel_ = true;
        renameField();
        pairedByLabel_ = false;
        fieldMatched();
        break;
      }
    }
  }
}

// Unpaired fields (or blobs) renamed from a live column that an alternate name names.
void FieldComparison::renameThroughAlternateNames(bool fields) {
  if (fields) {
    for (field_ = 0; field_ < declared_.FDQ.entries.size(); ++field_) {
      if (field().MATCH != 0) continue;
      newName_ = comparisonCase(field().SQLNAME, caseMode_, false);
      renameFromAlternateName(true);
    }
    return;
  }
  for (blob_ = 0; blob_ < declared_.MDQ.entries.size(); ++blob_) {
    if (blob().MATCH != 0) continue;
    newName_ = comparisonCase(blob().SQLNAME, caseMode_, false);
    renameFromAlternateName(false);
  }
}

void FieldComparison::addNewFields() {
  for (field_ = 0; field_ < declared_.FDQ.entries.size(); ++field_) {
    if (field().MATCH != 0) continue;
    syncCurrent();
    sqlType_ = GetSQLDatatype(label(field().NAME), field().TYPE, code_,
                              static_cast<std::int32_t>(field_ + 1));
    if (columnTables().GroupDetected != 0) {
      field().MATCH = 1;  // a GROUP has no column of its own
      continue;
    }
    if (field().MATCH != 0) continue;  // a date-time pair's member, held by its text column
    addField();
  }
}

void FieldComparison::pairBlobs() {
  traceFieldCopy("About to search and compare blobs: " +
                 std::to_string(declared_.MDQ.entries.size()));
  for (blob_ = 0; blob_ < declared_.MDQ.entries.size(); ++blob_) {
    if (blob().MATCH != 0) continue;
    for (column_ = 0; column_ < live_.SFDQ.entries.size(); ++column_) {
      if (column().MATCH != 0) continue;
      syncCurrent();
      const std::string c = comparisonCase(blob().SQLNAME, caseMode_, false);
      const std::string a = comparisonCase(column().ALTNAME, caseMode_, false);
      traceFieldCopy("Searching blob fields: " + c + " " + a + " Type: " + column().TYPE +
                     " FSDQ name: " + label(blob().MEMONAME));
      const bool blobKind =
          IsBlobColumn() > 0 ||
          DCTTypeMatchesSQLType(column().TYPE,
                                GetSQLDatatype(label(blob().MEMONAME), blob().TYPE, code_,
                                               static_cast<std::int32_t>(blob_ + 1))) != 0;
      if (!blobKind) {
        if (c == a) ds_Error("M49", c + " " + column().TYPE + " -> " + blob().ATTRIB, "", 1);
        continue;
      }
      if (c == a) {
        blobMatched();
        break;
      }
      if (caseMode_ != 0 && sameIgnoringCase(c, a)) {
        newName_ = c;
        renameBlob();
        blobMatched();
        break;
      }
    }
  }
}

void FieldComparison::addNewBlobs() {
  traceFieldCopy("About to search and add blobs: " + std::to_string(declared_.MDQ.entries.size()));
  for (blob_ = 0; blob_ < declared_.MDQ.entries.size(); ++blob_) {
    if (blob().MATCH != 0) continue;
    traceFieldCopy("DCT Blob found. " + blob().MEMONAME +
                   " Match: " + std::to_string(blob().MATCH));
    addBlob();
  }
}

void FieldComparison::dropUnpairedColumns() {
  for (column_ = 0; column_ < live_.SFDQ.entries.size(); ++column_) {
    if (column().MATCH != 0) continue;
    traceDeveloper("SqlFieldQ Match: " + column().NAME + " :: " + std::to_string(column().MATCH));
    traceDeveloper("SqlFieldQ Name :: type: " + column().NAME + " :: " + column().TYPE);
    const std::string type = runtime::LOWER(column().TYPE);
    if (type.find("blob") != std::string::npos || type.find("image") != std::string::npos) continue;
    dropColumn();
  }
}

void FieldComparison::fieldMatched() {
  field().MATCH = 1;
  column().MATCH = 1;
  traceFieldCopy("Match found for: " + field().SQLNAME);
}

void FieldComparison::blobMatched() {
  blob().MATCH = 1;
  column().MATCH = 1;
  traceFieldCopy("Blob Match found for: " + blob().MEMONAME);
}

void FieldComparison::renameField() {
  traceDetail("Altering Name: " + column().ALTNAME + " to " + newName_);
  if (checkOptionsMatch()) alterAutoNumber();
  // A column found by its label keeps its type through a MySQL rename.
  if (pairedByLabel_) sqlType_ = column().TYPE;
  renameColumn();
}

void FieldComparison::renameBlob() {
  traceDetail("Altering Name: " + column().ALTNAME + " to " + newName_);
  sqlType_ = column().TYPE;
  renameColumn();
}

// Renames the column in hand to the new name, its data kept.
void FieldComparison::renameColumn() {
  const std::string from = runtime::CLIP(column().ALTNAME);
  const std::string to = runtime::CLIP(newName_);
  const std::string type = runtime::CLIP(sqlType_);
  const std::int32_t level = sameIgnoringCase(from, to) ? 0 : 2;
  std::string sql;
  switch (dialect_) {
    case Dialect::Mss:
      if (ds_MSSWarnForIllegalFieldChanges("", "", "", "", from, to, table_) != 0) {
        ++notMade_;
        return;
      }
      sql = "EXEC sp_rename " + quotedLiteral(code_, table_ + "." + from) + "," +
            quotedLiteral(code_, to) + "," + quotedLiteral(code_, "COLUMN");
      break;
    case Dialect::Ora: {
      const std::string version = runtime::CLIP(tableInHand().ServerVersion);
      if (version == "7" || version == "8" || version == "8i") {
        // These servers rename no column: the data moves to a new column of the new name.
        queue(alter_ + " add " + bare(to) + " " + runtime::CLIP(column().TYPE), level);
        queue("update " + QuotedTableName(table_, code_) + " set " + bare(to) + " = " + bare(from),
              level);
        if (version == "8i") queue(alter_ + " drop column " + bare(from), 1);
        if (column().DEPENDANT != 0) HandleDependancies(code_);
        return;
      }
      sql = alter_ + " rename column " + bare(from) + " to " + bare(to);
      break;
    }
    case Dialect::Asa: sql = alter_ + " rename " + bare(from) + " to " + bare(to); break;
    case Dialect::MySql2:
    case Dialect::MySql3:
      sql = alter_ + " change " + bare(from) + " " + bare(to) + " " + type;
      break;
    case Dialect::Firebird:
      sql = alter_ + " alter " + quoted(from) + " to " + bare(runtime::UPPER(to));
      break;
    case Dialect::Postgres:
      sql = alter_ + " rename column " + bare(from) + " to " + bare(to);
      break;
    default: break;
  }
  queue(sql, level);
  if (column().DEPENDANT != 0) HandleDependancies(code_);
}

void FieldComparison::renameFromAlternateName(bool fields) {
  const std::string wanted = fields ? label(field().NAME) : label(blob().MEMONAME);
  traceDeveloper("Trying to find " + wanted + " in oldname q...");
  std::vector<upkeep::AlternateFieldName>& names = upkeep::registration().AFNS;
  for (auto entry = names.begin(); entry != names.end(); ++entry) {
    if (!sameIgnoringCase(runtime::SUB(entry->DESTNAME1, 1, 40), runtime::SUB(wanted, 1, 40)))
      continue;
    const std::string& source = entry->SRCNAME2;
    const std::size_t colon = source.find(':');
    const std::string oldName =
        runtime::CLIP(colon == std::string::npos ? source : source.substr(colon + 1));
    traceDeveloper("Trying to find " + oldName + " in sqlfield q...");
    for (column_ = 0; column_ < live_.SFDQ.entries.size(); ++column_) {
      if (column().MATCH == 0 && sameIgnoringCase(column().NAME, oldName)) break;
    }
    if (column_ == live_.SFDQ.entries.size()) continue;
    traceDeveloper("FOUND " + column().NAME + " in sqlfield q... doing AlterName...");
    syncCurrent();
    sqlType_ = column().TYPE;
    names.erase(entry);
    if (fields) {
      renameField();
      fieldMatched();
    } else {
      renameBlob();
      blobMatched();
    }
    return;
  }
}

void FieldComparison::addField() {
  const std::string name = runtime::CLIP(field().SQLNAME);
  const std::string column = bare(name);
  traceDetail("Adding field: " + name);
  const IqEntry* identity = nullptr;
  for (const IqEntry& entry : columnTables().IQ)
    if (entry.FIELDNAME == label(field().SQLNAME)) identity = &entry;
  std::string sql;
  switch (dialect_) {
    case Dialect::Mss:
      sql = alter_ + " add " + column + " " + sqlType_;
      if (identity != nullptr) sql += " Identity(" + runtime::CLIP(identity->SEEDINC) + ")";
      break;
    case Dialect::Postgres: sql = alter_ + " add column " + column + " " + sqlType_; break;
    case Dialect::Other: break;
    default: sql = alter_ + " add " + column + " " + sqlType_; break;
  }
  if (sql.empty()) return;
  if (inPrimaryKey(name)) {
    if (dialect_ == Dialect::Postgres) {
      queue(sql);
      sql = alter_ + " ALTER COLUMN " + column + " Set NOT NULL";
    } else {
      sql += " not null";
    }
  }
  std::string update;
  const std::string defaultValue = runtime::CLIP(DefaultExtra(field().TYPE, field().NAME, code_));
  if (!defaultValue.empty()) {
    if (dialect_ == Dialect::Postgres) {
      queue(sql);
      sql = alter_ + " ALTER COLUMN " + column + " Set Default " + defaultValue;
    } else {
      sql += " Default " + defaultValue;
      traceDetail("Records exist, so go add an insert statement to the end...");
      update = "update " + QuotedTableName(table_, code_) + " set " + column + " = " + defaultValue;
    }
  }
  queue(sql);
  queue(update);
}

void FieldComparison::addBlob() {
  syncCurrent();
  const std::string name = runtime::CLIP(blob().SQLNAME);
  traceDetail("Adding blob: " + name);
  const std::string type = BlobTypeWord(code_);
  if (runtime::CLIP(type).empty()) return;
  std::string sql = alter_ + " add " + bare(name) + " " + type;
  std::string update;
  const std::string defaultValue = runtime::CLIP(DefaultExtra(blob().TYPE, blob().MEMONAME, code_));
  if (!defaultValue.empty()) {
    sql += " Default " + defaultValue;
    traceDetail("Records exist, so go add an insert statement to the end...");
    update =
        "update " + QuotedTableName(table_, code_) + " set " + bare(name) + " = " + defaultValue;
  }
  queue(sql);
  queue(update);
}

// Whether the column in hand holds a value in any row (asked of the server; a question the
// server refuses counts as data, so that nothing is dropped on doubt).
bool FieldComparison::columnHoldsData() {
  const std::string sql = "select count(*) from " + QuotedTableName(table_, code_) + " where " +
                          bare(column().ALTNAME) + " is not null having count(*) > 0";
  if (ExecuteStatement(sql, 0) != StatementAccepted) return true;
  files::FileDeclaration* backend = upkeep::registration().CurrentSqlDriver.file;
  if (backend == nullptr) return true;
  files::NEXT(*backend);
  return runtime::ERRORCODE() == 0;
}

// Drops a column the declaration lacks, unless it still holds data: that column is kept and
// reported, since no later open could bring its values back.
void FieldComparison::dropColumn() {
  const std::string name = runtime::CLIP(column().ALTNAME);
  traceDetail("Dropping field: " + name);
  if (columnHoldsData()) {
    traceDetail("Column kept, it holds data: " + name);
    return;
  }
  std::string sql;
  switch (dialect_) {
    case Dialect::Mss:
    case Dialect::Ora:
    case Dialect::Postgres: sql = alter_ + " drop column " + bare(name); break;
    case Dialect::Asa:
    case Dialect::MySql2:
    case Dialect::MySql3:
    case Dialect::Firebird: sql = alter_ + " drop " + bare(name); break;
    default: break;
  }
  queue(sql, 1);
}

bool FieldComparison::refusedByGuard(std::string_view newType) {
  const std::string current = column().TYPE;
  std::int32_t refused = 0;
  if (dialect_ == Dialect::Mss) {
    refused = ds_MSSWarnForIllegalFieldChanges("", "", newType, current, column().ALTNAME,
                                               field().NAME, table_);
  } else if (dialect_ == Dialect::Postgres) {
    refused = ds_PostGresWarnForIllegalFieldChanges("", "", newType, current, column().ALTNAME,
                                                    field().NAME, table_);
  }
  if (refused != 0) ++notMade_;
  return refused != 0;
}

void FieldComparison::alterType() {
  const std::string name = bare(newName_);
  const std::string type = runtime::CLIP(sqlType_);
  traceDetail("Altering Type: " + column().TYPE + " to " + type);
  const bool identity = checkOptionsMatch();
  std::string sql;
  switch (dialect_) {
    case Dialect::Mss:
      if (refusedByGuard(type)) return;
      sql = alter_ + " alter column " + name + " " + type;
      if (identity) sql += " Identity(" + seedIncrement_ + ")";
      break;
    case Dialect::Ora:
    case Dialect::Asa: sql = alter_ + " modify " + name + " " + type; break;
    case Dialect::MySql2:
    case Dialect::MySql3: sql = alter_ + " change " + name + " " + name + " " + type; break;
    case Dialect::Firebird: sql = alter_ + " alter " + name + " type " + type; break;
    case Dialect::Postgres:
      if (refusedByGuard(type)) return;
      sql = runtime::LOWER(type) == "serial" ? postgresSerial(runtime::CLIP(column().ALTNAME))
                                             : alter_ + " alter column " + name + " type " + type;
      break;
    default: break;
  }
  queue(sql);
  if (column().DEPENDANT != 0) HandleDependancies(code_);
}

bool FieldComparison::compatibleTypeChange() {
  std::string declaredBase, declaredArgument, liveBase, liveArgument;
  splitType(runtime::CLIP(sqlType_), declaredBase, declaredArgument);
  splitType(runtime::CLIP(column().TYPE), liveBase, liveArgument);
  switch (dialect_) {
    case Dialect::Mss: return declaredBase == "float" && liveBase == "real";
    case Dialect::Ora:
      return declaredBase == "number" && liveBase == "number" &&
             (declaredArgument == liveArgument ||
              runtime::textToLong(declaredArgument) == runtime::textToLong(liveArgument) + 1);
    case Dialect::Asa:
      return (declaredBase == "long varchar" || declaredBase == "integer" ||
              declaredBase == "timestamp") &&
             liveBase == declaredBase;
    case Dialect::MySql2: return declaredBase == "varchar" && liveBase == "decimal";
    case Dialect::Firebird: return declaredBase == "double precision" && liveBase == "double";
    case Dialect::Postgres:
      return runtime::LOWER(declaredBase) == "serial" && runtime::LOWER(liveBase) == "integer" &&
             column().AUTONUM == 1;
    default: return false;
  }
}

void FieldComparison::alterNotNull() {
  const std::string name = bare(column().ALTNAME);
  const std::string type = runtime::CLIP(sqlType_);
  traceDetail("Altering Not Null " + field().SQLNAME);
  std::string sql;
  switch (dialect_) {
    case Dialect::Mss:
      if (refusedByGuard(type)) return;
      sql = alter_ + " alter column " + name + " " + type + " Not Null";
      break;
    case Dialect::Asa: sql = alter_ + " modify " + name + " " + type + " Not Null"; break;
    case Dialect::MySql2:
    case Dialect::MySql3:
      sql = alter_ + " change " + name + " " + name + " " + type + " not null";
      break;
    case Dialect::Firebird:
      // The column as the server keeps its name; the server answers for the change itself.
      sql = alter_ + " alter " + quoted(column().ALTNAME) + " set not null";
      break;
    case Dialect::Postgres: sql = alter_ + " ALTER COLUMN " + name + " SET NOT NULL"; break;
    default: break;  // Oracle: no NOT NULL change
  }
  queue(sql);
}

bool FieldComparison::checkNullChange() {
  traceDetail("Checking null in: " + column().NAME + " " + std::to_string(column().ALLOWNULLS));
  const bool needed = column().ALLOWNULLS == 1 && inPrimaryKey(column().NAME);
  traceDetail("Checking null out: " + column().NAME + " " + (needed ? "1" : "0"));
  return needed;
}

void FieldComparison::alterAutoNumber() {
  const std::string name = runtime::CLIP(column().ALTNAME);
  const std::string type = runtime::CLIP(column().TYPE);
  traceDetail("Altering AutoNum: " + field().SQLNAME);
  std::int32_t level = kDefaultErrorLevel;
  std::string sql;
  switch (dialect_) {
    case Dialect::Mss:
    case Dialect::Ora: return;  // an existing column does not become an autonumber column
    case Dialect::Asa:
      sql = alter_ + " modify " + bare(name) + " " + type + " Identity Not Null";
      break;
    case Dialect::MySql2:
    case Dialect::MySql3:
      sql = alter_ + " change " + bare(name) + " " + bare(name) + " " + type + " auto_increment";
      break;
    case Dialect::Firebird:
      sql = firebirdGenerator(name);
      level = 1;
      break;
    case Dialect::Postgres:
      if (ds_PostGresWarnForIllegalFieldChanges("", "", "INTEGER", type, name, field().NAME,
                                                table_) != 0) {
        ++notMade_;
      } else {
        sql = postgresSerial(name);
      }
      break;
    default: break;
  }
  queue(sql, level);
  if (column().DEPENDANT != 0 && !serialMade_) HandleDependancies(code_);
  serialMade_ = false;
}

std::string FieldComparison::firebirdGenerator(const std::string& column) {
  const std::string generator = prefix_ + "_" + column;
  queue("Create Generator " + quoted(generator), 1);
  return "Create Trigger " + quoted("Get_Next_" + generator) + " for " +
         QuotedTableName(table_, code_) + " Active Before Insert position 0 as Begin   New." +
         column + " = GEN_ID(" + quoted(generator) + ",1); end ";
}

std::string FieldComparison::postgresSerial(const std::string& column) {
  std::string& schema = tableInHand().TableSchema;
  if (runtime::CLIP(schema).empty()) schema = "public";
  const std::string sequence = quoted(runtime::CLIP(schema)) + "." + quoted(column + "_seq");
  queue("CREATE SEQUENCE " + sequence + " MAXVALUE 2147483647;", 0);
  queue(alter_ + " ALTER COLUMN " + quoted(column) + " TYPE INTEGER;");
  serialMade_ = true;
  return alter_ + " ALTER COLUMN " + quoted(column) + " SET DEFAULT nextval(" +
         quotedLiteral(code_, sequence) + "::text);";
}

// Whether the declared field in hand is an autonumber column that its live column is not; keeps
// the autonumber's seed and increment.
bool FieldComparison::checkOptionsMatch() {
  seedIncrement_.clear();
  const std::string name = CasedName(prefix_ + ":" + runtime::CLIP(field().SQLNAME));
  for (const IqEntry& entry : columnTables().IQ) {
    if (entry.FIELDNAME != name) continue;
    traceDetail("CheckOptionsMatch, found in IQ: " + name);
    seedIncrement_ = runtime::CLIP(entry.SEEDINC);
    return column().AUTONUM == 0;
  }
  return false;
}

}  // namespace

std::int32_t CompareFields(std::string_view code) { return FieldComparison(code).run(); }

void HandleDependancies(std::string_view code) {
  traceInOut("-- Start of HandleDependancies  --");
  LiveStructure& live = liveStructure();
  DeclaredStructure& declared = declaredStructure();
  StatementQueues& queues = statementQueues();
  const std::string column = runtime::CLIP(live.SFDQ.current.NAME);
  for (const SkdqEntry& key : live.SKDQ.entries) {
    traceDeveloper(" ---- check key: " + key.KEYNAME);
    const std::vector<std::string> names = splitNames(key.FIELDS);
    if (std::none_of(names.begin(), names.end(),
                     [&](const std::string& name) { return sameIgnoringCase(name, column); }))
      continue;
    traceDetail("Dependant field found: " + column + " " + key.KEYNAME);
    const std::string keyName = runtime::CLIP(CasedName(key.KEYNAME));
    if (std::any_of(queues.DQ.begin(), queues.DQ.end(),
                    [&](const KeyStatement& drop) { return drop.KEYNAME == keyName; }))
      continue;
    live.SKDQ.current = key;
    queues.DQ.push_back(
        {keyName, DropKey(key.ATT, key.KEYFILENAME, tableInHand().SqlTableName, code, key.INDEX)});
    traceFieldCopy("Added to DropQ: " + queues.DQ.back().SQL);
    const auto declaredKey = std::find_if(
        declared.KDQ.entries.begin(), declared.KDQ.entries.end(),
        [&](const KdqEntry& entry) { return sameIgnoringCase(entry.SQLKEYNAME, key.KEYFILENAME); });
    if (declaredKey != declared.KDQ.entries.end()) {
      traceDeveloper("found in kdq: " + key.KEYFILENAME);
      declared.KDQ.current = *declaredKey;
      queues.AQ.push_back(
          {keyName,
           BuildKey(declaredKey->ATT, CommaSeperateAndDescCheck("D", code), declaredKey->SQLKEYNAME,
                    code, static_cast<std::uint8_t>(KeyAttributesMatch("D", code, 1)), 1)});
      continue;
    }
    traceDeveloper("not in kdq: " + key.KEYFILENAME);
    if (tableInHand().FileKeysMaster != 0) continue;  // the declaration is master: stays dropped
    const std::uint8_t index = key.INDEX != 0 || KeyAttributesMatch("S", code, 1) != 0 ? 1 : 0;
    queues.AQ.push_back({keyName, BuildKey(key.ATT, CommaSeperateAndDescCheck("S", code),
                                           key.KEYFILENAME, code, index, 1, "S")});
  }
  traceInOut("-- End of HandleDependancies  --");
}

}  // namespace upkeep_sql
