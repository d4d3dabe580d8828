#include "upkeep_sql/key_statements.h"

#include <algorithm>
#include <vector>

#include "platform/files/sql_columns.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/open_flags.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/postgres_extras.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_dialect.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/tablespaces.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

bool contains(std::string_view text, std::string_view word) {
  return runtime::UPPER(text).find(word) != std::string::npos;
}

// The component names of a key's FIELDS, separated by blanks.
std::vector<std::string> components(std::string_view fields) {
  std::vector<std::string> names;
  std::size_t start = fields.find_first_not_of(' ');
  while (start != std::string_view::npos) {
    const std::size_t end = fields.find(' ', start);
    names.emplace_back(fields.substr(start, end - start));
    start = end == std::string_view::npos ? end : fields.find_first_not_of(' ', end);
  }
  return names;
}

// " (" + columns + ")", or the MySQL form over the first characters of a long column.
std::string columnsClause(const std::string& columns) {
  const std::int32_t prefix = MySQLIndexPrefixLength();
  if (prefix != 0) return " (" + columns + "(" + std::to_string(prefix) + "))";
  return " (" + columns + ")";
}

// Queues `sql` with the retry and error level of the statement queued last (after a CREATE
// TABLE: retried, and failing the run).
void queue(std::string sql) {
  std::vector<SqEntry>& sq = statementQueues().SQ;
  SqEntry entry{.SQL = std::move(sql), .RETRY = 1, .ERRORLEVEL = 3};
  if (!sq.empty()) {
    entry.RETRY = sq.back().RETRY;
    entry.ERRORLEVEL = sq.back().ERRORLEVEL;
  }
  sq.push_back(std::move(entry));
}

void progress(std::size_t position) {
  const std::int32_t total = waitProgress().SQLStepTotal;
  if (total != 0) showProgress(static_cast<std::int32_t>(position * 100 / total));
}

std::string withTablespace(StatementDialect backend, std::string statement,
                           const std::string& key) {
  if (backend == StatementDialect::Ora) statement += IndexTableSpaceClause(key);
  return statement;
}

}  // namespace

std::string IndexDirectionWord(StatementDialect backend, bool whollyDescending) {
  return backend == StatementDialect::Firebird && whollyDescending ? "DESCENDING " : "";
}

std::string ConstraintIndexClause(StatementDialect backend, bool whollyDescending,
                                  std::string_view indexName) {
  if (IndexDirectionWord(backend, whollyDescending).empty()) return {};
  return " USING DESCENDING INDEX " + std::string(indexName);
}

std::int32_t& MySQLIndexPrefixLength() {
  static std::int32_t length = 0;
  return length;
}

std::string QuotedTableName(std::string_view name, std::string_view code) {
  return QuotedTableNameIn(tableInHand().TableSchema, name, code);
}

std::string QuotedTableNameIn(std::string_view schemaName, std::string_view name,
                              std::string_view code) {
  const std::string schema = runtime::CLIP(schemaName);
  const std::string table = runtime::CLIP(name);
  const std::string kind = ODBCDB();
  if (kind == "POSTGRES") {
    return quotedName("ODB", schema.empty() ? "public" : schema) + "." +
           quotedName("ODB", runtime::LOWER(table));
  }
  // Firebird: the name folded to upper case, as the table driver names it unquoted.
  if (schema.empty() && kind == "FIREBIRD")
    return quotedName("ODB", files::namedInCase(files::SqlBackend::Firebird, table));
  if (schema.empty()) return bareName(code, table);
  return bareName(code, schema) + "." + bareName(code, table);
}

std::int32_t IsSqlDriverCode(std::string_view code) {
  return code == "MSS" || code == "ORA" || code == "ODB" || code == "ASA" ? 1 : 0;
}

std::string OwnerForDriver(std::string_view code) {
  const upkeep::OpenFlags& flags = upkeep::openFlags();
  if (code == "MSS") return flags.MSSFileOwner;
  if (code == "ORA") return flags.ORAFileOwner;
  if (code == "ODB") return flags.ODBFileOwner;
  if (code == "ASA") return flags.ASAFileOwner;
  return flags.FileOwner;
}

