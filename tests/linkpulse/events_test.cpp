// Event scripts per kind of link: a button, an entry with a launch key, a text link with its
// region, a list column, and the mouse poll that ends a hover.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "link_fixture.h"
#include "link_window.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/number_text.h"
#include "platform/window/key_codes.h"

namespace linkpulse::testing {
namespace {

using window::EventRecord;
using window::HeadlessBackend;
using window::Window;
using Files = std::vector<std::string>;

constexpr const char* kHand = "~hand2.cur";

class Events : public LinkTest {
 protected:
  std::vector<EventRecord> run(HeadlessBackend& b, const std::function<void()>& setup) {
    return runLinkWindow(b, manager_, setup);
  }
  int prop(int control, int p, int index = 0) {
    return static_cast<int>(runtime::textToLong(window::getProperty(control, p, index)));
  }
  // The item of `control` (and `column`), fetched into the ITEMQ buffer.
  LinkItem& item(int control, int column = 0) {
    manager_.ITEMQ->CONTROL = control;
    manager_.ITEMQ->COLUMN = column;
    manager_.ITEMQ->GET({ItemControl, ItemColumn});
    EXPECT_EQ(runtime::ERRORCODE(), 0) << "no item for " << control << "," << column;
    return manager_.ITEMQ->buffer();
  }

  TestManager manager_{system_};
};

int count(const std::vector<EventRecord>& events, int event, int control) {
  return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const EventRecord& e) {
    return e.event == event && e.control == control;
  }));
}

