#include "platform/files/sql_odbc_connection.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <array>
#include <map>
#include <mutex>

#include "platform/files/sql_connection_text.h"
#include "platform/runtime/case_fold.h"

namespace files {
namespace {

// The process's ODBC environment, made on first use and kept to the end.
SQLHENV environment() {
  static SQLHENV env = [] {
    SQLHENV handle = SQL_NULL_HENV;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle);
    SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return handle;
  }();
  return env;
}

bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// The first diagnostic record of a handle.
SqlError diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  std::array<SQLCHAR, 6> state{};
  std::array<SQLCHAR, 1024> text{};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!succeeded(SQLGetDiagRec(type, handle, 1, state.data(), &native, text.data(),
                               static_cast<SQLSMALLINT>(text.size()), &length))) {
    return {"HY000", "the ODBC driver gave no reason"};
  }
  const auto n = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)),
                                       text.size() - 1);
  return {reinterpret_cast<const char*>(state.data()),
          std::string(reinterpret_cast<const char*>(text.data()), n)};
}

class OdbcConnection final : public SqlConnection {
 public:
  explicit OdbcConnection(SQLHDBC dbc) : dbc_(dbc) {
    backend_ = backendOfProduct(info(SQL_DBMS_NAME));
  }

  ~OdbcConnection() override {
    for (auto& [text, stmt] : prepared_) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    if (direct_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, direct_);
    SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  }

  bool execute(std::string_view statement, std::span<SqlParam> params) override {
    clearFailure();
    closeAnswer();
    SQLHSTMT stmt = params.empty() ? directStatement() : preparedStatement(statement);
    if (stmt == SQL_NULL_HSTMT) return false;
    std::vector<std::string> buffers(params.size());
    std::vector<SQLLEN> lengths(params.size());
    for (std::size_t i = 0; i < params.size(); ++i) {
      if (!bind(stmt, static_cast<SQLUSMALLINT>(i + 1), params[i], buffers[i], lengths[i]))
        return false;
    }
    SQLRETURN rc = SQL_ERROR;
    if (params.empty()) {
      rc = SQLExecDirect(stmt, sqlText(statement), static_cast<SQLINTEGER>(statement.size()));
    } else {
      rc = SQLExecute(stmt);
    }
    if (!succeeded(rc) && rc != SQL_NO_DATA) return failWith(SQL_HANDLE_STMT, stmt);
    if (rc == SQL_SUCCESS_WITH_INFO) {
      SqlError note = diagnostic(SQL_HANDLE_STMT, stmt);
      warn(std::move(note.state), std::move(note.text));
    }
    for (std::size_t i = 0; i < params.size(); ++i) {
      if (!params[i].output) continue;
      if (lengths[i] == SQL_NULL_DATA) {
        params[i].value.reset();
      } else {
        params[i].value = std::string(buffers[i].c_str());
      }
    }
    answer_ = stmt;
    return describeAnswer();
  }

  // PostgreSQL and SQL Server read a list of rows after VALUES, and refuse them all when they
  // refuse one. MariaDB and MySQL read one too, but a table that is not transactional (the
  // MyISAM tables the engine makes there) keeps the rows before the one refused.
  bool takesManyRows() const override {
    return backend_ == SqlBackend::PostgreSQL || backend_ == SqlBackend::SqlServer;
  }

  bool insertRows(std::string_view head, std::span<const std::string> rows) override {
    if (!takesManyRows() || rows.empty()) return false;
    return execute(multiRowInsert(head, rows), {});
  }

  bool fetch(SqlRow& row) override {
    clearFailure();
    if (answer_ == SQL_NULL_HSTMT) return false;
    const SQLRETURN rc = SQLFetch(answer_);
    if (rc == SQL_NO_DATA) return false;
    if (!succeeded(rc)) return failWith(SQL_HANDLE_STMT, answer_);
    row.assign(binaryColumns_.size(), SqlCell{});
    for (std::size_t i = 0; i < binaryColumns_.size(); ++i) {
      if (!readCell(static_cast<SQLUSMALLINT>(i + 1), binaryColumns_[i], row[i])) return false;
    }
    return true;
  }

