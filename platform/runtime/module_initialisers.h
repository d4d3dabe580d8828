// Module initialisers: the routines each module of the program gives the runtime to set up and
// release its process-wide and per-thread state. Modules register in link order, by explicit
// calls at start-up (the main module first, then the window modules), never through static
// constructors.
//
// The runtime calls them in this fixed order (registration order = the order of the
// registerModule calls):
//
//   event                 routine run                  module order
//   process start         processStart                 registration order
//   each thread's start   threadFileStart, for all     registration order, then
//                         modules; then threadStart    registration order again
//   each thread's end     threadEnd                    reverse registration order
//   process end           processEnd                   reverse registration order
//
// So every module's per-thread file instances exist before any module's thread start runs.
// A module leaves out the routines it does not need.
#pragma once

#include <functional>
#include <string>

namespace runtime {

// One module's registration.
struct ModuleInitialiser {
  std::string name;
  std::function<void()> processStart;
  std::function<void()> threadFileStart;
  std::function<void()> threadStart;
  std::function<void()> threadEnd;
  std::function<void()> processEnd;
};

// Appends a module to the registration order. Allowed only before runProcessStart.
void registerModule(ModuleInitialiser module);

// Process start: starts the thread numbering with the calling thread as thread 1, has writes
// past the file-size limit fail (SIGXFSZ ignored) rather than end the process, then runs every
// module's process start. Does nothing when the process has already started.
void runProcessStart();

// The calling thread's start: every module's thread-file start, then every thread start. Does
// nothing when this thread has already started and not ended.
void runThreadStart();

// The calling thread's end: every module's thread end, in reverse. Does nothing when the thread
// has not started (or has already ended).
void runThreadEnd();

// Process end: every module's process end, in reverse. Does nothing when the process has not
// started or has already ended.
void runProcessEnd();

// True while the calling thread has started and not yet ended.
bool threadStarted();

// Forgets every registration and every started process and thread, so that a test can register
// its modules and run the sequence again.
void resetModuleInitialisers();

}  // namespace runtime
