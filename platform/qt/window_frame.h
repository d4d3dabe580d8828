// The top-level Qt window of one engine window: its client area with the controls placed by
// their dialog-unit positions, menu bar, toolbar and status bar, its timer, and the wait for
// input that the engine's ACCEPT loop makes (one QEventLoop per wait, so that windows opened
// from an event handler nest).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/qt/control_view.h"
#include "platform/qt/dialog_units.h"
#include "platform/window/window.h"

class QEventLoop;
class QKeyEvent;
class QLabel;

namespace qtui {

class ClientArea;

class WindowFrame : public QMainWindow {
 public:
  WindowFrame(window::Window& w, const QFont& font);
  ~WindowFrame() override;

  // The engine window; nullptr once detached.
  window::Window* engineWindow() const { return window_; }
  const DialogUnits& units() const { return units_; }
  QWidget* client() const;
  ControlView* view(int control) const;
  // The control whose widget holds `widget` (0 = none).
  int controlOf(const QWidget* widget) const;

  // --- What the engine tells the backend.
  void controlChanged(int control, unsigned changes);
  void showFocus(int control);
  void setTimer(int hundredths);
  void setInputEnabled(bool enabled);
  // Shows the window the first time it is waited on or drawn, over `below` when given.
  void showOnce(QWidget* below);
  // Runs the window's event loop until the user has done something in it; returns at once
  // when something was reported since the last wait.
  void waitForInput();
  // True when something was reported since the last wait.
  bool inputPending() const { return woken_; }
  // Ends the current wait, or the next one when none runs.
  void interruptWait();
  // The window is closing: nothing from Qt reaches the engine any more.
  void detach();

  // --- To the engine. Runs `input` on the engine window and ends the current wait, unless
  // the frame is showing the engine's state (signals of those updates are not the user's).
  void report(const std::function<void(window::Window&)>& input);
  bool showingState() const { return showing_ > 0; }
  // Marks a block that shows engine state on widgets.
  class ShowingState {
   public:
    explicit ShowingState(WindowFrame& f) : f_(f) { ++f_.showing_; }
    ~ShowingState() { --f_.showing_; }
    ShowingState(const ShowingState&) = delete;
    ShowingState& operator=(const ShowingState&) = delete;

   private:
    WindowFrame& f_;
  };

  // --- From the application-wide input filter. Answers true when the key was the engine's.
  bool keyEvent(QKeyEvent& event);
  // A key let go: Alt let go with no other key since it went down is the engine's Alt alone.
  void keyReleased(const QKeyEvent& event);
  void focusArrived(const QWidget* widget, Qt::FocusReason reason);
  void mouseAt(const QPoint& globalPos);
  void mouseLeft();
  void clientResized();

  // --- For the backend.
  // Opens the first usable menu of the menu bar, with the keyboard in it.
  void openMenuBar();

  // --- For the control views.
  // Places a control's widget (and, for containers, the widgets on it). `depth` counts the
  // containers above, so that a loop of parents cannot recurse without end.
  void place(int control, int depth = 0);
  void placeChildrenOf(int container, int depth = 0);
  // Where an editor of a list's cell goes on `container`: over the cell as the list draws it;
  // nullopt for another control, or when the cell is not shown.
  std::optional<QRect> placeOfCell(const window::Control& c, const QWidget* container) const;
  // The control after `control` in number order that can take the focus (a prompt's buddy).
  int nextFocusable(int control) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Where the user puts the window is kept as its place, so that a window that stores its
  // place finds it there at its next start.
  void moveEvent(QMoveEvent* event) override;

 private:
  void build();
  void buildStatusBar();
  void createView(const window::Control& c);
  void destroyView(int control);
  void applyWindow(unsigned changes);
  void applyCommon(ControlView& v, const window::Control& c, unsigned changes);
  void applyState(int control, int depth = 0);
  void applyLook(ControlView& v, const window::Control& c);
  void refreshStatusBar();
  void syncFocus();
  // Lets the style draw its focus frame on the control that has the focus.
  void markFocus();
  QWidget* containerFor(const window::Control& c, QPoint* origin) const;
  // True when a container above the control, up to one whose widget holds the control's, has
  // `state` (hidden, disabled) set.
  bool setByContainer(const window::Control& c, bool window::Control::*state) const;
  // Puts the window at a position in dialog units from the screen's top left corner.
  void moveTo(const window::Rect& at);
  // Moves the window, as far as it must, so that it lies whole on a screen.
  void keepOnScreen();
  // Scrolls the client area of a window limited to the screen so that `target` is in view.
  void scrollIntoView(QWidget* target);
  // Limits a window larger than the screen's work area `room` to it: its client area scrolls.
  void fitScreen(const QSize& room);
  // The top left corner of the work area of the window's screen.
  QPoint screenOrigin() const;

  window::Window* window_;
  DialogUnits units_;
  ClientArea* client_;
  std::map<int, std::unique_ptr<ControlView>> views_;
  std::vector<QLabel*> zones_;
  QTimer timer_;
  int showing_ = 0;
  bool shown_ = false;
  bool placeUnchecked_ = false;  // shown at a kept place before the desktop's frame was known
  bool woken_ = false;
  QEventLoop* loop_ = nullptr;
  // The engine's answer for a key, given when Qt asked whether the key is a shortcut, kept
  // for the key press that follows.
  struct KeyDecision {
    int key;
    Qt::KeyboardModifiers modifiers;
    bool taken;
  };
  std::optional<KeyDecision> decided_;
  bool altAlone_ = false;  // Alt is down and no other key came since
  int mouseX_ = -1;
  int mouseY_ = -1;
};

}  // namespace qtui
