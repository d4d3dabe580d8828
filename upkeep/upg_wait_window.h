// The wait window of the catalogue's one-time conversion of its old table (P71$WAITWIN of
// module upkept): the text "Please wait. Upgrading old UPG file." over a progress bar.
#pragma once

#include <cstdint>

namespace upkeep {

// Control numbers of the window.
inline constexpr int kUpgWaitText = 1;
inline constexpr int kUpgWaitProgress = 2;

// Shows the window for `total` entries while it lives, unless `silent`; nothing is shown then.
class UpgWaitWindow {
 public:
  UpgWaitWindow(std::int64_t total, bool silent);
  // Lets the window process what is pending, then closes it.
  ~UpgWaitWindow();
  UpgWaitWindow(const UpgWaitWindow&) = delete;
  UpgWaitWindow& operator=(const UpgWaitWindow&) = delete;

  // Shows that `count` entries are done.
  void progress(std::int64_t count);

 private:
  bool shown_;
};

}  // namespace upkeep
