// Values of bound variables: what a filter expression reads from a variable known by name, and
// what a SQL driver writes into one for an OUT parameter.
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace runtime {

// A number or a text.
class Value {
 public:
  Value() : content_(0.0) {}
  static Value number(double number) { return Value(number); }
  static Value text(std::string text) { return Value(std::move(text)); }

  bool isText() const { return std::holds_alternative<std::string>(content_); }
  // The number; a text converts as the runtime converts text to a number (a text that is not a
  // number, or is empty, gives 0).
  double toNumber() const;
  // The text; a number is written as the runtime writes numbers (whole numbers without a
  // decimal point, others with up to 15 significant digits).
  std::string toText() const;
  // A number is true when it is not 0, a text when it holds something other than spaces.
  bool isTrue() const;

 private:
  explicit Value(double number) : content_(number) {}
  explicit Value(std::string text) : content_(std::move(text)) {}
  friend int compareValues(const Value& a, const Value& b);

  std::variant<double, std::string> content_;
};

// Compares two values: numbers as numbers, texts as texts ignoring trailing spaces (byte order),
// and a text with a number as numbers when the text is a number, otherwise as texts.
// Returns a negative number, 0 or a positive number.
int compareValues(const Value& a, const Value& b);

// A variable that can be known by name: read it as a Value and, for OUT parameters, store one.
class BoundValue {
 public:
  virtual ~BoundValue() = default;
  // The variable's current value.
  virtual Value get() const = 0;
  // Stores `value` in the variable, converted to its type. False when it cannot hold the value
  // (a number out of its range); the variable is then unchanged.
  virtual bool set(const Value& value) = 0;
};

// A number variable of any of the field value kinds held in a C++ arithmetic type (BYTE, SHORT,
// USHORT, LONG, ULONG, SREAL, REAL).
template <typename Number>
class BoundNumber : public BoundValue {
  static_assert(std::is_arithmetic_v<Number> && !std::is_same_v<Number, bool>);

 public:
  explicit BoundNumber(Number& variable) : variable_(variable) {}

  Value get() const override { return Value::number(static_cast<double>(variable_)); }

  // Whole-number variables take the value cut toward zero.
  bool set(const Value& value) override {
    const double number = value.toNumber();
    if constexpr (std::is_integral_v<Number>) {
      const double whole = std::trunc(number);
      using Limits = std::numeric_limits<Number>;
      if (!(whole >= static_cast<double>(Limits::min()) &&
            whole < std::ldexp(1.0, Limits::digits))) {
        return false;
      }
      variable_ = static_cast<Number>(whole);
    } else {
      variable_ = static_cast<Number>(number);
    }
    return true;
  }

 private:
  Number& variable_;
};

// How a text variable keeps its text in its buffer of `capacity` bytes.
enum class TextKind {
  String,   // padded with spaces to the capacity
  CString,  // at most capacity - 1 bytes, ended by a NUL
  PString,  // a length byte, then at most capacity - 1 bytes (and at most 255)
};

// A text variable over a fixed buffer. Stored texts are cut to the capacity on a character
// boundary.
class BoundText : public BoundValue {
 public:
  BoundText(char* buffer, std::size_t capacity, TextKind kind);

  Value get() const override;
  bool set(const Value& value) override;

 private:
  char* buffer_;
  std::size_t capacity_;
  TextKind kind_;
};

}  // namespace runtime
