#include "upkeep/upgrade_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <set>
#include <thread>

#include "upkeep/upgrade_marker.h"

namespace upkeep {
namespace {

constexpr off_t kLockBytes = off_t{1} << 31;
constexpr auto kRetry = std::chrono::milliseconds(10);

// The locks this process holds, by folder and byte (always under ds_FileOpen's lock). Never
// destroyed: an end in the middle of an open leaves its entry.
std::set<std::string>& heldHere() {
  static auto* held = new std::set<std::string>;
  return *held;
}

// The byte of `leaf` (a file name without its folder): the same in every process and build.
off_t byteOf(std::string_view leaf) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : leaf) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return static_cast<off_t>(hash % static_cast<std::uint64_t>(kLockBytes));
}

bool lockByte(int fd, off_t byte, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace

std::chrono::milliseconds& upgradeLockWait() {
  static std::chrono::milliseconds wait = kUpgradeLockWait;
  return wait;
}

bool UpgradeLock::acquire(std::string_view fileName) {
  release();
  // The marker's path names a data file and a SQL table's conversion alike.
  const std::string marker = upgradeMarkerPath(fileName);
  const std::size_t slash = marker.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : marker.substr(0, slash);
  const off_t byte = byteOf(slash == std::string::npos ? marker : marker.substr(slash + 1));
  const std::string key = folder + "\n" + std::to_string(byte);
  if (heldHere().count(key) != 0) return true;
  const std::string path = folder + "/" + std::string(kUpgradeLockFile);
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return true;
  const auto until = std::chrono::steady_clock::now() + upgradeLockWait();
  while (!lockByte(fd, byte, F_WRLCK)) {
    const bool busy = errno == EAGAIN || errno == EACCES || errno == EINTR;
    if (!busy || std::chrono::steady_clock::now() >= until) {
      close(fd);
      return !busy;
    }
    std::this_thread::sleep_for(kRetry);
  }
  fd_ = fd;
  byte_ = byte;
  key_ = key;
  heldHere().insert(key_);
  return true;
}

void UpgradeLock::release() {
  if (fd_ < 0) return;
  lockByte(fd_, byte_, F_UNLCK);
  close(fd_);
  fd_ = -1;
  heldHere().erase(key_);
  key_.clear();
}

}  // namespace upkeep
