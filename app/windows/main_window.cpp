#include "app/windows/main_window.h"

#include <optional>
#include <string>
#include <string_view>

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/globals.h"
#include "app/dictionary/services.h"
#include "app/windows/button_link_manager.h"
#include "app/windows/ide_launch.h"
#include "app/windows/main_lists.h"
#include "app/windows/paths_file.h"
#include "app/windows/quick_find.h"
#include "app/windows/record_binding.h"
#include "app/windows/setup_paths.h"
#include "app/windows/tab_stop_nav.h"
#include "app/windows/window_files.h"
#include "app/windows/window_procedures.h"
#include "app/windows/window_requests.h"
#include "classlib/file_selector.h"
#include "classlib/toolbar.h"
#include "classlib/window_controller.h"
#include "platform/files/file_driver.h"
#include "platform/os/file_dates.h"
#include "platform/runtime/bound_field.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/text.h"
#include "platform/window/engine.h"
#include "platform/window/events.h"
#include "platform/window/properties.h"

namespace app {
namespace {

using classlib::LevelBenign;

constexpr const char* kProcedure = "Main";

// The projects file's dates that choosing a project sets, by VUFILEDATE's selector.
constexpr struct {
  os::FileDateSelector selector;
  Date Projects::*field;
} kProjectDates[] = {
    {os::FileCreated, &Projects::CREATETIONDATE},
    {os::FileLastWritten, &Projects::LASTDATE},
    {os::FileLastAccessed, &Projects::LASTACCESS},
};

// The window procedure a menu item runs.
std::optional<WindowProcedure> menuProcedure(int control) {
  switch (control) {
    case kMainTemplatesItem: return WindowProcedure::browse_Templates;
    case kMainCategoriesItem: return WindowProcedure::browse_Categories;
    case kMainMembersItem: return WindowProcedure::browse_codeby;
    case kMainFunctionsItem: return WindowProcedure::browse_functions;
    default: return std::nullopt;
  }
}

// The files the window opens.
constexpr const files::PerThreadFile* kMainFiles[] = {&categort, &projects};

// The record fields: the strings under the projects list and the long description.
constexpr FieldControl kRecordFields[] = {
    {kMainLastAccess, "PRO:LASTACCESS"},           {kMainCodeby, "PRO:CODEBY"},
    {kMainThreadLink, "PRO:THREADLINK"},           {kMainCreated, "PRO:CREATETIONDATE"},
    {kMainLongDescription, "PRO:LONGDESCRIPTION"},
};

// The address of the "Visit" link: the chosen project's forum thread.
std::string_view threadLink() { return PRO->THREADLINK.view(); }

// The window manager of the main window.
class MainWindow : public classlib::WindowController {
 public:
  MainWindow(linkpulse::LinkSystem& links, TabStopNav& nav)
      : links_(kMainVisitButton, threadLink, links),
        nav_(nav),
        quickFind_(QuickFind::forProjects([this] { reset(true); })),
        search_(quickFind_) {}

  int init() override {
    const int rc = WindowController::init();
    if (rc != LevelBenign) return rc;
    // Names, toolbar, requests.
    globalErrors().setProcedureName(kProcedure);
    runtime::BIND("glo:category", GLO.CATEGORY.data(), sizeof(GLO.CATEGORY),
                  runtime::TextKind::CString);
    addToolbar(toolbar_);
    windowRequests().request = 0;
    windowRequests().response = 0;
    // Files.
    files_.open();
    projectsOpened_ = files_.opened(projects);
    FILESOPENED = true;
    open();
    restorePosition();
    bindRecordFields(*window(), projects.get(), kRecordFields);
    // The three browses; the projects list edits through its form unless only viewing.
    // Without the projects file (its file manager has said why) the lists stay empty.
    if (projectsOpened_) {
      categoryList_.attach(*this);
      search_.attach(*this);
      projectsList_.attach(*this);
      if (REQUEST != classlib::RequestView) {
        projectsList_.INSERTCONTROL = kMainInsertButton;
        projectsList_.CHANGECONTROL = kMainChangeButton;
        projectsList_.DELETECONTROL = kMainDeleteButton;
        projectsList_.ASKPROCEDURE = 1;
      }
    }
    // The lookup button's tip and message after its entry's.
    copyLookupTexts(window::PropTip);
    copyLookupTexts(window::PropMsg);
    // The "Visit" link.
    links_.start();
    // The quick filter.
    quickFind_.open();
    // Orders, fields, locator and filter of the lists; the "&Browse" dialog.
    if (projectsOpened_) {
      projectsList_.addOrders();
      categoryList_.addOrders();
      search_.addOrders();
    }
    projectFile_.init("Select AGK filename", classlib::FileLongNames);
    projectFile_.addMask("AGK Project Files", "*.agk");
    projectFile_.setClearOnCancel(true);
    addItem(kMainCloseButton, classlib::ResponseCompleted);
    // List-format managers, column sizers and sort headers; the lists are filled; then the
    // keyboard navigation.
    if (projectsOpened_) {
      for (MainBrowse* list : lists()) list->setUpParts();
    }
    reset();
    nav_.build(0);
    return LevelBenign;
  }

