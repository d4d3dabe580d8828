// Init's browser and e-mail look-ups and FindProgram: which keys are asked for, in which
// order, and what the manager keeps of the answers.
#include <string>
#include <vector>

#include "link_fixture.h"
#include "platform/os/registry.h"

namespace linkpulse::testing {
namespace {

using Keys = std::vector<std::string>;
using Values = std::map<std::string, std::string, std::less<>>;

constexpr const char* kHtmCommand = "htmlfile\\shell\\open\\command";
constexpr const char* kMailCommand = "mailto\\shell\\open\\command";

class Lookup : public LinkTest {};

TEST_F(Lookup, InitFindsTheBrowserAndTheEmailProgram) {
  const struct {
    const char* name;
    Values values;
    std::string directory;
    std::string browser;
    std::string email;
    Keys queries;
  } cases[] = {
      {"a quoted program path loses its arguments",
       {{".htm", "htmlfile"},
        {kHtmCommand, "\"/opt/web browser/run\" --new \"%1\""},
        {kMailCommand, "mailer %1"}},
       "",
       "\"/opt/web browser/run\"",
       "mailer %1",
       {".htm", kHtmCommand, kMailCommand}},
      {"a command without quotes stays whole",
       {{".htm", "text/html"}, {"text/html\\shell\\open\\command", "firefox %u"}},
       "",
       "firefox %u",
       "",
       {".htm", "text/html\\shell\\open\\command", kMailCommand}},
      {"no type for .htm asks for no command",
       {{kMailCommand, "mailer %1"}},
       "",
       "",
       "mailer %1",
       {".htm", kMailCommand}},
      {"a type without a command leaves the browser blank",
       {{".htm", "htmlfile"}},
       "",
       "",
       "",
       {".htm", kHtmCommand, kMailCommand}},
      {"%SystemDrive% at the start takes the drive of the system folder",
       {{kMailCommand, "%SystemDrive%\\Mail\\mail.exe /m %1"}},
       "C:\\WINDOWS",
       "",
       "C:\\Mail\\mail.exe /m %1",
       {".htm", kMailCommand}},
      {"%SystemDrive% inside the command is replaced too",
       {{kMailCommand, "\"%SystemDrive%\\Mail\\mail.exe\" %1"}},
       "D:\\W",
       "",
       "\"D:\\Mail\\mail.exe\" %1",
       {".htm", kMailCommand}},
      {"a system folder without a drive replaces nothing",
       {{kMailCommand, "%SystemDrive%/mail %1"}},
       "/home/user/.local/share",
       "",
       "%SystemDrive%/mail %1",
       {".htm", kMailCommand}},
      {"a value of 200 bytes or more does not fit",
       {{".htm", std::string(200, 'x')}, {kMailCommand, std::string(199, 'm')}},
       "",
       "",
       std::string(199, 'm'),
       {".htm", kMailCommand}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    system_.values = c.values;
    system_.queries.clear();
    if (!c.directory.empty()) system_.directory = c.directory;
    LinkPulseManager manager(system_);
    manager.Init(523, 1);
    EXPECT_EQ(manager.HYPERBROWSER.view(), c.browser);
    EXPECT_EQ(manager.HYPEREMAIL.view(), c.email);
    EXPECT_EQ(system_.queries, c.queries);
    EXPECT_EQ(manager.INITED, 1);
    EXPECT_EQ(manager.REGBUFFERSIZE, 200);
    EXPECT_EQ(manager.REGQUERYHANDLE, os::HKEY_CLASSES_ROOT);
  }
}

TEST_F(Lookup, InitKeepsThePollEventOnlyWhenGiven) {
  LinkPulseManager manager(system_);
  manager.HANDCURSOR = 7;
  manager.Init(std::nullopt, 1);
  EXPECT_EQ(manager.HANDCURSOR, 7);
  manager.Init(523, 1);
  EXPECT_EQ(manager.HANDCURSOR, 523);
  ASSERT_TRUE(manager.ITEMQ && manager.TRACKERQ);
  EXPECT_EQ(manager.ITEMQ->RECORDS(), 0u);
  EXPECT_EQ(manager.PSZBUFFER, 4096u);
}

TEST_F(Lookup, FindProgramAsksForTheKeysOfTheAddressInOrder) {
  const Values browser = {{".htm", "htmlfile"}, {kHtmCommand, "browser %1"}};
  const struct {
    const char* name;
    Values values;
    std::string address;
    int skype;
    int found;
    std::string program;
    Keys queries;  // after Init's
  } cases[] = {
      {"a www. address takes the browser", browser, "www.example.com", 0, 1, "browser %1", {}},
      {"http:// likewise", browser, "http://example.com", 0, 1, "browser %1", {}},
      {"https:// likewise", browser, "https://example.com", 0, 1, "browser %1", {}},
      {"without a browser the address is looked up as .htm",
       {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "late %1"}, {"x", ""}},
       "http://example.com",
       0,
       1,
       "late %1",
       {}},
      {"an e-mail address takes the e-mail program",
       {{kMailCommand, "mailer %1"}},
       "joe@example.com",
       0,
       1,
       "mailer %1",
       {}},
      {"without an e-mail program it is asked for again",
       {},
       "joe@example.com",
       0,
       0,
       "",
       {kMailCommand}},
      {"a blank address asks for nothing", {}, "   ", 0, 0, "", {}},
      {"the file type of the extension, then its command",
       {{".pdf", "AcroDoc"}, {"AcroDoc\\shell\\open\\command", "reader %1"}},
       "c:\\docs\\report.pdf",
       0,
       1,
       "reader %1",
       {"pdffile\\shell\\open\\command", "pdf_auto_file\\shell\\open\\command", ".pdf",
        "AcroDoc\\shell\\open\\command"}},
      {"the first key that answers ends the search",
       {{"pdf_auto_file\\shell\\open\\command", "auto %1"}},
       "report.pdf",
       0,
       1,
       "auto %1",
       {"pdffile\\shell\\open\\command", "pdf_auto_file\\shell\\open\\command"}},
      {"a type without a command is not found",
       {{".pdf", "AcroDoc"}},
       "report.pdf",
       0,
       0,
       "",
       {"pdffile\\shell\\open\\command", "pdf_auto_file\\shell\\open\\command", ".pdf",
        "AcroDoc\\shell\\open\\command"}},
      {"an address without a dot has no extension key",
       {},
       "readme",
       0,
       0,
       "",
       {"readmefile\\shell\\open\\command", "readme_auto_file\\shell\\open\\command"}},
      {"a Skype name asks for the callto handler alone",
       {{"callto\\shell\\open\\command", "skype %1"}},
       "echo123",
       2,
       1,
       "skype %1",
       {"callto\\shell\\open\\command"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    system_.values = c.values;
    LinkPulseManager manager(system_);
    manager.Init(523, 1);
    if (c.values.count("x")) {
      // The browser was found at Init; forget it to see the late look-up.
      manager.HYPERBROWSER = "";
    }
    system_.queries.clear();
    EXPECT_EQ(manager.FindProgram(c.address, c.skype), c.found);
    EXPECT_EQ(manager.OPENPROGRAM.view(), c.program);
    if (c.values.count("x")) {
      EXPECT_EQ(system_.queries,
                (Keys{"htmfile\\shell\\open\\command", "htm_auto_file\\shell\\open\\command",
                      ".htm", kHtmCommand}));
      EXPECT_EQ(manager.HYPERBROWSER.view(), "late %1");
    } else {
      EXPECT_EQ(system_.queries, c.queries);
    }
  }
}

TEST_F(Lookup, RegistryTracesFollowTheirSwitches) {
  const auto run = [this](std::string_view arguments) {
    commandLine(arguments);
    traces_.clear();
    system_.values = {{".zzz", "zzzfile"}};
    LinkPulseManager manager(system_);
    manager.Init(523, 1);
    manager.FindProgram("a.zzz", 0);
    manager.FindProgram("joe@example.com", 0);
    return traces_;
  };
  using Lines = std::vector<std::string>;
  const Lines init = {"LinkPulse: No Browser found in the registry.",
                      "LinkPulse: No Email program found"};
  EXPECT_EQ(run(""), Lines{});
  EXPECT_EQ(run("/LPdbg /LPdbgReg"), Lines{}) << "every trace needs /LPDebug";
  EXPECT_EQ(run("/LPDebug"), init);
  const Lines failures = {
      "LinkPulse: RegQueryValue: 2\r\n RegSubkeyName: zzzfile\\shell\\open\\command\r\n "
      "self.OpenProgram:",
      "LinkPulse: RegQueryValue: 2\r\n RegSubkeyName: zzz_auto_file\\shell\\open\\command\r\n "
      "self.OpenProgram:",
      "LinkPulse: RegQueryValue: 2\r\n RegSubkeyName: zzzfile\\shell\\open\\command\r\n "
      "self.OpenProgram:",
      "LinkPulse: No Email program found",
  };
  Lines expected = init;
  expected.insert(expected.end(), failures.begin(), failures.end());
  EXPECT_EQ(run("/LPDebug /LPdbg"), expected);

  // /LPdbgReg also turns on /LPdbg, and /LPDebugList also /LPDebug.
  expected = init;
  const Lines attempts = {
      failures[0],
      "LinkPulse: Tried(1): zzzfile\\shell\\open\\command\r\nReturned:2",
      failures[1],
      "LinkPulse: Tried(2): zzz_auto_file\\shell\\open\\command\r\nReturned:2",
      "LinkPulse: Tried(3): .zzz\r\nReturned:0",
      failures[2],
      "LinkPulse: Tried(3+): zzzfile\\shell\\open\\command\r\nReturned:2",
      failures[3],
  };
  expected.insert(expected.end(), attempts.begin(), attempts.end());
  EXPECT_EQ(run("/LPDebugList /LPdbgReg"), expected);
}

}  // namespace
}  // namespace linkpulse::testing
