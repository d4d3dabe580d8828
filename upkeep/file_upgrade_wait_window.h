// The wait window of an upgrade (P42$WAITWIN of module upkept): the activity text, a progress
// bar of whole percents and the name of the file being converted. Nothing is shown with
// /silentupgrading; the object then only keeps its numbers.
#pragma once

#include <cstdint>
#include <string_view>

#include "upkeep/wait_window_layout.h"

namespace window {
class Window;
}

namespace upkeep {

// Control numbers of the window: ?WAITMESS, ?PROGRESSPERCENT, ?NAMEOUTFILE.
inline constexpr int kWaitMessage = kWaitTextControl;
inline constexpr int kProgressPercent = kWaitBarControl;
inline constexpr int kNameOutFile = kWaitFileControl;

class FileUpgradeWaitWindow {
 public:
  FileUpgradeWaitWindow() = default;
  // Closes the window if it is still open.
  ~FileUpgradeWaitWindow();
  FileUpgradeWaitWindow(const FileUpgradeWaitWindow&) = delete;
  FileUpgradeWaitWindow& operator=(const FileUpgradeWaitWindow&) = delete;

  // Opens the window for the file `fileName` unless silent upgrading is on or it is open.
  void open(std::string_view fileName);
  // Shows `text` (cut to 40 characters) as the activity and the bar at `percent`.
  void activity(std::string_view text, std::int32_t percent = 0);
  // The percentage of `done` out of `total` (whole percents, 0 when total is 0); the bar is
  // redrawn only when that number changed since the last call.
  void progress(std::int64_t done, std::int64_t total);
  void close();

  bool shown() const { return shown_; }
  std::int32_t percent() const { return percent_; }

 private:
  void redraw();

  bool shown_ = false;
  window::Window* window_ = nullptr;  // while shown
  std::int32_t percent_ = -1;
};

}  // namespace upkeep
