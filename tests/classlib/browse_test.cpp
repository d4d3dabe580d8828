// Browses over the people and towns files: paging, sort orders, locators, filters, selecting,
// the popup menu, and the form or edit in place for insert, change and delete.
#include "classlib/browse_manager.h"

#include <gtest/gtest.h>

#include <functional>

#include "classlib/edit_in_place.h"
#include "classlib/ini_manager.h"
#include "classlib/sort_header.h"
#include "classlib/window_controller.h"
#include "headless_fixture.h"
#include "people_dictionary.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/expression.h"
#include "platform/window/key_codes.h"

namespace classlib {
namespace {

using testing::Boxes;
using testing::HeadlessScope;
using window::ControlType;

enum : int { kList = 1, kSelect = 2, kInsert = 3, kChange = 4, kDelete = 5, kClose = 6, kFind = 7 };

struct PersonRow {
  runtime::CString<30> NAME;
  runtime::CString<20> CITY;
  runtime::Long ID;
  runtime::Byte MARK;
  runtime::String<64> POSITION;
  static const runtime::RecordLayout& layout() {
    static const runtime::FieldDef fields[] = {
        GD_FIELD(PersonRow, NAME, "ROW:NAME"),
        GD_FIELD(PersonRow, CITY, "ROW:CITY"),
        GD_FIELD(PersonRow, ID, "ROW:ID"),
        GD_FIELD(PersonRow, MARK, "ROW:MARK"),
        GD_FIELD(PersonRow, POSITION, "ROW:POSITION"),
    };
    static const runtime::RecordLayout layout(fields, sizeof(PersonRow));
    return layout;
  }
};

std::string listWindow() {
  static const std::string label = testing::defineWindow("People", [](window::WindowDefinition& d) {
    d.add(kList, ControlType::List)
        .at(2, 2, 120, 50)  // a heading and four rows
        .format("60L(2)|M~Name~@s29@40L(2)|M~City~@s19@");
    d.add(kSelect, ControlType::Button).text("&Select");
    d.add(kInsert, ControlType::Button).text("&Insert");
    d.add(kChange, ControlType::Button).text("&Change");
    d.add(kDelete, ControlType::Button).text("&Delete");
    d.add(kClose, ControlType::Button).text("Close");
    d.add(kFind, ControlType::Entry).picture("@s20");
  });
  return label;
}

// A list window's controller; its called procedure 1 is a form that `form` plays.
class ListController : public WindowController {
 public:
  std::function<int(int request)> form;
  std::function<int()> before;  // sees each event first; non-zero: handled
  std::vector<int> requests;
  int takeEvent() override {
    if (before && before() != 0) return LevelBenign;
    return WindowController::takeEvent();
  }
  int run(int number, int request) override {
    requests.push_back(request);
    return number == 1 && form ? form(request) : ResponseCancelled;
  }
  using WindowController::run;
};

class BrowseTest : public testing::Dictionary {
 protected:
  // Ten people P01 ... P10; cities by turns Rome, Oslo, Nice.
  void addTen() {
    const char* cities[] = {"Rome", "Oslo", "Nice"};
    for (int i = 1; i <= 10; ++i) {
      addPerson("P" + std::string(i < 10 ? "0" : "") + std::to_string(i), cities[i % 3]);
    }
  }

  // Opens the list window, sets up the browse (`setUp` adds what the test needs) and runs the
  // window with `script`; answers the response.
  int runList(window::HeadlessBackend& script, const std::function<void()>& setUp = {}) {
    return runOver(script, setUp, rows_, peopleRelate_, testing::kPeopleByName,
                   {{testing::kPersonName, 1}, {testing::kPersonCity, 2}, {testing::kPersonId, 3}});
  }
  // The same over any file: its rows, relation manager, the key of the order added when
  // `setUp` adds none, and the row fields (file field, row field).
  int runOver(window::HeadlessBackend& script, const std::function<void()>& setUp,
              runtime::QueueBase& rows, RelationManager& relation, int key,
              const std::vector<std::pair<int, int>>& fields) {
    HeadlessScope scope(script, Boxes::AsBefore);
    window::OPEN(testing::kTestKey, listWindow());
    wm().init();
    wm().open();
    browse().init(kList, rows, relation, wm());
    for (const auto& [fileField, rowField] : fields) browse().addField(fileField, rowField);
    wm().addItem(kClose, wm().REQUEST == RequestSelect ? ResponseCancelled : ResponseCompleted);
    if (setUp) setUp();
    if (browse().currentSort() == 0) browse().setSort(browse().addSortOrder(key));
    wm().reset();
    wm().ask();
    wm().kill();
    window::CLOSE();
    EXPECT_TRUE(script.finished());
    return wm().RESPONSE;
  }

  // Reads person `id` by ID through `other`, another connection to the people file.
  static void getById(files::FileDeclaration& other, int id) {
    files::CLEAR(other);
    other.recordAs<testing::Person>().ID = id;
    files::GET(other, *other.key(testing::kPeopleById));
    ASSERT_EQ(runtime::ERRORCODE(), 0);
  }

  // A new controller and browse, for the next window.
  void fresh() {
    browse_ = std::make_unique<BrowseManager>();
    wm_ = std::make_unique<ListController>();
  }
  ListController& wm() { return *wm_; }
  BrowseManager& browse() { return *browse_; }

  // The names the list shows, top to bottom, with the selected one in brackets.
  std::vector<std::string> shown(window::Window& w) {
    std::vector<std::string> out;
    const window::ListView& l = w.control(kList)->list;
    for (std::size_t r = 1; r <= l.rowCount(); ++r) {
      const std::string name = l.cellText(r, 1);
      out.push_back(static_cast<int>(r) == l.selected ? "[" + name + "]" : name);
    }
    return out;
  }
  using Shown = std::vector<std::string>;

