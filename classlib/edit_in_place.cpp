#include "classlib/edit_in_place.h"

#include <algorithm>

#include "classlib/browse_manager.h"
#include "classlib/error_reporter.h"
#include "classlib/file_manager.h"
#include "classlib/window_controller.h"
#include "platform/files/file_declaration.h"
#include "platform/runtime/bound_field.h"
#include "platform/window/engine.h"
#include "platform/window/key_codes.h"

namespace classlib {
namespace {

bool isTextType(runtime::FieldType type) {
  return type == runtime::FieldType::String || type == runtime::FieldType::CString ||
         type == runtime::FieldType::PString;
}

}  // namespace

void EditInPlace::init(BrowseManager& browse) {
  browse_ = &browse;
  editor_ = 0;
}

std::vector<int> EditInPlace::editableColumns() const {
  std::vector<int> out;
  const window::Window* w = browse_->windowController()->window();
  const window::Control* list = w ? w->control(browse_->listControl()) : nullptr;
  if (!list) return out;
  const int recordFields = static_cast<int>(browse_->file()->layout().fieldCount());
  for (std::size_t i = 0; i < list->list.format.columns.size(); ++i) {
    const int field = browse_->fileFieldOf(list->list.format.columns[i].field);
    if (field >= 1 && field <= recordFields) out.push_back(static_cast<int>(i) + 1);
  }
  return out;
}

bool EditInPlace::ask(int request) {
  if (!browse_ || active()) return false;
  FileManager& files = *browse_->fileManager();
  switch (request) {
    case RequestInsert: {
      // The selected row's record, which a cancelled insert selects again.
      browse_->updateBuffer();
      backToBuffer_ = browse_->selectedRow() != 0;
      before_.take(*browse_->file());
      if (files.primeRecord() != 0) {
        before_.restore(*browse_->file());
        ErrorContext context;
        context.file = files.name();
        if (files.errors()) files.errors()->report(MsgInsertFailed, context);
        return false;
      }
      row_ = browse_->addEditRow();
      break;
    }
    case RequestChange:
      if (browse_->selectedRow() == 0) return false;
      browse_->updateBuffer();
      before_.take(*browse_->file());
      backToBuffer_ = false;
      row_ = browse_->selectedRow();
      break;
    case RequestDelete: {
      if (browse_->selectedRow() == 0) return false;
      browse_->updateBuffer();
      const int rc = files.deleteRecord(browse_->DELETEACTION == EipDeleteAsks);
      if (rc == LevelBenign) browse_->resetFromView();
      return rc == LevelBenign;
    }
    default: return false;
  }
  const std::vector<int> columns = editableColumns();
  if (columns.empty() || row_ == 0) {
    takeCancelled();
    return false;
  }
  request_ = request;
  edit(columns.front());
  return true;
}

void EditInPlace::edit(int column) {
  window::Window& w = *browse_->windowController()->window();
  if (editor_ != 0) {
    w.update(editor_);
    w.destroy(editor_);
    editor_ = 0;
  }
  const window::Control& list = *w.control(browse_->listControl());
  const window::ListColumn& col = list.list.format.columns[static_cast<std::size_t>(column) - 1];
  const runtime::FieldDef& def = *browse_->file()->layout().field(browse_->fileFieldOf(col.field));
  std::byte* record = browse_->file()->record().data();
  window::UseVariable use =
      window::UseVariable::bound(runtime::boundField(def, record), isTextType(def.type));
  column_ = column;
  editor_ = w.createCellEditor(browse_->listControl(), row_, column, use, col.picture.value_or(""));
  for (int key : {window::EnterKey, window::TabKey, window::ShiftKey + window::TabKey,
                  window::EscKey, window::UpKey, window::DownKey}) {
    w.setProperty(editor_, window::PropAlrt, key);
  }
}

void EditInPlace::endEditing() {
  window::Window* w = browse_->windowController()->window();
  if (w && editor_ != 0) w->destroy(editor_);
  editor_ = 0;
  row_ = 0;
  column_ = 0;
  if (w) w->select(browse_->listControl());
}

void EditInPlace::move(int step) {
  const std::vector<int> columns = editableColumns();
  const auto at = std::find(columns.begin(), columns.end(), column_);
  const long index = (at - columns.begin()) + step;
  if (index >= static_cast<long>(columns.size())) {
    takeCompleted();
    return;
  }
  edit(columns[static_cast<std::size_t>(std::max(index, 0L))]);
}

bool EditInPlace::takeCompleted() {
  if (!active()) return false;
  window::Window& w = *browse_->windowController()->window();
  w.update(editor_);
  FileManager& files = *browse_->fileManager();
  const int rc = request_ == RequestInsert ? files.insert() : files.update();
  if (rc != LevelBenign) {
    w.select(editor_);
    return false;
  }
  endEditing();
  browse_->resetAtBuffer();
  return true;
}

void EditInPlace::takeCancelled() {
  if (browse_ && browse_->file()) before_.restore(*browse_->file());
  endEditing();
  // The row given up goes. The edited row keeps its place in the list; an insert's row stood
  // below the one selected before, which is selected again.
  backToBuffer_ ? browse_->resetAtBuffer() : browse_->resetFromView();
}

void EditInPlace::kill() {
  if (!active()) return;
  if (browse_->file()) before_.restore(*browse_->file());
  window::Window* w = browse_->windowController()->window();
  if (w) w->destroy(editor_);
  editor_ = 0;
}

bool EditInPlace::takeEvent() {
  if (!active()) return false;
  window::Window& w = *browse_->windowController()->window();
  const window::EventRecord& e = w.current();
  if (e.event == window::EventCloseWindow) {
    takeCancelled();
    return false;
  }
  if (e.control != editor_) {
    // The user went to another control: the row is finished there. (A Selected event from
    // before the editor took the focus is past.)
    if (e.event == window::EventSelected && w.focus() != editor_ && !takeCompleted()) return true;
    return false;
  }
  if (e.event != window::EventAlertKey) return true;
  switch (e.keyCode) {
    case window::EnterKey:
    case window::TabKey: move(1); break;
    case window::ShiftKey + window::TabKey: move(-1); break;
    case window::EscKey: takeCancelled(); break;
    case window::UpKey:
    case window::DownKey: {
      const int arrows = browse_->ARROWACTION;
      if (!(arrows & EipArrowSaves)) break;
      if (!takeCompleted() || !(arrows & EipArrowEditsOn)) break;
      // Edit the row above or below the one just stored.
      browse_->scroll(e.keyCode == window::UpKey ? ScrollUp : ScrollDown);
      ask(RequestChange);
      break;
    }
    default: break;
  }
  return true;
}

}  // namespace classlib
