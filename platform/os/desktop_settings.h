// Desktop settings that the program changes for as long as it runs. They are kept in the
// default profile (the runtime's INI access without a file), in the section [Desktop].
#pragma once

#include <functional>

namespace os {

// Whether windows are shown whole while they are dragged: the entry DragFullWindows of
// [Desktop] taken as a number, non-zero meaning yes. True when the entry is absent (as on a
// typical desktop); false when it holds something other than a number.
bool dragFullWindows();

// Stores the full-window-drag setting (DragFullWindows=1 or 0) in the default profile and then
// tells every listener the new value. Answers false, telling no one, when the profile cannot be
// written.
bool setDragFullWindows(bool on);

// Is told the new full-window-drag value after each successful setDragFullWindows, on the
// thread that set it.
using DragFullWindowsListener = std::function<void(bool on)>;

// Registers `listener` and answers the number that removes it again.
int addDragFullWindowsListener(DragFullWindowsListener listener);
// Removes the listener registered under `id`; an unknown number changes nothing.
void removeDragFullWindowsListener(int id);

}  // namespace os
