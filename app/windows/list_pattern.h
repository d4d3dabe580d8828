// The list-window pattern: what every list window of the program (a browse of one dictionary
// file in list control 1) does the same way. A list is described by a ListSpec; its controller
// derives from ListWindow and adds only its own steps (a locator, edit in place, a preview).
//
// The procedure (ListWindow::runProcedure): the tab-stop navigation is created, the window
// opened, the controller run, its answer put in the thread's response byte, the window closed
// and the navigation killed. The opening registers the procedure name with the error reporter,
// takes the request from the thread's request byte (and clears both bytes), opens the file
// through its relation manager, sets the browse up on list 1 (its row fields are the queue's
// fields labelled as fields of the file, "TPL:DESCRIPTION"), the list-format manager under the
// procedure name, "game_dock" and ".\game_dock.INI" (its entries in the list's popup menu), and
// the column sizer. The Close button answers 2 in the select request, else 1; Insert, Change
// and Delete run the ListSpec's form with that request (answering 2 and running nothing in the view
// request, where their buttons are disabled).
#pragma once

#include <string_view>

#include "app/windows/tab_stop_nav.h"
#include "classlib/auto_size_columns.h"
#include "classlib/browse_manager.h"
#include "classlib/list_format_manager.h"
#include "classlib/toolbar.h"
#include "classlib/window_controller.h"
#include "platform/files/file_declaration.h"
#include "platform/runtime/queue.h"
#include "platform/window/window_definition.h"

namespace app {

inline constexpr std::string_view kListLabel = "P1$WINDOW";
inline constexpr int kListControl = 1;
inline constexpr std::string_view kListApplication = "game_dock";
inline constexpr std::string_view kListSettingsFile = ".\\game_dock.INI";

struct ListSpec {
  std::string_view procedure;  // "browse_Templates": for the error reporter and list formats
  std::string_view key;        // the window resource: key, label kListLabel
  const files::PerThreadFile* file;
  std::string_view sortKey = {};  // the label of the key of the one sort order; empty = none
  int selectControl = 0;          // 0 = none
  int insertControl = 0;
  int changeControl = 0;
  int deleteControl = 0;
  int closeControl = 0;
  void (*form)() = nullptr;  // the form Insert, Change and Delete run; nullptr = none
};

class ListWindow : public classlib::WindowController {
 public:
  // `rows` is the list's row queue (its last two fields the browse's MARK and VIEWPOSITION),
  // `browse` the browse over it; both must outlive the controller.
  ListWindow(const ListSpec& spec, runtime::QueueBase& rows, classlib::BrowseManager& browse)
      : spec_(spec), rows_(rows), browse_(browse) {}

  // The whole list procedure; the response goes to the thread's response byte.
  void runProcedure();

  int init() override;
  int kill() override;
  // The tab-stop navigation first (a key it handles ends the event's processing), then the
  // column sizer, then the library; a change of the browse's sort order switches the list
  // format to "SortOrder" and the order's number.
  int takeEvent() override;
  // Procedure 1, the ListSpec's form: the request in the thread's request byte, the form run, its
  // response answered. In the view request, or without a form, 2 and nothing run.
  int run(int number, int request) override;
  using WindowController::run;

  const ListSpec& spec() const { return spec_; }
  classlib::BrowseManager& browse() { return browse_; }
  classlib::ListFormatManager& formatManager() { return formats_; }

 protected:
  // The list's own set-up of the browse once its order is added, before the list is filled: a
  // locator, edit in place ...
  virtual void setUpBrowse() {}

 private:
  void followSort();

  const ListSpec& spec_;
  runtime::QueueBase& rows_;
  classlib::BrowseManager& browse_;
  TabStopNav nav_;
  classlib::Toolbar toolbar_;
  classlib::ListFormatManager formats_;
  classlib::AutoSizeColumns sizer_;
  std::string callerProcedure_;
  int lastSort_ = 0;
  bool fileOpened_ = false;
};

// The resource skeleton of a list window: key, label kListLabel, title, icon "dockmark.ico",
// and list control 1 at `list` with `format`.
window::WindowDefinition listResource(std::string_view key, std::string_view title,
                                      std::string_view format, window::Rect at, window::Rect list);

}  // namespace app
