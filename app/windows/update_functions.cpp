#include "app/windows/update_functions.h"

#include <string>
#include <string_view>
#include <tuple>

#include "app/dictionary/declarations.h"
#include "app/windows/button_link_manager.h"
#include "app/windows/form_pattern.h"
#include "app/windows/record_binding.h"
#include "app/windows/window_modules.h"
#include "classlib/record_snapshot.h"
#include "classlib/request.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/properties.h"
#include "platform/window/window.h"

namespace app {
namespace {

using window::ControlType;

constexpr int kModule = 16;
constexpr int kMemoField = 7;  // FUN:EXAMPLECODE, after the record's six fields

const files::PerThreadFile* const kFiles[] = {&func};
constexpr HistoryField kHistory[] = {
    {kFunctionTitleEntry, 2},        {kFunctionDescriptionText, 3}, {kFunctionForumLinkEntry, 5},
    {kFunctionCodeText, kMemoField}, {kFunctionWorkingCheck, 4},
};
constexpr int kViewReadOnly[] = {kFunctionTitleEntry, kFunctionForumLinkEntry};
constexpr int kViewDisabled[] = {kFunctionGotoWeb};
constexpr FormSpec kSpec{
    .procedure = "update_functions",
    .key = kUpdateFunctionsKey,
    .primary = &func,
    .files = kFiles,
    .history = kHistory,
    .okControl = kFunctionSave,
    .cancelControl = kFunctionCancel,
    .viewReadOnly = kViewReadOnly,
    .viewDisabled = kViewDisabled,
};

// The record's fields each control shows, bound to the calling thread's buffer at opening.
constexpr FieldControl kRecordFields[] = {
    {kFunctionTitleEntry, "FUN:NAME"},
    {kFunctionDescriptionText, "FUN:DESCRIPTION"},
    {kFunctionForumLinkEntry, "FUN:FORUMLINK"},
    {kFunctionWorkingCheck, "FUN:FULLCODE"},
};

// The address of the "Goto Web" link: the function's forum post.
std::string_view forumLink() { return FUN->FORUMLINK.view(); }

class FunctionsForm : public FormWindow {
 public:
  FunctionsForm(classlib::RecordSnapshot& history, linkpulse::LinkSystem& links)
      : FormWindow(kSpec, history), links_(kFunctionGotoWeb, forumLink, links) {}

  // The link manager sees each event first; its answer is not used.
  int takeEvent() override {
    links_.TakeEvent();
    return FormWindow::takeEvent();
  }

  int takeWindowEvent() override {
    const int rc = FormWindow::takeWindowEvent();
    if (window::EVENT() == window::EventOpenWindow) links_.Refresh(0);
    return rc;
  }

 protected:
  void setUpForm() override {
    bindRecord();
    links_.start();
    window()->setProperty(0, window::PropText, std::string(classlib::requestText(REQUEST)));
  }

 private:
  void bindRecord() {
    bindRecordFields(*window(), func.get(), kRecordFields);
    bindRecordMemo(*window(), kFunctionCodeText, func.get(), 1);
  }

  ButtonLinkManager links_;
};

// The form's history record of each thread.
thread_local classlib::RecordSnapshot history;

}  // namespace

void addUpdateFunctionsResource() {
  window::WindowDefinition d = formResource(kUpdateFunctionsKey, "Update Information", "General",
                                            {0, 0, 320, 250}, kFunctionSave, kFunctionCancel);
  d.add(3, ControlType::Prompt).text("Title").parent(2).at(10, 20, 50, 10);
  d.add(kFunctionTitleEntry, ControlType::Entry).picture("@s99").parent(2).at(64, 20, 244, 12);
  d.add(5, ControlType::String).text("Description").parent(2).at(10, 36, 50, 10);
  d.add(kFunctionDescriptionText, ControlType::Text).parent(2).at(64, 36, 244, 40);
  d.add(7, ControlType::String).text("Forum Link").parent(2).at(10, 80, 50, 10);
  d.add(kFunctionForumLinkEntry, ControlType::Entry).picture("@s254").parent(2).at(64, 80, 196, 12);
  d.add(kFunctionGotoWeb, ControlType::Button).text("Goto Web").parent(2).at(264, 80, 44, 12);
  d.add(10, ControlType::String).text("Code").parent(2).at(10, 96, 50, 10);
  d.add(kFunctionCodeText, ControlType::Text).parent(2).at(64, 96, 244, 96);
  d.add(kFunctionWorkingCheck, ControlType::Check)
      .text("Working Code (Complete Example)")
      .values("1", "0")
      .parent(2)
      .at(64, 196, 160, 10);
  for (const auto& [control, text, tip] :
       {std::tuple{kFunctionSave, "&Save", "Save Data to Database and Close Window"},
        std::tuple{kFunctionCancel, "&Cancel", "Cancel operation without Saving"}}) {
    window::Control& button = d.controls.at(control);
    button.text = text;
    button.tip = tip;
    button.cursor = "hand.cur";
  }
  addModuleWindow(kModule, std::move(d));
}

void update_functions(linkpulse::LinkSystem& links) {
  FunctionsForm form(history, links);
  form.runProcedure();
}

}  // namespace app
