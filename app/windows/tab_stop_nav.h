// Keyboard navigation of a window's fields: Enter and the arrow keys move the focus from control
// to control as Tab and Shift+Tab do, chosen per kind of control. The build asks the window
// engine to report those keys of each control as AlertKey events; takeKey turns the events into
// focus moves. Every data-entry and list window creates one, builds it at the end of its opening
// and hands it each event before its own handling.
#pragma once

#include <cstdint>
#include <memory>
#include <set>

#include "platform/runtime/field_types.h"
#include "platform/runtime/queue.h"
#include "platform/runtime/record_layout.h"

namespace app {

namespace tab_stop {
struct KindAlert;
}

class TabStopNav {
 public:
  // An entry of EXCLUDEDCONTROL: a control the navigation leaves alone.
  struct ExcludedControl {
    runtime::UShort CT;
    static const runtime::RecordLayout& layout();
  };
  // An entry of NEXTTABSTOPCONTROLQ: after control CT comes control NEXTCT.
  struct NextTabStopControl {
    runtime::Long CT;
    runtime::Long NEXTCT;
    static const runtime::RecordLayout& layout();
  };
  using ExcludedQueue = runtime::Queue<ExcludedControl>;
  using NextTabStopQueue = runtime::Queue<NextTabStopControl>;

  // The alert-key slots of the explicit tab-order links.
  static constexpr int kTabSlot = 249;       // Tab on a control with an explicit successor
  static constexpr int kShiftTabSlot = 250;  // Shift+Tab on that successor

  // The owner may fill both queues between create and build.
  std::unique_ptr<ExcludedQueue> EXCLUDEDCONTROL;
  std::unique_ptr<NextTabStopQueue> NEXTTABSTOPCONTROLQ;
  std::uint8_t INITED = 0;  // set by the build; takeKey does nothing before

  TabStopNav() = default;
  TabStopNav(const TabStopNav&) = delete;
  TabStopNav& operator=(const TabStopNav&) = delete;
  virtual ~TabStopNav() = default;

  // Makes the two empty queues and connects the synthetic keyboard to the window engine
  // (os::keybd_event keystrokes reach the focused window) unless a key sink is installed.
  void create();

  // Gives every control of the current window, FIRSTFIELD to LASTFIELD, the alert keys of its
  // kind; with `option` set, lists and drops keep Left and Right for themselves. Controls in
  // EXCLUDEDCONTROL get none. A control with an entry in NEXTTABSTOPCONTROLQ also alerts Tab,
  // and its NEXTCT Shift+Tab. Then sets INITED. Asserts that create has run and a window is open.
  virtual void build(std::uint8_t option);

  // Looks at the current event of the current window: an AlertKey of a control that is not
  // excluded becomes a focus move (Enter, Down, Right forward; Up, Left back; Enter in a
  // multi-line TEXT a new line). Answers 1 when it handled the event, so the window ends its
  // processing; 0 for every other event and before the build.
  virtual std::uint8_t takeKey();

  // Sends `key` to the window: Shift+Tab as real keystrokes through the operating system's
  // keyboard layer (Shift down, Tab down, Tab up, Shift up), every other key into the window
  // engine's key buffer (PRESSKEY). Asserts that a window is open.
  void press(int key);

  // Frees both queues; INITED stays as it was.
  void kill();

 private:
  static constexpr int kCtField = 1;  // of both queues
  static constexpr int kNextCtField = 2;

  // The NEXTTABSTOPCONTROLQ entry whose field `byField` (CT or NEXTCT) is `control`: its
  // field `answerField`; 0 when there is none.
  int linkedControl(int byField, int control, int answerField);
  bool excluded(int control);
  // Alerts `key` in `slot` of `control` unless the control is excluded.
  void alert(int control, int key, int slot);
  // True when the build gave `key` to `control`. Another part of the window may alert other
  // keys on the same control (a browse's arrow and page keys on its list), or keys on a control
  // made after the build (the editor of a row edited in place): those stay its own.
  bool kindAlerts(int control, int key) const;
  // True when the build gives alert `a` to `control`, a control of kind `type`.
  bool gives(const tab_stop::KindAlert& a, int type, int control) const;

  std::uint8_t option_ = 0;  // the build's option
  std::set<int> built_;      // the controls the build went over
};

}  // namespace app
