#include "platform/window/headless_backend.h"

#include <algorithm>
#include <filesystem>

#include "platform/window/engine.h"
#include "platform/window/key_codes.h"

namespace window {

HeadlessBackend& HeadlessBackend::add(Step step) {
  steps_.push_back(std::move(step));
  return *this;
}

HeadlessBackend& HeadlessBackend::type(int control, std::string text) {
  return add({Kind::Type, control, 0, 0, std::move(text), {}, {}});
}
HeadlessBackend& HeadlessBackend::key(int code) { return add({Kind::Key, 0, code, 0, {}, {}, {}}); }
HeadlessBackend& HeadlessBackend::click(int control) {
  return add({Kind::Click, control, 0, 0, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::chooseRow(int list, int row, int column) {
  return add({Kind::ChooseRow, list, row, column, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::doubleClick(int list, int row, int column) {
  return add({Kind::DoubleClick, list, row, column, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::rightClick(int list, int row, int column) {
  return add({Kind::RightClick, list, row, column, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::headerClick(int list, int column) {
  return add({Kind::HeaderClick, list, column, 0, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::resizeColumn(int list, int column, int width) {
  return add({Kind::ResizeColumn, list, column, width, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::moveColumn(int list, int from, int to) {
  return add({Kind::MoveColumn, list, from, to, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::scroll(int list, int top) {
  return add({Kind::Scroll, list, top, 0, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::scroll(int list, ScrollStep step, int amount) {
  return add({Kind::ScrollBy, list, static_cast<int>(step), amount, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::mouseOver(int control) {
  return add({Kind::MouseOver, control, 0, 0, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::mouseAt(int x, int y) {
  return add({Kind::MouseAt, 0, x, y, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::resize(int width, int height) {
  return add({Kind::Resize, 0, width, height, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::timer() { return add({Kind::Timer, 0, 0, 0, {}, {}, {}}); }
HeadlessBackend& HeadlessBackend::closeBox() { return add({Kind::CloseBox, 0, 0, 0, {}, {}, {}}); }
HeadlessBackend& HeadlessBackend::answer(int button) {
  return add({Kind::Answer, 0, button, 0, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::answerFile(std::string name, bool entersFolder) {
  return add({Kind::AnswerFile, 0, entersFolder ? 1 : 0, 0, std::move(name), {}, {}});
}
HeadlessBackend& HeadlessBackend::cancelDialog() {
  return add({Kind::CancelDialog, 0, 0, 0, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::answerPopup(int item) {
  return add({Kind::AnswerPopup, 0, item, 0, {}, {}, {}});
}
HeadlessBackend& HeadlessBackend::in(std::string window) {
  return add({Kind::Checkpoint, 0, 0, 0, {}, std::move(window), {}});
}
HeadlessBackend& HeadlessBackend::checkpoint(std::string name, Check check) {
  return add({Kind::Checkpoint, 0, 0, 0, std::move(name), {}, std::move(check)});
}

std::string HeadlessBackend::describe(const Step& s) {
  const std::string c = std::to_string(s.control);
  switch (s.kind) {
    case Kind::Type: return "type \"" + s.text + "\" into " + c;
    case Kind::Key: return "key " + std::to_string(s.a);
    case Kind::Click: return "click " + c;
    case Kind::ChooseRow: return "choose row " + std::to_string(s.a) + " of " + c;
    case Kind::DoubleClick: return "double-click row " + std::to_string(s.a) + " of " + c;
    case Kind::RightClick: return "right-click row " + std::to_string(s.a) + " of " + c;
    case Kind::HeaderClick: return "click heading " + std::to_string(s.a) + " of " + c;
    case Kind::ResizeColumn: return "resize column " + std::to_string(s.a) + " of " + c;
    case Kind::MoveColumn: return "move column " + std::to_string(s.a) + " of " + c;
    case Kind::Scroll: return "scroll " + c + " to row " + std::to_string(s.a);
    case Kind::ScrollBy: {
      static const char* const steps[] = {"lines", "pages", "thumb at"};
      return "scroll " + c + " by " + steps[s.a] + " " + std::to_string(s.b);
    }
    case Kind::MouseOver: return "mouse over " + c;
    case Kind::MouseAt: return "mouse at " + std::to_string(s.a) + "," + std::to_string(s.b);
    case Kind::Resize: return "resize to " + std::to_string(s.a) + "x" + std::to_string(s.b);
    case Kind::Timer: return "timer";
    case Kind::CloseBox: return "close box";
    case Kind::Answer: return "answer button " + std::to_string(s.a);
    case Kind::AnswerFile: return "choose file \"" + s.text + "\"";
    case Kind::CancelDialog: return "cancel the dialog";
    case Kind::AnswerPopup: return "choose popup item " + std::to_string(s.a);
    case Kind::Checkpoint:
      return s.window.empty() ? "checkpoint \"" + s.text + "\"" : "expect window " + s.window;
  }
  return "?";
}

std::string HeadlessBackend::where() const {
  if (next_ == 0) return "before the first step";
  return "after step " + std::to_string(next_) + " (" + describe(steps_[next_ - 1]) + ")";
}

void HeadlessBackend::runCheckpoints(Window* w, std::size_t limit) {
  if (!w) w = currentWindow();
  for (std::size_t run = 0;
       run < limit && next_ < steps_.size() && steps_[next_].kind == Kind::Checkpoint; ++run) {
    // The step counts as taken before its check runs: a check that shows a box or asks for
    // input moves on to the steps after it rather than running itself again.
    const std::size_t number = ++next_;
    const Step& s = steps_[number - 1];
    if (!s.window.empty()) {
      if (!w || (w->label() != s.window && w->title() != s.window)) {
        throw ScriptError("step " + std::to_string(number) + " expects window " + s.window +
                          ", but " + (w ? w->describe() : std::string("no window")) +
                          " is the one asking");
      }
    } else if (s.check) {
      if (!w) throw ScriptError("checkpoint \"" + s.text + "\" reached with no window open");
      const Check check = s.check;  // steps_ is not changed while a script runs, but be safe
      check(*w);
    }
  }
}

HeadlessBackend::Step& HeadlessBackend::nextAnswer(Kind kind, const std::string& what, Window* w) {
  runCheckpoints(w);
  if (next_ >= steps_.size()) {
    throw ScriptError(what + " shown, but the script has ended " + where());
  }
  Step& s = steps_[next_];
  const bool fits = s.kind == kind || (kind == Kind::AnswerFile && s.kind == Kind::CancelDialog);
  if (!fits) {
    throw ScriptError(what + " shown, but step " + std::to_string(next_ + 1) + " is " +
                      describe(s));
  }
  ++next_;
  return s;
}

void HeadlessBackend::waitForInput(Window& w) {
  runCheckpoints(&w);
  if (next_ >= steps_.size()) {
    throw ScriptError(w.describe() + " waits for a user action, but the script has ended " +
                      where());
  }
  const Step& s = steps_[next_];
  switch (s.kind) {
    case Kind::Answer:
    case Kind::AnswerFile:
    case Kind::CancelDialog:
    case Kind::AnswerPopup:
      throw ScriptError(w.describe() + " waits for a user action, but step " +
                        std::to_string(next_ + 1) + " is " + describe(s) +
                        " and no box or dialog is shown");
    default: break;
  }
  ++next_;
  perform(w, s);
}

const Control& HeadlessBackend::target(Window& w, const Step& s) const {
  const Control* c = w.control(s.control);
  if (!c) {
    throw ScriptError("step " + std::to_string(next_) + " (" + describe(s) + "): " + w.describe() +
                      " has no control " + std::to_string(s.control));
  }
  return *c;
}

void HeadlessBackend::perform(Window& w, const Step& s) {
  const auto listRow = [&](const Control& c, int row) {
    if (!c.hasList() || row < 1 || row > static_cast<int>(c.list.rowCount())) {
      throw ScriptError("step " + std::to_string(next_) + " (" + describe(s) + "): control " +
                        std::to_string(c.number) + " of " + w.describe() + " has " +
                        std::to_string(c.list.rowCount()) + " rows");
    }
  };
  switch (s.kind) {
    case Kind::Type: {
      const Control& c = target(w, s);
      if (w.focus() != s.control) w.focusTo(s.control);
      if (w.focus() != s.control) {
        throw ScriptError("step " + std::to_string(next_) + " (" + describe(s) + "): control " +
                          std::to_string(c.number) + " of " + w.describe() +
                          " cannot take the focus");
      }
      w.textEdited(s.control, s.text);
      return;
    }
    case Kind::Key:
      if (!w.keyPressed(s.a)) platformKey(w, s.a);
      return;
    case Kind::Click:
      target(w, s);
      w.clicked(s.control);
      return;
    case Kind::ChooseRow:
      listRow(target(w, s), s.a);
      w.listSelect(s.control, s.a, MouseLeft, s.b);
      return;
    case Kind::DoubleClick:
      listRow(target(w, s), s.a);
      w.listSelect(s.control, s.a, MouseLeft, s.b);
      w.listActivate(s.control, s.a, MouseLeft2);
      return;
    case Kind::RightClick:
      listRow(target(w, s), s.a);
      w.listPopupClick(s.control, s.a, s.b);
      return;
    case Kind::HeaderClick:
      target(w, s);
      w.listHeaderClicked(s.control, s.a);
      return;
    case Kind::ResizeColumn:
      target(w, s);
      w.listColumnResized(s.control, s.a, s.b);
      return;
    case Kind::MoveColumn:
      target(w, s);
      w.listColumnMoved(s.control, s.a, s.b);
      return;
    case Kind::Scroll:
      target(w, s);
      w.listScrolled(s.control, s.a);
      return;
    case Kind::ScrollBy:
      target(w, s);
      w.listScrollRequested(s.control, {static_cast<ScrollStep>(s.a), s.b});
      return;
    case Kind::MouseOver: {
      const Rect r = target(w, s).at;
      w.mouseMoved(r.x + r.width / 2, r.y + r.height / 2);
      return;
    }
    case Kind::MouseAt: w.mouseMoved(s.a, s.b); return;
    case Kind::Resize: w.resized(s.a, s.b); return;
    case Kind::Timer:
      if (w.timer() <= 0) {
        throw ScriptError("step " + std::to_string(next_) + " (timer): " + w.describe() +
                          " has no timer");
      }
      w.timerTick();
      return;
    case Kind::CloseBox: w.closeRequested(); return;
    default: return;
  }
}

void HeadlessBackend::platformKey(Window& w, int key) {
  const Control* c = w.control(w.focus());
  if (!c) return;
  switch (c->type) {
    case ControlType::List:
    case ControlType::Drop: {
      const int rows = static_cast<int>(c->list.rowCount());
      if (rows == 0) return;
      const int page = c->list.visibleRows(c->at);
      int row = c->list.selected;
      switch (key) {
        case UpKey: row = std::max(1, row - 1); break;
        case DownKey: row = std::min(rows, row + 1); break;
        case PgUpKey: row = std::max(1, row - page); break;
        case PgDnKey: row = std::min(rows, row + page); break;
        case HomeKey: row = 1; break;
        case EndKey: row = rows; break;
        default: return;
      }
      if (row != c->list.selected) w.listSelect(c->number, row, key);
      return;
    }
    case ControlType::Radio: {
      if (key != UpKey && key != DownKey && key != LeftKey && key != RightKey) return;
      std::vector<int> group;
      for (const auto& [n, r] : w.controls()) {
        if (r.type == ControlType::Radio && r.parent == c->parent && !r.disabled)
          group.push_back(n);
      }
      auto it = std::find(group.begin(), group.end(), c->number);
      const bool back = key == UpKey || key == LeftKey;
      if (back && it != group.begin()) w.clicked(*(it - 1));
      if (!back && it + 1 != group.end()) w.clicked(*(it + 1));
      return;
    }
    case ControlType::Check:
    case ControlType::Button:
      if (key == SpaceKey) w.clicked(c->number);
      return;
    case ControlType::Text:
      if (!c->single && (key == EnterKey || key == ShiftKey + EnterKey)) {
        w.textEdited(c->number, c->screenText + "\r\n");
      }
      return;
    default: return;
  }
}

void HeadlessBackend::deliverKey(Window& w, int, int key) { platformKey(w, key); }

void HeadlessBackend::windowOpened(Window& w) { opened_.push_back(w.label()); }
void HeadlessBackend::windowClosed(Window& w) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const auto& t) { return t.first == w.id(); }),
                timers_.end());
}
void HeadlessBackend::windowEnabled(Window&, bool) {}
void HeadlessBackend::controlChanged(Window&, int, unsigned) {}
void HeadlessBackend::focusChanged(Window&, int) {}

void HeadlessBackend::timerChanged(Window& w, int hundredths) {
  for (auto& t : timers_) {
    if (t.first == w.id()) {
      t.second = hundredths;
      return;
    }
  }
  timers_.emplace_back(w.id(), hundredths);
}

int HeadlessBackend::timerOf(const Window& w) const {
  for (const auto& t : timers_) {
    if (t.first == w.id()) return t.second;
  }
  return 0;
}

void HeadlessBackend::processPending() {
  ++pendingCalls_;
  // Long work lets the script look at the windows in between, one checkpoint at a time.
  runCheckpoints(nullptr, 1);
}

int HeadlessBackend::messageBox(const runtime::MessageRequest& box) {
  boxes_.push_back(box);
  return nextAnswer(Kind::Answer, "message box \"" + box.caption + "\" (\"" + box.text + "\")",
                    nullptr)
      .a;
}

std::optional<std::string> HeadlessBackend::fileDialog(const FileDialogRequest& request) {
  fileDialogs_.push_back(request);
  const Step& s = nextAnswer(Kind::AnswerFile, "file dialog \"" + request.title + "\"", nullptr);
  if (s.kind == Kind::CancelDialog) return std::nullopt;
  if (s.a != 0) {
    const std::filesystem::path folder = std::filesystem::path(s.text).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::current_path(folder, ec);
  }
  return s.text;
}

int HeadlessBackend::popupMenu(Window& w, const PopupRequest& request) {
  popups_.push_back(request);
  return nextAnswer(Kind::AnswerPopup, "popup menu over " + w.describe(), &w).a;
}

void HeadlessBackend::applicationIconChanged(std::string_view) {}

void HeadlessBackend::openMenuBar(Window&) { ++menuBarOpenings_; }

}  // namespace window
