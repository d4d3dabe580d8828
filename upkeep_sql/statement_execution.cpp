#include "upkeep_sql/statement_execution.h"

#include <cstdio>

#include "platform/files/file_driver.h"
#include "platform/files/file_property.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/registration_tables.h"
#include "upkeep/trace.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kReportLength = 512;
constexpr int kStatementReadBack = 30000;
constexpr int kLastErrorLength = 3000;

void traceInOut(const std::string& text) {
  if (upkeep::debugLevels().inOutTrace) upkeep::WriteTrace(text);
}

// `text` padded with spaces (or cut) to `width` characters, as a fixed-length field shows.
std::string padded(std::string_view text, int width) {
  std::string field = runtime::SUB(text, 1, width);
  field.resize(static_cast<std::size_t>(width), ' ');
  return field;
}

// Moves the bar to the statement at `position` of the queue being run.
void progressAt(std::size_t position) {
  const std::int32_t total = waitProgress().SQLStepTotal;
  showProgress(total == 0 ? 0 : static_cast<std::int32_t>(position * 100 / total));
}

// The version class of an Oracle V$Version row. The release number decides ("Release 9.2.0.7.0"
// is 9, though it holds "7."); a row without one is searched for the class marks in order.
std::string oracleVersionClass(const std::string& row) {
  int major = 0;
  int minor = 0;
  const std::size_t release = row.find("Release ");
  if (release != std::string::npos &&
      std::sscanf(row.c_str() + release + 8, "%d.%d", &major, &minor) == 2) {
    if (major == 7) return "7";
    if (major == 8) return minor == 0 ? "8" : "8i";
    if (major == 9) return "9";
    if (major == 10) return "10g";
    return {};
  }
  const std::pair<std::string_view, std::string_view> classes[] = {
      {"7.", "7"}, {"8.0", "8"}, {"8.1", "8i"}, {"9", "9"}, {"10.", "10g"}};
  for (const auto& [mark, version] : classes)
    if (row.find(mark) != std::string::npos) return std::string(version);
  return {};
}

}  // namespace

void ds_Error(std::string_view code, std::string_view detail, std::string_view context,
              std::int32_t level) {
  const std::string message = runtime::CLIP(runtime::SUB(upkeep::ds_GetMessage(code), 1, 255));
  const std::string report = runtime::SUB(
      "Upkeep " + message + ": " + std::string(kCrLf) + "[Upkeep] " + runtime::CLIP(detail), 1,
      kReportLength);
  traceInOut("ds_Error IN: m: " + runtime::CLIP(context) + ", e: " + runtime::CLIP(detail) +
             ", t: " + runtime::CLIP(code) + ", l: " + std::to_string(level));
  if (upkeep::debugLevels().detailTrace) upkeep::WriteTrace(runtime::CLIP(report));
  if (level == 1) {
    const int answer = runtime::MESSAGE(
        runtime::CLIP(report) + std::string(kCrLf) + upkeep::messageText("M45"),
        upkeep::messageText("M47"), runtime::systemIcon(32517),
        runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonNo, runtime::StyleSystemModal);
    if (answer == runtime::ButtonYes) runtime::HALT(kUpkeepErrorExitCode);
  } else if (level == 6) {
    runtime::HALT(kUpkeepErrorExitCode,
                  runtime::CLIP(report) + std::string(kCrLf) + upkeep::messageText("M46"));
  }
}

std::string& LastSQLError() {
  static std::string text;
  return text;
}

std::int32_t ExecuteStatement(std::string_view statement, std::int32_t level) {
  const std::string clipped = runtime::CLIP(statement);
  traceInOut("About to execute statement: " + clipped + " :: l=" + std::to_string(level));
  files::FileDeclaration* file = upkeep::registration().CurrentSqlDriver.file;
  runtime::clearError();
  if (file != nullptr) {
    files::setProperty(*file, files::PropSqlStatement, clipped);
  } else {
    runtime::setFileError(runtime::FileSystemErr, "08003", "no SQL backend FILE is registered");
  }
  std::int32_t result = StatementAccepted;
  if (runtime::ERRORCODE() == runtime::FileSystemErr) {
    result = StatementRefused;
    const std::string code = runtime::FILEERRORCODE();
    const std::string text = runtime::FILEERROR();
    LastSQLError() = runtime::SUB(code + ": " + runtime::CLIP(text), 1, kLastErrorLength);
    if (code == "01000") result = StatementWarning;
    const std::string readBack =
        file != nullptr ? runtime::SUB(files::getProperty(*file, files::PropSqlStatement), 1,
                                       kStatementReadBack)
                        : clipped;
    ds_Error("M26",
             std::string(kCrLf) + "[Upkeep] \"" + runtime::CLIP(readBack) + "\"" +
                 std::string(kCrLf) + "[Upkeep] err: " + runtime::CLIP(LastSQLError()),
             "", level);
    if (upkeep::debugLevels().developerLevel != 0)
      upkeep::WriteTrace("fileerror: " + runtime::CLIP(LastSQLError()));
    // The report reads properties of the FILE; the caller still reads the refusal's error.
    runtime::setFileError(runtime::FileSystemErr, code, text);
  }
  traceInOut("Statement executed, err: " + std::to_string(result));
  return result;
}

