#include "classlib/view_manager.h"

#include <cassert>
#include <cstdlib>

#include "classlib/error_reporter.h"
#include "classlib/file_manager.h"
#include "classlib/file_path.h"
#include "platform/files/view_driver.h"
#include "platform/runtime/error_state.h"
#include "upkeep/file_open.h"

namespace classlib {

ViewManager::~ViewManager() { close(); }

void ViewManager::init(files::FileView& view, FileManager& primary) {
  close();
  view_ = &view;
  primary_ = &primary;
  orderKey_ = 0;
  orderFields_.clear();
  noCase_ = false;
  filter_.clear();
  changedSinceStart_ = true;
}

int ViewManager::open() {
  assert(view_ && primary_ && primary_->errors() && "open needs the view and its file manager");
  int level = LevelBenign;
  if (!open_) {
    upkeep::ds_FileOpen(*view_, kViewAccessMode);
    const int code = runtime::ERRORCODE();
    if (code == 0 || code == runtime::FileAlreadyOpenErr) {
      open_ = true;
      openedView_ = code == 0;
    } else {
      // A file that its file manager has just reported it cannot open is said once.
      if (!primary_->openFailureReported()) {
        ErrorContext context;
        context.file = primary_->name();
        if (primary_->file()) context.path = filePath(*primary_->file());
        primary_->errors()->report(MsgViewOpenFailed, context);
      }
      level = LevelNotify;
    }
  }
  applyOrder();
  applyFilter();
  return level;
}

void ViewManager::applyOrder() {
  if (!orderFields_.empty()) {
    view_->orderByFields(orderFields_, noCase_);
  } else if (orderKey_ != 0) {
    view_->orderByKey(*view_->primary().key(orderKey_));
  } else {
    view_->orderPhysical();
  }
}

void ViewManager::applyFilter() {
  const bool accepted = view_->setFilter(filter_);
  assert(accepted && "setFilter keeps only expressions");
  (void)accepted;
}

bool ViewManager::setOrder(int key) {
  assert(view_ && "setOrder needs the view");
  if (key != 0 && view_->primary().key(key) == nullptr) return false;
  changedSinceStart_ |= key != orderKey_ || !orderFields_.empty();
  orderKey_ = key;
  orderFields_.clear();
  return true;
}

bool ViewManager::setOrderFields(std::vector<std::int32_t> fields, bool noCase) {
  assert(view_ && "setOrderFields needs the view");
  if (fields.empty()) return false;
  for (const std::int32_t field : fields) {
    if (field == 0 || view_->primary().layout().field(std::abs(field)) == nullptr) return false;
  }
  orderFields_ = std::move(fields);
  noCase_ = noCase;
  changedSinceStart_ = true;
  return true;
}

bool ViewManager::setFilter(std::string_view filter) {
  if (!filter.empty() && !runtime::Expression::parse(filter).ok()) return false;
  changedSinceStart_ |= filter != filter_;
  filter_ = filter;
  return true;
}

int ViewManager::reset() { return start(false); }

int ViewManager::resetAtBuffer() { return start(true); }

int ViewManager::start(bool atBuffer) {
  changedSinceStart_ = false;
  applyOrder();
  applyFilter();
  files::SET(*view_, atBuffer ? files::SetFrom::RecordBuffer : files::SetFrom::KeyStart);
  return runtime::ERRORCODE();
}

int ViewManager::next() {
  files::NEXT(*view_);
  return runtime::ERRORCODE();
}

int ViewManager::previous() {
  files::PREVIOUS(*view_);
  return runtime::ERRORCODE();
}

std::uint64_t ViewManager::readingMark() const { return view_ ? view_->readingMark() : 0; }

bool ViewManager::canGoOn(std::uint64_t mark) {
  return open_ && view_ && !changedSinceStart_ && view_->canGoOn(mark);
}

void ViewManager::close() {
  if (openedView_) files::CLOSE(*view_);
  open_ = false;
  openedView_ = false;
}

void ViewManager::kill() {
  close();
  view_ = nullptr;
  primary_ = nullptr;
}

}  // namespace classlib
