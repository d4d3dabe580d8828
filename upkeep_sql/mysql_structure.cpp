#include "upkeep_sql/mysql_structure.h"

#include <sql.h>
#include <sqlext.h>

#include <cstring>

#include "platform/files/sql_quoting.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/message.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/trace.h"
#include "upkeep_sql/catalogue_reading.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

constexpr std::size_t kColumnCapacity = 3001;
constexpr int kAnswerColumns = 10;
constexpr int kTextLength = 255;

// One load's handles and answer (`MQ`); freed handles are set back to null so that no later
// diagnostic reads a freed one.
struct MySqlSession {
  SQLHENV environment = SQL_NULL_HENV;
  SQLHDBC connection = SQL_NULL_HDBC;
  SQLHSTMT statement = SQL_NULL_HSTMT;
  std::uint8_t MySQLConnected = 0;
  std::string statementText;
  std::vector<MySqlAnswerRow> MQ;
  bool failed = false;  // a connect or query that did not complete
  std::string failure;  // its diagnostic text

  // Checks `code` of the step named `context`; traces its text under the detail switch.
  bool check(SQLRETURN code, const std::string& context) const {
    if (code == SQL_SUCCESS) return true;
    traceDetail("Upkeep Error: " + CheckODBCResult(static_cast<std::int16_t>(code), context));
    return code == SQL_SUCCESS_WITH_INFO;
  }
};

MySqlSession* session = nullptr;  // the load in progress (under ds_FileOpen's lock)

std::string handleText(const void* handle) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(handle));
}

void MySQLConnect(MySqlSession& s, std::int32_t windowHandle) {
  s.check(SQLAllocEnv(&s.environment), "SQLAllocEnv [" + handleText(s.environment) + "]");
  s.check(SQLAllocConnect(s.environment, &s.connection),
          "SQLAllocConnect [" + handleText(s.environment) + "," + handleText(s.connection) + "]");
  const MySqlOwnerParts& parts = mySqlOwnerParts();
  const std::string part1 = runtime::CLIP(parts.MySQLOwnerPart1);
  const std::string part2 = runtime::CLIP(parts.MySQLOwnerPart2);
  const std::string part3 = runtime::CLIP(parts.MySQLOwnerPart3);
  SQLRETURN code = SQL_ERROR;
  if (runtime::UPPER(part1).find("DRIVER=") != std::string::npos) {
    traceDeveloper("Driver Connect.. " + part1);
    SQLCHAR completed[256] = {};
    SQLSMALLINT completedLength = 0;
    // No dialog can be shown here: the driver completes the text or refuses it.
    code = SQLDriverConnect(s.connection,
                            reinterpret_cast<SQLHWND>(static_cast<std::intptr_t>(windowHandle)),
                            reinterpret_cast<SQLCHAR*>(const_cast<char*>(part1.c_str())),
                            static_cast<SQLSMALLINT>(part1.size()), completed, sizeof completed,
                            &completedLength, SQL_DRIVER_NOPROMPT);
  } else {
    traceDeveloper("Connect.. (" + std::to_string(part1.size()) + ")" + part1 + " (" +
                   std::to_string(part2.size()) + ")" + part2 + " (" +
                   std::to_string(part3.size()) + ")" + part3);
    const bool user = !part2.empty();
    code = SQLConnect(s.connection, reinterpret_cast<SQLCHAR*>(const_cast<char*>(part1.c_str())),
                      static_cast<SQLSMALLINT>(part1.size()),
                      user ? reinterpret_cast<SQLCHAR*>(const_cast<char*>(part2.c_str())) : nullptr,
                      static_cast<SQLSMALLINT>(part2.size()),
                      user ? reinterpret_cast<SQLCHAR*>(const_cast<char*>(part3.c_str())) : nullptr,
                      static_cast<SQLSMALLINT>(part3.size()));
  }
  const std::string context = "SQLConnect [" + handleText(s.connection) + "] {" + part1 + "," +
                              part2 + ",-**-**-**-**" + "}";
  if (code == SQL_SUCCESS) {
    s.MySQLConnected = 1;
  } else {
    s.check(code, context);
  }
  if (code != SQL_SUCCESS && code != SQL_SUCCESS_WITH_INFO) {
    s.failed = true;
    s.failure = "[connect] Error: " + context;
  }
}

