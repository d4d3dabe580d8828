// Window resources declared in code: a window's title, icon, position and size (dialog units),
// frame, menu bar, toolbar, status bar, timer and numbered controls, found by resource key and
// label ("game_dock$game_dock004", "P1$QUICKWINDOW").
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/control.h"

namespace window {

struct WindowDefinition;

// Chainable settings of one control of a definition.
class ControlBuilder {
 public:
  ControlBuilder(WindowDefinition& owner, Control& c) : owner_(owner), c_(c) {}
  ControlBuilder& text(std::string_view t);
  ControlBuilder& use(const UseVariable& v);
  ControlBuilder& picture(std::string_view p);
  ControlBuilder& at(int x, int y, int width, int height);
  ControlBuilder& parent(int number);
  ControlBuilder& tip(std::string_view t);
  ControlBuilder& msg(std::string_view m);
  ControlBuilder& icon(std::string_view name);
  ControlBuilder& cursor(std::string_view name);
  ControlBuilder& imm(bool on = true);
  ControlBuilder& readOnly(bool on = true);
  ControlBuilder& disabled(bool on = true);
  ControlBuilder& hidden(bool on = true);
  ControlBuilder& single(bool on = true);
  ControlBuilder& isDefault(bool on = true);
  ControlBuilder& values(std::string_view trueValue, std::string_view falseValue);
  ControlBuilder& value(std::string_view radioValue);
  ControlBuilder& range(int low, int high);
  ControlBuilder& alrt(int key);
  // LIST: the format string; throws std::invalid_argument when it does not parse.
  ControlBuilder& format(std::string_view listFormat);
  ControlBuilder& from(std::string_view items);
  ControlBuilder& iconList(int number, std::string_view name);
  ControlBuilder& lineHeight(int height);
  // Another control of the same definition.
  ControlBuilder add(int number, ControlType type);

 private:
  WindowDefinition& owner_;
  Control& c_;
};

struct WindowDefinition {
  std::string key;    // resource key: module name, "$", module name
  std::string label;  // the window's label in the resource
  std::string title;
  std::string icon;
  Rect at{0, 0, 320, 200};
  bool systemMenu = true;
  bool closeBox = true;
  bool resizable = false;
  int timer = 0;                 // hundredths of a second; 0 = no Timer events
  std::vector<int> statusZones;  // widths of the status bar zones; empty = no status bar
  std::map<int, Control> controls;

  // Adds a control (numbers are unique and positive; a menu item is a control too). Throws
  // std::invalid_argument for a number already used or not positive.
  ControlBuilder add(int number, ControlType type);
};

// The process's window resources.
class ResourceRegistry {
 public:
  // Adds a definition; throws std::invalid_argument when its key and label are taken or empty,
  // or when a control names a parent that does not exist.
  void add(WindowDefinition definition);
  // The definition with that key and label (compared without regard to case), nullptr if none.
  const WindowDefinition* find(std::string_view key, std::string_view label) const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::map<std::string, WindowDefinition> byName_;
};

ResourceRegistry& resources();

}  // namespace window
