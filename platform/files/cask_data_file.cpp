#include "platform/files/cask_data_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/files/cask_creation_files.h"
#include "platform/files/driver_error.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"

namespace files {
namespace {

constexpr std::size_t kHeaderSize = 100;

std::uint32_t bigEndian(const unsigned char* p, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
  return value;
}

int notOurs(const char* why) { return driverError(runtime::InvalidDataFileErr, why); }

// SQLite's unix locks: a writer holds this byte while its journal is live, not hot.
constexpr off_t kReservedByte = 0x40000001;
constexpr unsigned char kJournalMagic[] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
constexpr std::size_t kJournalHeaderSize = 28;

std::uint32_t pageSizeOf(const unsigned char* header) {
  const std::uint32_t size = bigEndian(&header[16], 2);
  return size == 1 ? 65536 : size;
}

// The checks that hold for the first page of a file of ours in every state it passes through:
// the SQLite header, our application id, a sound page size, rollback-journal mode (bytes 18 and
// 19 are 2 in WAL mode) and a format version this driver knows.
int checkHeader(const unsigned char* header) {
  if (std::memcmp(header, kSqliteMagic, sizeof kSqliteMagic) != 0)
    return notOurs("not a data file of this driver");
  if (bigEndian(&header[68], 4) != kCaskApplicationId)
    return notOurs("a database of another application");
  const std::uint32_t pageSize = pageSizeOf(header);
  if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) return notOurs("a damaged file header");
  if (header[18] != 1 || header[19] != 1) return notOurs("a database in WAL mode");
  if (static_cast<std::int32_t>(bigEndian(&header[60], 4)) > kCaskFormatVersion)
    return notOurs("a later format version");
  return 0;
}

bool isRegularFile(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// True when another process holds the file's reserved lock: its journal is being written.
bool writerActive(int fd) {
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kReservedByte;
  probe.l_len = 1;
  return fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

// Whether the hot journal `journal` (an open descriptor of `size` bytes) was written by a
// transaction on the file whose first page is `header`: SQLite's journal header with the file's
// page size, and the first page it would put back is ours and is the one the file holds now or
// held just before (its change counter one less). When the journal holds no first page, the file
// has not grown or shrunk since the journal began. Only then may SQLite replay it.
int checkJournalBelongs(int journal, off_t size, const unsigned char* header) {
  const char* foreign = "a journal beside it that is not its own";
  const std::uint32_t pageSize = pageSizeOf(header);
  std::optional<std::array<unsigned char, kHeaderSize>> firstPage;
  std::uint32_t originalPages = 0;
  off_t at = 0;
  for (int segment = 0; at + static_cast<off_t>(kJournalHeaderSize) <= size; ++segment) {
    unsigned char head[kJournalHeaderSize];
    if (pread(journal, head, sizeof head, at) != static_cast<ssize_t>(sizeof head))
      return systemError(errno == 0 ? EIO : errno);
    if (std::memcmp(head, kJournalMagic, sizeof kJournalMagic) != 0) {
      if (segment == 0) return notOurs(foreign);
      break;  // SQLite stops at the first segment that is not whole
    }
    const std::uint32_t sector = bigEndian(&head[20], 4);
    if (sector < 32 || sector > 65536 || (sector & (sector - 1)) != 0 ||
        bigEndian(&head[24], 4) != pageSize)
      return notOurs(foreign);
    if (segment == 0) originalPages = bigEndian(&head[16], 4);
    const off_t recordSize = 8 + static_cast<off_t>(pageSize);
    const off_t records = at + static_cast<off_t>(sector);
    std::uint32_t count = bigEndian(&head[8], 4);
    if (count == 0xFFFFFFFF)  // written without syncing: every whole record counts
      count = records < size ? static_cast<std::uint32_t>((size - records) / recordSize) : 0;
    off_t record = records;
    for (std::uint32_t n = 0; n < count && record + recordSize <= size; ++n, record += recordSize) {
      unsigned char number[4];
      if (pread(journal, number, 4, record) != 4) return systemError(errno == 0 ? EIO : errno);
      if (bigEndian(number, 4) != 1 || firstPage) continue;
      firstPage.emplace();
      if (pread(journal, firstPage->data(), kHeaderSize, record + 4) !=
          static_cast<ssize_t>(kHeaderSize))
        return systemError(errno == 0 ? EIO : errno);
    }
    at = (record + static_cast<off_t>(sector) - 1) / static_cast<off_t>(sector) *
         static_cast<off_t>(sector);
  }
  if (!firstPage) {
    return originalPages == bigEndian(&header[28], 4) ? 0 : notOurs(foreign);
  }
  if (checkHeader(firstPage->data()) != 0 || pageSizeOf(firstPage->data()) != pageSize)
    return notOurs(foreign);
  const std::uint32_t before = bigEndian(&(*firstPage)[24], 4);
  const std::uint32_t now = bigEndian(&header[24], 4);
  return now == before || now == before + 1 ? 0 : notOurs(foreign);
}

// Checks the rollback journal beside the file, as SQLite would find it on opening the file
// whose first page is `header` (`fd` its descriptor). Sets `hot` when SQLite would replay it.
// Answers 0, or 36 (set) when the journal is not a plain file or is not the file's own.
int checkJournal(int fd, const std::string& osPath, const unsigned char* header, bool& hot) {
  hot = false;
  const std::string path = osPath + "-journal";
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT ? 0 : systemError(errno);
  if (S_ISLNK(info.st_mode) || !S_ISREG(info.st_mode))
    return notOurs("a journal beside it that is not a plain file");
  if (info.st_size == 0 || writerActive(fd)) return 0;
  const int journal = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (journal < 0) return errno == ENOENT ? 0 : systemError(errno);
  unsigned char first = 0;
  int code = 0;
  // SQLite takes a journal whose first byte is zero for one not yet committed to, and leaves it.
  if (!isRegularFile(journal)) {
    code = notOurs("a journal beside it that is not a plain file");
  } else if (pread(journal, &first, 1, 0) == 1 && first != 0) {
    hot = true;
    code = checkJournalBelongs(journal, info.st_size, header);
  }
  close(journal);
  return code;
}

std::string folderOf(const std::string& osPath) {
  const std::size_t slash = osPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : osPath.substr(0, slash);
}

void syncFolder(const std::string& osPath) {
  const int dir = open(folderOf(osPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  fsync(dir);
  close(dir);
}

// Writes the marks of a data file and its meta table into a fresh database under a temporary
// name: no journal and no waiting for the disk, since a file left half made there is removed as
// a leftover; it is synced once before it takes its name.
int initialiseDataFile(sqlite::Connection& db) {
  return db.exec(
      "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN; "
      "PRAGMA application_id=" +
      std::to_string(kCaskApplicationId) +
      "; PRAGMA user_version=" + std::to_string(kCaskFormatVersion) +
      "; CREATE TABLE cask_table(name TEXT PRIMARY KEY, id INTEGER NOT NULL UNIQUE, "
      "record_size INTEGER NOT NULL, unique_keys TEXT NOT NULL, memo_count INTEGER NOT NULL, "
      "layout BLOB NOT NULL, keys BLOB NOT NULL, owner TEXT NOT NULL, "
      "stale INTEGER NOT NULL DEFAULT 0); COMMIT");
}

}  // namespace

int probePath(const std::string& osPath) {
  struct stat info {};
  if (stat(osPath.c_str(), &info) == 0) return 0;
  const int error = errno;
  if (error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP) return runtime::PathNotFoundErr;
  if (error != ENOENT) return runtime::errorFromErrno(error);
  struct stat folder {};
  const bool folderThere = stat(folderOf(osPath).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
  return folderThere ? runtime::FileNotFoundErr : runtime::PathNotFoundErr;
}

int checkDataFileBytes(int fd, const std::string& osPath) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return systemError(errno);
  if (!S_ISREG(info.st_mode)) return notOurs("not a regular file");
  // The driver never writes in WAL mode: a log beside the file is not its own, and SQLite would
  // fold it into the file.
  struct stat log {};
  if (lstat((osPath + "-wal").c_str(), &log) == 0)
    return notOurs("a write-ahead log lies beside the file");
  if (info.st_size == 0) return notOurs("the file is empty");
  std::array<unsigned char, kHeaderSize> header{};
  if (info.st_size < static_cast<off_t>(kHeaderSize)) return notOurs("the file is too short");
  if (pread(fd, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size()))
    return systemError(errno == 0 ? EIO : errno);
  if (const int code = checkHeader(header.data()); code != 0) return code;
  bool hot = false;
  if (const int code = checkJournal(fd, osPath, header.data(), hot); code != 0) return code;
  if (hot) return 0;  // SQLite's recovery puts back the size the header gives
  const bool sizeValid = bigEndian(&header[92], 4) == bigEndian(&header[24], 4);
  const auto pages = static_cast<off_t>(bigEndian(&header[28], 4));
  if (sizeValid && pages * static_cast<off_t>(pageSizeOf(header.data())) > info.st_size)
    return notOurs("the file is truncated");
  return 0;
}

int openDataFile(sqlite::Connection& db, const std::string& osPath, bool write) {
  int code = db.open(osPath, SQLITE_OPEN_READWRITE, kDefaultBusyMs);
  if (code != 0) return code;
  if (write && sqlite3_db_readonly(db.get(), "main") == 1) {
    db.close();
    return driverError(runtime::AccessDeniedErr, "the file may not be written");
  }
  sqlite::Statement probe;
  code = probe.prepare(db.get(), "PRAGMA application_id");
  if (code == 0) {
    const int rc = probe.step();
    if (rc != SQLITE_ROW) {
      code = sqlite::fail(db.get(), rc);
    } else if (static_cast<std::uint32_t>(probe.columnInt(0)) != kCaskApplicationId) {
      code = notOurs("a database of another application");
    }
  }
  probe = sqlite::Statement();
  if (code == 0) {
    code = db.exec(std::string("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; "
                               "PRAGMA cell_size_check=ON; ") +
                   kCachePragmas);
  }
  if (code != 0) db.close();
  return code;
}

int createDataFile(const std::string& osPath, bool& existed) {
  existed = false;
  removeCreationLeftovers(osPath);
  std::string temporary;
  // Held until the temporary file and its journal are gone: its lock marks them as in use.
  const int fd = makeCreationFile(osPath, temporary);
  if (fd < 0) return runtime::ERRORCODE();
  int code = 0;
  {
    sqlite::Connection db;
    code = db.open(temporary, SQLITE_OPEN_READWRITE, kDefaultBusyMs);
    if (code == 0) code = initialiseDataFile(db);
  }
  if (code == 0 && fdatasync(fd) != 0) code = systemError(errno);
  if (code == 0 &&
      renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, osPath.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno == EEXIST) {
      existed = true;
    } else {
      code = systemError(errno);
    }
  }
  unlink(temporary.c_str());
  unlink((temporary + "-journal").c_str());
  close(fd);
  if (code == 0 && !existed) syncFolder(osPath);
  return code;
}

int syncDataFile(int fd, const std::string& osPath) {
  if (fdatasync(fd) != 0) return systemError(errno);
  const int folder = open(folderOf(osPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return systemError(errno);
  const int synced = fsync(folder) == 0 ? 0 : errno;
  close(folder);
  return synced == 0 ? 0 : systemError(synced);
}

std::string ownerDigest(std::string_view owner) {
  if (owner.empty()) return {};
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  const std::string salted = std::string("cask owner\x1f").append(owner);
  for (const char c : salted) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string digest(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) digest[static_cast<std::size_t>(i)] = kHex[hash & 15];
  return digest;
}

}  // namespace files