// Runs s.statementText and fills s.MQ with its rows.
void MySQLQuery(MySqlSession& s) {
  const std::string text = runtime::SUB(s.statementText, 1, kTextLength);
  if (!s.check(SQLAllocStmt(s.connection, &s.statement),
               "SQLAllocStmt [" + handleText(s.connection) + "," + handleText(s.statement) + "]")) {
    // Without a statement nothing can run; the load has failed.
    s.statement = SQL_NULL_HSTMT;
    s.failed = true;
    s.failure = "[query] Error: " + text;
    return;
  }
  auto* sql = reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
  const std::string stmt = handleText(s.statement);
  s.check(SQLPrepare(s.statement, sql, static_cast<SQLINTEGER>(text.size())),
          "SQLPrepare [" + stmt + "] {" + text + "}");
  const SQLRETURN executed = SQLExecute(s.statement);
  s.check(executed, "SQLExecute [" + stmt + "] {" + text + "}");
  if (executed == SQL_SUCCESS || executed == SQL_SUCCESS_WITH_INFO) {
    SQLSMALLINT columns = 0;
    s.check(SQLNumResultCols(s.statement, &columns), "SQLBindCol [0]");
    const int bound = std::min<int>(columns, kAnswerColumns);
    std::vector<std::array<char, kColumnCapacity>> buffers(static_cast<std::size_t>(bound));
    // One length indicator per column: a shared one would let a NULL in one column blank the
    // reading of another.
    std::vector<SQLLEN> lengths(static_cast<std::size_t>(bound));
    for (int c = 1; c <= bound; ++c) {
      const auto i = static_cast<std::size_t>(c - 1);
      s.check(SQLBindCol(s.statement, static_cast<SQLUSMALLINT>(c), SQL_C_CHAR, buffers[i].data(),
                         kColumnCapacity, &lengths[i]),
              "SQLBindCol [" + std::to_string(c) + "]");
    }
    SQLRETURN fetched = SQL_SUCCESS;
    while ((fetched = SQLFetch(s.statement)) == SQL_SUCCESS) {
      MySqlAnswerRow row;
      for (int c = 1; c <= bound; ++c) {
        const auto i = static_cast<std::size_t>(c - 1);
        row[i] = lengths[i] == SQL_NULL_DATA ? std::string() : std::string(buffers[i].data());
      }
      s.MQ.push_back(std::move(row));
    }
    s.check(fetched, "SQLFetch [" + stmt + "]");
  } else {
    s.failed = true;
    s.failure = "[query] Error: " + text;
  }
  s.check(SQLFreeStmt(s.statement, SQL_DROP), "SQLFreeStmt [" + stmt + "]");
  s.statement = SQL_NULL_HSTMT;
}

void MySQLDisconnect(MySqlSession& s) {
  if (s.connection != SQL_NULL_HDBC) {
    if (s.MySQLConnected != 0)
      s.check(SQLDisconnect(s.connection), "SQLDisconnect [" + handleText(s.connection) + "]");
    s.check(SQLFreeConnect(s.connection), "SQLFreeConnect [" + handleText(s.connection) + "]");
    s.connection = SQL_NULL_HDBC;
  }
  if (s.environment != SQL_NULL_HENV) {
    s.check(SQLFreeEnv(s.environment), "SQLFreeEnv [" + handleText(s.environment) + "]");
    s.environment = SQL_NULL_HENV;
  }
  s.MySQLConnected = 0;
}

// The table's name as the statements write it: each part quoted for MySQL, whatever kind
// of MySQL driver the option names.
std::string quotedTable() {
  const std::string name = runtime::CLIP(tableInHand().SqlTableName);
  std::string quoted;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = name.find('.', start);
    const std::string part = name.substr(start, dot == std::string::npos ? dot : dot - start);
    quoted += files::quoteIdentifier(files::SqlBackend::MySql, part).value_or("``");
    if (dot == std::string::npos) break;
    quoted += ".";
    start = dot + 1;
  }
  return quoted;
}

void loadColumns(const MySqlSession& s) {
  for (const MySqlAnswerRow& row : s.MQ) {
    SfdqEntry column;
    column.NAME = runtime::UPPER(row[0]);
    column.ALTNAME = row[0];
    column.TYPE = withoutZeroScale(runtime::SUB(row[1], 1, 30));
    column.AUTONUM = row[5] == "auto_increment" ? 1 : 0;
    const std::string nullable = runtime::LOWER(runtime::CLIP(row[2]));
    traceFieldCopy("mysql nullable:  " + runtime::CLIP(row[0]) + " " + nullable);
    column.ALLOWNULLS = nullable == "yes" ? 1 : 0;
    addLiveColumn(column);
  }
}

