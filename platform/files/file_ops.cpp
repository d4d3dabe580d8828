#include "platform/files/file_ops.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cstring>

#include "platform/files/cask_creation_files.h"
#include "platform/files/cask_data_file.h"
#include "platform/files/cask_file_ops.h"
#include "platform/files/cask_kept_connections.h"
#include "platform/files/cask_name.h"
#include "platform/files/driver_error.h"
#include "platform/files/share_lock.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"
#include "platform/runtime/paths.h"

namespace files {
namespace {

std::string journalOf(const std::string& osPath) { return osPath + "-journal"; }

bool exists(const std::string& osPath) {
  struct stat info {};
  return lstat(osPath.c_str(), &info) == 0;
}

// 0 when `osPath` may be created: it does not exist and its folder does.
int targetFree(const std::string& osPath) {
  const int code = probePath(osPath);
  if (code == 0) return driverError(runtime::AccessDeniedErr, "the target exists");
  if (code != runtime::FileNotFoundErr) return driverError(code, "the target's folder is missing");
  return 0;
}

// Lets SQLite roll back an interrupted write of a database before its file (open as `fd`) is
// moved or copied; a journal that is not the file's own answers 36 and is left alone.
int recoverJournal(const std::string& osPath, int fd) {
  if (!exists(journalOf(osPath))) return 0;
  int code = checkDataFileBytes(fd, osPath);
  sqlite::Connection db;
  if (code == 0) code = openDataFile(db, osPath, true);
  return code;
}

// Puts the finished `temporary` in place as `target` unless `target` has appeared meanwhile.
int placeTemporary(const std::string& temporary, const std::string& target) {
  int code = 0;
  if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0)
    code = errno == EEXIST ? driverError(runtime::AccessDeniedErr, "the target exists")
                           : systemError(errno);
  unlink(temporary.c_str());
  return code;
}

int copyBytes(int from, int to) {
  char buffer[1 << 16];
  for (off_t at = 0;;) {
    const ssize_t got = pread(from, buffer, sizeof buffer, at);
    if (got < 0) {
      if (errno == EINTR) continue;
      return systemError(errno);
    }
    if (got == 0) break;
    at += got;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(to, buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return systemError(errno);
      }
      done += put;
    }
  }
  return fsync(to) == 0 ? 0 : systemError(errno);
}

bool isDataFile(int fd) {
  unsigned char header[72] = {};
  const bool read = pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
  const std::uint32_t id = std::uint32_t{header[68]} << 24 | std::uint32_t{header[69]} << 16 |
                           std::uint32_t{header[70]} << 8 | header[71];
  return read && std::memcmp(header, kSqliteMagic, sizeof kSqliteMagic) == 0 &&
         id == kCaskApplicationId;
}

// Copies a data file through SQLite, which reads it as one consistent state.
int backupDataFile(const std::string& from, const std::string& temporary) {
  sqlite::Connection source;
  int code = openDataFile(source, from, false);
  if (code != 0) return code;
  sqlite::Connection target;
  if ((code = target.open(temporary, SQLITE_OPEN_READWRITE, kDefaultBusyMs)) != 0) return code;
  sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
  if (backup == nullptr) return sqlite::fail(target.get(), sqlite3_errcode(target.get()));
  const int rc = sqlite3_backup_step(backup, -1);
  sqlite3_backup_finish(backup);
  return rc == SQLITE_DONE ? 0 : sqlite::fail(target.get(), rc);
}

// Takes the share lock `mode` on the existing file `osPath`.
int lockExisting(const std::string& osPath, int mode, ShareLock& lock) {
  const int code = probePath(osPath);
  if (code != 0) return driverError(code, "the file cannot be reached");
  return lock.acquire(osPath, *decodeAccessMode(mode));
}

}  // namespace

int unlinkDataFile(const std::string& osPath) {
  forgetKeptConnections(osPath);
  if (unlink(osPath.c_str()) != 0) return systemError(errno);
  unlink(journalOf(osPath).c_str());
  return 0;
}

