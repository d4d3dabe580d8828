#include "app/windows/update_projects.h"

#include "app/dictionary/declarations.h"
#include "app/windows/browse_categories.h"
#include "app/windows/browse_codeby.h"
#include "app/windows/form_pattern.h"
#include "app/windows/record_use.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_procedures.h"
#include "app/windows/window_requests.h"
#include "classlib/file_selector.h"
#include "platform/window/window.h"

namespace app {
namespace {

using window::ControlType;

consteval int field(std::string_view label) { return fieldNumber(kProjectsFields, label); }

const files::PerThreadFile* const kFiles[] = {&categort, &codeby, &projects};
const HistoryField kHistory[] = {
    {kDescriptionEntry, field("PRO:DESCRIPTION")},
    {kLongDescriptionText, field("PRO:LONGDESCRIPTION")},
    {kProjectPathEntry, field("PRO:PROJECTPATH")},
    {kCategoryEntryOfProject, field("PRO:CATEGORY")},
    {kIdeOption, field("PRO:TYPEC")},
    {kWindowsExeCheck, field("PRO:WINDOWSEXE")},
    {kAndroidCheck, field("PRO:ANDROID")},
    {kMacOsCheck, field("PRO:IOS")},
    {kHtml5Check, field("PRO:HTML5")},
    {kThreadlinkEntry, field("PRO:THREADLINK")},
    {kCodebyEntry, field("PRO:CODEBY")},
};
const int kReadOnly[] = {kDescriptionEntry, kProjectPathEntry, kCategoryEntryOfProject,
                         kThreadlinkEntry, kCodebyEntry};
const int kDisabled[] = {kProjectPathLookup, kCategoryLookup, kCodebyLookup};
const LookupButton kLookups[] = {{kCategoryEntryOfProject, kCategoryLookup},
                                 {kCodebyEntry, kCodebyLookup}};

const FormSpec kSpec{
    .procedure = "update_projects",
    .key = kUpdateProjectsKey,
    .primary = &projects,
    .files = kFiles,
    .history = kHistory,
    .okControl = kProjectOk,
    .cancelControl = kProjectCancel,
    .viewReadOnly = kReadOnly,
    .viewDisabled = kDisabled,
    .lookups = kLookups,
};

class ProjectForm : public FormWindow {
 public:
  explicit ProjectForm(classlib::RecordSnapshot& history) : FormWindow(kSpec, history) {}

 protected:
  void setUpForm() override {
    path_.init(classlib::FileSelector::kDefaultTitle, classlib::FileLongNames);
    path_.addMask("AGK Project Files", "*.agk");
    path_.setClearOnCancel(true);
  }

  int takeFormAccepted(int control) override {
    switch (control) {
      case kProjectPathLookup:
        PRO->PROJECTPATH = path_.ask(classlib::AskRestoreDirectory);
        window()->display();
        break;
      case kCategoryLookup: {
        CAT->CATDESCRIPTION = PRO->CATEGORY.view();
        const int response = runLookup(categort, "CAT:P_CAT", browse_Categories);
        // The IDE group takes the focus through its radio that is on.
        const int radio = PRO->TYPEC.view() == "Studio" ? kStudioRadio : kClassicRadio;
        lookUp(response, kCategoryEntryOfProject, CAT->CATDESCRIPTION.view(), radio,
               kCategoryLookup);
        break;
      }
      case kCodebyLookup: {
        COD->NAME = PRO->CODEBY.view();
        const int response = runLookup(codeby, "COD:P_NAME", browse_codeby);
        lookUp(response, kCodebyEntry, COD->NAME.view(), kProjectOk, kCodebyLookup);
        break;
      }
      default: break;
    }
    return classlib::LevelBenign;
  }

 private:
  // After a lookup list answered `response`: a chosen `value` goes into `entry` and the focus
  // on to `next`; otherwise the entry keeps its text and the focus goes back to `button`.
  void lookUp(int response, int entry, std::string_view value, int next, int button) {
    if (response != classlib::ResponseCompleted) {
      window()->select(button);
      return;
    }
    window()->change(entry, runtime::Value::text(std::string(value)));
    windowRequests().response = classlib::ResponseCancelled;
    window()->select(next);
    REQUEST = ORIGINALREQUEST;
  }

