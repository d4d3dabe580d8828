#include "upkeep/settings_ini.h"

#include "platform/runtime/ini_file.h"
#include "platform/runtime/paths.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/program_file_name.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

std::string iniName;

}  // namespace

void SetTranslationIni(std::string_view name) {
  if (!iniName.empty() && name.empty()) return;
  iniName = programFolder() + (name.empty() ? std::string("Upkeep.Ini") : std::string(name));
  if (debugLevels().inOutTrace) WriteTrace("Ini file name (for translating) set to " + iniName);
}

std::string settingsIniName() {
  SetTranslationIni({});
  return iniName;
}

std::string upgFolderSetting() {
  std::string folder = runtime::CLIP(runtime::GETINI("Upkept", "Path", {}, settingsIniName()));
  if (folder.empty()) {
    // The data files live in the program's current directory, and the program's own folder is
    // usually not writable: the catalogue stays beside the data. Never the root folder.
    folder = runtime::currentDirectory();
    if (folder.empty()) return {};
  }
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

bool silentSetting() {
  return runtime::equalTextNoCase(runtime::GETINI("Command", "Silent", {}, settingsIniName()),
                                  "TRUE");
}

void resetSettingsIni() { iniName.clear(); }

}  // namespace upkeep
