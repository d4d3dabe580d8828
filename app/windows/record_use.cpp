#include "app/windows/record_use.h"

#include <cassert>
#include <memory>

#include "platform/classlib/bound_field.h"

namespace app {
namespace {

class ThreadRecordField : public runtime::BoundValue {
 public:
  ThreadRecordField(const files::PerThreadFile& file, int field) : file_(file), field_(field) {}

  runtime::Value get() const override { return variable()->get(); }
  bool set(const runtime::Value& value) override { return variable()->set(value); }

 private:
  std::shared_ptr<runtime::BoundValue> variable() const {
    files::FileDeclaration& file = file_.get();
    const runtime::FieldDef* def = file.layout().field(field_);
    assert(def && "a field of the record");
    return classlib::boundField(*def, file.record().data());
  }

  const files::PerThreadFile& file_;
  int field_;
};

bool isTextField(const files::PerThreadFile& file, int field) {
  using runtime::FieldType;
  const runtime::FieldDef& def = file.spec().fields[static_cast<std::size_t>(field - 1)];
  return def.type == FieldType::String || def.type == FieldType::CString ||
         def.type == FieldType::PString;
}

}  // namespace

window::UseVariable recordUse(const files::PerThreadFile& file, int field) {
  assert(field >= 1 && static_cast<std::size_t>(field) <= file.spec().fields.size());
  return window::UseVariable::bound(std::make_shared<ThreadRecordField>(file, field),
                                    isTextField(file, field));
}

}  // namespace app
