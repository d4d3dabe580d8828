#include "app/windows/main_lists.h"

#include "app/dictionary/declarations.h"
#include "app/dictionary/dictionary.h"
#include "app/dictionary/services.h"
#include "platform/runtime/text.h"

namespace app {
namespace {

// Each row field labelled as a projects field ("PRO:DESCRIPTION") shows that field.
void addFieldsByLabel(classlib::BrowseManager& browse, const runtime::RecordLayout& row) {
  const runtime::RecordLayout& file = projects.get().layout();
  for (int rowField = 1; rowField <= static_cast<int>(row.fieldCount()); ++rowField) {
    if (const int fileField = file.numberOf(row.field(rowField)->label); fileField != 0)
      browse.addField(fileField, rowField);
  }
}

classlib::RelationManager& projectsRelation() {
  classlib::RelationManager* relation = relationManager(projects);
  assert(relation && "the thread's dictionary is set up");
  return *relation;
}

int platformIcon(const Byte& flag) { return flag.value() == 1 ? kIconCheck : kIconNone; }

}  // namespace

const runtime::RecordLayout& ProjectsRow::layout() {
  static const FieldDef fields[] = {
      GD_FIELD(ProjectsRow, TYPEC, "PRO:TYPEC"),
      GD_FIELD(ProjectsRow, TYPEC_ICON, "TYPEC_ICON"),
      GD_FIELD(ProjectsRow, WINDOWSEXE, "PRO:WINDOWSEXE"),
      GD_FIELD(ProjectsRow, WINDOWSEXE_ICON, "WINDOWSEXE_ICON"),
      GD_FIELD(ProjectsRow, ANDROID, "PRO:ANDROID"),
      GD_FIELD(ProjectsRow, ANDROID_ICON, "ANDROID_ICON"),
      GD_FIELD(ProjectsRow, IOS, "PRO:IOS"),
      GD_FIELD(ProjectsRow, IOS_ICON, "IOS_ICON"),
      GD_FIELD(ProjectsRow, HTML5, "PRO:HTML5"),
      GD_FIELD(ProjectsRow, HTML5_ICON, "HTML5_ICON"),
      GD_FIELD(ProjectsRow, DESCRIPTION, "PRO:DESCRIPTION"),
      GD_FIELD(ProjectsRow, CATEGORY, "PRO:CATEGORY"),
      GD_FIELD(ProjectsRow, LASTDATE, "PRO:LASTDATE"),
      GD_FIELD(ProjectsRow, PROJECTPATH, "PRO:PROJECTPATH"),
      GD_FIELD(ProjectsRow, ID, "PRO:ID"),
      GD_FIELD(ProjectsRow, LASTACCESS, "PRO:LASTACCESS"),
      GD_FIELD(ProjectsRow, CREATETIONDATE, "PRO:CREATETIONDATE"),
      GD_FIELD(ProjectsRow, CODEBY, "PRO:CODEBY"),
      GD_FIELD(ProjectsRow, THREADLINK, "PRO:THREADLINK"),
      GD_FIELD(ProjectsRow, LONGDESCRIPTION, "PRO:LONGDESCRIPTION"),
      GD_FIELD(ProjectsRow, MARK, "MARK"),
      GD_FIELD(ProjectsRow, VIEWPOSITION, "VIEWPOSITION"),
  };
  static const runtime::RecordLayout layout(fields, sizeof(ProjectsRow));
  return layout;
}

const runtime::RecordLayout& CategoryRow::layout() {
  static const FieldDef fields[] = {
      GD_FIELD(CategoryRow, DESCRIPTION, "PRO:DESCRIPTION"),
      GD_FIELD(CategoryRow, LASTDATE, "PRO:LASTDATE"),
      GD_FIELD(CategoryRow, PROJECTPATH, "PRO:PROJECTPATH"),
      GD_FIELD(CategoryRow, ID, "PRO:ID"),
      GD_FIELD(CategoryRow, CATEGORY, "PRO:CATEGORY"),
      GD_FIELD(CategoryRow, MARK, "MARK"),
      GD_FIELD(CategoryRow, VIEWPOSITION, "VIEWPOSITION"),
  };
  static const runtime::RecordLayout layout(fields, sizeof(CategoryRow));
  return layout;
}

const runtime::RecordLayout& SearchRow::layout() {
  static const FieldDef fields[] = {
      GD_FIELD(SearchRow, DESCRIPTION, "PRO:DESCRIPTION"),
      GD_FIELD(SearchRow, CATEGORY, "PRO:CATEGORY"),
      GD_FIELD(SearchRow, LASTDATE, "PRO:LASTDATE"),
      GD_FIELD(SearchRow, PROJECTPATH, "PRO:PROJECTPATH"),
      GD_FIELD(SearchRow, ID, "PRO:ID"),
      GD_FIELD(SearchRow, MARK, "MARK"),
      GD_FIELD(SearchRow, VIEWPOSITION, "VIEWPOSITION"),
  };
  static const runtime::RecordLayout layout(fields, sizeof(SearchRow));
  return layout;
}

int ideIcon(std::string_view kind) {
  if (runtime::compareText(kind, "Classic") == 0) return kIconClassic;
  if (runtime::compareText(kind, "Studio") == 0) return kIconStudio;
  return kIconQuestion;
}

// ---- Every list

void MainBrowse::setUpParts() {
  formatManager.setStore(formats.get());
  formatManager.init("Main", "game_dock", listControl(), true, true, true);
  formatManager.options(".\\game_dock.INI", 0, true, 0);
  addPopupSource(formatManager);
  sizer.init();
  sizer.addList(listControl());
  if (hasHeader_) header.init(*this, &iniManager(), "Main");
}

void MainBrowse::killParts() {
  if (hasHeader_) header.kill();
  formatManager.kill();
  sizer.kill();
}

bool MainBrowse::resetSort(bool force) {
  const int order = std::max(currentSort(), 1);
  if (order != lastSort_) {
    lastSort_ = order;
    formatManager.changeSort(std::string(classlib::ListFormatManager::kSortOrderName) + "1");
    if (hasHeader_) header.clearSort();
  }
  // The kept sort rebuilds the list itself.
  if (hasHeader_ && header.restoreSort()) return true;
  return BrowseManager::resetSort(force);
}

// ---- Projects

void ProjectsBrowse::attach(classlib::WindowController& wm) {
  init(13, rows, projectsRelation(), wm);
}

void ProjectsBrowse::addOrders() {
  setSort(addSortOrder());
  addFieldsByLabel(*this, rows.layout());
}

void ProjectsBrowse::setQueueRecord() {
  BrowseManager::setQueueRecord();
  rows.TYPEC_ICON = ideIcon(rows.TYPEC.view());
  rows.WINDOWSEXE_ICON = platformIcon(rows.WINDOWSEXE);
  rows.ANDROID_ICON = platformIcon(rows.ANDROID);
  rows.IOS_ICON = platformIcon(rows.IOS);
  rows.HTML5_ICON = platformIcon(rows.HTML5);
}

// ---- Projects By Category

void CategoryBrowse::attach(classlib::WindowController& wm) {
  init(28, rows, projectsRelation(), wm);
}

void CategoryBrowse::addOrders() {
  setSort(addSortOrder(projects.get().keyNumber("PRO:K_CATEGORY")));
  locator.init(0, fieldNumber(kProjectsFields, "PRO:CATEGORY"));
  addLocator(locator);
  setFilter("(PRO:category = glo:category)");
  addFieldsByLabel(*this, rows.layout());
}

// ---- Search Projects

void SearchBrowse::attach(classlib::WindowController& wm) {
  init(35, rows, projectsRelation(), wm);
}

void SearchBrowse::addOrders() {
  setSort(addSortOrder());
  addFieldsByLabel(*this, rows.layout());
}

int SearchBrowse::validateRecord() {
  const int check = BrowseManager::validateRecord();
  if (check != classlib::RecordOk) return check;
  return filter_.recordPasses() ? classlib::RecordOk : classlib::RecordFiltered;
}

void SearchBrowse::resetFromView() {
  BrowseManager::resetFromView();
  filter_.listRebuilt(static_cast<std::size_t>(rows.RECORDS()));
}

bool SearchBrowse::resetSort(bool force) {
  const bool rebuilt = MainBrowse::resetSort(force);
  if (rebuilt) filter_.listRebuilt(static_cast<std::size_t>(rows.RECORDS()));
  return rebuilt;
}

}  // namespace app
