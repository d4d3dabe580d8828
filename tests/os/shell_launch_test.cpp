#include "platform/os/shell_launch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "temp_desktop.h"

namespace os {
namespace {

using Words = std::vector<std::string>;

class ShellLaunch : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder_ = desktop_.writeRecorder();
    desktop_.write("data-dirs/mime/globs2",
                   "50:text/plain:*.txt\n50:application/x-shellscript:*.sh\n");
    std::string defaults = "[Default Applications]\n";
    const struct {
      const char* type;
      std::string exec;
    } handlers[] = {
        {"x-scheme-handler/http", recorder_ + " web %u"},
        {"x-scheme-handler/mailto", recorder_ + " mail %u"},
        {"x-scheme-handler/callto", recorder_ + " call --uri=%u"},
        {"text/plain", "\"" + recorder_ + "\" text %f"},
        {"application/x-shellscript", recorder_ + " script %f"},
        {"inode/directory", recorder_ + " folder %U"},
        {"x-scheme-handler/gone", desktop_.path("no/such/handler") + " %u"},
        {"x-scheme-handler/gonepath", "no-such-program-of-game-dock %u"},
        {"x-scheme-handler/noexec",
         desktop_.write("noexec.sh", "#!/bin/sh\n", 0644) + " noexec %u"},
        {"x-scheme-handler/garbage",
         desktop_.write("garbage.bin", "neither a script nor a program", 0755) + " %u"},
        {"x-scheme-handler/unclosed", "\"" + recorder_ + " %u"},
        {"x-scheme-handler/itself", "%u --flag"},
    };
    for (const auto& h : handlers) {
      const std::string id = std::filesystem::path(h.type).filename().string() + ".desktop";
      desktop_.write("data/applications/" + id,
                     "[Desktop Entry]\nType=Application\nName=x\nExec=" + h.exec + "\n");
      defaults += std::string(h.type) + "=" + id + "\n";
    }
    desktop_.write("config/mimeapps.list", defaults);
  }

  std::optional<Words> recorded(const std::string& tag) const { return desktop_.recorded(tag); }

  testing::TempDesktop desktop_;
  std::string recorder_;
};

TEST_F(ShellLaunch, AHostileAddressArrivesAsOneArgumentAndRunsNothing) {
  const std::string address =
      "http://example.com/a b?q=\"x\"&r='y';$(touch PWNED1)`touch PWNED2`;touch PWNED3|touch "
      "PWNED4&&touch PWNED5\n>PWNED6 %u %%";
  EXPECT_GT(shellExecute("open", address, "", "", SW_SHOWNORMAL), 32);
  EXPECT_EQ(recorded("web"), (Words{"web", address}));
  for (const auto& entry : std::filesystem::directory_iterator(desktop_.root())) {
    EXPECT_EQ(entry.path().filename().string().find("PWNED"), std::string::npos);
  }
}

TEST_F(ShellLaunch, OpensAddressesAndFilesWithTheirHandlers) {
  desktop_.write("docs/read me.txt", "text");
  const std::string readMe = desktop_.path("docs/read me.txt");
  const struct {
    const char* operation;
    std::string file;
    std::string directory;
    const char* tag;
    Words arguments;  // after the tag
  } cases[] = {
      {"", "www.example.com/x", "", "web", {"http://www.example.com/x"}},
      {"OPEN",
       "MAILTO:someone@example.com?subject=a b",
       "",
       "mail",
       {"MAILTO:someone@example.com?subject=a b"}},
      {"open", "callto:someone", "", "call", {"--uri=callto:someone"}},
      {"open", "read me.txt", desktop_.path("docs"), "text", {readMe}},
      {"open", "file://" + desktop_.root() + "/docs", "", "folder", {desktop_.path("docs")}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shellExecute(c.operation, c.file, "", c.directory, SW_SHOWNORMAL), ShellStarted)
        << c.file;
    Words expected{c.tag};
    expected.insert(expected.end(), c.arguments.begin(), c.arguments.end());
    EXPECT_EQ(recorded(c.tag), expected) << c.file;
  }
}

TEST_F(ShellLaunch, LocalPathsAreMadeAbsolute) {
  desktop_.write("docs/read me.txt", "text");
  const Words files{"docs\\read me.txt", "file://" + desktop_.root() + "/docs/read%20me.txt",
                    "file:" + desktop_.root() + "/docs/read me.txt"};
  for (const std::string& file : files) {
    std::filesystem::remove(desktop_.path("record-text"));
    EXPECT_EQ(shellExecute("open", file, "", "", SW_SHOWNORMAL), ShellStarted) << file;
    EXPECT_EQ(recorded("text"), (Words{"text", desktop_.path("docs/read me.txt")})) << file;
  }
}

