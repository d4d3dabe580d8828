#include "platform/classlib/window_controller.h"

#include <algorithm>
#include <cassert>

#include "platform/classlib/toolbar.h"
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
  switch (window_->current().event) {
    case window::EventAccepted: return takeAccepted();
    case window::EventNewSelection: return takeNewSelection();
    default: return LevelBenign;
  }
}

int WindowController::takeAccepted() {
  const int control = window_->accepted();
  const auto it = buttonActions_.find(control);
  if (it != buttonActions_.end()) {
    RESPONSE = it->second;
    window_->post(window::EventCloseWindow);
  }
  return LevelBenign;
}

int WindowController::takeNewSelection() { return LevelBenign; }

int WindowController::takeCloseEvent() { return LevelBenign; }

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
  for (WindowComponent* c : components_) c->setAlerts();
}

void WindowController::addItem(WindowComponent& component) {
  if (std::find(components_.begin(), components_.end(), &component) == components_.end()) {
    components_.push_back(&component);
  }
}

void WindowController::addItem(int control, int response) { buttonActions_[control] = response; }

void WindowController::addToolbar(Toolbar& toolbar) { addItem(toolbar); }

}  // namespace classlib
