#include "platform/files/cask_creation_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "platform/files/cask_data_file.h"
#include "platform/files/driver_error.h"

namespace files {
namespace {

constexpr std::string_view kInfix = ".new";
constexpr std::string_view kJournalSuffix = "-journal";
constexpr int kMostDigits = 6;
constexpr std::uint32_t kNumbers = 1000000;  // 10 ^ kMostDigits
// A new data file and its journal hold a few pages of the meta table: far less than this.
constexpr off_t kMostLeftoverBytes = 256 * 1024;
constexpr unsigned char kJournalMagic[] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
constexpr std::size_t kApplicationIdAt = 68;

std::string folderOf(const std::string& osPath) {
  const std::size_t slash = osPath.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : osPath.substr(0, slash);
}

std::string leafOf(const std::string& osPath) {
  const std::size_t slash = osPath.rfind('/');
  return slash == std::string::npos ? osPath : osPath.substr(slash + 1);
}

// True when `entry` is `leaf` + ".new" + one to six digits.
bool isCreationName(std::string_view entry, std::string_view leaf) {
  if (!entry.starts_with(leaf) || !entry.substr(leaf.size()).starts_with(kInfix)) return false;
  const std::string_view number = entry.substr(leaf.size() + kInfix.size());
  return !number.empty() && number.size() <= kMostDigits &&
         std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// True when the descriptor `fd` still names the file at `path`.
bool stillNamed(int fd, const std::string& path) {
  struct stat held {};
  struct stat named {};
  return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

// The first bytes of the plain file `fd` (at most `wanted`), or nothing for one that is not a
// plain file or is larger than a leftover can be.
std::optional<std::vector<unsigned char>> smallFileStart(int fd, std::size_t wanted) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMostLeftoverBytes)
    return std::nullopt;
  std::vector<unsigned char> bytes(
      std::min<std::size_t>(wanted, static_cast<std::size_t>(info.st_size)));
  if (pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
    return std::nullopt;
  return bytes;
}

bool allZero(const std::vector<unsigned char>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; });
}

// True when `start` (the first bytes of a file) is what a creation writes: nothing yet, pages
// not yet written, or a database whose application id is still unset or ours.
bool isCreationContent(const std::vector<unsigned char>& start) {
  if (allZero(start)) return true;
  const std::size_t magic = sizeof kSqliteMagic;
  if (start.size() < kApplicationIdAt + 4 || std::memcmp(start.data(), kSqliteMagic, magic) != 0)
    return false;
  std::uint32_t id = 0;
  for (std::size_t i = 0; i < 4; ++i) id = id << 8 | start[kApplicationIdAt + i];
  return id == 0 || id == kCaskApplicationId;
}

// True when `start` is what SQLite writes into a journal: nothing yet, or a journal header.
bool isJournalContent(const std::vector<unsigned char>& start) {
  if (allZero(start)) return true;
  return start.size() >= sizeof kJournalMagic &&
         std::memcmp(start.data(), kJournalMagic, sizeof kJournalMagic) == 0;
}

// Removes the journal at `path` when it holds what SQLite writes there.
void removeJournal(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return;
  const auto start = smallFileStart(fd, sizeof kJournalMagic);
  if (start && isJournalContent(*start) && stillNamed(fd, path)) unlink(path.c_str());
  close(fd);
}

// Removes the temporary file at `path` and its journal when no creation holds it and it holds
// what a creation writes.
void removeCreationFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd, path)) {
    const auto start = smallFileStart(fd, kApplicationIdAt + 4);
    if (start && isCreationContent(*start) && unlink(path.c_str()) == 0)
      removeJournal(path + std::string(kJournalSuffix));
  }
  close(fd);
}

}  // namespace

int makeCreationFile(const std::string& osPath, std::string& temporary) {
  std::random_device seed;
  for (int attempt = 0;; ++attempt) {
    temporary = osPath + std::string(kInfix) + std::to_string(seed() % kNumbers);
    const int fd = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST && attempt < 20) continue;
      systemError(errno == ENOENT ? ENOTDIR : errno);
      return -1;
    }
    // A removal that came between the creation and the lock took the name: another is made.
    if (flock(fd, LOCK_EX) == 0 && stillNamed(fd, temporary)) return fd;
    close(fd);
  }
}

void removeCreationLeftovers(const std::string& osPath) {
  const std::string folder = folderOf(osPath);
  const std::string leaf = leafOf(osPath);
  DIR* entries = opendir(folder.c_str());
  if (entries == nullptr) return;
  std::vector<std::string> found;
  std::vector<std::string> journals;
  while (const dirent* entry = readdir(entries)) {
    std::string_view name = entry->d_name;
    if (isCreationName(name, leaf)) {
      found.push_back(folder + "/" + std::string(name));
    } else if (name.ends_with(kJournalSuffix) &&
               isCreationName(name.substr(0, name.size() - kJournalSuffix.size()), leaf)) {
      journals.push_back(folder + "/" + std::string(name));
    }
  }
  closedir(entries);
  for (const std::string& path : found) removeCreationFile(path);
  // A journal whose temporary file is gone belongs to no creation that still works.
  for (const std::string& journal : journals) {
    struct stat info {};
    const std::string file = journal.substr(0, journal.size() - kJournalSuffix.size());
    if (lstat(file.c_str(), &info) != 0 && errno == ENOENT) removeJournal(journal);
  }
}

}  // namespace files
