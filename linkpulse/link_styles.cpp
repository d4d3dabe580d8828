// The look of link controls (SetControlProperties with the link regions) and the list-column
// trackers (TrackFormats, MoveColumns).
#include <string>
#include <vector>

#include "linkpulse/link_internal.h"
#include "linkpulse/link_pulse_manager.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"

namespace linkpulse {

using namespace detail;

namespace {

constexpr int kAlertSlots = 255;
constexpr int kMaxTrackedColumns = 1024;
constexpr int kMaxColumnNumber = 4095;

void setNumber(int control, int prop, int value, int index = 0) {
  window::setProperty(control, prop, value, index);
}

int fontStyle(int control) { return numberProperty(control, window::PropFontStyle); }

// Puts `key` into the first empty alert slot of `control` unless a slot before it holds it.
void addAlertKey(int control, int key) {
  for (int slot = 1; slot <= kAlertSlots; ++slot) {
    const int held = numberProperty(control, window::PropAlrt, slot);
    if (held == key) return;
    if (held == 0) {
      setNumber(control, window::PropAlrt, key, slot);
      return;
    }
  }
}

// Clears the alert slots of `control` that hold `key`, up to its first empty slot.
void removeAlertKey(int control, int key) {
  for (int slot = 1; slot <= kAlertSlots; ++slot) {
    const int held = numberProperty(control, window::PropAlrt, slot);
    if (held == 0) return;
    if (held == key) setNumber(control, window::PropAlrt, 0, slot);
  }
}

bool columnExists(int list, int column) {
  return numberProperty(list, window::PropListColumnExists, column) != 0;
}

std::string columnFormat(int list, int column) {
  return window::getProperty(list, window::PropListColumnFormat, column);
}

struct ColumnMove {
  int from;
  int to;
};

std::string movesText(const std::vector<ColumnMove>& moves) {
  std::string text;
  for (const ColumnMove& m : moves) text += cat(m.from, " to ", m.to, ";");
  return text;
}

}  // namespace

void LinkPulseManager::SetControlProperties(int control, int firstTime) {
  LPMODTEMPTYPE = controlType(control);
  const std::string hand = runtime::CLIP(HANDCURSORTOUSE.view());
  const LinkItem& item = ITEMQ->buffer();
  switch (LPMODTEMPTYPE) {
    case TypeCode20:
    case TypeButton: return;  // a button keeps its own look
    case TypeEntry:
    case TypeCode15:
    case TypeText:
      if (item.ACTIVE != 0) {
        setNumber(control, window::PropFontColor, item.NORMAL);
        if (item.UNDERLINE != 0) {
          setNumber(control, window::PropFontStyle, fontStyle(control) | window::FontUnderline);
        }
        if (item.USESTDACTION != 0) {
          window::setProperty(control, window::PropCursor, hand);
          addAlertKey(control, item.USESTDACTION);
        }
      } else {
        setNumber(control, window::PropFontColor, item.INACTIVECOLOR);
        setNumber(control, window::PropFontStyle, fontStyle(control) & ~window::FontUnderline);
        if (item.USESTDACTION != 0) {
          window::setProperty(control, window::PropCursor, "");
          removeAlertKey(control, item.USESTDACTION);
        }
      }
      return;
    case TypeRegion:
      if (firstTime != 0) {
        window::setProperty(control, window::PropCursor, hand);
        setNumber(control, window::PropImm, 1);
      } else if (item.ACTIVE == 0) {
        window::setProperty(control, window::PropCursor, "");
        setNumber(control, window::PropDisable, 1);
      } else if (window::getProperty(control, window::PropCursor) != hand) {
        window::setProperty(control, window::PropCursor, hand);
      }
      return;
    case TypeList:
      if (item.NORMAL == 0) return;
      setNumber(control, window::PropListStyleFontStyle, window::FontUnderline, item.STYLE);
      setNumber(control, window::PropListStyleFontColor, item.NORMAL, item.STYLE);
      setNumber(control, window::PropListColumnStyle, item.STYLE, item.COLUMN);
      if (item.BRIGHT != 0) {
        setNumber(control, window::PropListStyleFontStyle, window::FontUnderline, item.STYLE + 1);
        setNumber(control, window::PropListStyleFontColor, item.BRIGHT, item.STYLE + 1);
      }
      return;
    case TypeString:
    case TypeStringAlt:
    case TypePrompt: setTextControlProperties(control, firstTime); return;
    default: return;
  }
}

// SetControlProperties of a STRING or PROMPT link and its link region.
void LinkPulseManager::setTextControlProperties(int control, int firstTime) {
  const int region = control + kRegionOffset;
  const std::string hand = runtime::CLIP(HANDCURSORTOUSE.view());
  if (firstTime != 0) {
    ITEMQ->SORT({ItemControl});
    const bool found = fetchItem(control);
    const int fetchError = runtime::ERRORCODE();
    if (found && ITEMQ->ACTIVE != 0) {
      if (ITEMQ->UNDERLINE != 0) {
        setNumber(control, window::PropFontStyle, fontStyle(control) | window::FontUnderline);
      }
      if (ITEMQ->NORMALSTYLE != 0) setNumber(control, window::PropFontStyle, ITEMQ->NORMALSTYLE);
    } else {
      setNumber(control, window::PropFontStyle, window::FontWeightNormal);
    }
    Trace(cat("Setting control properties: \r\nError getting from queue: ", fetchError,
              "\r\nStyle: ", fontStyle(control)));
    // One region per control, however often the control is added.
    if (controlType(region) == 0) {
      window::CREATE(region, window::ControlType::Region,
                     numberProperty(control, window::PropParent));
    }
    window::setProperty(region, window::PropCursor, hand);
    setNumber(region, window::PropImm, 1);
  } else if (ITEMQ->ACTIVE == 0) {
    window::setProperty(region, window::PropCursor, "");
    setNumber(region, window::PropDisable, 1);
  } else {
    if (window::getProperty(region, window::PropCursor) != hand) {
      window::setProperty(region, window::PropCursor, hand);
    }
    window::setProperty(region, window::PropDisable,
                        window::getProperty(control, window::PropDisable));
  }

  if (numberProperty(control, window::PropDisable) == 0) {
    const int parent = numberProperty(control, window::PropParent);
    if (parent != 0 && numberProperty(parent, window::PropDisable) != 0) {
      setNumber(control, window::PropFontColor, numberProperty(parent, window::PropFontColor));
    } else if (ITEMQ->ACTIVE == 0) {
      setNumber(control, window::PropFontColor, numberProperty(parent, window::PropFontColor));
      setNumber(control, window::PropFontStyle, fontStyle(parent));
    } else if (ITEMQ->WORKING == 1) {
      setNumber(control, window::PropFontColor, ITEMQ->BRIGHT);
      setNumber(control, window::PropFontStyle, ITEMQ->BRIGHTSTYLE);
    } else {
      setNumber(control, window::PropFontColor, ITEMQ->NORMAL);
      setNumber(control, window::PropFontStyle, ITEMQ->NORMALSTYLE);
    }
  }
  window::SETPOSITION(
      region, numberProperty(control, window::PropXpos), numberProperty(control, window::PropYpos),
      numberProperty(control, window::PropWidth), numberProperty(control, window::PropHeight));
  window::setProperty(region, window::PropHide, window::getProperty(control, window::PropHide));
}

void LinkPulseManager::TrackFormats(int list, std::optional<int> flags) {
  const int how = flags.value_or(0);
  if ((how & 2) != 0) TRACKERQ->FREE();
  for (int column = 1; column <= kMaxTrackedColumns && columnExists(list, column); ++column) {
    TRACKERQ->CONTROL = list;
    TRACKERQ->OLDFORMATCOL = columnFormat(list, column);
    if ((how & 3) == 0) {
      TRACKERQ->GET({TrackerControl, TrackerOldFormatCol});
      if (runtime::ERRORCODE() == 0) {
        TRACKERQ->COLUMNNO = column;
        TRACKERQ->PUT();
        continue;
      }
      TRACKERQ->CONTROL = list;
      TRACKERQ->OLDFORMATCOL = columnFormat(list, column);
    }
    TRACKERQ->COLUMNNO = column;
    TRACKERQ->ADD();
  }
}

int LinkPulseManager::MoveColumns(int control, std::optional<ColumnList> oldColumns,
                                  std::optional<ColumnList> newColumns) {
  std::vector<ColumnMove> moves;
  if (!oldColumns || !newColumns) {
    for (int column = 1; columnExists(control, column) && moves.size() < ColumnList{}.size();
         ++column) {
      TRACKERQ->CONTROL = control;
      TRACKERQ->COLUMNNO = column;
      TRACKERQ->GET({TrackerControl, TrackerColumnNo});
      if (runtime::ERRORCODE() != 0) break;
      const std::string format = columnFormat(control, column);
      if (format == TRACKERQ->OLDFORMATCOL) continue;
      TRACKERQ->OLDFORMATCOL = format;
      TRACKERQ->GET({TrackerControl, TrackerOldFormatCol});
      if (runtime::ERRORCODE() == 0) moves.push_back({TRACKERQ->COLUMNNO, column});
    }
    Trace(cat("Which Cols: ", movesText(moves)));
  } else {
    for (std::size_t k = 0; k < oldColumns->size(); ++k) {
      if ((*oldColumns)[k] != 0) moves.push_back({(*oldColumns)[k], (*newColumns)[k]});
    }
  }

  // Phase one parks every link on a column number of its own, above every real column, so that
  // two links that swap columns never meet; phase two puts each on its new column.
  int result = 0;
  std::vector<ColumnMove> parked;
  std::vector<ColumnMove> moved;
  int temporary = kMaxColumnNumber;
  for (const ColumnMove& move : moves) {
    const bool valid = move.from >= 1 && move.from <= kMaxColumnNumber && move.to >= 1 &&
                       move.to <= kMaxColumnNumber;
    if (!valid || !fetchItem(control, move.from)) {
      result = 2;
      continue;
    }
    ++temporary;
    ITEMQ->COLUMN = temporary;
    ITEMQ->PUT();
    parked.push_back({temporary, move.to});
    moved.push_back(move);
  }
  for (const ColumnMove& move : parked) {
    if (!fetchItem(control, move.from)) continue;
    ITEMQ->COLUMN = move.to;
    ITEMQ->PUT();
    Trace(
        cat("Color(", move.to, "): ", ITEMQ->BRIGHT, " ", ITEMQ->NORMAL, " Style: ", ITEMQ->STYLE));
  }
  ITEMQ->SORT({ItemControl, ItemColumn});
  for (std::size_t n = 1; n <= ITEMQ->RECORDS(); ++n) {
    ITEMQ->GET(n);
    if (ITEMQ->CONTROL == control) SetControlProperties(control, 0);
  }
  const std::string pairs = movesText(moved);
  Trace(cat("\r\nPerm Change: ", pairs));
  if (!runtime::COMMAND("/XPCheck").empty()) runtime::STOP(pairs);
  return result;
}

}  // namespace linkpulse
