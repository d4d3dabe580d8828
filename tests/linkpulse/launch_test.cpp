// RunURL: what is handed to the shell for each kind of address, the e-mail line's encoding
// and limits, and the message box for every failed launch.
#include <string>
#include <vector>

#include "link_fixture.h"
#include "linkpulse/email_url.h"
#include "linkpulse/shell_result_text.h"

namespace linkpulse::testing {
namespace {

class Launch : public LinkTest {
 protected:
  // The file RunURL hands to the shell for `address`; "" when it opens nothing.
  std::string launched(LinkPulseManager& manager, std::string_view address, int limit = 0) {
    system_.opened.clear();
    manager.URLTORUN = address;
    manager.RunURL(limit);
    EXPECT_LE(system_.opened.size(), 1u);
    return system_.opened.empty() ? "" : system_.opened.front();
  }
};

TEST_F(Launch, AddressesReachTheShellByKind) {
  LinkPulseManager manager(system_);
  const struct {
    const char* address;
    const char* file;
  } cases[] = {
      {"joe@example.com", "mailto:joe@example.com"},
      {"mailto:joe@example.com", "mailto:joe@example.com"},
      {"MailTo:joe@example.com", "MailTo:joe@example.com"},
      {"http://example.com/~joe@home", "http://example.com/~joe@home"},
      {"HTTPS://example.com/@joe", "HTTPS://example.com/@joe"},
      {"www.example.com  ", "www.example.com"},
      {"docs\\read me.txt", "docs\\read me.txt"},
      {"skype:echo123?add", "skype:echo123?add"},
      {"   ", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(launched(manager, c.address), c.file);
  }
}

TEST_F(Launch, EmailLinesAreCutToTheLimitOfTheSystem) {
  const std::string address = "joe@example.com?subject=" + std::string(600, 's');
  const std::string line = "mailto:" + address;
  const struct {
    const char* name;
    os::OsVersionInfo version;
    int limitUrl;
    int limitArgument;
    std::size_t length;
  } cases[] = {
      {"a current system has no limit", {10, 0, 0, os::OsPlatformNt, ""}, -1, 0, line.size()},
      {"Windows 95", {4, 0, 0, os::OsPlatformWindows9x, ""}, -1, 0, 520 - 10},
      {"Windows 98", {4, 10, 0, os::OsPlatformWindows9x, ""}, -1, 0, 520 - 10},
      {"Windows Me has none", {4, 90, 0, os::OsPlatformWindows9x, ""}, -1, 0, line.size()},
      {"NT 4", {4, 0, 0, os::OsPlatformNt, ""}, -1, 0, 520 - 10},
      {"NT 5 has none", {5, 0, 0, os::OsPlatformNt, ""}, -1, 0, line.size()},
      {"LIMITURL 0 is no limit", {4, 0, 0, os::OsPlatformNt, ""}, 0, 0, line.size()},
      {"a positive LIMITURL", {10, 0, 0, os::OsPlatformNt, ""}, 100, 0, 100 - 10},
      {"the argument before LIMITURL", {10, 0, 0, os::OsPlatformNt, ""}, 100, 300, 300 - 10},
      {"a line within the limit stays", {10, 0, 0, os::OsPlatformNt, ""}, 1000, 0, line.size()},
  };
  system_.values = {{"mailto\\shell\\open\\command", "mailers %1"}};  // 10 bytes
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    system_.version = c.version;
    LinkPulseManager manager(system_);
    manager.Init(523, 1);
    manager.LIMITURL = c.limitUrl;
    EXPECT_EQ(launched(manager, address, c.limitArgument), line.substr(0, c.length));
  }
}

TEST_F(Launch, EncodedEmailAddresses) {
  const struct {
    const char* address;
    const char* file;
  } cases[] = {
      {"joe@example.com?subject=Hi there&body=See you at 8; ok?",
       "mailto:joe@example.com?subject=Hi there&body=See%20you%20at%208%3B%20ok%3F"},
      {"joe@example.com?foo=1 2", "mailto:joe@example.com%3Ffoo=1%202"},
      {"joe@example.com?Subject=a&CC=b&bcc=c", "mailto:joe@example.com?Subject=a&CC=b&bcc=c"},
      {"joe@example.com?subject=100%25 <b>&x",
       "mailto:joe@example.com?subject=100%25%20%3Cb%3E%26x"},
      {"joe@example.com?subject=50%", "mailto:joe@example.com?subject=50%25"},
      {"joe@example.com?subject=%zz caf\u00e9", "mailto:joe@example.com?subject=%25zz%20caf\u00e9"},
      {"\"joe@example.com\"", "mailto:joe@example.com"},
  };
  LinkPulseManager manager(system_);
  manager.ENCODEEMAILS = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(launched(manager, c.address), c.file);
  }
  manager.ENCODEEMAILS = 0;
  EXPECT_EQ(launched(manager, "joe@example.com?subject=a b"), "mailto:joe@example.com?subject=a b");
}

TEST_F(Launch, MakeEmailURLSafeStartsBehindTheBody) {
  EXPECT_EQ(MakeEmailURLSafe("a@b?subject=x y&BODY=p q;  "), "a@b?subject=x y&BODY=p%20q%3B");
  EXPECT_EQ(MakeEmailURLSafe("a@b\x01\x7f"), "a@b%01\x7f");
  EXPECT_EQ(MakeEmailURLSafe("\""), "\"");
}

TEST_F(Launch, EveryFailedLaunchShowsItsMessage) {
  const struct {
    int result;
    const char* text;
  } cases[] = {
      {0, "The Operating system is out of memory/resources. File:|"},
      {2, "The specified file was not found. File:|"},
      {3, "The specified path was not found. File:|"},
      {5, "The operating system denied access to the specified file. File:|"},
      {8, "There was not enough memory to complete the operation. File:|"},
      {11, "The .exe file is invalid (non-Win32\u00ae .exe or error in .exe image). File:|"},
      {26, "A sharing violation occurred. File:|"},
      {27, "The file name association is incomplete or invalid. File:|"},
      {28, "The DDE transaction could not be completed because the request timed out. File:|"},
      {29, "The DDE transaction failed. File:|"},
      {30,
       "The DDE transaction could not be completed because other DDE transactions were being "
       "processed. File:|"},
      {31, "There is no application associated with the given file name extension. File:|"},
      {32, "The specified dynamic-link library was not found. File:|"},
      {1, "Unknown ShellExecute Error occured. File:|"},
      {17, "Unknown ShellExecute Error occured. File:|"},
  };
  LinkPulseManager manager(system_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    EXPECT_EQ(shellResultText(c.result), c.text);
    system_.shellResults = {c.result};
    expectBox();
    launched(manager, "www.example.com");
    const runtime::MessageRequest box = boxes().back();
    std::string text = "(" + std::to_string(c.result) + ") " + c.text + "www.example.com";
    text.replace(text.find('|'), 1, "\n");
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "Shell Execute Error:" + std::to_string(c.result));
    EXPECT_EQ(box.icon, runtime::kIconInformation);
    EXPECT_EQ(box.buttons, runtime::ButtonOk);
  }
  // Success shows nothing (the fixture fails on an unexpected box).
  system_.shellResults = {33, 42};
  launched(manager, "www.example.com");
  launched(manager, "joe@example.com");
}

TEST_F(Launch, TheEmailFailureNamesTheEmailLine) {
  LinkPulseManager manager(system_);
  system_.shellResults = {31};
  expectBox();
  launched(manager, "joe@example.com");
  EXPECT_EQ(boxes().back().text,
            "(31) There is no application associated with the given file name extension. "
            "File:\nmailto:joe@example.com");
}

TEST_F(Launch, TracesNameTheCommand) {
  commandLine("/lpdebug");
  LinkPulseManager manager(system_);
  manager.ENCODEEMAILS = 1;
  launched(manager, "www.example.com");
  launched(manager, "joe@example.com?x");
  EXPECT_EQ(traces_, (std::vector<std::string>{
                         "LinkPulse: Command to run: [www.example.com]",
                         "LinkPulse: b4 MakeEmailURLSafe self.URLToRun:\r\njoe@example.com?x",
                         "LinkPulse: b4 MakeEmailURLSafe self.URLToRun:\r\njoe@example.com%3Fx",
                         "LinkPulse: Command to run: mailto:joe@example.com%3Fx",
                     }));
}

}  // namespace
}  // namespace linkpulse::testing
