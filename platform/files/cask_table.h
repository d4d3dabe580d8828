// One table of a Caskfile data file, opened on its own SQLite connection: records with their
// key images and memos, the declared structure check of OPEN, key rebuilding and transactions.
// Sequential reading is CaskCursor's (cask_cursor.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/cask_header_map.h"
#include "platform/files/cask_kept_connections.h"
#include "platform/files/cask_name.h"
#include "platform/files/cask_sqlite.h"
#include "platform/files/share_lock.h"

namespace files {

// The declared structure of a table, as the driver keeps it in the file and compares it on OPEN.
struct CaskSchema {
  std::string layout;            // record type descriptor and memo definitions: 47 when different
  std::string keys;              // key definitions: 88 when different
  std::vector<bool> uniqueKeys;  // one entry per key: true when it allows no duplicates
  int memoCount = 0;
  std::uint32_t recordSize = 0;
  std::string owner;  // the owner password, empty for none
};

// One key image of a record: bytes whose memcmp order is the key's order, or null when the
// record is left out of the key (an OPT key whose fields are all blank or zero).
struct KeyImage {
  std::string bytes;
  bool null = true;
};

// One record to write: the record buffer, one image per key and the bytes of each memo. Memo
// bytes are stored as they are (a memo holds only what was put into it).
struct CaskRecord {
  std::string_view record;
  std::span<const KeyImage> keys;
  std::span<const std::string_view> memos;
};

// The most rows one batch of sequential reading fetches, and so the most a read hold covers.
inline constexpr std::size_t kLargestBatch = 512;

class CaskTable {
 public:
  CaskTable() = default;
  CaskTable(const CaskTable&) = delete;
  CaskTable& operator=(const CaskTable&) = delete;
  ~CaskTable() { close(); }

  // Creates the table `name` with `schema`, or replaces it when it exists; the file's other
  // tables stay. A missing data file is created. Returns 0; 3 a missing folder; 5 the file is
  // open elsewhere or may not be written; 36 an existing file that is not a data file of this
  // driver; 90 a refused write. Sets the error state.
  static int create(const CaskName& name, const CaskSchema& schema);

  // Opens the table for `mode` and compares the stored structure with `schema`. Returns 0, or
  // 46 with the table open when its keys must be rebuilt (APPEND, a failed BUILD); on any other
  // error the table stays closed: 2 missing file or table, 3 missing folder, 5 a conflicting
  // open elsewhere or no permission, 36 not a data file of this driver or another owner, 47 a
  // different layout or memo set, 88 different keys, 90 I/O failure or corruption.
  int open(const CaskName& name, const CaskSchema& schema, const AccessMode& mode);
  // Closes the table, rolling back a transaction still open on it.
  void close();

  bool isOpen() const { return static_cast<bool>(db_); }
  bool keysStale() const { return stale_; }
  bool writable() const { return writable_; }
  int keyCount() const { return static_cast<int>(uniqueKeys_.size()); }
  bool keyIsUnique(int key) const { return uniqueKeys_[static_cast<std::size_t>(key)]; }
  int memoCount() const { return memoCount_; }
  std::uint32_t recordSize() const { return recordSize_; }
  sqlite3* connection() const { return db_.get(); }
  std::int64_t tableNumber() const { return tableNumber_; }
  // 0 when the table is open for writing; else 37 or 5 (set).
  int checkWritable() const;

  // Writes a new record with its keys; `id` gets its record number. 40 when a unique key
  // already holds its image; 46 when the keys are stale; 5 on a read-only open.
  int add(const CaskRecord& record, std::int64_t& id);
  // Writes a new record without keeping the key indexes; the keys are stale until build(). The
  // record's key images are stored with it, so that build() need not compute them again.
  int append(const CaskRecord& record, std::int64_t& id);
  // Replaces record `id`. 33 when it is gone, 40, 46, 5 as add().
  int put(std::int64_t id, const CaskRecord& record);
  // Deletes record `id`. 33 when it is gone, 5 on a read-only open.
  int erase(std::int64_t id);
  // The number of records, or -1 (error set).
  std::int64_t count();

  // Reads record `id` into `record` (recordSize bytes) and its memos' bytes into `memos` (one
  // per memo). 33 when it is gone, 90 when the stored bytes are damaged.
  int read(std::int64_t id, unsigned char* record, std::span<std::string> memos);
  // Reads the memos of record `id` into `memos` (one per memo); empty when it is gone.
  int readMemos(std::int64_t id, std::span<std::string> memos);
  // The first record, in record order, whose image in `key` equals `image`: its number and
  // bytes. 35 when there is none, 46 when the keys are stale.
  int find(int key, std::string_view image, std::int64_t& id, unsigned char* record);

  // Rebuilds the key indexes, all or nothing, after computing with `imagesOf` the key images of
  // the records stored without any (appended by earlier versions of the driver), or of every
  // record when `everyRecord` is set. A record stored with an image in any key has all of its
  // images, since every write stores them together. 40 when a unique key would hold an image
  // twice (the keys then stay stale).
  int build(
      const std::function<void(const unsigned char* record, std::span<KeyImage> images)>& imagesOf,
      bool everyRecord);

  // Whether commits wait until the disk holds their writes (on, as every open starts) or leave
  // them to the system (off), for a file nobody relies on until it is complete, such as the new
  // file of an upgrade: a process killed loses nothing, but a machine that stops may leave the
  // file damaged. Turning it on again, or closing the file, syncs the file once. 0 or the error
  // (set).
  int setDiskSync(bool on);

  // Starts a transaction, waiting up to `waitSeconds` for other writers; 5 when none can be
  // started. commit() keeps its writes (on failure they are rolled back and the error given),
  // rollback() drops them; both do nothing outside a transaction.
  int begin(int waitSeconds);
  int commit();
  void rollback();
  bool inTransaction() const;

