// A backend without a screen, for tests: a script of user actions (type into a control, press a
// key, click, choose a list row, answer the next box or dialog, resize, let the timer fire,
// move the mouse) and checkpoints that look at the windows at that point. Whenever a window's
// queue is empty the engine pulls the next action; a checkpoint runs when it is reached. A
// script that has run out, or whose next step does not fit what the program asks (a box comes
// where a click was scripted), throws ScriptError naming the window and the step.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/window/backend.h"
#include "platform/window/window.h"

namespace window {

class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HeadlessBackend : public Backend {
 public:
  using Check = std::function<void(Window&)>;

  // --- The script, in the order the user acts. Each returns *this.
  // Puts the focus into the control (as a click would) and replaces its text.
  HeadlessBackend& type(int control, std::string text);
  HeadlessBackend& key(int code);
  // A click on a button, check, radio, menu item, region, tab or prompt; on another control
  // it only puts the focus there.
  HeadlessBackend& click(int control);
  HeadlessBackend& chooseRow(int list, int row, int column = 0);
  HeadlessBackend& doubleClick(int list, int row, int column = 0);
  HeadlessBackend& rightClick(int list, int row, int column = 0);
  HeadlessBackend& headerClick(int list, int column);
  HeadlessBackend& resizeColumn(int list, int column, int width);
  HeadlessBackend& moveColumn(int list, int from, int to);
  // Scrolls a list so that row `top` is the first shown (dragging a plain list's scroll bar).
  HeadlessBackend& scroll(int list, int top);
  // Scrolls a list by a step: wheel or scroll-bar line (Lines), a scroll-bar page click
  // (Pages), or the thumb dragged to `amount` of kThumbRange (Thumb).
  HeadlessBackend& scroll(int list, ScrollStep step, int amount);
  HeadlessBackend& mouseOver(int control);  // to the middle of the control
  HeadlessBackend& mouseAt(int x, int y);
  HeadlessBackend& resize(int width, int height);
  HeadlessBackend& timer();
  HeadlessBackend& closeBox();
  // Answers of the next message box, file dialog or popup menu.
  HeadlessBackend& answer(int button);
  // The name chosen in the next file dialog; with `entersFolder` the dialog leaves the
  // current directory in the chosen file's folder, as the platform's dialog does.
  HeadlessBackend& answerFile(std::string name, bool entersFolder = false);
  HeadlessBackend& cancelDialog();
  HeadlessBackend& answerPopup(int item);
  // The next step must be taken by the window with this label (or title).
  HeadlessBackend& in(std::string window);
  // Runs `check` on the window that is waiting when the script reaches this point. During
  // long work each PendingEvents runs the next checkpoint, if one comes next.
  HeadlessBackend& checkpoint(std::string name, Check check);

  // --- What happened.
  bool finished() const { return next_ >= steps_.size(); }
  std::size_t remaining() const { return steps_.size() - next_; }
  const std::vector<runtime::MessageRequest>& boxes() const { return boxes_; }
  const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
  const std::vector<PopupRequest>& popups() const { return popups_; }
  const std::vector<std::string>& openedWindows() const { return opened_; }
  int pendingCalls() const { return pendingCalls_; }
  // The times a window's menu bar was opened from the keyboard; a menu item is then chosen
  // with click.
  int menuBarOpenings() const { return menuBarOpenings_; }
  int timerOf(const Window& w) const;

  // --- Backend.
  void windowOpened(Window& w) override;
  void windowClosed(Window& w) override;
  void windowEnabled(Window& w, bool enabled) override;
  void controlChanged(Window& w, int control, unsigned changes) override;
  void focusChanged(Window& w, int control) override;
  void timerChanged(Window& w, int hundredths) override;
  void waitForInput(Window& w) override;
  void deliverKey(Window& w, int control, int key) override;
  void processPending() override;
  int messageBox(const runtime::MessageRequest& box) override;
  std::optional<std::string> fileDialog(const FileDialogRequest& request) override;
  int popupMenu(Window& w, const PopupRequest& request) override;
  void applicationIconChanged(std::string_view icon) override;
  void openMenuBar(Window& w) override;

 private:
  enum class Kind {
    Type,
    Key,
    Click,
    ChooseRow,
    DoubleClick,
    RightClick,
    HeaderClick,
    ResizeColumn,
    MoveColumn,
    Scroll,
    ScrollBy,
    MouseOver,
    MouseAt,
    Resize,
    Timer,
    CloseBox,
    Answer,
    AnswerFile,
    CancelDialog,
    AnswerPopup,
    Checkpoint,
  };
  struct Step {
    Kind kind;
    int control = 0;
    int a = 0;
    int b = 0;
    std::string text;
    std::string window;  // expected window, empty = any
    Check check;
  };

  HeadlessBackend& add(Step step);
  static std::string describe(const Step& s);
  std::string where() const;
  // Runs the checkpoints that come next (at most `limit`); `w` null = the current window.
  void runCheckpoints(Window* w, std::size_t limit = SIZE_MAX);
  Step& nextAnswer(Kind kind, const std::string& what, Window* w);
  void perform(Window& w, const Step& s);
  void platformKey(Window& w, int key);
  const Control& target(Window& w, const Step& s) const;

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  std::vector<runtime::MessageRequest> boxes_;
  std::vector<FileDialogRequest> fileDialogs_;
  std::vector<PopupRequest> popups_;
  std::vector<std::string> opened_;
  std::vector<std::pair<int, int>> timers_;  // window id, hundredths
  int pendingCalls_ = 0;
  int menuBarOpenings_ = 0;
};

}  // namespace window