  std::optional<std::vector<SqlColumnInfo>> columns(std::string_view schema,
                                                    std::string_view table) override {
    clearFailure();
    closeAnswer();
    SQLHSTMT stmt = directStatement();
    if (stmt == SQL_NULL_HSTMT) return std::nullopt;
    const std::string escapedSchema = patternOf(schema);
    const std::string escapedTable = patternOf(table);
    // MariaDB keeps databases as catalogues, the others as schemas.
    const bool schemaIsCatalogue = backend_ == SqlBackend::MySql;
    const std::string none;
    const std::string& catalogue = schemaIsCatalogue ? std::string(schema) : none;
    SQLRETURN rc = SQLColumns(
        stmt, catalogue.empty() ? nullptr : sqlText(catalogue),
        static_cast<SQLSMALLINT>(catalogue.size()),
        schemaIsCatalogue || schema.empty() ? nullptr : sqlText(escapedSchema),
        static_cast<SQLSMALLINT>(schemaIsCatalogue ? 0 : escapedSchema.size()),
        sqlText(escapedTable), static_cast<SQLSMALLINT>(escapedTable.size()), nullptr, 0);
    if (!succeeded(rc)) {
      failWith(SQL_HANDLE_STMT, stmt);
      return std::nullopt;
    }
    answer_ = stmt;
    if (!describeAnswer()) return std::nullopt;
    std::vector<SqlColumnInfo> list;
    SqlRow row;
    while (fetch(row)) {
      if (row.size() < 11 || row[2].value.value_or("") != table) continue;
      SqlColumnInfo column;
      column.name = row[3].value.value_or("");
      column.typeName = row[5].value.value_or("");
      column.size = std::atoll(row[6].value.value_or("0").c_str());
      column.scale = std::atoi(row[8].value.value_or("0").c_str());
      column.nullable = row[10].value.value_or("1") != "0";
      list.push_back(std::move(column));
    }
    if (!lastError().state.empty()) return std::nullopt;
    closeAnswer();
    return list;
  }

