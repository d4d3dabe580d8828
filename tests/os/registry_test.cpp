#include "platform/os/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "temp_desktop.h"

namespace os {
namespace {

std::string desktopEntry(std::string_view exec, std::string_view extra = "") {
  return "[Desktop Entry]\nType=Application\nName=Handler\nExec=" + std::string(exec) + "\n" +
         std::string(extra);
}

// The value and result of a query with the callers' 200-byte buffer.
struct Answer {
  int result;
  std::string value;
  int size;
};

Answer query(std::string_view subKey, int size = RegDefaultBufferSize) {
  Answer answer{0, "stale", size};
  answer.result = regQueryValue(HKEY_CLASSES_ROOT, subKey, answer.value, answer.size);
  return answer;
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop_.write("data-dirs/mime/globs2", "50:text/html:*.htm\n50:text/html:*.html\n");
    desktop_.write("data-dirs/applications/browser.desktop", desktopEntry("browser --new %u"));
    desktop_.write("data-dirs/applications/mailer.desktop", desktopEntry("mailer -c %U"));
    desktop_.write("data-dirs/applications/caller.desktop", desktopEntry("caller %u"));
    desktop_.write("data-dirs/applications/hidden.desktop",
                   desktopEntry("ghost %u", "Hidden=true\n"));
    desktop_.write("data-dirs/applications/link.desktop", "[Desktop Entry]\nType=Link\nURL=x\n");
    desktop_.write("data-dirs/applications/viewer.desktop",
                   desktopEntry("\"/opt/My Viewer/view\" %f"));
    desktop_.write("config/mimeapps.list",
                   "[Default Applications]\n"
                   "text/html=missing.desktop;hidden.desktop;link.desktop;browser.desktop;\n"
                   "x-scheme-handler/mailto=mailer.desktop\n");
    desktop_.write("config-dirs/mimeapps.list",
                   "[Default Applications]\nx-scheme-handler/mailto=caller.desktop\n"
                   "[Added Associations]\nx-scheme-handler/callto=caller.desktop\n");
    desktop_.write("data-dirs/applications/mimeapps.list",
                   "[Added Associations]\napplication/pdf=viewer.desktop;\n");
  }

  testing::TempDesktop desktop_;
};

TEST_F(Registry, AnswersFromTheDesktopMimeData) {
  const struct {
    const char* subKey;
    const char* value;
  } cases[] = {
      {".htm", "text/html"},
      {".HTML", "text/html"},
      {"text/html\\shell\\open\\command", "browser --new %u"},
      {"TEXT/HTML\\Shell\\Open\\Command", "browser --new %u"},  // keys ignore letter case
      {"mailto\\shell\\open\\command", "mailer -c %U"},         // the user's list comes first
      {"callto\\shell\\open\\command", "caller %u"},            // only an added association
      {"application/pdf\\shell\\open\\command", "\"/opt/My Viewer/view\" %f"},
  };
  for (const auto& c : cases) {
    const Answer answer = query(c.subKey);
    EXPECT_EQ(answer.result, RegSuccess) << c.subKey;
    EXPECT_EQ(answer.value, c.value) << c.subKey;
    EXPECT_EQ(answer.size, static_cast<int>(std::string_view(c.value).size()) + 1) << c.subKey;
  }
}

TEST_F(Registry, MissingEntriesAreNotFound) {
  for (const char* subKey :
       {".zzz", "text/plain\\shell\\open\\command", "htmfile\\shell\\open\\command",
        "htm_auto_file\\shell\\open\\command", "zzz\\shell\\open\\command",
        "\\shell\\open\\command", "text/html", "mailto", ""}) {
    const Answer answer = query(subKey);
    EXPECT_EQ(answer.result, RegNotFound) << subKey;
    EXPECT_EQ(answer.value, "") << subKey;
    EXPECT_EQ(answer.size, 0) << subKey;
  }
  std::string value = "stale";
  int size = RegDefaultBufferSize;
  EXPECT_EQ(regQueryValue(0, ".htm", value, size), RegNotFound);
  EXPECT_EQ(value, "");
}

TEST_F(Registry, TheSettingsFileComesFirst) {
  desktop_.write("config/game_dock/handlers.ini",
                 "; handlers of game_dock\n"
                 "[.HTM]\nDefault=x-mine/page\n"
                 "[x-mine/page\\shell\\open\\command]\nDefault=\"/opt/mine/page viewer\" %u\n"
                 "[mailto\\shell\\open\\command]\nDefault=\n"
                 "[callto\\shell\\open\\command]\nOther=not the value\n");
  const struct {
    const char* subKey;
    int result;
    const char* value;
  } cases[] = {
      {".htm", RegSuccess, "x-mine/page"},
      {".html", RegSuccess, "text/html"},
      {"X-MINE/PAGE\\shell\\open\\command", RegSuccess, "\"/opt/mine/page viewer\" %u"},
      {"mailto\\shell\\open\\command", RegNotFound, ""},  // an empty value hides the desktop's
      {"callto\\shell\\open\\command", RegSuccess, "caller %u"},
  };
  for (const auto& c : cases) {
    const Answer answer = query(c.subKey);
    EXPECT_EQ(answer.result, c.result) << c.subKey;
    EXPECT_EQ(answer.value, c.value) << c.subKey;
  }

  desktop_.write("elsewhere.ini", "[.htm]\nDefault=text/x-elsewhere\n");
  setenv("GAME_DOCK_HANDLERS", desktop_.path("elsewhere.ini").c_str(), 1);
  EXPECT_EQ(query(".htm").value, "text/x-elsewhere");
}

TEST_F(Registry, ValuesLongerThanTheBufferAnswerMoreData) {
  const std::string fits(RegDefaultBufferSize - 1, 'a');
  const std::string tooLong(RegDefaultBufferSize, 'b');
  desktop_.write("config/game_dock/handlers.ini",
                 "[fits]\nDefault=" + fits + "\n[long]\nDefault=" + tooLong + "\n");

  Answer answer = query("fits");
  EXPECT_EQ(answer.result, RegSuccess);
  EXPECT_EQ(answer.value, fits);
  EXPECT_EQ(answer.size, RegDefaultBufferSize);

  answer = query("long");
  EXPECT_EQ(answer.result, RegMoreData);
  EXPECT_EQ(answer.value, "");
  EXPECT_EQ(answer.size, RegDefaultBufferSize + 1);

  answer = query("long", RegDefaultBufferSize + 1);
  EXPECT_EQ(answer.result, RegSuccess);
  EXPECT_EQ(answer.value, tooLong);

  std::string value;
  EXPECT_EQ(queryClassesValue("long", value), RegSuccess);
  EXPECT_EQ(value, tooLong);
}

}  // namespace
}  // namespace os
