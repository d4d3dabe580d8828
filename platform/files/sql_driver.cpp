#include "platform/files/sql_driver.h"

#include <algorithm>
#include <mutex>

#include "platform/files/driver_error.h"
#include "platform/files/file_property.h"
#include "platform/files/sql_columns.h"
#include "platform/files/sql_connect.h"
#include "platform/files/sql_connection_handoff.h"
#include "platform/files/sql_owner.h"
#include "platform/files/sql_procedure_call.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/expression.h"

namespace files {
namespace {

std::mutex connectorLock;
SqlConnector& connectorSlot() {
  static SqlConnector connector;
  return connector;
}

std::unique_ptr<SqlConnection> connect(Driver driver, std::string_view owner, SqlError& error) {
  if (std::unique_ptr<SqlConnection> kept = takeKeptSqlConnection(driver, owner)) return kept;
  SqlConnector connector;
  {
    const std::lock_guard lock(connectorLock);
    connector = connectorSlot();
  }
  if (connector) return connector(driver, owner, error);
  return connectSql(odbcConnectionText(driver, owner), error);
}

// The dialect of a driver whose server is fixed by its name; the ODBC driver asks the server.
SqlBackend backendOf(Driver driver, const SqlConnection& connection) {
  switch (driver) {
    case Driver::Mssql: return SqlBackend::SqlServer;
    case Driver::Oracle: return SqlBackend::Oracle;
    case Driver::SqlAnywhere: return SqlBackend::SqlAnywhere;
    default: return connection.backend();
  }
}

int serverRefused(const SqlError& error) {
  // Class 23 is an integrity constraint: a second record with the values of a unique key.
  const int code =
      error.state.starts_with("23") ? runtime::DuplicateKeyErr : runtime::FileSystemErr;
  runtime::setFileError(code, error.state, error.text);
  return code;
}

bool isTextField(const runtime::FieldDef& field) {
  return field.type == runtime::FieldType::String || field.type == runtime::FieldType::CString ||
         field.type == runtime::FieldType::PString;
}

int notOpen() {
  runtime::setFileError(runtime::FileSystemErr, "08003", "the file is not open");
  return runtime::FileSystemErr;
}

// The schema and table of a file name: the part before the last dot is the schema.
std::pair<std::string, std::string> splitTableName(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {"", std::string(name)};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot + 1))};
}

// What a SQL file's statements are built from: its connection, dialect, quoted table name
// and columns. Its connection is kept for a later open while its session is as connected.
struct SqlTable {
  SqlTable() = default;
  SqlTable(SqlTable&&) = default;
  SqlTable& operator=(SqlTable&&) = default;
  ~SqlTable() {
    if (sessionAsConnected) keepSqlConnection(driver, owner, std::move(connection));
  }

  std::unique_ptr<SqlConnection> connection;
  Driver driver = Driver::Odbc;
  std::string owner;
  bool sessionAsConnected = true;  // no statement and no transaction changed the session
  SqlBackend backend = SqlBackend::Generic;
  std::string schema;
  std::string table;
  std::string quotedTable;
  std::vector<SqlColumn> columns;
  std::string columnList;  // the quoted column names, separated by ", "

  // Connects and works out the names; 0 or the error (set).
  int prepare(FileDeclaration& file, std::string_view name) {
    SqlError error;
    driver = file.driver();
    owner = file.owner();
    connection = connect(driver, owner, error);
    if (connection == nullptr) {
      runtime::setFileError(runtime::FileSystemErr, error.state, error.text);
      return runtime::FileSystemErr;
    }
    backend = backendOf(file.driver(), *connection);
    std::string trimmed(name);
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
    std::tie(schema, table) = splitTableName(namedInCase(backend, trimmed));
    const std::optional<std::string> quoted =
        quoteQualifiedName(backend, schema.empty() ? table : schema + "." + table);
    if (!quoted) return driverError(runtime::FileNotFoundErr, "not a table name");
    quotedTable = *quoted;
    columns = sqlColumns(file, backend);
    columnList.clear();
    for (const SqlColumn& column : columns) {
      const std::optional<std::string> name = quoteIdentifier(backend, column.name);
      if (!name) return driverError(runtime::InvalidRecordDeclarationErr, "not a column name");
      if (!columnList.empty()) columnList += ", ";
      columnList += *name;
    }
    return 0;
  }