std::string CommaSeperateAndDescCheck(std::string_view which, std::string_view code) {
  traceInOut("-- Start of CommaSeperateAndDescCheck. WhichQ: " + std::string(which) + " --");
  std::string fields;
  const std::int16_t* numbers = nullptr;
  if (which == "D") {
    const KdqEntry& key = declaredStructure().KDQ.current;
    fields = key.FIELDS;
    numbers = key.FIELDNUMS.data();
    MySQLIndexPrefixLength() = 0;
  } else if (which == "S") {
    const SkdqEntry& key = liveStructure().SKDQ.current;
    fields = key.FIELDS;
    numbers = key.FIELDNUMS.data();
  }
  std::vector<std::string> names = components(fields);
  const bool postgres = ODBCDB() == "POSTGRES";
  if (which == "D" && names.size() == 1 && isMySql(statementDialect(code))) {
    const std::string wanted = runtime::LOWER(names.front());
    for (const FdqEntry& field : declaredStructure().FDQ.entries) {
      if (runtime::LOWER(runtime::CLIP(field.NAME)) == wanted && field.LENGTH > 255) {
        MySQLIndexPrefixLength() = 255;
        break;
      }
    }
  }
  // PostgreSQL: every name quoted, in lower case.
  if (postgres) names = components(PostgresColumnList(runtime::LOWER(fields)));
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string column = postgres ? names[i] : bareName(code, names[i]);
    if (i < kMaxKeyFieldNumbers && numbers[i] < 0) column = DescendingColumn(column);
    list += (i == 0 ? "" : ", ") + column;
  }
  traceInOut("-- End of CommaSeperateAndDescCheck " + list + " --");
  return list;
}

std::string BuildKey(std::string_view attributes, std::string_view columns,
                     std::string_view keyName, std::string_view code, std::uint8_t isIndex,
                     std::uint8_t force, std::string_view which) {
  traceDeveloper("BuildKey: " + std::string(keyName) + " Fields: " + std::string(columns) +
                 " Att: " + std::string(attributes) + " Ind: " + std::to_string(isIndex) +
                 " Force: " + std::to_string(force));
  const KdqEntry& declared = declaredStructure().KDQ.current;
  const std::string sqlKeyName = runtime::CLIP(declared.SQLKEYNAME);
  if (CheckForValidKeyName(sqlKeyName, code) == 0) {
    ds_Error("M48", sqlKeyName, "", 1);
    return {};
  }
  const StatementDialect backend = statementDialect(code);
  const bool descending = KeyWhollyDescending(which);
  const std::string table = runtime::CLIP(tableInHand().SqlTableName);
  const std::string prefix = "Alter Table " + QuotedTableName(table, code);
  const std::string key = runtime::CLIP(keyName);
  const std::string list = " (" + runtime::CLIP(columns) + ")";
  enum class Form { None, Primary, Unique, Index } form = Form::None;
  std::string word;
  if (contains(attributes, "PRIMARY")) {
    form = Form::Primary;
  } else if (contains(attributes, "DUP")) {
    if (isIndex) {
      form = Form::Index;
    } else if (force) {
      form = Form::Unique;
    }
  } else {
    switch (ValidFieldTypesForUniqueKey(key, code)) {
      case 0:
        word = "UNIQUE";
        form = isIndex ? Form::Index : Form::Unique;
        break;
      case 1:
        ds_Error("M43",
                 "Key: " + key + ". Type: " + runtime::CLIP(liveStructure().SFDQ.current.TYPE), "",
                 1);
        return {};
      default: ds_Error("M44", "Key: " + key + ".", "", 1); return {};
    }
  }
  switch (form) {
    case Form::Primary:
      traceDeveloper("Create Primary Key: " + key);
      if (backend == StatementDialect::Mss || backend == StatementDialect::Ora ||
          backend == StatementDialect::Firebird)
        return prefix + " ADD CONSTRAINT " + quotedName(code, key) + " PRIMARY KEY" + list +
               ConstraintIndexClause(backend, descending, quotedName(code, key));
      if (backend == StatementDialect::Asa || backend == StatementDialect::MySql2 ||
          backend == StatementDialect::MySql3 || backend == StatementDialect::Postgres)
        return prefix + " ADD PRIMARY KEY" + list;
      return {};
    case Form::Unique:
      traceDeveloper("Create Unique Constraint: " + key);
      switch (backend) {
        case StatementDialect::Mss:
        case StatementDialect::Ora:
          return "ALTER TABLE " + bareName(code, table) + " ADD CONSTRAINT " +
                 quotedName(code, key) + " " + word + list;
        case StatementDialect::Asa:
          return "ALTER TABLE " + bareName(code, table) + " ADD " + word + list;
        case StatementDialect::MySql2:
        case StatementDialect::MySql3:
        case StatementDialect::Firebird:
          return prefix + " ADD CONSTRAINT " + bareName(code, key) + " " + word + list +
                 ConstraintIndexClause(backend, descending, bareName(code, key));
        case StatementDialect::Postgres:
          return prefix + " ADD CONSTRAINT " + quotedName(code, runtime::LOWER(key)) + " " + word +
                 list;
        default: return {};
      }
    case Form::Index:
      traceDeveloper("Create Index: " + key);
      switch (backend) {
        case StatementDialect::Ora:
          return "CREATE " + word + " INDEX " + quotedName(code, key) + " ON " +
                 bareName(code, table) + list + IndexTableSpaceClause(key);
        case StatementDialect::MySql2:
        case StatementDialect::MySql3:
          return "CREATE " + word + " INDEX " + bareName(code, key) + " ON " +
                 bareName(code, table) + columnsClause(runtime::CLIP(columns));
        case StatementDialect::Postgres:
          // The table as it was created: schema "public" when blank, the name in lower case.
          return "CREATE " + word + " INDEX " + quotedName(code, runtime::LOWER(key)) + " ON " +
                 QuotedTableName(table, code) + " USING btree" + list;
        case StatementDialect::Firebird:
          return "CREATE " + word + " " + IndexDirectionWord(backend, descending) + "INDEX " +
                 quotedName(code, key) + " ON " + QuotedTableName(table, code) + list;
        default:
          return "CREATE " + word + " INDEX " + quotedName(code, key) + " ON " +
                 bareName(code, table) + list;
      }
    case Form::None: break;
  }
  return {};
}

