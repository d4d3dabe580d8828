#include "upkeep/engine_lifecycle.h"

#include "platform/files/file_driver.h"
#include "platform/runtime/module_initialisers.h"
#include "upkeep/debug_switches.h"
#include "upkeep/declaration_reader.h"
#include "upkeep/field_clearing.h"
#include "upkeep/file_copy.h"
#include "upkeep/old_data_driver.h"
#include "upkeep/open_flags.h"
#include "upkeep/profile.h"
#include "upkeep/registration_tables.h"
#include "upkeep/settings_ini.h"
#include "upkeep/structure_image.h"
#include "upkeep/structure_search.h"
#include "upkeep/text_buffers.h"
#include "upkeep/upg_catalogue.h"
#include "upkeep/upg_failure.h"
#include "upkeep/upg_file.h"
#include "upkeep/upgrade_log.h"

namespace upkeep {

void upkeepProcessStart() {
  resetDebugSettings();
  resetProfile();
  resetSettingsIni();
  resetRegistrationTables();
  resetCatalogue();
  resetShownUpgFailures();
  resetStructureImages();
  DST().clear();
  SRC().clear();
  FromITQ() = 0;
  freeSqlTextBuffers();
  TempDirectory().clear();
  resetOpenFlags();
  resetStructureSearch();
  resetUpgradeLog();
  files::installCorvidDriver(&corvidDriver());
}

// The engine's own files still open (an end in the middle of an upgrade) are closed first, the
// old file's declaration before the catalogue's.
void upkeepProcessEnd() {
  for (files::FileDeclaration* file : {&DESTFILE(), &INFILE(), &UpgFile(), &OldUpgFile()})
    files::CLOSE(*file);
  upkeepProcessStart();
}

void registerUpkeepModule() {
  runtime::registerModule({.name = "upkeep",
                           .processStart = upkeepProcessStart,
                           .threadFileStart = nullptr,
                           .threadStart = nullptr,
                           .threadEnd = nullptr,
                           .processEnd = upkeepProcessEnd});
}

}  // namespace upkeep
