#include "platform/files/share_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "platform/files/driver_error.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/os_error.h"

namespace files {
namespace {

constexpr off_t kLockBase = off_t{1} << 62;
enum LockByte : off_t {
  Reading = 0,
  Writing = 1,
  DenyingRead = 2,
  DenyingWrite = 3,
  ByteCount = 4
};
constexpr int kAttempts = 4;  // two opens racing may both see each other; they try again

// Descriptors of one file (device and inode) that this process holds or has parked.
struct InodeEntry {
  int live = 0;
  std::vector<std::pair<int, bool>> parked;  // descriptor, opened for writing
};

// The registry outlives every static object: a FILE still open when the process exits (a
// process-wide declaration) releases its locks through it from its destructor.
std::mutex& registryMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}
std::map<std::pair<dev_t, ino_t>, InodeEntry>& registry() {
  static auto* entries = new std::map<std::pair<dev_t, ino_t>, InodeEntry>;
  return *entries;
}

bool setLock(int fd, short type, off_t start, off_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = kLockBase + start;
  lock.l_len = length;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

void unlockAll(int fd) { setLock(fd, F_UNLCK, 0, ByteCount); }

// True when an open other than the one of `fd` holds `byte`.
bool heldByOther(int fd, off_t byte, bool& failed) {
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kLockBase + byte;
  probe.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &probe) != 0) {
    failed = true;
    return false;
  }
  return probe.l_type != F_UNLCK;
}

// Takes the bytes of `mode` and checks the others' bytes: 0 granted, 5 a conflict, 90 failure.
int tryLocks(int fd, const AccessMode& mode) {
  const std::pair<bool, off_t> own[] = {{mode.read, Reading},
                                        {mode.write, Writing},
                                        {mode.denyRead, DenyingRead},
                                        {mode.denyWrite, DenyingWrite}};
  for (const auto& [wanted, byte] : own)
    if (wanted && !setLock(fd, F_RDLCK, byte, 1)) return runtime::FileSystemErr;
  const std::pair<bool, off_t> conflicts[] = {{mode.read, DenyingRead},
                                              {mode.write, DenyingWrite},
                                              {mode.denyRead, Reading},
                                              {mode.denyWrite, Writing}};
  bool failed = false;
  for (const auto& [wanted, byte] : conflicts)
    if (wanted && heldByOther(fd, byte, failed)) return runtime::AccessDeniedErr;
  return failed ? runtime::FileSystemErr : 0;
}

bool isFolder(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

// A parked descriptor of the file at `osPath` fit for `writable`, or -1.
int takeParked(const std::string& osPath, bool writable) {
  struct stat info {};
  if (stat(osPath.c_str(), &info) != 0) return -1;
  const std::lock_guard guard(registryMutex());
  const auto found = registry().find({info.st_dev, info.st_ino});
  if (found == registry().end()) return -1;
  auto& parked = found->second.parked;
  for (auto it = parked.begin(); it != parked.end(); ++it) {
    if (it->second == writable) {
      const int fd = it->first;
      parked.erase(it);
      ++found->second.live;
      return fd;
    }
  }
  return -1;
}

bool registerOpened(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  const std::lock_guard guard(registryMutex());
  ++registry()[{info.st_dev, info.st_ino}].live;
  return true;
}

void unregister(int fd, bool writable) {
  struct stat info {};
  const bool known = fstat(fd, &info) == 0;
  std::vector<int> toClose;
  {
    const std::lock_guard guard(registryMutex());
    const auto found = known ? registry().find({info.st_dev, info.st_ino}) : registry().end();
    if (found == registry().end()) {
      toClose.push_back(fd);
    } else if (--found->second.live > 0) {
      found->second.parked.emplace_back(fd, writable);
    } else {
      toClose.push_back(fd);
      for (const auto& [parkedFd, ignored] : found->second.parked) toClose.push_back(parkedFd);
      registry().erase(found);
    }
  }
  for (const int closing : toClose) close(closing);
}

}  // namespace

std::optional<AccessMode> decodeAccessMode(int mode) {
  if (mode < 0 || mode > 0xFF) return std::nullopt;
  AccessMode decoded;
  switch (mode & 0x0F) {
    case 0: break;
    case 1:
      decoded.read = false;
      decoded.write = true;
      break;
    case 2: decoded.write = true; break;
    default: return std::nullopt;
  }
  switch (mode >> 4) {
    case 0:
    case 2: decoded.denyWrite = true; break;
    case 1: decoded.denyRead = decoded.denyWrite = true; break;
    case 3: decoded.denyRead = true; break;
    case 4: break;
    default: return std::nullopt;
  }
  return decoded;
}

ShareLock::ShareLock(ShareLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(other.writable_) {}

ShareLock& ShareLock::operator=(ShareLock&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::exchange(other.fd_, -1);
    writable_ = other.writable_;
  }
  return *this;
}

int ShareLock::acquire(const std::string& osPath, const AccessMode& mode) {
  release();
  int fd = takeParked(osPath, mode.write);
  if (fd < 0) {
    // O_NONBLOCK: a pipe in the file's place must not hold the open until a writer comes.
    fd = open(osPath.c_str(), (mode.write ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
    const int openError = fd < 0 ? errno : isFolder(fd) ? EISDIR : 0;
    if (openError == EISDIR) {
      // A folder in the file's place is not a file of any driver: no access, said as it is.
      if (fd >= 0) close(fd);
      return driverError(runtime::AccessDeniedErr, "a folder stands in the place of the file");
    }
    if (fd < 0) {
      const int code = runtime::errorFromErrno(openError);
      runtime::setError(code);
      return code;
    }
    if (!registerOpened(fd)) {
      close(fd);
      runtime::setError(runtime::FileSystemErr);
      return runtime::FileSystemErr;
    }
  }
  fd_ = fd;
  writable_ = mode.write;
  std::minstd_rand jitter(static_cast<unsigned>(getpid()) ^ static_cast<unsigned>(fd));
  int code = 0;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    code = tryLocks(fd, mode);
    if (code != runtime::AccessDeniedErr) break;
    unlockAll(fd);
    if (attempt + 1 < kAttempts)
      std::this_thread::sleep_for(std::chrono::microseconds(500 + jitter() % 2000));
  }
  if (code != 0) {
    release();
    runtime::setFileError(code, "",
                          code == runtime::AccessDeniedErr
                              ? "the file is open elsewhere in a conflicting mode"
                              : "the file's share locks could not be taken");
  }
  return code;
}

void ShareLock::release() {
  if (fd_ < 0) return;
  unlockAll(fd_);
  unregister(std::exchange(fd_, -1), writable_);
}

}  // namespace files
