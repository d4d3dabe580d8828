#include "platform/qt/window_frame.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMoveEvent>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QWindow>
#include <algorithm>
#include <cassert>

#include "platform/qt/icons.h"
#include "platform/qt/look.h"
#include "platform/qt/qt_keys.h"
#include "platform/window/key_codes.h"
#include "platform/window/properties.h"

namespace qtui {

using window::Control;
using window::ControlType;

namespace {

constexpr char kControlProperty[] = "gdControl";
constexpr unsigned kEverything = ~(window::ChangeCreated | window::ChangeDestroyed);
constexpr int kMaxDepth = 64;  // parent chains are short; this guards against a cycle

bool isBackground(ControlType t) {
  return t == ControlType::Group || t == ControlType::Option || t == ControlType::Panel ||
         t == ControlType::Box || t == ControlType::Sheet;
}

}  // namespace

// The client area: the controls' parent, whose size is the window's size in dialog units.
class ClientArea : public QWidget {
 public:
  explicit ClientArea(WindowFrame& frame) : QWidget(&frame), frame_(frame) {
    setMouseTracking(true);
  }
  void setHint(const QSize& size) {
    hint_ = size;
    updateGeometry();
  }
  QSize sizeHint() const override { return hint_; }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    frame_.clientResized();
  }
  void leaveEvent(QEvent* event) override {
    QWidget::leaveEvent(event);
    frame_.mouseLeft();
  }

 private:
  WindowFrame& frame_;
  QSize hint_;
};

WindowFrame::WindowFrame(window::Window& w, const QFont& font)
    : window_(&w), units_(font), client_(new ClientArea(*this)) {
  setCentralWidget(client_);
  markFocus();
  Qt::WindowFlags flags =
      Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint;
  if (w.systemMenu()) flags |= Qt::WindowSystemMenuHint;
  if (w.closeBox()) flags |= Qt::WindowCloseButtonHint;
  if (w.resizable()) flags |= Qt::WindowMaximizeButtonHint;
  setWindowFlags(flags);
  timer_.callOnTimeout([this] { report([](window::Window& win) { win.timerTick(); }); });
  build();
}

WindowFrame::~WindowFrame() {
  detach();
  views_.clear();
}

QWidget* WindowFrame::client() const { return client_; }

ControlView* WindowFrame::view(int control) const {
  const auto it = views_.find(control);
  return it == views_.end() ? nullptr : it->second.get();
}

