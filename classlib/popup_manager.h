// Popup menus built item by item: the browse's menu of its list and the entries other parts of
// the window append to it (a list-format manager's, after a line).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace classlib {

// Something that adds its own entries to a popup menu and handles them when chosen.
class PopupSource {
 public:
  virtual ~PopupSource() = default;
  // The entries as a popup text: items separated by "|", "-" a line, "~" before a disabled
  // item. Empty for none.
  virtual std::string popupText() = 0;
  // The numbers its entries got in the menu, first to last.
  virtual void setItemRange(int first, int last) = 0;
  // Handles item `item` of the menu when it is one of its entries; answers whether it was.
  virtual bool takePopup(int item) = 0;
};

class PopupManager {
 public:
  // Adds an item with its text ("&" marks the shortcut letter); answers its number, counted
  // from 1 without the lines.
  int addItem(std::string_view text, bool enabled = true);
  // Adds a line between items.
  void addLine();
  // Adds the items of a popup text, after a line when the menu already has items. Answers the
  // numbers of the first and the last item added; (0, 0) when the text has none.
  std::pair<int, int> appendItems(std::string_view text);
  // Adds `source`'s entries after a line and tells it their numbers.
  void appendSource(PopupSource& source);
  // Removes every item.
  void clear() { items_.clear(); }
  // The number of items, lines not counted.
  int itemCount() const;
  // The menu as a popup text.
  std::string text() const;
  // Shows the menu at the mouse; answers the chosen item's number, 0 when it was dismissed, is
  // disabled or the menu is empty.
  int ask() const;

 private:
  struct Item {
    std::string text;  // empty for a line
    bool enabled = true;
  };
  std::vector<Item> items_;
};

}  // namespace classlib
