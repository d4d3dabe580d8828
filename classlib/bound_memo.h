// A memo of a FILE as a variable: a control's USE, a name for filter expressions.
#pragma once

#include <memory>

#include "platform/files/file_declaration.h"
#include "platform/runtime/bound_value.h"

namespace classlib {

// Reads the memo's content as a text; storing a value replaces it, cut to the memo's size.
// The memo must outlive the variable.
class BoundMemo : public runtime::BoundValue {
 public:
  explicit BoundMemo(files::Memo& memo) : memo_(memo) {}
  runtime::Value get() const override { return runtime::Value::text(std::string(memo_.content())); }
  bool set(const runtime::Value& value) override {
    memo_.assign(value.toText());
    return true;
  }

 private:
  files::Memo& memo_;
};

}  // namespace classlib
