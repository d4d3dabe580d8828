// A value as use variables and list rows hand it to the screen: a text or a number.
#pragma once

#include <string>
#include <string_view>

namespace window {

struct Value {
  bool isNumber = false;
  double number = 0;
  std::string text;

  static Value ofText(std::string_view t) { return Value{false, 0, std::string(t)}; }
  static Value ofNumber(double n) { return Value{true, n, {}}; }

  // The value as text: a number as the runtime writes it (no trailing ".0"), a text unchanged.
  std::string asText() const;
  // The value as a number: a text that is not a number gives 0.
  double asNumber() const;
  bool operator==(const Value&) const = default;
};

// The runtime's text of a number: whole numbers without a decimal point, others with up to
// 15 significant digits and no trailing zeros.
std::string numberText(double n);
// The number a text stands for, ignoring surrounding blanks; 0 when it is not a number.
double textNumber(std::string_view text);

}  // namespace window
