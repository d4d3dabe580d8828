#include "upkeep_sql/column_default.h"

#include <algorithm>
#include <optional>

#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

bool isNumericBase(const std::string& base) {
  static constexpr std::string_view kNumeric[] = {"byte", "decimal", "pdecimal", "long", "ulong",
                                                  "real", "short",   "ushort",   "sreal"};
  return std::find(std::begin(kNumeric), std::end(kNumeric), base) != std::end(kNumeric);
}

// The BlankZero value of field `name` of the file in hand: the field's entry, else the file's,
// else the global option.
std::uint8_t blankZero(std::string_view name) {
  const ColumnTables& tables = columnTables();
  const std::string file = runtime::LOWER(runtime::CLIP(tableInHand().OutFileName));
  const std::uint8_t option = upkeep::registration().options.blankZero;
  traceDetail("BlankZero Check... DictBlankZero: " + std::to_string(option));
  std::uint8_t value = option;
  const auto fileEntry = std::find_if(tables.BFILQ.begin(), tables.BFILQ.end(),
                                      [&](const BfilqEntry& e) { return e.FILENAME == file; });
  if (fileEntry != tables.BFILQ.end()) {
    value = fileEntry->VALUE;
  } else {
    traceDetail("No BlankZero File value found! " + std::string(name));
  }
  const std::string field = runtime::LOWER(runtime::CLIP(declaredStructure().InterpretedPrefix) +
                                           ":" + std::string(name));
  const auto fieldEntry = std::find_if(tables.BFQ.begin(), tables.BFQ.end(),
                                       [&](const BfqEntry& e) { return e.FIELDNAME == field; });
  if (fieldEntry != tables.BFQ.end()) {
    value = fieldEntry->VALUE;
  } else {
    traceDetail("No BlankZero Field value found! " + field);
  }
  traceDetail("BlankZero Check... OUT: " + std::to_string(value));
  return value;
}

// The SetIfNew value of field `name`, a text one as a literal; nothing when it has none.
std::optional<std::string> setIfNew(std::string_view name, bool numeric, std::string_view code) {
  const auto& entries = columnTables().ITQ;
  if (entries.empty()) return std::nullopt;
  const std::string label = runtime::UPPER(runtime::CLIP(declaredStructure().InterpretedPrefix) +
                                           ":" + runtime::CLIP(name));
  traceDetail("Checking SetIfNew Q: " + std::to_string(entries.size()));
  traceDetail("Checking SetIfNew: " + CasedName(label));
  const auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const ItqEntry& e) { return e.NAME == label; });
  if (entry == entries.end()) {
    if (runtime::UPPER(name).find("GUID") != std::string::npos)
      traceFieldCopy(
          "New GUID field detected... SQL needs code generated to insert each row "
          "with a GUID!");
    return std::nullopt;
  }
  const std::string value = runtime::CLIP(entry->VALUE);
  if (runtime::UPPER(runtime::CLIP(runtime::LEFT(value))) == "AUTONUMBER") {
    traceFieldCopy("SetIfNew AUTONUMBER field detected... Upkeep does not support this feature.");
    return std::nullopt;
  }
  std::string answer = numeric ? value : quotedLiteral(code, value);
  traceDetail("Setting new: " + answer);
  return answer;
}

}  // namespace

std::string DefaultExtra(std::string_view type, std::string_view name, std::string_view code) {
  traceDetail("DefaultExtra IN: " + runtime::CLIP(name) + " " + runtime::CLIP(type));
  const std::string clippedType = runtime::CLIP(type);
  const std::string base =
      runtime::LOWER(runtime::CLIP(clippedType.substr(0, clippedType.find('('))));
  const bool numeric = isNumericBase(base);
  traceDetail(std::string("isnum: ") + (numeric ? "1" : "0"));
  std::string answer;
  if (blankZero(name) == 1) {
    traceDetail("Make blank / zero!");
    answer = numeric ? "0" : "''";
  }
  if (const std::optional<std::string> value = setIfNew(name, numeric, code)) {
    const std::size_t function = value->find("SQLFUNC_");
    if (function != std::string::npos) {
      // SQLFUNC_(f()) names a server function: the text inside the parentheses, which for a
      // text field keeps the literal's apostrophes' place as parentheses.
      const int length = runtime::LEN(*value);
      answer = runtime::CLIP(runtime::SUB(*value, 10, length - 10));
      traceDeveloper("default2: " + *value + " :: " + runtime::SUB(*value, 1, 8) +
                     " :: " + runtime::SUB(*value, 9, length - 8));
      traceDeveloper("default: " + answer);
      if (runtime::LOWER(*value).find("newid") != std::string::npos || base == "uniqueidentifier") {
        answer += " ROWGUIDCOL";
        traceDeveloper("default is rowguid: " + answer);
      }
    } else {
      answer = *value;
    }
  }
  traceDetail("DefaultExtra OUT: " + answer);
  return answer;
}

}  // namespace upkeep_sql
