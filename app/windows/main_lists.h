// The three project lists of the main window: their row queues, list formats and icons, and
// the browses over the projects file that fill them.
//   "Projects" (control 13): every project with its IDE and platform icons, in the order of a
//     sort header's column;
//   "Projects By Category" (28): the projects whose category is GLO:CATEGORY, in category
//     order, with a locator on the category;
//   "Search Projects" (35): every project that passes the quick filter.
#pragma once

#include <string_view>

#include "app/dictionary/records.h"
#include "app/windows/quick_find.h"
#include "classlib/auto_size_columns.h"
#include "classlib/browse_manager.h"
#include "classlib/list_format_manager.h"
#include "classlib/locator.h"
#include "classlib/sort_header.h"
#include "platform/runtime/queue.h"

namespace classlib {
class WindowController;
}

namespace app {

// The icons of the "Projects" list, by number.
enum MainListIcon : int {
  kIconNone = 0,
  kIconCheck = 1,     // a platform the project is built for
  kIconClassic = 2,   // the Classic IDE
  kIconQuestion = 3,  // neither IDE
  kIconStudio = 4,    // the Studio IDE
};

inline constexpr std::string_view kProjectsListFormat =
    "12C(2)MJ@p p@12C(2)MJ~W~@p p@12C(2)MJ~A~@p p@12C(2)MJ~I~@p p@12C(2)|MJ~H~@p p@"
    "191L(2)|M~Project Description~@s99@140L(2)|M~Category~@s49@"
    "53R(4)|M~Last Date~L(2)@D2@1016L(2)|M@s254@56R(2)|M~id~L@n-14@"
    "40R(2)|M~Lastaccess~L@d6@40R(2)|M~createtiondate~L@d6@396R(2)|M~codeby~L@s99@"
    "1016R(2)|M~Threadlink~L@s254@76R(2)|M~longdescription~L@s19@";
inline constexpr std::string_view kCategoryListFormat =
    "403L(2)|M~Project~@s99@58R(2)|M~Last Date~L@d6@1016L(2)|M@s254@";
inline constexpr std::string_view kSearchListFormat =
    "196L(2)|M~Project Description~@s99@196L(2)|M~Category~@s49@"
    "57R(2)|M~Last Date~L@d6@1016L(2)|M~Project Path~@s254@";

// A row of "Projects": the IDE kind and the four platform flags, each followed by its icon
// number, then the project's fields.
struct ProjectsRow {
  CString<20> TYPEC;
  Long TYPEC_ICON;
  Byte WINDOWSEXE;
  Long WINDOWSEXE_ICON;
  Byte ANDROID;
  Long ANDROID_ICON;
  Byte IOS;
  Long IOS_ICON;
  Byte HTML5;
  Long HTML5_ICON;
  CString<100> DESCRIPTION;
  CString<50> CATEGORY;
  Date LASTDATE;
  CString<255> PROJECTPATH;
  Long ID;
  Date LASTACCESS;
  Date CREATETIONDATE;
  CString<100> CODEBY;
  CString<255> THREADLINK;
  CString<10000> LONGDESCRIPTION;
  Byte MARK;
  String<1024> VIEWPOSITION;
  static const runtime::RecordLayout& layout();
};

// A row of "Projects By Category".
struct CategoryRow {
  CString<100> DESCRIPTION;
  Date LASTDATE;
  CString<255> PROJECTPATH;
  Long ID;
  CString<50> CATEGORY;
  Byte MARK;
  String<1024> VIEWPOSITION;
  static const runtime::RecordLayout& layout();
};

// A row of "Search Projects".
struct SearchRow {
  CString<100> DESCRIPTION;
  CString<50> CATEGORY;
  Date LASTDATE;
  CString<255> PROJECTPATH;
  Long ID;
  Byte MARK;
  String<1024> VIEWPOSITION;
  static const runtime::RecordLayout& layout();
};

// The icon of the IDE column for a project of kind `kind`.
int ideIcon(std::string_view kind);

// A list of the main window: its browse with the list-format manager, the column sizer and,
// where it has one, the sort header that go with it. The format manager is told when the
// list's order changes, and so is the header, which the first time puts back the sort kept
// under "Main".
class MainBrowse : public classlib::BrowseManager {
 public:
  explicit MainBrowse(bool sortHeader) : hasHeader_(sortHeader) {}

  // Sets up the list-format manager (under "Main", "game_dock", ".\game_dock.INI", its
  // entries in the list's popup menu), the column sizer and the sort header, in that order.
  void setUpParts();
  // Kills the sort header, the list-format manager and the sizer.
  void killParts();
  bool resetSort(bool force) override;

  classlib::ListFormatManager formatManager;
  classlib::AutoSizeColumns sizer;
  classlib::SortHeader header;  // in use when the list has a sort header
  bool hasHeader() const { return hasHeader_; }

 private:
  bool hasHeader_;
  int lastSort_ = 0;
};

// "Projects": the rows' icons are set each time a row is filled.
class ProjectsBrowse : public MainBrowse {
 public:
  ProjectsBrowse() : MainBrowse(true) {}
  // Attaches list 13 of the current window with the row queue to the projects file.
  void attach(classlib::WindowController& wm);
  // The row fields and the one sort order, without a key (a sort header orders it).
  void addOrders();
  void setQueueRecord() override;

  runtime::Queue<ProjectsRow> rows;
};

// "Projects By Category": ordered by PRO:K_CATEGORY, located on the category, filtered to
// the projects of GLO:CATEGORY (bound as "glo:category").
class CategoryBrowse : public MainBrowse {
 public:
  CategoryBrowse() : MainBrowse(true) {}
  void attach(classlib::WindowController& wm);
  void addOrders();

  runtime::Queue<CategoryRow> rows;
  classlib::Locator locator;
};

// "Search Projects": the quick filter tests each record after the browse's own checks, and
// hears of every rebuilt list.
class SearchBrowse : public MainBrowse {
 public:
  explicit SearchBrowse(QuickFind& filter) : MainBrowse(false), filter_(filter) {}
  void attach(classlib::WindowController& wm);
  void addOrders();
  int validateRecord() override;
  void resetFromView() override;
  bool resetSort(bool force) override;

  runtime::Queue<SearchRow> rows;

 private:
  QuickFind& filter_;
};

}  // namespace app
