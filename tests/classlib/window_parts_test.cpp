// The smaller window classes: resizer, column sizer, popup menus and the file selector.
#include <gtest/gtest.h>

#include <filesystem>

#include "classlib/auto_size_columns.h"
#include "classlib/file_selector.h"
#include "classlib/popup_manager.h"
#include "classlib/window_controller.h"
#include "classlib/window_resizer.h"
#include "headless_fixture.h"

namespace classlib {
namespace {

using testing::HeadlessScope;
using window::ControlType;
using window::Rect;

enum : int { kPrompt = 1, kEntry = 2, kButton = 3, kList = 4, kText = 5 };

std::string partsWindow() {
  static const std::string label = testing::defineWindow("Parts", [](window::WindowDefinition& d) {
    d.at = Rect{0, 0, 200, 100};
    d.resizable = true;
    d.add(kPrompt, ControlType::Prompt).text("Name:").at(10, 10, 30, 10);
    d.add(kEntry, ControlType::Entry).at(50, 10, 100, 10);
    d.add(kButton, ControlType::Button).text("OK").at(150, 80, 40, 14);
    d.add(kList, ControlType::List).at(10, 30, 100, 40).format("40L(2)|M~A~@s9@60L(2)|M~B~@s9@");
    d.add(kText, ControlType::Text).at(120, 30, 60, 40);
  });
  return label;
}

Rect placeOf(window::Window& w, int control) { return w.control(control)->at; }

TEST(WindowResizer, StrategiesMoveAndGrowTheControls) {
  const struct {
    const char* name;
    int strategy;
    Rect entry, button, text;
  } cases[] = {
      {"scale", ResizeScale, {100, 20, 200, 20}, {300, 160, 80, 28}, {240, 60, 120, 80}},
      {"spread", ResizeSpread, {100, 20, 200, 10}, {300, 160, 40, 14}, {240, 60, 120, 80}},
      {"none", ResizeNone, {50, 10, 100, 10}, {150, 80, 40, 14}, {120, 30, 60, 40}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    window::HeadlessBackend script;
    HeadlessScope scope(script);
    window::Window& w = window::OPEN(testing::kTestKey, partsWindow());
    WindowResizer resizer;
    resizer.init(c.strategy, true, false);
    WindowController wm;
    wm.addItem(resizer);
    script.resize(400, 200)
        .checkpoint("sized",
                    [&](window::Window&) {
                      EXPECT_EQ(placeOf(w, kEntry), c.entry);
                      EXPECT_EQ(placeOf(w, kButton), c.button);
                      EXPECT_EQ(placeOf(w, kText), c.text);
                    })
        .resize(100, 50)  // below the opening size, which is the smallest
        .checkpoint("smallest",
                    [&](window::Window&) {
                      EXPECT_EQ(w.at().width, 200);
                      EXPECT_EQ(w.at().height, 100);
                      EXPECT_EQ(placeOf(w, kEntry), (Rect{50, 10, 100, 10}));
                    })
        .closeBox();
    wm.run();
    EXPECT_TRUE(script.finished());
  }
}

TEST(AutoSizeColumns, ColumnsFollowTheListWidthAndKeepWhatTheUserSet) {
  window::HeadlessBackend script;
  HeadlessScope scope(script);
  window::Window& w = window::OPEN(testing::kTestKey, partsWindow());
  AutoSizeColumns sizer;
  sizer.init();
  sizer.addList(kList);
  const auto widths = [&] {
    std::vector<int> out;
    for (const auto& col : w.control(kList)->list.format.columns) out.push_back(col.width);
    return out;
  };
  int handled = -1;
  script
      .checkpoint("wider",
                  [&](window::Window&) {
                    w.setPosition(kList, 10, 30, 200, 40);
                    EXPECT_EQ(sizer.takeEvent(), 0);
                    EXPECT_EQ(widths(), (std::vector<int>{80, 120}));
                  })
      .resizeColumn(kList, 1, 100)
      .checkpoint("narrower",
                  [&](window::Window&) {
                    EXPECT_EQ(handled, 1);
                    w.setPosition(kList, 10, 30, 100, 40);
                  })
      .click(kButton)  // any event lets the sizer see the new width
      .checkpoint("halved",
                  [&](window::Window&) {
                    // Half the width: the width the user chose is halved too.
                    EXPECT_EQ(widths(), (std::vector<int>{50, 60}));
                  })
      .closeBox();
  while (window::ACCEPT()) {
    const int answer = sizer.takeEvent();
    if (window::EVENT() == window::EventColumnResized) handled = answer;
  }
  EXPECT_TRUE(script.finished());
}

class Source : public PopupSource {
 public:
  std::string text;
  int first = -1, last = -1;
  std::vector<int> taken;
  std::string popupText() override { return text; }
  void setItemRange(int f, int l) override {
    first = f;
    last = l;
  }
  bool takePopup(int item) override {
    if (item < first || item > last) return false;
    taken.push_back(item);
    return true;
  }
};

TEST(PopupManager, SourcesAreAppendedAfterALineAndKnowTheirItems) {
  PopupManager popup;
  EXPECT_EQ(popup.addItem("&Insert"), 1);
  EXPECT_EQ(popup.addItem("&Change", false), 2);
  Source formats;
  formats.text = "Save Format|-|~Restore";
  popup.appendSource(formats);
  EXPECT_EQ(popup.text(), "&Insert|~&Change|-|Save Format|-|~Restore");
  EXPECT_EQ(formats.first, 3);
  EXPECT_EQ(formats.last, 4);

  PopupManager empty;
  Source none;
  empty.appendSource(none);
  EXPECT_EQ(none.first, 0);
  EXPECT_EQ(empty.text(), "");
  Source only;
  only.text = "Save Format";
  empty.appendSource(only);
  EXPECT_EQ(empty.text(), "Save Format");  // no line before the first items

  window::HeadlessBackend script;
  HeadlessScope scope(script);
  window::OPEN(testing::kTestKey, partsWindow());
  script.answerPopup(3).answerPopup(2).answerPopup(1);
  EXPECT_EQ(popup.ask(), 3);
  EXPECT_EQ(popup.ask(), 0);  // a disabled item
  EXPECT_EQ(empty.ask(), 1);
}

TEST(FileSelector, AnswersTheChosenNameAndOnCancelClearsOrKeepsIt) {
  namespace fs = std::filesystem;
  const fs::path start = fs::current_path();
  const fs::path folder = fs::temp_directory_path() / "classlib_file_selector";
  fs::create_directories(folder);
  const std::string chosen = (folder / "game.agk").string();
  window::HeadlessBackend script;
  HeadlessScope scope(script);
  FileSelector selector;
  selector.init("Select AGK filename", FileLongNames);
  selector.addMask("AGK Project Files", "*.agk");
  script.answerFile(chosen, true).cancelDialog().answerFile(chosen, true).cancelDialog();

  EXPECT_EQ(selector.ask(AskRestoreDirectory), chosen);
  EXPECT_EQ(fs::current_path(), start);
  EXPECT_EQ(selector.ask(), chosen);  // cancelled: the name stays
  selector.setClearOnCancel(true);
  EXPECT_EQ(selector.ask(AskLeaveDirectory), chosen);
  EXPECT_EQ(fs::current_path(), folder);
  fs::current_path(start);
  EXPECT_EQ(selector.ask(), "");

  ASSERT_EQ(script.fileDialogs().size(), 4u);
  EXPECT_EQ(script.fileDialogs()[0].title, "Select AGK filename");
  EXPECT_EQ(script.fileDialogs()[0].masks[0].pattern, "*.agk");
  EXPECT_FALSE(script.fileDialogs()[0].folder);
  EXPECT_EQ(script.fileDialogs()[1].initialName, chosen);

  FileSelector folders;
  folders.init(FileSelector::kDefaultTitle, FileFolder);
  script.answerFile(folder.string());
  EXPECT_EQ(folders.ask(), folder.string());
  EXPECT_TRUE(script.fileDialogs().back().folder);
  EXPECT_EQ(script.fileDialogs().back().title, "Select A File");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace classlib
