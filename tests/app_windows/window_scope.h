// Test helpers of the application's windows.
#pragma once

#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"

namespace app {

// Installs a backend, and the message boxes it draws, for the life of the object.
class WindowScope {
 public:
  explicit WindowScope(window::Backend& b)
      : previous_(window::setBackend(&b)),
        answerer_(runtime::setMessageAnswerer(&window::backendAnswerer())) {}
  ~WindowScope() {
    runtime::setMessageAnswerer(answerer_);
    window::setBackend(previous_);
  }
  WindowScope(const WindowScope&) = delete;
  WindowScope& operator=(const WindowScope&) = delete;

 private:
  window::Backend* previous_;
  runtime::MessageAnswerer* answerer_;
};

// Closes every window the test left open, also when a script failed with an exception.
class OpenWindows {
 public:
  OpenWindows() = default;
  ~OpenWindows() {
    while (window::openWindows() > 0) window::CLOSE();
  }
  OpenWindows(const OpenWindows&) = delete;
  OpenWindows& operator=(const OpenWindows&) = delete;
};

}  // namespace app