  std::unique_ptr<ListController> wm_ = std::make_unique<ListController>();
  std::unique_ptr<BrowseManager> browse_ = std::make_unique<BrowseManager>();
  runtime::Queue<PersonRow> rows_;
};

TEST_F(BrowseTest, ThePageScrollsThroughTheFileAndTheBufferFollowsTheSelection) {
  addTen();
  window::HeadlessBackend script;
  std::vector<Shown> pages;
  std::vector<std::string> buffer;
  const auto look = [&](window::Window& w) {
    pages.push_back(shown(w));
    buffer.push_back(std::string(person().NAME.view()));
  };
  script.checkpoint("open", look)
      .key(window::DownKey)
      .key(window::DownKey)
      .key(window::DownKey)
      .checkpoint("4", look)
      .key(window::DownKey)
      .checkpoint("5", look)
      .key(window::PgDnKey)
      .checkpoint("page", look)
      .key(window::PgDnKey)
      .checkpoint("end", look)
      .key(window::PgDnKey)
      .checkpoint("still", look)
      .key(window::HomeKey)
      .checkpoint("home", look)
      .key(window::UpKey)
      .checkpoint("top", look)
      .key(window::EndKey)
      .checkpoint("bottom", look)
      .key(window::PgUpKey)
      .checkpoint("back", look)
      .click(kClose);
  EXPECT_EQ(runList(script), ResponseCompleted);
  const std::vector<Shown> expected = {
      {"[P01]", "P02", "P03", "P04"}, {"P01", "P02", "P03", "[P04]"},
      {"P02", "P03", "P04", "[P05]"}, {"P06", "P07", "P08", "[P09]"},
      {"P07", "P08", "P09", "[P10]"}, {"P07", "P08", "P09", "[P10]"},
      {"[P01]", "P02", "P03", "P04"}, {"[P01]", "P02", "P03", "P04"},
      {"P07", "P08", "P09", "[P10]"}, {"P03", "P04", "P05", "[P06]"},
  };
  EXPECT_EQ(pages, expected);
  EXPECT_EQ(buffer, (std::vector<std::string>{"P01", "P04", "P05", "P09", "P10", "P10", "P01",
                                              "P01", "P10", "P06"}));
  EXPECT_LE(rows_.RECORDS(), 4u);
}

// The selected record is read as it is when the selection moves: a record another handle
// changed or deleted after the page was read is seen so, and a record written back after a
// selection is the selected one.
TEST_F(BrowseTest, TheSelectionReadsItsRecordAsItNowIsAfterOtherHandlesWrite) {
  addTen();
  files::FileDeclaration other(testing::peopleSpec(folder_.file("people.aaa")));
  files::OPEN(other, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  window::HeadlessBackend script;
  std::vector<std::string> buffer;
  const auto look = [&](window::Window&) {
    buffer.push_back(std::string(person().NAME.view()) + " " + std::string(person().CITY.view()));
  };
  script.checkpoint("open", look)
      .checkpoint("others write",
                  [&](window::Window&) {
                    getById(other, 2);
                    other.recordAs<testing::Person>().CITY = "Lima";
                    files::PUT(other);
                    getById(other, 3);
                    files::DELETE(other);
                  })
      .key(window::DownKey)
      .checkpoint("2", look)
      .key(window::DownKey)
      .checkpoint("3", look)
      .key(window::DownKey)
      .checkpoint("4", look)
      .checkpoint("write back",
                  [&](window::Window&) {
                    person().CITY = "Kiev";
                    files::PUT(people_);
                    EXPECT_EQ(runtime::ERRORCODE(), 0);
                  })
      .click(kClose);
  EXPECT_EQ(runList(script, [&] { browse().setSort(browse().addSortOrder(testing::kPeopleById)); }),
            ResponseCompleted);
  EXPECT_EQ(buffer, (std::vector<std::string>{"P01 Oslo", "P02 Lima", " ", "P04 Oslo"}));
  const std::vector<std::string> stored = storedPeople();
  ASSERT_EQ(stored.size(), 9u);
  EXPECT_EQ(stored[1], "2 P02 Lima");
  EXPECT_EQ(stored[2], "4 P04 Kiev");
}

// Paging down goes on from where the last page's reading stands only while that reading is
// untouched: another connection's write, another reading of the same file and a new filter
// each make the next page find its place again.
TEST_F(BrowseTest, PagingDownAfterWritesOtherReadingsAndANewFilterShowsWhatTheyLeave) {
  addTen();
  files::FileDeclaration other(testing::peopleSpec(folder_.file("people.aaa")));
  files::OPEN(other, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  window::HeadlessBackend script;
  std::vector<Shown> pages;
  const auto look = [&](window::Window& w) { pages.push_back(shown(w)); };
  script.checkpoint("open", look)
      .checkpoint("another connection renames P07",
                  [&](window::Window&) {
                    getById(other, 7);
                    other.recordAs<testing::Person>().NAME = "Q07";
                    files::PUT(other);
                    ASSERT_EQ(runtime::ERRORCODE(), 0);
                  })
      .key(window::PgDnKey)
      .checkpoint("page 2", look)
      .key(window::PgDnKey)
      .checkpoint("page 3", look)
      .key(window::HomeKey)
      .key(window::PgDnKey)
      .checkpoint("the same file read elsewhere",
                  [&](window::Window&) {
                    files::SET(people_, *people_.key(testing::kPeopleById));
                    files::NEXT(people_);
                    files::NEXT(people_);
                  })
      .key(window::PgDnKey)
      .checkpoint("page 3 again", look)
      .key(window::HomeKey)
      .key(window::PgDnKey)
      .checkpoint("a new filter",
                  [&](window::Window&) { browse().setFilter("PEO:CITY <> 'Rome'"); })
      .key(window::PgDnKey)
      .checkpoint("page 3 filtered", look)
      .click(kClose);
  EXPECT_EQ(runList(script, [&] { browse().setSort(browse().addSortOrder(testing::kPeopleById)); }),
            ResponseCompleted);
  const std::vector<Shown> expected = {
      {"[P01]", "P02", "P03", "P04"}, {"[P05]", "P06", "Q07", "P08"},
      {"[Q07]", "P08", "P09", "P10"}, {"[Q07]", "P08", "P09", "P10"},
      {"[P06]", "Q07", "P08", "P10"},
  };
  EXPECT_EQ(pages, expected);
}

// The screen shows another number of rows (a window sized, the first layout of a list): the
// page is fitted to them, the selected record kept on it and in the buffer.
TEST_F(BrowseTest, ThePageFollowsTheRowsTheListShows) {
  addTen();
  window::HeadlessBackend script;
  std::vector<Shown> pages;
  std::vector<std::string> buffer;
  const auto showing = [&](int rows) {
    return [&, rows](window::Window& w) {
      pages.push_back(shown(w));
      buffer.push_back(std::string(person().NAME.view()));
      w.setListRowsShown(kList, rows);
    };
  };
  script.key(window::DownKey)
      .key(window::DownKey)
      .key(window::DownKey)
      .checkpoint("four rows", showing(2))
      .mouseAt(1, 1)
      .checkpoint("two rows", showing(5))
      .mouseAt(1, 1)
      .checkpoint("five rows", showing(5))
      .key(window::PgDnKey)
      .checkpoint("a page down", showing(5))
      .click(kClose);
  EXPECT_EQ(runList(script), ResponseCompleted);
  const std::vector<Shown> expected = {
      {"P01", "P02", "P03", "[P04]"},
      {"P03", "[P04]"},
      {"P03", "[P04]", "P05", "P06", "P07"},
      {"P06", "[P07]", "P08", "P09", "P10"},
  };
  EXPECT_EQ(pages, expected);
  EXPECT_EQ(buffer, (std::vector<std::string>{"P04", "P04", "P04", "P07"}));
}

// Scrolls down from the top to the end one row at a time, then back up, and answers the
// selected names in the order met.
std::pair<std::vector<std::string>, std::vector<std::string>> walk(BrowseManager& browse,
                                                                   window::Window& w) {
  std::vector<std::string> down, up;
  const auto name = [&] {
    const window::ListView& l = w.control(kList)->list;
    return l.cellText(static_cast<std::size_t>(l.selected), 1);
  };
  // Where the selection stands: its row and its record's place.
  const auto place = [&] {
    return std::to_string(browse.selectedRow()) + browse.positionOf(browse.selectedRow());
  };
  const auto run = [&](std::vector<std::string>& names, int action) {
    for (std::string before; names.size() < 50 && place() != before;) {
      before = place();
      names.push_back(name());
      browse.scroll(action);
    }
  };
  browse.scroll(ScrollTop);
  run(down, ScrollDown);
  browse.scroll(ScrollBottom);
  run(up, ScrollUp);
  std::reverse(up.begin(), up.end());
  return {down, up};
}

TEST_F(BrowseTest, EveryOrderShowsEachRecordOnceBothWays) {
  addTen();
  addPerson("Q1", "Oslo");  // a longer run of one city
  addPerson("Q2", "Oslo");
  // Cities: P01 Oslo, P02 Nice, P03 Rome, P04 Oslo ...
  const std::vector<std::string> byCity = {"P02", "P05", "P08", "P01", "P04", "P07",
                                           "P10", "Q1",  "Q2",  "P03", "P06", "P09"};
  const std::vector<std::string> byIdDescending = {"Q2",  "Q1",  "P10", "P09", "P08", "P07",
                                                   "P06", "P05", "P04", "P03", "P02", "P01"};
  const struct {
    const char* name;
    std::function<void()> order;
    std::vector<std::string> expected;
  } cases[] = {
      {"a key with duplicates",
       [&] { browse().setSort(browse().addSortOrder(testing::kPeopleByCity)); }, byCity},
      {"sorted by a field",
       [&] {
         browse().setSort(browse().addSortOrder());
         browse().setSortFields({-testing::kPersonId});
       },
       byIdDescending},
      // Records of one city in the order of their unique key, whichever way the city goes.
      {"sorted by a text field",
       [&] {
         browse().setSort(browse().addSortOrder());
         browse().setSortFields({testing::kPersonCity});
       },
       byCity},
      {"sorted by a text field, descending",
       [&] {
         browse().setSort(browse().addSortOrder());
         browse().setSortFields({-testing::kPersonCity});
       },
       {"P03", "P06", "P09", "P01", "P04", "P07", "P10", "Q1", "Q2", "P02", "P05", "P08"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fresh();
    window::HeadlessBackend script;
    std::pair<std::vector<std::string>, std::vector<std::string>> seen;
    script.checkpoint("walk", [&](window::Window& w) { seen = walk(browse(), w); }).click(kClose);
    runList(script, c.order);
    EXPECT_EQ(seen.first, c.expected);
    EXPECT_EQ(seen.second, c.expected);
  }
}

// A sort by fields orders texts as the runtime compares them (letter case and trailing spaces
// aside, accented letters folded too, long common beginnings), each field its own way round,
// ties by the unique key, over the records the filter passes; the list reads that order a row
// at a time down and up across its pages.
TEST_F(BrowseTest, SortedOrdersCompareTextsAsTheRuntimeDoes) {
  const std::pair<const char*, const char*> people[] = {
      {"A1", "oslo"},
      {"A2", "Oslo  "},
      {"A3", "OSLO"},
      {"A4", "Nice"},
      {"A5", ""},
      {"A6", "Saint-Pierre"},
      {"A7", "Saint-Petersburg"},
      {"A8",
       "\xC3\xA9"
       "a"},  // éa
      {"A9",
       "\xC3\x89"
       "b"},  // Éb
      {"B0", "eb"},
      {"B1", "Ea"},
      {"b2", "nice"},
  };
  for (const auto& [name, city] : people) addPerson(name, city);
  const struct {
    const char* name;
    std::vector<int> fields;
    const char* filter;
    std::vector<std::string> expected;
  } cases[] = {
      {"city",
       {testing::kPersonCity},
       "",
       {"A5", "B1", "B0", "A4", "b2", "A1", "A2", "A3", "A7", "A6", "A8", "A9"}},
      {"city descending, ties still by number",
       {-testing::kPersonCity},
       "",
       {"A9", "A8", "A6", "A7", "A1", "A2", "A3", "A4", "b2", "B0", "B1", "A5"}},
      {"city, then name descending",
       {testing::kPersonCity, -testing::kPersonName},
       "",
       {"A5", "B1", "B0", "b2", "A4", "A3", "A2", "A1", "A7", "A6", "A8", "A9"}},
      {"number descending",
       {-testing::kPersonId},
       "",
       {"b2", "B1", "B0", "A9", "A8", "A7", "A6", "A5", "A4", "A3", "A2", "A1"}},
      {"city, filtered",
       {testing::kPersonCity},
       "PEO:ID > 6",
       {"B1", "B0", "b2", "A7", "A8", "A9"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fresh();
    window::HeadlessBackend script;
    std::pair<std::vector<std::string>, std::vector<std::string>> seen;
    script.checkpoint("walk", [&](window::Window& w) { seen = walk(browse(), w); }).click(kClose);
    runList(script, [&] {
      browse().setSort(browse().addSortOrder());
      browse().setFilter(c.filter);
      browse().setSortFields(c.fields);
    });
    EXPECT_EQ(seen.first, c.expected);
    EXPECT_EQ(seen.second, c.expected);
  }
}

// A record that another connection changes after the sort is read as it now is, at the place
// it had when the list was sorted; paging from its row goes on from that place, and a record
// deleted meanwhile is passed over.
TEST_F(BrowseTest, ASortedListKeepsARecordChangedElsewhereWhereItWasSorted) {
  addTen();  // by city: Nice P02 P05 P08, Oslo P01 P04 P07 P10, Rome P03 P06 P09
  files::FileDeclaration other(testing::peopleSpec(folder_.file("people.aaa")));
  files::OPEN(other, 0x42);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  window::HeadlessBackend script;
  std::vector<Shown> pages;  // names and cities, the selected row in brackets
  const auto look = [&](window::Window& w) {
    Shown page = shown(w);
    for (std::size_t r = 0; r < page.size(); ++r)
      page[r] += " " + w.control(kList)->list.cellText(r + 1, 2);
    pages.push_back(page);
  };
  std::pair<std::vector<std::string>, std::vector<std::string>> seen;
  std::vector<std::string> made;  // the order made again
  script.checkpoint("sorted", look)
      .checkpoint("another connection moves P04 and P10 and deletes P06",
                  [&](window::Window&) {
                    getById(other, 4);
                    other.recordAs<testing::Person>().CITY = "Aachen";
                    files::PUT(other);
                    getById(other, 10);
                    other.recordAs<testing::Person>().CITY = "Zurich";
                    files::PUT(other);
                    getById(other, 6);
                    files::DELETE(other);
                    ASSERT_EQ(runtime::ERRORCODE(), 0);
                  })
      .key(window::PgDnKey)
      .checkpoint("down", look)
      .key(window::PgDnKey)
      .checkpoint("a page down", look)
      .key(window::PgDnKey)
      .checkpoint("the end", look)
      .key(window::PgUpKey)
      .checkpoint("up", look)
      .key(window::PgUpKey)
      .checkpoint("a page up", look)
      .key(window::PgUpKey)
      .checkpoint("the top", look)
      .checkpoint("walk", [&](window::Window& w) { seen = walk(browse(), w); })
      .key(window::HomeKey)
      .key(window::PgDnKey)
      .checkpoint("made again from P04",
                  [&](window::Window& w) {
                    browse().reset(true);
                    look(w);
                    made = walk(browse(), w).first;
                  })
      .click(kClose);
  runList(script, [&] {
    browse().setSort(browse().addSortOrder());
    browse().setSortFields({testing::kPersonCity});
  });
  const std::vector<Shown> expected = {
      {"[P02] Nice", "P05 Nice", "P08 Nice", "P01 Oslo"},
      {"[P04] Aachen", "P07 Oslo", "P10 Zurich", "P03 Rome"},
      {"[P07] Oslo", "P10 Zurich", "P03 Rome", "P09 Rome"},
      {"P07 Oslo", "P10 Zurich", "P03 Rome", "[P09] Rome"},
      {"P05 Nice", "P08 Nice", "P01 Oslo", "[P04] Aachen"},
      {"P02 Nice", "P05 Nice", "P08 Nice", "[P01] Oslo"},
      {"[P02] Nice", "P05 Nice", "P08 Nice", "P01 Oslo"},
      // Made again, the order has P04 first; the page starts where P04 was.
      {"[P07] Oslo", "P03 Rome", "P09 Rome", "P10 Zurich"},
  };
  EXPECT_EQ(pages, expected);
  const std::vector<std::string> byCity = {"P02", "P05", "P08", "P01", "P04",
                                           "P07", "P10", "P03", "P09"};
  EXPECT_EQ(seen.first, byCity);
  EXPECT_EQ(seen.second, byCity);
  EXPECT_EQ(made, (std::vector<std::string>{"P04", "P02", "P05", "P08", "P01", "P07", "P03", "P09",
                                            "P10"}));
}

TEST_F(BrowseTest, SortHeadingsSortByTheirColumnAndKeepTheSortWhenTold) {
  addTen();  // P01 Oslo, P02 Nice, P03 Rome, P04 Oslo ...
  IniManager ini;
  ASSERT_TRUE(ini.init(folder_.file("game_dock.INI")));
  std::vector<Shown> pages;
  const auto look = [&](window::Window& w) { pages.push_back(shown(w)); };
  const auto withHeader = [&](SortHeader& header, IniManager* keep) {
    return [&, keep] {
      browse().setSort(browse().addSortOrder());
      header.init(browse(), keep, "browse_people");
      wm().before = [&] { return header.takeEvent(); };
    };
  };
  SortHeader header;
  window::HeadlessBackend script;
  script.headerClick(kList, 1)
      .checkpoint("name", look)
      .headerClick(kList, 1)
      .checkpoint("name, descending", look)
      .headerClick(kList, 2)
      .checkpoint("city", look)
      .key(window::CtrlKey + window::RightKey)
      .checkpoint("next column: name", look)
      .key(window::CtrlKey + window::RightKey)
      .checkpoint("and round to city", look)
      .click(kClose);
  runList(script, withHeader(header, &ini));
  // The selected record (P01, Oslo) stays selected in each new order.
  EXPECT_EQ(pages, (std::vector<Shown>{{"[P01]", "P02", "P03", "P04"},
                                       {"P04", "P03", "P02", "[P01]"},
                                       {"P02", "P05", "P08", "[P01]"},
                                       {"[P01]", "P02", "P03", "P04"},
                                       {"P02", "P05", "P08", "[P01]"}}));
  EXPECT_EQ(header.sortColumn(), 2);

  // The next window: its header puts the kept sort back once.
  fresh();
  SortHeader again;
  pages.clear();
  window::HeadlessBackend next;
  next.checkpoint("restored",
                  [&](window::Window& w) {
                    EXPECT_TRUE(again.restoreSort());
                    EXPECT_FALSE(again.restoreSort());
                    look(w);
                  })
      .click(kClose);
  runList(next, withHeader(again, &ini));
  EXPECT_EQ(pages, (std::vector<Shown>{{"[P02]", "P05", "P08", "P01"}}));

  // Without INI names nothing is kept, and a heading that shows no file field sorts nothing.
  fresh();
  SortHeader plain;
  window::HeadlessBackend none;
  none.checkpoint("nothing kept",
                  [&](window::Window&) {
                    EXPECT_FALSE(plain.restoreSort());
                    EXPECT_FALSE(plain.sortBy(3));
                  })
      .click(kClose);
  runList(none, withHeader(plain, nullptr));
  EXPECT_EQ(ini.fetchSortOrder("browse_people", 0, plain.entryName()), 2);
}

struct TownRow {
  runtime::CString<20> NAME;
  runtime::Byte MARK;
  runtime::String<64> POSITION;
  static const runtime::RecordLayout& layout() {
    static const runtime::FieldDef fields[] = {
        GD_FIELD(TownRow, NAME, "TRW:NAME"),
        GD_FIELD(TownRow, MARK, "TRW:MARK"),
        GD_FIELD(TownRow, POSITION, "TRW:POSITION"),
    };
    static const runtime::RecordLayout layout(fields, sizeof(TownRow));
    return layout;
  }
};

TEST_F(BrowseTest, AFileWithoutAUniqueKeyShowsEachOfItsEqualRecords) {
  for (const char* name : {"Bob", "eve", "Ann", "bob", "Cid", "BOB", "Cid", "Dan", "Ann"}) {
    addTown(name);
  }
  runtime::Queue<TownRow> towns;
  window::HeadlessBackend script;
  std::pair<std::vector<std::string>, std::vector<std::string>> seen;
  std::vector<Shown> pages;
  script.checkpoint("walk", [&](window::Window& w) { seen = walk(browse(), w); })
      .key(window::HomeKey)
      .key(window::PgDnKey)
      .checkpoint("page 2", [&](window::Window& w) { pages.push_back(shown(w)); })
      .key(window::PgDnKey)
      .key(window::PgUpKey)
      .checkpoint("page 2 again", [&](window::Window& w) { pages.push_back(shown(w)); })
      .click(kClose);
  runOver(script, {}, towns, townsRelate_, testing::kTownsByName, {{1, 1}});
  const std::vector<std::string> expected = {"Ann", "Ann", "Bob", "bob", "BOB",
                                             "Cid", "Cid", "Dan", "eve"};
  EXPECT_EQ(seen.first, expected);
  EXPECT_EQ(seen.second, expected);
  // A page down keeps the selection's row; a page up shows the four records before the page.
  EXPECT_EQ(pages[0], (Shown{"[BOB]", "Cid", "Cid", "Dan"}));
  EXPECT_EQ(pages[1], (Shown{"[Ann]", "Bob", "bob", "BOB"}));
}

TEST_F(BrowseTest, LocatorsFindTheFirstRecordAtOrAfterTheirTextAndThumbsSpreadTheOrder) {
  addTen();
  Locator typed;
  typed.init();
  window::HeadlessBackend script;
  std::vector<Shown> pages;
  const auto look = [&](window::Window& w) { pages.push_back(shown(w)); };
  std::vector<int> thumbs;
  script.key('P')
      .key('0')
      .key('7')
      .checkpoint("P07", look)
      .key(window::BackspaceKey)
      .checkpoint("P0", look)
      .key('Z')
      .checkpoint("past the end", look)
      .checkpoint("thumbs",
                  [&](window::Window& w) {
                    browse().scrollToPercent(0);
                    thumbs.push_back(browse().thumbPercent());
                    pages.push_back(shown(w));
                    browse().scrollToPercent(100);
                    thumbs.push_back(browse().thumbPercent());
                    pages.push_back(shown(w));
                  })
      .click(kClose);
  runList(script, [&] {
    browse().setSort(browse().addSortOrder(testing::kPeopleByName));
    browse().addLocator(typed);
    browse().setThumb(ThumbTable);
  });
  EXPECT_EQ(pages, (std::vector<Shown>{{"[P07]", "P08", "P09", "P10"},
                                       {"[P01]", "P02", "P03", "P04"},
                                       {"P07", "P08", "P09", "[P10]"},
                                       {"[P01]", "P02", "P03", "P04"},
                                       {"P07", "P08", "P09", "[P10]"}}));
  EXPECT_EQ(thumbs, (std::vector<int>{0, 100}));
}

// The mouse scrolls a browse over a file far longer than its page: wheel and scroll-bar steps
// move the page through the file, the thumb goes to where it is dragged, and the page never
// holds more than its rows.
class BrowseScrollTest : public BrowseTest {
 protected:
  static constexpr int kPeople = 300;
  // N001 ... N300, numbered 1 to 300 in the same order.
  void addMany() {
    for (int i = 1; i <= kPeople; ++i) {
      const std::string n = std::to_string(i);
      addPerson("N" + std::string(3 - n.size(), '0') + n);
    }
  }
  // What the list shows and where its scroll bar's thumb stands, after each step.
  struct Seen {
    Shown rows;
    int thumb;
    bool operator==(const Seen&) const = default;
  };
  struct Step {
    const char* name;
    std::function<void(window::HeadlessBackend&)> act;
    Seen expected;
  };
  // Runs `steps` over the people by number (with a thumb when `thumb`) and compares.
  void runSteps(const std::vector<Step>& steps, bool thumb) {
    addMany();
    window::HeadlessBackend script;
    std::vector<Seen> seen;
    std::size_t mostRows = 0;
    for (const Step& step : steps) {
      step.act(script);
      script.checkpoint(step.name, [&](window::Window& w) {
        seen.push_back({shown(w), w.control(kList)->list.thumb});
        mostRows = std::max<std::size_t>(mostRows, rows_.RECORDS());
      });
    }
    script.click(kClose);
    runList(script, [&] {
      browse().setSort(browse().addSortOrder(testing::kPeopleById));
      if (thumb) browse().setThumb(ThumbTable);
    });
    ASSERT_EQ(seen.size(), steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(seen[i].rows, steps[i].expected.rows) << steps[i].name;
      EXPECT_EQ(seen[i].thumb, steps[i].expected.thumb) << steps[i].name;
    }
    EXPECT_LE(mostRows, 4u);
  }
};

const auto noAction = [](window::HeadlessBackend&) {};
const auto lines = [](int n) {
  return [n](window::HeadlessBackend& b) { b.scroll(kList, window::ScrollStep::Lines, n); };
};
const auto pages = [](int n) {
  return [n](window::HeadlessBackend& b) { b.scroll(kList, window::ScrollStep::Pages, n); };
};
const auto thumbAt = [](int at) {
  return [at](window::HeadlessBackend& b) { b.scroll(kList, window::ScrollStep::Thumb, at); };
};

TEST_F(BrowseScrollTest, WheelPagesAndThumbMoveThroughTheFileKeepingTheSelection) {
  runSteps(
      {
          {"open", noAction, {{"[N001]", "N002", "N003", "N004"}, 0}},
          // The selected record goes off the top: the row nearest to it is selected.
          {"wheel down", lines(3), {{"[N004]", "N005", "N006", "N007"}, 1}},
          {"choose",
           [](auto& b) { b.chooseRow(kList, 3); },
           {{"N004", "N005", "[N006]", "N007"}, 2}},
          // The selected record stays while it is on the page.
          {"line down", lines(1), {{"N005", "[N006]", "N007", "N008"}, 2}},
          {"page down", pages(1), {{"[N009]", "N010", "N011", "N012"}, 3}},
          {"page up", pages(-1), {{"N005", "N006", "N007", "[N008]"}, 2}},
          {"wheel past the first", lines(-10), {{"N001", "N002", "N003", "[N004]"}, 1}},
          {"wheel at the first", lines(-3), {{"N001", "N002", "N003", "[N004]"}, 1}},
          {"thumb to the middle", thumbAt(50), {{"[N150]", "N151", "N152", "N153"}, 50}},
          {"thumb to the end", thumbAt(100), {{"N297", "N298", "N299", "[N300]"}, 100}},
          {"wheel past the last", lines(5), {{"N297", "N298", "N299", "[N300]"}, 100}},
          {"thumb to the start", thumbAt(0), {{"[N001]", "N002", "N003", "N004"}, 0}},
          // Notches that come before the window looks make one move.
          {"three notches",
           [](auto& b) {
             b.checkpoint("turn", [](window::Window& w) {
                w.listScrollRequested(kList, {window::ScrollStep::Lines, 3});
                w.listScrollRequested(kList, {window::ScrollStep::Lines, 3});
              }).scroll(kList, window::ScrollStep::Lines, 0);
           },
           {{"[N007]", "N008", "N009", "N010"}, 2}},
          // More rows than the page: the last of them make the page.
          {"wheel beyond the page", lines(6), {{"[N013]", "N014", "N015", "N016"}, 4}},
      },
      true);
}

TEST_F(BrowseScrollTest, WithoutAThumbOnlyTheEndsOfTheScrollBarAreKnown) {
  runSteps(
      {
          {"wheel down", lines(2), {{"[N003]", "N004", "N005", "N006"}, -1}},
          {"thumb to the middle", thumbAt(50), {{"[N003]", "N004", "N005", "N006"}, -1}},
          {"thumb to the end", thumbAt(100), {{"N297", "N298", "N299", "[N300]"}, -1}},
          {"page up", pages(-1), {{"N293", "N294", "N295", "[N296]"}, -1}},
          {"thumb to the start", thumbAt(0), {{"[N001]", "N002", "N003", "N004"}, -1}},
      },
      false);
}

TEST_F(BrowseTest, ALocatorControlLocatesWhenItIsAccepted) {
  addTen();
  Locator entry;
  entry.init(kFind, testing::kPersonName);
  window::HeadlessBackend script;
  Shown page;
  script.type(kFind, "p05")
      .click(kList)
      .checkpoint("located", [&](window::Window& w) { page = shown(w); })
      .click(kClose);
  runList(script, [&] {
    browse().setSort(browse().addSortOrder(testing::kPeopleByName));
    browse().addLocator(entry);
  });
  EXPECT_EQ(page, (Shown{"[P05]", "P06", "P07", "P08"}));
}

TEST_F(BrowseTest, TheFilterLeavesRecordsOutAndABrokenOneShowsNothing) {
  addTen();
  char city[21] = "Rome";
  ASSERT_TRUE(runtime::BIND("tst:city", city, sizeof city, runtime::TextKind::CString));
  window::HeadlessBackend script;
  std::vector<Shown> pages;
  script.checkpoint("Rome", [&](window::Window& w) { pages.push_back(shown(w)); })
      .checkpoint("Nice",
                  [&](window::Window& w) {
                    std::snprintf(city, sizeof city, "%s", "Nice");
                    wm().reset(true);
                    pages.push_back(shown(w));
                    answerer_.addAnswer(runtime::ButtonOk);
                    EXPECT_FALSE(browse().setFilter("PEO:CITY = "));
                    wm().reset(true);
                    pages.push_back(shown(w));
                  })
      .click(kClose);
  runList(script, [&] { browse().setFilter("PEO:CITY = tst:city"); });
  runtime::UNBIND("tst:city");
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0], (Shown{"[P03]", "P06", "P09"}));
  // P03 is left out now: the selection goes to the row that follows where it stood.
  EXPECT_EQ(pages[1], (Shown{"P02", "[P05]", "P08"}));
  EXPECT_TRUE(pages[2].empty());
  ASSERT_EQ(answerer_.shown().size(), 1u);
  EXPECT_NE(answerer_.shown()[0].text.find("The list's filter \"PEO:CITY = \" cannot be used"),
            std::string::npos);
}

TEST_F(BrowseTest, AFileThatCannotBeOpenedShowsViewOpenErrorAndAnEmptyList) {
  addTen();
  peopleRelate_.close();
  files::REMOVE(people_);
  ASSERT_EQ(runtime::ERRORCODE(), 0);
  answerer_.addAnswer(runtime::ButtonOk);
  window::HeadlessBackend script;
  Shown page{"not looked at"};
  script.checkpoint("empty", [&](window::Window& w) { page = shown(w); }).click(kClose);
  runList(script);
  EXPECT_TRUE(page.empty());
  ASSERT_EQ(answerer_.shown().size(), 1u) << "the view's message only, no read errors after it";
  EXPECT_EQ(answerer_.shown()[0].caption, "View Open Error");
  EXPECT_NE(answerer_.shown()[0].text.find("people"), std::string::npos);
}

TEST_F(BrowseTest, LongReadsLetTheWindowsDrawMeanwhile) {
  files::STREAM(people_);
  for (int i = 1; i <= 2500; ++i) {
    files::CLEAR(people_);
    person().ID = i;
    person().NAME = "N" + std::to_string(100000 + i);
    person().CITY = i == 2500 ? "Rome" : "Oslo";
    files::ADD(people_);
  }
  files::FLUSH(people_);
  const struct {
    const char* name;
    std::function<void()> setUp;
  } cases[] = {
      // The page is full only after 2499 records left out.
      {"a filter", [&] { browse().setFilter("PEO:CITY = 'Rome'"); }},
      // The sorted index reads the whole file first.
      {"a sort by fields",
       [&] {
         browse().setSort(browse().addSortOrder());
         browse().setSortFields({testing::kPersonCity});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fresh();
    window::HeadlessBackend script;
    script.click(kClose);
    runList(script, c.setUp);
    EXPECT_GE(script.pendingCalls(), 2);
  }
}

TEST_F(BrowseTest, TheSelectRequestAnswersTheChosenRecordInTheBuffer) {
  addTen();
  const struct {
    const char* name;
    std::function<void(window::HeadlessBackend&)> choose;
    int response;
    const char* record;
  } cases[] = {
      {"double click", [](window::HeadlessBackend& b) { b.doubleClick(kList, 2); },
       ResponseCompleted, "P02"},
      {"the select control",
       [](window::HeadlessBackend& b) {
         b.key(window::PgDnKey).chooseRow(kList, 3).click(kSelect);
       },
       ResponseCompleted, "P07"},
      {"close", [](window::HeadlessBackend& b) { b.chooseRow(kList, 4).click(kClose); },
       ResponseCancelled, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fresh();
    wm().REQUEST = RequestSelect;
    window::HeadlessBackend script;
    c.choose(script);
    EXPECT_EQ(runList(script, [&] { browse().SELECTCONTROL = kSelect; }), c.response);
    if (c.record) {
      EXPECT_EQ(person().NAME.view(), c.record);
    }
  }
}

TEST_F(BrowseTest, AnEmptyListDisablesChangeDeleteAndSelect) {
  window::HeadlessBackend script;
  std::vector<bool> disabled;
  script
      .checkpoint("empty",
                  [&](window::Window& w) {
                    for (int c : {kInsert, kChange, kDelete, kSelect}) {
                      disabled.push_back(w.control(c)->disabled);
                    }
                  })
      .click(kClose);
  runList(script, [&] {
    browse().SELECTCONTROL = kSelect;
    browse().INSERTCONTROL = kInsert;
    browse().CHANGECONTROL = kChange;
    browse().DELETECONTROL = kDelete;
  });
  EXPECT_EQ(disabled, (std::vector<bool>{false, true, true, true}));
  EXPECT_EQ(person().NAME.view(), "");
}

// The list's form: what called procedure 1 does for each request.
int personForm(FileManager& people, testing::Person& p, int request, std::string_view name) {
  switch (request) {
    case RequestInsert:
      people.primeRecord();
      p.NAME = name;
      return people.insert() == LevelBenign ? ResponseCompleted : ResponseCancelled;
    case RequestChange:
      p.CITY = name;
      return people.update() == LevelBenign ? ResponseCompleted : ResponseCancelled;
    case RequestDelete:
      return people.deleteRecord() == LevelBenign ? ResponseCompleted : ResponseCancelled;
    default: return ResponseCancelled;
  }
}

TEST_F(BrowseTest, InsertChangeAndDeleteRunTheFormAndTheListShowsTheResult) {
  addTen();
  window::HeadlessBackend script;
  std::vector<Shown> pages;
  std::vector<std::string> cities;
  const auto look = [&](window::Window& w) { pages.push_back(shown(w)); };
  script.click(kInsert)
      .checkpoint("inserted", look)
      .doubleClick(kList, 2)
      .checkpoint("changed",
                  [&](window::Window& w) {
                    look(w);
                    cities.push_back(w.control(kList)->list.cellText(2, 2));
                  })
      .chooseRow(kList, 1)
      .key(window::DeleteKey)
      .checkpoint("deleted", look)
      .click(kChange)
      .checkpoint("cancelled", look)
      .click(kClose);
  std::string name = "P055";
  runList(script, [&] {
    browse().INSERTCONTROL = kInsert;
    browse().CHANGECONTROL = kChange;
    browse().DELETECONTROL = kDelete;
    browse().ASKPROCEDURE = 1;
    wm().form = [&](int request) -> int {
      if (request == RequestChange && name == "stop") return ResponseCancelled;
      const int response = personForm(peopleFile_, person(), request, name);
      name = request == RequestInsert ? "Lyon" : "stop";
      return response;
    };
  });
  EXPECT_EQ(wm().requests,
            (std::vector<int>{RequestInsert, RequestChange, RequestDelete, RequestChange}));
  EXPECT_EQ(pages, (std::vector<Shown>{{"[P055]", "P06", "P07", "P08"},
                                       {"P055", "[P06]", "P07", "P08"},
                                       {"[P06]", "P07", "P08", "P09"},
                                       {"[P06]", "P07", "P08", "P09"}}));
  EXPECT_EQ(cities, (std::vector<std::string>{"Lyon"}));
  EXPECT_EQ(storedPeople().size(), 10u);
}

class Formats : public PopupSource {
 public:
  std::vector<int> taken;
  int first = 0, last = 0;
  std::string popupText() override { return "Save Format|Restore Format"; }
  void setItemRange(int f, int l) override {
    first = f;
    last = l;
  }
  bool takePopup(int item) override {
    if (item < first || item > last) return false;
    taken.push_back(item - first + 1);
    return true;
  }
};

TEST_F(BrowseTest, ThePopupOffersTheEditingEntriesAndThoseOfItsSources) {
  addTen();
  Formats formats;
  window::HeadlessBackend script;
  script.rightClick(kList, 2)
      .answerPopup(3)  // Delete
      .rightClick(kList, 1)
      .answerPopup(6)  // the second format entry
      .checkpoint("no editing", [&](window::Window&) { browse().EDITVIAPOPUP = false; })
      .rightClick(kList, 1)
      .answerPopup(3)
      .click(kClose);
  runList(script, [&] {
    browse().INSERTCONTROL = kInsert;
    browse().CHANGECONTROL = kChange;
    browse().DELETECONTROL = kDelete;
    browse().SELECTCONTROL = kSelect;
    browse().ASKPROCEDURE = 1;
    browse().addPopupSource(formats);
    wm().form = [&](int request) { return personForm(peopleFile_, person(), request, ""); };
  });
  ASSERT_EQ(script.popups().size(), 3u);
  const auto texts = [](const window::PopupRequest& r) {
    std::string out;
    for (const auto& item : r.items)
      out += (out.empty() ? "" : "|") + (item.line ? "-" : item.text);
    return out;
  };
  EXPECT_EQ(texts(script.popups()[0]),
            "&Insert|&Change|&Delete|&Select|-|Save Format|Restore Format");
  EXPECT_EQ(texts(script.popups()[2]), "&Select|-|Save Format|Restore Format");
  EXPECT_EQ(wm().requests, (std::vector<int>{RequestDelete}));
  EXPECT_EQ(formats.taken, (std::vector<int>{2, 2}));
  EXPECT_EQ(storedPeople().size(), 9u);
}

TEST_F(BrowseTest, EditInPlaceInsertsChangesAndDeletesRowsInTheList) {
  addTen();
  EditInPlace eip;
  constexpr int kEditor = 8;  // the first control made at run time
  window::HeadlessBackend script;
  std::vector<Shown> pages;
  std::vector<int> editing;
  const auto look = [&](window::Window& w) { pages.push_back(shown(w)); };
  answerer_.addAnswer(runtime::ButtonYes);  // the delete asks first
  std::vector<int> started;
  script.click(kInsert)
      .checkpoint("new row",
                  [&](window::Window& w) {
                    look(w);
                    started = {eip.editor(), eip.row(), eip.column(), w.focus()};
                  })
      .scroll(kList, window::ScrollStep::Lines, 3)
      .checkpoint("wheel while editing", look)
      .type(kEditor, "Zed")
      .key(window::EnterKey)
      .type(kEditor, "Oslo")
      .key(window::EnterKey)
      .checkpoint("inserted", look)
      .doubleClick(kList, 1)
      .key(window::TabKey)
      .type(kEditor, "Rome")
      .key(window::DownKey)  // stores the row and edits the next one
      .checkpoint("next row",
                  [&](window::Window&) {
                    editing = {eip.row(), eip.column()};
                  })
      .type(kEditor, "lost")
      .key(window::EscKey)
      .checkpoint("cancelled", look)
      .chooseRow(kList, 1)
      .click(kDelete)
      .checkpoint("deleted", look)
      .click(kClose);
  runList(script, [&] {
    browse().INSERTCONTROL = kInsert;
    browse().CHANGECONTROL = kChange;
    browse().DELETECONTROL = kDelete;
    browse().EIP = &eip;
    browse().ARROWACTION = EipArrowSaves | EipArrowEditsOn;
    browse().DELETEACTION = EipDeleteAsks;
  });
  EXPECT_EQ(pages, (std::vector<Shown>{{"P01", "[]", "P02", "P03"},
                                       {"P01", "[]", "P02", "P03"},
                                       {"P08", "P09", "P10", "[Zed]"},
                                       {"P08", "[P09]", "P10", "Zed"},
                                       {"P07", "[P09]", "P10", "Zed"}}));
  EXPECT_EQ(started, (std::vector<int>{kEditor, 2, 1, kEditor}));
  EXPECT_EQ(editing, (std::vector<int>{2, 1}));
  const std::vector<std::string> stored = storedPeople();
  ASSERT_EQ(stored.size(), 10u);
  EXPECT_EQ(stored.back(), "11 Zed Oslo");
  EXPECT_EQ(stored[7], "9 P09 Rome") << "the cancelled change left it alone";
  EXPECT_EQ(shownTexts(),
            (std::vector<std::string>{"Are you sure you want to delete this people record?"}));
}

}  // namespace
}  // namespace classlib
