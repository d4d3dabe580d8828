#include "platform/window/window.h"

#include <algorithm>
#include <cassert>

#include "platform/runtime/utf8.h"
#include "platform/window/picture_bridge.h"

namespace window {
namespace {

// Variable values compare as the runtime compares values: trailing blanks do not count, and a
// number with a text that is a number as numbers.
bool sameValue(const Value& v, std::string_view text) {
  return runtime::compareValues(v, Value::text(std::string(text))) == 0;
}

}  // namespace

Window::Window(const WindowDefinition& d, Backend& backend, int id)
    : backend_(backend),
      id_(id),
      key_(d.key),
      label_(d.label),
      title_(d.title),
      icon_(d.icon),
      at_(d.at),
      systemMenu_(d.systemMenu),
      closeBox_(d.closeBox),
      resizable_(d.resizable),
      timer_(d.timer),
      statusZones_(d.statusZones),
      controls_(d.controls) {
  for (auto& [number, c] : controls_) {
    if (!c.fromText.empty()) c.list.setFromText(c.fromText);
    if (c.type == ControlType::Sheet && c.choice == 0) c.choice = 1;
  }
}

std::string Window::describe() const {
  return "window \"" + title_ + "\" (" + key_ + " " + label_ + ")";
}

std::string Window::statusText(int zone) const {
  const auto it = statusTexts_.find(zone);
  return it == statusTexts_.end() ? std::string() : it->second;
}

const Control* Window::control(int number) const {
  const auto it = controls_.find(number);
  return it == controls_.end() ? nullptr : &it->second;
}

Control* Window::find(int number) {
  const auto it = controls_.find(number);
  return it == controls_.end() ? nullptr : &it->second;
}

void Window::notify(int control, unsigned changes) {
  backend_.controlChanged(*this, control, changes);
}

void Window::queue(int event, int control, int keyCode) {
  queue_.push_back(EventRecord{event, control, keyCode, mouseX_, mouseY_});
}

void Window::opened() {
  display();
  backend_.windowOpened(*this);
  queue(EventOpenWindow, 0);
  if (timer_ > 0) backend_.timerChanged(*this, timer_);
}

void Window::setEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  backend_.windowEnabled(*this, enabled);
}

// ---------------------------------------------------------------------------------------------
// The ACCEPT loop.

bool Window::accept() {
  if (closing_) {
    closing_ = false;
    ended_ = true;
  }
  if (ended_) return false;
  // The first control takes the focus once the opening event has been handled, unless the
  // handler put it somewhere itself.
  if (current_.event == EventOpenWindow && !initialFocusDone_) {
    initialFocusDone_ = true;
    if (focus_ == 0) select(0);
  }
  while (true) {
    if (closePosted_) {
      closePosted_ = false;
      queue_.push_front(EventRecord{EventCloseWindow, 0, 0, mouseX_, mouseY_});
    }
    if (!queue_.empty()) {
      current_ = queue_.front();
      queue_.pop_front();
      if (current_.event == EventCloseWindow) closing_ = true;
      return true;
    }
    if (!keyBuffer_.empty()) {
      const int key = keyBuffer_.front();
      keyBuffer_.pop_front();
      typeKey(key);
      continue;
    }
    backend_.waitForInput(*this);
  }
}

void Window::cancelClose() {
  if (current_.event == EventCloseWindow) closing_ = false;
}

int Window::choice(int control) const {
  const Control* c = this->control(control == 0 ? current_.control : control);
  if (!c) return 0;
  if (c->type == ControlType::Sheet) return c->choice;
  return c->hasList() ? c->list.selected : 0;
}

int Window::firstField() const { return controls_.empty() ? 0 : controls_.begin()->first; }

int Window::lastField() const { return controls_.empty() ? 0 : controls_.rbegin()->first; }

// ---------------------------------------------------------------------------------------------
// Statements.

template <class F>
void Window::forRange(int first, int last, F&& f) {
  if (first == 0) {
    for (auto& [number, c] : controls_) f(c);
    return;
  }
  if (last == 0 || last < first) last = first;
  for (auto it = controls_.lower_bound(first); it != controls_.end() && it->first <= last; ++it) {
    f(it->second);
  }
}

