// Views of the controls that hold others or live outside the client area: SHEET and TAB,
// GROUP, OPTION and PANEL, menus and their items, and the toolbar.
#pragma once

#include <memory>

#include "platform/qt/control_view.h"

namespace qtui {

std::unique_ptr<ControlView> makeContainerView(WindowFrame& frame, const window::Control& c);

}  // namespace qtui
