// Property numbers of windows and controls, as read and written by number.
#pragma once

namespace window {

// Property numbers. Those from 33000 on are this engine's own: list and control settings that
// the class library drives and that have no number elsewhere.
enum Prop : int {
  PropSingle = 31238,       // TEXT: single-line
  PropParent = 31239,       // the control's parent (sheet, tab, group, option, menu)
  PropBuffer = 31308,       // window: draw through a buffer
  PropNextTabStop = 31318,  // the control after one (index: that control; 0 = the focused one)
  PropPrevTabStop = 31319,  // the control before one
  PropText = 31744,
  PropType = 31745,  // read only
  PropXpos = 31746,
  PropYpos = 31747,
  PropWidth = 31748,
  PropHeight = 31749,
  PropFontColor = 31762,
  PropFontStyle = 31763,
  PropRangeHigh = 31765,
  PropCursor = 31837,
  PropDisable = 31839,
  PropHide = 31845,
  PropIcon = 31848,
  PropImm = 31850,
  PropMsg = 31859,
  PropReadOnly = 31867,
  PropTimer = 31878,  // window: hundredths of a second between Timer events, 0 = none
  PropAcceptAll = 31898,
  PropTip = 31904,
  PropProgress = 31910,
  PropClientHandle = 31915,  // read only
  PropScreenText = 31930,
  PropLineHeight = 31997,
  PropStatusText = 32001,  // window, index = status bar zone
  PropAlrt = 32006,        // index = slot 1 to 255; without index: the first free slot
  PropIconList = 32007,    // list, index = icon number
  // List properties.
  PropListMouseRow = 31777,        // the row under the mouse (0 = none)
  PropListMouseColumn = 31780,     // the column under the mouse (0 = none)
  PropListClickColumn = 31781,     // the column of the last click
  PropListMouseZone = 31783,       // what lies under the mouse: 0 over data cells
  PropListStyleFontStyle = 32019,  // index = style number
  PropListStyleFontColor = 32020,  // index = style number
  PropListColumnFormat = 32259,    // index = column
  PropListColumnExists = 32266,    // index = column, read only
  PropListColumnStyle = 32301,     // index = column: the cell style of its cells
  // This engine's own.
  PropFormat = 33001,    // list: the whole format string
  PropSelected = 33002,  // list, drop, sheet: the selected row or tab (as CHOICE)
  PropItems = 33003,     // list: the number of rows shown at once, read only
  PropTopRow = 33004,    // list: the first row shown (scrolling)
  PropFrom = 33005,      // list, drop, combo: items separated by "|" as the row source
  PropRangeLow = 33006,
  PropPicture = 33007,
  PropValue = 33008,       // RADIO: the value it gives its OPTION
  PropTrueValue = 33009,   // CHECK: the value when checked
  PropFalseValue = 33010,  // CHECK: the value when clear
  PropRowCount = 33011,    // list: the number of rows of its source, read only
};

// List zone values (PropListMouseZone).
enum ListZone : int {
  ListZoneCells = 0,
  ListZoneHeader = 1,
  ListZoneRight = 2,  // below or beside the data cells
  ListZoneOutside = 3,
};

// Font style bits and weights.
inline constexpr int FontWeightNormal = 400;
inline constexpr int FontWeightBold = 700;
inline constexpr int FontItalic = 0x1000;
inline constexpr int FontUnderline = 0x2000;
inline constexpr int FontStrikeout = 0x4000;

// The colour value that means "the control's default colour".
inline constexpr int ColorNone = -1;

}  // namespace window
