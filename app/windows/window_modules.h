// The sixteen window modules, 001 to 016 in link order. At process start each registers the
// kinds of control its window uses and adds its window resources; a module whose window has
// lists also has a thread-end step that, when its lists were set up on the ending thread,
// frees their list-format managers' queues and closes the lists' views.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string_view>

#include "platform/window/control_type.h"
#include "platform/window/window_definition.h"

namespace app {

struct WindowModule {
  int number;               // 1 to 16
  std::string_view window;  // the window's procedure; empty for the two never opened
  std::span<const window::ControlType> kinds;
  bool hasLists;
  void (*addResources)();  // adds the module's window resources; nullptr while it has none
};

extern const std::array<WindowModule, 16> kWindowModules;

// Registers the modules' initialisers with the runtime, 001 first; call it after the main
// module's registration.
void registerWindowModules();

// True when module `module` registered control kind `kind` in this process.
bool controlKindRegistered(int module, window::ControlType kind);

// Adds `definition` to the window resources on behalf of module `module`, unless a window of
// its key and label is there already. Every control of it must be of a kind the module
// registered (menus, menu items and toolbars belong to every window); that is asserted.
void addModuleWindow(int module, window::WindowDefinition definition);

// Sets the step that module `module`'s thread end runs on the calling thread; a window with
// lists sets it when it sets them up. The step runs once and is then forgotten.
void setListCleanup(int module, std::function<void()> cleanup);

}  // namespace app
