#include "classlib/toolbar.h"

#include "classlib/error_level.h"
#include "platform/window/engine.h"

namespace classlib {

void Toolbar::addButton(int control, int action) { buttons_[control] = action; }

int Toolbar::takeEvent() {
  const auto it = buttons_.find(window::ACCEPTED());
  if (it != buttons_.end() && target_) target_->takeToolbar(it->second);
  return LevelBenign;
}

}  // namespace classlib
