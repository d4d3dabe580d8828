// Launches through the real handler look-ups and spawner: a throw-away desktop whose handlers
// are a script that records its arguments.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "link_fixture.h"
#include "link_window.h"
#include "temp_desktop.h"

namespace linkpulse::testing {
namespace {

using Words = std::vector<std::string>;

class EndToEnd : public LinkTest {
 protected:
  void SetUp() override {
    const std::string recorder = desktop_.writeRecorder();
    desktop_.write("data-dirs/mime/globs2", "50:text/html:*.htm\n50:text/plain:*.txt\n");
    std::string defaults = "[Default Applications]\n";
    const struct {
      const char* type;
      const char* tag;
    } handlers[] = {{"text/html", "web"},
                    {"x-scheme-handler/mailto", "mail"},
                    {"text/plain", "text"},
                    {"x-scheme-handler/skype", "skype"},
                    {"x-scheme-handler/callto", "call"}};
    for (const auto& h : handlers) {
      const std::string id = std::string(h.tag) + ".desktop";
      desktop_.write("data/applications/" + id, "[Desktop Entry]\nType=Application\nName=x\nExec=" +
                                                    recorder + " " + h.tag + " %u\n");
      defaults += std::string(h.type) + "=" + id + "\n";
    }
    desktop_.write("config/mimeapps.list", defaults);
  }

  std::optional<Words> recorded(const std::string& tag) const { return desktop_.recorded(tag); }

  bool anythingRan() const {
    for (const auto& entry : std::filesystem::directory_iterator(desktop_.root())) {
      if (entry.path().filename().string().find("PWNED") != std::string::npos) return true;
    }
    return false;
  }

  // Clicks the Visit button linked to `address`.
  void clickLink(std::string_view address, int skypeFunction = 0) {
    TestManager manager(osLinkSystem());
    window::HeadlessBackend b;
    b.click(kVisitButton).closeBox();
    runLinkWindow(b, manager, [&] {
      manager.ITEMQ->SKYPEFUNCTION = skypeFunction;
      manager.AddItem(kVisitButton, address, {}, {}, {}, 0);
    });
  }

  os::testing::TempDesktop desktop_;
};

TEST_F(EndToEnd, InitFindsTheDesktopsHandlers) {
  TestManager manager(osLinkSystem());
  manager.Init(window::EventTimer, 1);
  EXPECT_EQ(manager.HYPERBROWSER.view(), desktop_.path("recorder.sh") + " web %u");
  EXPECT_EQ(manager.HYPEREMAIL.view(), desktop_.path("recorder.sh") + " mail %u");
  EXPECT_EQ(manager.FindProgram("notes.txt", 0), 1);
  EXPECT_EQ(manager.OPENPROGRAM.view(), desktop_.path("recorder.sh") + " text %u");
}

TEST_F(EndToEnd, AHostileAddressArrivesAsOneArgumentAndRunsNothing) {
  const std::string web =
      "http://example.com/a b?q=\"x\"&r='y';$(touch PWNED1)`touch PWNED2`;touch PWNED3|touch "
      "PWNED4&&touch PWNED5";
  clickLink(web);
  EXPECT_EQ(recorded("web"), (Words{"web", web}));

  const std::string mail = "joe@example.com?subject=\"hi\";$(touch PWNED6)`touch PWNED7`";
  clickLink(mail);
  EXPECT_EQ(recorded("mail"), (Words{"mail", "mailto:" + mail}));

  clickLink("echo'123;$(touch PWNED8)", 1);
  EXPECT_EQ(recorded("skype"), (Words{"skype", "skype:echo'123;$(touch PWNED8)?call"}));
  EXPECT_FALSE(anythingRan());
}

TEST_F(EndToEnd, LaunchFailuresShowTheirMessages) {
  const struct {
    const char* address;
    int result;
  } cases[] = {
      {"missing.txt", 2},
      {"no/such/folder/file.txt", 3},
      {"nohandler:thing", 31},
      {"-rf.txt", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    expectBox();
    clickLink(c.address);
    const runtime::MessageRequest box = boxes().back();
    EXPECT_EQ(box.caption, "Shell Execute Error:" + std::to_string(c.result));
    EXPECT_TRUE(box.text.starts_with("(" + std::to_string(c.result) + ") ")) << box.text;
    EXPECT_TRUE(box.text.ends_with(std::string("File:\n") + c.address)) << box.text;
  }
}

}  // namespace
}  // namespace linkpulse::testing
