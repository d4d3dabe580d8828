#include "upkeep_sql/dictionary_master.h"

#include <string>

#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/registration_tables.h"
#include "upkeep/trace.h"

namespace upkeep_sql {
namespace {

std::int32_t answerOption(std::string_view routine, std::string_view label,
                          std::string_view fileName, std::uint8_t option) {
  const bool traced = upkeep::debugLevels().inOutTrace != 0;
  if (traced) {
    upkeep::WriteTrace("-- Start of " + std::string(routine) + " " + runtime::CLIP(fileName) + " " +
                       runtime::CLIP(label) + " --");
  }
  const std::int32_t answer = option != 0 ? 1 : 0;
  if (traced)
    upkeep::WriteTrace("-- End of " + std::string(routine) + " " + std::to_string(answer) + " --");
  return answer;
}

}  // namespace

std::int32_t ds_CheckCreateField(std::string_view fieldLabel, std::string_view fileName) {
  return answerOption("ds_CheckCreateField", fieldLabel, fileName,
                      upkeep::registration().options.dctMasterFields);
}

std::int32_t ds_CheckCreateKey(std::string_view keyLabel, std::string_view fileName) {
  return answerOption("ds_CheckCreateKey", keyLabel, fileName,
                      upkeep::registration().options.dctMasterKeys);
}

}  // namespace upkeep_sql
