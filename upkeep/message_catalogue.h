// The engine's message catalogue: every text it shows a user, by code ("M1" ... "M67" with
// gaps, "C1" ... "C6", "Ol1", "Ol2"), each with a built-in English default that an entry of
// section "Messages" of the settings INI (settings_ini.h) replaces.
#pragma once

#include <string>
#include <string_view>

namespace upkeep {

// The longest message text; longer texts are cut.
inline constexpr int kMessageLength = 255;

// The built-in text of `code` (its first three characters count); empty for a code without
// one. "M01" and "M02" are also taken for "M1" and "M2".
std::string DefaultMessageText(std::string_view code);

// Writes the default text of `code` into the settings INI unless the entry holds a text
// already; codes without a default are not written. A text that cannot be stored as one INI
// line (the two-line M6 and M30) is left out, and reads back as its default.
void TranslationEntry(std::string_view code);

// With `writeAll` 0 and a non-empty code: the text of `code` (first three characters), from the
// settings INI or else its default, space padded to kMessageLength characters. With `writeAll`
// non-zero or an empty code: writes every code's default into the settings INI (M1 ... M99,
// C1 ... C10, Ol1 ... Ol9, through TranslationEntry) and answers an empty text.
std::string ds_GetMessage(std::string_view code, int writeAll = 0);

// The text of `code` without its padding: CLIP(ds_GetMessage(code)).
std::string messageText(std::string_view code);

}  // namespace upkeep
