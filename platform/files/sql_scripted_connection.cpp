#include "platform/files/sql_scripted_connection.h"

namespace files {

class ScriptedConnection final : public SqlConnection {
 public:
  explicit ScriptedConnection(std::shared_ptr<SqlScript> script) : script_(std::move(script)) {}

  bool takesManyRows() const override {
    const std::lock_guard lock(script_->lock_);
    return script_->manyRows_;
  }

  bool insertRows(std::string_view head, std::span<const std::string> rows) override {
    if (!takesManyRows() || rows.empty()) return false;
    return execute(multiRowInsert(head, rows), {});
  }

  bool execute(std::string_view statement, std::span<SqlParam> params) override {
    clearFailure();
    rows_.clear();
    next_ = 0;
    const std::lock_guard lock(script_->lock_);
    script_->calls_.push_back({std::string(statement), {params.begin(), params.end()}});
    for (SqlScript::Rule& rule : script_->rules_) {
      if (rule.times == 0 || statement.find(rule.match) == std::string_view::npos) continue;
      if (rule.times > 0) --rule.times;
      if (rule.error) {
        fail(rule.error->state, rule.error->text);
        return false;
      }
      rows_ = rule.rows;
      if (rule.warning) warn(rule.warning->state, rule.warning->text);
      std::size_t output = 0;
      for (SqlParam& param : params) {
        if (param.output && output < rule.outputs.size()) param.value = rule.outputs[output++];
      }
      return true;
    }
    return true;
  }

  bool fetch(SqlRow& row) override {
    clearFailure();
    if (next_ >= rows_.size()) return false;
    row = rows_[next_++];
    return true;
  }

  std::optional<std::vector<SqlColumnInfo>> columns(std::string_view schema,
                                                    std::string_view table) override {
    clearFailure();
    const std::string name =
        schema.empty() ? std::string(table) : std::string(schema) + "." + std::string(table);
    const std::lock_guard lock(script_->lock_);
    const auto found = script_->tables_.find(name);
    if (found == script_->tables_.end()) return std::vector<SqlColumnInfo>{};
    return found->second;
  }

  bool setAutoCommit(bool) override { return true; }
  bool commit() override { return true; }
  bool rollback() override { return true; }
  SqlBackend backend() const override { return script_->backend_; }
  std::string serverVersion() override { return script_->version_; }

 private:
  std::shared_ptr<SqlScript> script_;
  std::vector<SqlRow> rows_;
  std::size_t next_ = 0;
};

void SqlScript::answer(Rule rule) {
  const std::lock_guard lock(lock_);
  rules_.push_back(std::move(rule));
}

void SqlScript::setColumns(const std::string& table, std::vector<SqlColumnInfo> columns) {
  const std::lock_guard lock(lock_);
  tables_[table] = std::move(columns);
}

void SqlScript::refuseLogin(std::optional<SqlError> error) {
  const std::lock_guard lock(lock_);
  loginError_ = std::move(error);
}

void SqlScript::takeManyRows(bool on) {
  const std::lock_guard guard(lock_);
  manyRows_ = on;
}

std::vector<SqlScript::Call> SqlScript::calls() const {
  const std::lock_guard lock(lock_);
  return calls_;
}

std::vector<std::string> SqlScript::statements() const {
  std::vector<std::string> texts;
  for (const Call& call : calls()) texts.push_back(call.statement);
  return texts;
}

void SqlScript::clearCalls() {
  const std::lock_guard lock(lock_);
  calls_.clear();
}

std::unique_ptr<SqlConnection> SqlScript::connect(const std::shared_ptr<SqlScript>& script,
                                                  SqlError& error) {
  {
    const std::lock_guard lock(script->lock_);
    if (script->loginError_) {
      error = *script->loginError_;
      return nullptr;
    }
  }
  return std::make_unique<ScriptedConnection>(script);
}

}  // namespace files