int WindowFrame::controlOf(const QWidget* widget) const {
  for (const QWidget* w = widget; w && w != this; w = w->parentWidget()) {
    const QVariant number = w->property(kControlProperty);
    if (number.isValid()) return number.toInt();
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Building and showing.

void WindowFrame::build() {
  ShowingState showing(*this);
  applyWindow(kEverything);
  buildStatusBar();
  for (const auto& [number, c] : window_->controls()) createView(c);
  for (const auto& [number, c] : window_->controls()) views_.at(number)->attach(c);
  for (const auto& [number, c] : window_->controls()) {
    ControlView& v = *views_.at(number);
    applyCommon(v, c, kEverything);
    v.apply(c, kEverything);
  }
  // Containers lie under the controls on them, the lowest number lowest; regions lie on top.
  for (auto it = views_.rbegin(); it != views_.rend(); ++it) {
    const Control* c = window_->control(it->first);
    if (c && isBackground(c->type) && it->second->widget()) it->second->widget()->lower();
  }
  for (const auto& [number, v] : views_) {
    const Control* c = window_->control(number);
    if (c && c->type == ControlType::Region && v->widget()) v->widget()->raise();
  }
}

void WindowFrame::createView(const Control& c) {
  std::unique_ptr<ControlView> v = makeControlView(*this, c);
  if (QWidget* w = v->widget()) {
    w->setProperty(kControlProperty, c.number);
    // Mouse movement over every part of the control reaches the engine.
    w->setMouseTracking(true);
    for (QWidget* child : w->findChildren<QWidget*>()) child->setMouseTracking(true);
  }
  views_[c.number] = std::move(v);
}

void WindowFrame::destroyView(int control) { views_.erase(control); }

void WindowFrame::buildStatusBar() {
  const std::vector<int>& widths = window_->statusZones();
  if (widths.empty()) return;
  // A size grip only where the window can be resized.
  statusBar()->setSizeGripEnabled(window_->resizable());
  for (std::size_t i = 0; i < widths.size(); ++i) {
    auto* zone = new QLabel(this);
    zone->setTextFormat(Qt::PlainText);
    const bool last = i + 1 == widths.size();
    // A zone of no width (or the last one) takes the room that is left.
    if (widths[i] > 0) zone->setMinimumWidth(units_.x(widths[i]));
    statusBar()->addWidget(zone, widths[i] > 0 && !last ? 0 : 1);
    zones_.push_back(zone);
  }
  refreshStatusBar();
}

void WindowFrame::refreshStatusBar() {
  for (std::size_t i = 0; i < zones_.size(); ++i) {
    zones_[i]->setText(toQt(window_->statusText(static_cast<int>(i) + 1)));
  }
}

void WindowFrame::applyWindow(unsigned changes) {
  if (changes & window::ChangeText) {
    setWindowTitle(toQt(window_->title()));
    setWindowIcon(iconOf(window_->icon()));
  }
  if (changes & window::ChangeGeometry) {
    const window::Rect& at = window_->at();
    const QSize size = units_.size(at.width, at.height);
    client_->setHint(size);
    if (window_->resizable()) {
      client_->setMinimumSize(units_.size(std::min(at.width, 40), std::min(at.height, 20)));
      if (shown_) resize(this->size() - client_->size() + size);
    } else {
      client_->setFixedSize(size);
      layout()->setSizeConstraint(QLayout::SetFixedSize);
    }
    if (shown_ && (at.x != 0 || at.y != 0)) moveTo(at);
  }
  if (changes & window::ChangeStatusBar) refreshStatusBar();
  if (changes & window::ChangeLook) {
    const auto cursor = cursorOf(window_->property(0, window::PropCursor));
    cursor ? client_->setCursor(*cursor) : client_->unsetCursor();
  }
}

QPoint WindowFrame::screenOrigin() const {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry().topLeft() : QPoint();
}

void WindowFrame::fitScreen(const QSize& room) {
  // The controls keep their places on the client area, which scrolls inside a window limited
  // to the screen, so that every control (Close too) can still be reached.
  auto* scroller = new QScrollArea(this);
  scroller->setFrameShape(QFrame::NoFrame);
  takeCentralWidget();
  scroller->setWidget(client_);
  setCentralWidget(scroller);
  layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
  setMinimumSize(0, 0);
  setMaximumSize(room);
}

void WindowFrame::moveTo(const window::Rect& at) {
  move(screenOrigin() + QPoint(units_.x(at.x), units_.y(at.y)));
  keepOnScreen();
}

void WindowFrame::keepOnScreen() {
  // A kept place (a larger font or scale since, another screen) may put part of the window
  // off every screen: it moves onto the screen that holds most of it, whole where it fits,
  // its title bar in view where it does not.
  const QRect frame = frameGeometry();
  QScreen* best = nullptr;
  int most = -1;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect common = screen->availableGeometry().intersected(frame);
    const int area = common.isEmpty() ? 0 : common.width() * common.height();
    if (area > most) {
      most = area;
      best = screen;
    }
  }
  if (!best) return;
  const QRect room = best->availableGeometry();
  QPoint to = frame.topLeft();
  to.setX(std::max(room.left(), std::min(to.x(), room.right() + 1 - frame.width())));
  to.setY(std::max(room.top(), std::min(to.y(), room.bottom() + 1 - frame.height())));
  if (to != frame.topLeft()) move(pos() + (to - frame.topLeft()));
}

void WindowFrame::showOnce(QWidget* below) {
  if (shown_) return;
  shown_ = true;
  // The declared size, limited only by the screen (adjustSize would cap a window at two thirds
  // of the screen and cut resizable windows short).
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size();
    const QSize wanted = sizeHint();
    if (wanted.width() > room.width() || wanted.height() > room.height()) fitScreen(room);
    resize(wanted.boundedTo(room));
  } else {
    resize(sizeHint());
  }
  const window::Rect& at = window_->at();
  if (at.x != 0 || at.y != 0) {
    moveTo(at);
  } else {
    // Centred over the window that opened it, or on the screen.
    QScreen* screen = below ? below->screen() : QGuiApplication::primaryScreen();
    const QRect over = below    ? below->frameGeometry()
                       : screen ? screen->availableGeometry()
                                : QRect();
    move(over.center() - rect().center());
  }
  // A nested window is modal and tied to the window that called it (its transient parent), so
  // that the desktop keeps it above that window and never opens it behind.
  if (below) {
    winId();  // the native window, so that its transient parent is known when it is mapped
    if (QWindow* mine = windowHandle()) mine->setTransientParent(below->windowHandle());
    setWindowModality(Qt::ApplicationModal);
  }
  show();
  // Shown, the window has its final size; the desktop may tell the size of its frame (the
  // title bar) only later, in a move: a kept place is checked now and again then.
  if (at.x != 0 || at.y != 0) {
    keepOnScreen();
    placeUnchecked_ = true;
  }
  raise();
  activateWindow();
  syncFocus();
}

