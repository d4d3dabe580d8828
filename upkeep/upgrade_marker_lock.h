// The hold of one process on an upgrade marker: an exclusive lock on the marker file for as long
// as the upgrade that wrote it runs. The settling at the next open takes the same lock without
// waiting, so that a marker whose upgrade is still running in another process (or further up in
// this one) is left alone instead of being undone under it. The lock vanishes with the process
// that held it, even when it is killed.
#pragma once

#include <string>

namespace upkeep {

class UpgradeMarkerLock {
 public:
  UpgradeMarkerLock() = default;
  ~UpgradeMarkerLock() { release(); }
  UpgradeMarkerLock(const UpgradeMarkerLock&) = delete;
  UpgradeMarkerLock& operator=(const UpgradeMarkerLock&) = delete;

  // Locks the marker at `path` (an operating-system path), waiting for a settling in another
  // process to end when `wait`. True when the lock is held on the file that `path` names now;
  // false when the marker is locked elsewhere (without `wait`), gone, or was replaced meanwhile.
  bool acquire(const std::string& path, bool wait);

  // Gives the lock up; nothing when none is held.
  void release();

 private:
  int fd_ = -1;
};

}  // namespace upkeep
