// A part of a window that the window controller drives: a browse, a toolbar, a resizer ... The
// controller hands each component every event after its own handling, resets and updates them
// with the window and kills them with it.
#pragma once

namespace classlib {

class WindowComponent {
 public:
  virtual ~WindowComponent() = default;

  // Sees the current event. Answers 0 (LevelBenign) to go on, or a level that ends the window's
  // event loop.
  virtual int takeEvent() = 0;
  // Brings what the component shows up to date with its data; `force` even when nothing it
  // depends on seems to have changed.
  virtual void reset(bool force) { (void)force; }
  // Saves what the component shows back into its variables.
  virtual void update() {}
  // Puts the component's alert keys on its controls (again).
  virtual void setAlerts() {}
  // Ends the component's work; a second call does nothing.
  virtual void kill() {}
};

}  // namespace classlib