// ---------------------------------------------------------------------------------------------
// Engine state on the widgets.

void WindowFrame::controlChanged(int control, unsigned changes) {
  if (!window_) return;
  ShowingState showing(*this);
  if (control == 0) {
    applyWindow(changes);
    return;
  }
  if (changes & window::ChangeDestroyed) {
    destroyView(control);
    return;
  }
  const Control* c = window_->control(control);
  if (!c) return;
  if (changes & window::ChangeCreated) {
    createView(*c);
    views_.at(control)->attach(*c);
    changes |= kEverything;
  }
  ControlView* v = view(control);
  if (!v) return;
  applyCommon(*v, *c, changes);
  v->apply(*c, changes);
}

void WindowFrame::applyCommon(ControlView& v, const Control& c, unsigned changes) {
  if (changes & window::ChangeGeometry) place(c.number);
  if (changes & window::ChangeState) applyState(c.number);
  if (changes & window::ChangeLook) applyLook(v, c);
}

QWidget* WindowFrame::containerFor(const Control& c, QPoint* origin) const {
  int parent = c.parent;
  for (int depth = 0; parent != 0 && depth < kMaxDepth; ++depth) {
    const ControlView* pv = view(parent);
    if (pv && pv->childContainer()) {
      *origin = pv->childOrigin();
      return pv->childContainer();
    }
    const Control* pc = window_->control(parent);
    if (!pc) break;
    parent = pc->parent;
  }
  *origin = QPoint();
  return client_;
}

void WindowFrame::place(int control, int depth) {
  ControlView* v = view(control);
  const Control* c = window_ ? window_->control(control) : nullptr;
  if (!v || !c || depth > kMaxDepth) return;
  if (QWidget* w = v->widget(); w && v->placedByFrame()) {
    QPoint origin;
    QWidget* container = containerFor(*c, &origin);
    if (w->parentWidget() != container) {
      w->setParent(container);
      applyState(control);
    }
    if (const std::optional<QRect> cell = placeOfCell(*c, container)) {
      // An editor over a list's cell covers exactly the cell the list draws.
      w->setGeometry(*cell);
      w->raise();
    } else {
      QRect r = units_.rect(c->at).translated(-origin);
      // A size left out of the position is the widget's own.
      if (c->at.width <= 0) r.setWidth(w->sizeHint().width());
      if (c->at.height <= 0) r.setHeight(w->sizeHint().height());
      const int natural = w->minimumSizeHint().height();
      if (v->keepsNaturalHeight() && r.height() < natural) {
        r.setTop(r.top() - (natural - r.height()) / 2);
        r.setHeight(natural);
      }
      w->setGeometry(r);
    }
  }
  placeChildrenOf(control, depth);
}

std::optional<QRect> WindowFrame::placeOfCell(const Control& c, const QWidget* container) const {
  if (c.cellList == 0) return std::nullopt;
  const ControlView* list = view(c.cellList);
  const QWidget* table = list ? list->widget() : nullptr;
  if (!table || !container->isAncestorOf(table)) return std::nullopt;
  const std::optional<QRect> cell = list->cellGeometry(c.cellRow, c.cellColumn);
  if (!cell) return std::nullopt;
  return QRect(table->mapTo(container, cell->topLeft()), cell->size());
}

void WindowFrame::placeChildrenOf(int container, int depth) {
  if (!window_) return;
  for (const auto& [number, c] : window_->controls()) {
    if (c.parent == container && number != container) place(number, depth + 1);
  }
}

