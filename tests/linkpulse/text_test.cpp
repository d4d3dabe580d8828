// The manager's text operations: MakeAnchor, Between, and Trace with its switch.
#include <string>
#include <vector>

#include "link_fixture.h"

namespace linkpulse::testing {
namespace {

class Texts : public LinkTest {};

TEST_F(Texts, MakeAnchor) {
  const struct {
    const char* address;
    int kind;
    const char* anchor;
  } cases[] = {
      {"joe@example.com", 0, "<a href=\"mailto:joe@example.com\">"},
      {"mailto:joe@example.com", 0, "<a href=\"mailto:joe@example.com\">"},
      {"http://example.com  ", 0, "<a href=\"http://example.com\">"},
      {"https://example.com", 0, "<a href=\"https://example.com\">"},
      {"www.example.com", 0, "<a href=\"http://www.example.com\">"},
      {"<a href=\"x\">  ", 0, "<a href=\"x\">"},
      {"\"joe@example.com\"", 0, "<a href=mailto:\"joe@example.com\">"},
      {"www.example.com", 1, "\"http://www.example.com\""},
      {"joe@example.com", 2, "mailto:joe@example.com"},
      {"<a href=x", 2, "http://<a href=x"},
  };
  LinkPulseManager manager(system_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(manager.MakeAnchor(c.address, c.kind), c.anchor);
  }
}

TEST_F(Texts, Between) {
  const struct {
    const char* text;
    const char* delimiter;
    const char* between;
  } cases[] = {
      {"a|bc|d|e", "|", "bc"}, {"a||b", "|", ""},   {"abc", "|", ""}, {"a|b", "|", ""},
      {"x<>y<>z", "<>", "y"},  {"x<>y<>z", "", ""}, {"", "|", ""},
  };
  LinkPulseManager manager(system_);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.delimiter);
    EXPECT_EQ(manager.Between(c.text, c.delimiter), c.between);
  }
}

TEST_F(Texts, TraceWritesOnlyUnderItsSwitchLookedUpOnce) {
  LinkPulseManager quiet(system_);
  quiet.Trace("one");
  commandLine("/LPDebug");
  quiet.Trace("two");  // the switch was looked up at the first line
  EXPECT_TRUE(traces_.empty());
  EXPECT_EQ(quiet.DEBUGSET, 1);
  EXPECT_EQ(quiet.DEBUGON, 0);

  LinkPulseManager loud(system_);
  loud.Trace("three   ");
  commandLine("");
  loud.Trace(std::string(2000, 'x'));
  ASSERT_EQ(traces_.size(), 2u);
  EXPECT_EQ(traces_[0], "LinkPulse: three");
  EXPECT_EQ(traces_[1], "LinkPulse: " + std::string(1023 - 11, 'x'));
}

TEST_F(Texts, TraceCutsWithoutSplittingACharacter) {
  commandLine("/LPDebug");
  LinkPulseManager manager(system_);
  manager.Trace(std::string(1011, 'x') + "\u00e9");
  ASSERT_EQ(traces_.size(), 1u);
  EXPECT_EQ(traces_[0], "LinkPulse: " + std::string(1011, 'x'));
}

}  // namespace
}  // namespace linkpulse::testing
