#include "platform/files/sql_firebird_connection.h"

#include <ibase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <thread>

#include "platform/files/sql_connection_text.h"

namespace files {
namespace {

constexpr int kDialect = 3;
constexpr short kOctets = 1;  // the character set id of raw bytes
constexpr short kUtf8 = 4;
constexpr std::size_t kSegment = 32768;
constexpr int kAttempts = 20;  // runs of a statement refused for a concurrent update

struct Status {
  ISC_STATUS_ARRAY vector{};
  bool failed() const { return vector[0] == 1 && vector[1] != 0; }
};

// The SQLSTATE and the server's message lines of a failed call.
SqlError errorOf(const Status& status) {
  char state[FB_SQLSTATE_SIZE] = {};
  fb_sqlstate(state, status.vector);
  std::string text;
  const ISC_STATUS* cursor = status.vector;
  char line[1024];
  while (fb_interpret(line, sizeof line, &cursor) > 0) {
    if (!text.empty()) text += " - ";
    text += line;
  }
  if (text.empty()) text = "the Firebird client gave no reason";
  return {state[0] != '\0' ? state : "HY000", text};
}

struct FreeSqlda {
  void operator()(XSQLDA* sqlda) const { std::free(sqlda); }
};
using Sqlda = std::unique_ptr<XSQLDA, FreeSqlda>;

Sqlda newSqlda(int count) {
  count = std::max(count, 1);
  auto* sqlda = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(count)));
  if (sqlda == nullptr) throw std::bad_alloc();
  sqlda->version = SQLDA_VERSION1;
  sqlda->sqln = static_cast<ISC_SHORT>(count);
  return Sqlda(sqlda);
}

// A whole number of the server with `scale` digits after the point, as text.
std::string scaledText(ISC_INT64 value, int scale) {
  const bool negative = value < 0;
  // The magnitude as unsigned, so that the smallest number does not overflow.
  const auto magnitude = negative ? ~static_cast<unsigned long long>(value) + 1
                                  : static_cast<unsigned long long>(value);
  std::string digits = std::to_string(magnitude);
  if (scale > 0) {
    if (digits.size() <= static_cast<std::size_t>(scale))
      digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(scale), ".");
  }
  return negative ? "-" + digits : digits;
}

std::string dateText(const std::tm& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
  return text;
}

// "hh:mm:ss.ff" from the server's time (in ten-thousandths of a second).
std::string timeText(ISC_TIME time) {
  const unsigned hundredths = (time / 100) % 100;
  const unsigned seconds = time / ISC_TIME_SECONDS_PRECISION;
  char text[48];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u.%02u", seconds / 3600, seconds / 60 % 60,
                seconds % 60, hundredths);
  return text;
}

