// game_dock: starts the runtime and the window backend, runs the program procedure and ends
// with the exit initialisers.
#include <exception>
#include <iostream>

#include "app/program.h"
#include "app/windows/main_window.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"
#ifdef GD_WITH_QT
#include "platform/qt/qt_backend.h"
#else
#include "platform/window/headless_backend.h"
#endif

int main(int argc, char** argv) {
  runtime::setCommandLine(argc, argv);
#ifdef GD_WITH_QT
  qtui::QtBackend screen(argc, argv);
  runtime::setMessageAnswerer(&window::backendAnswerer());
#else
  // Built without a screen: the main window opens and is closed at once; boxes go to stderr.
  window::HeadlessBackend screen;
  screen.click(app::kMainCloseButton);
  std::cerr << "game_dock: built without the Qt backend, so the main window closes at once\n";
#endif
  window::setBackend(&screen);
  app::registerProgramModules();
  int exitCode = 0;
  try {
    runtime::runProcessStart();
    runtime::runThreadStart();
    app::runProgram();
  } catch (const std::exception& failure) {
    std::cerr << "game_dock: " << failure.what() << '\n';
    exitCode = 1;
  }
  runtime::runThreadEnd();
  runtime::runProcessEnd();
  window::setBackend(nullptr);
  return exitCode;
}
