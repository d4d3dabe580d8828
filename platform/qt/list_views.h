// Views of LIST (a table over the list model: selection, double click, popup click, heading
// clicks, column moves and resizes, scrolling) and of DROP and COMBO (a combo box over it).
#pragma once

#include <memory>

#include "platform/qt/control_view.h"

namespace qtui {

std::unique_ptr<ControlView> makeListView(WindowFrame& frame, const window::Control& c);
std::unique_ptr<ControlView> makeDropView(WindowFrame& frame, const window::Control& c);

}  // namespace qtui