int moveFile(const std::string& from, const std::string& to, int sourceFd) {
  forgetKeptConnections(from);
  int code = targetFree(to);
  if (code == 0) code = recoverJournal(from, sourceFd);
  if (code != 0) return code;
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno == EEXIST) return driverError(runtime::AccessDeniedErr, "the target exists");
  if (errno != EXDEV) return systemError(errno);
  // Another file system: copy, then remove the original.
  if ((code = copyFileContents(from, to, sourceFd)) != 0) return code;
  return unlinkDataFile(from);
}

int copyFileContents(const std::string& from, const std::string& to, int sourceFd) {
  int code = targetFree(to);
  if (code == 0) code = recoverJournal(from, sourceFd);
  if (code != 0) return code;
  std::string temporary;
  // Held until the copy is in place: its lock marks the temporary file as in use.
  const int out = makeCreationFile(to, temporary);
  if (out < 0) return runtime::ERRORCODE();
  code = isDataFile(sourceFd) ? backupDataFile(from, temporary) : copyBytes(sourceFd, out);
  if (code != 0) {
    unlinkDataFile(temporary);
  } else {
    unlink(journalOf(temporary).c_str());
    code = placeTemporary(temporary, to);
  }
  close(out);
  return code;
}

int createEmptyFile(const std::string& osPath) {
  const int fd = open(osPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    close(fd);
    return 0;
  }
  if (errno != EEXIST) return systemError(errno == ENOENT ? ENOTDIR : errno);
  ShareLock lock;
  const int code = lockExisting(osPath, kExclusiveMode, lock);
  if (code != 0) return code;
  return ftruncate(lock.fd(), 0) == 0 ? 0 : systemError(errno);
}

int removeNamedFile(std::string_view name) {
  if (namesTable(name)) return removeCaskTable(parseCaskName(name));
  const std::string path = runtime::toOsPath(name);
  ShareLock lock;
  const int code = lockExisting(path, kExclusiveMode, lock);
  return code != 0 ? code : unlinkDataFile(path);
}

int renameNamedFile(std::string_view name, std::string_view target) {
  if (namesTable(name) || namesTable(target))
    return renameCaskTable(parseCaskName(name), parseCaskName(target));
  const std::string path = runtime::toOsPath(name);
  ShareLock lock;
  const int code = lockExisting(path, kExclusiveMode, lock);
  return code != 0 ? code : moveFile(path, runtime::toOsPath(target), lock.fd());
}

int replaceNamedFile(std::string_view name, std::string_view target) {
  assert(!namesTable(name) && !namesTable(target));
  const std::string from = runtime::toOsPath(name);
  const std::string to = runtime::toOsPath(target);
  ShareLock source;
  int code = lockExisting(from, kExclusiveMode, source);
  if (code != 0) return code;
  ShareLock replaced;
  code = probePath(to);
  if (code == 0) code = replaced.acquire(to, *decodeAccessMode(kExclusiveMode));
  if (code != 0 && code != runtime::FileNotFoundErr) return code;
  // The journal of the file replaced would be taken for one of the file put in its place.
  if (unlink(journalOf(to).c_str()) != 0 && errno != ENOENT) return systemError(errno);
  // None may go on reading (or holding the space of) the file replaced.
  forgetKeptConnections(to);
  forgetKeptConnections(from);
  if (rename(from.c_str(), to.c_str()) != 0) return systemError(errno);
  runtime::clearError();
  return 0;
}

int copyNamedFile(std::string_view name, std::string_view target) {
  if (namesTable(name) || namesTable(target))
    return copyCaskTable(parseCaskName(name), parseCaskName(target));
  const std::string path = runtime::toOsPath(name);
  ShareLock lock;
  const int code = lockExisting(path, 0x40, lock);
  return code != 0 ? code : copyFileContents(path, runtime::toOsPath(target), lock.fd());
}

}  // namespace files
