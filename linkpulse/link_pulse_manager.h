// LinkPulseManager turns controls of a window into links: a click (or a chosen key or event)
// on the control launches its address (web page, e-mail address, Skype name, file) through the
// shell, and the control can change colour, underline and cursor while the mouse is over it.
//
// A window owns one manager, calls Init once, registers its link controls with AddItem or
// AddTextItem and passes every event to TakeEvent first. The window operations act on the
// calling thread's current window (platform/window/engine.h). Handler look-ups, the shell and
// the system facts go through a LinkSystem (link_system.h). Trace lines go to the debug sink
// when the program was started with /LPDebug.
//
// Link regions: a text control (STRING or PROMPT) is covered by a REGION numbered
// control + 2800 that reports the mouse; events of a region are taken as the item's own.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "linkpulse/link_records.h"
#include "linkpulse/link_system.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/text_types.h"

namespace linkpulse {

// Region numbers are the item's control number plus this.
inline constexpr int kRegionOffset = 2800;

// The column moves of MoveColumns: entry k of the old list moves to entry k of the new list;
// 0 = no entry.
using ColumnList = std::array<std::int32_t, 64>;

class LinkPulseManager {
 public:
  // A manager with every field cleared but for PSZBUFFER (4096), asking `system` for handlers
  // and launches. `system` must outlive the manager.
  explicit LinkPulseManager(LinkSystem& system = osLinkSystem());
  virtual ~LinkPulseManager();
  LinkPulseManager(const LinkPulseManager&) = delete;
  LinkPulseManager& operator=(const LinkPulseManager&) = delete;

  // --- Fields, in declaration order.
  std::unique_ptr<ItemQueue> ITEMQ;  // created by Init
  runtime::CString<256> HYPERBROWSER;
  runtime::CString<256> HYPEREMAIL;
  runtime::Long HANDCURSOR;  // the poll event on which CheckMouse runs
  runtime::String<4096> LISTURL;
  runtime::Byte INITED;
  runtime::String<4096> URLTORUN;
  std::unique_ptr<TrackerQueue> TRACKERQ;  // created by Init
  runtime::CString<256> OPENPROGRAM;
  runtime::Byte CHECKURLS;
  runtime::Byte ENCODEEMAILS;
  runtime::Long LASTFIELDSELECTED;
  runtime::String<255> HANDCURSORTOUSE;
  runtime::Long LIMITURL;  // e-mail line limit: > 0 length, 0 none, -1 by system version
  runtime::Long REGQUERYHANDLE;
  runtime::CString<4096> REGSUBKEYNAME;
  runtime::Long REGBUFFERSIZE;
  runtime::CString<4096> PSZVALUE;
  runtime::CString<4096> PSZPATH;
  runtime::ULong PSZBUFFER;
  runtime::Long LPMODTEMPTYPE;
  runtime::Byte DEBUGSET;
  runtime::Byte DEBUGON;
  // Kept for callers; a web address always opens with the handler of its kind here, so no
  // browser is started with the address as a parameter.
  runtime::Byte TRYTOSTARTINEXISTINGWINDOW;

  // --- Virtual operations, in slot order. An argument of type std::optional may be omitted.

