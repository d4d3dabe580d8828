#include "upkeep_sql/tablespaces.h"

#include <algorithm>

#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kOracle = "ORA";

const TablespaceEntry* findEntry(const std::vector<TablespaceEntry>& table, const std::string& name,
                                 std::string_view defaultName) {
  for (const std::string_view wanted : {std::string_view(name), defaultName}) {
    const auto entry = std::find_if(table.begin(), table.end(),
                                    [&](const TablespaceEntry& e) { return e.NAME == wanted; });
    if (entry != table.end()) return &*entry;
  }
  return nullptr;
}

// A size Oracle takes after Size: digits with an optional unit letter.
bool isSize(const std::string& size) {
  if (size.empty()) return false;
  std::size_t digits = 0;
  while (digits < size.size() && size[digits] >= '0' && size[digits] <= '9') ++digits;
  if (digits == 0) return false;
  if (digits == size.size()) return true;
  return digits + 1 == size.size() &&
         std::string_view("KMGTkmgt").find(size.back()) != std::string_view::npos;
}

}  // namespace

std::string GetTableSpace(std::string_view kind, std::string_view name) {
  if (upkeep::debugLevels().developerLevel != 0) {
    runtime::STOP(
        "Check TableSpace for Postgres - might need to call CasedName.|This stop is only in the "
        "Dev version - relax");
  }
  traceInOut("-- Start of GetTableSpace: obj " + runtime::CLIP(name) + " ti " +
             runtime::CLIP(kind) + " --");
  const ColumnTables& tables = columnTables();
  const std::string key = runtime::UPPER(runtime::CLIP(name));
  const TablespaceEntry* entry = nullptr;
  if (kind == "T") {
    entry = findEntry(tables.TSQ, key, "DCTTBLSPC_");
  } else if (kind == "I") {
    entry = findEntry(tables.ISQ, key, "DCTIDXSPC_");
  }
  std::string answer;
  if (entry != nullptr) {
    answer = runtime::CLIP(entry->SPACE);
    if (FindTableSpace(answer) == 0 &&
        CreateTableSpace(runtime::CLIP(entry->SIZE), runtime::CLIP(entry->DIR), answer) != 0) {
      ds_Error("M29", answer, "", 1);
    }
  }
  traceInOut("-- End of GetTableSpace " + answer + " --");
  return answer;
}

std::uint8_t FindTableSpace(std::string_view name) {
  traceInOut("-- Start of FindTableSpace " + runtime::CLIP(name) + " --");
  std::uint8_t found = 0;
  const std::string query =
      "select TABLESPACE_NAME from user_tablespaces where TABLESPACE_NAME = " +
      quotedLiteral(kOracle, runtime::CLIP(name));
  if (ExecuteStatement(query, 0) == StatementAccepted) {
    files::FileDeclaration* backend = upkeep::registration().CurrentSqlDriver.file;
    if (backend != nullptr) {
      files::NEXT(*backend);
      found = runtime::ERRORCODE() == 0 ? 1 : 0;
    }
  }
  traceInOut("-- End of FindTableSpace " + std::to_string(found) + " --");
  return found;
}

std::uint8_t CreateTableSpace(std::string_view size, std::string_view dataFile,
                              std::string_view name) {
  traceInOut("-- Start of CreateTableSpace  --");
  const std::string clippedSize = runtime::CLIP(size);
  std::uint8_t failed = 1;
  if (isSize(clippedSize)) {
    const std::string statement = "Create TableSpace " + quotedName(kOracle, runtime::CLIP(name)) +
                                  "  Logging" + "  Datafile " +
                                  quotedLiteral(kOracle, runtime::CLIP(dataFile)) + "  Size " +
                                  clippedSize + "  Extent Management Local";
    failed = ExecuteStatement(statement, 1) != StatementAccepted ? 1 : 0;
  } else {
    traceDetail("Tablespace size refused: " + clippedSize);
  }
  traceInOut("-- End of CreateTableSpace  --");
  return failed;
}

std::string IndexTableSpaceClause(std::string_view indexName) {
  const std::string space = GetTableSpace("I", runtime::CLIP(indexName));
  return space.empty() ? std::string() : " TABLESPACE " + space;
}

}  // namespace upkeep_sql
