#include "platform/window/events.h"

namespace window {

const char* eventName(int event) {
  switch (event) {
    case EventNone: return "None";
    case EventAccepted: return "Accepted";
    case EventNewSelection: return "NewSelection";
    case EventMouseIn: return "MouseIn";
    case EventMouseOut: return "MouseOut";
    case EventMouseMove: return "MouseMove";
    case EventAlertKey: return "AlertKey";
    case EventSelected: return "Selected";
    case EventCloseWindow: return "CloseWindow";
    case EventOpenWindow: return "OpenWindow";
    case EventTimer: return "Timer";
    case EventSized: return "Sized";
    case EventHeaderPressed: return "HeaderPressed";
    case EventColumnResized: return "ColumnResized";
    case EventColumnMoved: return "ColumnMoved";
    case EventScrolled: return "Scrolled";
    default: return "?";
  }
}

}  // namespace window
