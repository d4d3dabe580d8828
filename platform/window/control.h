// One numbered control of a window, as declared and as it stands while the window is open.
#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>

#include "platform/window/control_type.h"
#include "platform/window/list_view.h"
#include "platform/window/properties.h"
#include "platform/window/use_variable.h"

namespace window {

struct Control {
  int number = 0;
  ControlType type = ControlType::None;
  int parent = 0;       // 0 = the window (or the menu bar for a MENU)
  std::string text;     // the caption ("&" marks the Alt shortcut letter); an IMAGE's file name
  std::string picture;  // display picture of entries, strings, spins and combos
  UseVariable use;
  Rect at;  // dialog units, window client area

  bool disabled = false;
  bool hidden = false;
  bool readOnly = false;
  bool imm = false;        // reports changes and mouse movement at once
  bool single = false;     // TEXT: one line
  bool isDefault = false;  // BUTTON: pressed by Enter in the window
  std::string tip;
  std::string msg;  // shown in the status bar while the control has the focus
  std::string icon;
  std::string cursor;
  int fontColor = ColorNone;
  int fontStyle = 0;

  // CHECK: the values its variable takes; RADIO: the value it gives its OPTION.
  std::string trueValue = "1";
  std::string falseValue = "0";
  std::string value;

  int rangeLow = 0;
  int rangeHigh = 100;
  int progress = 0;

  // Keys that this control reports as AlertKey instead of their usual action: slots 1 to 255
  // (slot 0 unused), 0 = empty.
  std::array<int, 256> alrt{};

  std::string screenText;  // what the control shows now
  std::string shownText;   // the screen text as the last DISPLAY left it (to see edits)
  bool checked = false;    // CHECK, RADIO
  int choice = 0;          // SHEET: the selected tab (1-based); TAB: unused
  std::string fromText;    // LIST, DROP, COMBO: the From items when given as text
  ListView list;           // LIST, DROP, COMBO

  // An ENTRY made over a list's cell to edit it (Window::createCellEditor): the list, and the
  // row and column of the cell; 0 for every other control.
  int cellList = 0;
  int cellRow = 0;
  int cellColumn = 0;

  // Properties that the engine stores without acting on them, by (property, index).
  std::map<std::pair<int, int>, std::string> extra;

  // The Alt shortcut letter of the text (upper case), 0 when it has none. "&&" is a literal
  // ampersand.
  char accelerator() const;
  // The text without its shortcut marks.
  std::string plainText() const;

  bool isAlerted(int key) const;
  // Puts `key` into the first empty slot unless a slot before it already holds it; answers the
  // slot, 0 when all are taken.
  int addAlert(int key);
  bool hasList() const {
    return type == ControlType::List || type == ControlType::Drop || type == ControlType::Combo;
  }
};

}  // namespace window