  std::string quoted(const SqlColumn& column) const {
    return quoteIdentifier(backend, column.name).value_or("");
  }

  // The column of field `number`, or null when the field has none (a GROUP, a field laid over
  // another).
  const SqlColumn* columnOfField(int number) const {
    for (const SqlColumn& column : columns)
      if (column.field == number) return &column;
    return nullptr;
  }

  // Runs a statement; 0 or the error (set).
  int run(std::string_view statement, std::span<SqlParam> params = {}) {
    runtime::clearError();
    sessionAsConnected = sessionAsConnected && keepsSessionState(statement);
    return connection->execute(statement, params) ? 0 : serverRefused(connection->lastError());
  }

  // Reads the table's columns from the server's catalogue into `existing`; 0 when the table
  // stands, else the error (set): the server's refusal, or 2 when it has no such table.
  int standingColumns(std::vector<SqlColumnInfo>& existing) {
    std::optional<std::vector<SqlColumnInfo>> answer = connection->columns(schema, table);
    if (!answer) return serverRefused(connection->lastError());
    if (answer->empty()) return driverError(runtime::FileNotFoundErr, "no such table");
    existing = std::move(*answer);
    return 0;
  }
};

class SqlFile final : public DriverFile {
 public:
  SqlFile(FileDeclaration& file, SqlTable table) : file_(file), table_(std::move(table)) {}
  ~SqlFile() override {
    if (!inTransaction_) return;
    table_.connection->rollback();
    table_.sessionAsConnected = false;  // still out of autocommit
  }

  SqlTable& table() { return table_; }

