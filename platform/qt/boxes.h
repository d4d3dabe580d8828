// The engine's modal boxes drawn with Qt: message boxes with the engine's buttons, file and
// folder dialogs with masks, and popup menus.
#pragma once

#include <QPoint>
#include <optional>
#include <string>

#include "platform/window/backend.h"

class QWidget;

namespace qtui {

// Shows a message box over `parent` (may be nullptr); answers the chosen button's bit, 0 when
// the box was closed without a button.
int showMessageBox(const runtime::MessageRequest& box, QWidget* parent);

// Shows a file or folder dialog over `parent`. Answers the chosen path, nullopt when
// cancelled. Choosing a file makes its folder the current directory, as the platform's file
// dialogs do; the engine puts it back when asked to.
std::optional<std::string> showFileDialog(const window::FileDialogRequest& request,
                                          QWidget* parent);

// Shows a popup menu at `globalPos`; answers the chosen item's number, 0 when dismissed.
int showPopupMenu(const window::PopupRequest& request, const QPoint& globalPos, QWidget* parent);

}  // namespace qtui
