#include "upkeep_sql/key_comparison.h"

#include <algorithm>
#include <optional>
#include <string>

#include "platform/runtime/text.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/key_statements.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_dialect.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

using Dialect = StatementDialect;

std::string withoutLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : runtime::CLIP(text.substr(first));
}

bool contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

// A declared key the comparison leaves alone: not dictionary-master and allowing duplicates.
bool passedOver(const KdqEntry& key) {
  return key.MATCH != 0 || (key.DCTMASTER == 0 && key.ATT.size() > 1 &&
                            contains(std::string_view(key.ATT).substr(1), "dup"));
}

class KeyComparison {
 public:
  explicit KeyComparison(std::string_view code)
      : code_(code),
        dialect_(statementDialect(code)),
        declared_(declaredStructure().KDQ),
        live_(liveStructure().SKDQ),
        caseMode_(caseState().CaseMode),
        table_(tableInHand().SqlTableName) {}

  void run();

 private:
  void settleKeysOfChangedColumns();
  void pair(std::size_t position);
  // 1 decided (matched or rebuilt), 0 go on with the next live key.
  bool compareSameName(KdqEntry& key, SkdqEntry& live);
  // The first component whose direction the live key does not carry; none when it agrees.
  std::optional<std::size_t> directionMismatch(const KdqEntry& key, const SkdqEntry& live) const;
  bool backendRule(KdqEntry& key, SkdqEntry& live);
  void rebuildKey(KdqEntry& key, SkdqEntry& live);
  std::string buildDeclared(KdqEntry& key) {
    declared_.current = key;
    return BuildKey(key.ATT, CommaSeperateAndDescCheck("D", code_), key.SQLKEYNAME, code_,
                    static_cast<std::uint8_t>(KeyAttributesMatch("D", code_, 1)), key.DCTMASTER);
  }
  std::string dropLive(const SkdqEntry& live) {
    live_.current = live;
    return DropKey(live.ATT, live.KEYFILENAME, table_, code_, live.INDEX);
  }
  void queue(const std::string& sql, std::int32_t level = 3) {
    if (runtime::CLIP(sql).empty()) return;
    statementQueues().SQ.push_back({.SQL = sql, .RETRY = 0, .ERRORLEVEL = level});
  }
  static void keyMatched(KdqEntry& key, SkdqEntry& live) {
    traceFieldCopy("Match found for: " + key.KEYNAME);
    key.MATCH = 1;
    live.MATCH = 1;
  }
  std::string inCase(std::string_view text) const {
    const std::string clipped = runtime::CLIP(text);
    if (caseMode_ == 1 || caseMode_ == 2) return clipped;
    return caseMode_ == -1 ? runtime::LOWER(clipped) : runtime::UPPER(clipped);
  }

  std::string code_;
  Dialect dialect_;
  StructureQueue<KdqEntry>& declared_;
  StructureQueue<SkdqEntry>& live_;
  std::int32_t caseMode_;
  std::string table_;
};

void KeyComparison::run() {
  traceInOut("-- Start of CompareKeys  --");
  // Dictionary-master keys first.
  std::stable_sort(declared_.entries.begin(), declared_.entries.end(),
                   [](const KdqEntry& a, const KdqEntry& b) { return a.DCTMASTER > b.DCTMASTER; });
  settleKeysOfChangedColumns();
  for (std::size_t i = 0; i < declared_.entries.size(); ++i) pair(i);
  // The live keys the declaration lacks go first: a new key may take the place of one of them
  // (a table has one primary key).
  if (tableInHand().FileKeysMaster != 0) {
    for (const SkdqEntry& live : live_.entries) {
      if (live.MATCH != 0) continue;
      queue(dropLive(live), 1);
    }
  }
  for (KdqEntry& key : declared_.entries) {
    if (passedOver(key)) continue;
    queue(buildDeclared(key));
  }
  traceInOut("-- End of CompareKeys  --");
}

// A live key that the column changes already drop (DQ) is settled: it is made again after the
// run from its declared key (AQ), which then needs nothing more, or stays dropped. Comparing it
// again would drop it a second time, which the server refuses.
void KeyComparison::settleKeysOfChangedColumns() {
  const std::vector<KeyStatement>& drops = statementQueues().DQ;
  for (SkdqEntry& live : live_.entries) {
    const std::string name = runtime::CLIP(CasedName(live.KEYNAME));
    if (std::none_of(drops.begin(), drops.end(),
                     [&](const KeyStatement& drop) { return drop.KEYNAME == name; }))
      continue;
    live.MATCH = 1;
    for (KdqEntry& key : declared_.entries)
      if (runtime::UPPER(runtime::CLIP(key.SQLKEYNAME)) ==
          runtime::UPPER(runtime::CLIP(live.KEYFILENAME)))
        key.MATCH = 1;
  }
}

