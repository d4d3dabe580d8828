// Properties of windows and controls, read and written by number.
#include <string>

#include "platform/runtime/number_text.h"
#include "platform/window/window.h"

namespace window {
namespace {

std::string flag(bool on) { return on ? "1" : ""; }

// A property value as a switch: a non-zero number, or a text that is not a number.
bool truth(std::string_view v) {
  if (v.find_first_not_of(' ') == std::string_view::npos) return false;
  return runtime::textToReal(v) != 0 || v.find_first_not_of(" 0.+-") != std::string_view::npos;
}

int number(std::string_view v) { return static_cast<int>(runtime::textToReal(v)); }

std::string num(int n) { return std::to_string(n); }

// Reads or writes an alert slot: index 1 to 255; index 0 reads the first slot and writes the
// key into the first empty one.
std::string alertSlot(const std::array<int, 256>& slots, int index) {
  if (index < 0 || index > 255) return {};
  const int v = slots[index == 0 ? 1 : index];
  return v ? num(v) : std::string();
}

bool setAlertSlot(std::array<int, 256>& slots, int index, int key) {
  if (index < 0 || index > 255) return false;
  if (index > 0) {
    slots[index] = key;
    return true;
  }
  if (key == 0) return true;
  for (int slot = 1; slot < 256; ++slot) {
    if (slots[slot] == key) return true;
    if (slots[slot] == 0) {
      slots[slot] = key;
      return true;
    }
  }
  return false;
}

}  // namespace

int Window::propertyNumber(int target, int prop, int index) const {
  return number(property(target, prop, index));
}

bool Window::setProperty(int target, int prop, int value, int index) {
  return setProperty(target, prop, std::to_string(value), index);
}

std::string Window::windowProperty(int prop, int index) const {
  switch (prop) {
    case PropText: return title_;
    case PropIcon: return icon_;
    case PropXpos: return num(at_.x);
    case PropYpos: return num(at_.y);
    case PropWidth: return num(at_.width);
    case PropHeight: return num(at_.height);
    case PropTimer: return num(timer_);
    case PropStatusText: return statusText(index == 0 ? 1 : index);
    case PropBuffer: return num(buffer_);
    case PropAcceptAll: return flag(acceptAll_ != 0);
    case PropClientHandle: return num(id_);
    case PropCursor: return cursor_;
    case PropType: return "0";
    case PropAlrt: return alertSlot(alrt_, index);
    case PropNextTabStop: return num(nextTabStop(index == 0 ? focus_ : index, 1));
    case PropPrevTabStop: return num(nextTabStop(index == 0 ? focus_ : index, -1));
    default: {
      const auto it = extra_.find({prop, index});
      return it == extra_.end() ? std::string() : it->second;
    }
  }
}

bool Window::setWindowProperty(int prop, std::string_view value, int index) {
  switch (prop) {
    case PropText:
      title_ = value;
      notify(0, ChangeText);
      return true;
    case PropIcon:
      icon_ = value;
      notify(0, ChangeText);
      return true;
    case PropXpos:
      at_.x = number(value);
      notify(0, ChangeGeometry);
      return true;
    case PropYpos:
      at_.y = number(value);
      notify(0, ChangeGeometry);
      return true;
    case PropWidth:
      at_.width = number(value);
      notify(0, ChangeGeometry);
      return true;
    case PropHeight:
      at_.height = number(value);
      notify(0, ChangeGeometry);
      return true;
    case PropTimer:
      timer_ = std::max(0, number(value));
      backend_.timerChanged(*this, timer_);
      return true;
    case PropStatusText:
      statusTexts_[index == 0 ? 1 : index] = value;
      notify(0, ChangeStatusBar);
      return true;
    case PropBuffer: buffer_ = number(value); return true;
    case PropAcceptAll: acceptAll_ = truth(value) ? 1 : 0; return true;
    case PropCursor:
      cursor_ = value;
      notify(0, ChangeLook);
      return true;
    case PropAlrt: return setAlertSlot(alrt_, index, number(value));
    case PropType:
    case PropClientHandle:
    case PropNextTabStop:
    case PropPrevTabStop: return false;
    default: extra_[{prop, index}] = value; return true;
  }
}

bool Window::listProperty(const Control& c, int prop, int index, std::string& out) const {
  const ListView& l = c.list;
  const int columns = static_cast<int>(l.format.columns.size());
  const bool columnOk = index >= 1 && index <= columns;
  switch (prop) {
    case PropFormat: out = l.format.text(); return true;
    case PropSelected: out = num(l.selected); return true;
    case PropItems: out = num(l.visibleRows(c.at)); return true;
    case PropTopRow: out = num(l.top); return true;
    case PropRowCount: out = num(static_cast<int>(l.rowCount())); return true;
    case PropFrom: out = c.fromText; return true;
    case PropLineHeight: out = num(l.lineHeight); return true;
    case PropIconList: {
      const auto it = l.icons.find(index);
      out = it == l.icons.end() ? std::string() : it->second;
      return true;
    }
    case PropListMouseRow: out = num(l.mouseRow); return true;
    case PropListMouseColumn: out = num(l.mouseColumn); return true;
    case PropListClickColumn: out = num(l.clickColumn); return true;
    case PropListMouseZone: out = num(l.mouseZone); return true;
    case PropListStyleFontStyle:
    case PropListStyleFontColor: {
      const auto it = l.styles.find(index);
      if (it == l.styles.end()) {
        out = prop == PropListStyleFontStyle ? "0" : num(ColorNone);
      } else {
        out = num(prop == PropListStyleFontStyle ? it->second.fontStyle : it->second.fontColor);
      }
      return true;
    }
    case PropListColumnFormat:
      out = columnOk ? l.format.columns[index - 1].text() : "";
      return true;
    case PropListColumnExists: out = flag(columnOk); return true;
    case PropListColumnStyle:
      out = columnOk ? num(l.format.columns[index - 1].cellStyle) : "0";
      return true;
    default: return false;
  }
}

bool Window::setListProperty(Control& c, int prop, std::string_view value, int index) {
  ListView& l = c.list;
  const int columns = static_cast<int>(l.format.columns.size());
  const bool columnOk = index >= 1 && index <= columns;
  switch (prop) {
    case PropFormat: {
      auto parsed = parseListFormat(value);
      if (!parsed) return false;
      l.format = std::move(*parsed);
      notify(c.number, ChangeListFormat);
      return true;
    }
    case PropSelected: {
      const int row = number(value);
      if (row < 0 || row > static_cast<int>(l.rowCount())) return false;
      l.selected = row;
      l.ensureVisible(row, c.at);
      notify(c.number, ChangeListSelection | ChangeListScroll);
      return true;
    }
    case PropTopRow:
      l.scrollTo(number(value), c.at);
      notify(c.number, ChangeListScroll);
      return true;
    case PropFrom:
      c.fromText = value;
      l.setFromText(value);
      notify(c.number, ChangeListRows | ChangeListSelection | ChangeListScroll);
      return true;
    case PropLineHeight:
      l.lineHeight = std::max(0, number(value));
      notify(c.number, ChangeListFormat);
      return true;
    case PropIconList:
      if (index < 1) return false;
      l.icons[index] = value;
      notify(c.number, ChangeListFormat);
      return true;
    case PropListStyleFontStyle:
      l.styles[index].fontStyle = number(value);
      notify(c.number, ChangeLook);
      return true;
    case PropListStyleFontColor:
      l.styles[index].fontColor = number(value);
      notify(c.number, ChangeLook);
      return true;
    case PropListColumnFormat: {
      if (!columnOk) return false;
      auto parsed = parseListColumn(value);
      if (!parsed) return false;
      l.format.columns[index - 1] = std::move(*parsed);
      resolveFields(l.format);
      notify(c.number, ChangeListFormat);
      return true;
    }
    case PropListColumnStyle:
      if (!columnOk) return false;
      l.format.columns[index - 1].setCellStyle(number(value));
      notify(c.number, ChangeLook);
      return true;
    case PropListMouseRow:
    case PropListMouseColumn:
    case PropListClickColumn:
    case PropListMouseZone:
    case PropListColumnExists:
    case PropItems:
    case PropRowCount: return false;
    default: return false;
  }
}

std::string Window::property(int target, int prop, int index) const {
  if (target == 0) return windowProperty(prop, index);
  const Control* c = control(target);
  if (!c) return prop == PropType ? "0" : std::string();
  if (c->hasList()) {
    std::string out;
    if (listProperty(*c, prop, index, out)) return out;
  }
  switch (prop) {
    case PropSingle: return flag(c->single);
    case PropParent: return num(c->parent);
    case PropText: return c->text.empty() && isEditableType(c->type) ? c->picture : c->text;
    case PropType: return num(static_cast<int>(c->type));
    case PropXpos: return num(c->at.x);
    case PropYpos: return num(c->at.y);
    case PropWidth: return num(c->at.width);
    case PropHeight: return num(c->at.height);
    case PropFontColor: return num(c->fontColor);
    case PropFontStyle: return num(c->fontStyle);
    case PropRangeLow: return num(c->rangeLow);
    case PropRangeHigh: return num(c->rangeHigh);
    case PropCursor: return c->cursor;
    case PropDisable: return flag(c->disabled);
    case PropHide: return flag(c->hidden);
    case PropIcon: return c->icon;
    case PropImm: return flag(c->imm);
    case PropMsg: return c->msg;
    case PropReadOnly: return flag(c->readOnly);
    case PropTip: return c->tip;
    case PropProgress: return num(c->progress);
    case PropScreenText: return c->screenText;
    case PropAlrt: return alertSlot(c->alrt, index);
    case PropNextTabStop: return num(nextTabStop(target, 1));
    case PropPrevTabStop: return num(nextTabStop(target, -1));
    case PropPicture: return c->picture;
    case PropValue: return c->value;
    case PropTrueValue: return c->trueValue;
    case PropFalseValue: return c->falseValue;
    case PropSelected: return c->type == ControlType::Sheet ? num(c->choice) : flag(c->checked);
    default: {
      const auto it = c->extra.find({prop, index});
      return it == c->extra.end() ? std::string() : it->second;
    }
  }
}

bool Window::setProperty(int target, int prop, std::string_view value, int index) {
  if (target == 0) return setWindowProperty(prop, value, index);
  Control* c = find(target);
  if (!c) return false;
  if (c->hasList()) {
    std::string ignored;
    if (listProperty(*c, prop, index, ignored)) return setListProperty(*c, prop, value, index);
  }
  switch (prop) {
    case PropSingle:
      c->single = truth(value);
      notify(target, ChangeState);
      return true;
    case PropParent: {
      const int parent = number(value);
      if (parent == target || (parent != 0 && !control(parent))) return false;
      c->parent = parent;
      notify(target, ChangeGeometry | ChangeState);
      return true;
    }
    case PropText:
      if (c->text.empty() && isEditableType(c->type)) {
        c->picture = value;
        displayControl(*c);
      } else {
        c->text = value;
        if (c->type == ControlType::String || c->type == ControlType::StringAlt ||
            c->type == ControlType::Prompt) {
          displayControl(*c);
        }
      }
      notify(target, ChangeText);
      return true;
    case PropXpos:
      c->at.x = number(value);
      notify(target, ChangeGeometry);
      return true;
    case PropYpos:
      c->at.y = number(value);
      notify(target, ChangeGeometry);
      return true;
    case PropWidth:
      c->at.width = number(value);
      notify(target, ChangeGeometry);
      return true;
    case PropHeight:
      c->at.height = number(value);
      notify(target, ChangeGeometry);
      return true;
    case PropFontColor:
      c->fontColor = number(value);
      notify(target, ChangeLook);
      return true;
    case PropFontStyle:
      c->fontStyle = number(value);
      notify(target, ChangeLook);
      return true;
    case PropRangeLow:
      c->rangeLow = number(value);
      notify(target, ChangeProgress);
      return true;
    case PropRangeHigh:
      c->rangeHigh = number(value);
      notify(target, ChangeProgress);
      return true;
    case PropProgress:
      c->progress = number(value);
      notify(target, ChangeProgress);
      return true;
    case PropCursor:
      c->cursor = value;
      notify(target, ChangeLook);
      return true;
    case PropIcon:
      c->icon = value;
      notify(target, ChangeLook);
      return true;
    case PropTip:
      c->tip = value;
      notify(target, ChangeLook);
      return true;
    case PropMsg: c->msg = value; return true;
    case PropImm: c->imm = truth(value); return true;
    case PropReadOnly:
      c->readOnly = truth(value);
      notify(target, ChangeState);
      return true;
    case PropDisable: truth(value) ? disable(target) : enable(target); return true;
    case PropHide: truth(value) ? hide(target) : unhide(target); return true;
    case PropScreenText:
      c->screenText = c->shownText = value;
      notify(target, ChangeScreenText);
      return true;
    case PropAlrt: return setAlertSlot(c->alrt, index, number(value));
    case PropPicture:
      c->picture = value;
      displayControl(*c);
      return true;
    case PropValue: c->value = value; return true;
    case PropTrueValue: c->trueValue = value; return true;
    case PropFalseValue: c->falseValue = value; return true;
    case PropSelected:
      if (c->type == ControlType::Sheet) {
        int tabs = 0;
        for (const auto& [n, t] : controls_)
          tabs += t.parent == target && t.type == ControlType::Tab;
        const int tab = number(value);
        if (tab < 1 || tab > tabs) return false;
        c->choice = tab;
        notify(target, ChangeChoice);
        return true;
      }
      return false;
    case PropType:
    case PropNextTabStop:
    case PropPrevTabStop: return false;
    default: c->extra[{prop, index}] = value; return true;
  }
}

}  // namespace window
