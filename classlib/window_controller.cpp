#include "classlib/window_controller.h"

#include <algorithm>
#include <cassert>

#include "classlib/error_reporter.h"
#include "classlib/file_manager.h"
#include "platform/files/file_declaration.h"
#include "platform/window/engine.h"

namespace classlib {

int WindowController::init() {
  dead_ = false;
  ORIGINALREQUEST = REQUEST;
  RESPONSE = ResponseCancelled;
  return LevelBenign;
}

int WindowController::kill() {
  if (dead_) return LevelNotify;
  dead_ = true;
  original_.clear();
  for (WindowComponent* c : components_) c->kill();
  window_ = nullptr;
  return LevelBenign;
}

int WindowController::run() {
  if (init() == LevelBenign) ask();
  kill();
  return RESPONSE;
}

int WindowController::run(int, int) { return ResponseCancelled; }

void WindowController::open() {
  window_ = window::currentWindow();
  assert(window_ && "the controller's window must be open");
}

void WindowController::ask() {
  if (dead_) return;
  if (!window_) open();
  if (PRIMARY) {
    original_.take(*PRIMARY->file());
    window_->setProperty(0, window::PropStatusText, std::string(requestText(REQUEST)), 2);
  }
  if (BATCHPROCESSING) {
    takeCompleted();
    return;
  }
  while (window_->accept()) {
    if (takeEvent() != LevelBenign) break;
  }
}

int WindowController::takeEvent() {
  int rc = window_->current().control == 0 ? takeWindowEvent() : takeFieldEvent();
  for (auto it = components_.begin(); rc == LevelBenign && it != components_.end(); ++it) {
    rc = (*it)->takeEvent();
  }
  return rc;
}

int WindowController::takeWindowEvent() {
  switch (window_->current().event) {
    case window::EventOpenWindow:
      if (FIRSTFIELD != 0) window_->select(FIRSTFIELD);
      return LevelBenign;
    case window::EventCloseWindow: return takeCloseEvent();
    default: return LevelBenign;
  }
}

int WindowController::takeFieldEvent() {
  const window::EventRecord& e = window_->current();
  switch (e.event) {
    case window::EventAccepted: return takeAccepted();
    case window::EventNewSelection: return takeNewSelection();
    case window::EventAlertKey:
      if (HISTORYKEY != 0 && e.keyCode == HISTORYKEY) restoreField(e.control);
      return LevelBenign;
    default: return LevelBenign;
  }
}

int WindowController::takeAccepted() {
  const int control = window_->accepted();
  const auto it = buttonActions_.find(control);
  if (it != buttonActions_.end()) {
    RESPONSE = it->second;
    window_->post(window::EventCloseWindow);
    return LevelBenign;
  }
  if (OKCONTROL != 0 && control == OKCONTROL) return takeCompleted();
  return LevelBenign;
}

int WindowController::takeNewSelection() { return LevelBenign; }

int WindowController::takeCloseEvent() {
  if (!PRIMARY || RESPONSE == ResponseCompleted || original_.empty()) return LevelBenign;
  files::FileDeclaration& file = *PRIMARY->file();
  update();
  const bool editing = REQUEST == RequestInsert || REQUEST == RequestChange;
  if (editing && CANCELACTION == ActionConfirm && !original_.same(file)) {
    ErrorContext context;
    context.file = PRIMARY->name();
    ErrorReporter* errors = reporter();
    if (errors && errors->report(MsgConfirmCancel, context) == LevelCancel) {
      window_->cancelClose();
      return LevelBenign;
    }
  }
  original_.restore(file);
  RESPONSE = ResponseCancelled;
  return LevelBenign;
}

void WindowController::reset(bool force) {
  for (WindowComponent* c : components_) c->reset(force);
  setAlerts();
  if (window_) window_->display();
}

void WindowController::update() {
  if (window_) window_->update();
  for (WindowComponent* c : components_) c->update();
}

void WindowController::setAlerts() {
  if (window_ && HISTORYKEY != 0) {
    for (const auto& [control, field] : historyFields_) {
      window_->setProperty(control, window::PropAlrt, HISTORYKEY);
    }
  }
  for (WindowComponent* c : components_) c->setAlerts();
}

int WindowController::primeUpdate() {
  if (!PRIMARY) return LevelBenign;
  files::FileDeclaration& file = *PRIMARY->file();
  switch (REQUEST) {
    case RequestInsert:
      if (const int code = PRIMARY->primeRecord(); code != 0) {
        ErrorContext context;
        context.file = PRIMARY->name();
        if (ErrorReporter* errors = reporter()) errors->report(MsgInsertFailed, context);
        return LevelNotify;
      }
      primeFields();
      break;
    case RequestChange:
    case RequestDelete:
      for (const ManagedKey& key : PRIMARY->keys()) {
        if (!file.key(key.number)->unique()) continue;
        if (PRIMARY->tryFetch(key.number) != 0) {
          ErrorContext context;
          context.file = PRIMARY->name();
          context.key = key.description;
          if (ErrorReporter* errors = reporter()) errors->report(MsgReadFailed, context);
          return LevelNotify;
        }
        break;
      }
      break;
    default: break;
  }
  return LevelBenign;
}

void WindowController::primeFields() {}

int WindowController::takeCompleted() {
  update();
  if (!PRIMARY) return LevelBenign;
  int rc = LevelBenign;
  bool written = false;
  switch (REQUEST) {
    case RequestInsert:
      if (INSERTACTION == ActionNone) break;
      rc = PRIMARY->insert();
      written = true;
      break;
    case RequestChange:
      if (CHANGEACTION == ActionNone) break;
      rc = PRIMARY->update();
      written = true;
      break;
    case RequestDelete:
      if (DELETEACTION == ActionNone) break;
      rc = PRIMARY->deleteRecord(DELETEACTION == ActionConfirm);
      written = true;
      break;
    default: break;
  }
  if (rc != LevelBenign) return LevelBenign;  // refused, failed or declined: the form stays
  if (written && REQUEST != RequestDelete && history_) history_->take(*PRIMARY->file());
  RESPONSE = written ? ResponseCompleted : ResponseCancelled;
  window_->post(window::EventCloseWindow);
  return LevelBenign;
}

void WindowController::restoreField(int control) {
  const auto it = historyFields_.find(control);
  if (it == historyFields_.end() || !history_ || !PRIMARY || !window_) return;
  files::FileDeclaration& file = *PRIMARY->file();
  const std::vector<std::byte>& saved = history_->record();
  if (saved.size() != file.record().size()) return;  // nothing saved yet
  const int fields = static_cast<int>(file.layout().fieldCount());
  if (it->second > fields) {
    files::Memo* memo = file.memo(it->second - fields);
    const std::size_t index = static_cast<std::size_t>(it->second - fields - 1);
    if (!memo || index >= history_->memos().size()) return;
    memo->setBytes(history_->memos()[index]);
  } else {
    const runtime::FieldDef* field = file.layout().field(it->second);
    if (!field) return;
    std::copy_n(saved.begin() + field->offset, field->totalSize(),
                file.record().begin() + field->offset);
  }
  window_->display(control);
}

bool WindowController::takeToolbar(int action) {
  if (action != ToolbarHistory || !window_ || !historyFields_.count(window_->focus())) return false;
  restoreField(window_->focus());
  return true;
}

ErrorReporter* WindowController::reporter() const {
  if (ERRORS) return ERRORS;
  return PRIMARY ? PRIMARY->errors() : nullptr;
}

void WindowController::addItem(WindowComponent& component) {
  if (std::find(components_.begin(), components_.end(), &component) == components_.end()) {
    components_.push_back(&component);
  }
}

void WindowController::addItem(int control, int response) { buttonActions_[control] = response; }

void WindowController::addToolbar(Toolbar& toolbar) {
  addItem(toolbar);
  toolbar.setTarget(this);
}

}  // namespace classlib
