// The file drivers and the runtime's file statements over FILE declarations.
//
// Every statement sets the calling thread's error state (error_state.h): 0 on success, else the
// runtime's error number with the driver's own code and text (FILEERRORCODE, FILEERROR).
// Numbers used beyond those of OPEN: 33 at the end or start of sequential reading, or no
// current record; 35 no record with the key; 37 the file is not open; 40 a duplicate key;
// 46 stale keys; 80 a statement the file's driver does not support.
//
// Drivers:
//   Caskfile  keyed records in SQLite (cask_driver.h); the default extension is ".VKF".
//   ASCII     one record is one line of text (ascii_driver.h).
//   DOS       raw bytes (dos_driver.h).
//   MSSQL, ORACLE, SQLANYWHERE, ODBC  tables of SQL servers (sql_driver.h).
//   CORVID    old data files, read only; installed by the upgrade engine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files/driver_error.h"
#include "platform/files/file_declaration.h"
#include "platform/files/share_lock.h"

namespace files {

// The operations of one open file. A driver's handle implements those its driver supports;
// the others answer 80. Each answers 0 or the error number, with the error state set.
class DriverFile : public DriverHandle {
 public:
  // Leaves the calling thread's transaction.
  ~DriverFile() override;

  virtual std::int64_t records();  // -1 on failure
  virtual int setPhysical();
  // Key order, from the key's first record or, with `fromBuffer`, from the key values in the
  // record buffer.
  virtual int setKey(int key, bool fromBuffer);
  // Limits the key-order reading started last to the records whose first `fixed` components
  // of the key equal those in the record buffer by the key's rules (letter case, trailing
  // spaces), until the next start. 80 when the driver cannot; reading is then not limited.
  virtual int limitKey(int key, int fixed);
  virtual int next();
  virtual int previous();
  virtual int get(int key);
  virtual int getBytes(std::int64_t position, std::int64_t length);
  virtual int add();
  virtual int append();
  virtual int put();
  virtual int erase();
  virtual int build();
  virtual int send(std::string_view command);
  virtual int logout(int waitSeconds);
  virtual int commit();
  virtual int rollback();
  virtual int stream();
  virtual int flush();
  // The position of the current record (its record number in the file), 0 when there is none;
  // reget() reads the record at a position again and makes it current.
  virtual std::int64_t position() const { return 0; }
  virtual int reget(std::int64_t position);
  // Whether a transaction started by logout() is open.
  virtual bool inTransaction() const { return false; }
  // Going on with sequential reading: readingMark() changes whenever the reading is started,
  // limited, refreshed or read; canGoOn(mark) answers whether the reading still stands where
  // it stood at `mark`, after the record read then, with the file unchanged since, so that
  // the next read gives what a new start after that record gives. Drivers that cannot tell
  // answer 0 and false.
  virtual std::uint64_t readingMark() const { return 0; }
  virtual bool canGoOn(std::uint64_t) { return false; }
  // A read hold (ReadHold): answers whether one was begun; drivers without transactions
  // begin none.
  virtual bool holdReads() { return false; }
  virtual void releaseReads() {}
  // As next() or previous(), when the record buffer is as this handle's next() or previous()
  // just before left it (a filter passing over records only looks at them): a driver may then
  // leave alone what that read left as this one would set it.
  virtual int readOn(bool forward) { return forward ? next() : previous(); }
};

// A driver: opens and creates files for declarations and removes, renames and copies them.
// Names are as declared (the driver completes them, e.g. with its default extension).
class FileDriver {
 public:
  virtual ~FileDriver() = default;
  // Opens `name` for `file` with `mode`. Returns 0 with `handle` set, or an error; an error
  // that leaves the file usable (the Caskfile driver's 46) sets `handle` too.
  virtual int open(FileDeclaration& file, const std::string& name, const AccessMode& mode,
                   std::unique_ptr<DriverFile>& handle) = 0;
  virtual int create(FileDeclaration& file, const std::string& name) = 0;
  virtual int remove(FileDeclaration& file, const std::string& name) = 0;
  virtual int rename(FileDeclaration& file, const std::string& name, const std::string& target) = 0;
  virtual int copy(FileDeclaration& file, const std::string& name, const std::string& target) = 0;
};

// The driver of `driver`; null for Corvid until one is installed.
FileDriver* fileDriver(Driver driver);
// Installs the driver of old data files (the upgrade engine owns their format); null removes
// it. Done once at start-up, before any open.
void installCorvidDriver(FileDriver* driver);

// How SET(file, key) starts.
enum class SetFrom {
  KeyStart,      // NEXT from the key's first record, PREVIOUS from its last
  RecordBuffer,  // from the key values in the record buffer: NEXT from the first record at or
                 // after them, PREVIOUS from the last one at or before them
};

// OPEN with an access mode (10h, 12h, 22h, 40h, 42h ...; see share_lock.h). 52 when the FILE is
// already open (it stays open as it was).
void OPEN(FileDeclaration& file, int mode = 0x22);
// OPEN with a sharing mode, 42h unless given.
void SHARE(FileDeclaration& file, int mode = 0x42);
// Creates the file from the declaration under its current name and owner.
void CREATE(FileDeclaration& file);
// Closes the file (rolling back its open transaction); a closed FILE is left alone.
void CLOSE(FileDeclaration& file);
// Removes, renames or copies the FILE's file (it must be closed). A target that exists is not
// replaced (5).
void REMOVE(FileDeclaration& file);
void RENAME(FileDeclaration& file, std::string_view target);
void COPY(FileDeclaration& file, std::string_view target);
// The same on file names: 2 a missing file, 3 a missing folder, 5 a file in use, a target that
// exists, or no permission. "file\!table" names a table of a Caskfile data file.
void REMOVE(std::string_view name);
void RENAME(std::string_view name, std::string_view target);
void COPY(std::string_view name, std::string_view target);
// 1 when the file (or folder) exists; for "file\!table", the data file. Sets no error.
int EXISTS(std::string_view name);
// The FILE's name: the name it is open under, else its current name.
std::string NAME(const FileDeclaration& file);
// The access mode the FILE is open with; 0 when it is closed.
int STATUS(const FileDeclaration& file);
// The number of records; 0 (error set) when it cannot be counted.
std::int64_t RECORDS(FileDeclaration& file);
// Starts sequential reading in physical order.
void SET(FileDeclaration& file);
// Starts sequential reading in the order of `key`, one of the FILE's keys.
void SET(FileDeclaration& file, const KeyDef& key, SetFrom from = SetFrom::KeyStart);
// Reads the next or previous record into the record buffer and memos; 33 at the end or start.
void NEXT(FileDeclaration& file);
void PREVIOUS(FileDeclaration& file);
// Reads the record whose `key` values equal those in the record buffer (the first one in
// record order for a key with duplicates); 35 when there is none.
void GET(FileDeclaration& file, const KeyDef& key);
// DOS driver: reads `length` bytes from 1-based byte `position` into the record buffer (at
// most its size); a read that starts past the end fails (35), a short one is zero-filled.
void GET(FileDeclaration& file, std::int64_t position, std::int64_t length);
// Writes the record buffer and memos as a new record; 40 when a unique key has its values.
void ADD(FileDeclaration& file);
// Writes a new record without keeping the keys: they are stale (46) until BUILD.
void APPEND(FileDeclaration& file);
// Writes the current record (the one last read or added) back; DELETE removes it.
void PUT(FileDeclaration& file);
void DELETE(FileDeclaration& file);
// Rebuilds every key of the file.
void BUILD(FileDeclaration& file);
// Passes a command to the driver ("FULLBUILD=on", "QUICKSCAN=ON", "/QUICKSCAN=true",
// "/VERIFYVIASELECT=TRUE" are taken); the answer is empty.
std::string SEND(FileDeclaration& file, std::string_view command);
// Starts a transaction on the file for the calling thread, waiting up to `waitSeconds` for
// other writers; COMMIT and ROLLBACK end the calling thread's transaction (doing nothing
// without one).
void LOGOUT(int waitSeconds, FileDeclaration& file);
void COMMIT();
void ROLLBACK();
// Buffered bulk writing: STREAM starts it (a transaction of its own unless one is open),
// FLUSH writes the buffers and ends it.
void STREAM(FileDeclaration& file);
void FLUSH(FileDeclaration& file);
// Blanks the record buffer (text fields to spaces or empty, the rest to zero) and the memos.
void CLEAR(FileDeclaration& file);

// Reads of `file` in one go: while the hold lives, the file's reads share one read
// transaction instead of starting one each (a page of a list costs one lock, one look at the
// journal and one header read). Other processes cannot commit writes meanwhile, so the driver
// ends the hold once its reads come to one large batch, and a write, LOGOUT or STREAM ends it
// at once. Hold it around one short run of reads, never while waiting for the user. Does
// nothing on a closed file or inside a transaction; holds nest. endReadHold() ends a hold of
// the file at once (before anything that may wait for the user, such as an error message).
class ReadHold {
 public:
  explicit ReadHold(FileDeclaration& file);
  ~ReadHold();
  ReadHold(const ReadHold&) = delete;
  ReadHold& operator=(const ReadHold&) = delete;

 private:
  FileDeclaration& file_;
  bool held_ = false;
};
void endReadHold(FileDeclaration& file);

}  // namespace files
