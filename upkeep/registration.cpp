#include "upkeep/registration.h"

#include "platform/files/file_declaration.h"
#include "upkeep/call_recorder.h"
#include "upkeep/driver_table.h"
#include "upkeep/upkeep_state.h"

namespace upkeep {

std::uint8_t* UpgradingFlagAddress() {
  EntryCallBuilder("UpgradingFlagAddress").send();
  return &upgradingFlag();
}

void ds_SetOption(std::string_view option, std::string_view value) {
  EntryCallBuilder("ds_SetOption").text(option).text(value).send();
}

void ds_AddDriver(std::string_view code, files::FileDeclaration& file, std::int32_t recordSize,
                  std::byte* record) {
  EntryCallBuilder("ds_AddDriver").text(code).file(file).number(recordSize).record(record).send();
  DR().push_back({std::string(code.substr(0, 3)), file.driver()});
}

void ds_IgnoreDriver(std::string_view label, std::int32_t flags) {
  EntryCallBuilder("ds_IgnoreDriver").text(label).number(flags).send();
}

void ds_AlternateFieldName(std::string_view newLabel, std::string_view oldName) {
  EntryCallBuilder("ds_AlternateFieldName").text(newLabel).text(oldName).send();
}

void ds_UsingFile(std::string_view prefix, std::string_view label, files::FileDeclaration& file,
                  std::int32_t version, std::int32_t unused) {
  EntryCallBuilder("ds_UsingFile")
      .text(prefix)
      .text(label)
      .file(file)
      .number(version)
      .number(unused)
      .send();
}

}  // namespace upkeep
