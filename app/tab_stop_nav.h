// Keyboard navigation of a window's fields: Enter and the arrow keys move the focus from control
// to control as Tab and Shift+Tab do, chosen per kind of control. The build asks the window
// engine to report those keys of each control as AlertKey events; takeKey turns the events into
// focus moves. Every data-entry and list window creates one, builds it at the end of its opening
// and hands it each event before its own handling.
//
// The class is defined in this header alone: the windows use it, while every .cpp file of app/
// goes to the program's own library, which depends on the windows.
#pragma once

#include <cassert>
#include <cstdint>
#include <memory>
#include <set>

#include "platform/os/synthetic_keys.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/queue.h"
#include "platform/runtime/record_layout.h"
#include "platform/window/control_type.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/key_codes.h"
#include "platform/window/properties.h"

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

namespace tab_stop {

using window::ControlType;

// The kinds the runtime reports without a name of ours: handled like TEXT and like COMBO.
inline constexpr int kTextLikeType = 40;
inline constexpr int kComboLikeType = 15;

inline constexpr int kShiftTab = window::ShiftKey + window::TabKey;
inline constexpr int kShiftEnter = window::ShiftKey + window::EnterKey;
inline constexpr int kShiftAlone = window::ShiftKey + window::ShiftKeyAlone;

// One alert key the build gives a kind of control.
struct KindAlert {
  int type;
  int slot;
  int key;
  bool singleLineOnly = false;  // only on a single-line TEXT
  bool unlessOption = false;    // not when the build option is set
};

constexpr int code(ControlType t) { return static_cast<int>(t); }

inline constexpr KindAlert kKindAlerts[] = {
    {code(ControlType::Text), 254, window::EnterKey},
    {code(ControlType::Text), 253, window::DownKey, true},
    {code(ControlType::Text), 255, window::UpKey, true},
    {kTextLikeType, 254, window::EnterKey},
    {kTextLikeType, 253, window::DownKey, true},
    {kTextLikeType, 255, window::UpKey, true},
    {code(ControlType::Spin), 254, window::EnterKey},
    {code(ControlType::Entry), 253, window::DownKey},
    {code(ControlType::Entry), 254, window::EnterKey},
    {code(ControlType::Entry), 255, window::UpKey},
    {code(ControlType::Combo), 255, window::EnterKey},
    {kComboLikeType, 255, window::EnterKey},
    {code(ControlType::List), 253, window::EnterKey},
    {code(ControlType::List), 254, window::RightKey, false, true},
    {code(ControlType::List), 255, window::LeftKey, false, true},
    {code(ControlType::Drop), 253, window::EnterKey},
    {code(ControlType::Drop), 254, window::RightKey, false, true},
    {code(ControlType::Drop), 255, window::LeftKey, false, true},
    {code(ControlType::Button), 252, window::UpKey},
    {code(ControlType::Button), 253, window::DownKey},
    {code(ControlType::Button), 254, window::RightKey},
    {code(ControlType::Button), 255, window::LeftKey},
    {code(ControlType::Radio), 251, window::EnterKey},
    {code(ControlType::Check), 251, window::EnterKey},
    {code(ControlType::Check), 252, window::UpKey},
    {code(ControlType::Check), 253, window::DownKey},
    {code(ControlType::Check), 254, window::RightKey},
    {code(ControlType::Check), 255, window::LeftKey},
};

inline constexpr runtime::FieldDef kExcludedFields[] = {
    GD_FIELD(TabStopNav::ExcludedControl, CT, "CT"),
};
inline constexpr runtime::FieldDef kNextTabStopFields[] = {
    GD_FIELD(TabStopNav::NextTabStopControl, CT, "CT"),
    GD_FIELD(TabStopNav::NextTabStopControl, NEXTCT, "NEXTCT"),
};

inline window::Window& currentWindow() {
  window::Window* w = window::currentWindow();
  assert(w != nullptr && "the navigation works on the current window");
  return *w;
}

inline int typeOf(int control) { return currentWindow().propertyNumber(control, window::PropType); }

inline bool isMultiLineText(int control) {
  const int type = typeOf(control);
  return (type == code(ControlType::Text) || type == kTextLikeType) &&
         currentWindow().propertyNumber(control, window::PropSingle) == 0;
}

// Keystrokes of the operating-system layer go to the focused window's key buffer, as the
// platform's input queue hands them to the window that has the keyboard focus.
inline void typeIntoFocusedWindow(int key) {
  if (window::currentWindow() != nullptr) window::PRESSKEY(key);
}

}  // namespace tab_stop

inline const runtime::RecordLayout& TabStopNav::ExcludedControl::layout() {
  static const runtime::RecordLayout layout(tab_stop::kExcludedFields, sizeof(ExcludedControl));
  return layout;
}

