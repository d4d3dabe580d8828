// The SQL wait window (UpkeptB$WAITWIN of layout key "upkept$upkeptb", in the layout of
// upkeep/wait_window_layout.h): while a table of a SQL server is managed it shows the wait text
// (?WAITMESS), a bar of SQLProgressPercent (?PROGRESS) and the table's file name (?NAMEOUTFILE)
// of wait_progress.h. Nothing shows with /silentupgrading.
//
// The texts start blank with the process (resetSqlBackendState). The window goes on the screen,
// over the thread's windows, when the table manager makes it visible, and off it when that
// table's management ends, so that it never stands after the wait it shows.
#pragma once

namespace window {
class Window;
}

namespace upkeep_sql {

// The window for the management of one table.
class SqlWaitWindow {
 public:
  SqlWaitWindow() = default;
  // Takes the window off the screen if it is on it.
  ~SqlWaitWindow();
  SqlWaitWindow(const SqlWaitWindow&) = delete;
  SqlWaitWindow& operator=(const SqlWaitWindow&) = delete;

  // Puts the window on the screen with the texts and bar of waitProgress(), unless silent
  // upgrading is on or it is shown; from then on each progress shown redraws it.
  void makeVisible();

  bool shown() const { return window_ != nullptr; }

 private:
  void redraw();

  window::Window* window_ = nullptr;  // while shown
};

}  // namespace upkeep_sql
