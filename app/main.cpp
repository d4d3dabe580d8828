// game_dock: starts the runtime and the window backend, runs the program procedure and ends
// with the exit initialisers.
#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "app/core/full_window_drag.h"
#include "app/core/program.h"
#include "platform/os/termination.h"
#include "platform/qt/qt_backend.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/message.h"
#include "platform/runtime/module_initialisers.h"
#include "platform/window/dialogs.h"
#include "platform/window/engine.h"

namespace {

// The exit code of a program ended from outside (a signal), whichever way it ends.
constexpr int kEndedFromOutsideExitCode = 1;

}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C, a logout or `kill` end the program through HALT on the window thread, so its exit
  // steps run (they put the desktop's drag setting back) rather than the process just vanishing.
  // A window thread too busy to take the HALT does not keep the program alive: a few seconds
  // later the drag setting is put back and the process ends from a thread of its own.
  os::watchTerminationRequests([] {
    if (QCoreApplication* application = QCoreApplication::instance()) {
      QMetaObject::invokeMethod(
          application, [] { runtime::HALT(kEndedFromOutsideExitCode); }, Qt::QueuedConnection);
      os::endProcessAfter(std::chrono::seconds(5), app::restoreFullWindowDrag,
                          kEndedFromOutsideExitCode);
    } else {
      std::_Exit(kEndedFromOutsideExitCode);  // before the windows exist nothing needs putting back
    }
  });
  runtime::setCommandLine(argc, argv);
  qtui::QtBackend screen(argc, argv);
  window::setBackend(&screen);
  runtime::setMessageAnswerer(&window::backendAnswerer());
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
  runtime::setMessageAnswerer(nullptr);
  window::setBackend(nullptr);
  return exitCode;
}
