#include "platform/files/cask_kept_connections.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <mutex>

namespace files {
namespace {

// SQLite's page size in the driver's files, and so the bytes of the first page.
constexpr std::size_t kFirstPage = 4096;

struct Kept {
  std::mutex mutex;
  std::deque<KeptConnection> connections;  // the oldest first
};

// Never destroyed: tables closed while the process ends may still hand their connections in.
Kept& kept() {
  static Kept* const connections = new Kept;
  return *connections;
}

std::optional<FileIdentity> identityOf(const struct stat& info) {
  return FileIdentity{info.st_dev, info.st_ino};
}

// Whether the path a connection was kept for still names the file it reads. One whose file was
// removed, or moved away or over, can never be given back and would keep the file's space.
bool stillNamed(const KeptConnection& connection) {
  return files::identityOf(connection.path) == connection.identity;
}

}  // namespace

std::optional<FileIdentity> identityOf(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return std::nullopt;
  return identityOf(info);
}

std::string firstPageOf(int fd) {
  std::string page(kFirstPage, '\0');
  const ssize_t read = pread(fd, page.data(), page.size(), 0);
  page.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
  return page;
}

std::optional<FileIdentity> identityOf(const std::string& osPath) {
  struct stat info {};
  if (stat(osPath.c_str(), &info) != 0) return std::nullopt;
  return identityOf(info);
}

void keepConnection(KeptConnection connection) {
  // Idle: every statement reset, the pages it cached given back.
  for (sqlite3_stmt* statement = sqlite3_next_stmt(connection.db.get(), nullptr);
       statement != nullptr; statement = sqlite3_next_stmt(connection.db.get(), statement))
    sqlite3_reset(statement);
  if (!sqlite3_get_autocommit(connection.db.get()) || !stillNamed(connection)) return;
  sqlite3_db_release_memory(connection.db.get());
  std::deque<KeptConnection> closed;  // closed once the lock is given up
  Kept& all = kept();
  const std::lock_guard guard(all.mutex);
  all.connections.push_back(std::move(connection));
  while (all.connections.size() > kKeptConnections) {
    closed.push_back(std::move(all.connections.front()));
    all.connections.pop_front();
  }
}

std::optional<KeptConnection> takeKeptConnection(const std::string& path,
                                                 const FileIdentity& identity,
                                                 const std::string& firstPage) {
  std::deque<KeptConnection> closed;  // closed once the lock is given up
  Kept& all = kept();
  const std::lock_guard guard(all.mutex);
  // Those whose files are gone (another program removed or replaced them) are let go of here.
  for (auto entry = all.connections.begin(); entry != all.connections.end();) {
    if (stillNamed(*entry)) {
      ++entry;
    } else {
      closed.push_back(std::move(*entry));
      entry = all.connections.erase(entry);
    }
  }
  const pid_t process = getpid();
  // The newest first: it has the most statements prepared.
  const auto found =
      std::find_if(all.connections.rbegin(), all.connections.rend(), [&](const KeptConnection& k) {
        return k.process == process && k.identity == identity && k.path == path &&
               k.firstPage == firstPage;
      });
  if (found == all.connections.rend()) return std::nullopt;
  KeptConnection taken = std::move(*found);
  all.connections.erase(std::next(found).base());
  return taken;
}

void forgetKeptConnections(const std::string& osPath) {
  const std::optional<FileIdentity> identity = identityOf(osPath);
  std::deque<KeptConnection> closed;
  Kept& all = kept();
  const std::lock_guard guard(all.mutex);
  auto entry = all.connections.begin();
  while (entry != all.connections.end()) {
    if (entry->path == osPath || (identity && entry->identity == *identity)) {
      closed.push_back(std::move(*entry));
      entry = all.connections.erase(entry);
    } else {
      ++entry;
    }
  }
}

}  // namespace files
