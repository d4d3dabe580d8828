#include "platform/files/cask_data_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <random>

#include "platform/files/driver_error.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"

namespace files {
namespace {

constexpr std::size_t kHeaderSize = 100;
constexpr char kSqliteMagic[] = "SQLite format 3";  // with its NUL: 16 bytes

std::uint32_t bigEndian(const unsigned char* p, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
  return value;
}

int notOurs(const char* why) { return driverError(runtime::InvalidDataFileErr, why); }

bool hasJournal(const std::string& osPath) {
  struct stat info {};
  return stat((osPath + "-journal").c_str(), &info) == 0 && info.st_size > 0;
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

// Writes the marks of a data file and its meta table into a fresh database.
int initialiseDataFile(sqlite::Connection& db) {
  return db.exec(
      "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; BEGIN; "
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
  if (hasJournal(osPath)) return 0;
  if (info.st_size == 0) return notOurs("the file is empty");
  std::array<unsigned char, kHeaderSize> header{};
  if (info.st_size < static_cast<off_t>(kHeaderSize)) return notOurs("the file is too short");
  if (pread(fd, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size()))
    return systemError(errno == 0 ? EIO : errno);
  if (std::memcmp(header.data(), kSqliteMagic, sizeof kSqliteMagic) != 0)
    return notOurs("not a data file of this driver");
  if (bigEndian(&header[68], 4) != kCaskApplicationId)
    return notOurs("a database of another application");
  std::uint32_t pageSize = bigEndian(&header[16], 2);
  if (pageSize == 1) pageSize = 65536;
  if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) return notOurs("a damaged file header");
  const bool sizeValid = bigEndian(&header[92], 4) == bigEndian(&header[24], 4);
  const auto pages = static_cast<off_t>(bigEndian(&header[28], 4));
  if (sizeValid && pages * static_cast<off_t>(pageSize) > info.st_size)
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
    code = db.exec(
        "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; "
        "PRAGMA cell_size_check=ON; PRAGMA cache_size=-16384");
  }
  if (code != 0) db.close();
  return code;
}

int createDataFile(const std::string& osPath, bool& existed) {
  existed = false;
  std::random_device seed;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = osPath + ".new" + std::to_string(seed() % 1000000);
    fd = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt > 20))
      return systemError(errno == ENOENT ? ENOTDIR : errno);
  }
  close(fd);
  int code = 0;
  {
    sqlite::Connection db;
    code = db.open(temporary, SQLITE_OPEN_READWRITE, kDefaultBusyMs);
    if (code == 0) code = initialiseDataFile(db);
  }
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
  if (code == 0 && !existed) syncFolder(osPath);
  return code;
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