template <class Number>
Number readAs(const ISC_SCHAR* data) {
  Number value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

// One prepared statement with its parameter and answer descriptions.
struct Statement {
  isc_stmt_handle handle = 0;
  Sqlda in;
  Sqlda out;
  int type = 0;                  // isc_info_sql_stmt_...
  std::vector<XSQLVAR> markers;  // the markers as described, before a binding changes them
  std::vector<std::vector<ISC_SCHAR>> outData;
  std::vector<ISC_SHORT> outNull;

  bool answers() const {
    return type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
  }
};

// The storage of one bound parameter while its statement runs.
struct Bound {
  std::string text;
  double real = 0;
  ISC_QUAD blob{};
  ISC_SHORT null = 0;
};

class FirebirdConnection final : public SqlConnection {
 public:
  explicit FirebirdConnection(isc_db_handle db) : db_(db) {}

  ~FirebirdConnection() override {
    Status status;
    closeAnswer();
    forgetPrepared();
    drop(direct_);
    if (transaction_ != 0) isc_rollback_transaction(status.vector, &transaction_);
    isc_detach_database(status.vector, &db_);
  }

  bool execute(std::string_view statement, std::span<SqlParam> params) override {
    // Firebird refuses a change to a record that a concurrent transaction changed meanwhile;
    // connections making tables at the same time meet so in the system tables. A statement of
    // its own transaction is undone whole and run again; inside the caller's transaction the
    // refusal is the caller's to handle.
    for (int attempt = 1;; ++attempt) {
      if (executeOnce(statement, params)) return true;
      if (!autoCommit_ || lastError().state != "40001" || attempt == kAttempts) return false;
      endTransaction(false);
      std::this_thread::sleep_for(std::chrono::milliseconds(10 * attempt));
    }
  }

  bool fetch(SqlRow& row) override {
    clearFailure();
    if (pendingRow_) {
      row = std::move(*pendingRow_);
      pendingRow_.reset();
      return true;
    }
    if (answer_ == nullptr) return false;
    Status status;
    const ISC_STATUS rc =
        isc_dsql_fetch(status.vector, &answer_->handle, kDialect, answer_->out.get());
    if (rc == 100) {
      closeAnswer();
      return false;
    }
    if (rc != 0) return failWith(status);
    return readRow(*answer_, row);
  }

  std::optional<std::vector<SqlColumnInfo>> columns(std::string_view,
                                                    std::string_view table) override {
    // Firebird has no schemas: every table of the database is in one name space.
    std::vector<SqlParam> params{SqlParam::text(std::string(table))};
    if (!execute("SELECT TRIM(rf.RDB$FIELD_NAME), f.RDB$FIELD_TYPE, f.RDB$FIELD_SUB_TYPE, "
                 "f.RDB$FIELD_LENGTH, f.RDB$CHARACTER_LENGTH, f.RDB$FIELD_PRECISION, "
                 "f.RDB$FIELD_SCALE, COALESCE(rf.RDB$NULL_FLAG, f.RDB$NULL_FLAG, 0) "
                 "FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f "
                 "ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                 "WHERE rf.RDB$RELATION_NAME = ? ORDER BY rf.RDB$FIELD_POSITION",
                 params)) {
      return std::nullopt;
    }
    std::vector<SqlColumnInfo> list;
    SqlRow row;
    const auto number = [&](std::size_t i) {
      return std::atoll(row[i].value.value_or("0").c_str());
    };
    while (fetch(row)) {
      SqlColumnInfo column;
      column.name = row[0].value.value_or("");
      column.typeName = typeName(static_cast<int>(number(1)), static_cast<int>(number(2)));
      const bool text = column.typeName == "CHAR" || column.typeName == "VARCHAR";
      const bool exact = column.typeName == "NUMERIC" || column.typeName == "DECIMAL";
      column.size = text ? number(4) : exact ? number(5) : number(3);
      column.scale = static_cast<std::int32_t>(-number(6));
      column.nullable = number(7) == 0;
      list.push_back(std::move(column));
    }
    if (!lastError().state.empty()) return std::nullopt;
    return list;
  }

  bool setAutoCommit(bool on) override {
    clearFailure();
    const bool wasOff = !autoCommit_;
    autoCommit_ = on;
    // Turning autocommit back on commits what the open transaction holds.
    return !(on && wasOff) || endTransaction(true);
  }

  bool commit() override {
    clearFailure();
    return endTransaction(true);
  }
  bool rollback() override {
    clearFailure();
    return endTransaction(false);
  }

  SqlBackend backend() const override { return SqlBackend::Firebird; }

  std::string serverVersion() override {
    const ISC_SCHAR item = isc_info_firebird_version;
    ISC_SCHAR answer[256] = {};
    Status status;
    if (isc_database_info(status.vector, &db_, 1, &item, sizeof answer, answer) ||
        answer[0] != isc_info_firebird_version) {
      return {};
    }
    // The item's length (2 bytes), the number of texts, then each as length and bytes.
    const auto length = static_cast<unsigned char>(answer[4]);
    return std::string(answer + 5, std::min<std::size_t>(length, sizeof answer - 5));
  }

 private:
  bool executeOnce(std::string_view statement, std::span<SqlParam> params) {
    clearFailure();
    closeAnswer();
    pendingRow_.reset();
    if (!startTransaction()) return false;
    Statement* stmt = nullptr;
    if (params.empty()) {
      drop(direct_);
      direct_ = prepare(statement);
      stmt = direct_.get();
      // A table's definition cannot change while statements of this connection hold it.
      if (stmt != nullptr && stmt->type == isc_info_sql_stmt_ddl) forgetPrepared();
    } else {
      stmt = prepared(statement);
    }
    if (stmt == nullptr) return false;
    // Output parameters take no marker: a procedure gives its outputs back as a row.
    std::vector<const SqlParam*> inputs;
    for (const SqlParam& param : params) {
      if (!param.output) inputs.push_back(&param);
    }
    XSQLDA* in = stmt->in.get();
    if (static_cast<std::size_t>(in->sqld) != inputs.size()) {
      fail("07002", "the statement has " + std::to_string(in->sqld) + " parameter markers, " +
                        std::to_string(inputs.size()) + " values were given");
      return false;
    }
    std::vector<Bound> bound(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      if (!bind(in->sqlvar[i], stmt->markers[i], *inputs[i], bound[i])) return false;
    }
    Status status;
    XSQLDA* input = inputs.empty() ? nullptr : in;
    if (stmt->type == isc_info_sql_stmt_exec_procedure && stmt->out->sqld > 0) {
      // A procedure's outputs come back at once, as one answer row.
      if (isc_dsql_execute2(status.vector, &transaction_, &stmt->handle, kDialect, input,
                            stmt->out.get())) {
        return failWith(status);
      }
      SqlRow row;
      if (!readRow(*stmt, row)) return false;
      std::size_t next = 0;
      for (SqlParam& param : params) {
        if (param.output && next < row.size()) param.value = row[next++].value;
      }
      pendingRow_ = std::move(row);
    } else if (isc_dsql_execute(status.vector, &transaction_, &stmt->handle, kDialect, input)) {
      return failWith(status);
    }
    if (stmt->answers()) {
      answer_ = stmt;
      return true;
    }
    return !autoCommit_ || endTransaction(true);
  }

  static std::string typeName(int type, int subType) {
    switch (type) {
      case 7:
      case 8:
      case 16:
        if (subType == 1) return "NUMERIC";
        if (subType == 2) return "DECIMAL";
        return type == 7 ? "SMALLINT" : type == 8 ? "INTEGER" : "BIGINT";
      case 10: return "FLOAT";
      case 27: return "DOUBLE PRECISION";
      case 12: return "DATE";
      case 13: return "TIME";
      case 35: return "TIMESTAMP";
      case 14: return "CHAR";
      case 37: return "VARCHAR";
      case 261: return "BLOB";
      case 23: return "BOOLEAN";
      default: return "TYPE " + std::to_string(type);
    }
  }

  bool failWith(const Status& status) {
    SqlError error = errorOf(status);
    fail(std::move(error.state), std::move(error.text));
    return false;
  }

  bool startTransaction() {
    if (transaction_ != 0) return true;
    // Read committed, waiting at most ten seconds for a row another connection holds.
    static const ISC_SCHAR tpb[] = {isc_tpb_version3,
                                    isc_tpb_write,
                                    isc_tpb_read_committed,
                                    isc_tpb_rec_version,
                                    isc_tpb_wait,
                                    isc_tpb_lock_timeout,
                                    4,
                                    10,
                                    0,
                                    0,
                                    0};
    Status status;
    if (isc_start_transaction(status.vector, &transaction_, 1, &db_, static_cast<short>(sizeof tpb),
                              tpb)) {
      return failWith(status);
    }
    return true;
  }

  bool endTransaction(bool keep) {
    closeAnswer();
    if (transaction_ == 0) return true;
    Status status;
    const ISC_STATUS rc = keep ? isc_commit_transaction(status.vector, &transaction_)
                               : isc_rollback_transaction(status.vector, &transaction_);
    if (rc) {
      failWith(status);
      // A transaction that cannot commit is undone, so that the next statement starts clean.
      Status ignored;
      if (transaction_ != 0) isc_rollback_transaction(ignored.vector, &transaction_);
      transaction_ = 0;
      return false;
    }
    transaction_ = 0;
    return true;
  }

  // Prepares `text` with its descriptions and answer buffers; null with the error noted.
  std::unique_ptr<Statement> prepare(std::string_view text) {
    auto stmt = std::make_unique<Statement>();
    Status status;
    if (isc_dsql_allocate_statement(status.vector, &db_, &stmt->handle)) {
      failWith(status);
      return nullptr;
    }
    stmt->out = newSqlda(16);
    const std::string statement(text);
    bool ok = !isc_dsql_prepare(
        status.vector, &transaction_, &stmt->handle,
        static_cast<unsigned short>(std::min<std::size_t>(statement.size(), 65535)),
        statement.c_str(), kDialect, stmt->out.get());
    if (ok && stmt->out->sqld > stmt->out->sqln) {
      stmt->out = newSqlda(stmt->out->sqld);
      ok = !isc_dsql_describe(status.vector, &stmt->handle, kDialect, stmt->out.get());
    }
    stmt->in = newSqlda(16);
    ok = ok && !isc_dsql_describe_bind(status.vector, &stmt->handle, kDialect, stmt->in.get());
    if (ok && stmt->in->sqld > stmt->in->sqln) {
      stmt->in = newSqlda(stmt->in->sqld);
      ok = !isc_dsql_describe_bind(status.vector, &stmt->handle, kDialect, stmt->in.get());
    }
    const ISC_SCHAR item = isc_info_sql_stmt_type;
    ISC_SCHAR info[16] = {};
    ok = ok && !isc_dsql_sql_info(status.vector, &stmt->handle, 1, &item, sizeof info, info);
    if (!ok) {
      failWith(status);
      drop(stmt);
      return nullptr;
    }
    if (info[0] == isc_info_sql_stmt_type) {
      const auto length = static_cast<short>(isc_vax_integer(info + 1, 2));
      stmt->type = static_cast<int>(isc_vax_integer(info + 3, length));
    }
    stmt->markers.assign(stmt->in->sqlvar, stmt->in->sqlvar + stmt->in->sqld);
    XSQLDA* out = stmt->out.get();
    stmt->outData.resize(static_cast<std::size_t>(out->sqld));
    stmt->outNull.assign(static_cast<std::size_t>(out->sqld), 0);
    for (int i = 0; i < out->sqld; ++i) {
      XSQLVAR& var = out->sqlvar[i];
      const bool varying = (var.sqltype & ~1) == SQL_VARYING;
      auto& data = stmt->outData[static_cast<std::size_t>(i)];
      data.assign(static_cast<std::size_t>(var.sqllen) + (varying ? 2 : 0) + 8, 0);
      var.sqldata = data.data();
      var.sqlind = &stmt->outNull[static_cast<std::size_t>(i)];
      var.sqltype = static_cast<ISC_SHORT>(var.sqltype | 1);
    }
    return stmt;
  }

  // The prepared form of `text`, prepared on its first use. A few are kept, so that the
  // driver's insert, update and delete of one file each stay prepared.
  Statement* prepared(std::string_view text) {
    const std::string key(text);
    if (auto found = prepared_.find(key); found != prepared_.end()) return found->second.get();
    if (prepared_.size() >= 16) forgetPrepared();
    std::unique_ptr<Statement> stmt = prepare(text);
    if (stmt == nullptr) return nullptr;
    return prepared_.emplace(key, std::move(stmt)).first->second.get();
  }

  void drop(std::unique_ptr<Statement>& stmt) {
    if (stmt == nullptr) return;
    if (answer_ == stmt.get()) answer_ = nullptr;
    Status status;
    if (stmt->handle != 0) isc_dsql_free_statement(status.vector, &stmt->handle, DSQL_drop);
    stmt.reset();
  }

  void forgetPrepared() {
    for (auto& [text, stmt] : prepared_) drop(stmt);
    prepared_.clear();
  }

  void closeAnswer() {
    if (answer_ == nullptr) return;
    Status status;
    isc_dsql_free_statement(status.vector, &answer_->handle, DSQL_close);
    answer_ = nullptr;
  }

  // Binds `param` to the marker `var`, described as `marker`: bytes and texts as text in their
  // character set (or written into a blob for a blob column), reals as doubles, everything
  // else as text that the server converts to the column's type.
  bool bind(XSQLVAR& var, const XSQLVAR& marker, const SqlParam& param, Bound& bound) {
    const int target = marker.sqltype & ~1;
    bound.null = param.value ? 0 : -1;
    bound.text = param.value.value_or("");
    var.sqlind = &bound.null;
    if (target == SQL_BLOB) {
      if (param.value && !writeBlob(bound.text, bound.blob)) return false;
      var.sqltype = SQL_BLOB | 1;
      var.sqldata = reinterpret_cast<ISC_SCHAR*>(&bound.blob);
      return true;
    }
    const bool realTarget = target == SQL_DOUBLE || target == SQL_FLOAT || target == SQL_D_FLOAT;
    if (param.type == SqlType::Real || (realTarget && param.type == SqlType::Integer)) {
      // The server's own reading of a number text is not exact to the last bit.
      bound.real = param.value ? std::strtod(bound.text.c_str(), nullptr) : 0;
      var.sqltype = SQL_DOUBLE | 1;
      var.sqllen = sizeof(double);
      var.sqlscale = 0;
      var.sqlsubtype = 0;
      var.sqldata = reinterpret_cast<ISC_SCHAR*>(&bound.real);
      return true;
    }
    if (bound.text.size() > 32767) {
      fail("22001", "a value of " + std::to_string(bound.text.size()) +
                        " bytes is too long for a parameter of this column");
      return false;
    }
    const bool textTarget = target == SQL_TEXT || target == SQL_VARYING;
    short charset = kUtf8;
    if (param.type == SqlType::Binary)
      charset = kOctets;
    else if (textTarget)
      charset = static_cast<short>(marker.sqlsubtype & 0xff);
    var.sqltype = SQL_TEXT | 1;
    var.sqllen = static_cast<ISC_SHORT>(bound.text.size());
    var.sqlscale = 0;
    var.sqlsubtype = charset;
    var.sqldata = bound.text.data();
    return true;
  }

  bool writeBlob(const std::string& bytes, ISC_QUAD& id) {
    isc_blob_handle blob = 0;
    Status status;
    if (isc_create_blob2(status.vector, &db_, &transaction_, &blob, &id, 0, nullptr))
      return failWith(status);
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t length = std::min(kSegment, bytes.size() - at);
      if (isc_put_segment(status.vector, &blob, static_cast<unsigned short>(length),
                          bytes.data() + at)) {
        Status ignored;
        isc_cancel_blob(ignored.vector, &blob);
        return failWith(status);
      }
      at += length;
    }
    if (isc_close_blob(status.vector, &blob)) return failWith(status);
    return true;
  }

  bool readBlob(ISC_QUAD id, std::string& bytes) {
    isc_blob_handle blob = 0;
    Status status;
    if (isc_open_blob2(status.vector, &db_, &transaction_, &blob, &id, 0, nullptr))
      return failWith(status);
    std::vector<ISC_SCHAR> chunk(kSegment);
    while (true) {
      unsigned short got = 0;
      const ISC_STATUS rc = isc_get_segment(
          status.vector, &blob, &got, static_cast<unsigned short>(chunk.size() - 1), chunk.data());
      if (rc == isc_segstr_eof) break;
      if (rc != 0 && rc != isc_segment) {
        Status ignored;
        isc_close_blob(ignored.vector, &blob);
        return failWith(status);
      }
      bytes.append(chunk.data(), got);
    }
    isc_close_blob(status.vector, &blob);
    return true;
  }

  bool readRow(const Statement& stmt, SqlRow& row) {
    const XSQLDA* out = stmt.out.get();
    row.assign(static_cast<std::size_t>(out->sqld), SqlCell{});
    for (int i = 0; i < out->sqld; ++i) {
      if (!readCell(out->sqlvar[i], row[static_cast<std::size_t>(i)])) return false;
    }
    return true;
  }

  bool readCell(const XSQLVAR& var, SqlCell& cell) {
    if (*var.sqlind < 0) return true;
    const ISC_SCHAR* data = var.sqldata;
    const auto scale = -var.sqlscale;
    std::string value;
    switch (var.sqltype & ~1) {
      case SQL_TEXT:
        value.assign(data, static_cast<std::size_t>(var.sqllen));
        // CHAR pads with blanks; raw bytes keep every byte.
        if ((var.sqlsubtype & 0xff) != kOctets) value.erase(value.find_last_not_of(' ') + 1);
        break;
      case SQL_VARYING:
        value.assign(data + 2, static_cast<std::size_t>(readAs<ISC_USHORT>(data)));
        break;
      case SQL_SHORT: value = scaledText(readAs<ISC_SHORT>(data), scale); break;
      case SQL_LONG: value = scaledText(readAs<ISC_LONG>(data), scale); break;
      case SQL_INT64: value = scaledText(readAs<ISC_INT64>(data), scale); break;
      case SQL_FLOAT: {
        char text[32];
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(readAs<float>(data)));
        value = text;
        break;
      }
      case SQL_DOUBLE:
      case SQL_D_FLOAT: {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", readAs<double>(data));
        value = text;
        break;
      }
      case SQL_TYPE_DATE: {
        std::tm t{};
        const auto date = readAs<ISC_DATE>(data);
        isc_decode_sql_date(&date, &t);
        value = dateText(t);
        break;
      }
      case SQL_TYPE_TIME: value = timeText(readAs<ISC_TIME>(data)); break;
      case SQL_TIMESTAMP: {
        const auto stamp = readAs<ISC_TIMESTAMP>(data);
        std::tm t{};
        isc_decode_sql_date(&stamp.timestamp_date, &t);
        value = dateText(t) + " " + timeText(stamp.timestamp_time);
        break;
      }
      case SQL_BOOLEAN: value = readAs<FB_BOOLEAN>(data) ? "1" : "0"; break;
      case SQL_BLOB:
        if (!readBlob(readAs<ISC_QUAD>(data), value)) return false;
        break;
      case SQL_NULL: return true;
      default:
        fail("HY000", "column " +
                          std::string(var.sqlname, static_cast<std::size_t>(var.sqlname_length)) +
                          " has a type this connection cannot read (" +
                          std::to_string(var.sqltype & ~1) + ")");
        return false;
    }
    cell.value = std::move(value);
    return true;
  }

  isc_db_handle db_ = 0;
  isc_tr_handle transaction_ = 0;
  bool autoCommit_ = true;
  std::unique_ptr<Statement> direct_;
  std::map<std::string, std::unique_ptr<Statement>> prepared_;
  Statement* answer_ = nullptr;
  std::optional<SqlRow> pendingRow_;
};

