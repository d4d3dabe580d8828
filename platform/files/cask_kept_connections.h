// Connections of closed Caskfile tables, kept with the statements prepared on them for the next
// open of the same file, so that opening a file again neither connects to it nor parses its
// statements anew. A kept connection is idle: it holds no lock, no transaction and no pending
// statement. It is given back only for the very file it reads (its device and inode, which its
// open descriptor keeps from being reused), whose first page is still as it was when the
// connection was kept (so that a change made without SQLite, which the schema the connection
// keeps in memory would not see, is found as a new connection finds it), and only in the
// process that opened it. The oldest are closed when more than kKeptConnections are kept, all
// those of a file before the program removes, moves or replaces it, and those whose file another
// program removed or replaced at the next open of any file, so that none holds on to a file for
// long.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/cask_sqlite.h"

namespace files {

inline constexpr std::size_t kKeptConnections = 8;

// What makes a file the same file: its device and inode.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the open file `fd`, or of the file at `osPath`; none when it cannot be read.
std::optional<FileIdentity> identityOf(int fd);
std::optional<FileIdentity> identityOf(const std::string& osPath);

// The first page of the open file `fd` (fewer bytes for a shorter file).
std::string firstPageOf(int fd);

// A connection to a data file and what an open table prepared on it.
struct KeptConnection {
  sqlite::Connection db;
  std::string path;  // the data file as opened
  FileIdentity identity;
  std::string firstPage;  // the file's first page when the connection was kept
  pid_t process = 0;
  std::int64_t tableNumber = 0;  // the record table the statements below were prepared for
  sqlite::Statement meta;        // the table list row of a table, any table
  sqlite::Statement insert, update, erase, select, selectMemos, count, dataVersion;
  std::vector<sqlite::Statement> findByKey;
  std::vector<sqlite::Statement> cursorStatements;
};

// Keeps `kept` once its statements are reset (closes it when it is still inside a transaction),
// closing the oldest kept connection when there are too many.
void keepConnection(KeptConnection kept);

// Takes back a connection kept for the file at `path` that is the file `identity` and whose
// first page is `firstPage`; none when there is none.
std::optional<KeptConnection> takeKeptConnection(const std::string& path,
                                                 const FileIdentity& identity,
                                                 const std::string& firstPage);

// Closes the connections kept for the file at `osPath`: by its path and by the file it is now.
void forgetKeptConnections(const std::string& osPath);

}  // namespace files
