#include "app/windows/form_pattern.h"

#include <cassert>
#include <string>

#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "app/windows/window_requests.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/properties.h"
#include "platform/window/window.h"

namespace app {

using classlib::LevelBenign;

void FormWindow::runProcedure() {
  nav_.create();
  window::OPEN(spec_.key, kFormLabel);
  windowRequests().response = static_cast<std::uint8_t>(run());
  window::CLOSE();
  nav_.kill();
}

bool FormWindow::viewing() const { return REQUEST == classlib::RequestView && !BATCHPROCESSING; }

int FormWindow::init() {
  callerProcedure_ = globalErrors().procedureName();
  globalErrors().setProcedureName(spec_.procedure);
  REQUEST = windowRequests().request;
  int rc = WindowController::init();
  if (rc != LevelBenign) return rc;
  FIRSTFIELD = kFormFirstField;
  ERRORS = &globalErrors();
  addToolbar(toolbar_);
  windowRequests().request = 0;
  windowRequests().response = 0;
  HISTORYKEY = kFormHistoryKey;
  addHistoryFile(history_);
  for (const HistoryField& h : spec_.history) addHistoryField(h.control, h.field);
  classlib::FileManager* primary = fileManager(*spec_.primary);
  assert(primary && "the thread's dictionary is set up");
  addUpdateFile(*primary);
  addItem(spec_.cancelControl, classlib::ResponseCancelled);
  openFiles();
  if (viewing()) {
    INSERTACTION = CHANGEACTION = DELETEACTION = classlib::ActionNone;
    CANCELACTION = classlib::ActionAtOnce;
    OKCONTROL = 0;
  } else {
    CHANGEACTION = CANCELACTION = classlib::ActionConfirm;
    OKCONTROL = spec_.okControl;
    rc = primeUpdate();
    if (rc != LevelBenign) return rc;
  }
  open();
  copyLookupTips();
  if (viewing()) {
    for (int entry : spec_.viewReadOnly) window()->setProperty(entry, window::PropReadOnly, 1);
    for (int button : spec_.viewDisabled) window()->setProperty(button, window::PropDisable, 1);
  }
  resizer_.init(classlib::ResizeSpread, true, false);
  addItem(resizer_);
  setUpForm();
  reset();
  nav_.build(0);
  return LevelBenign;
}

int FormWindow::kill() {
  const int rc = WindowController::kill();
  if (rc != LevelBenign) return rc;
  closeFiles();
  globalErrors().setProcedureName(callerProcedure_);
  return rc;
}

int FormWindow::run() {
  const int response = WindowController::run();
  return viewing() ? classlib::ResponseCancelled : response;
}

int FormWindow::takeEvent() {
  if (nav_.takeKey()) return LevelBenign;
  return WindowController::takeEvent();
}

int FormWindow::takeAccepted() {
  const int control = window()->accepted();
  const int rc = WindowController::takeAccepted();
  if (rc != LevelBenign) return rc;
  update();
  if (viewing() && control == spec_.okControl) {
    window()->post(window::EventCloseWindow);
    return LevelBenign;
  }
  return takeFormAccepted(control);
}

void FormWindow::openFiles() {
  for (const files::PerThreadFile* file : spec_.files) {
    classlib::RelationManager* relation = relationManager(*file);
    assert(relation && "the thread's dictionary is set up");
    relation->open();
  }
  FILESOPENED = true;
}

void FormWindow::closeFiles() {
  if (!FILESOPENED) return;
  for (const files::PerThreadFile* file : spec_.files) {
    if (classlib::RelationManager* relation = relationManager(*file)) relation->close();
  }
  FILESOPENED = false;
}

void FormWindow::copyLookupTips() {
  for (const LookupButton& l : spec_.lookups) {
    for (const int prop : {window::PropTip, window::PropMsg}) {
      const std::string own = window()->property(l.button, prop);
      const std::string entry = window()->property(l.entry, prop);
      if (own.empty() && !entry.empty()) window()->setProperty(l.button, prop, "Select " + entry);
    }
  }
}

window::WindowDefinition formResource(std::string_view key, std::string_view title,
                                      std::string_view tab, window::Rect at, int okControl,
                                      int cancelControl) {
  window::WindowDefinition d;
  d.key = std::string(key);
  d.label = std::string(kFormLabel);
  d.title = std::string(title);
  d.icon = "dockmark.ico";
  d.at = at;
  d.resizable = true;
  d.statusZones = {-1, 120, 60};
  d.add(1, window::ControlType::Sheet).at(4, 4, at.width - 8, at.height - 30);
  d.add(2, window::ControlType::Tab).text(tab).parent(1);
  const int y = at.height - 20;
  d.add(okControl, window::ControlType::Button)
      .text("&OK")
      .tip("Accept data and close the window")
      .at(at.width - 110, y, 50, 14);
  d.add(cancelControl, window::ControlType::Button)
      .text("&Cancel")
      .tip("Cancel operation")
      .at(at.width - 56, y, 50, 14);
  return d;
}

int runLookup(const files::PerThreadFile& file, std::string_view keyLabel, void (*list)()) {
  files::FileDeclaration& declaration = file.get();
  classlib::FileManager* manager = fileManager(file);
  assert(manager && "the thread's dictionary is set up");
  const int key = declaration.keyNumber(keyLabel);
  assert(key != 0 && "the lookup's key is the file's");
  if (manager->tryFetch(key) != 0) {
    files::SET(declaration, *declaration.key(key), files::SetFrom::RecordBuffer);
    if (runtime::ERRORCODE() == 0) manager->tryNext();
  }
  windowRequests().request = classlib::RequestSelect;
  list();
  return windowRequests().response;
}

}  // namespace app