std::string DropKey(std::string_view attributes, std::string_view keyName,
                    std::string_view tableName, std::string_view code, std::uint8_t isIndex) {
  const StatementDialect backend = statementDialect(code);
  const std::string prefix =
      "Alter Table " + QuotedTableName(runtime::CLIP(tableInHand().SqlTableName), code);
  const std::string key = runtime::CLIP(keyName);
  const bool primary = contains(attributes, "PRIMARY");
  if (!isIndex) {
    traceDeveloper("Dropping Key: " + key);
    switch (backend) {
      case StatementDialect::Mss:
      case StatementDialect::Ora:
      case StatementDialect::Firebird: return prefix + " Drop Constraint " + bareName(code, key);
      case StatementDialect::Asa:
        return primary ? prefix + " Drop Primary Key"
                       : prefix + " Drop Unique(" + CommaSeperateAndDescCheck("S", code) + ")";
      case StatementDialect::MySql2:
      case StatementDialect::MySql3:
        // The primary key of a MySQL table is always named PRIMARY, a word that cannot be
        // quoted here.
        return primary ? prefix + " Drop PRIMARY Key"
                       : prefix + " Drop Index " + bareName(code, key);
      case StatementDialect::Postgres:
        return prefix + " Drop Constraint " + quotedName(code, key) + " RESTRICT";
      default: return {};
    }
  }
  traceDeveloper("Dropping Index: " + key);
  const std::string schema = runtime::CLIP(tableInHand().TableSchema);
  switch (backend) {
    case StatementDialect::Mss:
      return "Drop Index " + bareName(code, runtime::CLIP(tableName)) + "." + bareName(code, key);
    case StatementDialect::Ora:
    case StatementDialect::Asa: return "Drop Index " + bareName(code, key);
    case StatementDialect::MySql2:
    case StatementDialect::MySql3: return prefix + " Drop Index " + bareName(code, key);
    case StatementDialect::Firebird:
    case StatementDialect::Postgres:
      return "Drop Index " + (schema.empty() ? "" : quotedName(code, schema) + ".") +
             quotedName(code, key);
    default: return {};
  }
}

