#include "platform/window/use_variable.h"

#include <cassert>

namespace window {

UseVariable UseVariable::text(char* buffer, std::size_t capacity, runtime::TextKind kind) {
  assert(buffer != nullptr && capacity >= 1);
  return bound(std::make_shared<runtime::BoundText>(buffer, capacity, kind), true);
}

UseVariable UseVariable::bound(std::shared_ptr<runtime::BoundValue> value, bool isText) {
  assert(value);
  UseVariable v;
  v.value_ = std::move(value);
  v.isText_ = isText;
  return v;
}

Value UseVariable::get() const { return value_ ? value_->get() : Value::text(""); }

bool UseVariable::set(const Value& value) { return value_ && value_->set(value); }

}  // namespace window
