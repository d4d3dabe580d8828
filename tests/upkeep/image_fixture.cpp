#include "tests/upkeep/image_fixture.h"

#include "app/dictionary/declarations.h"
#include "upkeep/registration.h"

namespace upkeep::testing {

void registerCaskfileDriver() {
  static files::FileDeclaration driverFile(app::kCategortSpec);
  ds_AddDriver("Vkf", driverFile, static_cast<std::int32_t>(driverFile.recordLength()),
               driverFile.record().data());
}

const std::vector<NamedSpec>& programSpecs() {
  static const std::vector<NamedSpec> specs = {
      {"projects", app::kProjectsSpec}, {"categort", app::kCategortSpec},
      {"template", app::kTemplateSpec}, {"codeby", app::kCodebySpec},
      {"func", app::kFuncSpec},         {"Formats", app::kFormatsSpec},
  };
  return specs;
}

runtime::FieldDef field(std::string_view label, runtime::FieldType type, std::uint32_t offset,
                        std::uint32_t size) {
  runtime::FieldDef def;
  def.label = label;
  def.type = type;
  def.offset = offset;
  def.size = size;
  return def;
}

}  // namespace upkeep::testing
