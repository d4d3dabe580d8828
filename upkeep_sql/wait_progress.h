// The SQL wait window's state: the activity line, the file shown, and the progress bar that
// the structure reading and the statement runs move. The window (sql_wait_window.h) installs a
// redisplay hook while it shows; with none, progress is only kept. Nothing moves while silent
// upgrading is on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace upkeep_sql {

struct WaitProgress {
  std::string activity;                 // "Reading Keys... projects.aaa"
  std::string fileName;                 // the file the window names
  std::int32_t SQLStepTotal = 0;        // statements of the current run
  std::int32_t SQLProgressPercent = 0;  // the bar's value
  std::function<void()> redisplay;      // the window's DISPLAY; empty when none shows
};

// The process's wait window state.
WaitProgress& waitProgress();

// Unless silent upgrading is on: sets the bar to `percent` and redisplays the window.
void showProgress(std::int32_t percent);

}  // namespace upkeep_sql
