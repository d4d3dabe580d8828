// A fresh engine with a scripted SQL server behind the current backend FILE: the backend FILE
// is registered with ds_AddDriver and opened over the script, message boxes are answered from
// a script and HALT throws.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/files/sql_driver.h"
#include "platform/files/sql_scripted_connection.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/scripted_answerer.h"
#include "platform/runtime/text_types.h"
#include "tests/upkeep/engine_fixture.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/sql_backends.h"

namespace upkeep_sql::testing {

// The backend FILE's record: one text column wide enough for a version row.
struct BackendRow {
  runtime::CString<200> TEXT;
  runtime::CString<60> MORE;
};
inline constexpr runtime::FieldDef kBackendFields[] = {
    GD_FIELD(BackendRow, TEXT, "SQL:TEXT"),
    GD_FIELD(BackendRow, MORE, "SQL:MORE"),
};

class SqlEngineTest : public upkeep::testing::EngineTest {
 protected:
  // The backend FILE has the driver `driver`, registered as `code`, with the record of `fields`
  // (`recordSize` bytes).
  explicit SqlEngineTest(files::Driver driver = files::Driver::Mssql, std::string code = "MSS",
                         std::span<const runtime::FieldDef> fields = kBackendFields,
                         std::size_t recordSize = sizeof(BackendRow))
      : code_(std::move(code)) {
    resetSqlBackendState();
    script = std::make_shared<files::SqlScript>(files::SqlBackend::SqlServer, "14.00.1000.169");
    std::vector<files::SqlColumnInfo> columns;
    for (const runtime::FieldDef& field : fields)
      columns.push_back({std::string(field.label.substr(field.label.find(':') + 1)), "varchar"});
    script->setColumns("upkeep_backend", columns);
    previousConnector_ = files::setSqlConnector(
        [script = script](files::Driver, std::string_view, files::SqlError& error) {
          return files::SqlScript::connect(script, error);
        });
    backend = std::make_unique<files::FileDeclaration>(files::FileSpec{
        .label = "backend",
        .prefix = "SQL",
        .driver = driver,
        .name = "upkeep_backend",
        .owner = "server,db,user,secret",
        .fields = fields,
        .recordSize = static_cast<std::uint32_t>(recordSize),
    });
    files::OPEN(*backend, 0x42);
    upkeep::ds_AddDriver(code_, *backend, static_cast<std::int32_t>(recordSize),
                         backend->record().data());
    upkeep::registration().CurrentSqlDriver = *upkeep::sqlDriverSlot(code_);
    script->clearCalls();
  }
  ~SqlEngineTest() override {
    files::CLOSE(*backend);
    files::setSqlConnector(previousConnector_);
    resetSqlBackendState();
  }

  // Makes statements containing `match` fail `times` times with `state` and `text`.
  void refuse(std::string match, std::string state = "37000", int times = -1,
              std::string text = "Incorrect syntax") {
    script->answer({.match = std::move(match),
                    .error = files::SqlError{std::move(state), std::move(text)},
                    .times = times});
  }

  std::shared_ptr<files::SqlScript> script;
  std::unique_ptr<files::FileDeclaration> backend;
  runtime::ScriptedAnswerer answerer;
  runtime::InterceptingHalter halter;
  runtime::ScopedMessageHandlers handlers{answerer, halter};

 private:
  std::string code_;
  files::SqlConnector previousConnector_;
};

}  // namespace upkeep_sql::testing
