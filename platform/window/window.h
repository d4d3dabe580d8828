// An open window: its controls and their state, the event queue and the ACCEPT loop, focus,
// alert keys and key buffer. Statements (DISPLAY, SELECT, POST ...) and properties act on it;
// the backend reports the user's input through the input calls.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/backend.h"
#include "platform/window/control.h"
#include "platform/window/events.h"
#include "platform/window/window_definition.h"

namespace window {

class Window {
 public:
  Window(const WindowDefinition& definition, Backend& backend, int id);
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // --- Identity and state, for backends and checkpoints.
  const std::string& key() const { return key_; }
  const std::string& label() const { return label_; }
  const std::string& title() const { return title_; }
  const std::string& icon() const { return icon_; }
  const Rect& at() const { return at_; }
  bool systemMenu() const { return systemMenu_; }
  bool closeBox() const { return closeBox_; }
  bool resizable() const { return resizable_; }
  int timer() const { return timer_; }
  bool enabled() const { return enabled_; }
  const std::vector<int>& statusZones() const { return statusZones_; }
  std::string statusText(int zone) const;
  int id() const { return id_; }
  // The control of that number, nullptr when there is none.
  const Control* control(int number) const;
  const std::map<int, Control>& controls() const { return controls_; }
  int focus() const { return focus_; }
  // A short description for messages: the title and label.
  std::string describe() const;

  // --- The ACCEPT loop. Answers true with the next event made current; asks the backend for
  // input whenever the queue is empty. After a CloseWindow event (unless cancelClose was
  // called while it was current) answers false: the loop ends.
  bool accept();
  // Called while the current event is CloseWindow: the window stays open.
  void cancelClose();
  bool ended() const { return ended_; }

  // --- The current event (EVENT, FIELD, KEYCODE, ACCEPTED, MOUSEX, MOUSEY).
  const EventRecord& current() const { return current_; }
  int accepted() const { return current_.event == EventAccepted ? current_.control : 0; }
  // The selected row of a list, drop or combo, the tab of a sheet; 0 otherwise. Control 0:
  // the control of the current event.
  int choice(int control = 0) const;
  int firstField() const;
  int lastField() const;
  int mouseX() const { return mouseX_; }
  int mouseY() const { return mouseY_; }

  // --- Statements. Ranges take first and last control numbers; last 0 = first alone, first 0
  // = every control.
  void display(int first = 0, int last = 0);
  // Copies edited screen texts back into their variables, without events.
  void update(int first = 0, int last = 0);
  // Moves the focus to a control (0 = the first that can take it); a control that cannot
  // take the focus is ignored. Queues Selected.
  void select(int control = 0);
  void enable(int first, int last = 0);
  void disable(int first, int last = 0);
  void hide(int first, int last = 0);
  void unhide(int first, int last = 0);
  // Queues an event for a control; CloseWindow makes the window close after the current event.
  void post(int event, int control = 0);
  // Sets the control's variable (or its text when it has none) and redraws it.
  void change(int control, const Value& value);
  // Creates a control at run time; number 0 takes the next free number above the last
  // control. Answers the number, 0 when that number is taken or the parent does not exist.
  // The new control is hidden until unhidden.
  int create(int number, ControlType type, int parent = 0);
  // Removes a control created at run time (or any control); its children go with it.
  void destroy(int control);
  void setPosition(int control, int x, int y, int width, int height);
  // Puts a key into the key buffer as if typed; it acts when the queue is next empty.
  void pressKey(int key);
  // Binds (or replaces) the variable a control shows.
  void bindUse(int control, const UseVariable& use);
  // The rows of a list, drop or combo; `source` must outlive its use by the window.
  void setListSource(int control, ListSource* source);
  // Re-reads a list's rows after its source changed (selection kept within the rows).
  void refreshList(int control);
  // Makes a list paged by its owner, or not (ListView::paged); pending requests are dropped.
  void setListPaged(int control, bool paged);
  // The owner of a paged list tells where its page stands: 0 to kThumbRange, -1 unknown.
  void setListThumb(int control, int thumb);
  // The oldest scroll request of a paged list not yet taken; nullopt when there is none.
  std::optional<ScrollRequest> takeScrollRequest(int control);
  // The backend tells how many rows of a list its screen shows wholly (ListView::shownRows).
  // The first row shown and the selected one stay on the list's page; the owner of a paged
  // list gets EventScrolled, to fit its page to the new count.
  void setListRowsShown(int control, int rows);

  // --- Properties by number. `target` 0 is the window. Texts throughout, numbers as text.
  std::string property(int target, int prop, int index = 0) const;
  // Answers false when the control does not exist, the property is read only, or the value
  // is invalid for it (a list format that does not parse).
  bool setProperty(int target, int prop, std::string_view value, int index = 0);
  int propertyNumber(int target, int prop, int index = 0) const;
  bool setProperty(int target, int prop, int value, int index = 0);