inline const runtime::RecordLayout& TabStopNav::NextTabStopControl::layout() {
  static const runtime::RecordLayout layout(tab_stop::kNextTabStopFields,
                                            sizeof(NextTabStopControl));
  return layout;
}

inline void TabStopNav::create() {
  EXCLUDEDCONTROL = std::make_unique<ExcludedQueue>();
  NEXTTABSTOPCONTROLQ = std::make_unique<NextTabStopQueue>();
  if (!os::hasKeySink()) os::setKeySink(tab_stop::typeIntoFocusedWindow);
}

inline void TabStopNav::kill() {
  EXCLUDEDCONTROL.reset();
  NEXTTABSTOPCONTROLQ.reset();
}

inline int TabStopNav::linkedControl(int byField, int control, int answerField) {
  if (!NEXTTABSTOPCONTROLQ) return 0;
  NextTabStopQueue& q = *NEXTTABSTOPCONTROLQ;
  (byField == kCtField ? q.CT : q.NEXTCT) = control;
  q.GET({byField});
  if (runtime::ERRORCODE() != 0) return 0;
  return answerField == kCtField ? q.CT : q.NEXTCT;
}

inline bool TabStopNav::excluded(int control) {
  if (!EXCLUDEDCONTROL) return false;
  EXCLUDEDCONTROL->CT = static_cast<std::uint16_t>(control);
  EXCLUDEDCONTROL->GET({kCtField});
  return runtime::ERRORCODE() == 0;
}

inline void TabStopNav::alert(int control, int key, int slot) {
  // A control left alone gets no alert key, so its own keys keep working.
  if (excluded(control)) return;
  window::setProperty(control, window::PropAlrt, key, slot);
}

inline void TabStopNav::build(std::uint8_t option) {
  using namespace tab_stop;
  assert(EXCLUDEDCONTROL && NEXTTABSTOPCONTROLQ && "create runs before build");
  option_ = option;
  built_.clear();
  const int last = window::LASTFIELD();
  for (int control = window::FIRSTFIELD(); control <= last; ++control) {
    const int type = typeOf(control);
    if (type == code(ControlType::None)) continue;
    built_.insert(control);
    for (const KindAlert& a : kKindAlerts) {
      if (gives(a, type, control)) alert(control, a.key, a.slot);
    }
    if (const int next = linkedControl(kCtField, control, kNextCtField)) {
      alert(control, window::TabKey, kTabSlot);
      alert(next, kShiftTab, kShiftTabSlot);
    }
  }
  INITED = 1;
}

inline bool TabStopNav::gives(const tab_stop::KindAlert& a, int type, int control) const {
  if (a.type != type || (a.unlessOption && option_ != 0)) return false;
  return !a.singleLineOnly || !tab_stop::isMultiLineText(control);
}

inline bool TabStopNav::kindAlerts(int control, int key) const {
  if (!built_.contains(control)) return false;
  const int type = tab_stop::typeOf(control);
  for (const tab_stop::KindAlert& a : tab_stop::kKindAlerts) {
    if (a.key == key && gives(a, type, control)) return true;
  }
  return false;
}

inline std::uint8_t TabStopNav::takeKey() {
  using namespace window;
  using namespace tab_stop;
  const int control = FIELD();
  if (!INITED || control == 0 || EVENT() != EventAlertKey) return 0;
  if (excluded(control)) return 0;
  const int key = KEYCODE();
  if (key != TabKey && key != kShiftTab && !kindAlerts(control, key)) return 0;
  switch (key) {
    case EnterKey:
      if (isMultiLineText(control)) {
        // A multi-line text keeps Enter as a new line.
        press(kShiftEnter);
        press(kShiftAlone);
      } else {
        press(TabKey);
      }
      return 1;
    case UpKey:
    case LeftKey: press(kShiftTab); return 1;
    case DownKey:
    case RightKey: press(TabKey); return 1;
    case kShiftTab: {
      const int linked = linkedControl(kNextCtField, control, kCtField);
      SELECT(linked != 0 ? linked : currentWindow().propertyNumber(0, PropPrevTabStop, control));
      return 1;
    }
    case TabKey: {
      const int linked = linkedControl(kCtField, control, kNextCtField);
      SELECT(linked != 0 ? linked : currentWindow().propertyNumber(0, PropNextTabStop, control));
      return 1;
    }
    default: return 0;
  }
}

inline void TabStopNav::press(int key) {
  assert(window::currentWindow() != nullptr);
  if (key != tab_stop::kShiftTab) {
    window::PRESSKEY(key);
    return;
  }
  os::keybd_event(os::VkShift, 0, 0, 0);
  os::keybd_event(os::VkTab, 0, 0, 0);
  os::keybd_event(os::VkTab, 0, os::KeyEventKeyUp, 0);
  os::keybd_event(os::VkShift, 0, os::KeyEventKeyUp, 0);
}

}  // namespace app
