#include "app/windows/updatecodeby.h"

#include "app/dictionary/declarations.h"
#include "app/windows/form_pattern.h"
#include "app/windows/record_use.h"
#include "app/windows/window_modules.h"

namespace app {
namespace {

using window::ControlType;

constexpr int kName = fieldNumber(kCodebyFields, "COD:NAME");

const files::PerThreadFile* const kFiles[] = {&codeby};
const HistoryField kHistory[] = {{kMemberEntry, kName}};
const int kReadOnly[] = {kMemberEntry};

const FormSpec kSpec{
    .procedure = "Updatecodeby",
    .key = kUpdatecodebyKey,
    .primary = &codeby,
    .files = kFiles,
    .history = kHistory,
    .okControl = kMemberOk,
    .cancelControl = kMemberCancel,
    .viewReadOnly = kReadOnly,
    .viewDisabled = {},
};

}  // namespace

void addUpdatecodebyResource() {
  window::WindowDefinition d = formResource(kUpdatecodebyKey, "Form codeby", "&1) General",
                                            {0, 0, 260, 70}, kMemberOk, kMemberCancel);
  d.add(kMemberPrompt, ControlType::Prompt).text("name:").parent(2).at(10, 20, 40, 10);
  d.add(kMemberEntry, ControlType::Entry)
      .picture("@s99")
      .use(recordUse(codeby, kName))
      .parent(2)
      .at(52, 20, 200, 10);
  addModuleWindow(13, std::move(d));
}

void Updatecodeby() {
  thread_local classlib::RecordSnapshot history;
  FormWindow(kSpec, history).runProcedure();
}

}  // namespace app
