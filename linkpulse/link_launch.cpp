// RunURL: the launch of URLTORUN and the report of a failed launch.
#include "linkpulse/email_url.h"
#include "linkpulse/link_internal.h"
#include "linkpulse/link_pulse_manager.h"
#include "linkpulse/shell_result_text.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"

namespace linkpulse {

using detail::cat;

namespace {

constexpr std::size_t kCommandLimit = 4095;
constexpr int kOldSystemEmailLimit = 520;

// The e-mail line limit of the system version: 520 on the old systems that had one, else -1.
int emailLimitOf(const os::OsVersionInfo& version) {
  const bool windows9x = version.platformId == os::OsPlatformWindows9x &&
                         (version.minorVersion == 0 || version.minorVersion == 10);
  const bool oldNt = version.platformId == os::OsPlatformNt && version.majorVersion <= 4;
  return windows9x || oldNt ? kOldSystemEmailLimit : -1;
}

// True for an address with an "@" that is no web address: it goes to the e-mail program.
bool isEmailAddress(std::string_view address) {
  if (address.find('@') == std::string_view::npos) return false;
  const std::string head = runtime::lowerCase(address.substr(0, 8));
  return !head.starts_with("http://") && !head.starts_with("https://");
}

}  // namespace

void LinkPulseManager::RunURL(int limit) {
  if (limit == 0) limit = LIMITURL;
  std::string command;
  if (isEmailAddress(URLTORUN.view())) {
    const bool hasScheme = runtime::lowerCase(URLTORUN.view()).find("mailto:") != std::string::npos;
    if (ENCODEEMAILS != 0) {
      Trace(cat("b4 MakeEmailURLSafe self.URLToRun:\r\n", runtime::CLIP(URLTORUN.view())));
      URLTORUN = MakeEmailURLSafe(URLTORUN.view());
      Trace(cat("b4 MakeEmailURLSafe self.URLToRun:\r\n", runtime::CLIP(URLTORUN.view())));
    }
    command = cat(hasScheme ? "" : "mailto:", runtime::CLIP(URLTORUN.view()));
    command = runtime::utf8Prefix(command, kCommandLimit);
    if (limit == -1) limit = emailLimitOf(system_.osVersion());
    const int programLength = runtime::LEN(runtime::CLIP(HYPEREMAIL.view()));
    if (limit > 0 && runtime::LEN(command) + programLength > limit) {
      const int room = std::max(0, limit - programLength);
      command = runtime::utf8Prefix(command, static_cast<std::size_t>(room));
    }
    Trace(cat("Command to run: ", command));
  } else {
    command = runtime::CLIP(URLTORUN.view());
    if (command.empty()) return;
    Trace(cat("Command to run: [", command, "]"));
  }
  const int result = system_.shellExecute(command);
  if (result <= 32)
    ShowMessage(cat(shellResultText(result), command), "Shell Execute Error:", result);
}

}  // namespace linkpulse
