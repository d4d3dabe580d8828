// Browses over the people and towns files: paging, sort orders, locators, filters, selecting,
// the popup menu, and the form or edit in place for insert, change and delete.
#include "platform/classlib/browse_manager.h"

#include <gtest/gtest.h>

#include <functional>

#include "headless_fixture.h"
#include "people_dictionary.h"
#include "platform/classlib/edit_in_place.h"
#include "platform/classlib/window_controller.h"
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
  std::vector<int> requests;
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

}  // namespace
}  // namespace classlib
