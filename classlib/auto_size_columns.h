// Keeps the columns of lists in proportion to their lists: when a list becomes wider or
// narrower (the window was sized), the widths of its resizable columns change in proportion;
// when the user resizes a column, that width becomes the one kept.
#pragma once

#include <map>
#include <vector>

namespace classlib {

class AutoSizeColumns {
 public:
  // Starts without lists.
  void init() { lists_.clear(); }
  // Adds list `control` of the current window, with its width and column widths now as the
  // ones to keep in proportion.
  void addList(int control);
  // Looks at the current event: a list that changed its width has its columns scaled; a column
  // the user resized in one of its lists is taken as the new width to keep, and that event is
  // handled. Answers non-zero when it handled the event.
  int takeEvent();
  // Forgets the lists.
  void kill() { lists_.clear(); }

 private:
  struct Fitted {
    int width = 0;             // the list's width the kept column widths belong to
    std::vector<int> columns;  // the kept widths
    int applied = 0;           // the list's width the columns were last scaled for
  };
  void remember(int control);

  std::map<int, Fitted> lists_;
};

}  // namespace classlib
