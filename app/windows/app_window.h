// What the program's plain windows (neither form nor list) do the same way: the window manager
// registers its procedure name with the error reporter, clears the thread's request and
// response bytes, opens its files through their relation managers, and lets the tab-stop
// navigation see each event first; the procedure creates the navigation, opens the window,
// runs the manager with its answer in the thread's response byte, closes the window and kills
// the navigation.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "app/windows/tab_stop_nav.h"
#include "app/windows/window_files.h"
#include "app/windows/window_requests.h"
#include "classlib/window_controller.h"
#include "platform/files/file_declaration.h"
#include "platform/window/engine.h"

namespace app {

class AppWindow : public classlib::WindowController {
 public:
  AppWindow(std::string_view procedure, std::span<const files::PerThreadFile* const> files,
            TabStopNav& nav)
      : procedure_(procedure), files_(files), nav_(nav) {}

  // The library's initialisation, then the names, requests and files, the window attached,
  // setUpWindow, a reset and the navigation built with option 0.
  int init() override;
  // The library's kill, then the files closed and the procedure name removed.
  int kill() override;
  // The tab-stop navigation first; a key it handles ends the event's processing.
  int takeEvent() override;

 protected:
  // The window's own set-up once it is attached, before the reset.
  virtual void setUpWindow() {}

 private:
  std::string procedure_;
  WindowFiles files_;
  TabStopNav& nav_;
};

// The procedure of a plain window: opens window `label` of resource `key` and runs a
// `Manager` made from the navigation and `args` until the window closes.
template <class Manager, class... Args>
void runAppWindow(std::string_view key, std::string_view label, Args&&... args) {
  TabStopNav nav;
  nav.create();
  window::OPEN(key, label);
  {
    Manager manager(nav, std::forward<Args>(args)...);
    windowRequests().response = static_cast<std::uint8_t>(manager.run());
  }
  window::CLOSE();
  nav.kill();
}

}  // namespace app
