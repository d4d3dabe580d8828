#include "platform/os/key_file.h"

#include <gtest/gtest.h>

namespace os {
namespace {

TEST(KeyFile, GroupsEntriesEscapesAndComments) {
  const KeyFile file(
      "# comment\r\n"
      "ignored=before any group\n"
      "[Desktop Entry]\r\n"
      "Name = Browser \n"
      "Exec=app \\s\\n\\t\\r\\\\ \\x %u\n"
      "Name=second one is ignored\n"
      "; another comment\n"
      "not an entry\n"
      "[Desktop Entry]\n"
      "Hidden=true\n"
      "[Other]\n"
      "Empty=\n");
  const struct {
    const char* group;
    const char* key;
    const char* expected;  // nullptr: missing
  } cases[] = {
      {"Desktop Entry", "Name", "Browser"},
      {"Desktop Entry", "Exec", "app  \n\t\r\\ \\x %u"},
      {"Desktop Entry", "Hidden", nullptr},  // a repeated group does not count
      {"Desktop Entry", "name", nullptr},
      {"desktop entry", "Name", nullptr},
      {"Other", "Empty", ""},
      {"Other", "ignored", nullptr},
      {"Missing", "Name", nullptr},
  };
  for (const auto& c : cases) {
    const auto value = file.value(c.group, c.key);
    if (c.expected == nullptr) {
      EXPECT_FALSE(value.has_value()) << c.group << "/" << c.key;
    } else {
      EXPECT_EQ(value.value_or("(missing)"), c.expected) << c.group << "/" << c.key;
    }
  }
  const KeyFile handlers("[Mailto\\Shell\\Open\\Command]\nDefault=mailer %u\n",
                         KeyFile::GroupNames::IgnoreCase);
  EXPECT_EQ(handlers.value("mailto\\shell\\open\\command", "Default").value_or(""), "mailer %u");
  EXPECT_FALSE(handlers.value("mailto\\shell\\open\\command", "default").has_value());
}

}  // namespace
}  // namespace os
