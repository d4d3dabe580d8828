#include "platform/files/sql_connection_handoff.h"

#include <array>
#include <string>

#include "platform/runtime/case_fold.h"

namespace files {
namespace {

struct KeptConnection {
  int handOffs = 0;
  Driver driver = Driver::Odbc;
  std::string owner;
  std::unique_ptr<SqlConnection> connection;
};

KeptConnection& kept() {
  thread_local KeptConnection slot;
  return slot;
}

// The statement's words in upper case with single spaces, for the checks below.
std::string normalWords(std::string_view statement) {
  std::string words;
  for (const char c : runtime::foldCase(statement)) {
    const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (space && (words.empty() || words.back() == ' ')) continue;
    words += space ? ' ' : c;
  }
  return words;
}

}  // namespace

SqlConnectionHandOff::SqlConnectionHandOff() { ++kept().handOffs; }

SqlConnectionHandOff::~SqlConnectionHandOff() {
  if (--kept().handOffs == 0) kept().connection.reset();
}

void keepSqlConnection(Driver driver, std::string_view owner,
                       std::unique_ptr<SqlConnection> connection) {
  KeptConnection& slot = kept();
  if (slot.handOffs == 0 || connection == nullptr) return;
  // A connection the server or the network dropped (SQLSTATE class 08) would fail the next
  // open, where a new one may well succeed.
  if (connection->lastError().state.starts_with("08")) return;
  slot.driver = driver;
  slot.owner = owner;
  slot.connection = std::move(connection);
}

std::unique_ptr<SqlConnection> takeKeptSqlConnection(Driver driver, std::string_view owner) {
  KeptConnection& slot = kept();
  if (slot.connection == nullptr || slot.driver != driver || slot.owner != owner) return nullptr;
  return std::move(slot.connection);
}

bool keepsSessionState(std::string_view statement) {
  const std::string words = normalWords(statement);
  // A temporary table ("TEMP", SQL Server's "#name") or a setting made by a query lives on in
  // the session.
  if (words.find("TEMP") != std::string::npos || words.find('#') != std::string::npos ||
      words.find("SET_CONFIG") != std::string::npos)
    return false;
  constexpr std::array<std::string_view, 10> kLeaveSession = {
      "SELECT ",       "INSERT ",        "UPDATE ",      "DELETE ",     "CREATE TABLE ",
      "CREATE INDEX ", "CREATE UNIQUE ", "ALTER TABLE ", "DROP TABLE ", "DROP INDEX "};
  for (const std::string_view start : kLeaveSession)
    if (words.starts_with(start)) return true;
  return false;
}

}  // namespace files
