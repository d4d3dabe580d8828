#include "platform/files/cask_table.h"

#include <unistd.h>

#include <algorithm>

#include "platform/files/cask_data_file.h"
#include "platform/files/cask_kept_connections.h"
#include "platform/files/cask_packing.h"
#include "platform/files/driver_error.h"
#include "platform/runtime/error_state.h"

namespace files {
namespace {

constexpr int kBuildBatch = 512;

std::string uniqueFlags(const std::vector<bool>& uniqueKeys) {
  std::string flags;
  for (const bool unique : uniqueKeys) flags.push_back(unique ? 'U' : 'D');
  return flags;
}

std::string columnList(const char* prefix, int count, bool leadingComma) {
  std::string list;
  for (int i = 1; i <= count; ++i) {
    if (leadingComma || i > 1) list += ", ";
    list += prefix + std::to_string(i);
  }
  return list;
}

std::string placeholders(int count, int first) {
  std::string list;
  for (int i = 0; i < count; ++i) list += ", ?" + std::to_string(first + i);
  return list;
}

int damaged() { return driverError(runtime::FileSystemErr, "a stored record is damaged"); }

// Runs `body` inside a savepoint: all its writes, or none of them when it fails.
template <class Body>
int atomically(sqlite::Connection& db, Body&& body) {
  int code = db.exec("SAVEPOINT cask");
  if (code != 0) return code;
  code = body();
  if (code == 0) code = db.exec("RELEASE cask");
  if (code != 0) sqlite::undoKeepingError(db.get(), "ROLLBACK TO cask; RELEASE cask");
  return code;
}

int stepDone(sqlite3* db, sqlite::Statement& statement) {
  const int rc = statement.step();
  statement.reset();
  return rc == SQLITE_DONE ? 0 : sqlite::fail(db, rc);
}

}  // namespace

std::string recordTableSql(const std::string& schema, const std::string& table, int keyCount,
                           int memoCount) {
  std::string sql =
      "CREATE TABLE " + schema + "." + table + "(id INTEGER PRIMARY KEY, rec BLOB NOT NULL";
  for (int k = 1; k <= keyCount; ++k) sql += ", k" + std::to_string(k) + " BLOB";
  for (int m = 1; m <= memoCount; ++m) sql += ", m" + std::to_string(m) + " BLOB";
  return sql + ")";
}

std::string keyIndexSql(const std::string& schema, const std::string& table, int key, bool unique) {
  const std::string column = "k" + std::to_string(key);
  return std::string(unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") + schema + "." + table +
         "_" + column + " ON " + table + "(" + column + ")";
}

int CaskTable::create(const CaskName& name, const CaskSchema& schema) {
  runtime::clearError();
  int code = probePath(name.file);
  if (code == runtime::FileNotFoundErr) {
    bool existed = false;
    code = createDataFile(name.file, existed);
    if (code != 0) return code;
  } else if (code != 0) {
    return driverError(code, "the data file cannot be reached");
  }
  // Replacing a table needs the whole file; adding one only needs it to be writable.
  ShareLock lock;
  code = lock.acquire(name.file, *decodeAccessMode(kExclusiveMode));
  const bool exclusive = code == 0;
  if (!exclusive) code = lock.acquire(name.file, *decodeAccessMode(0x42));
  if (code != 0) return code;
  if ((code = checkDataFileBytes(lock.fd(), name.file)) != 0) return code;
  sqlite::Connection db;
  if ((code = openDataFile(db, name.file, true)) != 0) return code;
  const int keyCount = static_cast<int>(schema.uniqueKeys.size());
  code = db.exec("BEGIN IMMEDIATE");
  if (code != 0) return code;
  code = [&] {
    sqlite::Statement existing;
    int rc = existing.prepare(db.get(), "SELECT id FROM cask_table WHERE name = ?1");
    if (rc != 0) return rc;
    existing.bindText(1, name.table);
    const int step = existing.step();
    if (step == SQLITE_ROW) {
      if (!exclusive) return driverError(runtime::AccessDeniedErr, "the file is open elsewhere");
      const std::string old = "r" + std::to_string(existing.columnInt(0));
      existing.reset();
      if ((rc = db.exec("DROP TABLE IF EXISTS " + old)) != 0) return rc;
      if ((rc = db.exec("DELETE FROM cask_table WHERE id = " + old.substr(1))) != 0) return rc;
    } else if (step != SQLITE_DONE) {
      return sqlite::fail(db.get(), step);
    }
    existing = sqlite::Statement();
    sqlite::Statement number;
    if ((rc = number.prepare(db.get(), "SELECT coalesce(max(id), 0) + 1 FROM cask_table")) != 0)
      return rc;
    if ((rc = number.step()) != SQLITE_ROW) return sqlite::fail(db.get(), rc);
    const std::int64_t id = number.columnInt(0);
    number = sqlite::Statement();
    const std::string table = "r" + std::to_string(id);
    if ((rc = db.exec(recordTableSql("main", table, keyCount, schema.memoCount))) != 0) return rc;
    for (int k = 0; k < keyCount; ++k)
      if ((rc = db.exec(keyIndexSql("main", table, k + 1,
                                    schema.uniqueKeys[static_cast<std::size_t>(k)]))) != 0)
        return rc;
    sqlite::Statement meta;
    rc = meta.prepare(db.get(),
                      "INSERT INTO cask_table(name, id, record_size, unique_keys, memo_count, "
                      "layout, keys, owner) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    if (rc != 0) return rc;
    const std::string flags = uniqueFlags(schema.uniqueKeys);
    const std::string owner = ownerDigest(schema.owner);
    meta.bindText(1, name.table);
    meta.bindInt(2, id);
    meta.bindInt(3, schema.recordSize);
    meta.bindText(4, flags);
    meta.bindInt(5, schema.memoCount);
    meta.bindBlob(6, schema.layout);
    meta.bindBlob(7, schema.keys);
    meta.bindText(8, owner);
    return stepDone(db.get(), meta);
  }();
  if (code == 0) code = db.exec("COMMIT");
  if (code != 0) sqlite::undoKeepingError(db.get(), "ROLLBACK");
  return code;
}

int CaskTable::open(const CaskName& name, const CaskSchema& schema, const AccessMode& mode) {
  close();
  runtime::clearError();
  int code = probePath(name.file);
  if (code != 0) return driverError(code, "the data file cannot be reached");
  if ((code = lock_.acquire(name.file, mode)) != 0) return code;
  code = checkDataFileBytes(lock_.fd(), name.file);
  if (code == 0) code = connect(name.file, mode.write);
  if (code == 0) code = checkStructure(schema, name);
  if (code == 0 && preparedFor_ != tableNumber_) {
    // Statements prepared for another table of the file (or none yet).
    code = checkColumns();
    if (code == 0) code = prepareStatements();
  }
  if (code != 0) {
    db_.close();
    close();
    return code;
  }
  writable_ = mode.write;
  header_.map(lock_.fd());
  if (stale_) return driverError(runtime::KeyFileRebuildErr, "the keys must be rebuilt");
  return 0;
}

int CaskTable::connect(const std::string& path, bool write) {
  path_ = path;
  identity_ = identityOf(lock_.fd());
  if (identity_) {
    if (std::optional<KeptConnection> kept =
            takeKeptConnection(path, *identity_, firstPageOf(lock_.fd()))) {
      swapConnection(*kept);
      // A connection kept from a read-only open of a file that may not be written.
      if (!write || sqlite3_db_readonly(db_.get(), "main") != 1) return 0;
      swapConnection(*kept);
    }
  }
  return openDataFile(db_, path, write);
}

void CaskTable::swapConnection(KeptConnection& kept) {
  using std::swap;
  swap(db_, kept.db);
  swap(preparedFor_, kept.tableNumber);
  swap(meta_, kept.meta);
  swap(insert_, kept.insert);
  swap(update_, kept.update);
  swap(delete_, kept.erase);
  swap(select_, kept.select);
  swap(selectMemos_, kept.selectMemos);
  swap(count_, kept.count);
  swap(dataVersion_, kept.dataVersion);
  swap(findByKey_, kept.findByKey);
  swap(cursorStatements_, kept.cursorStatements);
}

int CaskTable::checkStructure(const CaskSchema& schema, const CaskName& name) {
  int code = 0;
  if (!meta_ && (code = meta_.prepare(db_.get(),
                                      "SELECT id, record_size, unique_keys, memo_count, layout, "
                                      "keys, owner, stale FROM cask_table WHERE name = ?1")) != 0)
    return driverError(runtime::InvalidDataFileErr, "the file has no table list");
  meta_.bindText(1, name.table);
  code = compareStructure(schema, name);
  meta_.reset();
  return code;
}

int CaskTable::compareStructure(const CaskSchema& schema, const CaskName& name) {
  sqlite::Statement& meta = meta_;
  const int rc = meta.step();
  if (rc == SQLITE_DONE) return driverError(runtime::FileNotFoundErr, "the file has no such table");
  if (rc != SQLITE_ROW) return sqlite::fail(db_.get(), rc);
  if (meta.columnBlob(6) != ownerDigest(schema.owner))
    return driverError(runtime::InvalidDataFileErr, "the owner does not match");
  if (meta.columnBlob(4) != schema.layout)
    return driverError(runtime::InvalidRecordDeclarationErr, "the record layout differs");
  if (meta.columnBlob(5) != schema.keys)
    return driverError(runtime::InvalidKeyLengthErr, "the key definitions differ");
  if (meta.columnInt(1) != schema.recordSize ||
      meta.columnBlob(2) != uniqueFlags(schema.uniqueKeys) || meta.columnInt(3) != schema.memoCount)
    return driverError(runtime::InvalidDataFileErr, "the table list is inconsistent");
  tableNumber_ = meta.columnInt(0);
  stale_ = meta.columnInt(7) != 0;
  tableName_ = "r" + std::to_string(tableNumber_);
  metaName_ = name.table;
  uniqueKeys_ = schema.uniqueKeys;
  memoCount_ = schema.memoCount;
  recordSize_ = schema.recordSize;
  return 0;
}

int CaskTable::checkColumns() {
  sqlite::Statement columns;
  const int code = columns.prepare(db_.get(), "SELECT count(*) FROM pragma_table_info(?1)");
  if (code != 0) return code;
  columns.bindText(1, tableName_);
  if (columns.step() != SQLITE_ROW || columns.columnInt(0) != 2 + keyCount() + memoCount_)
    return driverError(runtime::InvalidDataFileErr, "the record table is not as declared");
  return 0;
}

int CaskTable::prepareStatements() {
  const std::string& t = tableName_;
  const int keys = keyCount();
  const std::string memoColumns = columnList("m", memoCount_, true);
  const std::string keyColumns = columnList("k", keys, true);
  int code = 0;
  const auto prepare = [&](sqlite::Statement& statement, const std::string& sql) {
    if (code == 0) code = statement.prepare(db_.get(), sql);
  };
  prepare(insert_, "INSERT INTO " + t + "(rec" + keyColumns + memoColumns + ") VALUES(?1" +
                       placeholders(keys + memoCount_, 2) + ")");
  std::string set = "rec = ?1";
  for (int k = 1; k <= keys; ++k) set += ", k" + std::to_string(k) + " = ?" + std::to_string(1 + k);
  for (int m = 1; m <= memoCount_; ++m)
    set += ", m" + std::to_string(m) + " = ?" + std::to_string(1 + keys + m);
  prepare(update_,
          "UPDATE " + t + " SET " + set + " WHERE id = ?" + std::to_string(2 + keys + memoCount_));
  prepare(delete_, "DELETE FROM " + t + " WHERE id = ?1");
  prepare(select_, "SELECT rec" + memoColumns + " FROM " + t + " WHERE id = ?1");
  if (memoCount_ > 0)
    prepare(selectMemos_,
            "SELECT " + columnList("m", memoCount_, false) + " FROM " + t + " WHERE id = ?1");
  prepare(count_, "SELECT count(*) FROM " + t);
  prepare(dataVersion_, "PRAGMA data_version");
  findByKey_.clear();
  findByKey_.resize(static_cast<std::size_t>(keys));
  cursorStatements_.clear();
  for (int k = 0; k < keys; ++k) {
    const std::string column = "k" + std::to_string(k + 1);
    prepare(findByKey_[static_cast<std::size_t>(k)], "SELECT id, rec FROM " + t + " WHERE " +
                                                         column + " = ?1 ORDER BY " + column +
                                                         ", id LIMIT 1");
  }
  if (code != 0)
    return driverError(runtime::InvalidDataFileErr, "the record table is not as declared");
  preparedFor_ = tableNumber_;
  return 0;
}

void CaskTable::close() {
  if (db_ && !sqlite3_get_autocommit(db_.get()))
    sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  holdWanted_ = false;
  readHold_ = false;
  heldCounter_.reset();
  header_.unmap();
  // The file is left synced (a failure stays set for the caller of the close), and a connection
  // kept only as every open expects it: waiting for the disk at each commit.
  const bool synced = !db_ || syncAgain() == 0;
  diskSyncOff_ = false;
  if (db_ && identity_ && synced) {
    // The connection and its statements wait for the next open of the file.
    KeptConnection kept;
    swapConnection(kept);
    kept.path = path_;
    kept.identity = *identity_;
    kept.firstPage = firstPageOf(lock_.fd());
    kept.process = getpid();
    keepConnection(std::move(kept));
  }
  KeptConnection dropped;  // whatever was not kept: closed here
  swapConnection(dropped);
  identity_.reset();
  lock_.release();
  stale_ = false;
  writable_ = false;
}

int CaskTable::checkWritable() const {
  if (!db_) return driverError(kFileNotOpenErr, "the file is not open");
  if (!writable_) return driverError(runtime::AccessDeniedErr, "the file is open for reading only");
  return 0;
}

int CaskTable::bindRecord(sqlite::Statement& statement, const CaskRecord& record) {
  packBytes(record.record, packed_);
  statement.bindBlob(1, packed_);
  int index = 2;
  for (const KeyImage& image : record.keys) {
    if (image.null) {
      statement.bindNull(index++);
    } else {
      statement.bindBlob(index++, image.bytes);
    }
  }
  for (int m = 0; m < memoCount_; ++m)
    statement.bindBlob(index++, record.memos[static_cast<std::size_t>(m)]);
  return index;
}

int CaskTable::add(const CaskRecord& record, std::int64_t& id) {
  int code = checkWritable();
  if (code != 0) return code;
  releaseReads();
  if (stale_) return driverError(runtime::KeyFileRebuildErr, "the keys must be rebuilt");
  bindRecord(insert_, record);
  if ((code = stepDone(db_.get(), insert_)) != 0) return code;
  id = sqlite3_last_insert_rowid(db_.get());
  return 0;
}

int CaskTable::markStale() {
  int code = 0;
  for (int k = 1; k <= keyCount() && code == 0; ++k)
    code = db_.exec("DROP INDEX IF EXISTS " + tableName_ + "_k" + std::to_string(k));
  if (code == 0) {
    sqlite::Statement mark;
    if ((code = mark.prepare(db_.get(), "UPDATE cask_table SET stale = 1 WHERE id = ?1")) != 0)
      return code;
    mark.bindInt(1, tableNumber_);
    code = stepDone(db_.get(), mark);
  }
  return code;
}

int CaskTable::append(const CaskRecord& record, std::int64_t& id) {
  int code = checkWritable();
  if (code != 0) return code;
  releaseReads();
  if (!stale_) {
    code = atomically(db_, [&] {
      int rc = markStale();
      if (rc != 0) return rc;
      bindRecord(insert_, record);
      return stepDone(db_.get(), insert_);
    });
    if (code != 0) return code;
    stale_ = true;
  } else {
    bindRecord(insert_, record);
    if ((code = stepDone(db_.get(), insert_)) != 0) return code;
  }
  id = sqlite3_last_insert_rowid(db_.get());
  return 0;
}

int CaskTable::put(std::int64_t id, const CaskRecord& record) {
  int code = checkWritable();
  if (code != 0) return code;
  releaseReads();
  if (stale_) return driverError(runtime::KeyFileRebuildErr, "the keys must be rebuilt");
  const int last = bindRecord(update_, record);
  update_.bindInt(last, id);
  if ((code = stepDone(db_.get(), update_)) != 0) return code;
  if (sqlite3_changes(db_.get()) == 0)
    return driverError(kRecordNotAvailableErr, "the record is no longer there");
  return 0;
}

int CaskTable::erase(std::int64_t id) {
  int code = checkWritable();
  if (code != 0) return code;
  releaseReads();
  delete_.bindInt(1, id);
  if ((code = stepDone(db_.get(), delete_)) != 0) return code;
  if (sqlite3_changes(db_.get()) == 0)
    return driverError(kRecordNotAvailableErr, "the record is no longer there");
  return 0;
}

std::int64_t CaskTable::count() {
  if (!db_) {
    driverError(kFileNotOpenErr, "the file is not open");
    return -1;
  }
  beforeBatch(1);
  const int rc = count_.step();
  const std::int64_t records = rc == SQLITE_ROW ? count_.columnInt(0) : -1;
  if (rc != SQLITE_ROW) sqlite::fail(db_.get(), rc);
  count_.reset();
  return records;
}

int CaskTable::read(std::int64_t id, unsigned char* record, std::span<std::string> memos) {
  if (!db_) return driverError(kFileNotOpenErr, "the file is not open");
  beforeBatch(1);
  select_.bindInt(1, id);
  const int rc = select_.step();
  int code = 0;
  if (rc == SQLITE_ROW) {
    if (unpackBytes(select_.columnBlob(0), record, recordSize_) < 0) code = damaged();
    for (std::size_t m = 0; m < memos.size(); ++m)
      memos[m].assign(select_.columnBlob(static_cast<int>(m) + 1));
  } else if (rc == SQLITE_DONE) {
    code = driverError(kRecordNotAvailableErr, "the record is no longer there");
  } else {
    code = sqlite::fail(db_.get(), rc);
  }
  select_.reset();
  return code;
}

int CaskTable::readMemos(std::int64_t id, std::span<std::string> memos) {
  if (memos.empty()) return 0;
  beforeBatch(1);
  selectMemos_.bindInt(1, id);
  const int rc = selectMemos_.step();
  int code = 0;
  for (std::size_t m = 0; m < memos.size(); ++m)
    memos[m].assign(rc == SQLITE_ROW ? selectMemos_.columnBlob(static_cast<int>(m))
                                     : std::string_view());
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) code = sqlite::fail(db_.get(), rc);
  selectMemos_.reset();
  return code;
}

int CaskTable::find(int key, std::string_view image, std::int64_t& id, unsigned char* record) {
  if (!db_) return driverError(kFileNotOpenErr, "the file is not open");
  if (stale_) return driverError(runtime::KeyFileRebuildErr, "the keys must be rebuilt");
  beforeBatch(1);
  sqlite::Statement& statement = findByKey_[static_cast<std::size_t>(key)];
  statement.bindBlob(1, image);
  const int rc = statement.step();
  int code = 0;
  if (rc == SQLITE_ROW) {
    id = statement.columnInt(0);
    if (unpackBytes(statement.columnBlob(1), record, recordSize_) < 0) code = damaged();
  } else if (rc == SQLITE_DONE) {
    code = driverError(runtime::RecordNotFoundErr, "no record has this key");
  } else {
    code = sqlite::fail(db_.get(), rc);
  }
  statement.reset();
  return code;
}

int CaskTable::build(
    const std::function<void(const unsigned char* record, std::span<KeyImage> images)>& imagesOf,
    bool everyRecord) {
  int code = checkWritable();
  if (code != 0) return code;
  releaseReads();
  const int keys = keyCount();
  code = atomically(db_, [&] {
    int rc = 0;
    for (int k = 1; k <= keys && rc == 0; ++k)
      rc = db_.exec("DROP INDEX IF EXISTS " + tableName_ + "_k" + std::to_string(k));
    if (rc != 0) return rc;
    // Where only records stored without images need them, the first key's index, made now,
    // finds them without reading every record; the other indexes are made after the images.
    int madeBefore = 0;  // the keys whose index stands before the images are computed
    const auto makeIndex = [&](int k) {
      return db_.exec(
          keyIndexSql("main", tableName_, k, uniqueKeys_[static_cast<std::size_t>(k - 1)]));
    };
    if (!everyRecord && keys > 0) {
      if ((rc = makeIndex(1)) != 0) return rc;
      madeBefore = 1;
    }
    sqlite::Statement batch;
    sqlite::Statement update;
    std::string set;
    for (int k = 1; k <= keys; ++k)
      set += std::string(k > 1 ? ", " : "") + "k" + std::to_string(k) + " = ?" + std::to_string(k);
    // Records stored without images hold none in any key.
    std::string without;
    for (int k = 1; !everyRecord && k <= keys; ++k)
      without += " AND k" + std::to_string(k) + " IS NULL";
    if ((rc = batch.prepare(db_.get(), "SELECT id, rec FROM " + tableName_ + " WHERE id > ?1" +
                                           without + " ORDER BY id LIMIT " +
                                           std::to_string(kBuildBatch))) != 0)
      return rc;
    if (keys > 0 &&
        (rc = update.prepare(db_.get(), "UPDATE " + tableName_ + " SET " + set + " WHERE id = ?" +
                                            std::to_string(keys + 1))) != 0)
      return rc;
    std::vector<unsigned char> record(recordSize_);
    std::vector<KeyImage> images(static_cast<std::size_t>(keys));
    std::vector<std::pair<std::int64_t, std::string>> rows;
    std::int64_t last = 0;
    for (bool more = keys > 0; more;) {
      rows.clear();
      batch.bindInt(1, last);
      int step = 0;
      while ((step = batch.step()) == SQLITE_ROW)
        rows.emplace_back(batch.columnInt(0), std::string(batch.columnBlob(1)));
      batch.reset();
      if (step != SQLITE_DONE) return sqlite::fail(db_.get(), step);
      more = rows.size() == static_cast<std::size_t>(kBuildBatch);
      // So many need images (a file whose records were all stored without) that the index is
      // better made after them than kept up record by record.
      if (more && madeBefore > 0) {
        if ((rc = db_.exec("DROP INDEX " + tableName_ + "_k1")) != 0) return rc;
        madeBefore = 0;
      }
      for (const auto& [id, packed] : rows) {
        if (unpackBytes(packed, record.data(), record.size()) < 0) return damaged();
        imagesOf(record.data(), images);
        last = id;
        // A record left out of every key already stores what its images are.
        if (!everyRecord &&
            std::all_of(images.begin(), images.end(), [](const KeyImage& i) { return i.null; }))
          continue;
        for (int k = 0; k < keys; ++k) {
          const KeyImage& image = images[static_cast<std::size_t>(k)];
          if (image.null) {
            update.bindNull(k + 1);
          } else {
            update.bindBlob(k + 1, image.bytes);
          }
        }
        update.bindInt(keys + 1, id);
        if ((rc = stepDone(db_.get(), update)) != 0) return rc;
      }
    }
    for (int k = madeBefore + 1; k <= keys; ++k)
      if ((rc = makeIndex(k)) != 0) return rc;
    sqlite::Statement fresh;
    if ((rc = fresh.prepare(db_.get(), "UPDATE cask_table SET stale = 0 WHERE id = ?1")) != 0)
      return rc;
    fresh.bindInt(1, tableNumber_);
    return stepDone(db_.get(), fresh);
  });
  if (code == 0) stale_ = false;
  return code;
}

int CaskTable::setDiskSync(bool on) {
  runtime::clearError();
  if (!db_) return driverError(kFileNotOpenErr, "the file is not open");
  if (on) return syncAgain();
  if (diskSyncOff_) return 0;
  const int code = db_.exec("PRAGMA synchronous=OFF");
  if (code == 0) diskSyncOff_ = true;
  return code;
}

int CaskTable::syncAgain() {
  if (!diskSyncOff_) return 0;
  const int code = db_.exec("PRAGMA synchronous=FULL");
  if (code != 0) return code;
  diskSyncOff_ = false;
  // What the commits left to the system, and the removal of their journals, reach the disk
  // before anyone relies on the file.
  return syncDataFile(lock_.fd(), path_);
}

int CaskTable::begin(int waitSeconds) {
  if (!db_) return driverError(kFileNotOpenErr, "the file is not open");
  releaseReads();
  if (inTransaction()) return 0;
  sqlite3_busy_timeout(db_.get(), waitSeconds > 0 ? waitSeconds * 1000 : 0);
  const int code = db_.exec(writable_ ? "BEGIN IMMEDIATE" : "BEGIN");
  sqlite3_busy_timeout(db_.get(), kDefaultBusyMs);
  return code;
}

int CaskTable::commit() {
  if (!inTransaction()) return 0;
  const int code = db_.exec("COMMIT");
  if (code != 0 && inTransaction()) {
    sqlite::undoKeepingError(db_.get(), "ROLLBACK");
    refreshStale();
  }
  return code;
}

void CaskTable::rollback() {
  if (!inTransaction()) return;
  sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  refreshStale();
}

void CaskTable::refreshStale() {
  sqlite::Statement stale;
  if (stale.prepare(db_.get(), "SELECT stale FROM cask_table WHERE id = ?1") != 0) return;
  stale.bindInt(1, tableNumber_);
  if (stale.step() == SQLITE_ROW) stale_ = stale.columnInt(0) != 0;
}

sqlite::Statement* CaskTable::cursorSlot(std::size_t slot) {
  if (!db_) {
    driverError(kFileNotOpenErr, "the file is not open");
    return nullptr;
  }
  if (cursorStatements_.size() <= slot) cursorStatements_.resize(slot + 1);
  return &cursorStatements_[slot];
}

sqlite::Statement* CaskTable::prepareCursorStatement(sqlite::Statement& statement,
                                                     const std::string& sql) {
  return statement.prepare(db_.get(), sql) == 0 ? &statement : nullptr;
}

bool CaskTable::holdReads() {
  if (!db_ || holdWanted_ || !sqlite3_get_autocommit(db_.get())) return false;
  holdWanted_ = true;
  heldRows_ = 0;
  return true;
}

bool CaskTable::takeHoldLock() {
  if (readHold_) return true;
  // A statement left pending keeps its read transaction, and so the lock, until its reset.
  readHold_ = dataVersion_.step() == SQLITE_ROW;
  if (!readHold_) {
    dataVersion_.reset();
    holdWanted_ = false;
  }
  return readHold_;
}

void CaskTable::releaseReads() {
  holdWanted_ = false;
  if (!readHold_) return;
  readHold_ = false;
  heldCounter_.reset();
  dataVersion_.reset();
}

void CaskTable::beforeBatch(std::size_t rows) {
  if (!holdWanted_) return;
  heldRows_ += rows;
  if (heldRows_ > kLargestBatch) {
    releaseReads();
  } else {
    takeHoldLock();
  }
}

int CaskTable::readBatch(std::size_t rows, Seen& seen, const std::function<int()>& fetch) {
  beforeBatch(rows);
  const bool own = holdReads();
  if (holdWanted_) takeHoldLock();
  const int code = fetch();
  seen.version = dataVersion();
  // Read under the lock the batch was read with, the counter is the one of what it saw.
  seen.counter = readHold_ ? changeCounter() : std::nullopt;
  if (own) releaseReads();
  return code;
}

std::optional<std::uint32_t> CaskTable::changeCounter() {
  // No commit can move the counter while the hold keeps its read lock: it is read once then.
  if (readHold_ && heldCounter_) return heldCounter_;
  std::optional<std::uint32_t> counter;
  if (header_.mapped()) {
    counter = header_.changeCounter();
  } else {
    sqlite3_file* file = nullptr;
    unsigned char header[10];  // bytes 18 to 27
    if (db_ &&
        sqlite3_file_control(db_.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK &&
        file != nullptr && file->pMethods != nullptr &&
        file->pMethods->xRead(file, header, sizeof header, 18) == SQLITE_OK)
      counter = rollbackChangeCounter(header);
  }
  if (readHold_) heldCounter_ = counter;
  return counter;
}

std::uint32_t CaskTable::dataVersion() const {
  std::uint32_t version = 0;
  if (db_) sqlite3_file_control(db_.get(), "main", SQLITE_FCNTL_DATA_VERSION, &version);
  return version;
}

int CaskTable::unchangedSince(Seen& seen, bool& unchanged) {
  unchanged = false;
  if (!db_) return driverError(kFileNotOpenErr, "the file is not open");
  // Outside a transaction of this connection, the file holds everything it sees. Under a hold
  // the look is taken under its lock when memos follow, so that a record and its memos are
  // read from one state of the file.
  if (seen.counter && sqlite3_get_autocommit(db_.get())) {
    const std::optional<std::uint32_t> now = changeCounter();
    // A counter that moved on shows a commit since (or one being written): the rows are stale,
    // and no lock need be taken to know it.
    if (now && now != seen.counter) return 0;
    if (now == seen.counter && (memoCount_ == 0 || !holdWanted_)) {
      unchanged = true;
      return 0;
    }
  }
  // Under a hold the lock is taken for the reads that follow; else a statement takes it for a
  // moment. Either way SQLite then compared the file's header with the one it saw before, and
  // the data version moved on if they differ.
  std::optional<std::uint32_t> counter;
  if (holdWanted_ && takeHoldLock()) {
    counter = changeCounter();
  } else {
    const int rc = dataVersion_.step();
    if (rc == SQLITE_ROW) counter = changeCounter();
    dataVersion_.reset();
    if (rc != SQLITE_ROW) return sqlite::fail(db_.get(), rc);
  }
  unchanged = dataVersion() == seen.version;
  // Read under the lock, the counter now stands for what `seen` saw.
  if (unchanged) seen.counter = counter;
  return 0;
}

bool CaskTable::inTransaction() const { return db_ && !sqlite3_get_autocommit(db_.get()); }

}  // namespace files
