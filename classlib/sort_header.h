// Clickable column headings that sort a browse: a click on a heading sorts the list by that
// column, a second click the other way round. With the keyboard, Ctrl+Right and Ctrl+Left in
// the list pass the sort to the next or the previous column. Given an INI manager and a
// procedure name, the header keeps its sort there between runs; without them it keeps none.
//
// It sorts the browse's current order when that has no key (see BrowseManager::setSortFields).
#pragma once

#include <string>
#include <string_view>

namespace classlib {

class BrowseManager;
class IniManager;

class SortHeader {
 public:
  virtual ~SortHeader() = default;

  // Sets the header up on `browse`'s list, keeping its sort under `procedure` in `ini` when
  // both are given.
  virtual void init(BrowseManager& browse, IniManager* ini = nullptr,
                    std::string_view procedure = {});
  // A heading click or a sorting key on its list. Answers non-zero when it handled the event.
  virtual int takeEvent();
  // Sorts by list column `column` (1-based; negative: descending), or 0: the list's own order.
  // Answers false, changing nothing, for a column that shows no field of the file or a browse
  // whose order has a key. The selected record stays selected in the new order.
  virtual bool sortBy(int column);
  // The first time it is called: puts back the sort kept under the procedure's name, the list
  // starting at its first row. Answers whether it sorted.
  virtual bool restoreSort();
  // Forgets the sorting column; the list keeps its order, and the next click sorts ascending.
  virtual void clearSort() { column_ = 0; }
  // Has the list report the sorting keys (again).
  virtual void setAlerts();
  // Ends the header's work.
  virtual void kill();

  // The sorting column (negative: descending), 0 = none.
  int sortColumn() const { return column_; }
  // The INI entry the sort is kept under: "SortColumn" and the list's number.
  std::string entryName() const;

 private:
  // The file field list column `column` shows; 0 when none.
  int fieldOfColumn(int column) const;
  int columnCount() const;
  // The next column after `from` (step +1 or -1) that shows a field, wrapping round; 0 = none.
  int nextSortable(int from, int step) const;
  // sortBy; with `keepSelected` the selected record stays selected, else the list starts at
  // the top of the new order.
  bool sort(int column, bool keepSelected);

  BrowseManager* browse_ = nullptr;
  IniManager* ini_ = nullptr;
  std::string procedure_;
  int column_ = 0;
  bool restored_ = false;
};

}  // namespace classlib
