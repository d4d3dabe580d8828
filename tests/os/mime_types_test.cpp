#include "platform/os/mime_types.h"

#include <gtest/gtest.h>

#include "temp_desktop.h"

namespace os {
namespace {

TEST(MimeTypes, Globs2WeightsCaseAndLength) {
  const std::string globs2 =
      "# comment\n"
      "50:text/html:*.htm\n"
      "50:text/html:*.html\n"
      "80:application/x-special:*.htm:cs\n"
      "50:text/x-c:*.C:cs\n"
      "50:application/gzip:*.gz\n"
      "50:application/x-compressed-tar:*.tar.gz\n"
      "10:text/x-readme:README*\n"
      "broken line\n";
  const struct {
    const char* extension;
    const char* expected;  // nullptr: unknown
  } cases[] = {
      {".htm", "application/x-special"},  // higher weight, case-sensitive match
      {".HTM", "text/html"},              // the cs pattern does not match upper case
      {".Html", "text/html"},
      {".C", "text/x-c"},
      {".c", nullptr},
      {".gz", "application/gzip"},
      {".tar.gz", "application/x-compressed-tar"},  // longer pattern on equal weight
      {".zzz", nullptr},
  };
  for (const auto& c : cases) {
    const auto type = mimeTypeFromGlobs2(globs2, c.extension);
    if (c.expected == nullptr) {
      EXPECT_FALSE(type.has_value()) << c.extension << " gave " << type.value_or("");
    } else {
      EXPECT_EQ(type.value_or("(none)"), c.expected) << c.extension;
    }
  }
}

TEST(MimeTypes, MimeTypesFile) {
  const std::string mimeTypes =
      "# type  extensions\n"
      "text/html\t\t\t\thtml htm shtml\n"
      "application/pdf pdf\n"
      "application/x-empty\n";
  EXPECT_EQ(mimeTypeFromMimeTypes(mimeTypes, ".HTM").value_or(""), "text/html");
  EXPECT_EQ(mimeTypeFromMimeTypes(mimeTypes, ".pdf").value_or(""), "application/pdf");
  EXPECT_FALSE(mimeTypeFromMimeTypes(mimeTypes, ".zzz").has_value());
  EXPECT_FALSE(mimeTypeFromMimeTypes(mimeTypes, "pdf").has_value());
}

TEST(MimeTypes, UserDatabaseComesBeforeTheSystemOnes) {
  testing::TempDesktop desktop;
  desktop.write("data/mime/globs2", "50:text/x-mine:*.mine\n");
  desktop.write("data-dirs/mime/globs2", "50:text/x-theirs:*.mine\n50:text/plain:*.txt\n");
  EXPECT_EQ(mimeTypeOfExtension(".mine").value_or(""), "text/x-mine");
  EXPECT_EQ(mimeTypeOfExtension(".txt").value_or(""), "text/plain");
}

}  // namespace
}  // namespace os
