// The item operations of the link manager: AddItem, AddTextItem, SetURL, SetActive, Refresh.
#include <algorithm>
#include <cassert>

#include "linkpulse/link_internal.h"
#include "linkpulse/link_pulse_manager.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"

namespace linkpulse {

using namespace detail;

namespace {

constexpr int kOrder[] = {ItemControl, ItemColumn};

bool isStringType(int type) { return type == TypeString || type == TypeStringAlt; }

// The state every new item starts from: no address, colours, column, underline, event or hover,
// and active.
void resetLink(LinkItem& item) {
  item.URL = "";
  item.NORMAL = 0;
  item.BRIGHT = 0;
  item.COLUMN = 0;
  item.UNDERLINE = 0;
  item.USEEVENT = 0;
  item.WORKING = 0;
  item.HANDCURSOR = 0;
  item.ACTIVE = 1;
}

}  // namespace

bool LinkPulseManager::fetchItem(int control) {
  ITEMQ->CONTROL = control;
  ITEMQ->GET({ItemControl});
  return runtime::ERRORCODE() == 0;
}

bool LinkPulseManager::fetchItem(int control, int column) {
  ITEMQ->CONTROL = control;
  ITEMQ->COLUMN = column;
  ITEMQ->GET({ItemControl, ItemColumn});
  return runtime::ERRORCODE() == 0;
}

void LinkPulseManager::AddItem(int control, std::optional<std::string_view> url,
                               std::optional<int> normal, std::optional<int> bright,
                               std::optional<int> styleOrFlags, int standardAction) {
  assert(ITEMQ && "AddItem before Init");
  const LinkItem callers = ITEMQ->buffer();
  int style = 0;
  for (std::size_t n = 1; n <= ITEMQ->RECORDS(); ++n) {
    ITEMQ->GET(n);
    if (ITEMQ->CONTROL == control) style = std::max<int>(style, ITEMQ->STYLE);
  }
  if (style != 0) style += 2;

  LinkItem& item = ITEMQ->buffer();
  item = callers;
  item.STYLE = style;
  resetLink(item);
  item.INACTIVECOLOR = numberProperty(control, window::PropFontColor);
  item.USESTDACTION = 0;
  item.CONTROL = control;
  LPMODTEMPTYPE = controlType(control);

  if (LPMODTEMPTYPE == TypeList) {
    if (url) item.COLUMN = static_cast<int>(runtime::textToLong(*url));
    if (normal && *normal != -1) item.NORMAL = *normal;
    if (bright && *bright != -1) item.BRIGHT = *bright;
    const int given = styleOrFlags ? std::abs(*styleOrFlags) : 0;
    if (given > item.STYLE && given > 1) {
      item.STYLE = given;
    } else if (item.STYLE == 0 && item.NORMAL != 0) {
      item.STYLE = 2;
    }
    if (styleOrFlags && *styleOrFlags < 0) item.HANDCURSOR = 1;
  } else {
    if (url) item.URL = *url;
    if (normal) {
      item.NORMAL = *normal;
      window::setProperty(control, window::PropFontColor, *normal);
    } else if (isStringType(LPMODTEMPTYPE)) {
      item.NORMAL = numberProperty(control, window::PropFontColor);
    }
    if (bright) item.BRIGHT = *bright;
    if (styleOrFlags) {
      item.UNDERLINE = *styleOrFlags & 1;
      item.USEEVENT = *styleOrFlags >> 1;
      // Only an underlined link gets the underline; the other bits name its event.
      if (item.UNDERLINE != 0) {
        window::setProperty(control, window::PropFontStyle,
                            numberProperty(control, window::PropFontStyle) | window::FontUnderline);
      }
    }
    if (standardAction != 0 && LPMODTEMPTYPE == TypeEntry) {
      window::setProperty(control, window::PropAlrt, standardAction);
      item.USESTDACTION = standardAction;
      window::setProperty(control, window::PropCursor, runtime::CLIP(HANDCURSORTOUSE.view()));
      item.USEEVENT = window::EventAlertKey;
    }
  }
  ITEMQ->ADD(kOrder);

  Trace(cat("In AddItem: ", control, " URL: ", runtime::CLIP(item.URL.view()),
            " Norm: ", item.NORMAL, " Brt: ", item.BRIGHT, " InActCol: ", item.INACTIVECOLOR,
            " Style: ", item.STYLE, " Col: ", item.COLUMN, " UnderLine: ", item.UNDERLINE,
            " Event: ", item.USEEVENT, " Cur: ", item.HANDCURSOR, " NStl: ", item.NORMALSTYLE,
            item.BRIGHTSTYLE, " StdA: ", item.USESTDACTION, " Skype: ", item.SKYPEFUNCTION));
  SetControlProperties(control, 1);
  ITEMQ->SKYPEFUNCTION = 0;
}

void LinkPulseManager::AddTextItem(int control, std::optional<std::string_view> url,
                                   std::optional<int> normal, std::optional<int> bright,
                                   std::optional<int> normalStyle, std::optional<int> brightStyle) {
  assert(ITEMQ && "AddTextItem before Init");
  LinkItem& item = ITEMQ->buffer();
  item.STYLE = 0;
  resetLink(item);
  item.NORMALSTYLE = 0;
  item.BRIGHTSTYLE = 0;
  item.CONTROL = control;
  LPMODTEMPTYPE = controlType(control);
  if (isStringType(LPMODTEMPTYPE) || LPMODTEMPTYPE == TypePrompt) {
    item.URL = url && !runtime::CLIP(*url).empty()
                   ? std::string(*url)
                   : window::getProperty(control, window::PropScreenText);
    if (normal) {
      item.NORMAL = *normal;
      window::setProperty(control, window::PropFontColor, *normal);
    } else {
      item.NORMAL = numberProperty(control, window::PropFontColor);
    }
    if (bright) item.BRIGHT = *bright;
    if (normalStyle) {
      item.NORMALSTYLE = *normalStyle;
      window::setProperty(control, window::PropFontStyle, *normalStyle);
    } else {
      item.NORMALSTYLE = numberProperty(control, window::PropFontStyle);
    }
    if (brightStyle) item.BRIGHTSTYLE = *brightStyle;
  }
  ITEMQ->ADD(kOrder);
  SetControlProperties(control, 1);
}

void LinkPulseManager::SetURL(int control, std::optional<std::string_view> url) {
  if (controlType(control) == TypeList || !fetchItem(control)) return;
  const bool changed = url ? !runtime::CLIP(*url).empty() && runtime::CLIP(*url) != ITEMQ->URL
                           : !runtime::CLIP(ITEMQ->URL.view()).empty();
  if (!changed) return;
  ITEMQ->URL = url.value_or("");
  ITEMQ->PUT();
  Refresh(control);
}

int LinkPulseManager::SetActive(int control, int active) {
  if (!fetchItem(control)) return 0;
  if (ITEMQ->ACTIVE != active) {
    ITEMQ->ACTIVE = static_cast<std::uint8_t>(active);
    ITEMQ->PUT();
  }
  return 1;
}

void LinkPulseManager::Refresh(int control) {
  if (control == 0) {
    for (std::size_t n = 1; n <= ITEMQ->RECORDS(); ++n) {
      ITEMQ->GET(n);
      refreshItem();
    }
    return;
  }
  // An entry is not redrawn from its variable: its screen text is the address, and redrawing
  // would throw away what the user has typed.
  if (controlType(control) != TypeEntry) window::DISPLAY(control);
  if (fetchItem(control)) refreshItem();
}

// Refreshes the item in the ITEMQ buffer.
void LinkPulseManager::refreshItem() {
  const int control = ITEMQ->CONTROL;
  LPMODTEMPTYPE = controlType(control);
  switch (LPMODTEMPTYPE) {
    case TypeButton:
    case TypeList:
    case TypeText:
    case TypeCode15:
    case TypeCode20: break;
    default:
      if (LPMODTEMPTYPE == TypeEntry) {
        ITEMQ->URL = window::getProperty(control, window::PropScreenText);
      }
      if (CHECKURLS != 0) {
        Trace(cat("Checking: Ctrl: ", ITEMQ->CONTROL, " Skype: ", ITEMQ->SKYPEFUNCTION,
                  " URL: ", runtime::CLIP(ITEMQ->URL.view())));
        const int found = FindProgram(ITEMQ->URL.view(), ITEMQ->SKYPEFUNCTION);
        ITEMQ->ACTIVE = static_cast<std::uint8_t>(found);
        if (found == 0) Trace(cat("Failed Reg Check on: ", ITEMQ->URL.view()));
      }
      ITEMQ->PUT();
  }
  SetControlProperties(control, 0);
}

}  // namespace linkpulse
