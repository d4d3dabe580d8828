#include "classlib/sort_header.h"

#include <cstdlib>

#include "classlib/browse_manager.h"
#include "classlib/ini_manager.h"
#include "classlib/record_snapshot.h"
#include "classlib/window_controller.h"
#include "platform/window/engine.h"
#include "platform/window/key_codes.h"

namespace classlib {
namespace {

constexpr int kNextColumnKey = window::CtrlKey + window::RightKey;
constexpr int kPreviousColumnKey = window::CtrlKey + window::LeftKey;

}  // namespace

void SortHeader::init(BrowseManager& browse, IniManager* ini, std::string_view procedure) {
  browse_ = &browse;
  ini_ = procedure.empty() ? nullptr : ini;
  procedure_ = procedure;
  column_ = 0;
  restored_ = false;
  setAlerts();
}

std::string SortHeader::entryName() const {
  return "SortColumn" + std::to_string(browse_ ? browse_->listControl() : 0);
}

int SortHeader::columnCount() const {
  const window::Window* w = browse_ ? browse_->windowController()->window() : nullptr;
  const window::Control* list = w ? w->control(browse_->listControl()) : nullptr;
  return list ? static_cast<int>(list->list.format.columns.size()) : 0;
}

int SortHeader::fieldOfColumn(int column) const {
  const window::Window* w = browse_ ? browse_->windowController()->window() : nullptr;
  const window::Control* list = w ? w->control(browse_->listControl()) : nullptr;
  if (!list || column < 1 || column > columnCount()) return 0;
  return browse_->fileFieldOf(
      list->list.format.columns[static_cast<std::size_t>(column) - 1].field);
}

int SortHeader::nextSortable(int from, int step) const {
  const int n = columnCount();
  if (from == 0) from = step > 0 ? 0 : n + 1;  // no column yet: start at either end
  for (int i = 1; i <= n; ++i) {
    const int column = ((from - 1 + step * i) % n + n) % n + 1;
    if (fieldOfColumn(column) != 0) return column;
  }
  return 0;
}

bool SortHeader::sortBy(int column) { return sort(column, true); }

bool SortHeader::sort(int column, bool keepSelected) {
  if (!browse_) return false;
  const int field = fieldOfColumn(std::abs(column));
  if (column != 0 && field == 0) return false;
  // The selected record stays the selected one in the new order.
  RecordSnapshot chosen;
  if (keepSelected && browse_->selectedRow() > 0) {
    browse_->updateBuffer();
    chosen.take(*browse_->file());
  }
  const bool sorted = browse_->setSortFields(
      column == 0 ? std::vector<int>{} : std::vector<int>{column < 0 ? -field : field});
  if (!sorted) return false;
  if (!chosen.empty() && chosen.restore(*browse_->file())) browse_->resetAtBuffer(true);
  column_ = column;
  if (ini_) ini_->storeSortOrder(procedure_, column_, entryName());
  return true;
}

bool SortHeader::restoreSort() {
  if (restored_ || !browse_) return false;
  restored_ = true;
  if (!ini_) return false;
  const int column = ini_->fetchSortOrder(procedure_, 0, entryName());
  return column != 0 && sort(column, false);
}

int SortHeader::takeEvent() {
  window::Window* w = browse_ ? browse_->windowController()->window() : nullptr;
  if (!w || w->current().control != browse_->listControl()) return 0;
  const window::EventRecord& e = w->current();
  if (e.event == window::EventHeaderPressed) {
    const int clicked = w->control(browse_->listControl())->list.clickColumn;
    sortBy(std::abs(column_) == clicked ? -column_ : clicked);
    return 1;
  }
  if (e.event == window::EventAlertKey &&
      (e.keyCode == kNextColumnKey || e.keyCode == kPreviousColumnKey)) {
    const int next = nextSortable(std::abs(column_), e.keyCode == kNextColumnKey ? 1 : -1);
    if (next != 0) sortBy(next);
    return 1;
  }
  return 0;
}

void SortHeader::setAlerts() {
  window::Window* w = browse_ ? browse_->windowController()->window() : nullptr;
  if (!w) return;
  w->setProperty(browse_->listControl(), window::PropAlrt, kNextColumnKey);
  w->setProperty(browse_->listControl(), window::PropAlrt, kPreviousColumnKey);
}

void SortHeader::kill() {
  browse_ = nullptr;
  ini_ = nullptr;
}

}  // namespace classlib
