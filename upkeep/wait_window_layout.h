// The layout the engine's wait windows of an upgrade share: titled "Upkeep", no close box, 209
// by 36 dialog units, centred, with an activity text over a progress bar of 0 to 100 over the name
// of the file being worked on.
#pragma once

#include <string_view>

namespace upkeep {

// Control numbers of the layout: the activity text, the bar and the file's name.
inline constexpr int kWaitTextControl = 1;
inline constexpr int kWaitBarControl = 2;
inline constexpr int kWaitFileControl = 3;

// Adds the window resource `label` of `key` in this layout, unless it is there.
void addWaitWindowResource(std::string_view key, std::string_view label);

}  // namespace upkeep
