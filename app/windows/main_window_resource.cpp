// The window resource of Main: its menu, the project entry and buttons over the sheet, the
// three tabs with their lists, and the IDE buttons and long description below.
#include <string>

#include "app/dictionary/globals.h"
#include "app/windows/main_lists.h"
#include "app/windows/main_window.h"
#include "app/windows/window_modules.h"
#include "platform/window/window_definition.h"

namespace app {

void addMainWindowResource() {
  using window::ControlType;
  using window::UseVariable;
  window::WindowDefinition d;
  d.key = std::string(kMainWindowKey);
  d.label = std::string(kMainWindowLabel);
  d.title = std::string(kMainTitle);
  d.icon = "dockmark.ico";
  d.at = {0, 0, 520, 318};
  d.statusZones = {280, 240};

  d.add(kMainSetupMenu, ControlType::Menu).text("Setup");
  const struct {
    int number;
    const char* text;
  } items[] = {
      {kMainPathsItem, "Paths Setup"},
      {kMainTemplatesItem, "&Update Templates"},
      {kMainCategoriesItem, "Update &Categories"},
      {kMainMembersItem, "AGK Forum Members"},
      {kMainFunctionsItem, "Function(DB)"},
  };
  for (const auto& item : items) {
    d.add(item.number, ControlType::Item).text(item.text).parent(kMainSetupMenu);
  }

  d.add(kMainProjectPrompt, ControlType::Prompt).text("Open Project:").at(6, 7, 48, 10);
  d.add(kMainProjectEntry, ControlType::Entry)
      .picture("@s254")
      .use(UseVariable::field(GLO.PROJECT))
      .at(56, 5, 330, 12);
  d.add(kMainBrowseButton, ControlType::Button).text("&Browse").at(392, 4, 54, 14);
  d.add(kMainNewProjectButton, ControlType::Button).text("New Project").at(452, 4, 62, 14);

  d.add(kMainSheet, ControlType::Sheet).at(4, 22, 512, 238);

  // "Projects": every project, with the chosen project's details below the list.
  d.add(kMainProjectsTab, ControlType::Tab).text("Projects").parent(kMainSheet).at(4, 22, 512, 238);
  d.add(kMainProjectsList, ControlType::List)
      .parent(kMainProjectsTab)
      .at(10, 40, 500, 150)
      .format(kProjectsListFormat)
      .iconList(kIconCheck, "~CHECK1.ICO")
      .iconList(kIconClassic, "~classic.ico")
      .iconList(kIconQuestion, "~question.ico")
      .iconList(kIconStudio, "~studio.ico");
  d.add(kMainInsertButton, ControlType::Button)
      .text("&Insert")
      .parent(kMainProjectsTab)
      .at(368, 194, 44, 14);
  d.add(kMainChangeButton, ControlType::Button)
      .text("&Change")
      .parent(kMainProjectsTab)
      .at(417, 194, 44, 14);
  d.add(kMainDeleteButton, ControlType::Button)
      .text("&Delete")
      .parent(kMainProjectsTab)
      .at(466, 194, 44, 14);
  d.add(kMainLastAccessPrompt, ControlType::String)
      .text("Last Access:")
      .parent(kMainProjectsTab)
      .at(10, 196, 46, 10);
  d.add(kMainLastAccess, ControlType::String)
      .picture("@d6")
      .parent(kMainProjectsTab)
      .at(58, 196, 50, 10);
  d.add(kMainCreatedPrompt, ControlType::String)
      .text("Create:")
      .parent(kMainProjectsTab)
      .at(118, 196, 30, 10);
  d.add(kMainCreated, ControlType::String)
      .picture("@d6")
      .parent(kMainProjectsTab)
      .at(150, 196, 50, 10);
  d.add(kMainCodebyPrompt, ControlType::String)
      .text("Forum Member:")
      .parent(kMainProjectsTab)
      .at(10, 212, 56, 10);
  d.add(kMainCodeby, ControlType::String)
      .picture("@s99")
      .parent(kMainProjectsTab)
      .at(68, 212, 290, 10);
  d.add(kMainThreadLink, ControlType::String)
      .picture("@s254")
      .parent(kMainProjectsTab)
      .at(10, 230, 448, 10);
  d.add(kMainVisitButton, ControlType::Button)
      .text("Visit")
      .parent(kMainProjectsTab)
      .tip("Open the project's forum thread")
      .at(466, 228, 44, 14);

  // "Projects By Category": the projects of the category in the entry.
  d.add(kMainCategoryTab, ControlType::Tab)
      .text("Projects By Category")
      .parent(kMainSheet)
      .at(4, 22, 512, 238);
  d.add(kMainCategoryEntry, ControlType::Entry)
      .picture("@s49")
      .use(UseVariable::field(GLO.CATEGORY))
      .tip("Category")
      .parent(kMainCategoryTab)
      .at(10, 41, 200, 12);
  d.add(kMainCategoryLookup, ControlType::Button)
      .text("...")
      .parent(kMainCategoryTab)
      .at(214, 40, 18, 14);
  d.add(kMainCategoryList, ControlType::List)
      .parent(kMainCategoryTab)
      .at(10, 58, 500, 196)
      .format(kCategoryListFormat);

  // "Search Projects": the quick filter over every project.
  d.add(kMainSearchTab, ControlType::Tab)
      .text("Search Projects")
      .parent(kMainSheet)
      .at(4, 22, 512, 238);
  d.add(kMainFindSwitch, ControlType::Button)
      .text("Find Off")
      .parent(kMainSearchTab)
      .at(10, 40, 50, 14);
  d.add(kMainFindPrompt, ControlType::Prompt)
      .text("Find:")
      .parent(kMainSearchTab)
      .at(68, 43, 20, 10);
  d.add(kMainFindEntry, ControlType::Entry)
      .picture("@s20")
      .parent(kMainSearchTab)
      .at(90, 41, 120, 12);
  d.add(kMainIgnoreCaseCheck, ControlType::Check)
      .text("Ingore Case")
      .parent(kMainSearchTab)
      .at(220, 42, 60, 10);
  d.add(kMainIncludeMemoCheck, ControlType::Check)
      .text("Include Memo")
      .parent(kMainSearchTab)
      .at(286, 42, 64, 10);
  d.add(kMainSearchList, ControlType::List)
      .parent(kMainSearchTab)
      .at(10, 58, 500, 196)
      .format(kSearchListFormat);

  // Below the sheet.
  d.add(kMainLongDescription, ControlType::Text).readOnly().at(4, 264, 356, 48);
  d.add(kMainRunClassic, ControlType::Button).text("Run Classic").at(366, 264, 72, 14);
  d.add(kMainRunStudio, ControlType::Button).text("Run Studio").at(444, 264, 72, 14);
  d.add(kMainCloseButton, ControlType::Button).text("&Close").at(444, 298, 72, 14);

  addModuleWindow(1, std::move(d));
}

}  // namespace app
