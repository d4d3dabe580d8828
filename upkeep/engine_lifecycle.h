// The engine's module set-up and tear-down: every process-wide table, switch, counter and name
// of the engine starts empty (numbers 0, texts blank) at process start and is released at
// process end. The process-wide lock lives for the whole process (upkeep_state.h).
#pragma once

namespace upkeep {

// Clears the engine's process-wide state (process start).
void upkeepProcessStart();
// Releases it (process end).
void upkeepProcessEnd();

// Registers the engine's module with the runtime's module initialisers (module_initialisers.h).
void registerUpkeepModule();

}  // namespace upkeep