  int kill() override {
    if (!dead()) storePosition();
    const int rc = WindowController::kill();
    if (rc != LevelBenign) return rc;
    files_.close();
    if (projectsOpened_) {
      for (MainBrowse* list : lists()) list->killParts();
    }
    quickFind_.close();
    globalErrors().setProcedureName("");
    return rc;
  }

  // Every event but the timer's and the mouse's may change the record the window shows:
  // afterwards the fields follow the project of the list in view.
  int takeEvent() override {
    const int rc = takeAnyEvent();
    if (projectsOpened_ && window() && mayChangeRecord(window()->current().event)) followRecord();
    return rc;
  }

  int takeWindowEvent() override {
    const bool opening = window()->current().event == window::EventOpenWindow;
    if (opening) {
      readPathsFile();
      window()->setProperty(0, window::PropStatusText, std::string(kMainStatusText), 2);
      window::DISPLAY();
    }
    const int rc = WindowController::takeWindowEvent();
    if (opening) links_.Refresh(0);
    return rc;
  }

  int takeFieldEvent() override {
    if (window()->current().control == kMainCategoryLookup) reset(true);
    return WindowController::takeFieldEvent();
  }

  int takeAccepted() override {
    const int control = window()->accepted();
    switch (control) {
      case kMainProjectsList: chooseProject(); break;
      case kMainCategoryList:
        choosePath(control, categoryList_.rows, categoryList_.rows.PROJECTPATH);
        break;
      case kMainSearchList: choosePath(control, search_.rows, search_.rows.PROJECTPATH); break;
      case kMainRunClassic: runIde(CLASSICEXE.view(), GLO.PROJECT.view()); break;
      case kMainRunStudio: runIde(STUDIOEXE.view(), GLO.PROJECT.view()); break;
      default: break;
    }
    const int rc = WindowController::takeAccepted();
    if (rc != LevelBenign) return rc;
    switch (control) {
      case kMainPathsItem:
        update();
        Setup_Paths();
        reset(false);
        break;
      case kMainTemplatesItem:
      case kMainCategoriesItem:
      case kMainMembersItem:
      case kMainFunctionsItem:
        update();
        runProcedure(*menuProcedure(control));
        reset(false);
        break;
      case kMainBrowseButton:
        update();
        GLO.PROJECT = projectFile_.ask(classlib::AskRestoreDirectory);
        window::DISPLAY();
        break;
      case kMainNewProjectButton:
        update();
        runProcedure(WindowProcedure::New_Project);
        reset(false);
        reset(true);
        break;
      case kMainCategoryLookup: lookUpCategory(); break;
      case kMainFindSwitch: quickFind_.switchAccepted(); break;
      case kMainFindEntry: quickFind_.textAccepted(); break;
      default: break;
    }
    return LevelBenign;
  }

  // Resetting the window also has the sort headers report their keys again.
  void reset(bool force = false) override {
    WindowController::reset(force);
    if (!projectsOpened_) return;
    for (MainBrowse* list : lists()) {
      if (list->hasHeader()) list->header.setAlerts();
    }
  }

  // The projects list's insert, change and delete: its form, unless the window only views.
  int run(int number, int request) override {
    if (REQUEST == classlib::RequestView) return classlib::ResponseCancelled;
    (void)number;
    windowRequests().request = static_cast<std::uint8_t>(request);
    if (!runProcedure(WindowProcedure::update_projects)) return classlib::ResponseCancelled;
    return windowRequests().response;
  }
  using WindowController::run;

 private:
  // Lists 13, 28 and 35, in that order.
  std::array<MainBrowse*, 3> lists() { return {&projectsList_, &categoryList_, &search_}; }

  // The link manager sees each event; then the sort headers, the tab-stop navigation and the
  // column sizers in turn, the first that takes it ending its processing; then the library.
  int takeAnyEvent() {
    links_.TakeEvent();
    if (projectsOpened_) {
      for (MainBrowse* list : lists()) {
        if (list->hasHeader() && list->header.takeEvent() != 0) return LevelBenign;
      }
    }
    if (nav_.takeKey()) return LevelBenign;
    if (projectsOpened_) {
      for (MainBrowse* list : lists()) {
        if (list->sizer.takeEvent() != 0) return LevelBenign;
      }
    }
    return WindowController::takeEvent();
  }

  static bool mayChangeRecord(int event) {
    return event != window::EventTimer && event != window::EventMouseMove &&
           event != window::EventMouseIn && event != window::EventMouseOut;
  }

