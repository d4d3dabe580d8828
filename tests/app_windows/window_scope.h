// Test helpers of the application's windows.
#pragma once

#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"

namespace app {

// Installs a backend, and the message boxes it draws, for the life of the object; closes every
// window left open at the end, also when a script failed with an exception.
class WindowScope {
 public:
  explicit WindowScope(window::Backend& b)
      : previous_(window::setBackend(&b)),
        answerer_(runtime::setMessageAnswerer(&window::backendAnswerer())) {}
  ~WindowScope() {
    while (window::openWindows() > 0) window::CLOSE();
    runtime::setMessageAnswerer(answerer_);
    window::setBackend(previous_);
  }
  WindowScope(const WindowScope&) = delete;
  WindowScope& operator=(const WindowScope&) = delete;

 private:
  window::Backend* previous_;
  runtime::MessageAnswerer* answerer_;
};

}  // namespace app
