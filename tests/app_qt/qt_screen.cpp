#include "tests/app_qt/qt_screen.h"

#include <cstdlib>

#include "platform/runtime/message.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"

namespace app::testing {
namespace {

qtui::QtBackend* makeBackend() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "app_qt_tests";
  static char* argv[] = {name, nullptr};
  return new qtui::QtBackend(argc, argv);
}

}  // namespace

QtScreen::QtScreen() : backend_(makeBackend()) {
  window::setBackend(backend_);
  runtime::setMessageAnswerer(&window::backendAnswerer());
}

QtScreen::~QtScreen() {
  backend_->setWaitHook({});
  runtime::setMessageAnswerer(nullptr);
  window::setBackend(nullptr);
  delete backend_;
}

}  // namespace app::testing
