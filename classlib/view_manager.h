// The view manager: reads a file through a VIEW, in an order and through a filter. It opens
// the view once, through the upgrade manager's ds_FileOpen with access mode 22h, and shows
// the error reporter's message 43 ("View Open Error") when that open fails with an error other
// than 52 (already open). The order and filter it was given are set on the view at the open,
// whatever its outcome, and again at each reset.
//
// Every step is a virtual operation, declared in slot order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/error_level.h"

namespace files {
class FileView;
}

namespace classlib {

class FileManager;

// The access mode a view is opened with: read/write, deny write.
inline constexpr int kViewAccessMode = 0x22;

class ViewManager {
 public:
  ViewManager() = default;
  // Closes the view if this manager opened it. The view must still exist then.
  virtual ~ViewManager();
  ViewManager(const ViewManager&) = delete;
  ViewManager& operator=(const ViewManager&) = delete;

  // ---- Virtual operations, in slot order ----

  // Attaches `view` and the file manager of its primary file, whose display name and error
  // reporter the manager's messages use; the order is physical and there is no filter.
  virtual void init(files::FileView& view, FileManager& primary);
  // Opens the view, once: ds_FileOpen with kViewAccessMode. 0 marks it open by this manager,
  // 52 is taken as open; any other error is reported with MsgViewOpenFailed. Then the order
  // and filter are applied. Answers LevelBenign, or LevelNotify after a reported failure.
  virtual int open();
  // Sets the order and filter on the view (applyOrder, applyFilter).
  virtual void applyOrder();
  virtual void applyFilter();
  // Orders the view by key number `key` of the primary file (0: physical order). False,
  // changing nothing, when the file has no such key.
  virtual bool setOrder(int key);
  // Orders the view by the primary's fields (1-based numbers, negative for descending), texts
  // compared without regard to case with `noCase`. False, changing nothing, for an empty list
  // or a number that names no field.
  virtual bool setOrderFields(std::vector<std::int32_t> fields, bool noCase = false);
  // Sets the filter expression; an empty text is none. False, keeping the filter before, when
  // `filter` is not an expression.
  virtual bool setFilter(std::string_view filter);
  // Applies the order and the filter and starts reading (SET). Answers 0 or the error.
  virtual int reset();
  // The same, starting at the order key's values in the primary's record buffer (an order by
  // key; see SET(FileView&, SetFrom)).
  virtual int resetAtBuffer();
  // Reads the next or previous record that passes the filter into the primary's record
  // buffer. Answers 0 or the error (33 at the end or start).
  virtual int next();
  virtual int previous();
  // Closes the view if this manager opened it; the next open opens it again.
  virtual void close();
  // Closes the view and detaches it.
  virtual void kill();

  // Going on with the reading (FileView::readingMark, canGoOn); not after the order or the
  // filter changed since the last reset.
  std::uint64_t readingMark() const;
  bool canGoOn(std::uint64_t mark);

  // ---- State ----

  files::FileView* view() const { return view_; }
  FileManager* primary() const { return primary_; }
  // True once open has succeeded (0 or 52) and until close.
  bool isOpen() const { return open_; }
  const std::string& filter() const { return filter_; }

 private:
  int start(bool atBuffer);

  files::FileView* view_ = nullptr;
  FileManager* primary_ = nullptr;
  int orderKey_ = 0;
  std::vector<std::int32_t> orderFields_;
  bool noCase_ = false;
  std::string filter_;
  bool open_ = false;
  bool openedView_ = false;
  bool changedSinceStart_ = true;  // the order or filter changed after the last reset
};

}  // namespace classlib
