// Runs the engine's test window on the Qt backend (offscreen) under a script of QTest user
// actions, one action each time the window waits, and records the events of its ACCEPT loop.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/qt_backend.h"
#include "tests/window/test_window.h"

class QWidget;

namespace qtui::testing {

using window::EventRecord;
using window::Window;

// The process's Qt backend on the offscreen platform (unless QT_QPA_PLATFORM says otherwise).
QtBackend& backend();

// Clears the backend's wait hook at the end of a scope, on every path out: a hook that refers
// to the scope's locals must not outlive them.
class WaitHookCleared {
 public:
  explicit WaitHookCleared(QtBackend& b) : b_(b) {}
  ~WaitHookCleared() { b_.setWaitHook({}); }
  WaitHookCleared(const WaitHookCleared&) = delete;
  WaitHookCleared& operator=(const WaitHookCleared&) = delete;

 private:
  QtBackend& b_;
};

// One user action, run inside the window's wait.
using Action = std::function<void(Window&)>;

// Opens the test window on the Qt backend and runs its ACCEPT loop as the headless runner
// does (OK posts CloseWindow; `handler` sees every event first). Each wait runs the next
// action; a wait after the last action fails with an exception.
// Opens a window resource on the Qt backend, runs `prepare` on it, then its ACCEPT loop with
// `handler` seeing every event; each wait runs the next action.
std::vector<EventRecord> runWindowInQt(const char* key, const char* label,
                                       const std::vector<Action>& actions,
                                       const window::testing::Handler& handler,
                                       const window::testing::Handler& prepare = {});

// `rows` replaces the list's rows when given.
std::vector<EventRecord> runInQt(const std::vector<Action>& actions,
                                 const window::testing::Handler& handler = {},
                                 window::ListSource* rows = nullptr);

// Events without their mouse positions, which differ between the backends.
std::vector<EventRecord> withoutMouse(std::vector<EventRecord> events);

// The widget of a control of the window being run.
QWidget* widgetOf(const Window& w, int control);

// --- Actions, as a user does them.
// Does nothing and lets the window wait for what comes by itself (a timer).
Action idle();
Action click(int control);
// Clicks into the control, then types the text key by key.
Action typeInto(int control, const QString& text);
// A key with its modifiers (an engine key code) to the focused widget.
Action key(int code);
Action chooseRow(int list, int row);
Action rightClickRow(int list, int row);
Action doubleClickRow(int list, int row);
// A click on a list's heading (1-based column).
Action clickHeading(int list, int column);
// Drags the right border of a column by `pixels`.
Action dragColumnBorder(int list, int column, int pixels);
// Drags a column's heading onto another column's place.
Action dragColumn(int list, int from, int to);
// Opens a drop's list and clicks its row.
Action chooseItem(int drop, int row);
// Clicks the tab of a sheet (0-based page index).
Action clickTab(int sheet, int index);
// Chooses a menu item.
Action trigger(int item);
Action closeBox();
Action mouseOver(int control);
// Runs `then` with the answer ready for the message box it shows: `button` (an engine
// button bit) is clicked once the box is up.
Action answeringBox(int button, Action then);
// Runs `then` with the answer ready for the file dialog it shows: `path` is chosen.
Action answeringFileDialog(const QString& path, Action then);

}  // namespace qtui::testing