  // --- Lists: the rectangle of a cell (for an editor over it) and an ENTRY created there.
  Rect cellRect(int list, int row, int column) const;
  // Creates an ENTRY over the cell, bound to `use`, shown and given the focus. Answers its
  // number (0 when the list or row does not exist).
  int createCellEditor(int list, int row, int column, const UseVariable& use,
                       std::string_view picture);

  // --- Input from the backend: what the user did. Each queues the events it causes.
  // A key pressed in the focused control. Answers true when the engine took it (alerted key,
  // Tab, Shift+Tab, Alt shortcut, Enter); false leaves it to the platform.
  bool keyPressed(int key);
  // A key as typed, from the key buffer or a synthetic keystroke: the engine's handling, or
  // the backend's platform handling when the engine does not take it.
  void typeKey(int key);
  // The user put the focus on a control (clicked into it).
  void focusTo(int control);
  // The user changed a control's text; it is copied back when accepted.
  void textEdited(int control, std::string_view text);
  // A click on a button, menu item, check, radio, region, tab or prompt.
  void clicked(int control);
  // A list row chosen by a click (keyCode MouseLeft) or the platform's arrow keys; `column`
  // is the clicked column (0 = unknown).
  void listSelect(int control, int row, int keyCode = 1, int column = 0);
  // A list row chosen by double click (MouseLeft2) or Enter: Accepted.
  void listActivate(int control, int row, int keyCode = 5);
  // The right button released over a list row: the popup click (key 130).
  void listPopupClick(int control, int row, int column = 0);
  void listHeaderClicked(int control, int column);
  void listColumnResized(int control, int column, int width);
  void listColumnMoved(int control, int from, int to);
  void listScrolled(int control, int top);
  // The user scrolled a list by a step (wheel, scroll bar line or page, thumb drag). A paged
  // list keeps the request for its owner and queues EventScrolled; another list moves its
  // first row (listScrolled).
  void listScrollRequested(int control, ScrollRequest request);
  // The mouse is at (x, y) in dialog units of the client area.
  void mouseMoved(int x, int y);
  void resized(int width, int height);
  // The user moved the window to (x, y), dialog units from the top left of the screen's work
  // area; kept as its XPos and YPos, without an event.
  void moved(int x, int y);
  void timerTick();
  // The close box or the system menu's Close.
  void closeRequested();

  // --- Engine housekeeping (window stack).
  void setEnabled(bool enabled);
  // Opens the window for the backend and queues OpenWindow; called once by OPEN.
  void opened();

 private:
  Control* find(int number);
  void notify(int control, unsigned changes);
  void queue(int event, int control, int keyCode = 0);
  void displayControl(Control& c);
  bool copyBack(Control& c);
  void commitEdit(int control);
  bool canFocus(const Control& c) const;
  bool visible(const Control& c) const;
  bool usable(const Control& c) const;
  int nextTabStop(int from, int step) const;
  void moveFocus(int to);
  bool handleAccelerator(char letter);
  // True when a menu of the menu bar can be used.
  bool hasMenuBar() const;
  void checkClicked(Control& c);
  void radioClicked(Control& c);
  void tabClicked(Control& c);
  void setStateRange(int first, int last, bool Control::*flag, bool on);
  template <class F>
  void forRange(int first, int last, F&& f);
  int hitTest(int x, int y) const;
  bool setWindowProperty(int prop, std::string_view value, int index);
  std::string windowProperty(int prop, int index) const;
  bool setListProperty(Control& c, int prop, std::string_view value, int index);
  bool listProperty(const Control& c, int prop, int index, std::string& out) const;
  int tabIndex(const Control& tab) const;

  Backend& backend_;
  int id_;
  std::string key_;
  std::string label_;
  std::string title_;
  std::string icon_;
  Rect at_;
  bool systemMenu_;
  bool closeBox_;
  bool resizable_;
  int timer_;
  std::vector<int> statusZones_;
  std::map<int, std::string> statusTexts_;
  std::map<int, Control> controls_;
  std::array<int, 256> alrt_{};  // window-wide alert keys
  std::map<std::pair<int, int>, std::string> extra_;
  int buffer_ = 0;
  int acceptAll_ = 0;
  std::string cursor_;

  std::deque<EventRecord> queue_;
  std::deque<int> keyBuffer_;
  EventRecord current_;
  bool closePosted_ = false;
  bool closing_ = false;
  bool ended_ = false;
  bool enabled_ = true;
  bool initialFocusDone_ = false;
  int focus_ = 0;
  int hover_ = 0;
  int mouseX_ = 0;
  int mouseY_ = 0;
};

}  // namespace window
