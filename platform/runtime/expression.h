// Variables known by name (BIND, UNBIND) and the filter expressions that read them, such as
// "(PRO:category = glo:category)".
//
// Grammar (keywords and names are case-insensitive):
//   expression := and-term { OR and-term }
//   and-term   := not-term { AND not-term }
//   not-term   := NOT not-term | comparison
//   comparison := operand [ ( = | <> | < | > | <= | >= ) operand ]
//   operand    := ( expression ) | 'text' | number | - number | name
// A text literal writes a quote as ''. A number is digits with an optional decimal part. A name
// is a letter or "_" followed by letters, digits, "_" and ":" (a prefixed field, PRE:NAME),
// other than AND, OR and NOT.
// Comparisons follow compareValues: texts ignore trailing spaces, and a text meets a number as a
// number when it holds one. A comparison, NOT, AND and OR give 1 or 0.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/bound_value.h"

namespace runtime {

// Makes `variable` known by `name` to the expressions and the SQL drivers of every thread of
// the process, replacing what the name was bound to before. Names are compared without regard
// to letter case. Returns false, binding nothing, when `name` is not a name an expression can
// use (see the grammar) or `variable` is null.
bool BIND(std::string_view name, std::shared_ptr<BoundValue> variable);

// Binds a number variable; the variable must outlive its binding.
template <typename Number>
bool BIND(std::string_view name, Number& variable) {
  return BIND(name, std::make_shared<BoundNumber<Number>>(variable));
}

// Binds a text buffer; the buffer must outlive its binding.
bool BIND(std::string_view name, char* buffer, std::size_t capacity, TextKind kind);

// Forgets the name; a name that is not bound is left alone.
void UNBIND(std::string_view name);

// The variable bound to `name`, or null when none is.
std::shared_ptr<BoundValue> boundVariable(std::string_view name);

// Where and why a text is not an expression. `position` is the 1-based byte position of the
// part that is wrong (one past the end for a missing part).
struct ParseError {
  std::size_t position = 0;
  std::string message;
};

// The outcome of one evaluation: the value, or why there is none (an unknown name).
struct Evaluation {
  std::optional<Value> value;
  std::string error;

  bool ok() const { return value.has_value(); }
  // True when the evaluation succeeded and its value is true.
  bool isTrue() const { return value && value->isTrue(); }
};

struct ParseResult;
struct ExpressionProgram;

// A comparison by "=" that every value an expression lets through meets: a name on one side,
// and on the other another name or a literal.
struct Equality {
  std::string name;
  std::string otherName;  // empty when the other side is `literal`
  std::optional<Value> literal;
};

// A compiled filter expression. Names are looked up at each evaluation, so it always reads the
// current bindings and values.
class Expression {
 public:
  // Compiles `text`; any text gives either an expression or a parse error, never a crash.
  static ParseResult parse(std::string_view text);

  // Evaluates against the current bindings. A name that is not bound is an error naming it.
  Evaluation evaluate() const;

  // The comparisons by "=" of a name with another name or a literal that the expression
  // requires: the whole expression, or one term of its outermost AND. A comparison of two
  // names is given both ways round.
  std::vector<Equality> requiredEqualities() const;

 private:
  explicit Expression(std::shared_ptr<const ExpressionProgram> program)
      : program_(std::move(program)) {}

  std::shared_ptr<const ExpressionProgram> program_;
};

// What Expression::parse gives: an expression, or an error.
struct ParseResult {
  std::optional<Expression> expression;
  ParseError error;

  bool ok() const { return expression.has_value(); }
};

}  // namespace runtime
