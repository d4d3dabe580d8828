// The user's input as the backend reports it, turned into events.
#include <algorithm>
#include <vector>

#include "platform/runtime/utf8.h"
#include "platform/window/key_codes.h"
#include "platform/window/picture_bridge.h"
#include "platform/window/window.h"

namespace window {

bool Window::keyPressed(int key) {
  if (!enabled_) return true;
  Control* c = find(focus_);
  if ((c && c->isAlerted(key)) || std::find(alrt_.begin() + 1, alrt_.end(), key) != alrt_.end()) {
    queue(EventAlertKey, focus_, key);
    return true;
  }
  if (key == TabKey || key == ShiftKey + TabKey) {
    const int next = nextTabStop(focus_, key == TabKey ? 1 : -1);
    if (next != 0) moveFocus(next);
    return true;
  }
  if (key == F10Key || key == AltKey + AltKeyAlone) {
    // F10, or Alt pressed and let go alone, opens the menu bar, as on the platform's desktop.
    if (!hasMenuBar()) return false;
    commitEdit(focus_);
    backend_.openMenuBar(*this);
    return true;
  }
  if ((key & AltKey) && !(key & CtrlKey)) {
    return handleAccelerator(static_cast<char>(baseKey(key)));
  }
  if (key == EscKey && (closeBox_ || systemMenu_)) {
    // Escape is the window's Cancel: the close request, handled as its close box is.
    closeRequested();
    return true;
  }
  if (key == CtrlKey + EnterKey && c && c->type == ControlType::List) {
    // A list's own key for its double click: Enter may be taken to move the focus on.
    if (c->list.selected > 0) listActivate(c->number, c->list.selected, key);
    return true;
  }
  if (key != EnterKey) return false;
  if (c) {
    switch (c->type) {
      case ControlType::Button: clicked(c->number); return true;
      case ControlType::List:
        if (c->list.selected > 0) listActivate(c->number, c->list.selected, EnterKey);
        return true;
      case ControlType::Text:
        if (!c->single) return false;  // a new line
        commitEdit(focus_);
        break;
      case ControlType::Entry:
      case ControlType::Spin:
      case ControlType::Combo: commitEdit(focus_); break;
      default: break;
    }
  }
  for (auto& [number, b] : controls_) {
    if (b.type == ControlType::Button && b.isDefault && usable(b)) {
      clicked(number);
      return true;
    }
  }
  return c != nullptr && c->type != ControlType::Check && c->type != ControlType::Radio;
}

bool Window::hasMenuBar() const {
  return std::any_of(controls_.begin(), controls_.end(), [this](const auto& entry) {
    return entry.second.type == ControlType::Menu && entry.second.parent == 0 &&
           usable(entry.second);
  });
}

void Window::typeKey(int key) {
  if (!keyPressed(key)) backend_.deliverKey(*this, focus_, key);
}

// Alt and a letter: the usable control whose text marks that letter. A prompt's shortcut goes to
// the control after it. When several controls share the letter, each press moves the focus to
// the next of them and presses nothing, as the platform's dialogs do. Menu items are reached
// through their open menu, which is the platform's business.
bool Window::handleAccelerator(char letter) {
  struct Target {
    int control;  // the control that marks the letter
    int focus;    // where the focus goes for it
  };
  std::vector<Target> targets;
  for (const auto& [number, c] : controls_) {
    if (c.accelerator() != letter || !usable(c)) continue;
    switch (c.type) {
      case ControlType::Button:
      case ControlType::Check:
      case ControlType::Radio:
      case ControlType::Tab: targets.push_back({number, number}); break;
      case ControlType::Prompt: targets.push_back({number, nextTabStop(number, 1)}); break;
      default: break;
    }
  }
  if (targets.empty()) return false;
  if (targets.size() > 1) {
    // The first after the focus, in control order, else the first of all.
    auto next = std::find_if(targets.begin(), targets.end(),
                             [this](const Target& t) { return t.focus > focus_; });
    if (next == targets.end()) next = targets.begin();
    const Control* to = control(next->focus);
    if (to && canFocus(*to)) moveFocus(next->focus);
    return true;
  }
  const Target& only = targets.front();
  if (control(only.control)->type == ControlType::Prompt) {
    if (only.focus != 0) moveFocus(only.focus);
  } else {
    clicked(only.control);
  }
  return true;
}

void Window::focusTo(int control) {
  const Control* c = this->control(control);
  if (!enabled_ || !c || !canFocus(*c)) return;
  moveFocus(control);
}

void Window::textEdited(int control, std::string_view text) {
  Control* c = find(control);
  if (!enabled_ || !c || c->readOnly || !usable(*c)) return;
  if (!isEditableType(c->type)) return;
  const std::size_t width = stringPictureWidth(c->picture);
  c->screenText = width > 0 ? std::string(runtime::utf8Prefix(text, width)) : std::string(text);
  notify(control, ChangeScreenText);
  if (c->imm) queue(EventNewSelection, control);
}

void Window::checkClicked(Control& c) {
  c.checked = !c.checked;
  if (c.use.bound()) c.use.set(Value::text(c.checked ? c.trueValue : c.falseValue));
  notify(c.number, ChangeState);
  queue(EventAccepted, c.number);
}

void Window::radioClicked(Control& c) {
  for (auto& [number, r] : controls_) {
    if (r.type != ControlType::Radio || r.parent != c.parent) continue;
    const bool on = number == c.number;
    if (r.checked != on) {
      r.checked = on;
      notify(number, ChangeState);
    }
  }
  Control* option = find(c.parent);
  if (option && option->use.bound()) {
    option->use.set(Value::text(c.value.empty() ? c.plainText() : c.value));
  }
  queue(EventAccepted, c.number);
}

void Window::tabClicked(Control& tab) {
  Control* sheet = find(tab.parent);
  if (!sheet || sheet->type != ControlType::Sheet) return;
  const int index = tabIndex(tab);
  if (sheet->choice == index) return;
  commitEdit(focus_);
  sheet->choice = index;
  notify(sheet->number, ChangeChoice);
  queue(EventNewSelection, sheet->number);
  const Control* f = control(focus_);
  if (f && !usable(*f)) {
    // The focus moves to the first control on the new tab.
    for (const auto& [number, child] : controls_) {
      if (canFocus(child)) {
        const Control* p = &child;
        while (p && p->number != tab.number) p = p->parent ? control(p->parent) : nullptr;
        if (p) {
          moveFocus(number);
          return;
        }
      }
    }
    moveFocus(0);
  }
}

void Window::clicked(int control) {
  Control* c = find(control);
  if (!enabled_ || !c || !usable(*c)) return;
  switch (c->type) {
    case ControlType::Button:
      moveFocus(control);
      queue(EventAccepted, control);
      return;
    case ControlType::Item:
    case ControlType::Region:
      commitEdit(focus_);
      queue(EventAccepted, control);
      return;
    case ControlType::Check:
      moveFocus(control);
      checkClicked(*c);
      return;
    case ControlType::Radio:
      moveFocus(control);
      radioClicked(*c);
      return;
    case ControlType::Tab: tabClicked(*c); return;
    case ControlType::Prompt: {
      const int next = nextTabStop(control, 1);
      if (next != 0) moveFocus(next);
      return;
    }
    default:
      if (canFocus(*c)) moveFocus(control);
      return;
  }
}

void Window::listSelect(int control, int row, int keyCode, int column) {
  Control* c = find(control);
  if (!enabled_ || !c || !c->hasList() || !usable(*c)) return;
  if (row < 1 || row > static_cast<int>(c->list.rowCount())) return;
  if (focus_ != control && canFocus(*c)) moveFocus(control);
  c->list.selected = row;
  if (column > 0) c->list.clickColumn = column;
  c->list.ensureVisible(row, c->at);
  notify(control, ChangeListSelection | ChangeListScroll);
  queue(EventNewSelection, control, keyCode);
  if (c->type == ControlType::Drop || c->type == ControlType::Combo) {
    // Choosing an item of a drop sets its variable and accepts it.
    c->screenText = c->list.source()->field(row, 1).toText();
    if (copyBack(*c)) displayControl(*c);
    queue(EventAccepted, control, keyCode);
  }
}

void Window::listActivate(int control, int row, int keyCode) {
  Control* c = find(control);
  if (!enabled_ || !c || c->type != ControlType::List || !usable(*c)) return;
  if (row < 1 || row > static_cast<int>(c->list.rowCount())) return;
  if (c->list.selected != row) {
    c->list.selected = row;
    notify(control, ChangeListSelection);
  }
  queue(EventAccepted, control, keyCode);
}

void Window::listPopupClick(int control, int row, int column) {
  Control* c = find(control);
  if (!enabled_ || !c || c->type != ControlType::List || !usable(*c)) return;
  if (focus_ != control) moveFocus(control);
  if (row >= 1 && row <= static_cast<int>(c->list.rowCount())) {
    c->list.selected = row;
    notify(control, ChangeListSelection);
  }
  if (column > 0) c->list.clickColumn = column;
  queue(c->isAlerted(MouseRightUp) ? EventAlertKey : EventNewSelection, control, MouseRightUp);
}

void Window::listHeaderClicked(int control, int column) {
  Control* c = find(control);
  if (!enabled_ || !c || c->type != ControlType::List || !usable(*c)) return;
  if (column < 1 || column > static_cast<int>(c->list.format.columns.size())) return;
  c->list.clickColumn = column;
  queue(EventHeaderPressed, control, MouseLeft);
}

void Window::listColumnResized(int control, int column, int width) {
  Control* c = find(control);
  if (!enabled_ || !c || c->type != ControlType::List) return;
  if (column < 1 || column > static_cast<int>(c->list.format.columns.size()) || width < 0) return;
  ListColumn& col = c->list.format.columns[column - 1];
  if (!col.resizable || col.width == width) return;
  col.width = width;
  notify(control, ChangeListFormat);
  queue(EventColumnResized, control);
}

void Window::listColumnMoved(int control, int from, int to) {
  Control* c = find(control);
  if (!enabled_ || !c || c->type != ControlType::List || from == to) return;
  const auto& cols = c->list.format.columns;
  if (from < 1 || from > static_cast<int>(cols.size()) || !cols[from - 1].resizable) return;
  if (!c->list.moveColumn(from, to)) return;
  notify(control, ChangeListFormat);
  queue(EventColumnMoved, control);
}

void Window::listScrolled(int control, int top) {
  Control* c = find(control);
  if (!enabled_ || !c || !c->hasList()) return;
  const int before = c->list.top;
  c->list.scrollTo(top, c->at);
  if (c->list.top == before) return;
  notify(control, ChangeListScroll);
  queue(EventScrolled, control);
}

void Window::listScrollRequested(int control, ScrollRequest request) {
  Control* c = find(control);
  if (!enabled_ || !c || !c->hasList()) return;
  ListView& l = c->list;
  if (request.step == ScrollStep::Thumb)
    request.amount = std::clamp(request.amount, 0, kThumbRange);
  if (l.paged) {
    l.scrollRequests.push_back(request);
    queue(EventScrolled, control);
    return;
  }
  const int shown = l.visibleRows(c->at);
  switch (request.step) {
    case ScrollStep::Lines: listScrolled(control, l.top + request.amount); return;
    case ScrollStep::Pages: listScrolled(control, l.top + request.amount * shown); return;
    case ScrollStep::Thumb: {
      const long long beyond = std::max(0LL, static_cast<long long>(l.rowCount()) - shown);
      listScrolled(control, static_cast<int>(1 + beyond * request.amount / kThumbRange));
      return;
    }
  }
}

int Window::hitTest(int x, int y) const {
  // The last control in number order lies on top (regions are created over their controls);
  // containers count only where no control of their own lies.
  const auto container = [](ControlType t) {
    return t == ControlType::Sheet || t == ControlType::Tab || t == ControlType::Group ||
           t == ControlType::Option || t == ControlType::Panel || t == ControlType::Toolbar;
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
      const Control& c = it->second;
      if (c.type == ControlType::Menu || c.type == ControlType::Item) continue;
      if (container(c.type) != (pass == 1)) continue;
      if (c.at.contains(x, y) && usable(c)) return it->first;
    }
  }
  return 0;
}