  // Sends a statement of the application's; its answer becomes the current one.
  int statement(std::string_view text) {
    std::vector<CallArgument> arguments;
    const std::optional<std::string> call = procedureCall(text, arguments);
    std::vector<SqlParam> params;
    for (const CallArgument& argument : arguments) {
      const std::shared_ptr<runtime::BoundValue> variable = runtime::boundVariable(argument.name);
      if (variable == nullptr) {
        runtime::setFileError(runtime::FileSystemErr, "07002",
                              "no variable is bound as " + argument.name);
        return runtime::FileSystemErr;
      }
      SqlParam param = SqlParam::text(variable->get().toText());
      param.output = argument.output;
      params.push_back(std::move(param));
    }
    answer_.clear();
    cursor_ = 0;
    mode_ = Mode::Statement;
    if (const int error = table_.run(call ? *call : text, params)) return error;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      if (!arguments[i].output) continue;
      runtime::boundVariable(arguments[i].name)
          ->set(runtime::Value::text(params[i].value.value_or("")));
    }
    // A general warning ("01000", a SQL Server PRINT) is reported as the runtime reports it:
    // error 90 with that code, the answer rows still there to read.
    const SqlError warning = table_.connection->lastWarning();
    if (const int error = fetchAll()) return error;
    if (warning.state != "01000") return 0;
    runtime::setFileError(runtime::FileSystemErr, warning.state, warning.text);
    return runtime::FileSystemErr;
  }

  std::int64_t records() override {
    if (mode_ == Mode::Statement) return static_cast<std::int64_t>(answer_.size());
    if (table_.run("SELECT COUNT(*) FROM " + table_.quotedTable) != 0) return -1;
    SqlRow row;
    if (!table_.connection->fetch(row) || row.empty() || !row[0].value) {
      serverRefused(table_.connection->lastError());
      return -1;
    }
    return std::atoll(row[0].value->c_str());
  }

  int setPhysical() override {
    runtime::clearError();
    if (mode_ == Mode::Statement) {
      cursor_ = 0;
      return 0;
    }
    return select("", {}, "");
  }

  int setKey(int key, bool fromBuffer) override {
    const KeyDef& def = file_.keys()[static_cast<std::size_t>(key)];
    std::string where;
    std::vector<SqlParam> params;
    if (fromBuffer) {
      // Rows at or after the buffer's values in key order: (a > x) or (a = x and b > y) ... or
      // all equal.
      std::string equalSoFar;
      std::vector<SqlParam> equalParams;
      for (const std::int32_t component : def.components) {
        const SqlColumn* column = table_.columnOfField(std::abs(component));
        if (column == nullptr) continue;
        const std::string name = keyTerm(def, *column, table_.quoted(*column));
        const std::string marker = keyTerm(def, *column, "?");
        const SqlParam value = columnParam(file_, *column);
        where += (where.empty() ? "(" : " OR (") + equalSoFar + name +
                 (component < 0 ? " < " : " > ") + marker + ")";
        params.insert(params.end(), equalParams.begin(), equalParams.end());
        params.push_back(value);
        equalSoFar += name + " = " + marker + " AND ";
        equalParams.push_back(value);
      }
      if (!equalSoFar.empty()) {
        where += " OR (" + equalSoFar.substr(0, equalSoFar.size() - 5) + ")";
        params.insert(params.end(), equalParams.begin(), equalParams.end());
      }
    }
    return select(where, params, orderBy(def));
  }

  int next() override { return step(+1); }
  int previous() override { return step(-1); }

  int get(int key) override {
    const KeyDef& def = file_.keys()[static_cast<std::size_t>(key)];
    std::string where;
    std::vector<SqlParam> params;
    for (const std::int32_t component : def.components) {
      const SqlColumn* column = table_.columnOfField(std::abs(component));
      if (column == nullptr) continue;
      SqlParam value = columnParam(file_, *column);
      if (!where.empty()) where += " AND ";
      if (!value.value) {
        where += table_.quoted(*column) + " IS NULL";
        continue;
      }
      where += keyTerm(def, *column, table_.quoted(*column)) + " = " + keyTerm(def, *column, "?");
      params.push_back(std::move(value));
    }
    if (const int error = select(where, params, orderBy(def))) return error;
    if (answer_.empty()) {
      mode_ = Mode::None;
      return driverError(runtime::RecordNotFoundErr, "no record has these key values");
    }
    return step(+1);
  }

  int add() override {
    runtime::clearError();
    std::string markers;
    std::vector<SqlParam> params;
    for (const SqlColumn& column : table_.columns) {
      markers += markers.empty() ? "?" : ", ?";
      params.push_back(columnParam(file_, column));
    }
    if (insertText_.empty()) {
      insertText_ = "INSERT INTO " + table_.quotedTable + " (" + table_.columnList + ") VALUES (" +
                    markers + ")";
    }
    if (const int error = table_.run(insertText_, params)) return error;
    identity_ = identityOf();
    return 0;
  }

  int append() override { return add(); }

  int put() override {
    if (!identity_) return driverError(kRecordNotAvailableErr, "no current record");
    std::string assignments;
    std::vector<SqlParam> params;
    for (const SqlColumn& column : table_.columns) {
      if (!assignments.empty()) assignments += ", ";
      assignments += table_.quoted(column) + " = ?";
      params.push_back(columnParam(file_, column));
    }
    std::string where;
    if (const int error = identityCondition(where, params)) return error;
    if (const int error = table_.run(
            "UPDATE " + table_.quotedTable + " SET " + assignments + " WHERE " + where, params)) {
      return error;
    }
    identity_ = identityOf();
    return 0;
  }

  int erase() override {
    if (!identity_) return driverError(kRecordNotAvailableErr, "no current record");
    std::string where;
    std::vector<SqlParam> params;
    if (const int error = identityCondition(where, params)) return error;
    if (const int error =
            table_.run("DELETE FROM " + table_.quotedTable + " WHERE " + where, params)) {
      return error;
    }
    identity_.reset();
    return 0;
  }

  int build() override {
    runtime::clearError();
    return 0;
  }
  int send(std::string_view) override {
    runtime::clearError();
    return 0;
  }

  int logout(int) override {
    runtime::clearError();
    if (inTransaction_) return 0;
    if (!table_.connection->setAutoCommit(false)) {
      table_.sessionAsConnected = false;
      return serverRefused(table_.connection->lastError());
    }
    inTransaction_ = true;
    return 0;
  }
  int commit() override { return endTransaction(true); }
  int rollback() override { return endTransaction(false); }
  bool inTransaction() const override { return inTransaction_; }

  int stream() override {
    if (inTransaction_) return 0;
    const int error = logout(0);
    streaming_ = error == 0;
    return error;
  }
  int flush() override {
    runtime::clearError();
    if (!streaming_) return 0;
    streaming_ = false;
    return endTransaction(true);
  }

 private:
  enum class Mode { None, Statement, Table };

  int endTransaction(bool keep) {
    runtime::clearError();
    if (!inTransaction_) return 0;
    inTransaction_ = false;
    streaming_ = false;
    SqlConnection& connection = *table_.connection;
    const bool ended = keep ? connection.commit() : connection.rollback();
    const SqlError error = connection.lastError();
    if (!connection.setAutoCommit(true)) table_.sessionAsConnected = false;
    return ended ? 0 : serverRefused(error);
  }

  // How a key component is compared: a text of a NOCASE key in upper case on both sides.
  std::string keyTerm(const KeyDef& key, const SqlColumn& column, std::string_view operand) const {
    const bool text = column.field != 0 && isTextField(*file_.layout().field(column.field));
    if ((key.flags & KeyNoCase) != 0 && text) return "UPPER(" + std::string(operand) + ")";
    return std::string(operand);
  }

  std::string orderBy(const KeyDef& key) const {
    std::string order;
    for (const std::int32_t component : key.components) {
      const SqlColumn* column = table_.columnOfField(std::abs(component));
      if (column == nullptr) continue;
      order += (order.empty() ? "" : ", ") + keyTerm(key, *column, table_.quoted(*column)) +
               (component < 0 ? " DESC" : "");
    }
    return order;
  }

  int select(const std::string& where, std::vector<SqlParam> params, const std::string& order) {
    std::string text = "SELECT " + table_.columnList + " FROM " + table_.quotedTable;
    if (!where.empty()) text += " WHERE " + where;
    if (!order.empty()) text += " ORDER BY " + order;
    answer_.clear();
    cursor_ = 0;
    mode_ = Mode::Table;
    if (const int error = table_.run(text, params)) return error;
    return fetchAll();
  }

  int fetchAll() {
    SqlRow row;
    while (table_.connection->fetch(row)) answer_.push_back(row);
    if (!table_.connection->lastError().state.empty())
      return serverRefused(table_.connection->lastError());
    return 0;
  }

  int step(int direction) {
    runtime::clearError();
    if (mode_ == Mode::None) return driverError(kRecordNotAvailableErr, "no sequence started");
    std::size_t index = 0;
    if (direction > 0) {
      if (cursor_ >= answer_.size()) return driverError(kRecordNotAvailableErr, "end of the rows");
      index = cursor_++;
    } else {
      if (cursor_ < 2) return driverError(kRecordNotAvailableErr, "start of the rows");
      index = --cursor_ - 1;
    }
    const SqlRow& row = answer_[index];
    if (mode_ == Mode::Statement) {
      storeAnswerRow(file_, row);
      return 0;
    }
    for (std::size_t i = 0; i < table_.columns.size() && i < row.size(); ++i)
      storeColumnValue(file_, table_.columns[i], row[i]);
    identity_ = identityOf();
    return 0;
  }

  // The key that names one record: the primary key, else the first unique key.
  const KeyDef* identityKey() const {
    const KeyDef* chosen = nullptr;
    for (const KeyDef& key : file_.keys()) {
      if ((key.flags & KeyPrimary) != 0) return &key;
      if (chosen == nullptr && key.unique()) chosen = &key;
    }
    return chosen;
  }

  // The values of the identity key in the record buffer now.
  std::optional<std::vector<SqlParam>> identityOf() const {
    const KeyDef* key = identityKey();
    if (key == nullptr) return std::vector<SqlParam>{};
    std::vector<SqlParam> values;
    for (const std::int32_t component : key->components) {
      if (const SqlColumn* column = table_.columnOfField(std::abs(component)))
        values.push_back(columnParam(file_, *column));
    }
    return values;
  }

  // "a = ? AND b = ?" over the identity key's values of the current record.
  int identityCondition(std::string& where, std::vector<SqlParam>& params) const {
    const KeyDef* key = identityKey();
    if (key == nullptr) return driverError(kNotSupportedErr, "the file has no unique key");
    std::size_t i = 0;
    for (const std::int32_t component : key->components) {
      const SqlColumn* column = table_.columnOfField(std::abs(component));
      if (column == nullptr) continue;
      const SqlParam& value = (*identity_)[i++];
      if (!where.empty()) where += " AND ";
      if (!value.value) {
        where += table_.quoted(*column) + " IS NULL";
        continue;
      }
      where += table_.quoted(*column) + " = ?";
      params.push_back(value);
    }
    return 0;
  }

  FileDeclaration& file_;
  SqlTable table_;
  Mode mode_ = Mode::None;
  std::vector<SqlRow> answer_;
  std::size_t cursor_ = 0;  // the next row NEXT reads
  std::optional<std::vector<SqlParam>> identity_;
  std::string insertText_;
  bool inTransaction_ = false;
  bool streaming_ = false;
};

