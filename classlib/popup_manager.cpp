#include "classlib/popup_manager.h"

#include "platform/window/dialogs.h"

namespace classlib {

int PopupManager::addItem(std::string_view text, bool enabled) {
  items_.push_back({std::string(text), enabled});
  return itemCount();
}

void PopupManager::addLine() { items_.push_back({}); }

std::pair<int, int> PopupManager::appendItems(std::string_view text) {
  const window::PopupRequest parsed = window::parsePopup(text);
  bool any = false;
  for (const window::PopupItem& item : parsed.items) any = any || !item.line;
  if (!any) return {0, 0};
  if (!items_.empty()) addLine();
  int first = 0;
  int last = 0;
  for (const window::PopupItem& item : parsed.items) {
    if (item.line) {
      addLine();
      continue;
    }
    last = addItem(item.text, !item.disabled);
    if (first == 0) first = last;
  }
  return {first, last};
}

void PopupManager::appendSource(PopupSource& source) {
  const auto [first, last] = appendItems(source.popupText());
  source.setItemRange(first, last);
}

int PopupManager::itemCount() const {
  int n = 0;
  for (const Item& item : items_) n += item.text.empty() ? 0 : 1;
  return n;
}

std::string PopupManager::text() const {
  std::string out;
  for (const Item& item : items_) {
    if (!out.empty()) out += '|';
    if (item.text.empty()) {
      out += '-';
    } else {
      if (!item.enabled) out += '~';
      out += item.text;
    }
  }
  return out;
}

int PopupManager::ask() const { return itemCount() == 0 ? 0 : window::POPUP(text()); }

}  // namespace classlib
