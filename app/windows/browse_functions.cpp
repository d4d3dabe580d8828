#include "app/windows/browse_functions.h"

#include <algorithm>
#include <string>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "app/windows/app_window.h"
#include "app/windows/list_pattern.h"
#include "app/windows/quick_find.h"
#include "app/windows/record_binding.h"
#include "app/windows/tab_stop_nav.h"
#include "app/windows/update_functions.h"
#include "app/windows/window_files.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_procedures.h"
#include "app/windows/window_requests.h"
#include "classlib/auto_size_columns.h"
#include "classlib/browse_manager.h"
#include "classlib/list_format_manager.h"
#include "classlib/request.h"
#include "classlib/sort_header.h"
#include "classlib/toolbar.h"
#include "classlib/window_controller.h"
#include "platform/runtime/queue.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/properties.h"
#include "platform/window/window.h"

namespace app {
namespace {

using classlib::LevelBenign;
using window::ControlType;

constexpr int kModule = 15;
constexpr std::string_view kProcedure = "browse_functions";
const files::PerThreadFile* const kFiles[] = {&func};

// The record's fields shown under the list, bound to the calling thread's buffer at opening.
constexpr FieldControl kRecordFields[] = {
    {kFunctionsUser, "FUN:USER"},
    {kFunctionsDescription, "FUN:DESCRIPTION"},
    {kFunctionsForumLink, "FUN:FORUMLINK"},
};

// The list over func: one order without a key, rows with their icon and code, the quick
// filter as its record test.
class FunctionsBrowse : public classlib::BrowseManager {
 public:
  explicit FunctionsBrowse(QuickFind& filter) : filter_(filter) {}

  void setQueueRecord() override {
    BrowseManager::setQueueRecord();
    rows.FULLCODE_ICON = rows.FULLCODE.value() == 1 ? kIconWorkingCode : kIconSnippet;
    rows.EXAMPLECODE = func.get().memo(1)->content();
  }

  int validateRecord() override {
    const int check = BrowseManager::validateRecord();
    if (check != classlib::RecordOk) return check;
    return filter_.recordPasses() ? classlib::RecordOk : classlib::RecordFiltered;
  }

  void resetFromView() override {
    BrowseManager::resetFromView();
    filter_.listRebuilt(static_cast<std::size_t>(rows.RECORDS()));
  }

  // The buffer now holds the selected function (blank without one), whatever put it there: a
  // new row, a scroll, a rebuilt list or the form's insert, change or delete. The fields
  // under the list show it.
  void updateBuffer() override {
    BrowseManager::updateBuffer();
    window::Window* w = windowController()->window();
    if (!w) return;
    for (const auto& [control, label] : kRecordFields) w->display(control);
    w->display(kFunctionsCode);
  }

  // A change of order resets the sort header and switches the list format.
  bool resetSort(bool force) override {
    const int order = std::max(currentSort(), 1);
    if (order != lastSort_) {
      lastSort_ = order;
      formatManager.changeSort(std::string(classlib::ListFormatManager::kSortOrderName) +
                               std::to_string(order));
      header.clearSort();
    }
    const bool rebuilt = BrowseManager::resetSort(force);
    if (rebuilt) filter_.listRebuilt(static_cast<std::size_t>(rows.RECORDS()));
    return rebuilt;
  }

  runtime::Queue<FunctionsRow> rows;
  classlib::ListFormatManager formatManager;
  classlib::AutoSizeColumns sizer;
  classlib::SortHeader header;

 private:
  QuickFind& filter_;
  int lastSort_ = 0;
};

class FunctionsWindow : public classlib::WindowController {
 public:
  FunctionsWindow(TabStopNav& nav, linkpulse::LinkSystem& links)
      : nav_(nav),
        links_(links),
        quickFind_(QuickFind::forFunctions([this] { reset(true); })),
        browse_(quickFind_) {}

