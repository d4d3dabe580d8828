#include "app/windows/record_binding.h"

#include <cassert>
#include <memory>

#include "classlib/bound_memo.h"
#include "platform/runtime/bound_field.h"

namespace app {

void bindRecordFields(window::Window& w, files::FileDeclaration& file,
                      std::span<const FieldControl> fields) {
  const runtime::RecordLayout& layout = file.layout();
  for (const FieldControl& f : fields) {
    const int number = layout.numberOf(f.label);
    assert(number != 0 && "a field of the file");
    const runtime::FieldDef& field = *layout.field(number);
    const bool text = field.type == runtime::FieldType::CString ||
                      field.type == runtime::FieldType::String ||
                      field.type == runtime::FieldType::PString;
    w.bindUse(f.control,
              window::UseVariable::bound(runtime::boundField(field, file.record().data()), text));
  }
}

void bindRecordMemo(window::Window& w, int control, files::FileDeclaration& file, int memo) {
  files::Memo* m = file.memo(memo);
  assert(m && "a memo of the file");
  w.bindUse(control, window::UseVariable::bound(std::make_shared<classlib::BoundMemo>(*m), true));
}

}  // namespace app