void Window::displayControl(Control& c) {
  unsigned changes = ChangeScreenText;
  switch (c.type) {
    case ControlType::Check:
      if (c.use.bound()) c.checked = sameValue(c.use.get(), c.trueValue);
      changes |= ChangeState;
      break;
    case ControlType::Option:
      if (c.use.bound()) {
        const Value v = c.use.get();
        for (auto& [number, radio] : controls_) {
          if (radio.type != ControlType::Radio || radio.parent != c.number) continue;
          const bool on = sameValue(v, radio.value.empty() ? radio.plainText() : radio.value);
          if (radio.checked != on) {
            radio.checked = on;
            notify(number, ChangeState);
          }
        }
      }
      return;
    case ControlType::Progress:
      if (c.use.bound()) c.progress = static_cast<int>(c.use.get().toNumber());
      changes = ChangeProgress;
      break;
    case ControlType::List: changes = ChangeListRows; break;
    case ControlType::Drop:
    case ControlType::Combo:
      if (c.use.bound()) {
        const Value v = c.use.get();
        c.screenText = screenTextOf(v, c.picture);
        c.list.selected = 0;
        for (std::size_t row = 1; row <= c.list.rowCount(); ++row) {
          if (sameValue(v, c.list.source()->field(row, 1).toText())) {
            c.list.selected = static_cast<int>(row);
            break;
          }
        }
      }
      c.shownText = c.screenText;
      changes |= ChangeListSelection;
      break;
    case ControlType::String:
    case ControlType::StringAlt:
    case ControlType::Prompt:
      c.screenText = c.use.bound() ? screenTextOf(c.use.get(), c.picture) : c.plainText();
      c.shownText = c.screenText;
      break;
    case ControlType::Entry:
    case ControlType::Spin:
    case ControlType::Text:
      if (c.use.bound()) c.screenText = screenTextOf(c.use.get(), c.picture);
      c.shownText = c.screenText;
      break;
    default: return;
  }
  notify(c.number, changes);
}

void Window::display(int first, int last) {
  forRange(first, last, [this](Control& c) { displayControl(c); });
}

bool Window::copyBack(Control& c) {
  if (!isEditableType(c.type) && c.type != ControlType::Drop) return false;
  if (c.screenText == c.shownText) return false;
  if (c.use.bound()) c.use.set(valueOfScreenText(c.screenText, c.picture, c.use.isText()));
  c.shownText = c.screenText;
  return true;
}

void Window::update(int first, int last) {
  forRange(first, last, [this](Control& c) {
    if (copyBack(c)) displayControl(c);
  });
}

void Window::commitEdit(int control) {
  Control* c = find(control);
  if (!c || !copyBack(*c)) return;
  displayControl(*c);
  queue(EventAccepted, control);
}

int Window::tabIndex(const Control& tab) const {
  int index = 0;
  for (const auto& [number, sibling] : controls_) {
    if (sibling.parent == tab.parent && sibling.type == ControlType::Tab) ++index;
    if (number == tab.number) return index;
  }
  return 0;
}

bool Window::visible(const Control& c) const {
  const Control* at = &c;
  for (int depth = 0; at && depth < 64; ++depth) {
    if (at->hidden) return false;
    const Control* parent = at->parent ? control(at->parent) : nullptr;
    // What stands on a tab shows only while the tab is its sheet's selected one.
    if (at != &c && at->type == ControlType::Tab && parent && parent->type == ControlType::Sheet &&
        parent->choice != tabIndex(*at)) {
      return false;
    }
    at = parent;
  }
  return true;
}

bool Window::usable(const Control& c) const {
  for (const Control* at = &c; at; at = at->parent ? control(at->parent) : nullptr) {
    if (at->disabled) return false;
  }
  return visible(c);
}