  // A read hold: the reads that follow share one read transaction, until releaseReads(), a
  // write or begin() ends it, or its reads would come to more than kLargestBatch rows
  // (beforeBatch), so it never keeps other writers out for longer than one batch. The
  // transaction begins with the first read that goes to the file: a hold whose reads are all
  // answered by rows in hand takes no lock. holdReads() answers whether it began one (none
  // inside a transaction).
  bool holdReads();
  void releaseReads();

  // What a read saw of the file: SQLite's data version, which changes whenever any connection
  // changes the file, and the change counter in the file's header, read under the same lock
  // (none when it could not be). Every commit in rollback-journal mode moves the counter on:
  // finding it the same later shows the file unchanged without taking a lock.
  struct Seen {
    std::uint32_t version = 0;
    std::optional<std::uint32_t> counter;
  };
  // Whether the file is unchanged since a read saw it as `seen`, in `unchanged`: by the change
  // counter when it tells (moved on: changed; the same: unchanged), else by the data version
  // under the current hold's lock, or under a read lock taken for the look (which then brings
  // `seen`'s counter up to date). Returns 0,
  // or the error number (set) when the look fails (5 when other connections keep the file
  // locked).
  int unchangedSince(Seen& seen, bool& unchanged);
  // Fetches a batch of up to `rows` rows of sequential reading: `fetch` runs its statements in
  // one read transaction, the hold's or one of the batch's own, and `seen` is set to what they
  // saw of the file. Returns what `fetch` returns.
  int readBatch(std::size_t rows, Seen& seen, const std::function<int()>& fetch);

  // A statement of sequential reading (CaskCursor), prepared from the text `sql()` gives on
  // first use of `slot` (the text is made only then) and kept until the table closes; null
  // (error set) when it cannot be prepared.
  template <class MakeSql>
  sqlite::Statement* cursorStatement(std::size_t slot, const MakeSql& sql) {
    sqlite::Statement* statement = cursorSlot(slot);
    if (statement == nullptr || *statement) return statement;
    return prepareCursorStatement(*statement, sql());
  }

 private:
  // Connects to the data file at `path`: the connection kept from an earlier open of the same
  // file when there is one, else a new one. Returns 0 or the error number (set).
  int connect(const std::string& path, bool write);
  // Exchanges the connection and its statements with `kept`.
  void swapConnection(KeptConnection& kept);
  int prepareStatements();
  // The record table has the columns of the declared keys and memos.
  int checkColumns();
  // Ends setDiskSync(false): commits wait for the disk again and the file is synced once.
  int syncAgain();
  int compareStructure(const CaskSchema& schema, const CaskName& name);
  // Slot `slot` of the cursor statements; null (error set) when the file is not open.
  sqlite::Statement* cursorSlot(std::size_t slot);
  sqlite::Statement* prepareCursorStatement(sqlite::Statement& statement, const std::string& sql);
  int checkStructure(const CaskSchema& schema, const CaskName& name);
  int bindRecord(sqlite::Statement& statement, const CaskRecord& record);
  int markStale();
  // A batch of up to `rows` rows is about to be read under a hold (a record read by its number
  // or key counts as one): the hold takes its lock, or ends when its reads come to more than
  // kLargestBatch rows.
  void beforeBatch(std::size_t rows);
  // Takes the read transaction of a hold that was begun without it. False when it cannot be
  // taken: the hold is then given up, and the reads take their own.
  bool takeHoldLock();
  // SQLite's data version of the file as the statement run last saw it.
  std::uint32_t dataVersion() const;
  // The change counter in the file's header now; none when the file is not in rollback-journal
  // mode (commits then leave it as it is) or its header cannot be read.
  std::optional<std::uint32_t> changeCounter();
  void refreshStale();

  ShareLock lock_;
  CaskHeaderMap header_;  // the file's first page, mapped while the file is open
  sqlite::Connection db_;
  std::string path_;                      // the data file as opened
  std::optional<FileIdentity> identity_;  // the file the open reads
  std::int64_t preparedFor_ = 0;          // the record table the statements are prepared for
  sqlite::Statement meta_;
  std::string tableName_;  // "r<number>"
  std::int64_t tableNumber_ = 0;
  std::string metaName_;
  std::vector<bool> uniqueKeys_;
  int memoCount_ = 0;
  std::uint32_t recordSize_ = 0;
  bool stale_ = false;
  bool writable_ = false;
  bool diskSyncOff_ = false;  // setDiskSync(false) is in force
  std::string packed_;
  sqlite::Statement insert_;
  sqlite::Statement update_;
  sqlite::Statement delete_;
  sqlite::Statement select_;
  sqlite::Statement selectMemos_;
  sqlite::Statement count_;
  std::vector<sqlite::Statement> findByKey_;
  std::vector<sqlite::Statement> cursorStatements_;
  sqlite::Statement dataVersion_;             // pending while a read hold has its lock
  bool holdWanted_ = false;                   // a read hold was begun
  bool readHold_ = false;                     // and holds its read transaction
  std::optional<std::uint32_t> heldCounter_;  // the change counter, read under the hold's lock
  std::size_t heldRows_ = 0;                  // rows of sequential reading fetched under the hold
};

// The SQL statements that lay out record table `table` of database `schema` ("main" or an
// attached one): its CREATE TABLE and the index of key `key` (1-based).
std::string recordTableSql(const std::string& schema, const std::string& table, int keyCount,
                           int memoCount);
std::string keyIndexSql(const std::string& schema, const std::string& table, int key, bool unique);

}  // namespace files
