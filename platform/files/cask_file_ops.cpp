#include "platform/files/cask_file_ops.h"

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/cask_data_file.h"
#include "platform/files/cask_table.h"
#include "platform/files/driver_error.h"
#include "platform/files/file_ops.h"
#include "platform/files/share_lock.h"
#include "platform/runtime/error_state.h"

namespace files {
namespace {

constexpr int kReadDenyNone = 0x40;
constexpr int kReadWriteDenyNone = 0x42;

// A data file opened for changing its tables, with its share lock.
struct DataFile {
  ShareLock lock;  // declared first: released after the connection is closed
  sqlite::Connection db;
  std::vector<std::string> tables;
  int notOurs = 0;  // the error when the file is not a data file of this driver

  bool has(const std::string& table) const {
    return std::find(tables.begin(), tables.end(), table) != tables.end();
  }
};

int openDataFileFor(const std::string& osPath, int mode, DataFile& file) {
  int code = probePath(osPath);
  if (code != 0) return driverError(code, "the data file cannot be reached");
  if ((code = file.lock.acquire(osPath, *decodeAccessMode(mode))) != 0) return code;
  code = checkDataFileBytes(file.lock.fd(), osPath);
  if (code == 0) code = openDataFile(file.db, osPath, true);
  if (code == runtime::InvalidDataFileErr) {
    file.notOurs = code;
    return 0;
  }
  if (code != 0) return code;
  sqlite::Statement names;
  if ((code = names.prepare(file.db.get(), "SELECT name FROM cask_table")) != 0) return code;
  int rc = 0;
  while ((rc = names.step()) == SQLITE_ROW) file.tables.emplace_back(names.columnBlob(0));
  return rc == SQLITE_DONE ? 0 : sqlite::fail(file.db.get(), rc);
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat x {};
  struct stat y {};
  if (stat(a.c_str(), &x) != 0 || stat(b.c_str(), &y) != 0) return a == b;
  return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

int inTransaction(sqlite::Connection& db, const std::function<int()>& body) {
  int code = db.exec("BEGIN IMMEDIATE");
  if (code != 0) return code;
  code = body();
  if (code == 0) code = db.exec("COMMIT");
  if (code != 0 && !sqlite3_get_autocommit(db.get()))
    sqlite::undoKeepingError(db.get(), "ROLLBACK");
  return code;
}

int runWithText(sqlite3* db, const std::string& sql, const std::string& first,
                const std::string& second = {}) {
  sqlite::Statement statement;
  int code = statement.prepare(db, sql);
  if (code != 0) return code;
  statement.bindText(1, first);
  if (sqlite3_bind_parameter_count(statement.get()) > 1) statement.bindText(2, second);
  return sqlite::runOnce(db, statement);
}

// The number of the record table of `table` in database `schema`.
int tableNumber(sqlite3* db, const std::string& schema, const std::string& table,
                std::int64_t& number) {
  sqlite::Statement find;
  int code = find.prepare(db, "SELECT id FROM " + schema + ".cask_table WHERE name = ?1");
  if (code != 0) return code;
  find.bindText(1, table);
  const int rc = find.step();
  if (rc == SQLITE_ROW) {
    number = find.columnInt(0);
    return 0;
  }
  return rc == SQLITE_DONE ? driverError(runtime::FileNotFoundErr, "the file has no such table")
                           : sqlite::fail(db, rc);
}

int dropTable(DataFile& file, const std::string& table) {
  return inTransaction(file.db, [&] {
    std::int64_t number = 0;
    int code = tableNumber(file.db.get(), "main", table, number);
    if (code == 0) code = file.db.exec("DROP TABLE r" + std::to_string(number));
    if (code == 0)
      code = runWithText(file.db.get(), "DELETE FROM cask_table WHERE name = ?1", table);
    return code;
  });
}

// Copies table `from` of the source into `to` of database `target` ("main" itself, or an
// attached one), as one transaction; with `drop`, the source table goes in the same
// transaction.
int carryTable(DataFile& source, const std::string& from, const std::string& to, bool drop,
               const std::string& target) {
  return inTransaction(source.db, [&] {
    sqlite3* db = source.db.get();
    std::int64_t number = 0;
    int code = tableNumber(db, "main", from, number);
    if (code != 0) return code;
    sqlite::Statement meta;
    if ((code = meta.prepare(db,
                             "SELECT unique_keys, memo_count, stale, "
                             "(SELECT coalesce(max(id), 0) + 1 FROM " +
                                 target +
                                 ".cask_table) "
                                 "FROM main.cask_table WHERE id = ?1")) != 0)
      return code;
    meta.bindInt(1, number);
    if ((code = meta.step()) != SQLITE_ROW) return sqlite::fail(db, code);
    const std::string uniqueKeys(meta.columnBlob(0));
    const int memoCount = static_cast<int>(meta.columnInt(1));
    const bool stale = meta.columnInt(2) != 0;
    const std::int64_t newNumber = meta.columnInt(3);
    meta = sqlite::Statement();
    const std::string oldTable = "r" + std::to_string(number);
    const std::string newTable = "r" + std::to_string(newNumber);
    const int keyCount = static_cast<int>(uniqueKeys.size());
    if ((code = source.db.exec(recordTableSql(target, newTable, keyCount, memoCount))) != 0)
      return code;
    if ((code = source.db.exec("INSERT INTO " + target + "." + newTable + " SELECT * FROM main." +
                               oldTable)) != 0)
      return code;
    for (int k = 0; k < keyCount && !stale; ++k)
      if ((code = source.db.exec(keyIndexSql(target, newTable, k + 1,
                                             uniqueKeys[static_cast<std::size_t>(k)] == 'U'))) != 0)
        return code;
    sqlite::Statement copyMeta;
    if ((code = copyMeta.prepare(
             db,
             "INSERT INTO " + target +
                 ".cask_table(name, id, record_size, unique_keys, memo_count, "
                 "layout, keys, owner, stale) SELECT ?1, ?2, record_size, unique_keys, "
                 "memo_count, layout, keys, owner, stale FROM main.cask_table WHERE id = ?3")) != 0)
      return code;
    copyMeta.bindText(1, to);
    copyMeta.bindInt(2, newNumber);
    copyMeta.bindInt(3, number);
    if ((code = sqlite::runOnce(db, copyMeta)) != 0) return code;
    if (!drop) return 0;
    if ((code = source.db.exec("DROP TABLE main." + oldTable)) != 0) return code;
    return runWithText(db, "DELETE FROM main.cask_table WHERE name = ?1", from);
  });
}

// Renames or copies the table `from` into another data file, `to.file`.
int transferTable(DataFile& source, const CaskName& from, const CaskName& to, bool drop) {
  int code = probePath(to.file);
  if (code == runtime::FileNotFoundErr) {
    bool existed = false;
    code = createDataFile(to.file, existed);
  }
  if (code != 0)
    return code == runtime::PathNotFoundErr ? driverError(code, "the target's folder is missing")
                                            : code;
  DataFile target;
  if ((code = openDataFileFor(to.file, kExclusiveMode, target)) != 0) return code;
  if (target.notOurs != 0) return target.notOurs;
  if (target.has(to.table)) return driverError(runtime::AccessDeniedErr, "the target table exists");
  target.db.close();  // the target is reached through the source's connection
  if ((code = runWithText(source.db.get(), "ATTACH DATABASE ?1 AS dst", to.file)) != 0) return code;
  code = carryTable(source, from.table, to.table, drop, "dst");
  sqlite3_exec(source.db.get(), "DETACH DATABASE dst", nullptr, nullptr, nullptr);
  if (code != 0 || !drop || source.tables.size() > 1) return code;
  source.db.close();
  return unlinkDataFile(from.file);
}

int renameOrCopy(const CaskName& from, const CaskName& to, bool rename) {
  runtime::clearError();
  // A copy inside one file writes to it, so it needs the right to write beside the others.
  const bool oneFile = sameFile(from.file, to.file);
  const int mode = rename ? kExclusiveMode : oneFile ? kReadWriteDenyNone : kReadDenyNone;
  DataFile source;
  int code = openDataFileFor(from.file, mode, source);
  if (code != 0) return code;
  const bool wholeFile = from.table.empty() && to.table.empty();
  if (source.notOurs != 0) {
    if (!wholeFile) return source.notOurs;
    source.db.close();
    return rename ? moveFile(from.file, to.file, source.lock.fd())
                  : copyFileContents(from.file, to.file, source.lock.fd());
  }
  if (!source.has(from.table))
    return driverError(runtime::FileNotFoundErr, "the file has no such table");
  if (oneFile) {
    if (source.has(to.table))
      return driverError(runtime::AccessDeniedErr, "the target table exists");
    if (!rename) return carryTable(source, from.table, to.table, false, "main");
    return inTransaction(source.db, [&] {
      return runWithText(source.db.get(), "UPDATE cask_table SET name = ?1 WHERE name = ?2",
                         to.table, from.table);
    });
  }
  if (source.tables.size() == 1 && from.table == to.table &&
      probePath(to.file) == runtime::FileNotFoundErr) {
    source.db.close();
    return rename ? moveFile(from.file, to.file, source.lock.fd())
                  : copyFileContents(from.file, to.file, source.lock.fd());
  }
  return transferTable(source, from, to, rename);
}

}  // namespace

int removeCaskTable(const CaskName& name) {
  runtime::clearError();
  DataFile file;
  int code = openDataFileFor(name.file, kExclusiveMode, file);
  if (code != 0) return code;
  if (file.notOurs != 0) {
    if (!name.table.empty()) return file.notOurs;
    runtime::clearError();
  } else if (!file.has(name.table)) {
    return driverError(runtime::FileNotFoundErr, "the file has no such table");
  } else if (file.tables.size() > 1) {
    return dropTable(file, name.table);
  }
  file.db.close();
  return unlinkDataFile(name.file);
}

int renameCaskTable(const CaskName& from, const CaskName& to) {
  return renameOrCopy(from, to, true);
}

int copyCaskTable(const CaskName& from, const CaskName& to) {
  return renameOrCopy(from, to, false);
}

}  // namespace files