class SqlDriver final : public FileDriver {
 public:
  int open(FileDeclaration& file, const std::string& name, const AccessMode&,
           std::unique_ptr<DriverFile>& handle) override {
    runtime::clearError();
    SqlTable table;
    if (const int error = table.prepare(file, name)) return error;
    std::vector<SqlColumnInfo> existing;
    if (const int error = table.standingColumns(existing)) return error;
    for (const SqlColumn& column : table.columns) {
      const bool found = std::any_of(existing.begin(), existing.end(), [&](const auto& info) {
        return runtime::foldCase(info.name) == runtime::foldCase(column.name);
      });
      if (!found) {
        return driverError(runtime::InvalidRecordDeclarationErr,
                           "the table has no column " + column.name);
      }
    }
    handle = std::make_unique<SqlFile>(file, std::move(table));
    return 0;
  }

  int create(FileDeclaration& file, const std::string& name) override {
    runtime::clearError();
    SqlTable table;
    if (const int error = table.prepare(file, name)) return error;
    std::string definition;
    for (const SqlColumn& column : table.columns) {
      if (!definition.empty()) definition += ", ";
      definition += table.quoted(column) + " " + sqlColumnType(file, column, table.backend);
    }
    std::vector<std::string> indexes;
    int number = 0;
    for (const KeyDef& key : file.keys()) {
      ++number;
      // Firebird orders a whole index one way: a key whose every component descends gets a
      // descending index, a mixed one an ascending index (its order comes from ORDER BY).
      const bool wholeIndexOrder = table.backend == SqlBackend::Firebird;
      std::string parts;
      bool ascends = false;
      for (const std::int32_t component : key.components) {
        const SqlColumn* column = table.columnOfField(std::abs(component));
        if (column == nullptr) continue;
        parts += (parts.empty() ? "" : ", ") + table.quoted(*column);
        ascends = ascends || component > 0;
        if (component < 0 && (key.flags & KeyPrimary) == 0 && !wholeIndexOrder) parts += " DESC";
      }
      if (parts.empty()) continue;
      const char* descending = wholeIndexOrder && !ascends ? "DESCENDING " : "";
      if ((key.flags & KeyPrimary) != 0) {
        definition += ", PRIMARY KEY (" + parts + ")";
        continue;
      }
      const std::optional<std::string> indexName =
          quoteIdentifier(table.backend, table.table + "_k" + std::to_string(number));
      indexes.push_back(std::string(key.unique() ? "CREATE UNIQUE " : "CREATE ") + descending +
                        "INDEX " + indexName.value_or("") + " ON " + table.quotedTable + " (" +
                        parts + ")");
    }
    if (const int error = table.run("CREATE TABLE " + table.quotedTable + " (" + definition + ")"))
      return error;
    for (const std::string& index : indexes)
      if (const int error = table.run(index)) return error;
    return 0;
  }

