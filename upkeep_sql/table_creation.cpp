#include "upkeep_sql/table_creation.h"

#include <algorithm>

#include "platform/runtime/text.h"
#include "upkeep/open_flags.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/column_default.h"
#include "upkeep_sql/column_tables.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/key_statements.h"
#include "upkeep_sql/sql_datatype.h"
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

using Dialect = StatementDialect;

// The longest name of a key on the servers that keep key names per schema; 0 elsewhere.
std::size_t schemaWideKeyNameLimit(Dialect dialect) {
  switch (dialect) {
    case Dialect::Mss: return 128;
    case Dialect::Ora: return 30;
    case Dialect::Firebird: return 31;
    case Dialect::Postgres: return 63;
    default: return 0;
  }
}

// The SQL name of a declared key without an external name: its cased name, led by the table's
// name where two tables' keys could otherwise share one name (the table's part cut so that the
// key's own name stays whole).
std::string keySqlName(Dialect dialect, const std::string& keyName) {
  const std::size_t limit = schemaWideKeyNameLimit(dialect);
  const std::string table = runtime::CLIP(tableInHand().SqlTableName);
  if (limit == 0 || table.empty()) return CasedName(keyName);
  const std::size_t room = limit > keyName.size() + 1 ? limit - keyName.size() - 1 : 0;
  return CasedName(table.substr(0, room) + "_" + keyName);
}

// The column name an external name gives: between its double quotes, before an option word
// (less the separator before it), or the name itself.
std::string externalColumnName(const std::string& external, bool& binary) {
  binary = false;
  if (external.front() == '"') {
    const std::size_t last = external.rfind('"');
    return last > 0 ? external.substr(1, last - 1) : external.substr(1);
  }
  const std::string upper = runtime::UPPER(external);
  for (const std::string_view option : {"READONLY", "BINARY", "CHECKFORNULL"}) {
    const std::size_t at = upper.find(option);
    if (at == std::string::npos) continue;
    binary = option == "BINARY";
    return external.substr(0, at > 0 ? at - 1 : 0);
  }
  return external;
}

// The column's name and type as the CREATE TABLE writes them; empty for an unknown backend.
std::string columnHead(Dialect dialect, std::string_view code, const std::string& name,
                       const std::string& type) {
  switch (dialect) {
    case Dialect::Mss:
    case Dialect::Ora:
    case Dialect::Asa: return quotedName(code, name) + " " + type;
    case Dialect::MySql2:
    case Dialect::MySql3: return " " + bareName(code, name) + " " + type;
    case Dialect::Firebird: return " " + quotedName(code, runtime::UPPER(name)) + " " + type;
    case Dialect::Postgres: return " " + quotedName(code, runtime::LOWER(name)) + " " + type;
    default: return {};
  }
}

// The server a backend stands for, as the user knows it.
std::string serverName(Dialect dialect) {
  switch (dialect) {
    case Dialect::Mss: return "SQL Server";
    case Dialect::Ora: return "Oracle";
    case Dialect::Asa: return "SQL Anywhere";
    case Dialect::MySql2:
    case Dialect::MySql3: return "MySQL";
    case Dialect::Firebird: return "Firebird";
    case Dialect::Postgres: return "PostgreSQL";
    default: return "this server";
  }
}

// Reports that `field` (cased `label`) has no column type on the server (M27, asking whether to end
// the program); the open that asked for the table fails with the same words.
void refuseField(Dialect dialect, const std::string& label, const FdqEntry& field) {
  const std::string detail = label + " (" + runtime::CLIP(field.TYPE) + ") has no column type on " +
                             serverName(dialect) + "; the table is not created";
  LastSQLError() = "M27: " + detail;
  ds_Error("M27", detail, "", 1);
}

// What one CREATE TABLE call has found so far.
struct CreateState {
  bool autonumberSeen = false;
  bool mySqlAutoIncrementPending = false;
  bool firebirdGeneratorNeeded = false;
  std::string generatorColumn;
  bool primaryKeyInline = false;
};

