// The browse: a list of a window that shows the records of a file, a page at a time. Its row
// queue holds only the rows shown; as the list scrolls, the browse reads the next or previous
// records of its sort order from the places kept in its rows, so a file of any size costs the
// same. The window engine's list reads the rows through the browse's list source.
//
// The browse reads its file through a VIEW of its own and the view's ViewManager, opened once
// at init (message 43 when that fails). A sort order is a key of the file, or none (the file's
// unique key order, which a sort header can replace by the order of list columns); the view
// is ordered by the current order's key and filtered by the browse's filter expression, and
// each record it passes goes through validateRecord before it becomes a row. The buttons
// (or popup entries, or keys) for insert, change and delete run the window's called procedure
// (the form) or edit the row in place; in the select request a double click or the Select
// control puts the row's record into the file's record buffer and ends the window with
// ResponseCompleted.
//
// Every step is a virtual operation; a window procedure overrides the ones it adds to.
#pragma once

#include <climits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/browse_order.h"
#include "classlib/locator.h"
#include "classlib/popup_manager.h"
#include "classlib/toolbar.h"
#include "classlib/view_manager.h"
#include "classlib/window_component.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/queue.h"
#include "platform/window/list_source.h"

namespace files {
class FileDeclaration;
class FileView;
}  // namespace files

namespace classlib {

class EditInPlace;
class FileManager;
class RelationManager;
class WindowController;

// What validateRecord answers for a record.
enum RecordCheck : int {
  RecordOk = 0,
  RecordOutOfRange = 1,  // stop reading in this direction
  RecordFiltered = 2,    // leave the record out of the list
};

// How the list scrolls.
enum ScrollAction : int {
  ScrollUp = 1,
  ScrollDown = 2,
  ScrollPageUp = 3,
  ScrollPageDown = 4,
  ScrollTop = 5,
  ScrollBottom = 6,
};

// What the popup menu's own entries do, by their text.
inline constexpr std::string_view kPopupInsert = "&Insert";
inline constexpr std::string_view kPopupChange = "&Change";
inline constexpr std::string_view kPopupDelete = "&Delete";
inline constexpr std::string_view kPopupSelect = "&Select";

class BrowseManager : public WindowComponent, public ToolbarTarget, private window::ListSource {
 public:
  BrowseManager();
  ~BrowseManager() override;

  // ---- Fields set by the application ----

  int SELECTCONTROL = 0;  // control numbers, 0 = none
  int INSERTCONTROL = 0;
  int CHANGECONTROL = 0;
  int DELETECONTROL = 0;
  int ASKPROCEDURE = 0;        // 1: insert, change and delete run the window's procedure 1;
                               // 0: they edit in place (EIP)
  EditInPlace* EIP = nullptr;  // the edit-in-place manager
  int ARROWACTION = 0;         // EipArrow bits: what the arrow keys do while a row is edited
  int DELETEACTION = 0;        // EipDelete: whether a delete in place asks first
  bool EDITVIAPOPUP = true;    // the popup menu offers insert, change and delete

  // ---- Virtual operations, in slot order ----