bool Window::canFocus(const Control& c) const {
  if (!isFocusableType(c.type) || !usable(c)) return false;
  if (c.type != ControlType::Radio) return true;
  // Of an option's radios only the chosen one (or the first, when none is) is a tab stop.
  const Control* chosen = nullptr;
  const Control* firstRadio = nullptr;
  for (const auto& [number, r] : controls_) {
    if (r.type != ControlType::Radio || r.parent != c.parent) continue;
    if (!firstRadio) firstRadio = &r;
    if (r.checked) chosen = &r;
  }
  return &c == (chosen ? chosen : firstRadio);
}

int Window::nextTabStop(int from, int step) const {
  if (controls_.empty()) return 0;
  std::vector<int> order;
  for (const auto& [number, c] : controls_) {
    if (canFocus(c) || number == from) order.push_back(number);
  }
  if (order.empty()) return 0;
  auto it = std::find(order.begin(), order.end(), from);
  if (it == order.end()) {
    // Not a tab stop itself: start from where it would stand.
    it = std::lower_bound(order.begin(), order.end(), from);
    if (step < 0) {
      return it == order.begin() ? order.back() : *(it - 1);
    }
    return it == order.end() ? order.front() : *it;
  }
  const std::size_t n = order.size();
  std::size_t i = static_cast<std::size_t>(it - order.begin());
  for (std::size_t tries = 0; tries < n; ++tries) {
    i = (i + n + static_cast<std::size_t>(step > 0 ? 1 : n - 1)) % n;
    if (order[i] != from) return order[i];
  }
  return from;
}

void Window::moveFocus(int to) {
  if (to == focus_) return;
  commitEdit(focus_);
  focus_ = to;
  if (to == 0) {
    backend_.focusChanged(*this, 0);
    return;
  }
  const Control& c = *control(to);
  if (!statusZones_.empty() && !c.msg.empty()) {
    statusTexts_[1] = c.msg;
    notify(0, ChangeStatusBar);
  }
  backend_.focusChanged(*this, to);
  queue(EventSelected, to);
}

void Window::select(int control) {
  if (control == 0) {
    for (const auto& [number, c] : controls_) {
      if (canFocus(c)) {
        moveFocus(number);
        return;
      }
    }
    return;
  }
  const Control* c = this->control(control);
  if (!c || !isFocusableType(c->type) || !usable(*c)) return;
  if (control == focus_) {
    queue(EventSelected, control);  // SELECT of the focused control reports it again
    return;
  }
  moveFocus(control);
}

void Window::setStateRange(int first, int last, bool Control::*flag, bool on) {
  forRange(first, last, [&](Control& c) {
    if (c.*flag == on) return;
    c.*flag = on;
    notify(c.number, ChangeState);
  });
  // The focus cannot stay on a control that can no longer take it.
  const Control* f = control(focus_);
  if (f && !usable(*f)) {
    const int next = nextTabStop(focus_, 1);
    const Control* n = control(next);
    moveFocus(n && canFocus(*n) ? next : 0);
  }
}

void Window::enable(int first, int last) { setStateRange(first, last, &Control::disabled, false); }
void Window::disable(int first, int last) { setStateRange(first, last, &Control::disabled, true); }
void Window::hide(int first, int last) { setStateRange(first, last, &Control::hidden, true); }
void Window::unhide(int first, int last) { setStateRange(first, last, &Control::hidden, false); }

void Window::post(int event, int control) {
  if (event == EventCloseWindow) {
    closePosted_ = true;
    return;
  }
  queue(event, control);
}

void Window::change(int control, const Value& value) {
  Control* c = find(control);
  if (!c) return;
  if (c->use.bound()) {
    c->use.set(value);
  } else {
    c->screenText = value.toText();
    if (c->type == ControlType::Check) c->checked = sameValue(value, c->trueValue);
  }
  displayControl(*c);
}

int Window::create(int number, ControlType type, int parent) {
  if (number == 0) number = std::max(lastField(), 0) + 1;
  if (number < 0 || controls_.count(number) || (parent != 0 && !controls_.count(parent))) return 0;
  Control& c = controls_[number];
  c.number = number;
  c.type = type;
  c.parent = parent;
  c.hidden = true;
  if (type == ControlType::Sheet) c.choice = 1;
  notify(number, ChangeCreated);
  return number;
}