// NOT NULL for a primary key's column, and the one-column primary key itself.
std::string notNullAndPrimaryKey(Dialect dialect, std::string_view code, const FdqEntry& field,
                                 const std::string& type, bool autonumber,
                                 const std::string& columnsSoFar, CreateState& state) {
  traceDeveloper("Searching for not null and pk for field: " + field.NAME);
  if (state.primaryKeyInline) return {};
  auto& keys = declaredStructure().KDQ.entries;
  const auto primary = std::find_if(keys.begin(), keys.end(), [](const KdqEntry& key) {
    traceDeveloper("Searching for not null and pk: " + key.KEYNAME + " " + key.ATT + " " +
                   std::to_string(key.NUMFIELDS) + " " + key.FIELDS);
    return runtime::UPPER(key.ATT).find("PRIMARY") != std::string::npos;
  });
  if (primary == keys.end()) return {};
  traceDeveloper("Found Primary... looping through component fields.");
  const std::string sqlName = runtime::UPPER(runtime::CLIP(field.SQLNAME));
  std::string fields = primary->FIELDS;
  std::vector<std::string> parts;
  for (std::size_t start = fields.find_first_not_of(' '); start != std::string::npos;) {
    const std::size_t end = fields.find(' ', start);
    parts.push_back(runtime::UPPER(fields.substr(start, end - start)));
    start = end == std::string::npos ? end : fields.find_first_not_of(' ', end);
  }
  std::string clause;
  for (const std::string& part : parts) {
    traceDeveloper("Checking Field: \"" + part + "\" \"" + sqlName + "\"");
    if (part != sqlName) continue;
    if (runtime::LOWER(type).find("not null") == std::string::npos) {
      switch (dialect) {
        case Dialect::Mss:
        case Dialect::MySql2:
        case Dialect::MySql3:
        case Dialect::Firebird: clause += " NOT NULL"; break;
        case Dialect::Ora:
          clause += " CONSTRAINT " +
                    bareName(code, "nn_" + runtime::CLIP(declaredStructure().InterpretedPrefix) +
                                       "_" + runtime::CLIP(field.SQLNAME)) +
                    " NOT NULL";
          break;
        case Dialect::Asa:
          if (columnsSoFar.find("NOT NULL") == std::string::npos) clause += " NOT NULL";
          break;
        case Dialect::Postgres:
          if (!autonumber) clause += " NOT NULL";
          break;
        default: break;
      }
    }
    if (parts.size() == 1) {
      traceDeveloper("One field primary key...");
      const std::string key = runtime::CLIP(primary->SQLKEYNAME);
      switch (dialect) {
        case Dialect::Mss:
        case Dialect::Ora:
        case Dialect::Firebird:
          clause += " CONSTRAINT " + quotedName(code, key) + " PRIMARY KEY" +
                    ConstraintIndexClause(
                        dialect, EveryComponentDescending(primary->NUMFIELDS, primary->FIELDNUMS),
                        quotedName(code, key));
          break;
        case Dialect::Postgres:
          clause += " CONSTRAINT " + quotedName(code, runtime::LOWER(key)) + " PRIMARY KEY";
          break;
        case Dialect::Asa: clause += " PRIMARY KEY"; break;
        case Dialect::MySql2:
        case Dialect::MySql3:
          clause +=
              state.mySqlAutoIncrementPending ? " AUTO_INCREMENT PRIMARY KEY" : " PRIMARY KEY";
          state.mySqlAutoIncrementPending = false;
          break;
        default: break;
      }
      state.primaryKeyInline = true;
      primary->MATCH = 1;
      traceDetail("Primary key found [1]: " + key);
    }
  }
  return clause;
}

