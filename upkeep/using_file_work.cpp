#include "upkeep/using_file_work.h"

#include <vector>

#include "platform/files/file_driver.h"
#include "platform/runtime/command_line.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/profile.h"
#include "upkeep/structure_image.h"
#include "upkeep/trace.h"
#include "upkeep/upg_catalogue.h"
#include "upkeep/upg_failure.h"
#include "upkeep/upg_file.h"

namespace upkeep {
namespace {

void detail(const std::string& text) {
  if (debugLevels().detailTrace) WriteTrace(text);
}

void inOut(const std::string& text) {
  if (debugLevels().inOutTrace) WriteTrace(text);
}

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Rebuilds the current table's keys, once per run, when /buildupg is on the command line.
void buildOnce() {
  static bool done = false;
  if (done || runtime::COMMAND("/buildupg").empty()) return;
  done = true;
  detail("About to Build UPG");
  files::FileDeclaration& upg = UpgFile();
  upg.setDriverValue(0x7329, "0");
  files::OPEN(upg, 0x12);
  if (runtime::ERRORCODE() != 0) {
    const std::string text = "Error Building file on Open : " + runtime::ERROR();
    runtime::STOP(text);
    detail(text);
    return;
  }
  files::SEND(upg, "FULLBUILD=on");
  files::BUILD(upg);
  if (runtime::ERRORCODE() != 0) {
    const std::string text = "Error Building file on Build : " + runtime::ERROR();
    runtime::STOP(text);
    detail(text);
  }
  files::CLOSE(upg);
}

// Opens the current table with 42h, creating it (and converting the old table into it) when
// it is missing. False after the M2 STOP.
bool openCatalogue() {
  files::FileDeclaration& upg = UpgFile();
  detail("About to open UPG [1] : " + UpgFileName().clipped());
  upg.setDriverValue(0x7329, "0");
  files::OPEN(upg, 0x42);
  int error = runtime::ERRORCODE();
  if (error == runtime::FileNotFoundErr) {
    files::CREATE(upg);
    if (runtime::ERRORCODE() == 0) {
      upg.setDriverValue(0x7329, "0");
      files::OPEN(upg, 0x42);
    }
    error = runtime::ERRORCODE();
  }
  if (error == 0 || error == runtime::FileAlreadyOpenErr) {
    convertOldTableIfEmpty();
    return true;
  }
  stopUpgFailure();
  return false;
}

// The STOPs of ReadFormat's results 1 and 2; true when `result` was one of them.
bool stoppedOnImage(std::int32_t result, std::string_view label, bool adding) {
  const std::string name(label);
  if (result == kImageDriverNotRegistered) {
    detail("Upkeep: Warning - Driver not located - GPF likely: " + name);
    runtime::STOP("Upkeep: " + messageText("M10") + ": " + name);
    return true;
  }
  if (result == kImageTooLarge) {
    detail(adding ? "Upkeep: Internal File Format Too Large for Upkeep. File : " + name
                  : "Upkeep: Warning - Internal File Format Too Large. File : " + name);
    runtime::STOP("Upkeep: " + messageText("M14") + " " + name);
    return true;
  }
  return false;
}

// Adds or compares the entry of (label, version) with the catalogue open; nothing after a
// failed ADD.
std::optional<CatalogueEntryRef> addOrCompare(files::FileDeclaration& file, std::string_view prefix,
                                              std::string_view label, std::int16_t version) {
  files::FileDeclaration& upg = UpgFile();
  UpgRecord& record = UPG();
  inOut("UsingFileWork In l=" + runtime::CLIP(label) + " v=" + std::to_string(version));
  if (debugLevels().detailTrace) {
    // Where the entry would stand: the entry at or after (label, version).
    record.LABEL = label;
    record.VERSION = version;
    files::SET(upg, *upg.key(1), files::SetFrom::RecordBuffer);
    files::NEXT(upg);
    WriteTrace("found : " + record.LABEL.clipped() + " " + std::to_string(record.VERSION) +
               " Error was " + runtime::ERROR());
  }
  record.LABEL = label;
  record.VERSION = version;
  files::GET(upg, *upg.key(1));
  if (debugLevels().imageDump) {
    WriteTrace("get upg error: " + std::to_string(runtime::ERRORCODE()) + runtime::ERROR());
  }
  if (runtime::ERRORCODE() != 0) {
    files::CLEAR(upg);
    record.LABEL = label;
    record.VERSION = version;
    record.PREFIX = prefix;
    record.EXTRA1 = 0;
    record.EXTRA2 = 0;
    detail("About to call ReadFormat 3");
    const std::int32_t result = ReadFormat(file);
    if (stoppedOnImage(result, label, true)) return CatalogueEntryRef{std::string(prefix), version};
    detail("Adding to UPG : " + std::string(prefix) + " " + std::to_string(version));
    files::ADD(upg);
    // Two labels that share a prefix and version: the second is refused by UPG:PREKEY, and
    // is tried again at the next start, as before.
    const int error = runtime::ERRORCODE();
    if (error != 0 && error != runtime::DuplicateKeyErr) {
      stopUpgFailure();
      return std::nullopt;
    }
    if (error == 0) ++profile().usingFile[1];
    inOut("UsingFileWork Out");
    return CatalogueEntryRef{std::string(prefix), version};
  }

  const CatalogueEntryRef found{record.PREFIX.clipped(), record.VERSION};
  detail("Found UPG : " + found.prefix + " " + std::to_string(version));
  if (!runtime::COMMAND("/LoadFast").empty()) return found;
  const std::string_view storedView = UpgFormat().content();
  const std::vector<std::uint8_t> stored(storedView.begin(), storedView.end());
  detail("About to call ReadFormat 4");
  const std::int32_t result = ReadFormat(file);
  if (debugLevels().fieldCopyDetail) WriteTrace("Readformat returned: " + std::to_string(result));
  if (stoppedOnImage(result, label, false)) return found;
  switch (compareImages(stored, bytesOf(UpgFormat().content()), result, label)) {
    case ImageComparison::Skipped: ++profile().usingFile[2]; break;
    case ImageComparison::Changed:
      detail("Upkeep: Possible file change without changing File Version number. File involved : " +
             std::string(label));
      runtime::STOP("Upkeep: " + messageText("M1") + " " + std::string(label));
      break;
    case ImageComparison::Same: break;
  }
  inOut("UsingFileWork Out");
  return found;
}

}  // namespace

std::optional<CatalogueEntryRef> UsingFileWork(files::FileDeclaration& file,
                                               std::string_view prefix, std::string_view label,
                                               std::int32_t version) {
  SetUPGFileNames();
  buildOnce();
  if (!openCatalogue()) return std::nullopt;
  auto entry = addOrCompare(file, prefix, label, static_cast<std::int16_t>(version));
  files::CLOSE(UpgFile());
  return entry;
}

}  // namespace upkeep
