// The kinds of control a window holds, by the runtime's type codes.
#pragma once

namespace window {

// Type codes as the Type property reads them.
enum class ControlType : int {
  None = 0,       // no control of that number
  String = 1,     // a text shown from its variable (or its fixed text)
  StringAlt = 2,  // the second kind of string control, shown the same way
  Image = 3,
  Region = 4,  // an invisible rectangle that reports clicks and mouse movement
  Line = 5,
  Box = 6,
  Entry = 8,
  Button = 9,
  Prompt = 10,
  Option = 11,  // the group of RADIO controls that share one variable
  Check = 12,
  Group = 13,
  List = 14,
  Spin = 16,
  Text = 17,  // single- or multi-line text editor
  Radio = 21,
  Drop = 33,
  Combo = 34,
  Progress = 35,
  Sheet = 37,
  Tab = 38,
  Panel = 39,
  // Menus, their items and the toolbar are numbered controls as well.
  Menu = 46,
  Item = 47,
  Toolbar = 48,
};

// The name of a kind ("ENTRY", "LIST" ...), for messages; "?" for a code it does not know.
const char* controlTypeName(ControlType type);

// True for the kinds that can hold the keyboard focus.
bool isFocusableType(ControlType type);

// True for the kinds whose screen text the user edits (the text is copied back on accept).
bool isEditableType(ControlType type);

}  // namespace window