// The autonumber clause of field `label`, or nothing when it is no autonumber column (a second
// one in the file reports M28 and stays an ordinary column).
std::string autonumberClause(Dialect dialect, const std::string& label, const std::string& column,
                             const FdqEntry& field, CreateState& state, bool& isAutonumber) {
  isAutonumber = false;
  auto& numbers = columnTables().IQ;
  const auto entry = std::find_if(numbers.begin(), numbers.end(),
                                  [&](const IqEntry& e) { return e.FIELDNAME == label; });
  traceDeveloper("Check if field: " + label + " in IDQ: " + (entry != numbers.end() ? "1" : "0"));
  if (entry == numbers.end()) return {};
  if (state.autonumberSeen) {
    ds_Error("M28", runtime::CLIP(field.NAME) + " " + runtime::CLIP(tableInHand().SqlTableName),
             "AutoNumber", 1);
    return {};
  }
  std::string clause;
  switch (dialect) {
    case Dialect::Mss:
      if (runtime::CLIP(entry->SEEDINC).empty()) entry->SEEDINC = "1,1";
      clause = " IDENTITY(" + runtime::CLIP(entry->SEEDINC) + ")";
      break;
    case Dialect::Asa: clause = " IDENTITY NOT NULL"; break;
    case Dialect::MySql2:
    case Dialect::MySql3: state.mySqlAutoIncrementPending = true; break;
    case Dialect::Firebird:
      state.firebirdGeneratorNeeded = true;
      state.generatorColumn = column;
      break;
    default: break;
  }
  isAutonumber = true;
  state.autonumberSeen = true;
  return clause;
}

// The blob and memo columns.
std::string blobColumns(Dialect dialect, std::string_view code) {
  StructureQueue<MdqEntry>& memos = declaredStructure().MDQ;
  traceDetail("About to add Blobs: " + std::to_string(memos.entries.size()));
  std::string columns;
  for (std::size_t j = 0; j < memos.entries.size(); ++j) {
    memos.current = memos.entries[j];
    const MdqEntry& memo = memos.current;
    traceDetail("mdq " + std::to_string(j + 1) + ": " + memo.MEMONAME + " " + memo.TYPE);
    const std::string name = runtime::CLIP(memo.SQLNAME).empty() ? memo.MEMONAME : memo.SQLNAME;
    const std::string word = BlobTypeWord(code);
    switch (dialect) {
      case Dialect::Mss:
      case Dialect::Asa: columns += quotedName(code, name) + " " + word + ", "; break;
      case Dialect::Ora:
        columns += quotedName(code, runtime::UPPER(name)) + " " + word + ", ";
        break;
      case Dialect::MySql2:
      case Dialect::MySql3: columns += " " + bareName(code, name) + " " + word + ", "; break;
      case Dialect::Firebird:
        columns += " " + quotedName(code, runtime::UPPER(name)) + " " + word + ", ";
        break;
      case Dialect::Postgres:
        columns += " " + quotedName(code, runtime::LOWER(name)) + " " + word + ", ";
        break;
      default: break;
    }
  }
  return columns;
}

// The table options after the column list.
std::string tableOptions(Dialect dialect, std::string_view code, const CreateState& state) {
  switch (dialect) {
    case Dialect::Mss:
      if (state.autonumberSeen) upkeep::openFlags().IdentityInsertNeeded = 1;
      return {};
    case Dialect::Ora: {
      const std::string space = GetTableSpace("T", runtime::CLIP(tableInHand().OutFileName));
      return space.empty() ? std::string() : " TABLESPACE " + bareName(code, space);
    }
    case Dialect::MySql2:
    case Dialect::MySql3: {
      // Current MariaDB and MySQL servers know the table type only as ENGINE.
      std::string& type = upkeep::registration().options.mysqlType;
      if (runtime::CLIP(type).empty()) type = "MyISAM";
      // An engine is a plain word; anything else is not pasted into the statement.
      const std::string engine = runtime::CLIP(type);
      return " ENGINE = " + (isPlainIdentifier(engine) ? engine : std::string("MyISAM"));
    }
    case Dialect::Postgres: return " WITHOUT OIDS;";
    default: return {};
  }
}

