// Full-window dragging is switched off while the program runs (windows are dragged as
// outlines) and put back as it was when the program ends.
#pragma once

namespace app {

// Reads the desktop's full-window-drag setting; when it is on, switches it off (telling the
// desktop) and remembers to switch it on again. A setting that is off is left alone.
void switchOffFullWindowDrag();

// Switches full-window dragging on again when switchOffFullWindowDrag switched it off, once.
// Runs at the end of the program procedure and again at process end, so that a program ended
// early (by a fatal error) still gives the user back the setting.
void restoreFullWindowDrag();

}  // namespace app
