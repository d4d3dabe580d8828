#include "app/dictionary/upgrade_registration.h"

#include <atomic>
#include <memory>

#include "app/dictionary/declarations.h"
#include "upkeep/registration.h"

namespace app {
namespace {

// The FILE through which the Caskfile driver is registered: one BYTE field, not thread-scoped,
// never opened.
struct DriverRecord {
  Byte FLAG;
};
constexpr FieldDef kDriverFields[] = {GD_FIELD(DriverRecord, FLAG, "VKF:FLAG")};
constexpr files::FileSpec kDriverSpec{
    .label = "vkfdriver",
    .prefix = "VKF",
    .driver = files::Driver::Caskfile,
    .name = "vkfdriver",
    .fields = kDriverFields,
    .recordSize = sizeof(DriverRecord),
};

std::atomic<bool> registered{false};
std::unique_ptr<files::FileDeclaration> driverFile;

}  // namespace

bool registerWithUpgradeEngine() {
  if (registered.exchange(true)) return false;
  upkeep::ds_SetOption("BadFile", "0");
  driverFile = std::make_unique<files::FileDeclaration>(kDriverSpec);
  upkeep::ds_AddDriver("Vkf", *driverFile, static_cast<std::int32_t>(driverFile->recordLength()),
                       driverFile->record().data());
  upkeep::ds_IgnoreDriver("AllFiles", 1);
  upkeep::ds_SetOption("SPCreate", "1");
  upkeep::ds_UsingFile("CAT", "categort", categort.get(), 0, 0);
  upkeep::ds_UsingFile("COD", "codeby", codeby.get(), 0, 0);
  upkeep::ds_UsingFile("FUN", "func", func.get(), 0, 0);
  upkeep::ds_AlternateFieldName("FUN:examplecode", "examplecode");
  upkeep::ds_UsingFile("PRO", "projects", projects.get(), 8, 0);
  upkeep::ds_UsingFile("tpl", "template", template_.get(), 0, 0);
  upkeep::ds_AlternateFieldName("tpl:Coding", "Coding");
  return true;
}

void resetUpgradeRegistration() {
  driverFile.reset();
  registered = false;
}

}  // namespace app