  // Adds a link item for `control` from the ITEMQ buffer as the caller left it (its
  // SKYPEFUNCTION, NORMALSTYLE and BRIGHTSTYLE are kept). For a LIST, `url` is the column
  // number; a negative `styleOrFlags` also shows the hand cursor over the cell. For other
  // controls bit 0 of `styleOrFlags` underlines and the bits above it are the launching event;
  // a non-zero `standardAction` on an ENTRY is its launch key.
  virtual void AddItem(int control, std::optional<std::string_view> url, std::optional<int> normal,
                       std::optional<int> bright, std::optional<int> styleOrFlags,
                       int standardAction);
  // Creates the queues, makes `pollEvent` (when given) the event CheckMouse runs on, looks up
  // the browser and the e-mail program and, unless bit 0 of `flags` is set, makes the window
  // draw through a buffer.
  virtual void Init(std::optional<int> pollEvent, int flags);
  // On the poll event: ends the hover of items the mouse has left (posts MouseOut) and follows
  // the mouse over list-column links.
  virtual void CheckMouse();
  // Reads an ENTRY item's address from its screen text, checks addresses against the registry
  // when CHECKURLS is set, and gives the controls their look. `control` 0 = every item.
  virtual void Refresh(int control);
  // Launches URLTORUN: an e-mail address with the e-mail program (cut to `limit`, or to
  // LIMITURL when `limit` is 0), anything else with the handler of its kind. A failure is
  // reported in a message box.
  virtual void RunURL(int limit);
  // Gives a list cell its style; does nothing here.
  virtual void SetCellStyle(int control, int column, int row, int style);
  // Takes the current event of the window: hover, click, launch key.
  virtual void TakeEvent();
  // The address of a list cell; the base answers an empty text. The library passes the column
  // as text and the two further texts empty.
  virtual std::string ListCellURL(int control, std::optional<std::string_view> column,
                                  std::optional<std::string_view> extra1,
                                  std::optional<std::string_view> extra2);
  // A new address for a non-list item (an omitted `url` clears it); refreshes the control.
  virtual void SetURL(int control, std::optional<std::string_view> url);
  // An address as an HTML anchor (kind 0), in double quotes (kind 1) or bare (any other kind),
  // with "mailto:" or "http://" in front when it names no scheme.
  virtual std::string MakeAnchor(std::string_view address, int kind);
  // Moves a list's column links after its columns were moved: entry k of `oldColumns` to entry
  // k of `newColumns`; without the lists, the moves are worked out from TRACKERQ. Answers 0
  // when every named old column had a link to move, else 2.
  virtual int MoveColumns(int control, std::optional<ColumnList> oldColumns,
                          std::optional<ColumnList> newColumns);
  // Gives a link control its look (colour, underline, cursor, alert key, link region) from
  // the current ITEMQ entry; `firstTime` is 1 from AddItem and AddTextItem, 0 from Refresh.
  virtual void SetControlProperties(int control, int firstTime);
  // Records the format of each column of `list` in TRACKERQ. Flag 2 empties TRACKERQ first;
  // flags 1 or 2 add every column, otherwise a known format gets its new position.
  virtual void TrackFormats(int list, std::optional<int> flags);
  // Adds a link item for a text control (STRING or PROMPT); an omitted or blank `url` makes
  // its screen text the address.
  virtual void AddTextItem(int control, std::optional<std::string_view> url,
                           std::optional<int> normal, std::optional<int> bright,
                           std::optional<int> normalStyle, std::optional<int> brightStyle);
  // Looks up the program for `address` (with a Skype function, the callto handler) into
  // OPENPROGRAM; answers 1 when one was found, else 0.
  virtual int FindProgram(std::string_view address, int skypeFunction);
  // Makes `control`'s item work (1) or not (0); answers 1, or 0 when it has no item.
  virtual int SetActive(int control, int active);
  // Writes "LinkPulse: " and the text to the debug sink, cut to 1023 bytes, when the command
  // line holds /LPDebug (looked up on the first call).
  virtual void Trace(std::string_view text);
  // The text strictly between the first two occurrences of `delimiter`; empty when it occurs
  // fewer than two times or twice in a row.
  virtual std::string Between(std::string_view text, std::string_view delimiter);
  // Shows "(number) text" under the title `caption` followed by the number, with the
  // information icon and an OK button.
  virtual void ShowMessage(std::string_view text, std::string_view caption, int number);
  // The address hook of a control: write the address into URLTORUN and answer non-zero to have
  // it launched. The base answers 0.
  virtual int ControlURL(std::optional<int> control);

 private:
  int queryRegistry(std::string_view subKey, std::string& value);
  void lookUpPrograms();
  std::string expandSystemDrive(std::string_view command);
  bool lookUpEmailProgram();
  int tryHandlerKeys(std::string_view address, int skypeFunction);
  void dispatch(int ctl);
  void click();
  void refreshItem();
  void setTextControlProperties(int control, int firstTime);
  bool fetchItem(int control);
  bool fetchItem(int control, int column);

  LinkSystem& system_;
};

}  // namespace linkpulse