  int remove(FileDeclaration& file, const std::string& name) override {
    runtime::clearError();
    SqlTable table;
    if (const int error = table.prepare(file, name)) return error;
    std::vector<SqlColumnInfo> existing;
    if (const int error = table.standingColumns(existing)) return error;
    return table.run("DROP TABLE " + table.quotedTable);
  }

  int rename(FileDeclaration& file, const std::string& name, const std::string& target) override {
    runtime::clearError();
    SqlTable table;
    if (const int error = table.prepare(file, name)) return error;
    const std::optional<std::string> newName =
        quoteIdentifier(table.backend, splitTableName(namedInCase(table.backend, target)).second);
    if (!newName) return driverError(runtime::AccessDeniedErr, "not a table name");
    if (table.backend == SqlBackend::SqlServer) return driverError(kNotSupportedErr, "no rename");
    return table.run("ALTER TABLE " + table.quotedTable + " RENAME TO " + *newName);
  }

  int copy(FileDeclaration&, const std::string&, const std::string&) override {
    return driverError(kNotSupportedErr, "a SQL table is not copied");
  }
};

}  // namespace

SqlConnector setSqlConnector(SqlConnector connector) {
  const std::lock_guard lock(connectorLock);
  return std::exchange(connectorSlot(), std::move(connector));
}

