#include "upkeep/upgrade_marker_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace upkeep {

bool UpgradeMarkerLock::acquire(const std::string& path, bool wait) {
  release();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  int locked = 0;
  do {
    locked = flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
  } while (locked != 0 && errno == EINTR);
  // The file locked must still be the one under `path`: a marker removed or rewritten while
  // this process waited is no longer the one it opened.
  struct stat held {};
  struct stat named {};
  if (locked != 0 || fstat(fd, &held) != 0 || stat(path.c_str(), &named) != 0 ||
      held.st_dev != named.st_dev || held.st_ino != named.st_ino) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void UpgradeMarkerLock::release() {
  if (fd_ < 0) return;
  close(fd_);  // closing the only descriptor of the open gives the lock up
  fd_ = -1;
}

}  // namespace upkeep
