// A SQL connection that plays a script, for tests of servers that cannot run here: it records
// every statement with its parameters and answers from rules shaped like the real server's
// answers (rows, or a refusal with its SQLSTATE and text), and from a table of catalogue rows.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/files/sql_connection.h"

namespace files {

// What the scripted server knows and what it was sent; shared by its connections.
class SqlScript {
 public:
  // An answer to statements that contain `match` (the first rule that matches wins; an empty
  // match takes every statement). `times` answers that many statements, then the rule is
  // spent; -1 answers for ever. `outputs` are the values of the output parameters in order.
  // A rule with an error refuses the statement; one with a warning accepts it with that note.
  struct Rule {
    std::string match;
    std::optional<SqlError> error = {};
    std::vector<SqlRow> rows = {};
    int times = -1;
    std::vector<std::string> outputs = {};
    std::optional<SqlError> warning = {};  // a note given with an accepted statement
  };
  // One statement the server was sent.
  struct Call {
    std::string statement;
    std::vector<SqlParam> params;
  };

  explicit SqlScript(SqlBackend backend, std::string version = "1.0")
      : backend_(backend), version_(std::move(version)) {}

  void answer(Rule rule);
  // The catalogue's columns of `table` (as the file names it, schema included).
  void setColumns(const std::string& table, std::vector<SqlColumnInfo> columns);
  // A login that fails with this error; nothing lets every login in.
  void refuseLogin(std::optional<SqlError> error);
  // Whether the server takes several rows in one INSERT (insertRows); by default it does not.
  void takeManyRows(bool on);

  // The statements sent so far, oldest first.
  std::vector<Call> calls() const;
  std::vector<std::string> statements() const;
  void clearCalls();

  // A new connection to this server; null with `error` when the login is refused.
  static std::unique_ptr<SqlConnection> connect(const std::shared_ptr<SqlScript>& script,
                                                SqlError& error);

 private:
  friend class ScriptedConnection;

  SqlBackend backend_;
  std::string version_;
  mutable std::mutex lock_;
  std::vector<Rule> rules_;
  std::map<std::string, std::vector<SqlColumnInfo>> tables_;
  std::optional<SqlError> loginError_;
  bool manyRows_ = false;
  std::vector<Call> calls_;
};

}  // namespace files
