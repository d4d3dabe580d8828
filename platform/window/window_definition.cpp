#include "platform/window/window_definition.h"

#include <cctype>
#include <stdexcept>

namespace window {

ControlBuilder& ControlBuilder::text(std::string_view t) {
  c_.text = t;
  return *this;
}
ControlBuilder& ControlBuilder::use(const UseVariable& v) {
  c_.use = v;
  return *this;
}
ControlBuilder& ControlBuilder::picture(std::string_view p) {
  c_.picture = p;
  return *this;
}
ControlBuilder& ControlBuilder::at(int x, int y, int width, int height) {
  c_.at = Rect{x, y, width, height};
  return *this;
}
ControlBuilder& ControlBuilder::parent(int number) {
  c_.parent = number;
  return *this;
}
ControlBuilder& ControlBuilder::tip(std::string_view t) {
  c_.tip = t;
  return *this;
}
ControlBuilder& ControlBuilder::msg(std::string_view m) {
  c_.msg = m;
  return *this;
}
ControlBuilder& ControlBuilder::icon(std::string_view name) {
  c_.icon = name;
  return *this;
}
ControlBuilder& ControlBuilder::cursor(std::string_view name) {
  c_.cursor = name;
  return *this;
}
ControlBuilder& ControlBuilder::imm(bool on) {
  c_.imm = on;
  return *this;
}
ControlBuilder& ControlBuilder::readOnly(bool on) {
  c_.readOnly = on;
  return *this;
}
ControlBuilder& ControlBuilder::disabled(bool on) {
  c_.disabled = on;
  return *this;
}
ControlBuilder& ControlBuilder::hidden(bool on) {
  c_.hidden = on;
  return *this;
}
ControlBuilder& ControlBuilder::single(bool on) {
  c_.single = on;
  return *this;
}
ControlBuilder& ControlBuilder::isDefault(bool on) {
  c_.isDefault = on;
  return *this;
}
ControlBuilder& ControlBuilder::values(std::string_view trueValue, std::string_view falseValue) {
  c_.trueValue = trueValue;
  c_.falseValue = falseValue;
  return *this;
}
ControlBuilder& ControlBuilder::value(std::string_view radioValue) {
  c_.value = radioValue;
  return *this;
}
ControlBuilder& ControlBuilder::range(int low, int high) {
  c_.rangeLow = low;
  c_.rangeHigh = high;
  return *this;
}
ControlBuilder& ControlBuilder::alrt(int key) {
  c_.addAlert(key);
  return *this;
}
ControlBuilder& ControlBuilder::format(std::string_view listFormat) {
  std::string error;
  auto parsed = parseListFormat(listFormat, &error);
  if (!parsed) {
    throw std::invalid_argument("control " + std::to_string(c_.number) + ": " + error);
  }
  c_.list.format = std::move(*parsed);
  return *this;
}
ControlBuilder& ControlBuilder::from(std::string_view items) {
  c_.fromText = items;
  return *this;
}
ControlBuilder& ControlBuilder::iconList(int number, std::string_view name) {
  c_.list.icons[number] = name;
  return *this;
}
ControlBuilder& ControlBuilder::lineHeight(int height) {
  c_.list.lineHeight = height;
  return *this;
}
ControlBuilder ControlBuilder::add(int number, ControlType type) {
  return owner_.add(number, type);
}

ControlBuilder WindowDefinition::add(int number, ControlType type) {
  if (number <= 0) throw std::invalid_argument("control numbers start at 1");
  auto [it, inserted] = controls.try_emplace(number);
  if (!inserted) {
    throw std::invalid_argument("control " + std::to_string(number) + " declared twice in " + key +
                                " " + label);
  }
  it->second.number = number;
  it->second.type = type;
  return ControlBuilder(*this, it->second);
}

namespace {

std::string nameOf(std::string_view key, std::string_view label) {
  std::string out;
  for (char c : key) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  out += '|';
  for (char c : label) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

void ResourceRegistry::add(WindowDefinition definition) {
  if (definition.key.empty() || definition.label.empty()) {
    throw std::invalid_argument("a window resource needs a key and a label");
  }
  for (const auto& [number, c] : definition.controls) {
    if (c.parent != 0 && !definition.controls.count(c.parent)) {
      throw std::invalid_argument(definition.key + " " + definition.label + ": control " +
                                  std::to_string(number) + " names parent " +
                                  std::to_string(c.parent) + ", which does not exist");
    }
  }
  const std::string name = nameOf(definition.key, definition.label);
  std::lock_guard lock(mutex_);
  if (byName_.count(name)) {
    throw std::invalid_argument("window resource " + definition.key + " " + definition.label +
                                " declared twice");
  }
  byName_.emplace(name, std::move(definition));
}

const WindowDefinition* ResourceRegistry::find(std::string_view key, std::string_view label) const {
  std::lock_guard lock(mutex_);
  const auto it = byName_.find(nameOf(key, label));
  return it == byName_.end() ? nullptr : &it->second;
}

void ResourceRegistry::clear() {
  std::lock_guard lock(mutex_);
  byName_.clear();
}

ResourceRegistry& resources() {
  static ResourceRegistry registry;
  return registry;
}

}  // namespace window
