// The lock that gives the upgrade of a data file to one process at a time. ds_FileOpen takes
// it before it settles a marker, opens the file or upgrades it, and keeps it to its end, so that
// of two starts that open the same file together one upgrades it and the other waits for the
// result. The lock is a write lock on one byte of "Upkeep.lck" in the file's folder (made when
// missing, never removed), the byte chosen by the file's name: opens of other files go on. It
// vanishes with the process that held it, even when that is killed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>

namespace upkeep {

// The lock file's name, in the folder of the files it guards.
inline constexpr std::string_view kUpgradeLockFile = "Upkeep.lck";

// How long an open waits for another process that holds the lock of its file.
inline constexpr std::chrono::milliseconds kUpgradeLockWait{10000};
// The wait in force: kUpgradeLockWait unless a test sets another.
std::chrono::milliseconds& upgradeLockWait();

class UpgradeLock {
 public:
  UpgradeLock() = default;
  ~UpgradeLock() { release(); }
  UpgradeLock(const UpgradeLock&) = delete;
  UpgradeLock& operator=(const UpgradeLock&) = delete;

  // Takes the lock of the data file `fileName` (a completed name, upgrade_marker.h), waiting up
  // to upgradeLockWait() while another process holds it. True when it is held, also when this
  // process holds it already (a nested open) and when no lock can be had in that folder (the
  // lock file cannot be made or opened there); false when another process kept it.
  bool acquire(std::string_view fileName);
  // Gives the lock up; nothing when none is held.
  void release();

 private:
  int fd_ = -1;
  off_t byte_ = 0;
  std::string key_;  // the folder and byte held, for the nested opens of this process
};

}  // namespace upkeep
