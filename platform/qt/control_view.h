// The Qt side of one numbered control: the widget (or menu entry) that shows it, how the
// engine's state is shown on it, and the signals that become the engine's input calls.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>
#include <optional>

class QAction;

#include "platform/window/control.h"

namespace qtui {

class WindowFrame;

class ControlView {
 public:
  ControlView(WindowFrame& frame, int number, QWidget* widget);
  virtual ~ControlView();
  ControlView(const ControlView&) = delete;
  ControlView& operator=(const ControlView&) = delete;

  int number() const { return number_; }
  // The control's widget; nullptr for menus and their items, which are actions.
  QWidget* widget() const { return widget_.data(); }
  // The action of a menu or menu item; nullptr for other kinds.
  virtual QAction* action() const { return nullptr; }
  // The widget that takes the keyboard focus for the control.
  virtual QWidget* focusTarget() const { return widget(); }
  // True when the frame places the widget at the control's position; false for widgets that
  // their container lays out (tab pages, menus, the toolbar).
  virtual bool placedByFrame() const { return true; }
  // True for one-line widgets that need their natural height to show their text: they grow
  // about the middle of their rectangle when it is lower than that.
  virtual bool keepsNaturalHeight() const { return false; }
  // Where the widgets of this control's children go, and the client-area position of that
  // container's origin; nullptr when children stand on the same container as this control.
  virtual QWidget* childContainer() const { return nullptr; }
  virtual QPoint childOrigin() const { return {}; }
  // A list's cell (1-based row of its page and column of its format) where the list shows it,
  // in the list widget's coordinates and within its rows' area; nullopt for other controls or
  // a cell not shown.
  virtual std::optional<QRect> cellGeometry(int /*row*/, int /*column*/) const {
    return std::nullopt;
  }

  // Called once every control of the window has its view: joins menus, tabs and buddies.
  virtual void attach(const window::Control&) {}
  // Shows what `changes` (window::Change bits) names of the control's state. Geometry, the
  // hidden and disabled states, fonts, colours, cursor and tip are the frame's work.
  virtual void apply(const window::Control& c, unsigned changes) = 0;

 protected:
  WindowFrame& frame_;

 private:
  const int number_;
  QPointer<QWidget> widget_;
};

// Set on parts of a control that take clicks without moving the engine's focus (a list's
// headings).
inline constexpr char kKeepsFocusProperty[] = "gdKeepsFocus";

// The view for a control of any kind.
std::unique_ptr<ControlView> makeControlView(WindowFrame& frame, const window::Control& c);

// Texts between the engine (UTF-8, CR LF line ends) and Qt.
QString toQt(std::string_view text);
std::string fromQt(const QString& text);

}  // namespace qtui
