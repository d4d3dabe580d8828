// Event numbers and the record of one event as the ACCEPT loop hands it out.
#pragma once

namespace window {

// The runtime's event numbers.
enum Event : int {
  EventNone = 0,
  EventAccepted = 1,
  EventNewSelection = 2,
  EventMouseIn = 11,
  EventMouseOut = 12,
  EventMouseMove = 13,
  EventAlertKey = 15,
  EventSelected = 257,
  EventCloseWindow = 513,
  EventOpenWindow = 515,
  EventTimer = 523,
  EventSized = 561,
  // List events of this engine: a heading was clicked, a column was resized or moved by the user.
  EventHeaderPressed = 1001,
  EventColumnResized = 1002,
  EventColumnMoved = 1003,
  EventScrolled = 1004,
};

// One queued event: its number, the control (0 = the window), the key code and the mouse
// position (dialog units, window client area) at the moment it was queued.
struct EventRecord {
  int event = EventNone;
  int control = 0;
  int keyCode = 0;
  int mouseX = 0;
  int mouseY = 0;
  bool operator==(const EventRecord&) const = default;
};

// The name of an event number ("Accepted", "CloseWindow" ...), or its number as text.
const char* eventName(int event);

}  // namespace window
