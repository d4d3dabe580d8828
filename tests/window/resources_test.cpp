// Window resources found by key and label.
#include <gtest/gtest.h>

#include <stdexcept>

#include "test_window.h"

namespace window::testing {
namespace {

TEST(Resources, FoundByKeyAndLabelWithoutRegardToCase) {
  registerTestWindow();
  const WindowDefinition* d = resources().find("TEST$Test001", "p1$window");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->title, "Test Window");
  EXPECT_EQ(resources().find(kTestKey, "P1$QUICKWINDOW"), nullptr);
  EXPECT_EQ(d->controls.at(kItemOpen).parent, kMenuFile);
  EXPECT_EQ(d->controls.at(kNameEntry).accelerator(), 0);
  EXPECT_EQ(d->controls.at(kItemExit).accelerator(), 'X');
  EXPECT_EQ(d->controls.at(kItemExit).plainText(), "Exit");
}

TEST(Resources, MistakesInADeclarationAreRefused) {
  ResourceRegistry registry;
  WindowDefinition d;
  d.key = "game_dock$game_dock004";
  d.label = "P1$QUICKWINDOW";
  d.add(3, ControlType::Prompt).text("Description:");
  EXPECT_THROW(d.add(3, ControlType::Entry), std::invalid_argument);
  EXPECT_THROW(d.add(0, ControlType::Entry), std::invalid_argument);
  EXPECT_THROW(d.add(4, ControlType::List).format("12Q"), std::invalid_argument);
  WindowDefinition orphan = d;
  orphan.add(9, ControlType::Entry).parent(99);
  EXPECT_THROW(registry.add(orphan), std::invalid_argument);
  registry.add(d);
  EXPECT_THROW(registry.add(d), std::invalid_argument);  // key and label taken
  WindowDefinition unnamed;
  EXPECT_THROW(registry.add(unnamed), std::invalid_argument);
  EXPECT_NE(registry.find("game_dock$game_dock004", "P1$QUICKWINDOW"), nullptr);
}

}  // namespace
}  // namespace window::testing
