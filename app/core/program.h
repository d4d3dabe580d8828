// The program procedure and the main module's initialisers.
#pragma once

namespace app {

// Registers the program's modules with the runtime in link order: the upgrade engine's module,
// the main module, then the window modules 001 to 016. Call it once before the runtime's
// process start.
void registerProgramModules();

// The program procedure, run on the first thread once the runtime has started: sets up the
// error reporter, word matcher and INI manager (".\game_dock.INI"), creates the thread's
// dictionary, sets the program's icon, registers the data files with the upgrade engine (once
// per process), switches full-window dragging off while Main runs, then puts it back and shuts
// the INI manager and word matcher down. The exit initialisers run after it returns.
void runProgram();

}  // namespace app
