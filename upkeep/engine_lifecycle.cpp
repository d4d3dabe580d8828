#include "upkeep/engine_lifecycle.h"

#include "platform/runtime/module_initialisers.h"
#include "upkeep/debug_switches.h"
#include "upkeep/profile.h"
#include "upkeep/registration_tables.h"
#include "upkeep/settings_ini.h"

namespace upkeep {

void upkeepProcessStart() {
  resetDebugSettings();
  resetProfile();
  resetSettingsIni();
  resetRegistrationTables();
}

void upkeepProcessEnd() { upkeepProcessStart(); }

void registerUpkeepModule() {
  runtime::registerModule({.name = "upkeep",
                           .processStart = upkeepProcessStart,
                           .threadFileStart = nullptr,
                           .threadStart = nullptr,
                           .threadEnd = nullptr,
                           .processEnd = upkeepProcessEnd});
}

}  // namespace upkeep