  int init() override {
    globalErrors().setProcedureName(kProcedure);
    REQUEST = windowRequests().request;
    const int rc = WindowController::init();
    if (rc != LevelBenign) return rc;
    ERRORS = &globalErrors();
    windowRequests().request = 0;
    windowRequests().response = 0;
    addToolbar(toolbar_);
    addItem(kFunctionsClose, REQUEST == classlib::RequestSelect ? classlib::ResponseCancelled
                                                                : classlib::ResponseCompleted);
    files_.open();
    FILESOPENED = true;
    open();
    bindRecord();
    window()->setProperty(kFunctionsList, window::PropLineHeight, 0);
    browse_.init(kFunctionsList, browse_.rows, *relationManager(func), *this);
    if (REQUEST != classlib::RequestView) {
      browse_.INSERTCONTROL = kFunctionsInsert;
      browse_.CHANGECONTROL = kFunctionsChange;
      browse_.DELETECONTROL = kFunctionsDelete;
    }
    browse_.ASKPROCEDURE = 1;
    quickFind_.open();
    browse_.setSort(browse_.addSortOrder());
    const runtime::RecordLayout& file = func.get().layout();
    const runtime::RecordLayout& row = browse_.rows.layout();
    for (int rowField = 1; rowField <= static_cast<int>(row.fieldCount()); ++rowField) {
      if (const int fileField = file.numberOf(row.field(rowField)->label); fileField != 0)
        browse_.addField(fileField, rowField);
    }
    toolbar_.setTarget(&browse_);
    browse_.formatManager.setStore(formats.get());
    browse_.formatManager.init(kProcedure, kListApplication, kFunctionsList, true, true, true);
    browse_.formatManager.options(kListSettingsFile, 0, true, 0);
    browse_.addPopupSource(browse_.formatManager);
    browse_.sizer.init();
    browse_.sizer.addList(kFunctionsList);
    browse_.header.init(browse_);  // not kept between runs
    reset();
    nav_.build(0);
    return LevelBenign;
  }

  int kill() override {
    const int rc = WindowController::kill();
    if (rc != LevelBenign) return rc;
    files_.close();
    browse_.header.kill();
    browse_.formatManager.kill();
    browse_.sizer.kill();
    quickFind_.close();
    globalErrors().setProcedureName("");
    return rc;
  }

  // The sort header, the tab-stop navigation and the column sizer see each event first.
  int takeEvent() override {
    if (browse_.header.takeEvent() != 0) return LevelBenign;
    if (nav_.takeKey()) return LevelBenign;
    if (browse_.sizer.takeEvent() != 0) return LevelBenign;
    return WindowController::takeEvent();
  }

  void reset(bool force = false) override {
    WindowController::reset(force);
    browse_.header.setAlerts();
  }

  int takeAccepted() override {
    const int control = window()->accepted();
    const int rc = WindowController::takeAccepted();
    if (rc != LevelBenign) return rc;
    if (control == kFunctionsFindSwitch) quickFind_.switchAccepted();
    if (control == kFunctionsFindEntry) quickFind_.textAccepted();
    return LevelBenign;
  }

  // The browse's Insert, Change and Delete: update_functions with that request.
  int run(int number, int request) override {
    if (number != 1 || REQUEST == classlib::RequestView) return classlib::ResponseCancelled;
    windowRequests().request = static_cast<std::uint8_t>(request);
    update_functions(links_);
    return windowRequests().response;
  }
  using WindowController::run;

 private:
  void bindRecord() {
    bindRecordFields(*window(), func.get(), kRecordFields);
    bindRecordMemo(*window(), kFunctionsCode, func.get(), 1);
  }

