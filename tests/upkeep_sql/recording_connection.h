// A SQL connection that passes everything to another and keeps the text of every statement it
// is asked to run: tests and benchmarks count and read what really went to a live server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/files/sql_connection.h"

namespace upkeep_sql::testing {

// A connection that keeps the text of every statement it is asked to run.
class RecordingConnection final : public files::SqlConnection {
 public:
  RecordingConnection(std::unique_ptr<files::SqlConnection> inner, std::vector<std::string>& sent)
      : inner_(std::move(inner)), sent_(sent) {}
  bool execute(std::string_view statement, std::span<files::SqlParam> params) override {
    sent_.emplace_back(statement);
    return relay(inner_->execute(statement, params));
  }
  bool fetch(files::SqlRow& row) override { return relay(inner_->fetch(row)); }
  std::optional<std::vector<files::SqlColumnInfo>> columns(std::string_view schema,
                                                           std::string_view table) override {
    auto answer = inner_->columns(schema, table);
    relay(answer.has_value());
    return answer;
  }
  bool setAutoCommit(bool on) override { return relay(inner_->setAutoCommit(on)); }
  bool commit() override { return relay(inner_->commit()); }
  bool rollback() override { return relay(inner_->rollback()); }
  files::SqlBackend backend() const override { return inner_->backend(); }
  std::string serverVersion() override { return inner_->serverVersion(); }

 private:
  bool relay(bool ok) {
    clearFailure();
    if (!inner_->lastError().state.empty())
      fail(inner_->lastError().state, inner_->lastError().text);
    if (!inner_->lastWarning().state.empty())
      warn(inner_->lastWarning().state, inner_->lastWarning().text);
    return ok;
  }
  std::unique_ptr<files::SqlConnection> inner_;
  std::vector<std::string>& sent_;
};

}  // namespace upkeep_sql::testing