// Queues `sql` with its retry and error level.
void queue(std::string sql, std::int32_t retry, std::int32_t errorLevel) {
  statementQueues().SQ.push_back({.SQL = std::move(sql), .RETRY = retry, .ERRORLEVEL = errorLevel});
}

}  // namespace

void ds_SetSQLNames(std::string_view code) {
  traceInOut("ds_SetSQLNames IN.");
  SetCaseSensitivity(code);
  DeclaredStructure& declared = declaredStructure();
  const std::string file = runtime::CLIP(tableInHand().OutFileName);
  const std::string prefix = runtime::CLIP(declared.InterpretedPrefix);
  traceInOut("----------DCT FIELD STRUCTURE (" + file + ")----------");
  for (FdqEntry& field : declared.FDQ.entries) {
    const std::string external = runtime::CLIP(field.ALTNAME);
    if (external.empty()) {
      field.SQLNAME = CasedName(field.NAME);
    } else {
      bool binary = false;
      const std::string name = externalColumnName(external, binary);
      if (binary) {
        traceDeveloper("BINARY Field detected in ds_SetSQLNames: " + external);
        ds_ForceSQLDataType("BINARY - no replacing", CasedName(prefix + ":" + field.NAME));
      }
      traceDetail("Making Name: " + field.NAME + " SQLName: " + field.SQLNAME);
      field.SQLNAME = name;
    }
    CheckFieldNameLength(field.SQLNAME, code, 1);
    traceInOut("-- " + field.NAME + " " + field.TYPE + " " + field.DCTTYPE + ", name: " + external +
               ", SQLName: " + field.SQLNAME + ", other: " + field.ATTRIB + ", " +
               std::to_string(field.OVER) + ", " + std::to_string(field.LENGTH) + " --");
  }
  traceInOut("----------END - Total number of fields: " +
             std::to_string(declared.FDQ.entries.size()) + "----------");
  traceInOut("----------DCT BLOB STRUCTURE (" + file + ")----------");
  const std::int32_t caseMode = caseState().CaseMode;
  for (MdqEntry& memo : declared.MDQ.entries) {
    if (!runtime::CLIP(memo.MEMOFILENAME).empty()) {
      memo.SQLNAME = memo.MEMOFILENAME;
    } else if (caseMode == 1 || caseMode == -1 || caseMode == 2) {
      memo.SQLNAME = memo.MEMONAME;
    } else {
      memo.SQLNAME = runtime::UPPER(memo.MEMONAME);
    }
    traceInOut("-- " + memo.MEMONAME + ", name: " + memo.MEMOFILENAME +
               ", SQLName: " + memo.SQLNAME + " --");
  }
  traceInOut("----------END - Total number of blobs: " +
             std::to_string(declared.MDQ.entries.size()) + "----------");
  traceInOut("----------DCT KEY STRUCTURE (" + file + ")----------");
  const Dialect dialect = statementDialect(code);
  for (KdqEntry& key : declared.KDQ.entries) {
    if (!runtime::CLIP(key.KEYFILENAME).empty()) {
      key.SQLKEYNAME = key.KEYFILENAME;
    } else {
      key.SQLKEYNAME = keySqlName(dialect, runtime::CLIP(key.KEYNAME));
      key.FIELDS = CasedName(key.FIELDS);
    }
    traceInOut("-- " + key.KEYNAME + " " + key.ATT + ", name: " + key.KEYFILENAME +
               ", SQLName: " + key.SQLKEYNAME + " --");
    traceInOut("--   Fields: " + key.FIELDS + " --");
  }
  traceInOut("----------END - Total number of keys: " +
             std::to_string(declared.KDQ.entries.size()) + " ----------");
  traceInOut("ds_SetSQLNames OUT.");
}

