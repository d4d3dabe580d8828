#include "app/core/full_window_drag.h"

#include <atomic>

#include "platform/os/desktop_settings.h"

namespace app {
namespace {

// True while the setting is off because the program switched it off.
std::atomic<bool> switchedOff{false};

}  // namespace

void switchOffFullWindowDrag() {
  if (os::dragFullWindows() && os::setDragFullWindows(false)) switchedOff = true;
}

void restoreFullWindowDrag() {
  if (switchedOff.exchange(false)) os::setDragFullWindows(true);
}

}  // namespace app
