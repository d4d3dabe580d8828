#include "app/windows/list_pattern.h"

#include <cassert>
#include <string>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "app/windows/window_requests.h"
#include "classlib/record_snapshot.h"
#include "platform/window/engine.h"
#include "platform/window/properties.h"
#include "platform/window/window.h"

namespace app {

using classlib::LevelBenign;

void ListWindow::runProcedure() {
  nav_.create();
  window::OPEN(spec_.key, kListLabel);
  windowRequests().response = static_cast<std::uint8_t>(run());
  window::CLOSE();
  nav_.kill();
}

int ListWindow::init() {
  callerProcedure_ = globalErrors().procedureName();
  globalErrors().setProcedureName(spec_.procedure);
  REQUEST = windowRequests().request;
  const int rc = WindowController::init();
  if (rc != LevelBenign) return rc;
  FIRSTFIELD = kListControl;
  ERRORS = &globalErrors();
  addToolbar(toolbar_);
  windowRequests().request = 0;
  windowRequests().response = 0;
  if (spec_.closeControl != 0) {
    addItem(spec_.closeControl, REQUEST == classlib::RequestSelect ? classlib::ResponseCancelled
                                                                   : classlib::ResponseCompleted);
  }
  classlib::RelationManager* relation = relationManager(*spec_.file);
  assert(relation && "the thread's dictionary is set up");
  fileOpened_ = relation->open() == LevelBenign;
  FILESOPENED = true;

  open();
  browse_.init(kListControl, rows_, *relation, *this);
  const runtime::RecordLayout& file = spec_.file->get().layout();
  const runtime::RecordLayout& row = rows_.layout();
  for (int rowField = 1; rowField <= static_cast<int>(row.fieldCount()); ++rowField) {
    if (const int fileField = file.numberOf(row.field(rowField)->label); fileField != 0)
      browse_.addField(fileField, rowField);
  }
  browse_.SELECTCONTROL = spec_.selectControl;
  if (REQUEST != classlib::RequestView) {
    browse_.INSERTCONTROL = spec_.insertControl;
    browse_.CHANGECONTROL = spec_.changeControl;
    browse_.DELETECONTROL = spec_.deleteControl;
  } else {
    for (const int c : {spec_.insertControl, spec_.changeControl, spec_.deleteControl})
      if (c != 0) window()->setProperty(c, window::PropDisable, 1);
  }
  browse_.ASKPROCEDURE = spec_.form ? 1 : 0;
  browse_.setSort(
      browse_.addSortOrder(spec_.sortKey.empty() ? 0 : spec_.file->get().keyNumber(spec_.sortKey)));
  setUpBrowse();
  toolbar_.setTarget(&browse_);

  formats_.setStore(app::formats.get());
  formats_.init(spec_.procedure, kListApplication, kListControl, true, true, true);
  formats_.options(kListSettingsFile, 0, true, 0);
  browse_.addPopupSource(formats_);

  // A lookup opens at the record its caller left in the buffer.
  classlib::RecordSnapshot asked;
  asked.take(spec_.file->get());
  reset();
  if (REQUEST == classlib::RequestSelect) {
    asked.restore(spec_.file->get());
    browse_.resetAtBuffer();
  }
  followSort();
  sizer_.init();
  sizer_.addList(kListControl);
  nav_.build(0);
  return LevelBenign;
}

int ListWindow::kill() {
  const int rc = WindowController::kill();
  if (rc != LevelBenign) return rc;
  if (FILESOPENED && fileOpened_) relationManager(*spec_.file)->close();
  FILESOPENED = false;
  formats_.kill();
  sizer_.kill();
  globalErrors().setProcedureName(callerProcedure_);
  return rc;
}

int ListWindow::takeEvent() {
  if (nav_.takeKey()) return LevelBenign;
  if (sizer_.takeEvent() != 0) return LevelBenign;
  const int rc = WindowController::takeEvent();
  followSort();
  return rc;
}

int ListWindow::run(int number, int request) {
  if (number != 1 || !spec_.form || REQUEST == classlib::RequestView)
    return classlib::ResponseCancelled;
  windowRequests().request = static_cast<std::uint8_t>(request);
  spec_.form();
  return windowRequests().response;
}

void ListWindow::followSort() {
  const int order = browse_.currentSort();
  if (order == lastSort_ || order == 0) return;
  lastSort_ = order;
  formats_.changeSort(std::string(classlib::ListFormatManager::kSortOrderName) +
                      std::to_string(order));
}

window::WindowDefinition listResource(std::string_view key, std::string_view title,
                                      std::string_view format, window::Rect at, window::Rect list) {
  window::WindowDefinition d;
  d.key = std::string(key);
  d.label = std::string(kListLabel);
  d.title = std::string(title);
  d.icon = "dockmark.ico";
  d.at = at;
  d.resizable = true;
  d.add(kListControl, window::ControlType::List)
      .at(list.x, list.y, list.width, list.height)
      .format(format);
  return d;
}

}  // namespace app
