#include "platform/files/cask_sqlite.h"

#include <cstring>
#include <string>

#include "platform/runtime/error_state.h"

namespace files::sqlite {

int fail(sqlite3* db, int rc) {
  int code = runtime::FileSystemErr;
  switch (rc & 0xFF) {
    case SQLITE_CONSTRAINT:
      code = rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY
                 ? runtime::DuplicateKeyErr
                 : runtime::FileSystemErr;
      break;
    case SQLITE_NOTADB: code = runtime::InvalidDataFileErr; break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: code = runtime::AccessDeniedErr; break;
    case SQLITE_CANTOPEN: code = runtime::AccessDeniedErr; break;
    case SQLITE_NOMEM: code = runtime::OutOfMemoryErr; break;
    default: break;
  }
  const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  std::string text = message != nullptr ? message : "";
  // A write the system refused (a full disk, a file-size limit) says why.
  const int primary = rc & 0xFF;
  const int osError = db != nullptr ? sqlite3_system_errno(db) : 0;
  if ((primary == SQLITE_FULL || primary == SQLITE_IOERR) && osError != 0)
    text += std::string(" (") + std::strerror(osError) + ")";
  runtime::setFileError(code, std::to_string(rc), text);
  return code;
}

Connection& Connection::operator=(Connection&& other) noexcept {
  if (this != &other) {
    close();
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

int Connection::open(const std::string& osPath, int flags, int busyMs) {
  close();
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(osPath.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const int code = fail(db, rc);
    sqlite3_close_v2(db);
    return code;
  }
  db_ = db;
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, busyMs);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  return 0;
}

void Connection::close() {
  if (db_ != nullptr) sqlite3_close_v2(std::exchange(db_, nullptr));
}

int Connection::exec(const char* sql) {
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? 0 : fail(db_, rc);
}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    stmt_ = std::exchange(other.stmt_, nullptr);
  }
  return *this;
}

int Statement::prepare(sqlite3* db, const std::string& sql) {
  sqlite3_finalize(std::exchange(stmt_, nullptr));
  const int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()),
                                    SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
  return rc == SQLITE_OK ? 0 : fail(db, rc);
}

void undoKeepingError(sqlite3* db, const char* sql) {
  const int error = runtime::ERRORCODE();
  const std::string driverCode = runtime::FILEERRORCODE();
  const std::string driverText = runtime::FILEERROR();
  sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  runtime::setFileError(error, driverCode, driverText);
}

int runOnce(sqlite3* db, Statement& statement) {
  const int rc = statement.step();
  statement.reset();
  return rc == SQLITE_DONE || rc == SQLITE_ROW ? 0 : fail(db, rc);
}

}  // namespace files::sqlite