void KeyComparison::pair(std::size_t position) {
  KdqEntry& key = declared_.entries[position];
  traceDeveloper("kdq get: " + key.KEYNAME + ", master: " + std::to_string(key.DCTMASTER) +
                 ", match: " + std::to_string(key.MATCH));
  if (passedOver(key)) return;
  const std::int32_t total = waitProgress().SQLStepTotal;
  showProgress(total == 0 ? 0 : static_cast<std::int32_t>(position + 1) * 100 / total);
  const std::size_t count = live_.entries.size();
  for (std::size_t j = 0; j < count; ++j) {
    SkdqEntry& live = live_.entries[j];
    traceDeveloper("skdq get: " + live.KEYNAME + ", index: " + std::to_string(live.INDEX) +
                   ", match: " + std::to_string(live.MATCH));
    if (live.MATCH != 0) continue;
    if (caseMode_ == -1) {
      key.FIELDS = runtime::LOWER(key.FIELDS);
      live.FIELDS = runtime::LOWER(live.FIELDS);
    } else if (caseMode_ != 1 && caseMode_ != 2) {
      key.FIELDS = runtime::UPPER(key.FIELDS);
      live.FIELDS = runtime::UPPER(live.FIELDS);
    }
    const std::string declaredName = inCase(key.SQLKEYNAME);
    const std::string liveName = inCase(live.KEYFILENAME);
    traceFieldCopy("comparing d: " + declaredName + ", s: " + liveName);
    traceFieldCopy("d fields: \"" + withoutLeadingBlanks(key.FIELDS) + "\", s fields: \"" +
                   withoutLeadingBlanks(live.FIELDS) + "\"");
    if (declaredName == liveName) {
      if (key.NUMFIELDS > 0 && compareSameName(key, live)) return;
      continue;
    }
    if (backendRule(key, live)) return;
    if (inCase(declaredStructure().InterpretedPrefix) + "_" + declaredName == liveName) {
      traceInOut(
          "IMPORTANT: Upkeep detects a key named in the recommended PRE_KeyName convention,\r\n"
          "howvever, the External Name for this key in the dictionary does not match it.\r\n"
          "Upkeep will ignore this key: " +
          declaredName + " (" + liveName +
          ")\r\nPlease set your External Name correctly for each key to allow Upkeep "
          "management,\r\nand avoid this error!");
      keyMatched(key, live);
      return;
    }
  }
}

bool KeyComparison::compareSameName(KdqEntry& key, SkdqEntry& live) {
  const std::string declaredFields = withoutLeadingBlanks(key.FIELDS);
  const std::string liveFields = withoutLeadingBlanks(live.FIELDS);
  if (declaredFields != liveFields) {
    traceDeveloper("About to Rebuild Key because fields mismatch: " + declaredFields + " <> " +
                   liveFields);
    rebuildKey(key, live);
    return true;
  }
  const std::string attributes = runtime::LOWER(key.ATT);
  const std::string word = contains(attributes, "primary") ? "primary"
                           : contains(attributes, "dup")   ? "dup"
                                                           : "";
  if (word != runtime::CLIP(live.ATT)) {
    traceDeveloper("About to Rebuild Key because att mismatch: " + word + " <> " + live.ATT);
    rebuildKey(key, live);
    return true;
  }
  if (const std::optional<std::size_t> k = directionMismatch(key, live)) {
    traceDeveloper("About to Rebuild Key because fieldnums mismatch. KDQ: " +
                   std::to_string(key.FIELDNUMS[*k]) +
                   " ;SKDQ: " + std::to_string(live.FIELDNUMS[*k]));
    rebuildKey(key, live);
    return true;
  }
  keyMatched(key, live);
  return true;
}

std::optional<std::size_t> KeyComparison::directionMismatch(const KdqEntry& key,
                                                            const SkdqEntry& live) const {
  // PostgreSQL keys are made and read without directions.
  if (dialect_ == Dialect::Postgres) return std::nullopt;
  // A Firebird index runs one way: descending for a key whose every component is, else
  // ascending, so a key mixing directions agrees with an ascending index.
  if (dialect_ == Dialect::Firebird) {
    if (EveryComponentDescending(key.NUMFIELDS, key.FIELDNUMS) ==
        EveryComponentDescending(live.NUMFIELDS, live.FIELDNUMS))
      return std::nullopt;
    return 0;
  }
  const std::size_t components =
      std::min<std::size_t>(static_cast<std::size_t>(key.NUMFIELDS), kMaxKeyFieldNumbers);
  for (std::size_t k = 0; k < components; ++k) {
    // A live component of unknown direction (0, as the MySQL loader reports) agrees.
    if (live.FIELDNUMS[k] != 0 && (key.FIELDNUMS[k] < 0) != (live.FIELDNUMS[k] < 0)) return k;
  }
  return std::nullopt;
}

bool KeyComparison::backendRule(KdqEntry& key, SkdqEntry& live) {
  const std::string declaredFields = withoutLeadingBlanks(key.FIELDS);
  const std::string liveFields = withoutLeadingBlanks(live.FIELDS);
  const bool declaredPrimary = contains(runtime::UPPER(key.ATT), "PRIMARY");
  const bool livePrimary = contains(runtime::UPPER(live.ATT), "PRIMARY");
  switch (dialect_) {
    case Dialect::Mss:
    case Dialect::Asa:
    case Dialect::Postgres:
      if (!declaredPrimary || !livePrimary) return false;
      traceDeveloper("Checking Primary keys fields: " + declaredFields + " ?= " + liveFields);
      if (declaredFields != liveFields) {
        traceDeveloper("Fields not the same - must rebuild the key");
        rebuildKey(key, live);
        return true;
      }
      traceDeveloper("MatchFound!!");
      keyMatched(key, live);
      return true;
    case Dialect::MySql2:
    case Dialect::MySql3:
      if (runtime::CLIP(live.KEYNAME) == "PRIMARY" && declaredPrimary) {
        if (declaredFields == liveFields) {
          keyMatched(key, live);
        } else {
          rebuildKey(key, live);
        }
        return true;
      }
      if (runtime::CLIP(live.ATT).empty() && declaredFields == liveFields) {
        keyMatched(key, live);
        return true;
      }
      return false;
    default: return false;
  }
}

void KeyComparison::rebuildKey(KdqEntry& key, SkdqEntry& live) {
  traceDeveloper("Rebuild Key: " + live.KEYFILENAME);
  queue(dropLive(live));
  queue(buildDeclared(key));
  keyMatched(key, live);
}

}  // namespace

void CompareKeys(std::string_view code) { KeyComparison(code).run(); }

}  // namespace upkeep_sql
