#include "upkeep_sql/catalogue_reading.h"

#include <algorithm>
#include <cstring>

#include "platform/files/file_driver.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"

namespace upkeep_sql {

void traceLoaderStart(std::string_view loader) {
  traceInOut("-- Start of " + std::string(loader) + "  --");
}

bool runCatalogueStatement(const std::string& statement, std::string_view tag,
                           std::string_view separator, std::string_view message) {
  if (ExecuteStatement(statement, 0) == StatementAccepted) return true;
  ds_Error(message,
           std::string(tag) + runtime::FILEERRORCODE() + std::string(separator) +
               runtime::CLIP(runtime::FILEERROR()),
           "", 1);
  return false;
}

bool nextAnswerRow() {
  files::FileDeclaration* backend = upkeep::registration().CurrentSqlDriver.file;
  if (backend == nullptr) return false;
  files::NEXT(*backend);
  if (runtime::ERRORCODE() != 0) return false;
  copyBackendRecord();
  return true;
}

bool readAnswerOnce() {
  if (nextAnswerRow()) return true;
  sqlRowBuffer() = {};
  return false;
}

void holdAnswerRow(int columns) {
  TiqEntry row;
  for (int n = 1; n <= columns && n <= static_cast<int>(kTableInfoColumns); ++n)
    row.FIELD[static_cast<std::size_t>(n - 1)] = rowColumn(n);
  liveStructure().TIQ.push_back(std::move(row));
}

std::string applyConstraintRows(SkdqEntry& key, std::string_view primaryType,
                                std::string_view uniqueType) {
  std::string constraint;
  while (nextAnswerRow()) {
    const std::string type = runtime::UPPER(rowColumn(2));
    if (type == primaryType) {
      key.ATT = "primary";
    } else if (type == uniqueType) {
      key.ATT.clear();
    } else {
      break;
    }
    key.INDEX = 0;
    constraint = runtime::CLIP(rowColumn(1));
  }
  return constraint;
}

void addLiveColumn(SfdqEntry column) {
  column.MATCH = 0;
  column.DEPENDANT = 0;
  if (upkeep::debugLevels().detailTrace || !runtime::COMMAND("/debugNulls").empty()) {
    upkeep::WriteTrace("Field in SQL db: " + runtime::CLIP(column.NAME) + " Type: " +
                       runtime::CLIP(column.TYPE) + " Null: " + std::to_string(column.ALLOWNULLS));
  }
  liveStructure().SFDQ.entries.push_back(std::move(column));
}

SkdqEntry keyStartingWith(std::string_view keyName, std::string_view keyFileName,
                          std::string_view column, bool descending) {
  SkdqEntry key;
  key.KEYNAME = std::string(keyName);
  key.KEYFILENAME = std::string(keyFileName);
  key.FIELDS = runtime::CLIP(column);
  key.NUMFIELDS = 1;
  key.FIELDNUMS[0] = descending ? -1 : 1;
  return key;
}

void addKeyComponent(SkdqEntry& key, std::string_view column, bool descending, bool leadingBlank) {
  constexpr int kFieldsWidth = 1000;
  ++key.NUMFIELDS;
  const std::string list =
      leadingBlank ? runtime::CLIP(runtime::LEFT(key.FIELDS)) : runtime::CLIP(key.FIELDS);
  key.FIELDS = runtime::SUB(list + " " + runtime::CLIP(column), 1, kFieldsWidth);
  if (key.NUMFIELDS <= static_cast<std::int32_t>(kMaxKeyFieldNumbers)) {
    const auto number = static_cast<std::int16_t>(key.NUMFIELDS);
    key.FIELDNUMS[static_cast<std::size_t>(number - 1)] =
        static_cast<std::int16_t>(descending ? -number : number);
  }
}

void markDependantColumn(std::string_view column, bool upperCase) {
  const std::string clipped = runtime::CLIP(column);
  const std::string name = upperCase ? runtime::UPPER(clipped) : clipped;
  SfdqEntry* found = liveColumn(name);
  if (found == nullptr) {
    ds_Error("M38", clipped, "", 0);
    return;
  }
  traceDeveloper("Marked as dependant: " + clipped);
  found->DEPENDANT = 1;
}

std::string withoutZeroScale(std::string_view type) {
  const std::string lower = runtime::LOWER(runtime::CLIP(type));
  const std::size_t open = lower.find('(');
  if (open == std::string::npos) return std::string(type);
  const std::string base = lower.substr(0, open);
  const std::size_t zero = lower.find(",0)", open);
  if ((base != "decimal" && base != "numeric") || zero == std::string::npos)
    return std::string(type);
  return lower.substr(0, zero) + lower.substr(zero + 2);
}

SfdqEntry* liveColumn(std::string_view name) {
  auto& columns = liveStructure().SFDQ.entries;
  const auto found = std::find_if(columns.begin(), columns.end(),
                                  [&](const SfdqEntry& c) { return c.NAME == name; });
  return found == columns.end() ? nullptr : &*found;
}

}  // namespace upkeep_sql
