// The words for a failed shell open, by the shell's result number.
#pragma once

#include <string>

namespace linkpulse {

// The message text for shell result `result` (one that is not above 32), ending in "File:|"
// so that the command follows on a line of its own. A number without a text of its own gets
// the text for an unknown error.
std::string shellResultText(int result);

}  // namespace linkpulse
