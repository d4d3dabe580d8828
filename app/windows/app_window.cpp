#include "app/windows/app_window.h"

#include "app/dictionary/services.h"

namespace app {

int AppWindow::init() {
  const int rc = WindowController::init();
  if (rc != classlib::LevelBenign) return rc;
  globalErrors().setProcedureName(procedure_);
  windowRequests().request = 0;
  windowRequests().response = 0;
  files_.open();
  FILESOPENED = true;
  open();
  setUpWindow();
  reset();
  nav_.build(0);
  return classlib::LevelBenign;
}

int AppWindow::kill() {
  const int rc = WindowController::kill();
  if (rc != classlib::LevelBenign) return rc;
  files_.close();
  globalErrors().setProcedureName("");
  return rc;
}

int AppWindow::takeEvent() {
  if (nav_.takeKey()) return classlib::LevelBenign;
  return WindowController::takeEvent();
}

}  // namespace app
