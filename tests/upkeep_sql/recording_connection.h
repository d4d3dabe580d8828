// A SQL connection that passes everything to another and keeps the text of every statement it
// is asked to run: tests and benchmarks count and read what really went to a live server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/files/sql_connection.h"

namespace upkeep_sql::testing {

// How a RecordingConnection relays and what it keeps besides the statements.
struct RecordingOptions {
  // Rows go many to one INSERT where the server takes them (else one at a time, so that each
  // record's statement is seen on its own).
  bool manyRows = false;
  // Each refused statement is followed by kRefused, each commit kept as kCommit.
  bool outcomes = false;
};

// A connection that keeps the text of every statement it is asked to run.
class RecordingConnection final : public files::SqlConnection {
 public:
  static constexpr const char* kRefused = "-- refused";
  static constexpr const char* kCommit = "-- commit";

  RecordingConnection(std::unique_ptr<files::SqlConnection> inner, std::vector<std::string>& sent,
                      RecordingOptions options = {})
      : inner_(std::move(inner)), sent_(sent), options_(options) {}
  bool execute(std::string_view statement, std::span<files::SqlParam> params) override {
    sent_.emplace_back(statement);
    return outcome(relay(inner_->execute(statement, params)));
  }
  bool takesManyRows() const override { return options_.manyRows && inner_->takesManyRows(); }
  bool insertRows(std::string_view head, std::span<const std::string> rows) override {
    if (!takesManyRows()) return false;
    sent_.push_back(files::multiRowInsert(head, rows));
    return outcome(relay(inner_->insertRows(head, rows)));
  }
  bool fetch(files::SqlRow& row) override { return relay(inner_->fetch(row)); }
  std::optional<std::vector<files::SqlColumnInfo>> columns(std::string_view schema,
                                                           std::string_view table) override {
    auto answer = inner_->columns(schema, table);
    relay(answer.has_value());
    return answer;
  }
  bool setAutoCommit(bool on) override { return relay(inner_->setAutoCommit(on)); }
  bool commit() override {
    if (options_.outcomes) sent_.emplace_back(kCommit);
    return outcome(relay(inner_->commit()));
  }
  bool rollback() override { return relay(inner_->rollback()); }
  files::SqlBackend backend() const override { return inner_->backend(); }
  std::string serverVersion() override { return inner_->serverVersion(); }

 private:
  bool outcome(bool ok) {
    if (!ok && options_.outcomes) sent_.emplace_back(kRefused);
    return ok;
  }
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
  const RecordingOptions options_;
};

}  // namespace upkeep_sql::testing