void CreateKeys(std::string_view code) {
  traceInOut("-- Start of CreateKeys  --");
  const StatementDialect backend = statementDialect(code);
  const std::string table = QuotedTableName(runtime::CLIP(tableInHand().SqlTableName), code);
  StructureQueue<KdqEntry>& keys = declaredStructure().KDQ;
  keys.current = {};
  const std::size_t count = keys.entries.size();
  for (std::size_t i = 0; i < count; ++i) {
    keys.current = keys.entries[i];
    const KdqEntry& entry = keys.current;
    const std::string key = runtime::CLIP(entry.SQLKEYNAME);
    if (CheckForValidKeyName(key, code) == 0) ds_Error("M48", key, "", 1);
    const std::string upperAtt = runtime::UPPER(entry.ATT);
    const std::size_t primaryAt = upperAtt.find("PRIMARY");
    if (primaryAt != std::string::npos && primaryAt >= 1) {
      if (entry.MATCH == 1) continue;
      const std::string columns = CommaSeperateAndDescCheck("D", code);
      traceDetail("Primary key found [2]: " + key);
      progress(i + 1);
      traceDetail("Adding Primary Key: " + key + " on " + columns);
      const std::string add = "ALTER TABLE " + table + " ADD ";
      switch (backend) {
        case StatementDialect::Mss:
        case StatementDialect::Firebird:
        case StatementDialect::Postgres:
          queue(add + "CONSTRAINT " + quotedName(code, key) + " PRIMARY KEY (" + columns + ")" +
                ConstraintIndexClause(backend,
                                      EveryComponentDescending(entry.NUMFIELDS, entry.FIELDNUMS),
                                      quotedName(code, key)));
          break;
        case StatementDialect::Ora:
          if (KeyContainsDescending("D") == 1) {
            runtime::STOP(
                "Attempting to create a Primary Constraint with a descending component: " + key);
          } else {
            queue(add + "CONSTRAINT " + bareName(code, key) + " PRIMARY KEY (" + columns + ")");
          }
          break;
        case StatementDialect::Asa:
        case StatementDialect::MySql2:
        case StatementDialect::MySql3: queue(add + "PRIMARY KEY (" + columns + ")"); break;
        default: break;
      }
      continue;
    }
    progress(i + 1);
    const std::string columns = CommaSeperateAndDescCheck("D", code);
    const bool dup = upperAtt.find("DUP") != std::string::npos;
    if (dup && entry.DCTMASTER != 1) continue;
    const bool uniqueIndex = !dup && (entry.DCTMASTER == 1 || (backend == StatementDialect::Ora &&
                                                               KeyContainsDescending("D") == 1));
    if (dup || uniqueIndex) {
      traceDetail(std::string(dup ? "Adding Index: " : "Adding Unique Index: ") + key + " on " +
                  columns);
      const std::string create =
          std::string(dup ? "CREATE " : "CREATE UNIQUE ") +
          IndexDirectionWord(backend, EveryComponentDescending(entry.NUMFIELDS, entry.FIELDNUMS)) +
          "INDEX ";
      switch (backend) {
        case StatementDialect::Mss:
        case StatementDialect::Ora:
        case StatementDialect::Asa:
          queue(withTablespace(
              backend, create + bareName(code, key) + " ON " + table + " (" + columns + ")", key));
          break;
        case StatementDialect::MySql2:
        case StatementDialect::MySql3:
          queue(create + bareName(code, key) + " ON " + table + columnsClause(columns));
          break;
        case StatementDialect::Firebird:
        case StatementDialect::Postgres:
          queue(create + quotedName(code, dup ? CasedName(key) : key) + " ON " + table + " (" +
                columns + ")");
          break;
        default: break;
      }
      continue;
    }
    traceDetail("Adding Unique Constraint: " + key + " on " + columns);
    const std::string add = "ALTER TABLE " + table + " ADD ";
    switch (backend) {
      case StatementDialect::Mss:
      case StatementDialect::Ora:
        queue(add + "CONSTRAINT " + quotedName(code, key) + " UNIQUE (" + columns + ")");
        break;
      case StatementDialect::Asa: queue(add + "UNIQUE (" + columns + ")"); break;
      case StatementDialect::MySql2:
      case StatementDialect::MySql3:
        // A long text column takes part in a unique key only through its first characters.
        queue(add + "CONSTRAINT " + bareName(code, key) + " UNIQUE" + columnsClause(columns));
        break;
      case StatementDialect::Firebird:
      case StatementDialect::Postgres: {
        const std::string name = quotedName(code, CasedName(key));
        queue(add + "CONSTRAINT " + name + " UNIQUE (" + columns + ")" +
              ConstraintIndexClause(
                  backend, EveryComponentDescending(entry.NUMFIELDS, entry.FIELDNUMS), name));
        break;
      }
      default: break;
    }
  }
  traceInOut("-- End of CreateKeys  --");
}

}  // namespace upkeep_sql
