// Headless windows for the class library's tests: a scope that installs a scripted backend
// (and its message boxes), and a small window resource built per test.
#pragma once

#include <functional>
#include <string>

#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#include "platform/window/headless_backend.h"
#include "platform/window/window_definition.h"

namespace classlib::testing {

// Installs `backend` and the boxes it draws for the life of the object; closes every window
// left open at the end.
class HeadlessScope {
 public:
  explicit HeadlessScope(window::HeadlessBackend& backend)
      : previous_(window::setBackend(&backend)),
        answerer_(runtime::setMessageAnswerer(&window::backendAnswerer())) {}
  ~HeadlessScope() {
    while (window::openWindows() > 0) window::CLOSE();
    runtime::setMessageAnswerer(answerer_);
    window::setBackend(previous_);
  }
  HeadlessScope(const HeadlessScope&) = delete;
  HeadlessScope& operator=(const HeadlessScope&) = delete;

 private:
  window::Backend* previous_;
  runtime::MessageAnswerer* answerer_;
};

// Registers a window made by `build`, titled `title`, under a label of its own of the
// resource key kTestKey, and answers that label.
std::string defineWindow(const std::string& title,
                         const std::function<void(window::WindowDefinition&)>& build);

inline constexpr const char* kTestKey = "classlib$test";

}  // namespace classlib::testing