  classlib::FileSelector path_;
};

}  // namespace

void addUpdateProjectsResource() {
  window::WindowDefinition d = formResource(kUpdateProjectsKey, "Form projects", "Updates",
                                            {0, 0, 360, 290}, kProjectOk, kProjectCancel);
  const auto entry = [&](int prompt, const char* text, int control, const char* picture,
                         int fieldNo, int y) {
    d.add(prompt, ControlType::Prompt).text(text).parent(kProjectTab).at(10, y, 60, 10);
    d.add(control, ControlType::Entry)
        .picture(picture)
        .use(recordUse(projects, fieldNo))
        .parent(kProjectTab)
        .at(72, y, 250, 10);
  };
  const auto lookup = [&](int button, int y) {
    d.add(button, ControlType::Button).text("...").parent(kProjectTab).at(326, y, 16, 10);
  };
  entry(kDescriptionPrompt, "Description:", kDescriptionEntry, "@s99", field("PRO:DESCRIPTION"),
        20);
  d.add(kLongDescriptionText, ControlType::Text)
      .use(recordUse(projects, field("PRO:LONGDESCRIPTION")))
      .parent(kProjectTab)
      .at(10, 34, 332, 70);
  entry(kProjectPathPrompt, "Project Path:", kProjectPathEntry, "@s254", field("PRO:PROJECTPATH"),
        110);
  lookup(kProjectPathLookup, 110);
  entry(kCategoryPromptOfProject, "Category:", kCategoryEntryOfProject, "@s49",
        field("PRO:CATEGORY"), 124);
  lookup(kCategoryLookup, 124);
  d.add(kIdeOption, ControlType::Option)
      .text("IDE")
      .use(recordUse(projects, field("PRO:TYPEC")))
      .parent(kProjectTab)
      .at(10, 138, 120, 24);
  d.add(kClassicRadio, ControlType::Radio)
      .text("Classic")
      .value("Classic")
      .parent(kIdeOption)
      .at(16, 148, 50, 10);
  d.add(kStudioRadio, ControlType::Radio)
      .text("Studio")
      .value("Studio")
      .parent(kIdeOption)
      .at(70, 148, 50, 10);
  const struct {
    int control;
    const char* text;
    int field;
  } checks[] = {{kWindowsExeCheck, "Windows Exe", field("PRO:WINDOWSEXE")},
                {kAndroidCheck, "Android", field("PRO:ANDROID")},
                {kMacOsCheck, "Mac OS", field("PRO:IOS")},
                {kHtml5Check, "HTML 5", field("PRO:HTML5")}};
  int x = 10;
  for (const auto& c : checks) {
    d.add(c.control, ControlType::Check)
        .text(c.text)
        .use(recordUse(projects, c.field))
        .values("1", "0")
        .parent(kProjectTab)
        .at(x, 168, 70, 10);
    x += 80;
  }
  d.add(kCodebyPrompt, ControlType::Prompt).text("codeby:").parent(kProjectTab).at(10, 184, 60, 10);
  d.add(kThreadlinkPrompt, ControlType::Prompt)
      .text("Threadlink:")
      .parent(kProjectTab)
      .at(10, 198, 60, 10);
  d.add(kThreadlinkEntry, ControlType::Entry)
      .picture("@s254")
      .use(recordUse(projects, field("PRO:THREADLINK")))
      .parent(kProjectTab)
      .at(72, 198, 270, 10);
  d.add(kCodebyEntry, ControlType::Entry)
      .picture("@s99")
      .use(recordUse(projects, field("PRO:CODEBY")))
      .parent(kProjectTab)
      .at(72, 184, 250, 10);
  lookup(kCodebyLookup, 184);
  addModuleWindow(4, std::move(d));
  setWindowProcedure(WindowProcedure::update_projects, update_projects);
}

void update_projects() {
  thread_local classlib::RecordSnapshot history;
  ProjectForm(history).runProcedure();
}

}  // namespace app
