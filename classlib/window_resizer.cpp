#include "classlib/window_resizer.h"

#include <algorithm>

#include "classlib/error_level.h"
#include "platform/window/engine.h"

namespace classlib {
namespace {

using window::ControlType;

// The kinds that keep their size under ResizeSpread.
bool keepsSize(ControlType type) {
  switch (type) {
    case ControlType::Button:
    case ControlType::Prompt:
    case ControlType::Check:
    case ControlType::Radio:
    case ControlType::String:
    case ControlType::StringAlt: return true;
    default: return false;
  }
}

// The kinds that are one line high and keep their height when they grow.
bool oneLine(const window::Control& c) {
  switch (c.type) {
    case ControlType::Entry:
    case ControlType::Spin:
    case ControlType::Drop:
    case ControlType::Combo:
    case ControlType::Progress: return true;
    case ControlType::Text: return c.single;
    default: return false;
  }
}

// Controls without a place of their own on the window.
bool placeless(ControlType type) {
  return type == ControlType::Menu || type == ControlType::Item || type == ControlType::Toolbar;
}

int scaled(int value, int to, int from) {
  return from == 0 ? value : static_cast<int>(static_cast<long long>(value) * to / from);
}

}  // namespace

void WindowResizer::init(int strategy, bool minimum, bool maximum) {
  strategy_ = strategy;
  minimum_ = minimum;
  maximum_ = maximum;
  places_.clear();
  const window::Window* w = window::currentWindow();
  if (!w) return;
  original_ = w->at();
  for (const auto& [number, c] : w->controls()) {
    if (!placeless(c.type)) places_[number] = c.at;
  }
}

int WindowResizer::takeEvent() {
  window::Window* w = window::currentWindow();
  if (!w || w->current().event != window::EventSized || w->current().control != 0) {
    return LevelBenign;
  }
  int width = w->at().width;
  int height = w->at().height;
  if (minimum_) {
    width = std::max(width, original_.width);
    height = std::max(height, original_.height);
  }
  if (maximum_) {
    width = std::min(width, original_.width);
    height = std::min(height, original_.height);
  }
  if (width != w->at().width || height != w->at().height) {
    w->setPosition(0, w->at().x, w->at().y, width, height);
  }
  resize(width, height);
  return LevelBenign;
}

void WindowResizer::resize(int width, int height) {
  if (strategy_ == ResizeNone) return;
  window::Window* w = window::currentWindow();
  for (const auto& [number, at] : places_) {
    const window::Control* c = w->control(number);
    if (!c) continue;
    window::Rect to{scaled(at.x, width, original_.width), scaled(at.y, height, original_.height),
                    scaled(at.width, width, original_.width),
                    scaled(at.height, height, original_.height)};
    if (strategy_ == ResizeSpread) {
      if (keepsSize(c->type)) {
        to.width = at.width;
        to.height = at.height;
      } else if (oneLine(*c)) {
        to.height = at.height;
      }
    }
    if (to != c->at) w->setPosition(number, to.x, to.y, to.width, to.height);
  }
}

}  // namespace classlib
