// The window statements of a thread: OPEN makes a window current for the calling thread, on a
// per-thread stack (a window opened over another is modal: the one below is disabled until it
// closes); the statements and functions below act on the current window. The backend that
// shows the windows is process-wide.
#pragma once

#include <string>
#include <string_view>

#include "platform/window/backend.h"
#include "platform/window/window.h"

namespace window {

// Installs the backend; nullptr brings back the default, which has no screen: waiting for
// input throws std::logic_error and boxes answer their default button. Answers the backend
// installed before (nullptr for the default). Install it before the first OPEN.
Backend* setBackend(Backend* backend);
Backend& backend();

// Installs a backend for the life of the object. At its end, on every path out (an exception
// too), the windows opened meanwhile on the thread are closed while their backend still
// stands, and the backend installed before is put back.
class InstalledBackend {
 public:
  explicit InstalledBackend(Backend& backend);
  ~InstalledBackend();
  InstalledBackend(const InstalledBackend&) = delete;
  InstalledBackend& operator=(const InstalledBackend&) = delete;

 private:
  Backend* previous_;
  int windows_;  // the windows open when it was installed
};

// Opens the window resource `label` of `key` ("game_dock$game_dock004", "P1$QUICKWINDOW")
// for the calling thread and makes it current; OpenWindow is its first event. Throws
// std::invalid_argument when there is no such resource.
Window& OPEN(std::string_view key, std::string_view label);
// Closes the current window; the one below, if any, becomes current and takes input again.
void CLOSE();
// The current window of the thread, nullptr when none is open.
Window* currentWindow();
// The number of windows open on the thread.
int openWindows();

// The ACCEPT loop of the current window: true with the next event, false once it has closed.
bool ACCEPT();

void DISPLAY(int first = 0, int last = 0);
void UPDATE(int first = 0, int last = 0);
void SELECT(int control = 0);
void ENABLE(int first, int last = 0);
void DISABLE(int first, int last = 0);
void HIDE(int first, int last = 0);
void UNHIDE(int first, int last = 0);
void POST(int event, int control = 0);
void CHANGE(int control, const Value& value);
int CREATE(int number, ControlType type, int parent = 0);
void SETPOSITION(int control, int x, int y, int width, int height);
void PRESSKEY(int key);

// The current event of the current window (0 when no window is open).
int EVENT();
int ACCEPTED();
int FIELD();
int KEYCODE();
int CHOICE(int control = 0);
int FIRSTFIELD();
int LASTFIELD();
int MOUSEX();
int MOUSEY();

// Properties of the current window (target 0) and its controls.
std::string getProperty(int target, int prop, int index = 0);
bool setProperty(int target, int prop, std::string_view value, int index = 0);
bool setProperty(int target, int prop, int value, int index = 0);
// Properties of the program as a whole (the Icon).
std::string systemProperty(int prop);
void setSystemProperty(int prop, std::string_view value);

}  // namespace window
