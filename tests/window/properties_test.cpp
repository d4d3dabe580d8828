// Properties of windows and controls by number.
#include <gtest/gtest.h>

#include <string>

#include "test_window.h"

namespace window::testing {
namespace {

void inTestWindow(const HeadlessBackend::Check& check) {
  reset();
  HeadlessBackend b;
  b.checkpoint("properties", check).closeBox();
  runTestWindow(b);
  EXPECT_TRUE(b.finished());
}

TEST(Properties, WrittenValuesReadBack) {
  inTestWindow([](Window& w) {
    const struct {
      int target;
      int prop;
      int index;
      const char* value;
      const char* read;
    } cases[] = {
        {0, PropText, 0, "Renamed", "Renamed"},
        {0, PropIcon, 0, "AutoformatDoc.ico", "AutoformatDoc.ico"},
        {0, PropTimer, 0, "8", "8"},
        {0, PropStatusText, 2, "Record Will Be Added", "Record Will Be Added"},
        {0, PropBuffer, 0, "1", "1"},
        {0, PropAcceptAll, 0, "1", "1"},
        {0, PropWidth, 0, "300", "300"},
        {kNameEntry, PropXpos, 0, "51", "51"},
        {kNameEntry, PropYpos, 0, "5", "5"},
        {kNameEntry, PropWidth, 0, "90", "90"},
        {kNameEntry, PropHeight, 0, "12", "12"},
        {kNameEntry, PropFontColor, 0, "255", "255"},
        {kNameEntry, PropFontStyle, 0, "8592", "8592"},
        {kNameEntry, PropCursor, 0, "~hand2.cur", "~hand2.cur"},
        {kNameEntry, PropReadOnly, 0, "1", "1"},
        {kNameEntry, PropImm, 0, "1", "1"},
        {kNameEntry, PropTip, 0, "Select a name", "Select a name"},
        {kNameEntry, PropMsg, 0, "Select a name", "Select a name"},
        {kNameEntry, PropAlrt, 7, "13", "13"},
        {kNameEntry, PropText, 0, "@s5", "@s5"},  // an entry's text is its picture
        {kNameEntry, PropScreenText, 0, "shown", "shown"},
        {kNameEntry, 40000, 3, "kept", "kept"},  // a number the engine does not act on
        {kOkButton, PropText, 0, "&Save", "&Save"},
        {kOkButton, PropIcon, 0, "ok.ico", "ok.ico"},
        {kOkButton, PropDisable, 0, "1", "1"},
        {kOkButton, PropHide, 0, "1", "1"},
        {kOkButton, PropParent, 0, "25", "25"},
        {kLineText, PropSingle, 0, "", ""},
        {kProgress, PropRangeHigh, 0, "3", "3"},
        {kProgress, PropProgress, 0, "2", "2"},
        {kList, PropLineHeight, 0, "0", "0"},
        {kList, PropIconList, 3, "~studio.ico", "~studio.ico"},
        {kList, PropListStyleFontStyle, 2, "8192", "8192"},
        {kList, PropListStyleFontColor, 2, "16711680", "16711680"},
        {kList, PropListColumnStyle, 2, "2", "2"},
        {kList, PropListColumnFormat, 1, "50L(2)|M~Who~@s20@", "50L(2)|M~Who~@s20@"},
        {kList, PropSelected, 0, "2", "2"},
        {kList, PropFormat, 0, "80L(2)|M@s99@", "80L(2)|M@s99@"},
        {kSheet, PropSelected, 0, "2", "2"},
        {kStudioRadio, PropValue, 0, "S", "S"},
        {kActiveCheck, PropTrueValue, 0, "Y", "Y"},
        {kActiveCheck, PropFalseValue, 0, "N", "N"},
    };
    for (const auto& c : cases) {
      EXPECT_TRUE(w.setProperty(c.target, c.prop, c.value, c.index)) << c.target << " " << c.prop;
      EXPECT_EQ(w.property(c.target, c.prop, c.index), c.read) << c.target << " " << c.prop;
    }
  });
}

TEST(Properties, ReadOnlyAndInvalidWritesAreRefused) {
  inTestWindow([](Window& w) {
    const struct {
      int target;
      int prop;
      int index;
      const char* value;
    } cases[] = {
        {kNameEntry, PropType, 0, "9"},          {0, PropClientHandle, 0, "7"},
        {kList, PropFormat, 0, "40Q"},  // does not parse: the old format stays
        {kList, PropListColumnFormat, 9, "40L"}, {kList, PropListColumnExists, 1, "0"},
        {kList, PropListMouseRow, 0, "1"},       {kList, PropSelected, 0, "9"},  // beyond the rows
        {kSheet, PropSelected, 0, "3"},          {kOkButton, PropParent, 0, "99"},
        {99, PropText, 0, "no such control"},
    };
    const std::string format = w.property(kList, PropFormat);
    for (const auto& c : cases) {
      EXPECT_FALSE(w.setProperty(c.target, c.prop, c.value, c.index)) << c.target << " " << c.prop;
    }
    EXPECT_EQ(w.property(kList, PropFormat), format);
    EXPECT_EQ(w.property(99, PropText), "");
    EXPECT_EQ(w.propertyNumber(99, PropType), 0);
  });
}

TEST(Properties, ValuesTheEngineKeeps) {
  inTestWindow([](Window& w) {
    const struct {
      int target;
      int prop;
      int index;
      const char* read;
    } cases[] = {
        {kNameEntry, PropType, 0, "8"},
        {kList, PropType, 0, "14"},
        {kIdeOption, PropType, 0, "11"},
        {kItemOpen, PropType, 0, "47"},
        {kClassicRadio, PropParent, 0, "8"},
        {kList, PropParent, 0, "12"},
        {0, PropText, 0, "Test Window"},
        {kNameEntry, PropText, 0, "@s20"},
        {kNameEntry, PropTip, 0, "The name"},
        {kOkButton, PropText, 0, "&OK"},
        {kList, PropRowCount, 0, "3"},
        {kList, PropItems, 0, "5"},  // (60 - heading 10) / 10
        {kList, PropIconList, 1, "~CHECK1.ICO"},
        {kList, PropListColumnExists, 3, "1"},
        {kList, PropListColumnExists, 4, ""},
        {kList, PropListColumnFormat, 2, "30R(2)|M~Count~L@n-7@"},
        {kList, PropListColumnStyle, 1, "0"},
        {kList, PropListStyleFontColor, 9, "-1"},
        {kLineText, PropSingle, 0, "1"},
        {kNotesText, PropSingle, 0, ""},
        {kSheet, PropSelected, 0, "1"},
        {kDrop, PropFrom, 0, "Red|Green|Blue"},
        {kProgress, PropRangeHigh, 0, "10"},
        {kNameEntry, PropDisable, 0, ""},
    };
    for (const auto& c : cases) {
      EXPECT_EQ(w.property(c.target, c.prop, c.index), c.read) << c.target << " " << c.prop;
    }
    EXPECT_EQ(w.propertyNumber(0, PropClientHandle), w.id());
  });
}

TEST(Properties, DisablingTheFocusedControlMovesTheFocus) {
  inTestWindow([](Window& w) {
    ASSERT_EQ(w.focus(), kNameEntry);
    w.setProperty(kNameEntry, PropDisable, 1);
    EXPECT_EQ(w.focus(), kCountEntry);
    w.setProperty(kNameEntry, PropDisable, 0);
    SELECT(kNameEntry);
    EXPECT_EQ(w.focus(), kNameEntry);
    w.setProperty(kNameEntry, PropHide, "1");
    EXPECT_EQ(w.focus(), kCountEntry);
    // The message of the control with the focus shows in the first status zone.
    w.setProperty(kNameEntry, PropHide, "");
    SELECT(kNameEntry);
    EXPECT_EQ(w.statusText(1), "Type a name");
  });
}

TEST(Properties, CreatedControlsAndPositions) {
  inTestWindow([](Window& w) {
    const int region = CREATE(kNameString + 2800, ControlType::Region);
    EXPECT_EQ(region, 2819);
    EXPECT_EQ(w.propertyNumber(region, PropType), 4);
    EXPECT_EQ(w.property(region, PropHide), "1");       // created hidden
    EXPECT_EQ(CREATE(region, ControlType::Region), 0);  // taken
    EXPECT_EQ(CREATE(0, ControlType::Box, 999), 0);     // no such parent
    EXPECT_EQ(CREATE(0, ControlType::Box), 2820);       // the next above the last
    SETPOSITION(region, 4, 170, 60, 10);
    EXPECT_EQ(w.control(region)->at, (Rect{4, 170, 60, 10}));
    EXPECT_EQ(LASTFIELD(), 2820);
    EXPECT_EQ(FIRSTFIELD(), kMenuFile);
  });
}

}  // namespace
}  // namespace window::testing