TEST_F(Events, AButtonLaunchesItsAddress) {
  const struct {
    const char* name;
    std::function<void(TestManager&)> setup;
    Files opened;
  } cases[] = {
      {"its url",
       [](TestManager& m) { m.AddItem(kVisitButton, "www.visit.example", {}, {}, {}, 0); },
       {"www.visit.example"}},
      {"the address hook comes first",
       [](TestManager& m) {
         m.hookAddress = "www.hook.example";
         m.AddItem(kVisitButton, "www.visit.example", {}, {}, {}, 0);
       },
       {"www.hook.example"}},
      {"without a url the button's text",
       [](TestManager& m) { m.AddItem(kVisitButton, {}, {}, {}, {}, 0); },
       {"Visit"}},
      {"a Skype name gets its function",
       [](TestManager& m) {
         m.ITEMQ->SKYPEFUNCTION = 3;
         m.AddItem(kVisitButton, "echo123", {}, {}, {}, 0);
         EXPECT_EQ(m.ITEMQ->SKYPEFUNCTION, 0) << "the setting does not carry over";
       },
       {"skype:echo123?add"}},
      {"an inactive link launches nothing",
       [](TestManager& m) {
         m.AddItem(kVisitButton, "www.visit.example", {}, {}, {}, 0);
         EXPECT_EQ(m.SetActive(kVisitButton, 0), 1);
         EXPECT_EQ(m.SetActive(kSiteEntry, 0), 0);
       },
       {}},
      {"nor one under AcceptAll",
       [](TestManager& m) {
         m.AddItem(kVisitButton, "www.visit.example", {}, {}, {}, 0);
         window::setProperty(0, window::PropAcceptAll, 1);
       },
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    system_.opened.clear();
    TestManager manager(system_);
    HeadlessBackend b;
    b.click(kVisitButton).closeBox();
    runLinkWindow(b, manager, [&] { c.setup(manager); });
    EXPECT_EQ(system_.opened, c.opened);
  }
}

TEST_F(Events, AddItemSetsUpTheControl) {
  HeadlessBackend b;
  b.checkpoint("look", [&](Window&) {
    manager_.AddItem(kVisitButton, "www.visit.example", {}, {}, {}, 0);
    EXPECT_EQ(item(kVisitButton).NORMAL, 0);
    EXPECT_EQ(window::getProperty(kVisitButton, window::PropFontColor), "-1");
    EXPECT_EQ(window::getProperty(kVisitButton, window::PropCursor), "");

    const struct {
      std::optional<int> flags;
      int underline;
      int event;
      bool underlined;
    } cases[] = {
        {std::nullopt, 0, 0, false}, {1, 1, 0, true}, {31, 1, 15, true}, {30, 0, 15, false}};
    for (const auto& c : cases) {
      SCOPED_TRACE(c.flags.value_or(-1));
      window::setProperty(kNotesText, window::PropFontStyle, 0);
      manager_.ITEMQ->FREE();
      manager_.AddItem(kNotesText, "www.notes.example", 0x123456, {}, c.flags, 0);
      EXPECT_EQ(item(kNotesText).UNDERLINE, c.underline);
      EXPECT_EQ(item(kNotesText).USEEVENT, c.event);
      EXPECT_EQ((prop(kNotesText, window::PropFontStyle) & window::FontUnderline) != 0,
                c.underlined);
      EXPECT_EQ(prop(kNotesText, window::PropFontColor), 0x123456);
    }
  });
  b.closeBox();
  run(b, {});
}

TEST_F(Events, AnEntryLaunchesItsScreenTextWithItsKey) {
  HeadlessBackend b;
  b.checkpoint("set up",
               [&](Window&) {
                 EXPECT_EQ(item(kSiteEntry).USESTDACTION, 13);
                 EXPECT_EQ(item(kSiteEntry).USEEVENT, window::EventAlertKey);
                 EXPECT_EQ(prop(kSiteEntry, window::PropAlrt, 1), 13);
                 EXPECT_EQ(window::getProperty(kSiteEntry, window::PropCursor), kHand);
               })
      .type(kSiteEntry, "www.typed.example")
      .key(window::EnterKey)
      .checkpoint("the URL follows the screen text on refresh",
                  [&](Window&) {
                    manager_.Refresh(kSiteEntry);
                    EXPECT_EQ(item(kSiteEntry).URL.clipped(), "www.typed.example");
                    manager_.SetActive(kSiteEntry, 0);
                    manager_.Refresh(kSiteEntry);
                    EXPECT_EQ(prop(kSiteEntry, window::PropAlrt, 1), 0) << "the key is let go";
                    EXPECT_EQ(window::getProperty(kSiteEntry, window::PropCursor), "");
                  })
      .key(window::EnterKey)
      .closeBox();
  run(b, [&] { manager_.AddItem(kSiteEntry, "www.stale.example", {}, {}, {}, 13); });
  EXPECT_EQ(system_.opened, Files{"www.typed.example"});
}

TEST_F(Events, RefreshChecksAddressesAgainstTheRegistry) {
  HeadlessBackend b;
  b.type(kSiteEntry, "report.zzz")
      .checkpoint("no handler",
                  [&](Window&) {
                    manager_.Refresh(0);
                    EXPECT_EQ(item(kSiteEntry).ACTIVE, 0);
                    EXPECT_EQ(prop(kSiteEntry, window::PropFontColor), -1) << "inactive colour";
                  })
      .checkpoint("a handler",
                  [&](Window&) {
                    system_.values = {{"zzzfile\\shell\\open\\command", "viewer %1"}};
                    manager_.Refresh(kSiteEntry);
                    EXPECT_EQ(item(kSiteEntry).ACTIVE, 1);
                    EXPECT_EQ(prop(kSiteEntry, window::PropFontColor), 0x0000FF);
                  })
      .closeBox();
  run(b, [&] {
    manager_.CHECKURLS = 1;
    manager_.AddItem(kSiteEntry, {}, 0x0000FF, {}, {}, 0);
  });
}

TEST_F(Events, ATextLinkHoversThroughItsRegion) {
  constexpr int region = kSiteString + kRegionOffset;
  HeadlessBackend b;
  b.checkpoint("one region over the text",
               [&](Window& w) {
                 const window::Control* r = w.control(region);
                 ASSERT_NE(r, nullptr);
                 EXPECT_EQ(r->type, window::ControlType::Region);
                 EXPECT_EQ(r->at, w.control(kSiteString)->at);
                 EXPECT_EQ(r->cursor, kHand);
                 EXPECT_TRUE(r->imm);
                 EXPECT_FALSE(r->hidden);
                 EXPECT_EQ(w.control(region + 1), nullptr);
                 EXPECT_EQ(prop(kSiteString, window::PropFontColor), 0x0000FF);
               })
      .mouseOver(kSiteString)
      .checkpoint("bright under the mouse",
                  [&](Window&) {
                    EXPECT_EQ(item(kSiteString).WORKING, 1);
                    EXPECT_EQ(prop(kSiteString, window::PropFontColor), 0x00FF00);
                    EXPECT_EQ(prop(kSiteString, window::PropFontStyle), 700);
                  })
      .mouseAt(290, 190)
      .checkpoint("normal again",
                  [&](Window&) {
                    EXPECT_EQ(item(kSiteString).WORKING, 0);
                    EXPECT_EQ(prop(kSiteString, window::PropFontColor), 0x0000FF);
                    EXPECT_EQ(prop(kSiteString, window::PropFontStyle), 400);
                  })
      .click(region)
      .closeBox();
  run(b, [&] {
    manager_.AddTextItem(kSiteString, {}, 0x0000FF, 0x00FF00, 400, 700);
    manager_.SetActive(kSiteString, 1);
    manager_.Refresh(0);
    manager_.ITEMQ->FREE();
    manager_.AddTextItem(kSiteString, {}, 0x0000FF, 0x00FF00, 400, 700);  // no second region
  });
  EXPECT_EQ(system_.opened, Files{"www.string.example"});
}

TEST_F(Events, AnInactiveTextLinkTakesItsParentsLook) {
  HeadlessBackend b;
  b.checkpoint("inactive", [&](Window&) {
     window::setProperty(kGroup, window::PropFontColor, 0x808080);
     manager_.SetActive(kGroupString, 0);
     manager_.Refresh(kGroupString);
     EXPECT_EQ(prop(kGroupString, window::PropFontColor), 0x808080);
     EXPECT_EQ(prop(kGroupString + kRegionOffset, window::PropDisable), 1);
     EXPECT_EQ(window::getProperty(kGroupString + kRegionOffset, window::PropCursor), "");
   }).closeBox();
  run(b, [&] { manager_.AddTextItem(kGroupString, "www.group.example", 0x0000FF, {}, {}, {}); });
  EXPECT_EQ(window::getProperty(kGroupString, window::PropParent), "");
}

TEST_F(Events, AnItemMadeInactiveUnderTheMouseStopsItsMouseOut) {
  constexpr int region = kSiteString + kRegionOffset;
  HeadlessBackend b;
  b.mouseOver(kSiteString)
      .checkpoint("made inactive", [&](Window&) { manager_.SetActive(kSiteString, 0); })
      .mouseAt(290, 190)
      .timer()
      .timer()
      .timer()
      .checkpoint("no hover left", [&](Window&) { EXPECT_EQ(item(kSiteString).WORKING, 0); })
      .closeBox();
  const auto events = run(b, [&] { manager_.AddTextItem(kSiteString, {}, 1, 2, {}, {}); });
  EXPECT_EQ(count(events, window::EventMouseOut, region), 1);
}

TEST_F(Events, ThePollEndsAHoverTheWindowDidNotSee) {
  HeadlessBackend b;
  b.mouseOver(kHotRegion)
      .checkpoint("the region moves away from the mouse",
                  [&](Window&) {
                    EXPECT_EQ(item(kHotRegion).WORKING, 1);
                    window::SETPOSITION(kHotRegion, 0, 0, 5, 5);
                  })
      .timer()
      .timer()
      .checkpoint("hover ended", [&](Window&) { EXPECT_EQ(item(kHotRegion).WORKING, 0); })
      .closeBox();
  const auto events =
      run(b, [&] { manager_.AddItem(kHotRegion, "www.hot.example", {}, {}, {}, 0); });
  EXPECT_EQ(count(events, window::EventMouseOut, kHotRegion), 1);
}

TEST_F(Events, AListColumnLinksItsCells) {
  HeadlessBackend b;
  b.checkpoint("styles",
               [&](Window&) {
                 EXPECT_EQ(item(kSiteList, 2).STYLE, 2);
                 EXPECT_EQ(item(kSiteList, 2).HANDCURSOR, 1);
                 EXPECT_EQ(item(kSiteList, 1).STYLE, 4);
                 EXPECT_EQ(prop(kSiteList, window::PropListStyleFontStyle, 2),
                           window::FontUnderline);
                 EXPECT_EQ(prop(kSiteList, window::PropListStyleFontColor, 2), 0x0000FF);
                 EXPECT_EQ(prop(kSiteList, window::PropListStyleFontColor, 3), 0x00FF00);
                 EXPECT_EQ(prop(kSiteList, window::PropListColumnStyle, 2), 2);
                 EXPECT_EQ(prop(kSiteList, window::PropListColumnStyle, 1), 4);
               })
      .doubleClick(kSiteList, 1, 2)
      .doubleClick(kSiteList, 2, 1)
      .checkpoint("a right-button event launches nothing",
                  [](Window& w) { w.listActivate(kSiteList, 1, window::MouseRight); })
      .checkpoint("over column 2",
                  [](Window& w) {
                    const window::Rect cell = w.cellRect(kSiteList, 1, 2);
                    w.mouseMoved(cell.x + 2, cell.y + 1);
                  })
      .timer()
      .checkpoint("the hand shows",
                  [&](Window&) {
                    EXPECT_EQ(window::getProperty(kSiteList, window::PropCursor), kHand);
                    EXPECT_EQ(item(kSiteList, 2).WORKING, 1);
                  })
      .mouseAt(290, 190)
      .timer()
      .checkpoint("and goes",
                  [&](Window&) {
                    EXPECT_EQ(window::getProperty(kSiteList, window::PropCursor), "");
                    EXPECT_EQ(item(kSiteList, 2).WORKING, 0);
                  })
      .closeBox();
  run(b, [&] {
    manager_.AddItem(kSiteList, "2", 0x0000FF, 0x00FF00, -2, 0);
    manager_.AddItem(kSiteList, "1", 0x111111, -1, {}, 0);
  });
  EXPECT_EQ(system_.opened, (Files{"cell2", "cell1"}));
  EXPECT_EQ(manager_.cellStyles, (std::vector<int>{0, 2, 1, 3, 1, 2}));
}

TEST_F(Events, AClickOnAColumnWithoutALinkLaunchesNothing) {
  HeadlessBackend b;
  b.doubleClick(kSiteList, 1, 1).closeBox();
  run(b, [&] { manager_.AddItem(kSiteList, "2", 0x0000FF, {}, {}, 0); });
  EXPECT_TRUE(system_.opened.empty());
}

TEST_F(Events, InitDrawsThroughABufferUnlessTold) {
  for (const int flags : {0, 1}) {
    HeadlessBackend b;
    b.checkpoint("buffer", [&](Window&) {
       EXPECT_EQ(prop(0, window::PropBuffer), flags == 0 ? 1 : 0);
     }).closeBox();
    run(b, [&] {
      window::setProperty(0, window::PropBuffer, 0);
      manager_.Init(window::EventTimer, flags);
    });
  }
}

TEST_F(Events, ColumnLinksFollowTheirColumns) {
  commandLine("/LPDebug /XPCheck");
  HeadlessBackend b;
  b.checkpoint("tracked",
               [&](Window&) {
                 manager_.TrackFormats(kSiteList, 1);
                 ASSERT_EQ(manager_.TRACKERQ->RECORDS(), 2u);
                 manager_.TRACKERQ->GET(2);
                 EXPECT_EQ(manager_.TRACKERQ->COLUMNNO, 2);
                 manager_.TrackFormats(kSiteList, 2);
                 EXPECT_EQ(manager_.TRACKERQ->RECORDS(), 2u) << "flag 2 starts afresh";
               })
      .moveColumn(kSiteList, 1, 2)
      .checkpoint("moved by the user",
                  [&](Window&) {
                    traces_.clear();
                    EXPECT_EQ(manager_.MoveColumns(kSiteList, {}, {}), 0);
                    EXPECT_EQ(item(kSiteList, 1).NORMAL, 0x0000FF);
                    EXPECT_EQ(item(kSiteList, 2).NORMAL, 0x111111);
                    EXPECT_EQ(traces_.front(), "LinkPulse: Which Cols: 2 to 1;1 to 2;");
                    EXPECT_EQ(traces_.back(), "LinkPulse: \r\nPerm Change: 2 to 1;1 to 2;");
                  })
      .checkpoint("moved by the caller",
                  [&](Window&) {
                    ColumnList from{}, to{};
                    from[0] = 1, to[0] = 2;
                    from[1] = 2, to[1] = 1;
                    from[2] = 7, to[2] = 1;  // no link on column 7
                    EXPECT_EQ(manager_.MoveColumns(kSiteList, from, to), 2);
                    EXPECT_EQ(item(kSiteList, 2).NORMAL, 0x0000FF);
                    EXPECT_EQ(item(kSiteList, 1).NORMAL, 0x111111);
                    EXPECT_EQ(prop(kSiteList, window::PropListColumnStyle, 2), 2);
                    EXPECT_EQ(prop(kSiteList, window::PropListColumnStyle, 1), 4);
                  })
      .closeBox();
  expectBox(runtime::ButtonIgnore);  // the diagnostic stop of /XPCheck, once per move
  expectBox(runtime::ButtonIgnore);
  run(b, [&] {
    manager_.AddItem(kSiteList, "2", 0x0000FF, {}, {}, 0);
    manager_.AddItem(kSiteList, "1", 0x111111, {}, {}, 0);
  });
  EXPECT_EQ(boxes().front().caption, "Stop");
  EXPECT_EQ(boxes().front().text, "2 to 1;1 to 2;");
}

}  // namespace
}  // namespace linkpulse::testing