  bool setAutoCommit(bool on) override {
    clearFailure();
    const auto value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    if (succeeded(SQLSetConnectAttr(
            dbc_, SQL_ATTR_AUTOCOMMIT,
            reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(value)), 0))) {
      return true;
    }
    return failWith(SQL_HANDLE_DBC, dbc_);
  }

  bool commit() override { return endTransaction(SQL_COMMIT); }
  bool rollback() override { return endTransaction(SQL_ROLLBACK); }

  SqlBackend backend() const override { return backend_; }
  std::string serverVersion() override { return info(SQL_DBMS_VER); }

 private:
  static SQLCHAR* sqlText(std::string_view text) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.data()));
  }

  bool failWith(SQLSMALLINT type, SQLHANDLE handle) {
    SqlError error = diagnostic(type, handle);
    fail(std::move(error.state), std::move(error.text));
    return false;
  }

  std::string info(SQLUSMALLINT what) {
    std::array<char, 256> buffer{};
    SQLSMALLINT length = 0;
    if (!succeeded(SQLGetInfo(dbc_, what, buffer.data(), static_cast<SQLSMALLINT>(buffer.size()),
                              &length))) {
      return {};
    }
    return buffer.data();
  }

  // A catalogue search pattern that matches `name` only: "_" and "%" escaped.
  std::string patternOf(std::string_view name) {
    if (escape_.empty()) escape_ = info(SQL_SEARCH_PATTERN_ESCAPE);
    std::string pattern;
    for (const char c : name) {
      if ((c == '_' || c == '%' || (!escape_.empty() && c == escape_[0])) && !escape_.empty())
        pattern += escape_;
      pattern += c;
    }
    return pattern;
  }

  SQLHSTMT newStatement() {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt))) {
      failWith(SQL_HANDLE_DBC, dbc_);
      return SQL_NULL_HSTMT;
    }
    return stmt;
  }

  SQLHSTMT directStatement() {
    if (direct_ == SQL_NULL_HSTMT) direct_ = newStatement();
    if (direct_ != SQL_NULL_HSTMT) SQLFreeStmt(direct_, SQL_RESET_PARAMS);
    return direct_;
  }

  // The prepared form of `statement`, prepared on its first use. A few are kept, so that the
  // driver's insert, update and delete of one file each stay prepared.
  SQLHSTMT preparedStatement(std::string_view statement) {
    const std::string text(statement);
    if (auto found = prepared_.find(text); found != prepared_.end()) {
      SQLFreeStmt(found->second, SQL_RESET_PARAMS);
      return found->second;
    }
    if (prepared_.size() >= 16) {
      for (auto& [old, stmt] : prepared_) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
      prepared_.clear();
    }
    SQLHSTMT stmt = newStatement();
    if (stmt == SQL_NULL_HSTMT) return stmt;
    if (!succeeded(SQLPrepare(stmt, sqlText(text), static_cast<SQLINTEGER>(text.size())))) {
      failWith(SQL_HANDLE_STMT, stmt);
      SQLFreeHandle(SQL_HANDLE_STMT, stmt);
      return SQL_NULL_HSTMT;
    }
    prepared_.emplace(text, stmt);
    return stmt;
  }

  bool bind(SQLHSTMT stmt, SQLUSMALLINT number, const SqlParam& param, std::string& buffer,
            SQLLEN& length) {
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLULEN columnSize = 0;
    SQLSMALLINT digits = 0;
    buffer = param.value.value_or("");
    switch (param.type) {
      case SqlType::Text: sqlType = buffer.size() > 4000 ? SQL_LONGVARCHAR : SQL_VARCHAR; break;
      case SqlType::Binary:
        cType = SQL_C_BINARY;
        sqlType = buffer.size() > 4000 ? SQL_LONGVARBINARY : SQL_VARBINARY;
        break;
      case SqlType::Integer: sqlType = SQL_BIGINT; break;
      case SqlType::Real: sqlType = SQL_DOUBLE; break;
      case SqlType::Decimal:
        sqlType = SQL_DECIMAL;
        columnSize = param.size;
        digits = param.scale;
        break;
      case SqlType::Date:
        sqlType = SQL_TYPE_DATE;
        columnSize = 10;
        break;
      case SqlType::Time:
        // The MariaDB connector refuses fractions of a second in a time parameter; the server
        // reads them from text.
        sqlType = backend_ == SqlBackend::MySql ? SQL_VARCHAR : SQL_TYPE_TIME;
        columnSize = 11;
        digits = 2;
        break;
    }
    if (columnSize == 0) columnSize = std::max<std::size_t>(buffer.size(), param.size);
    if (columnSize == 0) columnSize = 1;
    length = param.value ? static_cast<SQLLEN>(buffer.size()) : SQL_NULL_DATA;
    SQLLEN capacity = static_cast<SQLLEN>(buffer.size());
    if (param.output) {
      buffer.resize(std::max<std::size_t>(buffer.size(), 255) + 1, '\0');
      capacity = static_cast<SQLLEN>(buffer.size());
      if (param.value) length = SQL_NTS;
    }
    const SQLRETURN rc =
        SQLBindParameter(stmt, number, param.output ? SQL_PARAM_INPUT_OUTPUT : SQL_PARAM_INPUT,
                         cType, sqlType, columnSize, digits, buffer.data(), capacity, &length);
    return succeeded(rc) || failWith(SQL_HANDLE_STMT, stmt);
  }

  // Notes the answer's columns (which of them are binary); a statement without an answer
  // leaves none.
  bool describeAnswer() {
    binaryColumns_.clear();
    SQLSMALLINT count = 0;
    if (!succeeded(SQLNumResultCols(answer_, &count))) return failWith(SQL_HANDLE_STMT, answer_);
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
      SQLSMALLINT type = 0;
      SQLULEN size = 0;
      SQLSMALLINT digits = 0;
      SQLSMALLINT nullable = 0;
      SQLDescribeCol(answer_, i, nullptr, 0, nullptr, &type, &size, &digits, &nullable);
      binaryColumns_.push_back(type == SQL_BINARY || type == SQL_VARBINARY ||
                               type == SQL_LONGVARBINARY);
    }
    if (count == 0) closeAnswer();
    return true;
  }

  bool readCell(SQLUSMALLINT column, bool binary, SqlCell& cell) {
    std::array<char, 8192> chunk{};
    std::string value;
    const SQLSMALLINT cType = binary ? SQL_C_BINARY : SQL_C_CHAR;
    const std::size_t room = binary ? chunk.size() : chunk.size() - 1;
    while (true) {
      SQLLEN length = 0;
      const SQLRETURN rc = SQLGetData(answer_, column, cType, chunk.data(),
                                      static_cast<SQLLEN>(chunk.size()), &length);
      if (rc == SQL_NO_DATA) break;
      if (!succeeded(rc)) return failWith(SQL_HANDLE_STMT, answer_);
      if (length == SQL_NULL_DATA) {
        cell.value.reset();
        return true;
      }
      const std::size_t got = length == SQL_NO_TOTAL || static_cast<std::size_t>(length) > room
                                  ? room
                                  : static_cast<std::size_t>(length);
      value.append(chunk.data(), got);
      if (rc == SQL_SUCCESS) break;
    }
    cell.value = std::move(value);
    return true;
  }

  void closeAnswer() {
    if (answer_ != SQL_NULL_HSTMT) SQLFreeStmt(answer_, SQL_CLOSE);
    answer_ = SQL_NULL_HSTMT;
    binaryColumns_.clear();
  }

  bool endTransaction(SQLSMALLINT how) {
    clearFailure();
    closeAnswer();
    if (succeeded(SQLEndTran(SQL_HANDLE_DBC, dbc_, how))) return true;
    return failWith(SQL_HANDLE_DBC, dbc_);
  }

  SQLHDBC dbc_;
  SqlBackend backend_ = SqlBackend::Generic;
  SQLHSTMT direct_ = SQL_NULL_HSTMT;
  SQLHSTMT answer_ = SQL_NULL_HSTMT;
  std::map<std::string, SQLHSTMT> prepared_;
  std::vector<bool> binaryColumns_;
  std::string escape_;
};

}  // namespace

