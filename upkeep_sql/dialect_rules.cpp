#include "upkeep_sql/dialect_rules.h"

#include <algorithm>
#include <cstdlib>

#include "platform/runtime/expression.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/registration_tables.h"
#include "upkeep/trace.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"

namespace upkeep_sql {
namespace {

void traceInOut(const std::string& text) {
  if (upkeep::debugLevels().inOutTrace) upkeep::WriteTrace(text);
}
void traceDetail(const std::string& text) {
  if (upkeep::debugLevels().detailTrace) upkeep::WriteTrace(text);
}

bool isMySql(const std::string& kind) { return kind == "MYODBC 2" || kind == "MYODBC 3"; }

// The number and components of the current declared ("D") or live ("S") key.
std::pair<std::int32_t, const std::array<std::int16_t, kMaxKeyFieldNumbers>*> currentKey(
    std::string_view which) {
  if (which == "D") {
    const KdqEntry& key = declaredStructure().KDQ.current;
    return {key.NUMFIELDS, &key.FIELDNUMS};
  }
  if (which == "S") {
    const SkdqEntry& key = liveStructure().SKDQ.current;
    return {key.NUMFIELDS, &key.FIELDNUMS};
  }
  return {0, nullptr};
}

}  // namespace

CaseState& caseState() {
  static CaseState state;
  return state;
}

std::string ODBCDB() {
  return runtime::UPPER(runtime::CLIP(upkeep::registration().options.ODBCDB));
}

void SetCaseSensitivity(std::string_view code) {
  CaseState& state = caseState();
  if (state.CaseModeSet) {
    traceInOut("In SetCaseSensitivity: " + std::to_string(state.CaseMode) +
               " Driver: " + std::string(code));
    return;
  }
  if (code == "MSS") {
    ds_GetServerCase();
  } else if (code == "ORA" || code == "ASA") {
    state.CaseMode = 0;
  } else if (code == "ODB") {
    const std::string kind = ODBCDB();
    if (isMySql(kind)) {
      state.CaseMode = 0;
    } else if (kind == "FIREBIRD") {
      state.CaseMode = 2;
    } else if (kind == "POSTGRES") {
      state.CaseMode = -1;
    }
  }
  state.CaseModeSet = 1;
}

void ds_GetServerCase() {
  ExecuteStatement(
      "if exists (select name from sysobjects where name = 'ds_GetServerCase' and type = 'P') "
      "drop procedure ds_GetServerCase",
      0);
  ExecuteStatement(
      "CREATE procedure ds_GetServerCase @CaseVar int output as\r\n"
      "if 'a' = 'A'\r\n"
      "  set @CaseVar = 0 \r\n"
      "else\r\n"
      "  set @CaseVar = 1",
      0);
  std::int32_t locCase = 0;
  runtime::BIND("locCase", locCase);
  const std::int32_t result = ExecuteStatement("NORESULTCALL ds_GetServerCase(&locCase [OUT])", 0);
  runtime::UNBIND("locCase");
  CaseState& state = caseState();
  state.CaseMode = result == StatementAccepted && locCase == 1 ? 1 : 0;
  traceDetail("MSSQL Server CaseSensitive: " + std::to_string(state.CaseMode));
}

std::string CasedName(std::string_view name) {
  switch (caseState().CaseMode) {
    case -1: return runtime::LOWER(name);
    case 0:
    case 1:
    case 2: return runtime::UPPER(name);
    default: return std::string(name);
  }
}

std::int32_t CheckFieldNameLength(std::string_view name, std::string_view code,
                                  std::int32_t report) {
  const std::string clipped = runtime::CLIP(name);
  if (code != "ODB" || ODBCDB() != "FIREBIRD" || runtime::LEN(clipped) <= 32) return 1;
  if (report != 0) ds_Error("M67", clipped, "", 1);
  return 0;
}

std::int32_t CheckForValidKeyName(std::string_view keyName, std::string_view code) {
  static constexpr std::string_view kSqlServerWords[] = {
      "KEY", "UNIQUE", "PRIMARY", "CONSTRAINT", "ADD", "DELETE", "CREATE", "ALTER", "TABLE"};
  const std::string name = runtime::UPPER(runtime::CLIP(keyName));
  const std::string kind = runtime::UPPER(ODBCDB());
  std::span<const std::string_view> reserved;
  if (code == "MSS") {
    reserved = kSqlServerWords;
  } else if (code == "ODB" && (isMySql(kind) || kind == "FIREBIRD" || kind == "POSTGRES")) {
    reserved = std::span(kSqlServerWords).first(4);
  }
  if (std::find(reserved.begin(), reserved.end(), name) == reserved.end()) return 1;
  traceDetail("CheckForValidKeyName: Found invalid KeyName: " + name);
  return 0;
}

std::int32_t ValidFieldTypesForUniqueKey(std::string_view keySqlName, std::string_view code) {
  const std::vector<KdqEntry>& keys = declaredStructure().KDQ.entries;
  auto key = std::find_if(keys.begin(), keys.end(),
                          [&](const KdqEntry& k) { return k.SQLKEYNAME == keySqlName; });
  if (key == keys.end()) {
    key = std::find_if(keys.begin(), keys.end(), [&](const KdqEntry& k) {
      return runtime::UPPER(k.SQLKEYNAME) == runtime::UPPER(keySqlName);
    });
  }
  if (key == keys.end()) return 0;
  const bool mySql = code == "ODB" && isMySql(ODBCDB());
  std::int32_t result = 0;
  std::int32_t total = 0;
  const std::string fields = runtime::CLIP(key->FIELDS);
  std::size_t start = fields.find_first_not_of(' ');
  while (start != std::string::npos) {
    const std::size_t end = fields.find(' ', start);
    const std::string label = runtime::UPPER(fields.substr(start, end - start));
    start = end == std::string::npos ? end : fields.find_first_not_of(' ', end);
    for (const FdqEntry& field : declaredStructure().FDQ.entries) {
      if (runtime::UPPER(field.NAME) == label || runtime::UPPER(field.SQLNAME) == label ||
          runtime::UPPER(field.ALTNAME) == label) {
        total += field.LENGTH;
        break;
      }
    }
    for (const SfdqEntry& column : liveStructure().SFDQ.entries) {
      if (runtime::UPPER(column.NAME) != label || !mySql) continue;
      if (runtime::LOWER(runtime::CLIP(column.TYPE)) == "text") result = 1;
      if (total > 1000) result = 2;
      break;
    }
  }
  traceDetail("ValidFieldTypesForUniqueKey: " + std::to_string(result));
  return result;
}

bool EveryComponentDescending(std::int32_t count,
                              const std::array<std::int16_t, kMaxKeyFieldNumbers>& numbers) {
  const auto components = static_cast<std::size_t>(
      std::clamp<std::int32_t>(count, 0, static_cast<std::int32_t>(kMaxKeyFieldNumbers)));
  return components > 0 && std::all_of(numbers.begin(), numbers.begin() + components,
                                       [](std::int16_t number) { return number < 0; });
}

bool KeyWhollyDescending(std::string_view which) {
  const auto [count, components] = currentKey(which);
  return components != nullptr && EveryComponentDescending(count, *components);
}

std::int32_t KeyContainsDescending(std::string_view which) {
  traceInOut("-- Start of KeyContainsDescending. WhichQ: " + std::string(which));
  const auto [count, components] = currentKey(which);
  const std::int32_t last = std::min<std::int32_t>(count, kMaxKeyFieldNumbers);
  for (std::int32_t i = last; i >= 1 && components != nullptr; --i) {
    if ((*components)[static_cast<std::size_t>(i - 1)] < 0) {
      traceInOut("-- End of KeyContainsDescending: Found at least one  --");
      return 1;
    }
  }
  traceInOut("-- End of KeyContainsDescending: None  --");
  return 0;
}

std::int32_t KeyAttributesMatch(std::string_view which, std::string_view code, std::int32_t force) {
  if ((force & 1) != 0) return 1;
  return code == "ORA" ? KeyContainsDescending(which) : 0;
}

std::string DescendingColumn(std::string_view name) {
  if (ODBCDB() == "POSTGRES") return std::string(name);
  // Firebird refuses DESC inside a column list: it orders a whole index one way.
  if (ODBCDB() == "FIREBIRD") return runtime::CLIP(name);
  return runtime::CLIP(name) + " DESC";
}

std::string BlobTypeWord(std::string_view code) {
  if (code == "MSS") return "image";
  if (code == "ORA" || code == "ASA") return "blob";
  if (code != "ODB") return {};
  const std::string kind = ODBCDB();
  if (isMySql(kind) || kind == "FIREBIRD") return "blob";
  if (kind == "POSTGRES")
    return runtime::CLIP(declaredStructure().MDQ.current.ATTRIB) == "Binary" ? "bytea" : "text";
  return {};
}

std::int32_t IsBlobColumn() {
  const std::string type = runtime::LOWER(runtime::CLIP(liveStructure().SFDQ.current.TYPE));
  if (ODBCDB() == "POSTGRES") return type == "text" || type == "bytea" ? 1 : 0;
  return type.find("blob") != std::string::npos || type.find("image") != std::string::npos ? 1 : 0;
}

std::int32_t DCTTypeMatchesSQLType(std::string_view serverType, std::string_view declaredType) {
  const std::string declared = runtime::CLIP(declaredType);
  const std::string server = runtime::CLIP(serverType);
  traceDetail("DCTTypeMatchesSQLType IN : DCTType(" + declared + ") SQLType(" + server + ")");
  if (upkeep::debugLevels().developerLevel != 0 && server.find(",0") != std::string::npos) {
    upkeep::WriteTrace("would have removed zero scale here: " + server);
    upkeep::WriteTrace(
        "NOTE::Corvid uses odd numbers for decimal size storage. Decimals with an even number "
        "size are incremented to the next odd number.");
  }
  std::string compared = server;
  const std::size_t open = server.find('(');
  if (declared.find('(') == std::string::npos && open != std::string::npos) {
    const std::size_t close = server.find(')', open);
    if (close != std::string::npos && close + 1 < server.size()) {
      compared = server.substr(0, open) + server.substr(close + 1);
    } else {
      compared = server.substr(0, open);
    }
  }
  compared = runtime::SUB(runtime::CLIP(runtime::LOWER(compared)), 1, 252);
  const bool matches =
      declared == compared || (declared == "blob sub_type 1" && compared == "blob");
  traceDetail(std::string(matches ? "DCTTypeMatchesSQLType OUT Matches!!: DCTType: "
                                  : "DCTTypeMatchesSQLType OUT Does NOT Match: DCTType: ") +
              declared + " SQLType: " + compared);
  return matches ? 1 : 0;
}

}  // namespace upkeep_sql