StatementQueues& statementQueues() {
  static StatementQueues queues;
  return queues;
}

std::int32_t RunSQLScripts() {
  StatementQueues& queues = statementQueues();
  traceInOut("-- Start of RunSQLScripts " + std::to_string(queues.SQ.size()) + " --");
  std::size_t position = 0;
  for (const KeyStatement& drop : queues.DQ) {
    ExecuteStatement(drop.SQL, 0);
    progressAt(++position);
  }
  bool anyFailed = false;
  position = 0;
  for (SqEntry& entry : queues.SQ) {
    ++position;
    if (ExecuteStatement(entry.SQL, 0) == StatementAccepted) {
      entry.RETRY = 0;
      progressAt(position);
    } else {
      entry.RETRY = 1;
      anyFailed = true;
    }
  }
  // A statement may need one that came after it; the retry gives each failed one a second
  // chance. The run fails when one that matters failed both times.
  std::int32_t runResult = 0;
  if (anyFailed) {
    position = 0;
    for (const SqEntry& entry : queues.SQ) {
      ++position;
      if (entry.RETRY != 1) continue;
      const std::int32_t result = ExecuteStatement(entry.SQL, 0);
      if (result == StatementRefused && (entry.ERRORLEVEL == 2 || entry.ERRORLEVEL == 3)) {
        ds_Error("M30", "[2] " + runtime::CLIP(LastSQLError()), "", 1);
        runResult = 1;
      } else if ((result == StatementRefused && entry.ERRORLEVEL == 1) ||
                 result == StatementWarning) {
        ds_Error("M32", "", "", 0);
      }
      progressAt(position);
    }
  }
  position = 0;
  for (const KeyStatement& add : queues.AQ) {
    ExecuteStatement(add.SQL, 0);
    progressAt(++position);
  }
  traceInOut("-- End of RunSQLScripts  --");
  return runResult;
}

std::string GetSQLServerVersion(std::string_view code) {
  traceInOut("-- Start of GetSQLServerVersion  --");
  std::string answer;
  const upkeep::SqlDriverSlot& backend = upkeep::registration().CurrentSqlDriver;
  if (code == "MSS") {
    if (backend.file != nullptr)
      answer = runtime::SUB(files::getProperty(*backend.file, files::PropServerVersion), 1, 20);
  } else if (code == "ORA") {
    if (ExecuteStatement("Select * from V$Version", 0) != StatementAccepted) {
      answer = "8i";
    } else {
      files::NEXT(*backend.file);
      const std::string row(reinterpret_cast<const char*>(backend.record),
                            backend.record == nullptr ? 0 : backend.recordSize);
      answer = oracleVersionClass(row);
    }
  }
  traceInOut("-- End of GetSQLServerVersion " + runtime::CLIP(answer) + " --");
  return answer;
}

void PrintSQLStructure() {
  if (!upkeep::debugLevels().inOutTrace) return;
  const std::string& name = tableInHand().OutFileName;
  const LiveStructure& live = liveStructure();
  upkeep::WriteTrace("-- PrintSQLStructure IN. --");
  upkeep::WriteTrace("----------SQL FIELD STRUCTURE (" + name + ")----------");
  for (const SfdqEntry& column : live.SFDQ.entries) {
    upkeep::WriteTrace("-- " + padded(column.NAME, 100) + " " + padded(column.TYPE, 30) +
                       ", name: " + runtime::CLIP(column.ALTNAME) +
                       ", nullable: " + std::to_string(column.ALLOWNULLS) + " --");
  }
  upkeep::WriteTrace("----------END - Total number of fields: " +
                     std::to_string(live.SFDQ.entries.size()) + "----------");
  upkeep::WriteTrace("----------SQL KEY STRUCTURE (" + name + ")----------");
  for (const SkdqEntry& key : live.SKDQ.entries) {
    upkeep::WriteTrace("-- " + padded(key.KEYNAME, 100) + " " + padded(key.ATT, 20) +
                       ", name: " + runtime::CLIP(key.KEYFILENAME) + " --");
    upkeep::WriteTrace("--   Fields: " + runtime::CLIP(key.FIELDS) + " --");
  }
  upkeep::WriteTrace("----------END - Total number of keys: " +
                     std::to_string(live.SKDQ.entries.size()) + " ----------");
  upkeep::WriteTrace("-- PrintSQLStructure OUT. --");
}

}  // namespace upkeep_sql
