// The event side of the link manager: TakeEvent, the dispatch of an event to an item, the
// click that launches it, and CheckMouse on the poll event.
#include "linkpulse/link_internal.h"
#include "linkpulse/link_pulse_manager.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"

namespace linkpulse {

using namespace detail;

namespace {

// "skype:" forms of a Skype name by Skype function; an unknown function adds nothing.
std::string_view skypeSuffix(int function) {
  switch (function) {
    case 1: return "?call";
    case 2: return "?chat";
    case 3: return "?add";
    case 4: return "?voicemail";
    case 5: return "?userinfo";
    default: return {};
  }
}

bool blank(std::string_view text) { return runtime::CLIP(text).empty(); }

// True for the types whose own rectangle is watched for the mouse; the others are watched
// through their link region.
bool measuredItself(int type) {
  switch (type) {
    case TypeCode20:
    case TypeButton:
    case TypeEntry:
    case TypeCode15:
    case TypeText:
    case TypeRegion:
    case TypeList: return true;
    default: return false;
  }
}

}  // namespace

void LinkPulseManager::TakeEvent() {
  const int event = window::EVENT();
  int ctl = window::FIELD();
  LPMODTEMPTYPE = controlType(ctl);
  switch (LPMODTEMPTYPE) {
    case TypeRegion:
      if (ctl > kRegionOffset) ctl -= kRegionOffset;
      [[fallthrough]];
    case TypeCode20:
    case TypeButton:
    case TypeEntry:
    case TypeCode15:
    case TypeText:
      if (fetchItem(ctl)) dispatch(ctl);
      break;
    case TypeList: {
      if (event == window::EventAccepted) {
        window::DISPLAY();
        Refresh(0);
      }
      const int clicked = numberProperty(ctl, window::PropListClickColumn);
      const bool found = fetchItem(ctl, clicked);
      const std::string error = runtime::ERROR();
      if (!runtime::COMMAND("/LPDebugList").empty()) {
        Trace(cat("UpField: Control: ", ITEMQ->CONTROL, " = ", ctl, " Col: ", ITEMQ->COLUMN, "=",
                  clicked, " error: ", error, " Event: ", event));
      }
      if (found && window::KEYCODE() != 2) dispatch(ctl);
      break;
    }
    default:
      if (ctl > kRegionOffset && fetchItem(ctl - kRegionOffset)) dispatch(ctl - kRegionOffset);
  }
  if (event == window::EventSelected) LASTFIELDSELECTED = window::FIELD();
  if (event == window::EventSized) Refresh(0);
  CheckMouse();
}

// Dispatches the current event to the item in the ITEMQ buffer; `ctl` is the item's control.
void LinkPulseManager::dispatch(int ctl) {
  const int event = window::EVENT();
  const int control = ITEMQ->CONTROL;
  LPMODTEMPTYPE = controlType(control);
  const int type = LPMODTEMPTYPE;
  if (type == TypeEntry && CHECKURLS != 0 &&
      window::getProperty(control, window::PropScreenText) != runtime::CLIP(ITEMQ->URL.view())) {
    Refresh(control);
  }
  Trace(cat("In TakeEvent: Ctrl: ", ctl, "(", ITEMQ->CONTROL, ",", ITEMQ->COLUMN,
            ") Event: ", event, " UseEvent: ", ITEMQ->USEEVENT, " LastSel: ", LASTFIELDSELECTED));
  if (event == window::EventNone) return;
  const bool list = type == TypeList;
  // The hover ends for an inactive item too, or CheckMouse would post MouseOut for ever.
  if (event == window::EventMouseOut && !list) {
    if (ITEMQ->ACTIVE != 0 || ITEMQ->WORKING != 0) {
      ITEMQ->WORKING = 0;
      ITEMQ->PUT();
      Refresh(control);
    }
    return;
  }
  if (ITEMQ->ACTIVE == 0) return;
  switch (event) {
    case window::EventMouseIn:
    case window::EventMouseMove:
      if (ITEMQ->BRIGHT > 0 && (type == TypeString || type == TypeStringAlt) &&
          ITEMQ->WORKING == 0 && ITEMQ->NORMAL < 1) {
        ITEMQ->NORMAL = numberProperty(control, window::PropFontColor);
        ITEMQ->PUT();
      }
      if (!list && ITEMQ->WORKING == 0) {
        ITEMQ->WORKING = 1;
        ITEMQ->PUT();
        Refresh(control);
      }
      break;
    case window::EventAccepted:
      if (numberProperty(0, window::PropAcceptAll) == 0 && ITEMQ->USEEVENT <= 1 &&
          ITEMQ->USEEVENT >= 0) {
        click();
      }
      break;
    default:
      if (event != ITEMQ->USEEVENT) break;
      if (LASTFIELDSELECTED == ctl) {
        click();
      } else if (ITEMQ->USESTDACTION == 1) {
        window::SELECT(control);
      } else {
        click();
      }
  }
}

// Launches the address of the item in the ITEMQ buffer.
void LinkPulseManager::click() {
  const LinkItem item = ITEMQ->buffer();
  const int control = item.CONTROL;
  const int type = controlType(control);
  std::string address;
  if (type == TypeEntry) {
    address = window::getProperty(control, window::PropScreenText);
  } else if (type == TypeList) {
    if (numberProperty(control, window::PropListClickColumn) == item.COLUMN) {
      address = ListCellURL(control, runtime::longToText(item.COLUMN), "", "");
    }
  } else if (!blank(item.URL.view())) {
    address = item.URL.view();
  } else if (type == TypeString || type == TypeStringAlt || type == TypeCode15) {
    address = window::getProperty(control, window::PropScreenText);
  } else {
    address = window::getProperty(control, window::PropText);
  }
  if (type != TypeList && ControlURL(control) != 0) address = URLTORUN.view();
  if (!blank(address) && item.SKYPEFUNCTION != 0) {
    address = cat("skype:", runtime::CLIP(address), skypeSuffix(item.SKYPEFUNCTION));
  }
  URLTORUN = runtime::CLIP(address);
  Trace(cat("Before Run: Control: ", item.CONTROL, " Col: ", item.COLUMN,
            " Skype: ", item.SKYPEFUNCTION, " URL:", runtime::CLIP(URLTORUN.view())));
  if (!blank(address)) RunURL(0);
}

void LinkPulseManager::CheckMouse() {
  if (window::EVENT() != HANDCURSOR) return;
  const int mouseX = window::MOUSEX();
  const int mouseY = window::MOUSEY();
  bool handShown = false;
  int listWithCursor = 0;
  const std::string hand = runtime::CLIP(HANDCURSORTOUSE.view());
  for (std::size_t n = 1; n <= ITEMQ->RECORDS(); ++n) {
    ITEMQ->GET(n);
    const LinkItem item = ITEMQ->buffer();
    const int control = item.CONTROL;
    LPMODTEMPTYPE = controlType(control);
    if (LPMODTEMPTYPE != TypeList) {
      if (item.WORKING == 0) continue;
      const int measured = measuredItself(LPMODTEMPTYPE) ? control : control + kRegionOffset;
      const int x = numberProperty(measured, window::PropXpos);
      const int y = numberProperty(measured, window::PropYpos);
      const int width = numberProperty(measured, window::PropWidth);
      const int height = numberProperty(measured, window::PropHeight);
      if (mouseX < x || mouseX > x + width || mouseY < y || mouseY > y + height) {
        window::POST(window::EventMouseOut, measured);
      }
      continue;
    }
    const int mouseColumn = numberProperty(control, window::PropListMouseColumn);
    const bool overColumn = mouseColumn == item.COLUMN;
    if (overColumn && numberProperty(control, window::PropListMouseZone) == 0 &&
        item.HANDCURSOR != 0) {
      if (window::getProperty(control, window::PropCursor) != hand) {
        window::setProperty(control, window::PropCursor, hand);
      }
      handShown = true;
    } else if (!blank(window::getProperty(control, window::PropCursor))) {
      listWithCursor = control;
    }
    if (item.STYLE == 0) continue;
    const int x = numberProperty(control, window::PropXpos);
    const int width = numberProperty(control, window::PropWidth);
    int working = item.WORKING;
    if (overColumn && x < mouseX && mouseX < x + width) {
      const int row = numberProperty(control, window::PropListMouseRow);
      if (row != working) {
        SetCellStyle(control, item.COLUMN, working, item.STYLE);
        SetCellStyle(control, item.COLUMN, row, item.STYLE + 1);
        working = row;
      }
    } else if (working != 0) {
      SetCellStyle(control, item.COLUMN, working, item.STYLE);
      working = 0;
    }
    if (working != item.WORKING) {
      ITEMQ->GET(n);
      ITEMQ->WORKING = working;
      ITEMQ->PUT();
    }
  }
  if (!handShown && listWithCursor != 0) {
    window::setProperty(listWithCursor, window::PropCursor, "");
  }
}

}  // namespace linkpulse
