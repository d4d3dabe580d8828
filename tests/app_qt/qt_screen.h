// The Qt backend (offscreen unless QT_QPA_PLATFORM says otherwise) as the program's screen
// and message answerer while the object lives; its wait hook is cleared at the end.
#pragma once

#include "platform/qt/qt_backend.h"

namespace app::testing {

class QtScreen {
 public:
  QtScreen();
  ~QtScreen();
  QtScreen(const QtScreen&) = delete;
  QtScreen& operator=(const QtScreen&) = delete;

  qtui::QtBackend& backend() { return *backend_; }

 private:
  qtui::QtBackend* backend_;
};

}  // namespace app::testing
