// The access modes of OPEN and the locks that make them hold across processes for the life of
// an open.
//
// Every open of a file holds shared open-file-description (OFD) locks on single bytes of a
// region far beyond any data (SQLite's own locks live at 1 GiB): one byte says "someone reads",
// one "someone writes", one "someone denies reading", one "someone denies writing". An open
// first takes its own bytes and then asks whether another open holds a byte that conflicts with
// it, so of two conflicting opens at least the later one sees the other; locks vanish with the
// process that held them, even when it is killed.
//
// POSIX record locks that SQLite holds for the process are dropped when any descriptor of the
// same file is closed, so the descriptors used here are never closed while another lock of this
// process on the same file is alive: they are parked and closed with the last one.
#pragma once

#include <optional>
#include <string>

namespace files {

// What an access mode byte of OPEN allows and denies. The low nibble is the access (0 read,
// 1 write, 2 read/write), the high nibble the sharing (1 deny all, 2 deny write, 3 deny read,
// 4 deny none; 0, the old compatibility mode, counts as deny write).
struct AccessMode {
  bool read = true;
  bool write = false;
  bool denyRead = false;
  bool denyWrite = false;
};

// The meaning of `mode`; nothing for a byte that is no access mode.
std::optional<AccessMode> decodeAccessMode(int mode);

// The mode of an open that excludes every other open: read/write, deny all (12h).
inline constexpr int kExclusiveMode = 0x12;

// The share locks of one open of one file.
class ShareLock {
 public:
  ShareLock() = default;
  ShareLock(ShareLock&& other) noexcept;
  ShareLock& operator=(ShareLock&& other) noexcept;
  ShareLock(const ShareLock&) = delete;
  ShareLock& operator=(const ShareLock&) = delete;
  ~ShareLock() { release(); }

  // Takes the locks of `mode` on the file at `osPath` (an operating-system path of an existing
  // file). Returns 0; 2 or 3 when the file or a folder on the way is missing; 5 when another
  // open conflicts with `mode`, or `mode` writes and the file may not be written, or a folder
  // stands at `osPath`; 90 when the system refuses the locks. Sets the runtime error state only
  // on failure.
  int acquire(const std::string& osPath, const AccessMode& mode);
  // Gives the locks up; nothing when none are held.
  void release();

  bool held() const { return fd_ >= 0; }
  // A descriptor of the locked file while the locks are held, for reading it.
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  bool writable_ = false;
};

}  // namespace files
