#include "upkeep/structure_search.h"

#include <algorithm>
#include <string_view>

#include "platform/files/file_driver.h"
#include "platform/files/file_property.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/file_upgrade_wait_window.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/old_data_driver.h"
#include "upkeep/old_header_import.h"
#include "upkeep/open_flags.h"
#include "upkeep/sql_file_rules.h"
#include "upkeep/structure_image.h"
#include "upkeep/trace.h"
#include "upkeep/upg_file.h"
#include "upkeep/upgrade_log.h"

namespace upkeep {
namespace {

constexpr int kReadWriteDenyWrite = 0x22;
constexpr int kShareDenyNone = 0x42;
constexpr std::int16_t kLargestVersion = 32767;
constexpr std::string_view kCachePrefix = "MEMAUX_";

void detail(const std::string& text) {
  if (debugLevels().detailTrace) WriteTrace(text);
}

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// A source that cannot be read stops the program: the STOP names the file, then HALT.
[[noreturn]] void stopOnSource(std::string_view code) {
  runtime::STOP("Upkeep: " + messageText(code) + " File : " + InFileName().clipped());
  runtime::HALT(runtime::kStopAbortExitCode);
}

// Rebuilds the keys of the open INFILE, with the wait window unless silent; a failure is shown
// and the search goes on as if the rebuild had worked.
void rebuildSourceKeys() {
  FileUpgradeWaitWindow wait;
  wait.open(InFileName().clipped());
  wait.activity(messageText("M17"));
  files::SEND(INFILE(), "FULLBUILD=on");
  files::BUILD(INFILE());
  if (runtime::ERRORCODE() != 0) {
    runtime::STOP("Upkeep Error building file : " + std::to_string(runtime::ERRORCODE()) + " " +
                  runtime::CLIP(runtime::ERROR()));
  }
}

// Opens INFILE, as just built, on the existing file; true when it reads it.
bool openCandidate() {
  files::FileDeclaration& in = INFILE();
  files::OPEN(in, kReadWriteDenyWrite);
  const int error = runtime::ERRORCODE();
  detail("Trying stored version " + std::to_string(UPG().VERSION) + ": " + std::to_string(error) +
         " " + runtime::ERROR());
  switch (error) {
    case runtime::NoError: return true;
    case runtime::InvalidDataFileErr: {
      const std::string owner = in.owner();
      in.setOwner(searchState().oldOwner);
      files::OPEN(in, kReadWriteDenyWrite);
      if (runtime::ERRORCODE() == 0) return true;
      in.setOwner(owner);
      return false;
    }
    case runtime::MemoFileMissingErr: stopOnSource("M13");
    case runtime::KeyFileRebuildErr:
    case runtime::InvalidIndexErr:
      if (!runtime::COMMAND("/upkept46").empty()) return true;
      rebuildSourceKeys();
      files::OPEN(in, kReadWriteDenyWrite);
      return true;
    case runtime::AccessDeniedErr: {
      files::SHARE(in, kShareDenyNone);
      const int shared = runtime::ERRORCODE();
      if (shared == runtime::AccessDeniedErr && contains(InFileName().clipped(), "\\!")) {
        stopOnSource("M15");
      }
      if (shared == runtime::MemoFileMissingErr || shared == runtime::InvalidIndexErr ||
          shared == runtime::KeyFileRebuildErr) {
        stopOnSource("M9");
      }
      return shared == 0;
    }
    default: return false;
  }
}

// The part of `name` after its first "!", the whole name when it has none.
std::string afterTableMarker(const std::string& name) {
  const std::size_t mark = name.find('!');
  return mark == std::string::npos ? name : name.substr(mark + 1);
}

// The old-name entry of a file named `base` + `extension`, else of `base` alone.
const OldFileName* oldNameOf(const std::string& base, const std::string& extension) {
  const auto find = [](const std::string& key) -> const OldFileName* {
    const auto entry = std::find_if(OFN().begin(), OFN().end(),
                                    [&](const OldFileName& o) { return o.NEWNAME == key; });
    return entry == OFN().end() ? nullptr : &*entry;
  };
  const OldFileName* found = find(runtime::UPPER(base + extension));
  return found != nullptr ? found : find(runtime::UPPER(base));
}

// The name an old-name entry gives the file in `folder` with `extension`.
std::string oldNameSource(const OldFileName& entry, const std::string& folder,
                          const std::string& extension) {
  const std::string old = runtime::CLIP(entry.OLDNAME);
  const bool dot = contains(old, ".");
  const bool colon = contains(old, ":");
  if (dot && colon) return old;
  if (dot) return folder + old;
  if (colon) return old + extension;
  return folder + old + extension;
}

// The old-name entry of the file named `fileName` under the driver named `driverName`, nullptr
// when none; `source` is set to the name the entry gives its old file.
const OldFileName* oldNameEntry(const std::string& fileName, std::string_view driverName,
                                std::string& source) {
  const FileNameParts parts = nSplit(driverName, fileName);
  const OldFileName* entry = oldNameOf(parts.base, parts.extension);
  if (entry != nullptr) source = oldNameSource(*entry, parts.drive + parts.folder, parts.extension);
  return entry;
}

// The driver name of the file registered as `uf`.
std::string_view driverNameOf(const UsingFileEntry& uf) {
  return uf.PTR != nullptr ? files::driverName(uf.PTR->driver()) : std::string_view();
}

void searchOldNames(const std::string& fileName, const UsingFileEntry& uf) {
  std::string source;
  if (const OldFileName* entry = oldNameEntry(fileName, driverNameOf(uf), source)) {
    searchState().oldNameAlias = 1;
    setMadeFileName(1, source);
    searchState().oldOwner = entry->OLDOWNER;
    UpgradeLoop(uf, fileName);
  }
  const std::string in = InFileName().clipped();
  if (searchState().found == 0 && in.size() > 4 &&
      runtime::UPPER(in.substr(in.size() - 4)) == ".VKF" && contains(in, "\\!")) {
    setMadeFileName(1, in.substr(0, in.size() - 4));
    UpgradeLoop(uf, fileName);
  }
}

// The name of the old .DAT file beside the file named `name`: the file's own name with ".Dat"
// for its extension. The extension is cut from the file's own name: a dot in a folder's name
// stays.
std::string oldDataName(const std::string& name) {
  const std::size_t folderEnd = name.find_last_of("\\/");
  const std::size_t dot = name.find('.', folderEnd == std::string::npos ? 0 : folderEnd + 1);
  return (dot == std::string::npos ? name : name.substr(0, dot)) + ".Dat";
}

// True when the search's last step looks for an old .DAT file for the file labelled `label`:
// "COR" is registered and IGD asks for no .DAT search neither for every file nor for this one.
bool oldDataSearchAllowed(const std::string& label) {
  const auto ignores = [](const std::string& name) {
    const std::vector<IgnoreEntry>& igd = registration().IGD;
    return std::any_of(igd.begin(), igd.end(),
                       [&](const IgnoreEntry& e) { return e.NAME == name && (e.DRIVER & 1) != 0; });
  };
  return registration().CorvidDriverRegistered != 0 && !ignores("ALLFILES") &&
         !ignores(runtime::UPPER(label));
}

}  // namespace

SearchState& searchState() {
  static SearchState state;
  return state;
}

std::vector<OldFileName>& OFN() {
  static std::vector<OldFileName> names;
  return names;
}

std::string oldNameSourceOf(const std::string& fileName, std::string_view driverName) {
  std::string source;
  oldNameEntry(fileName, driverName, source);
  return source;
}

std::string oldDataSourceOf(const std::string& fileName, const std::string& prefix) {
  const UsingFileEntry* uf = usingFileEntry(prefix);
  if (uf == nullptr || !oldDataSearchAllowed(uf->LABEL)) return {};
  std::string source = afterTableMarker(fileName);
  if (!oldHeaderImports(source)) {
    source = oldDataName(source);
    if (!oldHeaderImports(source)) return {};
  }
  return oldDataRecordsReadable(source) ? source : std::string();
}

void resetStructureSearch() {
  searchState() = {};
  OFN().clear();
}

void UpgradeLoop(const UsingFileEntry& uf, const std::string& fileName) {
  SearchState& state = searchState();
  std::int16_t start = static_cast<std::int16_t>(uf.VERSION);
  if (!runtime::COMMAND("/DOWNGRADE").empty()) {
    if (state.downgradeWarned == 0) {
      state.downgradeWarned = 1;
      runtime::STOP("Warning : Possibly about to Downgrade Files");
    }
    start = kLargestVersion;
  }
  upgradeInHand().TOVERSION = uf.VERSION;
  files::FileDeclaration& upg = UpgFile();
  UPG().PREFIX = uf.PREFIX;
  UPG().VERSION = start;
  files::SET(upg, *upg.key(upg.keyNumber("UPG:PREKEY")), files::SetFrom::RecordBuffer);
  state.found = 0;
  const std::string prefix = runtime::UPPER(uf.PREFIX);
  for (;;) {
    files::PREVIOUS(upg);
    if (runtime::ERRORCODE() != 0 || runtime::UPPER(UPG().PREFIX.clipped()) != prefix) return;
    if (MakeFile(1) == 0) continue;
    if (openFlags().SQLConversion != 0) {
      if (runtime::UPPER(fileName) == runtime::UPPER(InFileName().clipped())) continue;
      INFILE().setDriverValue(files::PropSqlOpenFlag, "0");
    }
    if (openCandidate()) break;
  }
  upgradeInHand().FROMVERSION = UPG().VERSION;
  state.found = 1;
  detail("Found stored structure version " + std::to_string(UPG().VERSION) + " for " +
         InFileName().clipped());
}

void OpenSourceFile(const std::string& fileName) {
  SearchState& state = searchState();
  state.found = 0;
  setMadeFileName(1, afterTableMarker(fileName));
  if (ImportCorvid() == 0) {
    setMadeFileName(1, oldDataName(InFileName().clipped()));
    if (ImportCorvid() == 0) return;
  }
  if (MakeFile(1) == 0) return;
  files::FileDeclaration& in = INFILE();
  for (int attempt = 0; attempt < 3; ++attempt) {
    files::OPEN(in, kReadWriteDenyWrite);
    const int error = runtime::ERRORCODE();
    if (error == 0) break;
    if (error == runtime::MemoFileMissingErr) stopOnSource("M13");
    if (error == runtime::AccessDeniedErr) stopOnSource("M15");
    if (error != runtime::KeyFileRebuildErr) return;
    if (!runtime::COMMAND("/upkept46").empty()) break;
    rebuildSourceKeys();
  }
  state.found = 1;
  state.oldFormatSource = 1;
}

void SearchStoredStructures(const std::string& fileName, const UsingFileEntry& uf) {
  SearchState& state = searchState();
  state.found = 0;
  setMadeFileName(1, fileName);
  if (openFlags().Error36Detected == 0) UpgradeLoop(uf, fileName);
  if (state.found == 0) {
    const std::string prefix = runtime::UPPER(uf.PREFIX);
    const std::string cache = contains(prefix, kCachePrefix)
                                  ? prefix.substr(kCachePrefix.size())
                                  : runtime::SUB(std::string(kCachePrefix) + prefix, 1, 20);
    setMadeFileName(1, fileName);
    if (const UsingFileEntry* entry = usingFileEntry(cache)) UpgradeLoop(*entry, fileName);
  }
  if (state.found == 0) searchOldNames(fileName, uf);
  if (state.found == 0) {
    const std::string table = afterTableMarker(fileName);
    if (table != fileName) {
      setMadeFileName(1, table);
      UpgradeLoop(uf, fileName);
    }
  }
  if (state.found == 0 && oldDataSearchAllowed(uf.LABEL)) OpenSourceFile(fileName);
}

}  // namespace upkeep