bool WindowFrame::setByContainer(const Control& c, bool Control::*state) const {
  int parent = c.parent;
  for (int depth = 0; parent != 0 && depth < kMaxDepth; ++depth) {
    const ControlView* pv = view(parent);
    const Control* pc = window_->control(parent);
    // A container that holds the widgets itself (a tab page) passes its state on in Qt.
    if (!pc || (pv && pv->childContainer())) return false;
    if (pc->*state) return true;
    parent = pc->parent;
  }
  return false;
}

void WindowFrame::applyState(int control, int depth) {
  const Control* c = window_->control(control);
  ControlView* v = view(control);
  if (!c || !v || depth > kMaxDepth) return;
  if (QWidget* w = v->widget(); w && v->placedByFrame()) {
    w->setVisible(!c->hidden && !setByContainer(*c, &Control::hidden));
    w->setEnabled(!c->disabled && !setByContainer(*c, &Control::disabled));
  }
  // What stands on a container shows and works only as the container does.
  for (const auto& [number, child] : window_->controls()) {
    if (child.parent == control && number != control) applyState(number, depth + 1);
  }
}

void WindowFrame::applyLook(ControlView& v, const Control& c) {
  QWidget* w = v.widget();
  if (!w) return;
  w->setFont(c.fontStyle != 0 ? fontOf(QFont(), c.fontStyle) : QFont());
  setTextColor(*w, colorOf(c.fontColor, w->palette()));
  const auto cursor = cursorOf(c.cursor);
  std::vector<QWidget*> surfaces{w};
  if (auto* area = dynamic_cast<QAbstractScrollArea*>(w)) surfaces.push_back(area->viewport());
  for (QWidget* s : surfaces) cursor ? s->setCursor(*cursor) : s->unsetCursor();
  w->setToolTip(toQt(c.tip));
}

void WindowFrame::showFocus(int control) {
  ShowingState showing(*this);
  const ControlView* v = view(control);
  if (v && v->focusTarget()) {
    v->focusTarget()->setFocus(Qt::OtherFocusReason);
    scrollIntoView(v->focusTarget());
  }
  markFocus();
}

void WindowFrame::scrollIntoView(QWidget* target) {
  // Only a window limited to the screen scrolls its client area.
  if (auto* scroller = qobject_cast<QScrollArea*>(centralWidget()); scroller && target)
    scroller->ensureWidgetVisible(target);
}

void WindowFrame::markFocus() {
  // The style draws its focus frame (buttons, checks, a list's current row) only in a window
  // whose focus moved by keyboard. The engine moves the focus for the keyboard (Tab,
  // Enter, arrows, shortcuts) and for the program, so the frame always shows where it is.
  setAttribute(Qt::WA_KeyboardFocusChange);
}

void WindowFrame::syncFocus() {
  if (!window_) return;
  markFocus();  // kept on whatever moved the focus (a click may take it off)
  const ControlView* v = view(window_->focus());
  QWidget* target = v ? v->focusTarget() : nullptr;
  if (!target || target->hasFocus() || target->isAncestorOf(QApplication::focusWidget())) return;
  ShowingState showing(*this);
  target->setFocus(Qt::OtherFocusReason);
  scrollIntoView(target);
}

int WindowFrame::nextFocusable(int control) const {
  if (!window_) return 0;
  const auto& controls = window_->controls();
  for (auto it = controls.upper_bound(control); it != controls.end(); ++it) {
    if (window::isFocusableType(it->second.type)) return it->first;
  }
  return 0;
}

void WindowFrame::setTimer(int hundredths) {
  if (hundredths > 0) {
    timer_.start(hundredths * 10);
  } else {
    timer_.stop();
  }
}

void WindowFrame::setInputEnabled(bool enabled) {
  setEnabled(enabled);
  if (enabled && shown_) {
    raise();
    activateWindow();
  }
}

// ---------------------------------------------------------------------------------------------
// The wait and the user's input.

void WindowFrame::waitForInput() {
  if (!woken_) {
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
  }
  woken_ = false;
}

void WindowFrame::interruptWait() {
  if (loop_) {
    loop_->exit();
  } else {
    woken_ = true;
  }
}

