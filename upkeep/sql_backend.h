// What the engine asks of its SQL backends: the system-table check at registration, the
// management of a SQL table before it opens, the statements and error reports of that work,
// and the kind of server behind the ODBC driver. The SQL backends install themselves at start-up;
// without them nothing is done for SQL tables (no SQL driver is built into this program).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace files {
class FileDeclaration;
}

namespace upkeep {

class SqlBackend {
 public:
  virtual ~SqlBackend() = default;
  // `LoadVersionInfoQueues`: the system-table check of a file being registered; does nothing
  // for a file whose driver is not a SQL driver.
  virtual void LoadVersionInfoQueues(files::FileDeclaration& file, std::int16_t version,
                                     std::string_view prefix, std::string_view label) = 0;
  // `ManageSQLTable`: creates, compares or alters the table of `file` (driver code `code`).
  virtual void ManageSQLTable(files::FileDeclaration& file, std::string_view code) = 0;
  // `ExecuteStatement`: sends one statement through the current backend; answers its result.
  virtual int ExecuteStatement(std::string_view statement, int level) = 0;
  // `ds_Error`: reports a catalogue message with a detail at a level (0 trace only, 1 ask
  // whether to end the program, 6 show and end it).
  virtual void ds_Error(std::string_view code, std::string_view detail, std::string_view context,
                        int level) = 0;
  // The ODBC backend kind ("FIREBIRD", "MYSQL", ...); empty when none is set.
  virtual std::string odbcBackendKind() const = 0;
  // `CheckIfbinary`: whether the field labelled `label` ("PRE:NAME") was given a binary SQL
  // type, so that its values go to the server as bytes. None is, unless the backends say so.
  virtual bool CheckIfbinary(std::string_view /*label*/) const { return false; }
};

// Installs the backends (nullptr: none) and answers those installed before.
SqlBackend* setSqlBackend(SqlBackend* backend);
// The installed backends; nullptr when none are.
SqlBackend* sqlBackend();

}  // namespace upkeep
