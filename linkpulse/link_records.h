// The two queues of the link manager: its link items (ITEMQ) and its list-column trackers
// (TRACKERQ), as runtime queues of packed records.
#pragma once

#include "platform/runtime/field_types.h"
#include "platform/runtime/queue.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace linkpulse {

// One link: a control, or one column of a list control. ITEMQ is kept in (CONTROL, COLUMN)
// order.
struct LinkItem {
  runtime::Long CONTROL;
  runtime::String<4096> URL;    // for an ENTRY refreshed from its screen text
  runtime::Long NORMAL;         // text colour off the link; -1 or 0 = not set
  runtime::Long BRIGHT;         // text colour under the mouse; 0 = no hover colour
  runtime::Long INACTIVECOLOR;  // text colour while inactive
  runtime::Long STYLE;          // list: the normal cell's list style, STYLE+1 the hovered one
  runtime::Long COLUMN;         // list column; 0 for other controls
  runtime::Byte UNDERLINE;      // 1 = the font gets the underline bit
  runtime::Long USEEVENT;       // event that launches the item besides a click
  runtime::Long WORKING;        // hover: 1 over a control; the row under the mouse of a list
  runtime::Byte HANDCURSOR;     // 1 = the hand cursor over the list cell
  runtime::Long NORMALSTYLE;    // font style off the link (text items)
  runtime::Long BRIGHTSTYLE;    // font style under the mouse (text items)
  runtime::Byte ACTIVE;         // 1 = the link works
  runtime::Long USESTDACTION;   // 0 none, 1 the first press selects, else an ENTRY's alert key
  runtime::Long SKYPEFUNCTION;  // 0 plain; 1 call, 2 chat, 3 add, 4 voicemail, 5 userinfo

  static const runtime::RecordLayout& layout();
};
static_assert(sizeof(LinkItem) == 4147);

// Field numbers of LinkItem, for keyed queue statements.
enum LinkItemField : int {
  ItemControl = 1,
  ItemUrl,
  ItemNormal,
  ItemBright,
  ItemInactiveColor,
  ItemStyle,
  ItemColumn,
  ItemUnderline,
  ItemUseEvent,
  ItemWorking,
  ItemHandCursor,
  ItemNormalStyle,
  ItemBrightStyle,
  ItemActive,
  ItemUseStdAction,
  ItemSkypeFunction,
};

// The format one list column had when it was tracked, and its position then.
struct LinkTracker {
  runtime::Long CONTROL;
  runtime::String<255> OLDFORMATCOL;
  runtime::Long COLUMNNO;

  static const runtime::RecordLayout& layout();
};
static_assert(sizeof(LinkTracker) == 263);

enum LinkTrackerField : int {
  TrackerControl = 1,
  TrackerOldFormatCol,
  TrackerColumnNo,
};

using ItemQueue = runtime::Queue<LinkItem>;
using TrackerQueue = runtime::Queue<LinkTracker>;

}  // namespace linkpulse
