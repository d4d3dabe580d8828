// Helpers of the structure tests: answer rows written as texts, and the live queues in a form
// that compares and prints as a whole.
#pragma once

#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/files/sql_connection.h"
#include "upkeep_sql/structure_queues.h"

namespace upkeep_sql::testing {

// One answer row; nullptr stands for NULL.
inline files::SqlRow row(std::initializer_list<const char*> cells) {
  files::SqlRow result;
  for (const char* cell : cells)
    result.push_back({cell == nullptr ? std::nullopt : std::optional<std::string>(cell)});
  return result;
}

// A column as "NAME|TYPE|ALTNAME|AUTONUM|ALLOWNULLS|DEPENDANT".
inline std::vector<std::string> columnLines() {
  std::vector<std::string> lines;
  for (const SfdqEntry& c : liveStructure().SFDQ.entries)
    lines.push_back(c.NAME + "|" + c.TYPE + "|" + c.ALTNAME + "|" + std::to_string(c.AUTONUM) +
                    "|" + std::to_string(c.ALLOWNULLS) + "|" + std::to_string(c.DEPENDANT));
  return lines;
}

// A key as "KEYNAME|KEYFILENAME|ATT|INDEX|MATCH|FIELDS|NUMFIELDS|FIELDNUMS..." (the numbers of
// its components only).
inline std::vector<std::string> keyLines() {
  std::vector<std::string> lines;
  for (const SkdqEntry& k : liveStructure().SKDQ.entries) {
    std::string line = k.KEYNAME + "|" + k.KEYFILENAME + "|" + k.ATT + "|" +
                       std::to_string(k.INDEX) + "|" + std::to_string(k.MATCH) + "|[" + k.FIELDS +
                       "]|" + std::to_string(k.NUMFIELDS) + "|";
    for (int n = 0; n < k.NUMFIELDS && n < static_cast<int>(kMaxKeyFieldNumbers); ++n)
      line += (n > 0 ? "," : "") + std::to_string(k.FIELDNUMS[static_cast<std::size_t>(n)]);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace upkeep_sql::testing
