#include "upkeep/message_catalogue.h"

#include <array>
#include <utility>

#include "platform/runtime/command_line.h"
#include "platform/runtime/ini_file.h"

namespace upkeep {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kDefaults = {{
    {"M1", "Possible file change without changing File Version number. File involved : "},
    {"M2", "Unable to Open UPG file : cause "},
    {"M10", "Warning - Driver not located - GPF likely"},
    {"M14", "Internal File Format Too Large. File :"},
}};

std::string& iniName() {
  static std::string name;
  return name;
}

}  // namespace

std::string ds_GetMessage(std::string_view code) {
  std::string_view text;
  for (const auto& [key, value] : kDefaults)
    if (key == code) text = value;
  SetTranslationIni({});
  return runtime::GETINI("Messages", code, text, iniName());
}

void SetTranslationIni(std::string_view name) {
  if (!iniName().empty() && name.empty()) return;
  std::string folder = runtime::COMMAND("0");
  folder.erase(folder.find_last_of("\\/") + 1);
  iniName() = folder + (name.empty() ? std::string("Upkeep.Ini") : std::string(name));
}

const std::string& translationIni() { return iniName(); }

}  // namespace upkeep
