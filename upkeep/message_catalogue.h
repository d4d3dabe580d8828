// The upgrade manager's numbered messages and its settings INI "Upkeep.Ini". Only the lookup
// the catalogue of structures needs is here so far.
#pragma once

#include <string>
#include <string_view>

namespace upkeep {

// The text of message `code` ("M1", ...): the entry `code` of section "Messages" of the
// settings INI, else the built-in default; empty for a code without one.
std::string ds_GetMessage(std::string_view code);

// Sets the settings INI's name: `name` in the program's folder, "Upkeep.Ini" when empty; an
// empty name leaves a name already set alone.
void SetTranslationIni(std::string_view name);
// The settings INI's name; blank until SetTranslationIni has run.
const std::string& translationIni();

}  // namespace upkeep