  TabStopNav& nav_;
  linkpulse::LinkSystem& links_;
  QuickFind quickFind_;
  FunctionsBrowse browse_;
  classlib::Toolbar toolbar_;
  WindowFiles files_{kFiles};
};

}  // namespace

const runtime::RecordLayout& FunctionsRow::layout() {
  static const FieldDef fields[] = {
      GD_FIELD(FunctionsRow, FULLCODE, "FUN:FULLCODE"),
      GD_FIELD(FunctionsRow, FULLCODE_ICON, "FULLCODE_ICON"),
      GD_FIELD(FunctionsRow, NAME, "FUN:NAME"),
      GD_FIELD(FunctionsRow, DESCRIPTION, "FUN:DESCRIPTION"),
      GD_FIELD(FunctionsRow, EXAMPLECODE, "EXAMPLECODE"),
      GD_FIELD(FunctionsRow, FORUMLINK, "FUN:FORUMLINK"),
      GD_FIELD(FunctionsRow, ID, "FUN:ID"),
      GD_FIELD(FunctionsRow, MARK, "MARK"),
      GD_FIELD(FunctionsRow, VIEWPOSITION, "VIEWPOSITION"),
  };
  static const runtime::RecordLayout layout(fields, sizeof(FunctionsRow));
  return layout;
}

void addBrowseFunctionsResource() {
  window::WindowDefinition d;
  d.key = std::string(kBrowseFunctionsKey);
  d.label = std::string(kBrowseFunctionsLabel);
  d.title = "AGK Functions Database";
  d.icon = "AutoformatDoc.ico";
  d.at = {0, 0, 440, 300};
  d.resizable = true;
  d.add(1, ControlType::Sheet).at(4, 4, 432, 270);
  d.add(2, ControlType::Tab).text("Functions").parent(1);
  d.add(kFunctionsFindSwitch, ControlType::Button).text("Find Off").parent(2).at(10, 20, 44, 12);
  d.add(4, ControlType::Prompt).text("Find:").parent(2).at(60, 22, 22, 10);
  d.add(kFunctionsFindEntry, ControlType::Entry).picture("@s20").parent(2).at(84, 20, 90, 12);
  d.add(kFunctionsIgnoreCase, ControlType::Check)
      .text("Ingore Case")
      .values("1", "0")
      .parent(2)
      .at(180, 21, 60, 10);
  d.add(kFunctionsIncludeMemo, ControlType::Check)
      .text("Include Memo")
      .values("1", "0")
      .parent(2)
      .at(244, 21, 60, 10);
  d.add(kFunctionsList, ControlType::List)
      .format(kFunctionsListFormat)
      .iconList(kIconWorkingCode, "~14.ico")
      .iconList(kIconSnippet, "~16.ico")
      .parent(2)
      .at(10, 36, 420, 110);
  d.add(kFunctionsCode, ControlType::Text).parent(2).at(10, 150, 250, 96);
  d.add(8, ControlType::String).text("Posted by:").parent(2).at(266, 150, 40, 10);
  d.add(kFunctionsUser, ControlType::String).picture("@s29").parent(2).at(310, 150, 120, 10);
  d.add(kFunctionsDescription, ControlType::Text).parent(2).at(266, 164, 164, 66);
  d.add(kFunctionsForumLink, ControlType::Entry).picture("@s254").parent(2).at(266, 234, 164, 12);
  d.add(kFunctionsInsert, ControlType::Button).text("&Insert").at(200, 280, 54, 14);
  d.add(kFunctionsChange, ControlType::Button).text("&Change").at(258, 280, 54, 14);
  d.add(kFunctionsDelete, ControlType::Button).text("&Delete").at(316, 280, 54, 14);
  d.add(kFunctionsClose, ControlType::Button).text("Close").at(380, 280, 54, 14);
  addModuleWindow(kModule, std::move(d));
  setWindowProcedure(WindowProcedure::browse_functions, [] { browse_functions(); });
}

void browse_functions(linkpulse::LinkSystem& links) {
  runAppWindow<FunctionsWindow>(kBrowseFunctionsKey, kBrowseFunctionsLabel, links);
}

}  // namespace app
