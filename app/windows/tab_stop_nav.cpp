#include "app/windows/tab_stop_nav.h"

#include <cassert>

#include "platform/os/synthetic_keys.h"
#include "platform/runtime/error_state.h"
#include "platform/window/control_type.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/key_codes.h"
#include "platform/window/properties.h"

namespace app {

namespace tab_stop {

using window::ControlType;

// The kinds the runtime reports without a name of ours: handled like TEXT and like COMBO.
constexpr int kTextLikeType = 40;
constexpr int kComboLikeType = 15;

constexpr int kShiftTab = window::ShiftKey + window::TabKey;
constexpr int kShiftEnter = window::ShiftKey + window::EnterKey;
constexpr int kShiftAlone = window::ShiftKey + window::ShiftKeyAlone;

// One alert key the build gives a kind of control.
struct KindAlert {
  int type;
  int slot;
  int key;
  bool singleLineOnly = false;  // only on a single-line TEXT
  bool unlessOption = false;    // not when the build option is set
};

constexpr int code(ControlType t) { return static_cast<int>(t); }

constexpr KindAlert kKindAlerts[] = {
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

constexpr runtime::FieldDef kExcludedFields[] = {
    GD_FIELD(TabStopNav::ExcludedControl, CT, "CT"),
};
constexpr runtime::FieldDef kNextTabStopFields[] = {
    GD_FIELD(TabStopNav::NextTabStopControl, CT, "CT"),
    GD_FIELD(TabStopNav::NextTabStopControl, NEXTCT, "NEXTCT"),
};

window::Window& currentWindow() {
  window::Window* w = window::currentWindow();
  assert(w != nullptr && "the navigation works on the current window");
  return *w;
}

int typeOf(int control) { return currentWindow().propertyNumber(control, window::PropType); }

bool isMultiLineText(int control) {
  const int type = typeOf(control);
  return (type == code(ControlType::Text) || type == kTextLikeType) &&
         currentWindow().propertyNumber(control, window::PropSingle) == 0;
}

// Keystrokes of the operating-system layer go to the focused window's key buffer, as the
// platform's input queue hands them to the window that has the keyboard focus.
void typeIntoFocusedWindow(int key) {
  if (window::currentWindow() != nullptr) window::PRESSKEY(key);
}

}  // namespace tab_stop

const runtime::RecordLayout& TabStopNav::ExcludedControl::layout() {
  static const runtime::RecordLayout layout(tab_stop::kExcludedFields, sizeof(ExcludedControl));
  return layout;
}

const runtime::RecordLayout& TabStopNav::NextTabStopControl::layout() {
  static const runtime::RecordLayout layout(tab_stop::kNextTabStopFields,
                                            sizeof(NextTabStopControl));
  return layout;
}

void TabStopNav::create() {
  EXCLUDEDCONTROL = std::make_unique<ExcludedQueue>();
  NEXTTABSTOPCONTROLQ = std::make_unique<NextTabStopQueue>();
  if (!os::hasKeySink()) os::setKeySink(tab_stop::typeIntoFocusedWindow);
}

void TabStopNav::kill() {
  EXCLUDEDCONTROL.reset();
  NEXTTABSTOPCONTROLQ.reset();
}

int TabStopNav::linkedControl(int byField, int control, int answerField) {
  if (!NEXTTABSTOPCONTROLQ) return 0;
  NextTabStopQueue& q = *NEXTTABSTOPCONTROLQ;
  (byField == kCtField ? q.CT : q.NEXTCT) = control;
  q.GET({byField});
  if (runtime::ERRORCODE() != 0) return 0;
  return answerField == kCtField ? q.CT : q.NEXTCT;
}

bool TabStopNav::excluded(int control) {
  if (!EXCLUDEDCONTROL) return false;
  EXCLUDEDCONTROL->CT = static_cast<std::uint16_t>(control);
  EXCLUDEDCONTROL->GET({kCtField});
  return runtime::ERRORCODE() == 0;
}

void TabStopNav::alert(int control, int key, int slot) {
  // A control left alone gets no alert key, so its own keys keep working.
  if (excluded(control)) return;
  window::setProperty(control, window::PropAlrt, key, slot);
}

void TabStopNav::build(std::uint8_t option) {
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

bool TabStopNav::gives(const tab_stop::KindAlert& a, int type, int control) const {
  if (a.type != type || (a.unlessOption && option_ != 0)) return false;
  return !a.singleLineOnly || !tab_stop::isMultiLineText(control);
}

bool TabStopNav::kindAlerts(int control, int key) const {
  if (!built_.contains(control)) return false;
  const int type = tab_stop::typeOf(control);
  for (const tab_stop::KindAlert& a : tab_stop::kKindAlerts) {
    if (a.key == key && gives(a, type, control)) return true;
  }
  return false;
}

std::uint8_t TabStopNav::takeKey() {
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

void TabStopNav::press(int key) {
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