TEST_F(ShellLaunch, AnExecutableFileIsOpenedNotRun) {
  const std::string tool =
      desktop_.write("tool.sh", "#!/bin/sh\ntouch \"$(dirname \"$0\")/RAN\"\n", 0755);
  EXPECT_EQ(shellExecute("open", "tool.sh", "", "", SW_SHOWNORMAL), ShellStarted);
  EXPECT_EQ(recorded("script"), (Words{"script", tool}));
  desktop_.write("tool.bin", "#!/bin/sh\ntouch \"$(dirname \"$0\")/RAN\"\n", 0755);
  EXPECT_EQ(shellExecute("open", "tool.bin", "", "", SW_SHOWNORMAL), ShellNoAssociation);
  EXPECT_FALSE(std::filesystem::exists(desktop_.path("RAN")));
}

TEST_F(ShellLaunch, FailuresAnswerTheirCodes) {
  desktop_.write("data.zzz", "x");
  desktop_.write("noextension", "x");
  desktop_.write("docs/read me.txt", "text");
  desktop_.write("-notes.txt", "an existing file that must still not be handed on");
  const struct {
    const char* operation;
    std::string file;
    const char* parameters;
    const char* directory;
    int expected;
  } cases[] = {
      {"open", "", "", "", ShellFileNotFound},
      {"open", "-x", "", "", ShellFileNotFound},
      {"open", "-notes.txt", "", "", ShellFileNotFound},
      {"open", "--help", "", "", ShellFileNotFound},
      {"open", std::string("a\0b", 3), "", "", ShellFileNotFound},
      {"open", "nothing.txt", "", "", ShellFileNotFound},
      {"open", "missing\\folder\\x.txt", "", "", ShellPathNotFound},
      {"open", "read me.txt", "", "no-such-folder", ShellPathNotFound},
      {"open", "file://otherhost/docs/read me.txt", "", "", ShellFileNotFound},
      {"open", "data.zzz", "", "", ShellNoAssociation},
      {"open", "noextension", "", "", ShellNoAssociation},
      {"open", "zzz:abc", "", "", ShellNoAssociation},
      {"print", "docs/read me.txt", "", "", ShellNoAssociation},
      {"open", "docs/read me.txt", "--flag", "", ShellAccessDenied},
      {"open", "gone:x", "", "", ShellFileNotFound},
      {"open", "gonepath:x", "", "", ShellFileNotFound},
      {"open", "noexec:x", "", "", ShellAccessDenied},
      {"open", "garbage:x", "", "", ShellBadFormat},
      {"open", "unclosed:x", "", "", ShellAssociationIncomplete},
      {"open", "itself:x", "", "", ShellAssociationIncomplete},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(shellExecute(c.operation, c.file, c.parameters, c.directory, SW_SHOWNORMAL),
              c.expected)
        << c.operation << " [" << c.file << "] [" << c.parameters << "]";
  }
  EXPECT_FALSE(std::filesystem::exists(desktop_.path("record-noexec")));
  EXPECT_FALSE(std::filesystem::exists(desktop_.path("record-text")));
}

TEST_F(ShellLaunch, WebAddressesFallBackToTheHtmlHandler) {
  desktop_.write("data-dirs/mime/globs2", "50:text/html:*.htm\n");
  desktop_.write("config/mimeapps.list", "[Default Applications]\ntext/html=page.desktop\n");
  desktop_.write("data/applications/page.desktop",
                 "[Desktop Entry]\nType=Application\nExec=" + recorder_ + " page %u\n");
  EXPECT_EQ(shellExecute("", "https://example.com/", "", "", SW_SHOWNORMAL), ShellStarted);
  EXPECT_EQ(recorded("page"), (Words{"page", "https://example.com/"}));
  EXPECT_EQ(shellExecute("", "ftp://example.com/", "", "", SW_SHOWNORMAL), ShellNoAssociation);
}

TEST_F(ShellLaunch, TheHandlerSettingsFileComesFirst) {
  desktop_.write("config/game_dock/handlers.ini",
                 "[http\\shell\\open\\command]\nDefault=" + recorder_ + " chosen %u\n");
  EXPECT_EQ(shellExecute("open", "http://example.com/", "", "", SW_SHOWNORMAL), ShellStarted);
  EXPECT_EQ(recorded("chosen"), (Words{"chosen", "http://example.com/"}));
}

}  // namespace
}  // namespace os