SqlBackend backendOfProduct(std::string_view productName) {
  const std::string name = runtime::lowerCase(productName);
  const auto has = [&](std::string_view word) { return name.find(word) != std::string::npos; };
  if (has("postgres")) return SqlBackend::PostgreSQL;
  if (has("mariadb") || has("mysql")) return SqlBackend::MySql;
  if (has("sql server")) return SqlBackend::SqlServer;
  if (has("oracle")) return SqlBackend::Oracle;
  if (has("anywhere")) return SqlBackend::SqlAnywhere;
  if (has("firebird") || has("interbase")) return SqlBackend::Firebird;
  return SqlBackend::Generic;
}

std::unique_ptr<SqlConnection> connectOdbc(std::string_view connection, SqlError& error) {
  static std::mutex connecting;  // driver managers load drivers under no lock of their own
  const std::lock_guard lock(connecting);
  const std::string text(connection);
  const std::string password = connectionPassword(text);
  SQLHDBC dbc = SQL_NULL_HDBC;
  if (!succeeded(SQLAllocHandle(SQL_HANDLE_DBC, environment(), &dbc))) {
    error = diagnostic(SQL_HANDLE_ENV, environment());
    return nullptr;
  }
  SQLSetConnectAttr(dbc, SQL_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0);
  const SQLRETURN rc = SQLDriverConnect(
      dbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.data())),
      static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
  if (!succeeded(rc)) {
    error = diagnostic(SQL_HANDLE_DBC, dbc);
    error.text = maskedSecret(std::move(error.text), password);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    return nullptr;
  }
  return std::make_unique<OdbcConnection>(dbc);
}

}  // namespace files
