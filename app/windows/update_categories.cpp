#include "app/windows/update_categories.h"

#include "app/dictionary/declarations.h"
#include "app/windows/form_pattern.h"
#include "app/windows/record_use.h"
#include "app/windows/window_modules.h"

namespace app {
namespace {

using window::ControlType;

constexpr int kCatDescription = fieldNumber(kCategortFields, "CAT:CATDESCRIPTION");

const files::PerThreadFile* const kFiles[] = {&categort};
const HistoryField kHistory[] = {{kCategoryEntry, kCatDescription}};
const int kReadOnly[] = {kCategoryEntry};

const FormSpec kSpec{
    .procedure = "update_categories",
    .key = kUpdateCategoriesKey,
    .primary = &categort,
    .files = kFiles,
    .history = kHistory,
    .okControl = kCategoryOk,
    .cancelControl = kCategoryCancel,
    .viewReadOnly = kReadOnly,
    .viewDisabled = {},
};

}  // namespace

void addUpdateCategoriesResource() {
  window::WindowDefinition d = formResource(kUpdateCategoriesKey, "Category Updates", "General",
                                            {0, 0, 220, 70}, kCategoryOk, kCategoryCancel);
  d.add(kCategoryPrompt, ControlType::Prompt).text("Categories:").parent(2).at(10, 20, 50, 10);
  d.add(kCategoryEntry, ControlType::Entry)
      .picture("@s49")
      .use(recordUse(categort, kCatDescription))
      .parent(2)
      .at(62, 20, 150, 10);
  addModuleWindow(10, std::move(d));
}

void update_categories() {
  thread_local classlib::RecordSnapshot history;
  FormWindow(kSpec, history).runProcedure();
}

}  // namespace app