  // Attaches the list control of the current window, the row queue (its last field, a STRING,
  // keeps each row's place; the field before it is the row's mark), the file's relation
  // manager and the window controller, and becomes a component of the window. The list reads
  // its rows from the queue from now on. Opens the browse's view of the relation manager's file
  // (ViewManager::open: message 43 when it cannot be opened; the list stays empty then).
  virtual void init(int listControl, runtime::QueueBase& queue, RelationManager& relation,
                    WindowController& wm);
  // Stops the list reading from the queue and ends the browse's work.
  void kill() override;
  // Adds a sort order on key `key` of the file (0 = none: the order of the file's unique key,
  // or of its first key when it has no unique one). Answers the order's number, from 1.
  virtual int addSortOrder(int key = 0);
  // Gives the order added last a locator (kept by the caller).
  virtual void addLocator(Locator& locator);
  // Gives the order added last a thumb in `mode` (ThumbMode).
  virtual void setThumb(int mode);
  // Row field `queueField` (1-based in the queue) shows file field `fileField` (1-based in the
  // record).
  virtual void addField(int fileField, int queueField);
  // The filter: an expression over bound names (the file's fields, bound variables) that a
  // record must meet to be shown, evaluated by the view from the next read on; empty = none.
  // An expression that does not parse is reported and then lets no record through. Answers
  // whether it parsed.
  virtual bool setFilter(std::string_view expression);
  // Makes order `order` the current one (resetSort). Answers true when it was not already.
  virtual bool setSort(int order);
  // Sorts the current order without a key by file fields `fields` (1-based, negative for
  // descending); empty = back to its own order. Needs a unique key; answers false, changing
  // nothing, when the file has none or the order has a key.
  virtual bool setSortFields(std::vector<int> fields);
  // Applies the current order and rebuilds the list from its first record (when the order
  // changed, or `force`). Answers true when it rebuilt.
  virtual bool resetSort(bool force);
  // Whether the record in the buffer, passed by the view's filter, belongs in the list:
  // RecordFiltered when the filter is broken, else RecordOk. Overrides add their own tests.
  virtual int validateRecord();
  // Fills the queue's buffer, one row, from the record buffer (the fields of addField).
  virtual void setQueueRecord();
  // Rebuilds the list from the file: the page from the row at the top (the first record when
  // the list is empty or its top record is gone), keeping the selected record when it is still
  // shown; then the buffer holds the selected record.
  virtual void resetFromView();
  // A new row was selected: the record buffer gets its record. The popup click (key 130)
  // shows the popup menu instead.
  virtual int takeNewSelection();
  // A key the browse had the list report: scrolling keys scroll, the locator's keys locate,
  // Insert and Delete ask for an insert or a delete. Answers true when it took the key.
  virtual bool takeKey();
  // Scrolls the list (ScrollAction), reading what comes into view.
  virtual void scroll(int action);
  // The user scrolled the list with the mouse (EventScrolled): takes the list's pending
  // scroll requests together. Wheel and scroll-bar lines and pages move the page by rows,
  // keeping the selected record while it stays on the page (else the row nearest to it is
  // selected); a thumb drag goes to that percentage of the order by its thumb (without a
  // thumb only the two ends are known: the first page and the last). While a row is edited
  // in place the requests are dropped. A list whose screen now shows another number of rows
  // (EventScrolled without requests) has its page fitted to them first.
  virtual void takeScroll();
  // An accepted control of the browse (the list itself, by double click or Enter; the select,
  // insert, change and delete controls).
  virtual int takeAccepted();
  // Insert, change or delete: the selected row's record is read into the buffer (change and
  // delete) and the window's procedure ASKPROCEDURE runs, or the edit-in-place manager edits
  // the row. Answers the procedure's response (ResponseCompleted: the list is rebuilt at the
  // written record), or ResponseCancelled.
  virtual int ask(int request);
  // The select request's choice: the selected row's record into the buffer, RESPONSE
  // completed, and the window closes. Does nothing on an empty list.
  virtual void takeSelect();
  // Reads the selected row's record into the buffer; blanks it when there is no row (or the
  // record is gone).
  virtual void updateBuffer();
  // Enables the change, delete and select controls when the list has rows, disables them
  // when it has none.
  virtual void updateControls();
  // Builds the popup menu: with EDITVIAPOPUP the insert, change and delete entries of the
  // controls there are, the select entry, then each popup source's entries after a line.
  virtual void setupPopup();
  // Carries out popup item `item`. Answers whether it was an entry of the browse or a source.
  virtual bool takePopupChoice(int item);
  // Locates: the first record at or after the locator's value (or the values the order's
  // fields have in the buffer, without a locator) becomes the selected row.
  virtual void locate();

  // WindowComponent.
  int takeEvent() override;
  // Fills the list the first time, and rebuilds it when forced (resetFromView).
  void reset(bool force) override;
  // The list reports the keys the browse takes.
  void setAlerts() override;
  // ToolbarTarget: the scrolling, insert, change, delete and select buttons.
  bool takeToolbar(int action) override;

  // ---- Set-up and state ----

  // Adds a source of popup entries (a list-format manager), kept by the caller.
  void addPopupSource(PopupSource& source) { popupSources_.push_back(&source); }
  PopupManager& popup() { return popup_; }

  // Moves to `percent` (0 to 100) of the current order by its thumb.
  void scrollToPercent(int percent);
  // Where the selected row lies by the thumb, 0 to 100; 0 without a thumb. The list's scroll
  // bar shows it (unknown without a thumb).
  int thumbPercent() const { return thumbPercent_; }

