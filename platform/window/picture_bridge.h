// How the engine formats a variable's value for the screen and reads an edited text back, by
// the control's picture (the runtime's FORMAT and DEFORMAT).
#pragma once

#include <string>
#include <string_view>

#include "platform/window/use_variable.h"

namespace window {

// The text shown for `value` under `picture` ("@s20", "@n-14", "@d6" ...), without trailing
// blanks. An empty picture shows the value as text.
std::string screenTextOf(const Value& value, std::string_view picture);

// The value an edited screen text stands for under `picture`: the text itself under a string
// picture (or none, for a text variable), else the DEFORMAT of it, as a text for a text
// variable (`wantText`) or as a number.
Value valueOfScreenText(std::string_view text, std::string_view picture, bool wantText);

// The most bytes an "@sN" picture lets an entry hold (N); 0 for any other picture, which sets
// no limit.
std::size_t stringPictureWidth(std::string_view picture);

}  // namespace window
