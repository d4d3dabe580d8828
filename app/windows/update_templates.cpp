#include "app/windows/update_templates.h"

#include "app/dictionary/declarations.h"
#include "app/windows/form_pattern.h"
#include "app/windows/record_use.h"
#include "app/windows/window_modules.h"
#include "classlib/file_selector.h"
#include "platform/window/window.h"

namespace app {
namespace {

using window::ControlType;

constexpr int kDescription = fieldNumber(kTemplateFields, "TPL:DESCRIPTION");
constexpr int kPath = fieldNumber(kTemplateFields, "TPL:PROJECTPATH");

const files::PerThreadFile* const kFiles[] = {&template_};
const HistoryField kHistory[] = {{kTemplateDescriptionEntry, kDescription},
                                 {kTemplatePathEntry, kPath}};
const int kReadOnly[] = {kTemplateDescriptionEntry, kTemplatePathEntry};
const int kDisabled[] = {kTemplatePathLookup};

const FormSpec kSpec{
    .procedure = "update_Templates",
    .key = kUpdateTemplatesKey,
    .primary = &template_,
    .files = kFiles,
    .history = kHistory,
    .okControl = kTemplateOk,
    .cancelControl = kTemplateCancel,
    .viewReadOnly = kReadOnly,
    .viewDisabled = kDisabled,
};

class TemplateForm : public FormWindow {
 public:
  explicit TemplateForm(classlib::RecordSnapshot& history) : FormWindow(kSpec, history) {}

 protected:
  void setUpForm() override {
    path_.init(classlib::FileSelector::kDefaultTitle, classlib::FileLongNames);
    path_.addMask("AGK Main File", "*.tpl");
    path_.setClearOnCancel(true);
  }

  int takeFormAccepted(int control) override {
    if (control == kTemplatePathLookup) {
      TPL->PROJECTPATH = path_.ask(classlib::AskRestoreDirectory);
      window()->display();
    }
    return classlib::LevelBenign;
  }

 private:
  classlib::FileSelector path_;
};

}  // namespace

void addUpdateTemplatesResource() {
  window::WindowDefinition d = formResource(kUpdateTemplatesKey, "Template Updates", "General",
                                            {0, 0, 340, 90}, kTemplateOk, kTemplateCancel);
  d.add(kTemplateDescriptionPrompt, ControlType::Prompt)
      .text("Description:")
      .parent(2)
      .at(10, 20, 60, 10);
  d.add(kTemplateDescriptionEntry, ControlType::Entry)
      .picture("@s99")
      .use(recordUse(template_, kDescription))
      .parent(2)
      .at(72, 20, 240, 10);
  d.add(kTemplatePathPrompt, ControlType::Prompt)
      .text("Template Path:")
      .parent(2)
      .at(10, 34, 60, 10);
  d.add(kTemplatePathEntry, ControlType::Entry)
      .picture("@s254")
      .use(recordUse(template_, kPath))
      .parent(2)
      .at(72, 34, 240, 10);
  d.add(kTemplatePathLookup, ControlType::Button).text("...").parent(2).at(316, 34, 16, 10);
  addModuleWindow(5, std::move(d));
}

void update_Templates() {
  thread_local classlib::RecordSnapshot history;
  TemplateForm(history).runProcedure();
}

}  // namespace app