  // The list of the tab in view: its selected project is the window's current record.
  MainBrowse& listInView() {
    switch (window()->choice(kMainSheet)) {
      case 2: return categoryList_;
      case 3: return search_;
      default: return projectsList_;
    }
  }

  // The record buffer gets the selected project of the list in view (blank when that list
  // has none), and the fields that show the record follow it.
  void followRecord() {
    listInView().updateBuffer();
    showRecord();
  }

  // The record in the buffer in the fields that show it, with "Visit" working only when it
  // has a thread link.
  void showRecord() {
    for (const auto& [control, label] : kRecordFields) window()->display(control);
    runtime::CLIP(PRO->THREADLINK.view()).empty() ? window::DISABLE(kMainVisitButton)
                                                  : window::ENABLE(kMainVisitButton);
  }

  void copyLookupTexts(int prop) {
    const std::string own = window()->property(kMainCategoryLookup, prop);
    const std::string entry = window()->property(kMainCategoryEntry, prop);
    if (own.empty() && !entry.empty())
      window()->setProperty(kMainCategoryLookup, prop, "Select " + entry);
  }

  // A project was chosen in list 13: it becomes the open project, its file's three dates are
  // written to its record, and "Visit" works when it has a thread link. When its record is no
  // longer in the file, nothing is written: a blank record must not go over another one.
  void chooseProject() {
    runtime::Queue<ProjectsRow>& row = projectsList_.rows;
    const int chosen = window::CHOICE(kMainProjectsList);
    if (chosen == 0) return;
    row.GET(static_cast<std::size_t>(chosen));
    GLO.PROJECT = row.PROJECTPATH.view();
    PRO->ID = row.ID.value();
    classlib::FileManager& manager = *fileManager(projects);
    if (manager.fetch(projects.get().keyNumber("PRO:P_ID")) == LevelBenign) {
      for (const auto& date : kProjectDates) {
        const int yyyymmdd = os::VUFILEDATE(GLO.PROJECT.view(), date.selector);
        (*PRO).*date.field = static_cast<int>(
            runtime::textToLong(runtime::DEFORMAT(std::to_string(yyyymmdd), "@d12")));
      }
      manager.update();
    }
    reset(true);
    window::DISPLAY();
  }

  // A row was chosen in list 28 or 35: its project becomes the open one.
  void choosePath(int list, runtime::QueueBase& rows, const CString<255>& path) {
    const int chosen = window::CHOICE(list);
    if (chosen == 0) return;
    rows.GET(static_cast<std::size_t>(chosen));
    GLO.PROJECT = path.view();
    window::DISPLAY();
  }

  // The "..." lookup of the category: the category list opens on the typed category, or on
  // the one that follows it; a chosen category goes into the entry and its projects into list
  // 28.
  void lookUpCategory() {
    update();
    CAT->CATDESCRIPTION = GLO.CATEGORY.view();
    classlib::FileManager& manager = *fileManager(categort);
    const int key = categort.get().keyNumber("CAT:P_CAT");
    if (manager.tryFetch(key) != 0) {
      files::SET(categort.get(), *categort.get().key(key), files::SetFrom::RecordBuffer);
      manager.tryNext();
    }
    windowRequests().request = classlib::RequestSelect;
    runProcedure(WindowProcedure::browse_Categories);
    if (windowRequests().response == classlib::ResponseCompleted) {
      window::CHANGE(kMainCategoryEntry, runtime::Value::text(CAT->CATDESCRIPTION.text()));
      windowRequests().response = classlib::ResponseCancelled;
      reset(true);
      window::SELECT(kMainCategoryList);
    } else {
      window::SELECT(kMainCategoryLookup);
    }
  }

  void restorePosition() {
    const std::optional<classlib::WindowPosition> at = iniManager().fetchPosition(kProcedure);
    if (!at) return;
    window()->setProperty(0, window::PropXpos, at->x);
    window()->setProperty(0, window::PropYpos, at->y);
  }

  void storePosition() {
    if (!window()) return;
    const window::Rect& at = window()->at();
    iniManager().storePosition(kProcedure, {at.x, at.y, at.width, at.height});
  }

  ButtonLinkManager links_;
  TabStopNav& nav_;
  QuickFind quickFind_;
  ProjectsBrowse projectsList_;
  CategoryBrowse categoryList_;
  SearchBrowse search_;
  classlib::Toolbar toolbar_;
  classlib::FileSelector projectFile_;
  WindowFiles files_{kMainFiles};
  bool projectsOpened_ = false;
};

}  // namespace

void Main(linkpulse::LinkSystem& links) {
  TabStopNav nav;
  nav.create();
  window::OPEN(kMainWindowKey, kMainWindowLabel);
  {
    MainWindow manager(links, nav);
    manager.REQUEST = windowRequests().request;
    windowRequests().response = static_cast<std::uint8_t>(manager.run());
  }
  window::CLOSE();
  nav.kill();
}

}  // namespace app