  int listControl() const { return list_; }
  int currentSort() const { return current_; }
  // The rows shown and the selected one (1-based, 0 = none).
  int rows() const;
  int selectedRow() const;
  // The file field that row field `queueField` shows; 0 for none.
  int fileFieldOf(int queueField) const;
  files::FileDeclaration* file() const { return file_; }
  // The view the browse reads through (attached from init on).
  ViewManager& view() { return view_; }
  FileManager* fileManager() const { return fileManager_; }
  WindowController* windowController() const { return wm_; }
  runtime::QueueBase* queue() const { return queue_; }
  // The place of row `row` as its record's order position.
  std::string positionOf(int row) const;
  // Rebuilds the page so that the record now in the buffer (just written) is the selected row.
  // `orderIsFresh`: the order was made after the record was written, so it is not made again.
  void resetAtBuffer(bool orderIsFresh = false);
  // Makes a row for the record in the buffer (a fresh one, not yet stored) below the selected
  // row, or first in an empty list, and selects it; answers its number. The page keeps its
  // size: a row at its other end goes.
  int addEditRow();

 private:
  struct Order {
    int key = 0;                  // 0 = none
    std::vector<int> sortFields;  // a sort header's fields for an order without a key
    Locator* locator = nullptr;
    int thumbMode = ThumbNone;
  };
  struct Mapping {
    int fileField;
    int queueField;
  };
  // How setQueueRecord fills a row field: a file field's bytes as they are (`sameBytes`),
  // converted, or a memo's text (a `fileField` beyond the record's fields).
  struct FieldCopy {
    int fileField;
    const runtime::FieldDef* to;
    bool sameBytes;
  };
  struct Row {
    std::vector<std::byte> bytes;  // the queue entry
  };

  // window::ListSource: the queue's rows.
  std::size_t rowCount() const override;
  runtime::Value field(std::size_t row, int field) const override;

  int pageSize() const;
  BrowseOrder& order();
  void makeOrder();
  // Reads up to `count` rows in one direction from where `order()` was started.
  std::vector<Row> readRows(bool forward, int count);
  // Makes `rows` the page with row `selected` selected; show() also reads the selected record
  // into the buffer and updates the controls.
  void replaceRows(const std::vector<Row>& rows, int selected);
  void show(std::vector<Row> rows, int selected);
  // Rows `first` to `last` of the page (1-based, cut to the rows there are).
  std::vector<Row> currentRows(int first = 1, int last = INT_MAX) const;
  std::string rowPosition(const Row& row) const;
  // The place kept in the queue entry `entry`; empty when it holds none.
  std::string positionIn(std::span<const std::byte> entry) const;
  void fillFrom(const std::optional<std::string>& at, const std::optional<std::string>& keep);
  void selectRow(int row, bool tellWindow);
  void shiftPage(int delta);
  // Makes the page as long as the list shows rows, when that changed since it was filled: rows
  // beyond are dropped, the selected one staying on the page; missing ones are read.
  void fitPage();
  void buildThumb();
  void storePosition(std::byte* entry);
  void planQueueRecord();

  int list_ = 0;
  runtime::QueueBase* queue_ = nullptr;
  RelationManager* relation_ = nullptr;
  FileManager* fileManager_ = nullptr;
  files::FileDeclaration* file_ = nullptr;
  WindowController* wm_ = nullptr;
  std::vector<Order> orders_;
  int current_ = 0;  // 1-based, 0 before the first setSort
  int applied_ = 0;  // the order the reader was made for
  std::unique_ptr<files::FileView> fileView_;
  ViewManager view_;  // after fileView_: it closes the view as it goes
  std::unique_ptr<BrowseOrder> reader_;
  std::vector<Mapping> fields_;
  std::vector<FieldCopy> fieldCopies_;  // fields_ as setQueueRecord fills them
  bool fieldCopiesPlanned_ = false;
  std::vector<std::byte> blankRow_;  // a cleared row of the queue, copied in place of CLEAR
  std::vector<Row> spareRows_;       // the rows of the page shown last, reused by readRows
  bool filterBroken_ = false;
  bool loaded_ = false;
  int filledPage_ = 0;  // pageSize() when the page was last filled
  bool killed_ = false;
  PopupManager popup_;
  std::vector<PopupSource*> popupSources_;
  std::vector<std::pair<int, std::string_view>> popupEntries_;  // item -> entry text
  Thumb thumb_;
  int thumbPercent_ = 0;
};

}  // namespace classlib
