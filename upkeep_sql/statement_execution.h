// The one road by which the SQL backends reach a server, and the upgrade manager's error
// report: ds_Error, ExecuteStatement, the statement queues with RunSQLScripts, the server
// version probe and the structure dump. Statements go through the SQL-statement property of
// the current backend FILE (the registration's CurrentSqlDriver); answers come back in its
// record buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace upkeep_sql {

// The exit code of a program that ds_Error ends (level 6, or level 1 answered Yes).
inline constexpr int kUpkeepErrorExitCode = 3;

// Reports catalogue message `code` with `detail` at `level`: 0 traces only; 1 asks with Yes and
// No (caption M47) whether to end the program, and Yes ends it; 6 shows the report with M46 and
// ends the program; other levels show nothing. The in/out trace shows `context` too.
void ds_Error(std::string_view code, std::string_view detail, std::string_view context,
              std::int32_t level);

// Results of ExecuteStatement.
enum StatementResult : std::int32_t {
  StatementAccepted = 0,
  StatementRefused = 1,  // the driver reported error 90
  StatementWarning = 3,  // error 90 with the driver's code "01000"
};

// Sends `statement` through the current backend FILE. A refusal sets LastSQLError to the
// driver's code, ": " and its text, and reports M26 with the statement and that error through
// ds_Error at `level`. With no backend FILE registered nothing can run: the result is a
// refusal.
std::int32_t ExecuteStatement(std::string_view statement, std::int32_t level);

// The last refusal's "code: text".
std::string& LastSQLError();

// A queued statement and how a second failure is reported: 2 or 3 fail the run with M30, 1
// notes M32, anything else nothing.
struct SqEntry {
  std::string SQL;
  std::int32_t RETRY = 0;
  std::int32_t ERRORLEVEL = 0;
};
// A statement that drops a key before the run, or makes it again after it.
struct KeyStatement {
  std::string KEYNAME;
  std::string SQL;
};

struct StatementQueues {
  std::vector<SqEntry> SQ;
  std::vector<KeyStatement> DQ;
  std::vector<KeyStatement> AQ;
};

// The process's statement queues (the table manager empties them for each table).
StatementQueues& statementQueues();

// Runs DQ, then SQ, then SQ's failed statements once more, then AQ, moving the wait window's
// progress. Answers 1 when a statement of error level 2 or 3 failed both times (each reported
// with M30), else 0. Empties no queue.
std::int32_t RunSQLScripts();

// The server's version class for driver code `code`: for "MSS" the server's version text (20
// characters at most); for "ORA" "7", "8", "8i", "9", "10g" or blank from V$Version ("8i" when
// the query fails); blank for the others.
std::string GetSQLServerVersion(std::string_view code);

// Traces the live table's columns and keys (SFDQ, SKDQ) when the in/out trace is on.
void PrintSQLStructure();

}  // namespace upkeep_sql
