#include "linkpulse/link_pulse_manager.h"

#include "linkpulse/link_internal.h"
#include "platform/os/debug_output.h"
#include "platform/os/registry.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "platform/runtime/utf8.h"

namespace linkpulse {

using detail::cat;

namespace {

constexpr std::string_view kCommandKey = "\\shell\\open\\command";
constexpr std::string_view kSystemDrive = "%SystemDrive%";
constexpr std::size_t kTraceLimit = 1023;

bool blank(std::string_view text) { return runtime::CLIP(text).empty(); }

// The quoted program path at the head of a command line, quotes included; the whole command
// when it holds no pair of double quotes.
std::string programOfCommand(std::string_view command) {
  const auto first = command.find('"');
  const auto second = first == std::string_view::npos ? first : command.find('"', first + 1);
  if (second == std::string_view::npos) return std::string(command);
  return std::string(command.substr(first, second - first + 1));
}

}  // namespace

LinkPulseManager::LinkPulseManager(LinkSystem& system) : system_(system) {
  HANDCURSOR = 0;
  INITED = 0;
  CHECKURLS = 0;
  ENCODEEMAILS = 0;
  PSZBUFFER = 4096;
}

LinkPulseManager::~LinkPulseManager() = default;

void LinkPulseManager::Init(std::optional<int> pollEvent, int flags) {
  ITEMQ = std::make_unique<ItemQueue>();
  TRACKERQ = std::make_unique<TrackerQueue>();
  if (pollEvent) HANDCURSOR = *pollEvent;
  lookUpPrograms();
  INITED = 1;
  if ((flags & 1) == 0) window::setProperty(0, window::PropBuffer, 1);
}

int LinkPulseManager::queryRegistry(std::string_view subKey, std::string& value) {
  REGQUERYHANDLE = os::HKEY_CLASSES_ROOT;
  REGSUBKEYNAME = subKey;
  REGBUFFERSIZE = os::RegDefaultBufferSize;
  int size = REGBUFFERSIZE;
  return system_.regQueryValue(REGQUERYHANDLE, REGSUBKEYNAME.view(), value, size);
}

void LinkPulseManager::lookUpPrograms() {
  HYPERBROWSER = "";
  HYPEREMAIL = "";
  std::string value;
  // The second query names the type the first one found; without a type there is nothing to
  // ask for.
  if (queryRegistry(".htm", value) == os::RegSuccess && !blank(value) &&
      queryRegistry(cat(runtime::CLIP(value), kCommandKey), value) == os::RegSuccess) {
    HYPERBROWSER = programOfCommand(value);
  } else {
    Trace("No Browser found in the registry.");
  }
  if (!lookUpEmailProgram()) Trace("No Email program found");
}

bool LinkPulseManager::lookUpEmailProgram() {
  std::string value;
  queryRegistry(cat("mailto", kCommandKey), value);
  HYPEREMAIL = value;
  if (blank(HYPEREMAIL)) return false;
  HYPEREMAIL = expandSystemDrive(HYPEREMAIL.view());
  return true;
}

std::string LinkPulseManager::expandSystemDrive(std::string_view command) {
  const auto at = command.find(kSystemDrive);
  if (at == std::string_view::npos) return std::string(command);
  const std::string directory = system_.windowsDirectory();
  if (directory.empty() || directory.size() >= PSZBUFFER) {
    if (!runtime::COMMAND("/LPdbg").empty()) Trace("Could not get the %SystemDrive%");
    return std::string(command);
  }
  PSZPATH = directory;
  const auto colon = directory.find(':');
  if (colon == std::string::npos) return std::string(command);
  return cat(command.substr(0, at), directory.substr(0, colon + 1),
             command.substr(at + kSystemDrive.size()));
}

int LinkPulseManager::FindProgram(std::string_view address, int skypeFunction) {
  std::string target = runtime::CLIP(address);
  if (target.starts_with("www.") || target.starts_with("http://") ||
      target.starts_with("https://")) {
    if (!blank(HYPERBROWSER)) {
      OPENPROGRAM = HYPERBROWSER.view();
      return 1;
    }
    target = ".htm";
  } else if (target.find('@') != std::string::npos) {
    if (blank(HYPEREMAIL) && !lookUpEmailProgram()) {
      if (!runtime::COMMAND("/LPdbg").empty()) Trace("No Email program found");
      return 0;
    }
    OPENPROGRAM = HYPEREMAIL.view();
    return 1;
  } else if (target.empty()) {
    return 0;
  }
  return tryHandlerKeys(target, skypeFunction);
}

int LinkPulseManager::tryHandlerKeys(std::string_view address, int skypeFunction) {
  const auto dot = address.rfind('.');
  const std::string_view ext = dot == std::string_view::npos ? address : address.substr(dot + 1);
  std::array<std::string, 3> keys;
  if (skypeFunction != 0) {
    keys[0] = cat("callto", kCommandKey);
  } else {
    keys[0] = cat(ext, "file", kCommandKey);
    keys[1] = cat(ext, "_auto_file", kCommandKey);
    if (dot != std::string_view::npos) keys[2] = std::string(address.substr(dot));
  }
  const bool tracePrograms = !runtime::COMMAND("/LPdbgReg").empty();
  const bool traceQueries = !runtime::COMMAND("/LPdbg").empty();
  const auto query = [&](const std::string& key) {
    std::string value;
    const int result = queryRegistry(key, value);
    OPENPROGRAM = value;
    if (result != os::RegSuccess && traceQueries) {
      Trace(cat("RegQueryValue: ", result, "\r\n RegSubkeyName: ", key,
                "\r\n self.OpenProgram: ", OPENPROGRAM.view()));
    }
    return result;
  };
  for (int attempt = 1; attempt <= 3; ++attempt) {
    const std::string& key = keys[attempt - 1];
    if (key.empty()) continue;  // no key of this form for the address
    int result = query(key);
    if (tracePrograms) Trace(cat("Tried(", attempt, "): ", key, "\r\nReturned:", result));
    if (attempt == 3 && result == os::RegSuccess) {
      const std::string command = cat(runtime::CLIP(OPENPROGRAM.view()), kCommandKey);
      result = query(command);
      if (tracePrograms) Trace(cat("Tried(3+): ", command, "\r\nReturned:", result));
      if (result == os::RegSuccess && address == ".htm") HYPERBROWSER = OPENPROGRAM.view();
    }
    if (result == os::RegSuccess) return 1;
  }
  return 0;
}

void LinkPulseManager::SetCellStyle(int, int, int, int) {}

std::string LinkPulseManager::ListCellURL(int, std::optional<std::string_view>,
                                          std::optional<std::string_view>,
                                          std::optional<std::string_view>) {
  return {};
}

int LinkPulseManager::ControlURL(std::optional<int>) { return 0; }

std::string LinkPulseManager::MakeAnchor(std::string_view address, int kind) {
  const std::string clipped = runtime::CLIP(address);
  std::string opening;
  std::string closing;
  if (kind == 0) {
    if (clipped.find("<a href=") != std::string::npos) return clipped;
    const bool quoted = clipped.starts_with('"');
    opening = quoted ? "<a href=" : "<a href=\"";
    closing = quoted ? ">" : "\">";
  } else if (kind == 1) {
    opening = closing = "\"";
  }
  std::string prefix;
  if (clipped.find('@') != std::string::npos) {
    if (clipped.find("mailto:") == std::string::npos) prefix = "mailto:";
  } else if (clipped.find("http://") == std::string::npos &&
             clipped.find("https://") == std::string::npos) {
    prefix = "http://";
  }
  return cat(opening, prefix, clipped, closing);
}

std::string LinkPulseManager::Between(std::string_view text, std::string_view delimiter) {
  if (delimiter.empty()) return {};
  const auto first = text.find(delimiter);
  if (first == std::string_view::npos) return {};
  const auto start = first + delimiter.size();
  const auto second = text.find(delimiter, start);
  if (second == std::string_view::npos) return {};
  return std::string(text.substr(start, second - start));
}

void LinkPulseManager::Trace(std::string_view text) {
  if (DEBUGSET == 0) {
    DEBUGON = runtime::COMMAND("/LPDebug").empty() ? 0 : 1;
    DEBUGSET = 1;
  }
  if (DEBUGON == 0) return;
  const std::string line = cat("LinkPulse: ", runtime::CLIP(text));
  os::outputDebugString(runtime::utf8Prefix(line, kTraceLimit));
}

void LinkPulseManager::ShowMessage(std::string_view text, std::string_view caption, int number) {
  runtime::MESSAGE(cat("(", number, ") ", text), cat(caption, number), runtime::kIconInformation,
                   runtime::ButtonOk);
}

}  // namespace linkpulse
