// Helpers the link manager's source files share: texts built from pieces as the trace lines
// are, and property access on the current window by number.
#pragma once

#include <concepts>
#include <string>
#include <string_view>

#include "platform/runtime/number_text.h"
#include "platform/window/engine.h"

namespace linkpulse::detail {

inline void append(std::string& out, std::string_view piece) { out += piece; }
template <class N>
requires std::integral<N> || std::integral<typename N::ValueType>
void append(std::string& out, N number) {
  out += runtime::longToText(static_cast<long long>(number));
}

// The pieces one after the other; numbers (and number fields) as decimal text.
template <class... Pieces>
std::string cat(const Pieces&... pieces) {
  std::string out;
  (append(out, pieces), ...);
  return out;
}

// A property of the current window (`target` 0) or of one of its controls, as a number.
inline int numberProperty(int target, int prop, int index = 0) {
  return static_cast<int>(runtime::textToLong(window::getProperty(target, prop, index)));
}

// The type code of a control; 0 when there is no such control.
inline int controlType(int control) { return numberProperty(control, window::PropType); }

// Control type codes the manager tells apart.
enum TypeCode : int {
  TypeString = 1,
  TypeStringAlt = 2,
  TypeRegion = 4,
  TypeEntry = 8,
  TypeButton = 9,
  TypePrompt = 10,
  TypeList = 14,
  TypeCode15 = 15,
  TypeText = 17,
  TypeCode20 = 20,
};

}  // namespace linkpulse::detail
