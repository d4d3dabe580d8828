// A Caskfile data file on disk: one SQLite database in rollback-journal mode, marked as ours by
// its application id and holding the meta table `cask_table`, one row per table: its name, the
// number of its record table, its declared structure, the owner check and the stale-keys flag.
// Each table's records live in the SQLite table r<number>: id (the record number, in the
// order records were added), rec (the packed record bytes), k1..kn (key images) and m1..mn
// (memo bytes).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files/cask_sqlite.h"

namespace files {

// SQLite's application id of a Caskfile data file ("CSKF") and the version of its layout.
inline constexpr std::uint32_t kCaskApplicationId = 0x43534B46;
// The first bytes of every SQLite database file.
inline constexpr char kSqliteMagic[] = "SQLite format 3";  // with its NUL: 16 bytes
inline constexpr int kCaskFormatVersion = 1;
// The page cache of every connection to a data file: 16 MiB, so that a pass in the order of a
// key finds again the pages it comes back to; and nothing of the file mapped, as SQLite drops a
// mapping whenever another connection has changed the file and maps it again on the next read.
inline constexpr char kCachePragmas[] = "PRAGMA cache_size=-16384; PRAGMA mmap_size=0";
// How long a statement waits for another connection's lock before it fails with 5.
inline constexpr int kDefaultBusyMs = 10000;

// Whether `osPath` exists: 0 when it does; 2 when it is missing in an existing folder; 3 when a
// folder on the way is missing; 5 when it cannot be looked at. Sets nothing.
int probePath(const std::string& osPath);

// Checks what can be checked from the bytes of an existing file before SQLite reads it, so that
// SQLite never writes to a file that is not ours: 36 for an empty file, one too short for a
// database header, a file that is not an SQLite database, one of another application, one in WAL
// mode or with a write-ahead log beside it, one of a later format version than
// kCaskFormatVersion, one shorter than its header says (truncated), and a file beside a hot
// rollback journal that is not a plain file or not its own. A journal of its own is left for
// SQLite to replay. Returns 0 or the error number (set). `fd` is an open descriptor of the file.
int checkDataFileBytes(int fd, const std::string& osPath);

// Opens the data file at `osPath` (which exists) for reading and, when `write` is set, writing,
// and checks that it is ours after SQLite's recovery of an interrupted write. Returns 0, or 5
// (no permission to write), 36 (not ours) or 90 (I/O failure or corruption), set.
int openDataFile(sqlite::Connection& db, const std::string& osPath, bool write);

// Creates an empty data file at `osPath`: built beside it under a temporary name and moved into
// place only when complete, so a failure leaves nothing behind. An existing file is left alone
// and answers 0 with `existed` set. Returns 0, or 3 when the folder is missing, 5 when it is
// read-only, 90 for a refused write (a full disk); the error is set.
int createDataFile(const std::string& osPath, bool& existed);

// Waits until the disk holds what was written to the data file open as `fd` at `osPath`, and
// the entries of its folder (a journal removed beside it). 0, or the error (set).
int syncDataFile(int fd, const std::string& osPath);

// The value stored for an owner password: a digest, so the file does not show the password.
// The records are not encrypted; the owner is an access check only.
std::string ownerDigest(std::string_view owner);

}  // namespace files