void loadKeys(const MySqlSession& s) {
  auto& keys = liveStructure().SKDQ.entries;
  for (const MySqlAnswerRow& row : s.MQ) {
    const std::string& keyName = row[2];
    if (!keys.empty() && keys.back().KEYNAME == keyName) {
      SkdqEntry& key = keys.back();
      key.FIELDS = runtime::SUB(runtime::CLIP(key.FIELDS) + " " + row[4], 1, 1000);
      ++key.NUMFIELDS;
      continue;
    }
    SkdqEntry key;
    key.KEYNAME = key.KEYFILENAME = keyName;
    key.ATT = runtime::textToLong(row[1]) == 1       ? "dup"
              : runtime::UPPER(keyName) == "PRIMARY" ? "primary"
                                                     : "";
    key.FIELDS = row[4];
    key.NUMFIELDS = 1;
    keys.push_back(key);
  }
}

}  // namespace

MySqlOwnerParts& mySqlOwnerParts() {
  static MySqlOwnerParts parts;
  return parts;
}

std::string CheckODBCResult(std::int16_t code, std::string_view context) {
  // The handles of the load in progress; none outside a load.
  static const MySqlSession idle;
  const MySqlSession& s = session != nullptr ? *session : idle;
  const std::string head(context);
  const std::string number = "[" + std::to_string(code) + "]";
  const auto withDiagnostic = [&](std::string_view says, std::string_view fatal) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[kTextLength + 1] = {};
    SQLSMALLINT length = 0;
    if (SQLError(s.environment, s.connection, s.statement, state, &native, message, kTextLength,
                 &length) != SQL_SUCCESS)
      runtime::HALT(kUpkeepErrorExitCode, fatal);
    return runtime::SUB(head + std::string(says) + number + " : " +
                            reinterpret_cast<const char*>(message) + " " + std::to_string(native),
                        1, kTextLength);
  };
  switch (code) {
    case SQL_SUCCESS:
      return runtime::SUB(head + " completed successfully! " + number, 1, kTextLength);
    case SQL_SUCCESS_WITH_INFO:
      return withDiagnostic(" completed successfully with info! ",
                            "Upkeep MySQL (1) Fatal Error occured!");
    case SQL_ERROR:
      return withDiagnostic(" DID NOT complete successfully! ",
                            "Upkeep MySQL (2) Fatal Error occured!");
    case SQL_NO_DATA:
      return runtime::SUB(
          head + " DID NOT complete successfully! " + number + " : Record not available!", 1,
          kTextLength);
    case SQL_INVALID_HANDLE:
      return withDiagnostic(" DID NOT complete successfully! ",
                            "Upkeep MySQL (3) Fatal Error occured!");
    case SQL_NEED_DATA:
      return withDiagnostic(" DID NOT complete successfully! ",
                            "Upkeep MySQL (4) Fatal Error occured!");
    default: return {};
  }
}

std::int32_t ds_MySQLStructure(std::int32_t windowHandle, std::string_view kind) {
  if (upkeep::debugLevels().perFieldTrace)
    upkeep::WriteTrace("ds_MySQLStructure IN " + std::string(kind));
  MySqlSession s;
  session = &s;
  MySQLConnect(s, windowHandle);
  // Each answer goes into MQ, becomes entries of its queue and is emptied again.
  const auto query = [&](const char* verb, void (*load)(const MySqlSession&), const char* queue,
                         std::size_t (*count)()) {
    if (s.failed) return;
    s.statementText = verb + quotedTable();
    MySQLQuery(s);
    traceFieldCopy("recs in mq: " + std::to_string(s.MQ.size()));
    load(s);
    traceFieldCopy(std::string("recs in ") + queue + ": " + std::to_string(count()));
    s.MQ.clear();
  };
  query("show columns from ", loadColumns, "sfdq",
        [] { return liveStructure().SFDQ.entries.size(); });
  query("show keys from ", loadKeys, "skdq", [] { return liveStructure().SKDQ.entries.size(); });
  MySQLDisconnect(s);
  session = nullptr;
  if (upkeep::debugLevels().perFieldTrace) upkeep::WriteTrace("ds_MySQLStructure OUT");
  if (!s.failed) return 0;
  ds_Error("M34", s.failure, "", 1);
  return 1;
}

}  // namespace upkeep_sql
