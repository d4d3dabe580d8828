// What the window engine asks of a toolkit. The engine owns every control's state and the event
// queue; a backend shows the windows, reports what the user does through Window's input calls
// (keyPressed, clicked, textEdited, listSelect ...) and draws the modal boxes.
//
// Threading: all calls come on the thread that runs the windows' ACCEPT loops.
// Nesting: a window opened while another is open is modal over it; the engine disables the
// window below (windowEnabled false) and enables it again when the upper one closes. The
// upper window's ACCEPT loop runs inside the lower window's event handling, so waitForInput
// may be entered again for the upper window while a call for the lower one is on the stack:
// a toolkit backend runs a nested event loop per call.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/message.h"

namespace window {

class Window;

// What changed on a control (or on the window, control 0), as a set of bits.
enum Change : unsigned {
  ChangeText = 1u << 0,        // caption, title or icon
  ChangeScreenText = 1u << 1,  // the text shown (entries, strings, texts), check marks
  ChangeState = 1u << 2,       // disabled, hidden, read-only, checked
  ChangeGeometry = 1u << 3,    // position and size
  ChangeLook = 1u << 4,        // font colour and style, cursor, tip, icon, list styles
  ChangeListRows = 1u << 5,    // a list's source or rows changed: read them again
  ChangeListSelection = 1u << 6,
  ChangeListScroll = 1u << 7,  // the first row shown
  ChangeListFormat = 1u << 8,  // columns, widths, headings, icon list
  ChangeChoice = 1u << 9,      // a sheet's selected tab
  ChangeProgress = 1u << 10,   // a progress bar's value or range
  ChangeCreated = 1u << 11,    // the control was created at run time
  ChangeDestroyed = 1u << 12,  // the control is gone
  ChangeStatusBar = 1u << 13,  // window: a status bar zone's text
};

struct FileMask {
  std::string description;  // "AGK Project Files"
  std::string pattern;      // "*.agk" (several separated by ";")
};

struct FileDialogRequest {
  std::string title;
  std::vector<FileMask> masks;
  std::string initialName;
  bool save = false;    // ask for a name to write
  bool folder = false;  // choose a folder instead of a file
};

struct PopupItem {
  std::string text;  // with "&" shortcut marks
  int number = 0;    // the item's number as POPUP answers it; 0 for a line
  bool line = false;
  bool disabled = false;
  bool checked = false;
};

struct PopupRequest {
  std::vector<PopupItem> items;
  int x = 0;  // dialog units in the window, or -1 for the mouse position
  int y = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // A window was opened: build it from window.definition() and window.controls(). Events of
  // the opening are already queued.
  virtual void windowOpened(Window& w) = 0;
  // The window is closing; no call for it follows.
  virtual void windowClosed(Window& w) = 0;
  // Modal nesting: the window stops or starts taking input.
  virtual void windowEnabled(Window& w, bool enabled) = 0;
  // A control's state changed; `control` 0 is the window itself. Read the new state from
  // window.control(control).
  virtual void controlChanged(Window& w, int control, unsigned changes) = 0;
  // The engine moved the keyboard focus (0 = none).
  virtual void focusChanged(Window& w, int control) = 0;
  // The window's Timer property: call w.timerTick() every `hundredths`/100 s; 0 stops it.
  virtual void timerChanged(Window& w, int hundredths) = 0;

  // Waits until the user has done something, reporting it through w's input calls, and
  // returns. May return without having reported anything (the engine asks again). A backend
  // that can never deliver input again throws.
  virtual void waitForInput(Window& w) = 0;
  // Applies the platform's own handling of a key the engine did not take (caret movement,
  // a new line in a TEXT, a list's arrow keys ...) to `control`, as if typed. Must not report
  // the key back through keyPressed.
  virtual void deliverKey(Window& w, int control, int key) = 0;
  // Lets the windows process what is pending (drawing, progress) without waiting.
  virtual void processPending() = 0;

  // Shows a modal message box; answers the chosen button.
  virtual int messageBox(const runtime::MessageRequest& box) = 0;
  // Shows a file or folder dialog; answers the chosen name, nullopt when cancelled.
  virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;
  // Shows a popup menu over `w`; answers the chosen item's number, 0 when dismissed.
  virtual int popupMenu(Window& w, const PopupRequest& request) = 0;
  // The program's own icon changed.
  virtual void applicationIconChanged(std::string_view icon) = 0;
  // The user asked for the window's menu bar from the keyboard: open its first menu, so that
  // the arrow keys walk the menus and Enter chooses an item (reported as a click).
  virtual void openMenuBar(Window& w) = 0;
};

}  // namespace window