std::int32_t ds_CreateSQLTable(std::string_view code) {
  const std::string table = runtime::CLIP(tableInHand().SqlTableName);
  traceInOut("-- Start of ds_CreateSQLTable " + table + " --");
  const Dialect dialect = statementDialect(code);
  DeclaredStructure& declared = declaredStructure();
  const std::string prefix = runtime::CLIP(declared.InterpretedPrefix);
  ColumnTables& tables = columnTables();
  CreateState state;
  std::string columns;
  const auto count = static_cast<std::int32_t>(declared.FDQ.entries.size());
  for (std::int32_t i = 1; i <= count; ++i) {
    const FdqEntry field = declared.FDQ.entries[static_cast<std::size_t>(i - 1)];
    if (field.MATCH != 0) continue;
    const std::int32_t total = waitProgress().SQLStepTotal;
    if (total != 0) showProgress(i * 100 / total);
    const std::string label = CasedName(prefix + ":" + field.NAME);
    const std::string type = GetSQLDatatype(label, field.TYPE, code, i);
    if (tables.GroupDetected != 0) continue;
    if (tables.DateTimeGroupDetected != 0) i += 3;
    const std::string name = runtime::CLIP(field.SQLNAME);
    const std::string head = columnHead(dialect, code, name, type);
    if (head.empty()) continue;
    if (runtime::CLIP(type).empty()) {
      // A table without the field's column would refuse every record written to it later.
      refuseField(dialect, label, field);
      traceInOut("-- End of ds_CreateSQLTable --");
      return 1;
    }
    std::string column = head;
    bool autonumber = false;
    column += autonumberClause(dialect, label, name, field, state, autonumber);
    if (!autonumber) {
      const std::string value = DefaultExtra(field.TYPE, field.NAME, code);
      if (!runtime::CLIP(value).empty()) column += " Default " + value;
    }
    column += notNullAndPrimaryKey(dialect, code, field, type, autonumber, columns + column, state);
    columns += column + ", ";
  }
  columns += blobColumns(dialect, code);
  traceDeveloper("Create fields: " + columns);
  traceDeveloper("Create fields len: " + std::to_string(columns.size()));
  columns = runtime::CLIP(columns);
  if (!columns.empty() && columns.back() == ',') columns.pop_back();

  const std::string schema = runtime::CLIP(tableInHand().TableSchema);
  if (dialect == Dialect::Postgres && !schema.empty() && schema != "public")
    queue("Create Schema " + quotedName(code, schema), 0, 0);
  const std::string quotedTable = QuotedTableName(table, code);
  const std::size_t createAt = statementQueues().SQ.size();
  queue("Create Table " + quotedTable + " (" + columns + ")" + tableOptions(dialect, code, state),
        1, 3);
  CreateKeys(code);
  if (dialect == Dialect::Firebird && state.firebirdGeneratorNeeded) {
    const std::string generator = prefix + "_" + state.generatorColumn;
    const std::string column = quotedName(code, runtime::UPPER(state.generatorColumn));
    queue("Create Generator " + quotedName(code, generator), 1, 1);
    queue("Create Trigger " + quotedName(code, "Get_Next_" + generator) + " for " + quotedTable +
              " Active Before Insert position 0 as Begin  if (New." + column + " = 0 or New." +
              column + " is NULL ) then   New." + column + " = GEN_ID(" +
              quotedName(code, generator) + ",1); end ",
          1, 1);
  }
  const std::int32_t failed = RunSQLScripts() != 0 ? 1 : 0;
  // A table made without all its keys must not stand as created: the empty table made by this
  // run is dropped, so the open that asked for it fails and the next one tries again. A table
  // this run did not make is never touched.
  if (failed != 0 && statementQueues().SQ[createAt].RETRY == 0) {
    traceDetail("Table creation failed; dropping the new table: " + table);
    ExecuteStatement("Drop Table " + quotedTable, 0);
  }
  traceInOut("-- End of ds_CreateSQLTable --");
  return failed;
}

}  // namespace upkeep_sql
