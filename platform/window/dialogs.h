// Modal boxes of the window engine, drawn by the backend: message boxes, file and folder
// dialogs, popup menus; and PendingEvents for windows that show progress during long work.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/window/backend.h"

namespace window {

// The runtime's message boxes (MESSAGE, STOP, HALT) drawn by the installed backend: install
// it with runtime::setMessageAnswerer(&backendAnswerer()).
runtime::MessageAnswerer& backendAnswerer();

// Shows a file (or folder) dialog. With `restoreDirectory` the current directory is saved
// before and put back after the dialog; otherwise it stays where the dialog left it. Answers
// the chosen name, nullopt when the dialog was cancelled.
std::optional<std::string> fileDialog(const FileDialogRequest& request, bool restoreDirectory);

// The items of a popup menu text: items separated by "|"; "-" alone is a line; a leading "~"
// disables an item, "+" checks it and "-" before a text marks it unchecked. Items are
// numbered from 1, lines not counted.
PopupRequest parsePopup(std::string_view text);

// Shows a popup menu over the current window at (x, y) in dialog units (-1, -1 = at the
// mouse). Answers the chosen item's number, 0 when it was dismissed or no window is open.
int POPUP(std::string_view text, int x = -1, int y = -1);

// Lets the windows draw and take what is pending without waiting for input.
void PendingEvents();

}  // namespace window
