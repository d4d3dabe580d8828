#include "upkeep_sql/mss_linked_server.h"

#include <string>

#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/text.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/catalogue_reading.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"
#include "upkeep_sql/statement_names.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

constexpr std::string_view kMss = "MSS";

std::string literal(std::string_view text) { return quotedLiteral(kMss, text); }

files::FileDeclaration* backendFile() { return upkeep::registration().CurrentSqlDriver.file; }

// Restarts the answer of the last statement.
void restartAnswer() {
  if (files::FileDeclaration* backend = backendFile()) files::SET(*backend);
}

// Whether sp_linkedservers lists `local` or, failing that, `remote`.
bool linkedServerListed(const std::string& local, const std::string& remote) {
  if (ExecuteStatement("CALL sp_linkedservers", 0) != StatementAccepted) return false;
  if (files::FileDeclaration* backend = backendFile())
    traceDetail("MSS Linked Servers found: " + std::to_string(files::RECORDS(*backend)));
  restartAnswer();
  while (nextAnswerRow()) {
    std::string row;
    for (int n = 1; n <= 10; ++n) row += (n > 1 ? ";" : "") + rowColumn(n);
    traceDetail("Testing Local MSS Linked Server(" + local + "): " + row);
    if (runtime::UPPER(rowColumn(1)) == runtime::UPPER(local)) return true;
  }
  if (remote.empty()) return false;
  restartAnswer();
  while (nextAnswerRow()) {
    traceDetail("Testing Remote MSS Linked Server(" + remote +
                "): " + runtime::UPPER(rowColumn(1)));
    if (runtime::UPPER(rowColumn(1)) == runtime::UPPER(remote)) return true;
  }
  return false;
}

void addLinkedServer(const std::string& server, std::string_view mark) {
  if (ExecuteStatement("CALL sp_addlinkedserver(" + literal(server) + ",'SQL Server')", 0) ==
      StatementAccepted)
    return;
  // 37000 says the server is linked already.
  if (runtime::textToLong(runtime::FILEERRORCODE()) == 37000) return;
  ds_Error("M35",
           std::string(mark) + server + runtime::FILEERRORCODE() + " - " +
               runtime::CLIP(runtime::FILEERROR()),
           "", 1);
}

void ensureDataAccess(const std::string& server, std::string_view which, std::string_view mark) {
  if (ExecuteStatement("CALL sp_helpserver(" + literal(server) + ")", 0) != StatementAccepted)
    return;
  readAnswerOnce();
  const std::string status = rowColumn(3);
  traceDetail("After " + std::string(which) + " sp_helpserver (" + server + "): " + status);
  if (runtime::UPPER(status).find("DATA ACCESS") != std::string::npos) return;
  if (ExecuteStatement("CALL sp_serveroption(" + literal(server) + ",'DATA ACCESS','TRUE')", 0) !=
      StatementAccepted) {
    ds_Error(
        "M36",
        std::string(mark) + runtime::FILEERRORCODE() + " - " + runtime::CLIP(runtime::FILEERROR()),
        "", 1);
  }
}

}  // namespace

std::int32_t ds_MSSLinkedServer() {
  traceLoaderStart("ds_MSSLinkedServer");
  std::string& remote = upkeep::registration().options.remoteMachineName;
  remote = runtime::CLIP(remote);
  const std::string server = runtime::CLIP(tableInHand().LinkedServerName);
  const std::size_t instance = server.find('\\');
  if (!remote.empty() && instance != std::string::npos && remote.find('\\') == std::string::npos)
    remote = runtime::SUB(remote + server.substr(instance), 1, 255);

  if (!linkedServerListed(server, remote)) {
    addLinkedServer(server, "[1]");
    if (!remote.empty()) addLinkedServer(remote, "[2]");
  }
  ensureDataAccess(server, "Local", "[1] ");
  if (!remote.empty()) ensureDataAccess(remote, "Remote", "[2] ");
  traceInOut("-- End of ds_MSSLinkedServer  --");
  return 0;
}

}  // namespace upkeep_sql
