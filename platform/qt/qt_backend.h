// The Qt 6 backend of the window engine: every engine window is a top-level Qt window with
// native widgets for its controls; what the user does there becomes the engine's input.
//
//   int main(int argc, char** argv) {
//     qtui::QtBackend backend(argc, argv);
//     window::setBackend(&backend);
//     ...  // OPEN, ACCEPT, CLOSE as on any backend
//   }
//
// All windows live on the thread that made the backend (Qt's GUI thread).
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/window/backend.h"
#include "platform/window/window.h"

class QAction;
class QApplication;
class QWidget;

namespace qtui {

class InputFilter;
class WindowFrame;

class QtBackend final : public window::Backend {
 public:
  // Uses the running QApplication, or starts one from the program's arguments (`argc` must
  // outlive the backend). Throws std::logic_error when a Qt application without widgets runs.
  QtBackend(int& argc, char** argv);
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  // The top-level widget of an open window; nullptr when the window is not open here.
  QWidget* windowWidget(const window::Window& w) const;
  // The widget of a control of an open window; nullptr for none, and for menus and items.
  QWidget* controlWidget(const window::Window& w, int control) const;
  // The action of a menu or menu item of an open window; nullptr for other controls.
  QAction* controlAction(const window::Window& w, int control) const;
  // Runs each time a window starts waiting for the user, just before it waits (after the
  // window is shown; not when input came in since its last wait). Tests drive windows from
  // here; an exception ends the wait with it.
  void setWaitHook(std::function<void(window::Window&)> hook);
  // Ends the window's current (or next) wait as if the user had done something; the engine
  // looks at its queue and asks again.
  void interruptWait(const window::Window& w);

  void windowOpened(window::Window& w) override;
  void windowClosed(window::Window& w) override;
  void windowEnabled(window::Window& w, bool enabled) override;
  void controlChanged(window::Window& w, int control, unsigned changes) override;
  void focusChanged(window::Window& w, int control) override;
  void timerChanged(window::Window& w, int hundredths) override;
  void waitForInput(window::Window& w) override;
  void deliverKey(window::Window& w, int control, int key) override;
  void processPending() override;
  int messageBox(const runtime::MessageRequest& box) override;
  std::optional<std::string> fileDialog(const window::FileDialogRequest& request) override;
  int popupMenu(window::Window& w, const window::PopupRequest& request) override;
  void applicationIconChanged(std::string_view icon) override;
  void openMenuBar(window::Window& w) override;

 private:
  friend class InputFilter;
  WindowFrame* frameOf(const window::Window& w) const;
  QWidget* topWidget() const;
  void showPending();

  std::unique_ptr<QApplication> application_;  // when the backend started it
  std::unique_ptr<InputFilter> filter_;
  // Open windows, lowest first.
  std::vector<std::pair<const window::Window*, std::unique_ptr<WindowFrame>>> frames_;
  std::function<void(window::Window&)> waitHook_;
  bool delivering_ = false;  // a synthetic key is on its way to a widget
};

}  // namespace qtui
