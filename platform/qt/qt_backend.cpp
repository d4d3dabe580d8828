#include "platform/qt/qt_backend.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <stdexcept>

#include "platform/qt/boxes.h"
#include "platform/qt/icons.h"
#include "platform/qt/pixel_frame_style.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/window_frame.h"

namespace qtui {

// Sees every event of the application first: keys go to the engine before widgets and
// shortcuts, focus the user gives and mouse movement are reported.
class InputFilter : public QObject {
 public:
  explicit InputFilter(QtBackend& backend) : backend_(backend) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ShortcutOverride:
      case QEvent::KeyPress: {
        WindowFrame* frame = frameOf(watched);
        return frame && !backend_.delivering_ && frame->keyEvent(*static_cast<QKeyEvent*>(event));
      }
      case QEvent::KeyRelease:
        if (WindowFrame* frame = frameOf(watched); frame && !backend_.delivering_) {
          frame->keyReleased(*static_cast<QKeyEvent*>(event));
        }
        return false;
      case QEvent::FocusIn:
        if (WindowFrame* frame = frameOf(watched)) {
          frame->focusArrived(static_cast<QWidget*>(watched),
                              static_cast<QFocusEvent*>(event)->reason());
        }
        return false;
      case QEvent::MouseMove:
        if (WindowFrame* frame = frameOf(watched)) {
          frame->mouseAt(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        }
        return false;
      default: return false;
    }
  }

 private:
  static WindowFrame* frameOf(QObject* watched) {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget ? dynamic_cast<WindowFrame*>(widget->window()) : nullptr;
  }

  QtBackend& backend_;
};

QtBackend::QtBackend(int& argc, char** argv) {
  if (!QCoreApplication::instance()) {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    application_ = std::make_unique<QApplication>(argc, argv);
  } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    throw std::logic_error("the Qt window backend needs a QApplication");
  }
  QApplication::setQuitOnLastWindowClosed(false);
  // The platform's style, with frames kept whole at fractional screen scales.
  if (!dynamic_cast<PixelFrameStyle*>(QApplication::style()))
    QApplication::setStyle(new PixelFrameStyle(QApplication::style()->name()));
  filter_ = std::make_unique<InputFilter>(*this);
  QCoreApplication::instance()->installEventFilter(filter_.get());
}

QtBackend::~QtBackend() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(filter_.get());
  frames_.clear();
  filter_.reset();
}

WindowFrame* QtBackend::frameOf(const window::Window& w) const {
  for (const auto& [window, frame] : frames_) {
    if (window == &w) return frame.get();
  }
  return nullptr;
}

QWidget* QtBackend::topWidget() const {
  return frames_.empty() ? nullptr : frames_.back().second.get();
}

QWidget* QtBackend::windowWidget(const window::Window& w) const { return frameOf(w); }

QWidget* QtBackend::controlWidget(const window::Window& w, int control) const {
  const WindowFrame* frame = frameOf(w);
  const ControlView* view = frame ? frame->view(control) : nullptr;
  return view && !view->action() ? view->widget() : nullptr;
}

QAction* QtBackend::controlAction(const window::Window& w, int control) const {
  const WindowFrame* frame = frameOf(w);
  const ControlView* view = frame ? frame->view(control) : nullptr;
  return view ? view->action() : nullptr;
}

void QtBackend::setWaitHook(std::function<void(window::Window&)> hook) {
  waitHook_ = std::move(hook);
}

void QtBackend::interruptWait(const window::Window& w) {
  if (WindowFrame* frame = frameOf(w)) frame->interruptWait();
}

void QtBackend::showPending() {
  QWidget* below = nullptr;
  for (const auto& [window, frame] : frames_) {
    frame->showOnce(below);
    below = frame.get();
  }
}

void QtBackend::windowOpened(window::Window& w) {
  frames_.emplace_back(&w, std::make_unique<WindowFrame>(w, QApplication::font()));
}

void QtBackend::windowClosed(window::Window& w) {
  for (auto it = frames_.begin(); it != frames_.end(); ++it) {
    if (it->first != &w) continue;
    std::unique_ptr<WindowFrame> frame = std::move(it->second);
    frames_.erase(it);
    frame->detach();
    frame->hide();
    return;
  }
}

void QtBackend::windowEnabled(window::Window& w, bool enabled) {
  if (WindowFrame* frame = frameOf(w)) frame->setInputEnabled(enabled);
}

void QtBackend::controlChanged(window::Window& w, int control, unsigned changes) {
  if (WindowFrame* frame = frameOf(w)) frame->controlChanged(control, changes);
}

void QtBackend::focusChanged(window::Window& w, int control) {
  if (WindowFrame* frame = frameOf(w)) frame->showFocus(control);
}

void QtBackend::timerChanged(window::Window& w, int hundredths) {
  if (WindowFrame* frame = frameOf(w)) frame->setTimer(hundredths);
}

void QtBackend::waitForInput(window::Window& w) {
  WindowFrame* frame = frameOf(w);
  if (!frame) throw std::logic_error(w.describe() + " waits for input but is not open in Qt");
  showPending();
  if (waitHook_ && !frame->inputPending()) waitHook_(w);
  frame->waitForInput();
}

void QtBackend::deliverKey(window::Window& w, int control, int key) {
  WindowFrame* frame = frameOf(w);
  const ControlView* view = frame ? frame->view(control) : nullptr;
  QWidget* target = view ? view->focusTarget() : nullptr;
  if (!target) return;
  // Within a composed widget (an editable combo) the key goes to the part that has the focus.
  QWidget* focused = QApplication::focusWidget();
  if (focused && target->isAncestorOf(focused)) target = focused;
  const auto press = keyEventOf(key, QEvent::KeyPress);
  const auto release = keyEventOf(key, QEvent::KeyRelease);
  if (!press) return;
  delivering_ = true;
  QCoreApplication::sendEvent(target, press.get());
  QCoreApplication::sendEvent(target, release.get());
  delivering_ = false;
}

void QtBackend::processPending() {
  showPending();
  QCoreApplication::processEvents();
}

int QtBackend::messageBox(const runtime::MessageRequest& box) {
  showPending();
  return showMessageBox(box, topWidget());
}

std::optional<std::string> QtBackend::fileDialog(const window::FileDialogRequest& request) {
  showPending();
  return showFileDialog(request, topWidget());
}

int QtBackend::popupMenu(window::Window& w, const window::PopupRequest& request) {
  showPending();
  WindowFrame* frame = frameOf(w);
  if (!frame) return 0;
  const QPoint at = request.x < 0 && request.y < 0
                        ? QCursor::pos()
                        : frame->client()->mapToGlobal(
                              QPoint(frame->units().x(request.x), frame->units().y(request.y)));
  return showPopupMenu(request, at, frame);
}

void QtBackend::openMenuBar(window::Window& w) {
  if (WindowFrame* frame = frameOf(w)) frame->openMenuBar();
}

void QtBackend::applicationIconChanged(std::string_view icon) {
  QApplication::setWindowIcon(iconOf(icon));
}

}  // namespace qtui