void WindowFrame::detach() {
  window_ = nullptr;
  timer_.stop();
  if (loop_) loop_->exit();
}

void WindowFrame::report(const std::function<void(window::Window&)>& input) {
  if (!window_ || showing_ > 0) return;
  input(*window_);
  syncFocus();
  interruptWait();
}

bool WindowFrame::keyEvent(QKeyEvent& event) {
  // The press of Alt itself carries the Alt modifier on some platforms and not on others.
  altAlone_ = event.key() == Qt::Key_Alt && (event.modifiers() & ~Qt::AltModifier) == 0;
  const int code = keyCodeOf(event);
  if (!window_ || showing_ > 0 || code == 0) return false;
  const auto ask = [&] {
    bool taken = false;
    report([&](window::Window& w) { taken = w.keyPressed(code); });
    return taken;
  };
  if (event.type() == QEvent::ShortcutOverride) {
    // Asked first: the engine's keys (alerts, Tab, Enter, Alt shortcuts) come before any
    // shortcut of Qt's; the press that follows keeps this answer.
    const bool taken = ask();
    decided_ = KeyDecision{event.key(), event.modifiers(), taken};
    if (taken) event.accept();
    return taken;
  }
  if (decided_ && decided_->key == event.key() && decided_->modifiers == event.modifiers()) {
    const bool taken = decided_->taken;
    decided_.reset();
    return taken;
  }
  decided_.reset();
  return ask();
}

void WindowFrame::keyReleased(const QKeyEvent& event) {
  if (event.key() != Qt::Key_Alt || !altAlone_) return;
  altAlone_ = false;
  if (!window_ || showing_ > 0) return;
  report([](window::Window& w) { w.keyPressed(window::AltKey + window::AltKeyAlone); });
}

void WindowFrame::openMenuBar() {
  auto* bar = qobject_cast<QMenuBar*>(menuWidget());
  if (!bar) return;
  for (QAction* menu : bar->actions()) {
    if (menu->isVisible() && menu->isEnabled() && !menu->isSeparator()) {
      bar->setActiveAction(menu);  // its popup takes the keyboard until it closes
      return;
    }
  }
}

void WindowFrame::focusArrived(const QWidget* widget, Qt::FocusReason reason) {
  // Tab is the engine's; focus that Qt moves by itself (a widget hidden, a window activated)
  // is put back where the engine has it.
  if (reason != Qt::MouseFocusReason && reason != Qt::ShortcutFocusReason) return;
  if (widget->property(kKeepsFocusProperty).toBool()) return;
  const int control = controlOf(widget);
  if (!window_ || control == 0 || control == window_->focus()) return;
  report([control](window::Window& w) { w.focusTo(control); });
}

void WindowFrame::mouseAt(const QPoint& globalPos) {
  if (!window_ || !isEnabled()) return;
  const QPoint p = client_->mapFromGlobal(globalPos);
  const int x = units_.unitsX(p.x());
  const int y = units_.unitsY(p.y());
  if (x == mouseX_ && y == mouseY_) return;
  mouseX_ = x;
  mouseY_ = y;
  report([x, y](window::Window& w) { w.mouseMoved(x, y); });
}

void WindowFrame::mouseLeft() {
  if (mouseX_ < 0 && mouseY_ < 0) return;
  mouseX_ = mouseY_ = -1;
  report([](window::Window& w) { w.mouseMoved(-1, -1); });
}

void WindowFrame::clientResized() {
  if (!window_ || !shown_ || !window_->resizable()) return;
  const int width = units_.unitsX(client_->width());
  const int height = units_.unitsY(client_->height());
  report([width, height](window::Window& w) { w.resized(width, height); });
}

void WindowFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (placeUnchecked_ && frameGeometry() != geometry()) {
    placeUnchecked_ = false;
    keepOnScreen();
  }
  if (!window_ || !shown_ || !isVisible()) return;
  const QPoint at = pos() - screenOrigin();
  window_->moved(units_.unitsX(at.x()), units_.unitsY(at.y()));
}

void WindowFrame::closeEvent(QCloseEvent* event) {
  // The engine decides: the window closes when its ACCEPT loop ends and CLOSE runs.
  event->ignore();
  report([](window::Window& w) { w.closeRequested(); });
}

}  // namespace qtui
