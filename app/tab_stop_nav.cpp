#include "app/tab_stop_nav.h"

#include <cassert>

#include "platform/os/synthetic_keys.h"
#include "platform/runtime/error_state.h"
#include "platform/window/control_type.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/key_codes.h"
#include "platform/window/properties.h"

namespace app {
namespace {

using window::ControlType;

constexpr runtime::FieldDef kExcludedFields[] = {
    GD_FIELD(TabStopNav::ExcludedControl, CT, "CT"),
};
constexpr runtime::FieldDef kNextTabStopFields[] = {
    GD_FIELD(TabStopNav::NextTabStopControl, CT, "CT"),
    GD_FIELD(TabStopNav::NextTabStopControl, NEXTCT, "NEXTCT"),
};
constexpr int kCtField = 1;
constexpr int kNextCtField = 2;

// The kinds the runtime reports without a name of ours: handled like TEXT and like COMBO.
constexpr int kTextLikeType = 40;
constexpr int kComboLikeType = 15;

constexpr int kShiftTab = window::ShiftKey + window::TabKey;
constexpr int kShiftEnter = window::ShiftKey + window::EnterKey;
constexpr int kShiftAlone = window::ShiftKey + window::ShiftKeyAlone;

window::Window& currentWindow() {
  window::Window* w = window::currentWindow();
  assert(w != nullptr && "the navigation works on the current window");
  return *w;
}

int typeOf(int control) { return currentWindow().propertyNumber(control, window::PropType); }

bool isTextKind(int type) {
  return type == static_cast<int>(ControlType::Text) || type == kTextLikeType;
}

bool isSingleLine(int control) {
  return currentWindow().propertyNumber(control, window::PropSingle) != 0;
}

// Keystrokes of the operating-system layer go to the focused window's key buffer, as the
// platform's input queue hands them to the window that has the keyboard focus.
void typeIntoFocusedWindow(int key) {
  if (window::currentWindow() != nullptr) window::PRESSKEY(key);
}

}  // namespace

const runtime::RecordLayout& TabStopNav::ExcludedControl::layout() {
  static const runtime::RecordLayout layout(kExcludedFields, sizeof(ExcludedControl));
  return layout;
}

const runtime::RecordLayout& TabStopNav::NextTabStopControl::layout() {
  static const runtime::RecordLayout layout(kNextTabStopFields, sizeof(NextTabStopControl));
  return layout;
}

void TabStopNav::create() {
  EXCLUDEDCONTROL = std::make_unique<ExcludedQueue>();
  NEXTTABSTOPCONTROLQ = std::make_unique<NextTabStopQueue>();
  if (!os::hasKeySink()) os::setKeySink(typeIntoFocusedWindow);
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

void TabStopNav::alertByKind(int control, std::uint8_t option) {
  using namespace window;
  const int type = typeOf(control);
  if (isTextKind(type)) {
    alert(control, EnterKey, 254);
    if (isSingleLine(control)) {
      alert(control, DownKey, 253);
      alert(control, UpKey, 255);
    }
    return;
  }
  if (type == kComboLikeType) {
    alert(control, EnterKey, 255);
    return;
  }
  switch (static_cast<ControlType>(type)) {
    case ControlType::Spin: alert(control, EnterKey, 254); return;
    case ControlType::Entry:
      alert(control, DownKey, 253);
      alert(control, EnterKey, 254);
      alert(control, UpKey, 255);
      return;
    case ControlType::Combo: alert(control, EnterKey, 255); return;
    case ControlType::List:
    case ControlType::Drop:
      alert(control, EnterKey, 253);
      if (option == 0) {
        alert(control, RightKey, 254);
        alert(control, LeftKey, 255);
      }
      return;
    case ControlType::Button:
      alert(control, UpKey, 252);
      alert(control, DownKey, 253);
      alert(control, RightKey, 254);
      alert(control, LeftKey, 255);
      return;
    case ControlType::Radio: alert(control, EnterKey, 251); return;
    case ControlType::Check:
      alert(control, EnterKey, 251);
      alert(control, UpKey, 252);
      alert(control, DownKey, 253);
      alert(control, RightKey, 254);
      alert(control, LeftKey, 255);
      return;
    default: return;
  }
}

void TabStopNav::build(std::uint8_t option) {
  assert(EXCLUDEDCONTROL && NEXTTABSTOPCONTROLQ && "create runs before build");
  assert(window::currentWindow() != nullptr);
  const int last = window::LASTFIELD();
  for (int control = window::FIRSTFIELD(); control <= last; ++control) {
    if (typeOf(control) == static_cast<int>(ControlType::None)) continue;
    alertByKind(control, option);
    if (const int next = linkedControl(kCtField, control, kNextCtField)) {
      alert(control, window::TabKey, kTabSlot);
      alert(next, kShiftTab, kShiftTabSlot);
    }
  }
  INITED = 1;
}

std::uint8_t TabStopNav::takeKey() {
  using namespace window;
  const int control = FIELD();
  if (!INITED || control == 0 || EVENT() != EventAlertKey) return 0;
  if (excluded(control)) return 0;
  switch (KEYCODE()) {
    case EnterKey:
      if (isTextKind(typeOf(control)) && !isSingleLine(control)) {
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
  if (key != kShiftTab) {
    window::PRESSKEY(key);
    return;
  }
  os::keybd_event(os::VkShift, 0, 0, 0);
  os::keybd_event(os::VkTab, 0, 0, 0);
  os::keybd_event(os::VkTab, 0, os::KeyEventKeyUp, 0);
  os::keybd_event(os::VkShift, 0, os::KeyEventKeyUp, 0);
}

}  // namespace app
