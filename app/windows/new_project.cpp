#include "app/windows/new_project.h"

#include <string>
#include <tuple>
#include <utility>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "app/windows/app_window.h"
#include "app/windows/browse_categories.h"
#include "app/windows/create_main_agc.h"
#include "app/windows/form_pattern.h"
#include "app/windows/ide_launch.h"
#include "app/windows/project_folder.h"
#include "app/windows/select_template.h"
#include "app/windows/window_modules.h"
#include "app/windows/window_procedures.h"
#include "app/windows/window_requests.h"
#include "classlib/request.h"
#include "platform/files/file_driver.h"
#include "platform/os/directories.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "platform/runtime/text_types.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/use_variable.h"

namespace app {
namespace {

using window::ControlType;
using window::UseVariable;

constexpr int kModule = 3;

// The procedure's locals, empty at each start.
struct NewProjectLocals {
  runtime::CString<20> ideKind;
  runtime::Long templateId;
  runtime::CString<100> templateDescription;
  runtime::CString<255> templatePath;
  runtime::CString<255> folderPath;
};

// The files the window opens, in the order it opens them.
const files::PerThreadFile* const kFiles[] = {&categort, &template_};

class NewProjectWindow : public AppWindow {
 public:
  NewProjectWindow(TabStopNav& nav, NewProjectLocals& my)
      : AppWindow("New_Project", kFiles, nav), my_(my) {}

  int takeWindowEvent() override {
    const int rc = WindowController::takeWindowEvent();
    if (rc == classlib::LevelBenign && window::EVENT() == window::EventOpenWindow) {
      my_.ideKind = "Classic";  // the window always opens on "Classic"
      reset(true);
    }
    return rc;
  }

  int takeAccepted() override {
    const int control = window()->accepted();
    if (control == kNewProjectCreate) createProject();
    const int rc = WindowController::takeAccepted();
    if (rc != classlib::LevelBenign) return rc;
    if (control == kNewProjectCategoryLookup) {
      update();
      lookUpCategory();
    } else if (control == kNewProjectTemplateLookup) {
      update();
      lookUpTemplate();
    }
    return classlib::LevelBenign;
  }

 protected:
  void setUpWindow() override {
    window()->bindUse(kNewProjectIdeOption, UseVariable::field(my_.ideKind));
    window()->bindUse(kNewProjectTemplateEntry, UseVariable::field(my_.templateDescription));
    addItem(kNewProjectCancel, classlib::ResponseCancelled);
  }

 private:
  void createProject() {
    update();  // what is still in an entry counts
    if (!mayCreateProject()) return;
    const std::string folder = projectFolder();
    // The project folder (given with its trailing separator), then its media folder; the one
    // that cannot be made is named, with the reason the folder creation gave.
    for (const auto& [path, named] :
         {std::pair{folder + "/", folder}, std::pair{folder + "/media", folder + "/media"}}) {
      my_.folderPath = path;
      if (const int error = os::VUCREATEDIRECTORY(my_.folderPath.view()); error != 0) {
        refuse("The folder \"" + named + "\" cannot be made: " + runtime::errorText(error) + ".",
               kNewProjectDescriptionEntry);
        return;
      }
    }
    GLO.MAINAGCFILE = inProjectFolder("main.agc");
    // An emptied Template entry means no template, whatever was chosen before.
    const std::int32_t templateId =
        runtime::CLIP(my_.templateDescription.view()).empty() ? 0 : my_.templateId.value();
    createmainagc(templateId, my_.ideKind.view());
    if (my_.ideKind != "Classic" && my_.ideKind != "Studio") {
      GLO.PROJECT.clear();
    } else if (files::EXISTS(GLO.PROJECT.view()) != 0) {
      // Without its project file (createmainagc has said why) no IDE is started on it.
      runIde(my_.ideKind == "Classic" ? CLASSICEXE.view() : STUDIOEXE.view(), GLO.PROJECT.view());
    }
    window::POST(window::EventCloseWindow);
  }

  // The description names one folder inside the base path and the file name one file in it;
  // a folder that is there already is written into only when the user agrees. Without a base
  // path the folder would land at the root of the file system: the user is sent to set it.
  bool mayCreateProject() {
    if (runtime::CLIP(GLO.BASEPATH.text()).empty()) {
      return refuse("No folder for new projects is set: choose one in Setup, Paths Setup.",
                    kNewProjectDescriptionEntry);
    }
    for (const auto& [text, what, control] :
         {std::tuple{GLO.DESCRIPTION.text(), "The description", kNewProjectDescriptionEntry},
          std::tuple{GLO.PROJECTNAME.text(), "The project file name", kNewProjectFileNameEntry}}) {
      const std::string problem = folderNameProblem(text, what);
      if (!problem.empty()) return refuse(problem, control);
    }
    const std::string folder = projectFolder();
    if (files::EXISTS(folder) == 0) return true;
    const int answer =
        runtime::MESSAGE("The folder \"" + folder +
                             "\" is there already.|Create the project in it? Its main.agc "
                             "gets the new lines after what it holds.",
                         "New Project", runtime::kIconQuestion,
                         runtime::ButtonYes | runtime::ButtonNo, runtime::ButtonNo);
    if (answer == runtime::ButtonYes) return true;
    window::SELECT(kNewProjectDescriptionEntry);
    return false;
  }