void Window::mouseMoved(int x, int y) {
  if (!enabled_) return;
  mouseX_ = x;
  mouseY_ = y;
  for (auto& [number, c] : controls_) {
    if (c.type != ControlType::List) continue;
    ListView& l = c.list;
    const bool over = c.at.contains(x, y) && visible(c);
    l.mouseZone = l.zoneAt(c.at, x, y);
    l.mouseColumn = over ? l.columnAt(c.at, x) : 0;
    l.mouseRow = over ? l.rowAt(c.at, y) : 0;
  }
  // Mouse events go to the topmost control under the mouse when it asks for them.
  int hit = hitTest(x, y);
  if (hit != 0 && !control(hit)->imm) hit = 0;
  if (hit == hover_) {
    if (hit != 0) queue(EventMouseMove, hit);
    return;
  }
  if (hover_ != 0 && control(hover_)) queue(EventMouseOut, hover_);
  hover_ = hit;
  if (hit != 0) queue(EventMouseIn, hit);
}

void Window::resized(int width, int height) {
  if (width == at_.width && height == at_.height) return;
  at_.width = width;
  at_.height = height;
  queue(EventSized, 0);
}

void Window::moved(int x, int y) {
  at_.x = x;
  at_.y = y;
}

void Window::timerTick() {
  if (ended_ || timer_ <= 0) return;
  // Ticks that come faster than the loop takes them make one Timer event.
  for (const EventRecord& e : queue_) {
    if (e.event == EventTimer) return;
  }
  queue(EventTimer, 0);
}

void Window::closeRequested() {
  if (!enabled_ || !(closeBox_ || systemMenu_)) return;
  commitEdit(focus_);
  queue(EventCloseWindow, 0);
}

}  // namespace window
