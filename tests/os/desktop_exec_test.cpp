#include "platform/os/desktop_exec.h"

#include <gtest/gtest.h>

namespace os {
namespace {

using Words = std::vector<std::string>;

TEST(ExecArguments, SplitsQuotesAndFieldCodes) {
  const std::string address = "http://x/?a=\"b\" c;$(rm -rf ~)`id`%u";
  const struct {
    const char* exec;
    Words expected;
  } cases[] = {
      {"browser %u", {"browser", address}},
      {"browser --new-tab %U", {"browser", "--new-tab", address}},
      {"  viewer   %f  ", {"viewer", address}},
      {"/opt/My\\sApp/bin/app %F", {"/opt/My\\sApp/bin/app", address}},
      {"\"/opt/My App/app\" --open=%u", {"/opt/My App/app", "--open=" + address}},
      {"sh-free \"a \\\"quoted\\\" \\$HOME \\`x\\` \\\\ \\n\"",
       {"sh-free", "a \"quoted\" $HOME `x` \\ \\n", address}},
      {"app %i %c %k --name %c %u", {"app", "--name", address}},
      {"app 100%% %u", {"app", "100%", address}},
      {"app \"\" %u", {"app", "", address}},
      {"app", {"app", address}},
      {"app --flag", {"app", "--flag", address}},
      {"app %d", {"app", address}},
  };
  for (const auto& c : cases) {
    const auto words = execArguments(c.exec, address);
    ASSERT_TRUE(words.has_value()) << c.exec;
    EXPECT_EQ(*words, c.expected) << c.exec;
  }
}

TEST(ExecArguments, RefusesUnusableLines) {
  for (const char* exec :
       {"", "   ", "\"unclosed %u", "app \"half", "%u", "%f --x", "\"\" %u", "%i app %u"}) {
    EXPECT_FALSE(execArguments(exec, "/tmp/file.txt").has_value()) << '"' << exec << '"';
  }
}

}  // namespace
}  // namespace os