// The parameter block of an attach: login, UTF-8 texts, dialect 3.
std::string attachParameters(const std::string& user, const std::string& password) {
  std::string dpb(1, static_cast<char>(isc_dpb_version1));
  const auto add = [&](char item, const std::string& value) {
    dpb += item;
    dpb += static_cast<char>(std::min<std::size_t>(value.size(), 255));
    dpb += value.substr(0, 255);
  };
  if (!user.empty()) add(isc_dpb_user_name, user);
  if (!password.empty()) add(isc_dpb_password, password);
  add(isc_dpb_lc_ctype, "UTF8");
  dpb += static_cast<char>(isc_dpb_sql_dialect);
  dpb += static_cast<char>(1);
  dpb += static_cast<char>(kDialect);
  return dpb;
}

}  // namespace

std::unique_ptr<SqlConnection> connectFirebird(std::string_view connection, SqlError& error) {
  const std::string database = connectionEntry(connection, "DATABASE");
  std::string user = connectionEntry(connection, "USER");
  if (user.empty()) user = connectionEntry(connection, "UID");
  const std::string password = connectionPassword(connection);
  if (database.empty()) {
    error = {"08001", "the connection text names no DATABASE"};
    return nullptr;
  }
  const std::string dpb = attachParameters(user, password);
  isc_db_handle db = 0;
  Status status;
  if (isc_attach_database(status.vector, 0, database.c_str(), &db, static_cast<short>(dpb.size()),
                          dpb.data())) {
    error = errorOf(status);
    error.text = maskedSecret(std::move(error.text), password);
    return nullptr;
  }
  return std::make_unique<FirebirdConnection>(db);
}

}  // namespace files
