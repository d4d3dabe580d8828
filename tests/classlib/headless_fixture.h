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

// What answers the message boxes while a HeadlessScope stands.
enum class Boxes { ByBackend, AsBefore };

// Installs `backend` for the life of the object, with the message boxes drawn (and answered) by
// it unless `boxes` keeps the answerer installed before (a ScriptedAnswerer, say); closes every
// window left open at the end.
class HeadlessScope {
 public:
  explicit HeadlessScope(window::HeadlessBackend& backend, Boxes boxes = Boxes::ByBackend)
      : installed_(backend),
        answerer_(boxes == Boxes::ByBackend
                      ? runtime::setMessageAnswerer(&window::backendAnswerer())
                      : nullptr),
        restoreAnswerer_(boxes == Boxes::ByBackend) {}
  ~HeadlessScope() {
    while (window::openWindows() > 0) window::CLOSE();
    if (restoreAnswerer_) runtime::setMessageAnswerer(answerer_);
  }
  HeadlessScope(const HeadlessScope&) = delete;
  HeadlessScope& operator=(const HeadlessScope&) = delete;

 private:
  window::InstalledBackend installed_;
  runtime::MessageAnswerer* answerer_;
  bool restoreAnswerer_;
};

// Registers a window made by `build`, titled `title`, under a label of its own of the
// resource key kTestKey, and answers that label.
std::string defineWindow(const std::string& title,
                         const std::function<void(window::WindowDefinition&)>& build);

inline constexpr const char* kTestKey = "classlib$test";

}  // namespace classlib::testing