void Window::destroy(int control) {
  if (!controls_.count(control)) return;
  std::vector<int> children;
  for (const auto& [number, c] : controls_) {
    if (c.parent == control) children.push_back(number);
  }
  for (int child : children) destroy(child);
  if (focus_ == control) moveFocus(0);
  if (hover_ == control) hover_ = 0;
  notify(control, ChangeDestroyed);
  controls_.erase(control);
}

void Window::setPosition(int control, int x, int y, int width, int height) {
  if (control == 0) {
    at_ = Rect{x, y, width, height};
    notify(0, ChangeGeometry);
    return;
  }
  Control* c = find(control);
  if (!c) return;
  c->at = Rect{x, y, width, height};
  notify(control, ChangeGeometry);
}

void Window::pressKey(int key) { keyBuffer_.push_back(key); }

void Window::bindUse(int control, const UseVariable& use) {
  Control* c = find(control);
  if (!c) return;
  c->use = use;
}

void Window::setListSource(int control, ListSource* source) {
  Control* c = find(control);
  if (!c || !c->hasList()) return;
  c->list.setSource(source);
  if (source) c->fromText.clear();
  notify(control, ChangeListRows | ChangeListSelection | ChangeListScroll);
}

void Window::refreshList(int control) {
  Control* c = find(control);
  if (!c || !c->hasList()) return;
  const int rows = static_cast<int>(c->list.rowCount());
  c->list.selected = std::min(c->list.selected, rows);
  c->list.scrollTo(c->list.top, c->at);
  notify(control, ChangeListRows | ChangeListSelection | ChangeListScroll);
}

void Window::setListPaged(int control, bool paged) {
  Control* c = find(control);
  if (!c || !c->hasList() || c->list.paged == paged) return;
  c->list.paged = paged;
  c->list.thumb = -1;
  c->list.scrollRequests.clear();
  notify(control, ChangeListScroll);
}

void Window::setListThumb(int control, int thumb) {
  Control* c = find(control);
  if (!c || !c->hasList()) return;
  thumb = thumb < 0 ? -1 : std::min(thumb, kThumbRange);
  if (c->list.thumb == thumb) return;
  c->list.thumb = thumb;
  notify(control, ChangeListScroll);
}

void Window::setListRowsShown(int control, int rows) {
  Control* c = find(control);
  if (!c || !c->hasList() || rows < 0 || c->list.shownRows == rows) return;
  c->list.shownRows = rows;
  if (c->list.paged) {
    queue(EventScrolled, control);
    return;
  }
  c->list.scrollTo(c->list.top, c->at);
  c->list.ensureVisible(c->list.selected, c->at);
  notify(control, ChangeListScroll);
}

std::optional<ScrollRequest> Window::takeScrollRequest(int control) {
  Control* c = find(control);
  if (!c || !c->hasList() || c->list.scrollRequests.empty()) return std::nullopt;
  const ScrollRequest request = c->list.scrollRequests.front();
  c->list.scrollRequests.pop_front();
  return request;
}

Rect Window::cellRect(int list, int row, int column) const {
  const Control* c = control(list);
  if (!c || !c->hasList()) return {};
  return c->list.cellRect(c->at, row, column);
}

int Window::createCellEditor(int list, int row, int column, const UseVariable& use,
                             std::string_view picture) {
  Control* c = find(list);
  if (!c || !c->hasList() || row < 1 || row > static_cast<int>(c->list.rowCount())) return 0;
  c->list.ensureVisible(row, c->at);
  notify(list, ChangeListScroll);
  const Rect r = c->list.cellRect(c->at, row, column);
  const int editor = create(0, ControlType::Entry, c->parent);
  Control& e = controls_[editor];
  e.use = use;
  e.picture = picture;
  e.at = r;
  e.cellList = list;
  e.cellRow = row;
  e.cellColumn = column;
  e.hidden = false;
  displayControl(e);
  notify(editor, ChangeGeometry | ChangeState);
  select(editor);
  return editor;
}

}  // namespace window
