#include "upkeep/wait_window_layout.h"

#include <string>
#include <utility>

#include "platform/window/window_definition.h"

namespace upkeep {

void addWaitWindowResource(std::string_view key, std::string_view label) {
  if (window::resources().find(key, label) != nullptr) return;
  window::WindowDefinition d;
  d.key = std::string(key);
  d.label = std::string(label);
  d.title = "Upkeep";  // as the catalogue's wait window; without one the desktop names the process
  d.at = {0, 0, 209, 36};  // at 0, 0: centred
  d.systemMenu = false;
  d.closeBox = false;
  d.add(kWaitTextControl, window::ControlType::String).at(6, 4, 197, 10);
  d.add(kWaitBarControl, window::ControlType::Progress).range(0, 100).at(6, 15, 197, 8);
  d.add(kWaitFileControl, window::ControlType::String).at(6, 25, 197, 10);
  window::resources().add(std::move(d));
}

}  // namespace upkeep