FileDriver& sqlDriver() {
  static SqlDriver driver;
  return driver;
}

int sendSqlStatement(FileDeclaration& file, std::string_view statement) {
  runtime::clearError();
  auto* handle = dynamic_cast<SqlFile*>(file.openState().handle.get());
  if (handle == nullptr) return notOpen();
  return handle->statement(statement);
}

int sendSqlStatementByOwner(FileDeclaration& file, std::string_view statement) {
  runtime::clearError();
  file.setDriverValue(PropSqlStatement, statement);
  if (dynamic_cast<SqlFile*>(file.openState().handle.get()) != nullptr)
    return sendSqlStatement(file, statement);
  SqlError error;
  std::unique_ptr<SqlConnection> connection = connect(file.driver(), file.owner(), error);
  if (connection == nullptr) {
    runtime::setFileError(runtime::FileSystemErr, error.state, error.text);
    return runtime::FileSystemErr;
  }
  const int result =
      connection->execute(statement, {}) ? 0 : serverRefused(connection->lastError());
  if (keepsSessionState(statement))
    keepSqlConnection(file.driver(), file.owner(), std::move(connection));
  return result;
}

bool sqlTakesManyRows(FileDeclaration& file) {
  auto* handle = dynamic_cast<SqlFile*>(file.openState().handle.get());
  return handle != nullptr && handle->table().connection->takesManyRows();
}

int sendSqlRows(FileDeclaration& file, std::string_view head, std::span<const std::string> rows) {
  runtime::clearError();
  auto* handle = dynamic_cast<SqlFile*>(file.openState().handle.get());
  if (handle == nullptr) return notOpen();
  SqlConnection& connection = *handle->table().connection;
  if (connection.insertRows(head, rows)) return 0;
  if (!connection.takesManyRows()) {
    return driverError(kNotSupportedErr, "the server takes one row at a time");
  }
  return serverRefused(connection.lastError());
}

std::string sqlServerVersion(const FileDeclaration& file) {
  auto* handle = dynamic_cast<SqlFile*>(file.openState().handle.get());
  return handle == nullptr ? std::string() : handle->table().connection->serverVersion();
}

}  // namespace files