  // Tells the user why nothing is created and puts the focus where the fault is.
  static bool refuse(const std::string& why, int control) {
    runtime::MESSAGE(why + "|No project was created.", "New Project", runtime::kIconExclamation);
    window::SELECT(control);
    return false;
  }

  void lookUpCategory() {
    CAT->CATDESCRIPTION = GLO.CATEGORY.view();
    if (runLookup(categort, "CAT:P_CAT", browse_Categories) != classlib::ResponseCompleted) {
      window::SELECT(kNewProjectCategoryLookup);
      return;
    }
    window::CHANGE(kNewProjectCategoryEntry, runtime::Value::text(CAT->CATDESCRIPTION.text()));
    windowRequests().response = classlib::ResponseCancelled;
    window::SELECT(kNewProjectFileNameEntry);  // a prompt takes no focus: its entry does
  }

  // The id and path are first taken from the template record buffer as it stands, so a
  // cancelled lookup keeps the template chosen before (none on a fresh start).
  void lookUpTemplate() {
    reset(true);
    TPL->DESCRIPTION = my_.templateDescription.view();
    my_.templateDescription = TPL->DESCRIPTION.view();
    my_.templateId = TPL->ID;
    my_.templatePath = TPL->PROJECTPATH.view();
    if (runLookup(template_, "TPL:K_DESCRIPTION", select_template) != classlib::ResponseCompleted) {
      window::SELECT(kNewProjectTemplateLookup);
      return;
    }
    window::CHANGE(kNewProjectTemplateEntry, runtime::Value::text(TPL->DESCRIPTION.text()));
    windowRequests().response = classlib::ResponseCancelled;
    my_.templateId = TPL->ID;
    my_.templatePath = TPL->PROJECTPATH.view();
    window::SELECT(kNewProjectCancel);
  }

  NewProjectLocals& my_;
};

}  // namespace

void addNewProjectResource() {
  window::WindowDefinition d;
  d.key = std::string(kNewProjectKey);
  d.label = std::string(kNewProjectLabel);
  d.title = "New Project";
  d.icon = "dockmark.ico";
  d.at = {0, 0, 300, 150};
  // The IDE kind and the template entry show the procedure's locals, bound as it opens.
  d.add(kNewProjectIdeOption, ControlType::Option).text("AGK IDE").at(8, 4, 284, 24);
  d.add(kNewProjectClassicRadio, ControlType::Radio)
      .text("Classic")
      .value("Classic")
      .parent(kNewProjectIdeOption)
      .at(16, 14, 60, 10);
  d.add(kNewProjectStudioRadio, ControlType::Radio)
      .text("Studio")
      .value("Studio")
      .parent(kNewProjectIdeOption)
      .at(90, 14, 60, 10);
  d.add(kNewProjectDescriptionPrompt, ControlType::Prompt).text("Description:").at(8, 36, 70, 10);
  d.add(kNewProjectDescriptionEntry, ControlType::Entry)
      .picture("@s254")
      .use(UseVariable::field(GLO.DESCRIPTION))
      .at(80, 36, 212, 12);
  d.add(kNewProjectCategoryPrompt, ControlType::Prompt).text("Category:").at(8, 54, 70, 10);
  d.add(kNewProjectCategoryEntry, ControlType::Entry)
      .picture("@s49")
      .use(UseVariable::field(GLO.CATEGORY))
      .at(80, 54, 188, 12);
  d.add(kNewProjectCategoryLookup, ControlType::Button).text("...").at(272, 54, 20, 12);
  d.add(kNewProjectFileNamePrompt, ControlType::Prompt).text("Project FileName:").at(8, 72, 70, 10);
  d.add(kNewProjectFileNameEntry, ControlType::Entry)
      .picture("@s254")
      .use(UseVariable::field(GLO.PROJECTNAME))
      .at(80, 72, 212, 12);
  d.add(kNewProjectTemplatePrompt, ControlType::Prompt).text("Template").at(8, 90, 70, 10);
  d.add(kNewProjectTemplateEntry, ControlType::Entry).picture("@s99").at(80, 90, 188, 12);
  d.add(kNewProjectTemplateLookup, ControlType::Button).text("...").at(272, 90, 20, 12);
  d.add(kNewProjectCancel, ControlType::Button).text("Cancel").at(160, 128, 60, 14);
  d.add(kNewProjectCreate, ControlType::Button).text("Create Project").at(224, 128, 68, 14);
  addModuleWindow(kModule, std::move(d));
  setWindowProcedure(WindowProcedure::New_Project, New_Project);
}

void New_Project() {
  NewProjectLocals my;
  runAppWindow<NewProjectWindow>(kNewProjectKey, kNewProjectLabel, my);
}

}  // namespace app
