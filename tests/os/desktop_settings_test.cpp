#include "platform/os/desktop_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "temp_desktop.h"

namespace os {
namespace {

TEST(DragFullWindows, OnWhenTheProfileHasNoEntry) {
  testing::TempDesktop desktop;
  EXPECT_TRUE(dragFullWindows());
}

TEST(DragFullWindows, RoundTripThroughTheDefaultProfileTellsListeners) {
  testing::TempDesktop desktop;
  std::vector<bool> told;
  const int id = addDragFullWindowsListener([&](bool on) { told.push_back(on); });

  ASSERT_TRUE(setDragFullWindows(false));
  EXPECT_FALSE(dragFullWindows());
  ASSERT_TRUE(setDragFullWindows(true));
  EXPECT_TRUE(dragFullWindows());
  EXPECT_EQ(told, (std::vector<bool>{false, true}));

  removeDragFullWindowsListener(id);
  ASSERT_TRUE(setDragFullWindows(false));
  EXPECT_EQ(told.size(), 2u);

  std::ifstream profile(desktop.path("profile.ini"));
  std::string text((std::istreambuf_iterator<char>(profile)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[Desktop]"), std::string::npos) << text;
  EXPECT_NE(text.find("DragFullWindows=0"), std::string::npos) << text;
}

TEST(DragFullWindows, ValuesWrittenByHand) {
  testing::TempDesktop desktop;
  const struct {
    const char* value;
    bool expected;
  } cases[] = {{"1", true}, {"0", false}, {"2", true}, {"yes", false}, {"", false}};
  for (const auto& c : cases) {
    desktop.write("profile.ini", std::string("[desktop]\ndragfullwindows=") + c.value + "\n");
    EXPECT_EQ(dragFullWindows(), c.expected) << '"' << c.value << '"';
  }
}

TEST(DragFullWindows, AProfileThatCannotBeWrittenTellsNoOne) {
  testing::TempDesktop desktop;
  desktop.write("blocker", "a file where the profile's folder should be");
  setenv("GAME_DOCK_PROFILE", desktop.path("blocker/profile.ini").c_str(), 1);
  int told = 0;
  const int id = addDragFullWindowsListener([&](bool) { ++told; });
  EXPECT_FALSE(setDragFullWindows(false));
  EXPECT_EQ(told, 0);
  EXPECT_TRUE(dragFullWindows());
  removeDragFullWindowsListener(id);
}

}  // namespace
}  // namespace os
