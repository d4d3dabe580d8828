// The window resizer: when the window is sized, it moves and resizes the controls by its
// strategy, from the places they had when the resizer was set up, and keeps the window within
// the limits it was told.
#pragma once

#include <map>

#include "classlib/window_component.h"
#include "platform/window/list_view.h"

namespace classlib {

enum ResizeStrategy : int {
  ResizeNone = 0,    // controls stay where they are
  ResizeScale = 1,   // every control moves and grows in proportion to the window
  ResizeSpread = 2,  // every control moves in proportion; those that show data (entries, texts,
                     // lists, sheets, groups ...) grow with it, the others (buttons, prompts,
                     // checks, radios, strings) keep their size; one-line controls keep their
                     // height
};

class WindowResizer : public WindowComponent {
 public:
  // Sets the resizer up on the current window with `strategy`; with `minimum` the window is
  // never made smaller than it is now, with `maximum` never larger.
  void init(int strategy, bool minimum, bool maximum);

  // The window's Sized event moves the controls. Always answers LevelBenign.
  int takeEvent() override;

  int strategy() const { return strategy_; }

 private:
  void resize(int width, int height);

  int strategy_ = ResizeNone;
  bool minimum_ = false;
  bool maximum_ = false;
  window::Rect original_;
  std::map<int, window::Rect> places_;  // control -> its place at init
};

}  // namespace classlib
