// A toolbar attached to a window controller: each of its buttons asks an action of the toolbar's
// target, the browse or form the buttons work on at the moment.
#pragma once

#include <map>

#include "classlib/window_component.h"

namespace classlib {

// What a toolbar button asks of its target.
enum ToolbarAction : int {
  ToolbarTop = 1,
  ToolbarPageUp = 2,
  ToolbarUp = 3,
  ToolbarDown = 4,
  ToolbarPageDown = 5,
  ToolbarBottom = 6,
  ToolbarInsert = 7,
  ToolbarChange = 8,
  ToolbarDelete = 9,
  ToolbarSelect = 10,
  ToolbarHistory = 11,
};

// What a toolbar's buttons act on.
class ToolbarTarget {
 public:
  virtual ~ToolbarTarget() = default;
  // Carries out `action`; answers false when the target has nothing to do for it.
  virtual bool takeToolbar(int action) = 0;
};

class Toolbar : public WindowComponent {
 public:
  // Accepting button `control` of the window asks `action` of the target.
  void addButton(int control, int action);
  // The target of the buttons from now on; nullptr = none (the buttons do nothing).
  void setTarget(ToolbarTarget* target) { target_ = target; }
  ToolbarTarget* target() const { return target_; }

  // An accepted toolbar button goes to the target. Always answers LevelBenign.
  int takeEvent() override;
  // Forgets the target.
  void kill() override { target_ = nullptr; }

 private:
  std::map<int, int> buttons_;  // control -> action
  ToolbarTarget* target_ = nullptr;
};

}  // namespace classlib
